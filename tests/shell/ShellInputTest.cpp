// Touch events, key states and handlers, the gamepad, and the application's
// frame callbacks.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/Gamepad.h"
#include "shell/InputState.h"
#include "shell/KeyCodeTable.h"
#include "shell/KeyHandlers.h"
#include "shell/ShellApp.h"
#include "shell/ShellGame.h"
#include "shell/ShellGlobals.h"
#include "shell/ShellHost.h"
#include "shell/TouchEvent.h"

namespace {

class InputTest : public ::testing::Test {
protected:
    InputTest() {
        host_.app_ = &app_;
        app_.host_ = &host_;
        GetInputState() = InputState{};
    }
    ~InputTest() override {
        KeyDownListeners.Clear();
        KeyUpListeners.Clear();
    }

    ShellApp app_;
    ShellHost host_;
};

TEST_F(InputTest, PointerCodesBecomeOneTouchEventPerFrame) {
    struct Case {
        int code;
        int phase;  // -1: no event
        int button;
        int codeAfter;
    } cases[] = {
        {kPointerNone, -1, 0, kPointerNone},
        {kPointerLeftPress, 0, 0, kPointerLeftPress},
        {kPointerLeftDrag, 1, 0, kPointerLeftDrag},
        {kPointerLeftRepeat, 2, 0, kPointerLeftRepeat},
        {kPointerLeftRelease, 3, 0, kPointerNone},
        {kPointerLeftCancel, 4, 0, kPointerNone},
        {kPointerRightPress, 0, 1, kPointerRightPress},
        {kPointerRightDrag, 1, 1, kPointerRightDrag},
        {kPointerRightRepeat, 2, 1, kPointerRightRepeat},
        {kPointerRightRelease, 3, 1, kPointerNone},
        {kPointerRightCancel, 4, 1, kPointerNone},
        // The middle button has no touch event and never stays pending.
        {kPointerMiddle, -1, 0, kPointerNone},
    };
    for (const Case& c : cases) {
        host_.pointer_inside_ = true;
        host_.pointer_position_[0] = 0.25f;
        host_.pointer_position_[1] = 0.75f;
        host_.pointer_code_ = c.code;
        TouchEvents.push_back(TouchEvent{});  // last frame's event goes
        EXPECT_TRUE(app_.TranslatePointerInput());
        if (c.phase < 0) {
            EXPECT_TRUE(TouchEvents.empty()) << "code " << c.code;
        } else {
            ASSERT_EQ(TouchEvents.size(), 1u) << "code " << c.code;
            const TouchEvent& e = TouchEvents[0];
            EXPECT_EQ(e.phase, c.phase) << "code " << c.code;
            EXPECT_EQ(e.button, c.button) << "code " << c.code;
            EXPECT_EQ(e.position.x, 0.25f);
            EXPECT_EQ(e.position.y, 0.75f);
            EXPECT_EQ(e.spare0.x, 0.0f);
            EXPECT_EQ(e.spare1.y, 0.0f);
        }
        EXPECT_EQ(host_.pointer_code_, c.codeAfter) << "code " << c.code;
    }
}

TEST_F(InputTest, OutsideTheClientAreaNoEventButReleasesAreStillCleared) {
    host_.pointer_inside_ = false;
    host_.pointer_code_ = kPointerLeftRelease;
    app_.TranslatePointerInput();
    EXPECT_TRUE(TouchEvents.empty());
    EXPECT_EQ(host_.pointer_code_, kPointerNone);

    host_.pointer_code_ = kPointerLeftDrag;  // held while outside: kept for later
    app_.TranslatePointerInput();
    EXPECT_TRUE(TouchEvents.empty());
    EXPECT_EQ(host_.pointer_code_, kPointerLeftDrag);
}

TEST(KeyCodeTableTest, MapsVirtualKeysToProgramCodes) {
    struct Case {
        int vk;
        int code;
    } cases[] = {
        {0x30, 0},  {0x39, 9},  {0x41, 10}, {0x5A, 35},  {0x3B, 35},  {0x70, 36},  {0x7B, 47},  {0x28, 48},
        {0x62, 48}, {0x69, 55}, {0x1B, 56}, {0x20, 57},  {0x0D, 58},  {0x08, 59},  {0x09, 60},  {0x60, 61},
        {0x6E, 62}, {0x11, 63}, {0x10, 64}, {0x12, 65},  {0x14, 69},  {0x90, 70},  {0xC0, 72},  {0xDC, 82},
        {0x6D, 86}, {0x2C, 87}, {0x13, 88}, {0x00, 255}, {0x3A, 255}, {0x7C, 255}, {0xC1, 255}, {0xFF, 255},
    };
    for (const Case& c : cases) EXPECT_EQ(KeyCodeTable[c.vk], c.code) << "vk " << c.vk;

    // Every code 0..88 is produced except 66, 67 and 68.
    std::vector<bool> produced(256, false);
    for (int vk = 0; vk < 256; ++vk) produced[KeyCodeTable[vk]] = true;
    for (int code = 0; code < kKeyCodeCount; ++code)
        EXPECT_EQ(produced[code], code < 66 || code > 68) << "code " << code;
}

struct Recorder {
    std::vector<std::string> calls;
    std::string name;
    void OnKey(int32_t code) { calls.push_back(name + ":" + std::to_string(code)); }
};

TEST_F(InputTest, KeysSetStatesAndCallHandlersInOrder) {
    std::vector<std::string> calls;
    Recorder a{{}, "a"}, b{{}, "b"};
    KeyDownListeners.Add(KeyHandler::FromMethod<&Recorder::OnKey>(&a));
    KeyDownListeners.Add(KeyHandler::FromMethod<&Recorder::OnKey>(&b));
    KeyUpListeners.Add(KeyHandler::FromMethod<&Recorder::OnKey>(&b));

    host_.OnKeyDown(0x1B);  // Escape
    EXPECT_EQ(GetInputState().keys[56], 1);
    EXPECT_EQ(a.calls, (std::vector<std::string>{"a:56"}));
    EXPECT_EQ(b.calls, (std::vector<std::string>{"b:56"}));

    host_.OnKeyDown(0xC1);  // no program code: no state, no handler
    host_.OnKeyDown(0x1234);
    EXPECT_EQ(a.calls.size(), 1u);

    CopyKeyStatesToPrevious();  // a frame saw the press
    ReleaseHeldBackKeys();
    host_.OnKeyUp(0x1B);
    EXPECT_EQ(GetInputState().keys[56], 0);
    EXPECT_EQ(b.calls, (std::vector<std::string>{"b:56", "b:56"}));
    EXPECT_EQ(a.calls.size(), 1u);
}

// Key messages between frames, and what each frame sees: 'D' key down, 'U' key
// up, '|' a frame reading the state, '*' one consuming it. The log holds the
// handler calls ("d", "u") and each frame's view: "F" state previous, or "*"
// and what the consuming read reported.
TEST_F(InputTest, EveryPressIsSeenByAFrame) {
    struct Case {
        const char* steps;
        const char* log;
    } cases[] = {
        {"D|U||", "d F10 u F01 F00"},     // held over a frame
        {"DU|||", "d F10 u F01 F00"},     // a tap between two frames: the same frames
        {"DUDU||", "d u d F10 u F01"},    // two taps: one press seen, every release told
        {"D|DU||", "d F10 d F11 u F01"},  // a repeat, then the release
        {"DU**", "d *1 u *0"},            // consumed once
        {"D*U*", "d *1 u *0"},            // the same, held
        {"U|", "u F00"},                  // a key held before the window had the focus
    };
    for (const Case& c : cases) {
        GetInputState() = InputState{};
        KeyDownListeners.Clear();
        KeyUpListeners.Clear();
        std::string log;
        struct Logger {
            std::string* log;
            const char* what;
            void OnKey(int32_t) { *log += std::string(what) + " "; }
        } down{&log, "d"}, up{&log, "u"};
        KeyDownListeners.Add(KeyHandler::FromMethod<&Logger::OnKey>(&down));
        KeyUpListeners.Add(KeyHandler::FromMethod<&Logger::OnKey>(&up));
        InputState& state = GetInputState();
        for (const char* step = c.steps; *step; ++step) {
            switch (*step) {
                case 'D': host_.OnKeyDown(0x1B); break;
                case 'U': host_.OnKeyUp(0x1B); break;
                case '|':
                    log += "F" + std::to_string(state.keys[56]) + std::to_string(state.previousKeys[56]) + " ";
                    break;
                case '*': log += std::string("*") + (IsKeyPressed(state.keys, 56, true) ? "1 " : "0 "); break;
            }
            if (*step == '|' || *step == '*') {
                CopyKeyStatesToPrevious();
                ReleaseHeldBackKeys();
            }
        }
        EXPECT_EQ(log, std::string(c.log) + " ") << c.steps;
    }
}

TEST_F(InputTest, ConsumingAKeyReportsItOncePerKeyDown) {
    int32_t* keys = GetInputState().keys;
    host_.OnKeyDown(0x20);
    EXPECT_TRUE(IsKeyPressed(keys, 57, false));
    EXPECT_TRUE(IsKeyPressed(keys, 57, true));
    EXPECT_FALSE(IsKeyPressed(keys, 57, true));
    host_.OnKeyDown(0x20);  // the key repeats while held
    EXPECT_TRUE(IsKeyPressed(keys, 57, true));
    EXPECT_FALSE(IsKeyPressed(keys, -1, true));
    EXPECT_FALSE(IsKeyPressed(keys, kKeyCodeCount, true));
}

struct SelfRemover {
    KeyHandlerList* list;
    Recorder* other;
    int calls = 0;
    void OnKey(int32_t) {
        ++calls;
        list->RemoveTarget(other);  // e.g. a window closing another one
        list->RemoveTarget(this);
    }
};

TEST_F(InputTest, HandlersRemovedWhileFiringAreNotCalled) {
    Recorder later{{}, "later"};
    SelfRemover remover{&KeyDownListeners, &later};
    KeyDownListeners.Add(KeyHandler::FromMethod<&SelfRemover::OnKey>(&remover));
    KeyDownListeners.Add(KeyHandler::FromMethod<&Recorder::OnKey>(&later));
    KeyDownListeners.Fire(5);
    EXPECT_EQ(remover.calls, 1);
    EXPECT_TRUE(later.calls.empty());
    EXPECT_EQ(KeyDownListeners.Count(), 0u);

    Recorder x{{}, "x"}, y{{}, "y"};
    KeyDownListeners.Add(KeyHandler::FromMethod<&Recorder::OnKey>(&x));
    KeyDownListeners.Add(KeyHandler::FromMethod<&Recorder::OnKey>(&y));
    KeyDownListeners.RemoveLast();
    KeyDownListeners.Fire(7);
    EXPECT_EQ(x.calls, (std::vector<std::string>{"x:7"}));
    EXPECT_TRUE(y.calls.empty());
}

TEST(GamepadTest, NoPadMeansNoPollAndNoVibration) {
    EXPECT_FALSE(PollGamepad());
    EXPECT_EQ(GetGamepadRecords().lastResult, static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_FALSE(SetGamepadVibration(1.0f, 1.0f));
}

TEST(GamepadTest, DecodesTheFirstPad) {
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* stick = SDL_JoystickOpen(index);
    ASSERT_NE(stick, nullptr);
    ASSERT_TRUE(PollGamepad());  // the pad at rest
    EXPECT_EQ(GetGamepadRecords().buttons.a, 0);
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_A, 1);
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_Y, 1);
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1);
    SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, -32768);
    SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTY, 32767);  // SDL: down
    SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);

    ASSERT_TRUE(PollGamepad());
    const GamepadRecords& pad = GetGamepadRecords();
    EXPECT_EQ(pad.buttons.a, 1);
    EXPECT_EQ(pad.buttons.y, 1);
    EXPECT_EQ(pad.buttons.b, 0);
    EXPECT_EQ(pad.dpad.left, 1);
    EXPECT_EQ(pad.dpad.up, 0);
    EXPECT_FLOAT_EQ(pad.sticks[0], -32768.0f / 32767.0f);  // slightly below -1
    EXPECT_FLOAT_EQ(pad.sticks[1], -1.0f);                 // up is positive
    EXPECT_FLOAT_EQ(pad.triggers[1], 1.0f);
    EXPECT_FLOAT_EQ(pad.triggers[0], 0.0f);
    EXPECT_TRUE(SetGamepadVibration(2.0f, -1.0f));

    SDL_JoystickClose(stick);
    SDL_JoystickDetachVirtual(index);
    EXPECT_FALSE(PollGamepad());
    EXPECT_FALSE(SetGamepadVibration(0.5f, 0.5f));
    // A failed poll leaves the decoded records as they were.
    EXPECT_EQ(pad.buttons.a, 1);
}

