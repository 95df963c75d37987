#include "platform/xinput/XInput.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/Trace.h"

namespace {

SDL_GameController* g_pad = nullptr;
bool g_enabled = true;
XINPUT_GAMEPAD g_lastGamepad{};
DWORD g_packet = 0;
XINPUT_VIBRATION g_vibration{};

bool EnsureControllers() {
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return true;
    return SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
}

void ApplyRumble() {
    if (!g_pad) return;
    const bool on = g_enabled && (g_vibration.wLeftMotorSpeed || g_vibration.wRightMotorSpeed);
    // XInput keeps vibrating until told otherwise; SDL needs a duration.
    SDL_GameControllerRumble(g_pad, on ? g_vibration.wLeftMotorSpeed : 0, on ? g_vibration.wRightMotorSpeed : 0,
                             on ? 0xFFFF : 0);
}

// The first attached pad, reopened after it was unplugged.
SDL_GameController* FirstPad() {
    if (!EnsureControllers()) return nullptr;
    SDL_GameControllerUpdate();
    if (g_pad && !SDL_GameControllerGetAttached(g_pad)) {
        SDL_GameControllerClose(g_pad);
        g_pad = nullptr;
    }
    if (!g_pad) {
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (!SDL_IsGameController(i)) continue;
            g_pad = SDL_GameControllerOpen(i);
            if (g_pad) {
                ApplyRumble();
                break;
            }
        }
    }
    return g_pad;
}

SHORT Axis(SDL_GameController* pad, SDL_GameControllerAxis axis, bool flip) {
    int v = SDL_GameControllerGetAxis(pad, axis);
    if (flip) v = -v;
    return static_cast<SHORT>(std::clamp(v, -32768, 32767));
}

BYTE Trigger(SDL_GameController* pad, SDL_GameControllerAxis axis) {
    const int v = std::clamp<int>(SDL_GameControllerGetAxis(pad, axis), 0, 32767);
    return static_cast<BYTE>(v * 255 / 32767);
}

WORD Buttons(SDL_GameController* pad) {
    static const struct {
        SDL_GameControllerButton sdl;
        WORD bit;
    } map[] = {
        {SDL_CONTROLLER_BUTTON_DPAD_UP, XINPUT_GAMEPAD_DPAD_UP},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, XINPUT_GAMEPAD_DPAD_DOWN},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, XINPUT_GAMEPAD_DPAD_LEFT},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, XINPUT_GAMEPAD_DPAD_RIGHT},
        {SDL_CONTROLLER_BUTTON_START, XINPUT_GAMEPAD_START},
        {SDL_CONTROLLER_BUTTON_BACK, XINPUT_GAMEPAD_BACK},
        {SDL_CONTROLLER_BUTTON_LEFTSTICK, XINPUT_GAMEPAD_LEFT_THUMB},
        {SDL_CONTROLLER_BUTTON_RIGHTSTICK, XINPUT_GAMEPAD_RIGHT_THUMB},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, XINPUT_GAMEPAD_LEFT_SHOULDER},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, XINPUT_GAMEPAD_RIGHT_SHOULDER},
        {SDL_CONTROLLER_BUTTON_A, XINPUT_GAMEPAD_A},
        {SDL_CONTROLLER_BUTTON_B, XINPUT_GAMEPAD_B},
        {SDL_CONTROLLER_BUTTON_X, XINPUT_GAMEPAD_X},
        {SDL_CONTROLLER_BUTTON_Y, XINPUT_GAMEPAD_Y},
    };
    WORD buttons = 0;
    for (const auto& m : map)
        if (SDL_GameControllerGetButton(pad, m.sdl)) buttons |= m.bit;
    return buttons;
}

}  // namespace

DWORD XInputGetState(DWORD userIndex, XINPUT_STATE* state) {
    if (userIndex >= XUSER_MAX_COUNT || !state) return ERROR_BAD_ARGUMENTS;
    if (userIndex != 0) return ERROR_DEVICE_NOT_CONNECTED;
    SDL_GameController* pad = FirstPad();
    if (!pad) return ERROR_DEVICE_NOT_CONNECTED;

    XINPUT_GAMEPAD now{};
    if (g_enabled) {
        now.wButtons = Buttons(pad);
        now.bLeftTrigger = Trigger(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
        now.bRightTrigger = Trigger(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
        now.sThumbLX = Axis(pad, SDL_CONTROLLER_AXIS_LEFTX, false);
        now.sThumbLY = Axis(pad, SDL_CONTROLLER_AXIS_LEFTY, true);
        now.sThumbRX = Axis(pad, SDL_CONTROLLER_AXIS_RIGHTX, false);
        now.sThumbRY = Axis(pad, SDL_CONTROLLER_AXIS_RIGHTY, true);
    }
    if (std::memcmp(&now, &g_lastGamepad, sizeof now) != 0) {
        g_lastGamepad = now;
        ++g_packet;
    }
    state->dwPacketNumber = g_packet;
    state->Gamepad = now;
    return ERROR_SUCCESS;
}

DWORD XInputSetState(DWORD userIndex, XINPUT_VIBRATION* vibration) {
    if (userIndex >= XUSER_MAX_COUNT || !vibration) return ERROR_BAD_ARGUMENTS;
    if (userIndex != 0 || !FirstPad()) return ERROR_DEVICE_NOT_CONNECTED;
    g_vibration = *vibration;
    ApplyRumble();
    return ERROR_SUCCESS;
}

void XInputEnable(BOOL enable) {
    g_enabled = enable != FALSE;
    PlatformTrace("XInputEnable(%d)", enable ? 1 : 0);
    ApplyRumble();
}
