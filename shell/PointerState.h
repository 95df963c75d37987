#pragma once
// The mouse record kept by the window procedure.
#include <cstdint>

#include "Maths/Vector2.h"

struct PointerState {
    uint32_t unused[5] = {0, 0, 0, 0, 0};
    float wheel = 0.0f;  // accumulated notches, positive away from the user
    Vector2 position;    // last position inside the client area, in pixels
    uint32_t time = 0;   // GetTickCount of that movement
    // The client area's size at that movement: what maps position into the
    // virtual screen as touch events are (zero until the first movement).
    Vector2 client_size;
};

PointerState& GetPointerState();

// The position on a screen of the given size, mapped as touch events are
// (normalised by the client size); the position itself before any movement.
Vector2 PointerOnScreen(const PointerState& pointer, float screenWidth, float screenHeight);