class FakeGame : public ShellGame {
public:
    explicit FakeGame(std::vector<std::string>& log) : log_(log) {}
    bool RunInitialize() override {
        log_.push_back("Initialize");
        return true;
    }
    void RunShutdown() override { log_.push_back("Shutdown"); }
    void TickFps() override {}
    void UpdateAudio() override {}
    void DrawCursor() override {}
    void OnEvent(int /*code*/) override {}
    void RunUpdate() override {
        log_.push_back("Update:" + std::to_string(TouchEvents.size()) + ":" + std::to_string(GetInputState().keys[57]) +
                       "/" + std::to_string(GetInputState().previousKeys[57]));
    }
    void RunDraw() override { log_.push_back("Draw"); }

private:
    std::vector<std::string>& log_;
};

TEST_F(InputTest, ApplicationDrivesTheGame) {
    std::vector<std::string> log;
    FakeGame* game = new FakeGame(log);
    app_.game_ = game;  // an existing game is kept
    ASSERT_TRUE(app_.InitApplication());
    EXPECT_EQ(app_.game_, game);
    EXPECT_EQ(g_shellApp, &app_);
    EXPECT_EQ(g_shellGame, game);

    ASSERT_TRUE(app_.InitView());
    host_.pointer_inside_ = true;
    host_.pointer_code_ = kPointerLeftPress;
    host_.OnKeyDown(0x20);  // tapped before the first frame
    host_.OnKeyUp(0x20);
    ASSERT_TRUE(app_.RenderScene());
    ASSERT_TRUE(app_.RenderScene());
    ASSERT_TRUE(app_.ReleaseView());
    ASSERT_TRUE(app_.QuitApplication());
    EXPECT_EQ(g_shellApp, nullptr);
    EXPECT_EQ(g_shellGame, nullptr);
    // The key states are copied into last frame's after each frame; the
    // tapped key is down for the first and up for the second.
    EXPECT_EQ(log,
              (std::vector<std::string>{"Initialize", "Update:1:1/0", "Draw", "Update:1:0/1", "Draw", "Shutdown"}));
    // ~ShellApp deletes the game.
}

}  // namespace
