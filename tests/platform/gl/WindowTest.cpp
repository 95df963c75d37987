// The Win32 window substitute on SDL's offscreen driver: creation, the
// message queue and the translation of SDL events.
#include "platform/win32/Window.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include "platform/win32/Input.h"
#include "platform/win32/InputScript.h"
#include "platform/win32/SdlBridge.h"
#include "platform/win32/TerminationRequest.h"

namespace {

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Seen> g_seen;
LRESULT g_createResult = 0;
void* g_createParam = nullptr;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        g_createParam = reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams;
        return g_createResult;
    }
    g_seen.push_back(Seen{message, wParam, lParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = "RecordingClass";
        RegisterClassA(&wc);
    }
    void SetUp() override {
        g_seen.clear();
        g_createResult = 0;
        window_ = CreateWindowExA(0, "recordingclass", "test", WS_VISIBLE | WS_CAPTION, 10, 20, 320, 240, nullptr,
                                  nullptr, nullptr, &marker_);
        ASSERT_NE(window_, nullptr);
        ResetAsyncKeys();
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
        ResetAsyncKeys();
    }

    // Pushes the event, then takes every message through the queue.
    std::vector<Seen> Pump(std::vector<SDL_Event> events) {
        for (SDL_Event& e : events) EXPECT_EQ(SDL_PushEvent(&e), 1);
        g_seen.clear();
        MSG msg;
        while (PeekMessageA(&msg, window_, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return g_seen;
    }
    std::vector<Seen> Only(std::vector<Seen> seen, std::initializer_list<UINT> messages) {
        std::vector<Seen> kept;
        for (const Seen& s : seen)
            for (UINT m : messages)
                if (s.message == m) kept.push_back(s);
        return kept;
    }
    Uint32 Id() const { return SDL_GetWindowID(GetSdlWindow(window_)); }
    SDL_Event Key(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym) {
        SDL_Event e{};
        e.type = type;
        e.key.windowID = Id();
        e.key.keysym.scancode = scancode;
        e.key.keysym.sym = sym;
        return e;
    }

    int marker_ = 0;
    HWND window_ = nullptr;
};

TEST_F(WindowTest, CreationAndClasses) {
    EXPECT_EQ(g_createParam, &marker_);
    WNDCLASSA again{};
    again.lpfnWndProc = RecordingProc;
    again.lpszClassName = "RECORDINGCLASS";
    EXPECT_EQ(RegisterClassA(&again), 0);  // class names ignore case, as on Windows
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);

    RECT client;
    ASSERT_TRUE(GetClientRect(window_, &client));
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 240);
    POINT origin{0, 0};
    ClientToScreen(window_, &origin);
    EXPECT_EQ(origin.x, 10);
    EXPECT_EQ(origin.y, 20);

    // WM_CREATE refusing the window: no window.
    g_createResult = -1;
    EXPECT_EQ(CreateWindowExA(0, "RecordingClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(WindowTest, MouseEventsCarryClientCoordinates) {
    SDL_Event down{};
    down.type = SDL_MOUSEBUTTONDOWN;
    down.button.windowID = Id();
    down.button.button = SDL_BUTTON_RIGHT;
    down.button.x = 30;
    down.button.y = 40;
    SDL_Event move{};
    move.type = SDL_MOUSEMOTION;
    move.motion.windowID = Id();
    move.motion.x = -10;  // outside, while captured
    move.motion.y = 5;
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.windowID = Id();
    wheel.wheel.y = -2;
    wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    const auto seen = Only(Pump({down, move, wheel}), {WM_RBUTTONDOWN, WM_MOUSEMOVE, WM_MOUSEWHEEL});
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].message, static_cast<UINT>(WM_RBUTTONDOWN));
    EXPECT_EQ(LOWORD(seen[0].lParam), 30);
    EXPECT_EQ(HIWORD(seen[0].lParam), 40);
    EXPECT_EQ(seen[0].wParam & MK_RBUTTON, static_cast<WPARAM>(MK_RBUTTON));
    EXPECT_EQ(static_cast<short>(LOWORD(seen[1].lParam)), -10);
    EXPECT_EQ(static_cast<short>(HIWORD(seen[2].wParam)), 240);  // flipped: two notches away
    EXPECT_NE(GetAsyncKeyState(VK_RBUTTON) & 0x8000, 0);
}

