#include "shell/InputState.h"

#include <cstring>

#include "shell/KeyHandlers.h"

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

void PressKey(int keyCode) {
    if (keyCode < 0 || keyCode >= kKeyCodeCount) return;
    InputState& state = GetInputState();
    // A second press before the frame: the first one's release came before it.
    if (state.releaseHeldBack[keyCode]) {
        state.releaseHeldBack[keyCode] = false;
        KeyUpListeners.Fire(keyCode);
    }
    state.keys[keyCode] = 1;
    state.downSinceFrame[keyCode] = true;
    KeyDownListeners.Fire(keyCode);
}

void ReleaseKey(int keyCode) {
    if (keyCode < 0 || keyCode >= kKeyCodeCount) return;
    InputState& state = GetInputState();
    if (state.downSinceFrame[keyCode]) {
        state.releaseHeldBack[keyCode] = true;
        return;
    }
    state.keys[keyCode] = 0;
    KeyUpListeners.Fire(keyCode);
}

void CopyKeyStatesToPrevious() {
    InputState& state = GetInputState();
    std::memcpy(state.previousKeys, state.keys, sizeof state.keys);
}

void ReleaseHeldBackKeys() {
    InputState& state = GetInputState();
    for (int code = 0; code < kKeyCodeCount; ++code) {
        state.downSinceFrame[code] = false;
        if (!state.releaseHeldBack[code]) continue;
        state.releaseHeldBack[code] = false;
        state.keys[code] = 0;
        KeyUpListeners.Fire(code);
    }
}
