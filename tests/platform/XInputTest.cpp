#include "platform/xinput/XInput.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

namespace {

struct Rumble {
    int calls = 0;
    Uint16 low = 0, high = 0;
};
Rumble g_rumble;

int RecordRumble(void*, Uint16 low, Uint16 high) {
    ++g_rumble.calls;
    g_rumble.low = low;
    g_rumble.high = high;
    return 0;
}

// A virtual game controller with rumble, attached for one test.
class VirtualPad {
public:
    VirtualPad() {
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
        SDL_VirtualJoystickDesc desc;
        SDL_zero(desc);
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.Rumble = &RecordRumble;
        index_ = SDL_JoystickAttachVirtualEx(&desc);
        stick_ = index_ >= 0 ? SDL_JoystickOpen(index_) : nullptr;
    }
    ~VirtualPad() {
        if (stick_) SDL_JoystickClose(stick_);
        if (index_ >= 0) SDL_JoystickDetachVirtual(index_);
        XINPUT_STATE s;
        XInputGetState(0, &s);  // lets the layer notice the pad is gone
    }
    bool Ok() const { return stick_ != nullptr; }
    SDL_Joystick* Stick() const { return stick_; }
    void Axis(SDL_GameControllerAxis a, Sint16 v) { SDL_JoystickSetVirtualAxis(stick_, a, v); }
    void Button(SDL_GameControllerButton b, bool down) { SDL_JoystickSetVirtualButton(stick_, b, down ? 1 : 0); }

private:
    int index_ = -1;
    SDL_Joystick* stick_ = nullptr;
};

TEST(XInputTest, WithoutAPadEveryUserIsDisconnected) {
    XINPUT_STATE state;
    XINPUT_VIBRATION vibration{100, 200};
    EXPECT_EQ(XInputGetState(0, &state), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_EQ(XInputSetState(0, &vibration), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_EQ(XInputGetState(4, &state), static_cast<DWORD>(ERROR_BAD_ARGUMENTS));
    EXPECT_EQ(XInputGetState(0, nullptr), static_cast<DWORD>(ERROR_BAD_ARGUMENTS));
}

TEST(XInputTest, MapsTheFirstPadOntoTheXInputState) {
    VirtualPad pad;
    ASSERT_TRUE(pad.Ok()) << SDL_GetError();
    XINPUT_STATE state;
    ASSERT_EQ(XInputGetState(0, &state), static_cast<DWORD>(ERROR_SUCCESS));
    XINPUT_STATE other;
    EXPECT_EQ(XInputGetState(1, &other), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    const DWORD restPacket = state.dwPacketNumber;

    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    pad.Button(SDL_CONTROLLER_BUTTON_START, true);
    pad.Button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    pad.Button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTY, -32768);  // SDL: full up
    pad.Axis(SDL_CONTROLLER_AXIS_RIGHTY, 1000);
    pad.Axis(SDL_CONTROLLER_AXIS_RIGHTX, -1000);
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
    pad.Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 16384);
    ASSERT_EQ(XInputGetState(0, &state), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(state.Gamepad.wButtons,
              XINPUT_GAMEPAD_A | XINPUT_GAMEPAD_START | XINPUT_GAMEPAD_DPAD_UP | XINPUT_GAMEPAD_RIGHT_SHOULDER);
    EXPECT_EQ(state.Gamepad.sThumbLY, 32767);  // negated and kept in range
    EXPECT_EQ(state.Gamepad.sThumbRY, -1000);
    EXPECT_EQ(state.Gamepad.sThumbRX, -1000);
    EXPECT_EQ(state.Gamepad.bLeftTrigger, 255);
    SDL_GameController* controller = SDL_GameControllerFromInstanceID(SDL_JoystickInstanceID(pad.Stick()));
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(state.Gamepad.bRightTrigger,
              SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERRIGHT) * 255 / 32767);
    EXPECT_GT(state.Gamepad.bRightTrigger, 0);
    EXPECT_LT(state.Gamepad.bRightTrigger, 255);
    EXPECT_NE(state.dwPacketNumber, restPacket);

    const DWORD packet = state.dwPacketNumber;
    XInputGetState(0, &state);
    EXPECT_EQ(state.dwPacketNumber, packet);  // nothing changed

    // Disabled, the pad reads neutral.
    XInputEnable(FALSE);
    XInputGetState(0, &state);
    EXPECT_EQ(state.Gamepad.wButtons, 0);
    EXPECT_EQ(state.Gamepad.bLeftTrigger, 0);
    XInputEnable(TRUE);
    XInputGetState(0, &state);
    EXPECT_EQ(state.Gamepad.bLeftTrigger, 255);
}

TEST(XInputTest, VibrationDrivesTheRumble) {
    VirtualPad pad;
    ASSERT_TRUE(pad.Ok()) << SDL_GetError();
    g_rumble = Rumble{};
    XINPUT_VIBRATION vibration{65535, 1000};
    ASSERT_EQ(XInputSetState(0, &vibration), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(g_rumble.low, 65535);
    EXPECT_EQ(g_rumble.high, 1000);

    XInputEnable(FALSE);  // stops the motors
    EXPECT_EQ(g_rumble.low, 0);
    EXPECT_EQ(g_rumble.high, 0);
    XInputEnable(TRUE);
    EXPECT_EQ(g_rumble.low, 65535);

    vibration = XINPUT_VIBRATION{0, 0};
    XInputSetState(0, &vibration);
    EXPECT_EQ(g_rumble.low, 0);
}

}  // namespace
