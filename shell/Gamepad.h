#pragma once
// The first gamepad, polled once per frame. Nothing in the game steers by it.
#include <cstdint>

#include "platform/xinput/XInput.h"

struct GamepadButtons {
    int32_t a, b, back, leftShoulder, leftThumb, rightShoulder, rightThumb, start, x, y;
};

struct GamepadDPad {
    int32_t down, left, right, up;
};

// Written only by PollGamepad.
struct GamepadRecords {
    DWORD lastResult = ERROR_DEVICE_NOT_CONNECTED;
    XINPUT_STATE raw{};
    GamepadButtons buttons{};
    GamepadDPad dpad{};
    float sticks[4] = {0, 0, 0, 0};  // left x, left y, right x, right y
    float triggers[2] = {0, 0};      // left, right
};

const GamepadRecords& GetGamepadRecords();

// Reads user 0; false (records unchanged) when the pad does not answer.
bool PollGamepad();
// Both motors 0..1 (clamped); false unless the last poll succeeded and the pad
// took the request.
bool SetGamepadVibration(float left, float right);
