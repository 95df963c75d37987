// The shell's window on SDL's offscreen driver: placement, and the window
// procedure fed with synthetic messages and with SDL events.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Core/KeyboardListeners.h"
#include "platform/win32/Input.h"
#include "platform/win32/SdlBridge.h"
#include "platform/win32/Time.h"
#include "platform/win32/Window.h"
#include "shell/InputState.h"
#include "shell/PointerState.h"
#include "shell/ShellApp.h"
#include "shell/ShellHost.h"
#include "shell/ShellOptions.h"
#include "shell/TouchEvent.h"

namespace {

struct Typed {
    std::vector<std::pair<int, int>> calls;  // (character, key code)
    void OnKey(uint16_t character, int32_t code) { calls.emplace_back(character, code); }
};

class ShellWindowTest : public ::testing::Test {
protected:
    void Open(const char* options = "") {
        host_.Init(&app_);
        host_.command_line_.Set(options);
        host_.command_line_.Parse();
        host_.command_line_.Apply(app_);
        ASSERT_TRUE(host_.InitOS());
        window_ = host_.window_;
        AddKeyboardListener(KeyboardListener::FromMethod<&Typed::OnKey>(&typed_));
        ResetAsyncKeys();
        GetInputState() = InputState{};
    }
    ~ShellWindowTest() override {
        RemoveKeyboardListeners(&typed_);
        ResetAsyncKeys();
        if (host_.window_) host_.ReleaseOS();
        app_.host_ = nullptr;
    }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ShellWindowProc(window_, message, wParam, lParam);
    }
    static LPARAM At(int x, int y) {
        return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
    }
    void Push(SDL_Event e) { ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError(); }
    Uint32 SdlId() const { return SDL_GetWindowID(GetSdlWindow(window_)); }

    ShellApp app_;
    ShellHost host_;
    HWND window_ = nullptr;
    Typed typed_;
};

TEST_F(ShellWindowTest, WindowedClientAreaHasTheRequestedSize) {
    Open("-width=640 -height=480");
    RECT client;
    ASSERT_TRUE(GetClientRect(window_, &client));
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    EXPECT_STREQ(SDL_GetWindowTitle(GetSdlWindow(window_)), "Dunmarch Lite");
    EXPECT_EQ(GetWindowLongPtrA(window_, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&host_));
    EXPECT_NE(GetWindowLongA(window_, GWL_STYLE) & WS_CAPTION, 0);
    // Default position, then the option set holds the client's screen position.
    EXPECT_EQ(app_.options_->windowX, 100);
    EXPECT_EQ(app_.options_->windowY, 100);
}

TEST_F(ShellWindowTest, TooLargeRequestsAreHalvedUntilTheyFit) {
    Open("-width=3000 -height=2000 -posx=0 -posy=0");  // the monitor is 1024 x 768
    EXPECT_EQ(app_.options_->windowWidth, 750);
    EXPECT_EQ(app_.options_->windowHeight, 500);
    RECT client;
    GetClientRect(window_, &client);
    EXPECT_EQ(client.right, 750);
}

