#pragma once
// Key states by program key code (KeyCodeTable), with last frame's copy.
#include <cstdint>

#include "shell/KeyCodeTable.h"

struct InputState {
    int32_t keys[kKeyCodeCount];          // 1 = down
    int32_t previousKeys[kKeyCodeCount];  // at the end of the last frame
    // Down since the last frame ended; of those, the ones up again, whose
    // release waits for the end of the next frame.
    bool downSinceFrame[kKeyCodeCount];
    bool releaseHeldBack[kKeyCodeCount];
};

InputState& GetInputState();

// True when the entry is 1; with consume the entry becomes 0 whatever it was.
// Codes outside 0..88 are never pressed.
bool IsKeyPressed(int32_t* keyStates, int keyCode, bool consume);

// A key message for a program code: the state, then the key-down or key-up
// handlers. Every press is seen by a frame: a key that goes down and up again
// between two frames stays down until the end of the next frame, and its
// release (state and key-up handlers) comes then.
void PressKey(int keyCode);
void ReleaseKey(int keyCode);

// The end-of-frame copy of the current states into the previous ones.
void CopyKeyStatesToPrevious();
// After the copy: the releases held back for this frame take effect.
void ReleaseHeldBackKeys();
