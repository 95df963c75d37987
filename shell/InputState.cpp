#include "shell/InputState.h"

#include <cstring>

InputState& GetInputState() {
    static InputState state{};
    return state;
}

bool IsKeyPressed(int32_t* keyStates, int keyCode, bool consume) {
    if (!keyStates || keyCode < 0 || keyCode >= kKeyCodeCount) return false;
    const bool pressed = keyStates[keyCode] == 1;
    if (consume) keyStates[keyCode] = 0;
    return pressed;
}

void CopyKeyStatesToPrevious() {
    InputState& state = GetInputState();
    std::memcpy(state.previousKeys, state.keys, sizeof state.keys);
}