TEST_F(ShellWindowTest, FullScreenCoversTheMonitorWithoutCaption) {
    Open("-fullscreen=1 -width=640 -height=480");
    EXPECT_EQ(app_.options_->windowWidth, 1024);
    EXPECT_EQ(app_.options_->windowHeight, 768);
    EXPECT_EQ(GetWindowLongA(window_, GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_EQ(app_.options_->windowX, 0);
    EXPECT_EQ(app_.options_->windowY, 0);
}

TEST_F(ShellWindowTest, ButtonsSetPointerCodes) {
    Open("-width=1000 -height=500");
    struct Step {
        UINT message;
        int code;
    } steps[] = {
        {WM_LBUTTONDOWN, kPointerLeftPress},  {WM_LBUTTONDOWN, kPointerLeftRepeat},
        {WM_LBUTTONUP, kPointerLeftRelease},  {WM_LBUTTONDOWN, kPointerLeftPress},
        {WM_RBUTTONDOWN, kPointerRightPress}, {WM_RBUTTONDOWN, kPointerRightRepeat},
        {WM_RBUTTONUP, kPointerRightRelease}, {WM_MBUTTONDOWN, kPointerMiddle},
        {WM_MBUTTONUP, kPointerMiddle},
    };
    for (const Step& s : steps) {
        Send(s.message, 0, At(250, 100));
        EXPECT_EQ(host_.pointer_code_, s.code) << "message " << s.message;
        EXPECT_TRUE(host_.pointer_inside_);
    }
    EXPECT_FLOAT_EQ(host_.pointer_position_[0], 0.25f);
    EXPECT_FLOAT_EQ(host_.pointer_position_[1], 0.2f);
}

TEST_F(ShellWindowTest, MovesDragAndLeaveTheClientArea) {
    platform::ScopedFakeClock clock(4242);
    Open("-width=1000 -height=500");
    // No code pending: a move only updates the pointer record.
    Send(WM_MOUSEMOVE, 0, At(100, 50));
    EXPECT_EQ(host_.pointer_code_, kPointerNone);
    EXPECT_TRUE(host_.pointer_inside_);
    EXPECT_EQ(GetPointerState().position.x, 100.0f);
    EXPECT_EQ(GetPointerState().position.y, 50.0f);
    EXPECT_EQ(GetPointerState().time, 4242u);
    EXPECT_EQ(GetPointerState().client_size.x, 1000.0f);  // what the interface scales the pointer by
    EXPECT_EQ(GetPointerState().client_size.y, 500.0f);

    Send(WM_LBUTTONDOWN, 0, At(100, 50));
    SetAsyncKeyDown(VK_LBUTTON, true);
    SetAsyncKeyDown(VK_RBUTTON, true);
    Send(WM_MOUSEMOVE, 0, At(200, 50));
    EXPECT_EQ(host_.pointer_code_, kPointerLeftDrag);  // left wins when both are down
    SetAsyncKeyDown(VK_LBUTTON, false);
    Send(WM_MOUSEMOVE, 0, At(210, 50));
    EXPECT_EQ(host_.pointer_code_, kPointerRightDrag);

    // Out of the window (negative coordinates while captured): the record stays.
    Send(WM_MOUSEMOVE, 0, At(-10, 50));
    EXPECT_FALSE(host_.pointer_inside_);
    EXPECT_EQ(host_.pointer_code_, kPointerRightDrag);
    EXPECT_EQ(GetPointerState().position.x, 210.0f);
    app_.TranslatePointerInput();
    EXPECT_TRUE(TouchEvents.empty());

    // Released outside: no event, and the code is cleared all the same.
    Send(WM_RBUTTONUP, 0, At(-10, 50));
    EXPECT_EQ(host_.pointer_code_, kPointerRightRelease);
    EXPECT_FALSE(host_.pointer_inside_);
    app_.TranslatePointerInput();
    EXPECT_TRUE(TouchEvents.empty());
    EXPECT_EQ(host_.pointer_code_, kPointerNone);
}

TEST_F(ShellWindowTest, ThePointerMapsOntoTheScreenAsTouchesDo) {
    Open("-width=800 -height=500");
    const struct {
        int x, y;
        float screenX, screenY;
    } moves[] = {
        {0, 0, 0.0f, 0.0f}, {400, 250, 512.0f, 384.0f}, {700, 100, 896.0f, 153.6f}, {800, 500, 1024.0f, 768.0f}};
    for (const auto& m : moves) {
        Send(WM_MOUSEMOVE, 0, At(m.x, m.y));
        const Vector2 onScreen = PointerOnScreen(GetPointerState(), 1024.0f, 768.0f);
        EXPECT_FLOAT_EQ(onScreen.x, m.screenX) << m.x;
        EXPECT_FLOAT_EQ(onScreen.y, m.screenY) << m.y;
        // the touch position names the same point of the screen
        EXPECT_FLOAT_EQ(host_.pointer_position_[0] * 1024.0f, m.screenX);
        EXPECT_FLOAT_EQ(host_.pointer_position_[1] * 768.0f, m.screenY);
    }
    PointerState still;
    still.position = Vector2(30.0f, 40.0f);
    EXPECT_EQ(PointerOnScreen(still, 1024.0f, 768.0f).x, 30.0f) << "before any movement, as it stands";
}

// Button messages between frames, and the touch event of each frame: 'L' / 'l'
// left down / up, 'R' / 'r' right down / up, 'm' a move inside with the left
// button down, 'o' a move out of the window, '|' a frame. Each frame is
// "phase/button" or "-". A press that a later message replaced before the
// frame is reported first, and what replaced it by the next frame.
TEST_F(ShellWindowTest, EveryPressIsReportedByAFrame) {
    Open("-width=1000 -height=500");
    struct Case {
        const char* steps;
        const char* frames;
    } cases[] = {
        {"L|l||", "0/0 3/0 -"},      // held over a frame
        {"Ll|||", "0/0 3/0 -"},      // a tap within one frame: the same events
        {"Rr|||", "0/1 3/1 -"},      // the right button's
        {"Lm||l|", "0/0 1/0 3/0"},   // pressed and dragged at once
        {"Lml||", "0/0 3/0"},        // pressed, dragged and released at once
        {"LlL||l|", "0/0 0/0 3/0"},  // two taps: the second is held
        {"Lol||", "- -"},            // released outside: nothing, as a slow click
    };
    for (const Case& c : cases) {
        host_.pointer_code_ = kPointerNone;
        host_.unreported_press_ = kPointerNone;
        SetAsyncKeyDown(VK_LBUTTON, false);
        std::string frames;
        for (const char* step = c.steps; *step; ++step) {
            switch (*step) {
                case 'L':
                    SetAsyncKeyDown(VK_LBUTTON, true);
                    Send(WM_LBUTTONDOWN, 0, At(250, 100));
                    break;
                case 'l':
                    SetAsyncKeyDown(VK_LBUTTON, false);
                    Send(WM_LBUTTONUP, 0, At(250, 100));
                    break;
                case 'R': Send(WM_RBUTTONDOWN, 0, At(250, 100)); break;
                case 'r': Send(WM_RBUTTONUP, 0, At(250, 100)); break;
                case 'm': Send(WM_MOUSEMOVE, 0, At(300, 100)); break;
                case 'o': Send(WM_MOUSEMOVE, 0, At(-10, 100)); break;
                case '|':
                    app_.TranslatePointerInput();
                    if (!frames.empty()) frames += " ";
                    frames += TouchEvents.empty()
                                  ? "-"
                                  : std::to_string(TouchEvents[0].phase) + "/" + std::to_string(TouchEvents[0].button);
                    EXPECT_LE(TouchEvents.size(), 1u) << c.steps;
                    break;
            }
        }
        EXPECT_EQ(frames, c.frames) << c.steps;
        EXPECT_EQ(host_.pointer_code_, kPointerNone) << c.steps;
    }
}

TEST_F(ShellWindowTest, WheelKeysCharactersAndClose) {
    Open();
    const float wheel = GetPointerState().wheel;
    Send(WM_MOUSEWHEEL, static_cast<WPARAM>(120) << 16);
    EXPECT_EQ(GetPointerState().wheel, wheel + 1.0f);
    Send(WM_MOUSEWHEEL, static_cast<WPARAM>(static_cast<WORD>(-240)) << 16);
    EXPECT_EQ(GetPointerState().wheel, wheel - 1.0f);

    Send(WM_KEYDOWN, 0x1B);  // Escape: a key state, but not for the text listeners
    EXPECT_EQ(GetInputState().keys[56], 1);
    Send(WM_KEYDOWN, 0xC1);
    Send(WM_SYSKEYDOWN, 'A');
    Send(WM_KEYDOWN, 0x3A);  // no program code
    Send(WM_CHAR, 'x');
    Send(WM_KEYUP, 0x1B);
    EXPECT_EQ(GetInputState().keys[56], 1) << "no frame saw the press yet";
    ReleaseHeldBackKeys();
    EXPECT_EQ(GetInputState().keys[56], 0);
    EXPECT_EQ(GetInputState().keys[10], 1);
    EXPECT_EQ(typed_.calls, (std::vector<std::pair<int, int>>{{0, 10}, {0, 255}, {'x', 0}}));

    EXPECT_EQ(Send(WM_CLOSE), 0);
    EXPECT_TRUE(host_.quit_);
    EXPECT_NE(GetSdlWindow(window_), nullptr);  // destroyed only by the run loop
}

TEST_F(ShellWindowTest, AMinimisedWindowHasNoPointerPosition) {
    Open();
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SdlId();
    e.window.event = SDL_WINDOWEVENT_MINIMIZED;
    Push(e);
    host_.ProcessMessages();
    RECT client;
    GetClientRect(window_, &client);
    ASSERT_EQ(client.right, 0);

    Send(WM_MOUSEMOVE, 0, At(5, 5));
    EXPECT_FALSE(host_.pointer_inside_);
    Send(WM_LBUTTONDOWN, 0, At(5, 5));
    EXPECT_EQ(host_.pointer_code_, kPointerNone);
    EXPECT_FALSE(host_.pointer_inside_);
    app_.TranslatePointerInput();
    EXPECT_TRUE(TouchEvents.empty());

    e.window.event = SDL_WINDOWEVENT_RESTORED;
    Push(e);
    host_.ProcessMessages();
    Send(WM_LBUTTONDOWN, 0, At(5, 5));
    EXPECT_EQ(host_.pointer_code_, kPointerLeftPress);
}

TEST_F(ShellWindowTest, SdlEventsReachTheWindowProcedure) {
    Open("-width=800 -height=600");
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = SdlId();
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = SDL_PRESSED;
    e.button.x = 200;
    e.button.y = 150;
    Push(e);
    e = SDL_Event{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = SdlId();
    e.motion.x = 400;
    e.motion.y = 300;
    Push(e);
    host_.ProcessMessages();
    EXPECT_EQ(host_.pointer_code_, kPointerLeftDrag);
    EXPECT_FLOAT_EQ(host_.pointer_position_[0], 0.5f);
    EXPECT_FLOAT_EQ(host_.pointer_position_[1], 0.5f);

    e = SDL_Event{};
    e.type = SDL_MOUSEBUTTONUP;
    e.button.windowID = SdlId();
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = 400;
    e.button.y = 300;
    Push(e);
    host_.ProcessMessages();
    EXPECT_EQ(host_.pointer_code_, kPointerLeftRelease);
    EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);

    // Return: its key state, then its character through WM_CHAR.
    e = SDL_Event{};
    e.type = SDL_KEYDOWN;
    e.key.windowID = SdlId();
    e.key.state = SDL_PRESSED;
    e.key.keysym.scancode = SDL_SCANCODE_RETURN;
    e.key.keysym.sym = SDLK_RETURN;
    Push(e);
    e = SDL_Event{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = SdlId();
    SDL_strlcpy(e.text.text, "\xC3\xA9", sizeof e.text.text);  // e acute
    Push(e);
    host_.ProcessMessages();
    EXPECT_EQ(GetInputState().keys[58], 1);
    EXPECT_EQ(typed_.calls, (std::vector<std::pair<int, int>>{{0, 58}, {0x0D, 0}, {0xE9, 0}}));

    e = SDL_Event{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SdlId();
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    Push(e);
    host_.ProcessMessages();
    EXPECT_TRUE(host_.quit_);
}

}  // namespace