TEST_F(WindowTest, KeysBecomeVirtualKeysAndCharacters) {
    const auto seen = Pump(
        {Key(SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_a), Key(SDL_KEYUP, SDL_SCANCODE_A, SDLK_a),
         Key(SDL_KEYDOWN, SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE), Key(SDL_KEYDOWN, SDL_SCANCODE_KP_4, SDLK_KP_4),
         Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE), Key(SDL_KEYDOWN, SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE)});
    const auto keys = Only(seen, {WM_KEYDOWN, WM_KEYUP, WM_CHAR});
    const std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_KEYDOWN, 'A'},  {WM_KEYUP, 'A'},    {WM_KEYDOWN, 0x08}, {WM_CHAR, 0x08},
        {WM_KEYDOWN, 0x64}, {WM_KEYDOWN, 0x1B}, {WM_CHAR, 0x1B},    {WM_KEYDOWN, 0xDE},
    };
    ASSERT_EQ(keys.size(), expected.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].message, expected[i].first) << i;
        EXPECT_EQ(keys[i].wParam, expected[i].second) << i;
    }

    // Alt held: system keys.
    const auto sys =
        Only(Pump({Key(SDL_KEYDOWN, SDL_SCANCODE_LALT, SDLK_LALT), Key(SDL_KEYDOWN, SDL_SCANCODE_X, SDLK_x)}),
             {WM_SYSKEYDOWN, WM_KEYDOWN});
    ASSERT_EQ(sys.size(), 2u);
    EXPECT_EQ(sys[1].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(sys[1].wParam, static_cast<WPARAM>('X'));
}

// The input script's taps reach the window procedure within their frame, a
// click's and a key's release in the next one.
TEST_F(WindowTest, TheInputScriptsTapsComeWithinTheirFrame) {
    std::vector<platform::ScriptLine> lines;
    std::vector<platform::InputCommand> commands;
    std::string error;
    ASSERT_TRUE(platform::ReadScriptLines("0 tap 512 384\n0 keytap Esc\n1 click 0 0\n1 key A\n", &lines, &error));
    ASSERT_TRUE(platform::ParseInputScript(lines, &commands, &error)) << error;
    platform::InputScriptPlayer player(commands);
    const std::vector<std::vector<std::pair<UINT, WPARAM>>> expected = {
        {{WM_MOUSEMOVE, 0},
         {WM_LBUTTONDOWN, 0},
         {WM_LBUTTONUP, 0},
         {WM_KEYDOWN, 0x1B},
         {WM_CHAR, 0x1B},
         {WM_KEYUP, 0x1B}},
        {{WM_MOUSEMOVE, 0}, {WM_LBUTTONDOWN, 0}, {WM_KEYDOWN, 'A'}},
        {{WM_LBUTTONUP, 0}, {WM_KEYUP, 'A'}},
    };
    for (long frame = 0; frame < 3; ++frame) {
        g_seen.clear();
        ASSERT_TRUE(player.BeforeFrame(window_, frame)) << player.Error();
        std::vector<std::pair<UINT, WPARAM>> seen;
        for (const Seen& m : g_seen)
            seen.emplace_back(m.message,
                              m.message == WM_KEYDOWN || m.message == WM_KEYUP || m.message == WM_CHAR ? m.wParam : 0);
        EXPECT_EQ(seen, expected[frame]) << "frame " << frame;
        if (frame == 0) {
            EXPECT_EQ(g_seen[1].lParam, MAKELPARAM(160, 120));  // the middle of the 320 x 240 client area
        }
    }
    EXPECT_TRUE(player.Finished());
    EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 0);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
}

