#pragma once
// Key states by program key code (KeyCodeTable), with last frame's copy.
#include <cstdint>

#include "shell/KeyCodeTable.h"

struct InputState {
    int32_t keys[kKeyCodeCount];          // 1 = down
    int32_t previousKeys[kKeyCodeCount];  // at the end of the last frame
};

InputState& GetInputState();

// True when the entry is 1; with consume the entry becomes 0 whatever it was.
// Codes outside 0..88 are never pressed.
bool IsKeyPressed(int32_t* keyStates, int keyCode, bool consume);

// The end-of-frame copy of the current states into the previous ones.
void CopyKeyStatesToPrevious();
