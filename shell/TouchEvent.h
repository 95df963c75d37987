#pragma once
// The pointer as a touch screen would report it: at most one event per frame.
#include <cstdint>
#include <vector>

#include "Maths/Vector2.h"

enum TouchPhase : int32_t {
    kTouchPress = 0,
    kTouchDrag = 1,
    kTouchRepeatedPress = 2,  // still pressed since the previous frame
    kTouchRelease = 3,
    kTouchCancel = 4,
};

enum TouchButton : int32_t {
    kTouchLeft = 0,
    kTouchRight = 1,
};

struct TouchEvent {
    Vector2 spare0;    // always zero
    Vector2 position;  // normalised 0..1 over the client area
    Vector2 spare1;    // always zero
    int32_t phase;
    int32_t button;
};
static_assert(sizeof(TouchEvent) == 32, "TouchEvent is 32 bytes");

// The current frame's events, cleared and refilled once per frame.
extern std::vector<TouchEvent> TouchEvents;