TEST_F(WindowTest, TextBecomesUtf16Characters) {
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = Id();
    SDL_strlcpy(text.text.text, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", sizeof text.text.text);
    const auto chars = Only(Pump({text}), {WM_CHAR});
    std::vector<WPARAM> units;
    for (const Seen& s : chars) units.push_back(s.wParam);
    EXPECT_EQ(units, (std::vector<WPARAM>{'a', 0xE9, 0x20AC, 0xD83D, 0xDE00}));
}

TEST_F(WindowTest, CloseFocusAndMinimise) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = Id();
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_Event minimised = e;
    minimised.window.event = SDL_WINDOWEVENT_MINIMIZED;
    SDL_Event close = e;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    const auto seen = Only(Pump({e, minimised}), {WM_ACTIVATE, WM_KILLFOCUS, WM_CLOSE});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].message, static_cast<UINT>(WM_ACTIVATE));
    EXPECT_EQ(seen[0].wParam, static_cast<WPARAM>(WA_INACTIVE));
    RECT client;
    GetClientRect(window_, &client);
    EXPECT_EQ(client.right, 0);  // minimised: empty client area

    // The default handling of WM_CLOSE destroys the window.
    Pump({close});
    EXPECT_EQ(GetSdlWindow(window_), nullptr);
    EXPECT_EQ(g_seen.back().message, static_cast<UINT>(WM_DESTROY));
    window_ = nullptr;
}

TEST_F(WindowTest, ATerminationRequestClosesEachWindowOnce) {
    platform::RequestTermination(SIGTERM);
    EXPECT_TRUE(platform::TerminationRequested());
    int closes = 0;
    MSG msg;
    for (int frame = 0; frame < 3; ++frame) {
        while (PeekMessageA(&msg, window_, WM_CLOSE, WM_CLOSE, PM_REMOVE)) ++closes;
    }
    platform::ClearTerminationRequest();
    EXPECT_EQ(closes, 1);
}

TEST_F(WindowTest, QueueFiltersAndDestroyDropsMessages) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = Id();
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, window_, WM_KEYDOWN, WM_KEYUP, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, window_, WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessageA(&msg, window_, WM_CLOSE, WM_CLOSE, PM_NOREMOVE));  // still queued
    EXPECT_EQ(msg.hwnd, window_);
    DestroyWindow(window_);
    window_ = nullptr;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
}

TEST_F(WindowTest, MonitorsAndDeviceContexts) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR primary = MonitorFromPoint(POINT{5, 5}, MONITOR_DEFAULTTONULL);
    ASSERT_NE(primary, nullptr);
    ASSERT_TRUE(GetMonitorInfoA(primary, &info));
    EXPECT_EQ(info.rcMonitor.right, 1024);  // SDL's offscreen display
    EXPECT_EQ(info.rcMonitor.bottom, 768);
    EXPECT_EQ(info.dwFlags, static_cast<DWORD>(MONITORINFOF_PRIMARY));
    EXPECT_EQ(MonitorFromPoint(POINT{-50000, 0}, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonitorFromPoint(POINT{-50000, 0}, MONITOR_DEFAULTTOPRIMARY), primary);
    info.cbSize = 4;
    EXPECT_FALSE(GetMonitorInfoA(primary, &info));

    // The offscreen bitmap's objects; a window's context takes no copy.
    HDC windowDc = GetDC(window_);
    ASSERT_NE(windowDc, nullptr);
    HDC memory = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, 640, 480);
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    ASSERT_NE(previous, nullptr);
    EXPECT_FALSE(DeleteObject(bitmap));  // still selected
    EXPECT_FALSE(BitBlt(windowDc, 0, 0, 640, 480, memory, 0, 0, SRCCOPY));
    EXPECT_EQ(SelectObject(memory, previous), bitmap);
    EXPECT_TRUE(DeleteDC(memory));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(ReleaseDC(window_, windowDc), 1);
}

}  // namespace
