#include "shell/Gamepad.h"

#include <algorithm>
#include <cstring>

namespace {
GamepadRecords g_pad;

int32_t Bit(WORD buttons, int bit) { return (buttons >> bit) & 1; }
}  // namespace

const GamepadRecords& GetGamepadRecords() { return g_pad; }

bool PollGamepad() {
    std::memset(&g_pad.raw, 0, sizeof g_pad.raw);
    g_pad.lastResult = XInputGetState(0, &g_pad.raw);
    if (g_pad.lastResult != ERROR_SUCCESS) return false;

    const XINPUT_GAMEPAD& pad = g_pad.raw.Gamepad;
    const WORD b = pad.wButtons;
    g_pad.buttons = GamepadButtons{Bit(b, 12), Bit(b, 13), Bit(b, 5), Bit(b, 8),  Bit(b, 6),
                                   Bit(b, 9),  Bit(b, 7),  Bit(b, 4), Bit(b, 14), Bit(b, 15)};
    g_pad.dpad = GamepadDPad{Bit(b, 1), Bit(b, 2), Bit(b, 3), Bit(b, 0)};
    g_pad.sticks[0] = pad.sThumbLX / 32767.0f;
    g_pad.sticks[1] = pad.sThumbLY / 32767.0f;
    g_pad.sticks[2] = pad.sThumbRX / 32767.0f;
    g_pad.sticks[3] = pad.sThumbRY / 32767.0f;
    g_pad.triggers[0] = pad.bLeftTrigger / 255.0f;
    g_pad.triggers[1] = pad.bRightTrigger / 255.0f;
    return true;
}

bool SetGamepadVibration(float left, float right) {
    if (g_pad.lastResult != ERROR_SUCCESS) return false;
    // NaN clamps to 0 as well.
    left = left > 0.0f ? std::min(left, 1.0f) : 0.0f;
    right = right > 0.0f ? std::min(right, 1.0f) : 0.0f;
    XINPUT_VIBRATION vibration;
    vibration.wLeftMotorSpeed = static_cast<WORD>(left * 65535.0f);
    vibration.wRightMotorSpeed = static_cast<WORD>(right * 65535.0f);
    return XInputSetState(0, &vibration) == ERROR_SUCCESS;
}
