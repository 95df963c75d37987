#include "platform/win32/Window.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/Trace.h"
#include "platform/win32/Input.h"
#include "platform/win32/SdlBridge.h"
#include "platform/win32/TerminationRequest.h"

struct HWND__ {
    SDL_Window* sdl = nullptr;
    Uint32 sdlId = 0;
    WNDPROC proc = nullptr;
    LONG style = 0;
    LONG_PTR userData = 0;
    bool minimised = false;
    bool closeRequested = false;  // a termination request reached it
};

namespace {

struct WindowClass {
    WNDCLASSA wc;
    std::string name;
};

std::map<std::string, WindowClass> g_classes;
std::vector<HWND> g_windows;
std::deque<MSG> g_queue;

std::string ClassKey(LPCSTR name) {
    std::string key = name ? name : "";
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

bool IsWindowHandle(HWND window) {
    return window && std::find(g_windows.begin(), g_windows.end(), window) != g_windows.end();
}

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Without a named driver SDL would fall back to its offscreen one, which shows
// nothing: only the desktop's own drivers are tried, and their absence is said once.
bool EnsureVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    static bool refused = false;
    if (refused) return false;
    const bool named = IsSet("SDL_VIDEODRIVER");
    if (!named) {
        const bool wayland = IsSet("WAYLAND_DISPLAY");
        if (wayland || IsSet("DISPLAY"))
            SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, wayland ? "wayland,x11" : "x11", SDL_HINT_OVERRIDE);
    }
    if ((!named && !IsSet("WAYLAND_DISPLAY") && !IsSet("DISPLAY")) || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (named) {
            std::fprintf(stderr, "SDL video: %s\n", SDL_GetError());
        } else {
            refused = true;
            std::fprintf(stderr,
                         "No display found: DISPLAY and WAYLAND_DISPLAY are unset or name no server. To run without "
                         "a display, set SDL_VIDEODRIVER=offscreen.\n");
        }
        return false;
    }
    // Keep the GL library loaded for the whole process: SDL would unload it
    // with the last window, and drivers do not expect to be loaded twice.
    if (SDL_GL_LoadLibrary(nullptr) != 0) std::fprintf(stderr, "SDL GL library: %s\n", SDL_GetError());
    return true;
}

HWND WindowFromSdlId(Uint32 id) {
    for (HWND w : g_windows)
        if (w->sdlId == id) return w;
    return nullptr;
}

// Keyboard events without a focus window still belong to our only window.
HWND KeyboardWindow(Uint32 id) {
    HWND w = WindowFromSdlId(id);
    if (!w && !g_windows.empty()) w = g_windows.front();
    return w;
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Uint32 time) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = time;
    g_queue.push_back(msg);
}

LPARAM ClientPointParam(int x, int y) {
    x = std::clamp(x, -32768, 32767);
    y = std::clamp(y, -32768, 32767);
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

WPARAM MouseKeyFlags() {
    WPARAM flags = 0;
    if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) flags |= MK_LBUTTON;
    if (GetAsyncKeyState(VK_RBUTTON) & 0x8000) flags |= MK_RBUTTON;
    if (GetAsyncKeyState(VK_MBUTTON) & 0x8000) flags |= MK_MBUTTON;
    if (GetAsyncKeyState(VK_SHIFT) & 0x8000) flags |= MK_SHIFT;
    if (GetAsyncKeyState(VK_CONTROL) & 0x8000) flags |= MK_CONTROL;
    return flags;
}

// Virtual-key code of an SDL key, 0 when Windows has none. Letters and digits
// follow the keyboard layout (as Windows' do); the other keys their position.
int VirtualKeyFromSdl(const SDL_Keysym& key) {
    const SDL_Keycode code = key.sym;
    if (code >= SDLK_a && code <= SDLK_z) return 0x41 + (code - SDLK_a);
    if (code >= SDLK_0 && code <= SDLK_9) return 0x30 + (code - SDLK_0);
    const SDL_Scancode sc = key.scancode;
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 0x41 + (sc - SDL_SCANCODE_A);
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return 0x31 + (sc - SDL_SCANCODE_1);
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return 0x70 + (sc - SDL_SCANCODE_F1);
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return 0x61 + (sc - SDL_SCANCODE_KP_1);
    switch (sc) {
        case SDL_SCANCODE_0: return 0x30;
        case SDL_SCANCODE_KP_0: return 0x60;
        case SDL_SCANCODE_BACKSPACE: return 0x08;
        case SDL_SCANCODE_TAB: return 0x09;
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_KP_ENTER: return 0x0D;
        case SDL_SCANCODE_LSHIFT:
        case SDL_SCANCODE_RSHIFT: return 0x10;
        case SDL_SCANCODE_LCTRL:
        case SDL_SCANCODE_RCTRL: return 0x11;
        case SDL_SCANCODE_LALT:
        case SDL_SCANCODE_RALT: return 0x12;
        case SDL_SCANCODE_PAUSE: return 0x13;
        case SDL_SCANCODE_CAPSLOCK: return 0x14;
        case SDL_SCANCODE_ESCAPE: return 0x1B;
        case SDL_SCANCODE_SPACE: return 0x20;
        case SDL_SCANCODE_PAGEUP: return 0x21;
        case SDL_SCANCODE_PAGEDOWN: return 0x22;
        case SDL_SCANCODE_END: return 0x23;
        case SDL_SCANCODE_HOME: return 0x24;
        case SDL_SCANCODE_LEFT: return 0x25;
        case SDL_SCANCODE_UP: return 0x26;
        case SDL_SCANCODE_RIGHT: return 0x27;
        case SDL_SCANCODE_DOWN: return 0x28;
        case SDL_SCANCODE_PRINTSCREEN: return 0x2C;
        case SDL_SCANCODE_INSERT: return 0x2D;
        case SDL_SCANCODE_DELETE: return 0x2E;
        case SDL_SCANCODE_KP_MULTIPLY: return 0x6A;
        case SDL_SCANCODE_KP_PLUS: return 0x6B;
        case SDL_SCANCODE_KP_MINUS: return 0x6D;
        case SDL_SCANCODE_KP_PERIOD: return 0x6E;
        case SDL_SCANCODE_KP_DIVIDE: return 0x6F;
        case SDL_SCANCODE_NUMLOCKCLEAR: return 0x90;
        case SDL_SCANCODE_SCROLLLOCK: return 0x91;
        case SDL_SCANCODE_SEMICOLON: return 0xBA;
        case SDL_SCANCODE_EQUALS: return 0xBB;
        case SDL_SCANCODE_COMMA: return 0xBC;
        case SDL_SCANCODE_MINUS: return 0xBD;
        case SDL_SCANCODE_PERIOD: return 0xBE;
        case SDL_SCANCODE_SLASH: return 0xBF;
        case SDL_SCANCODE_GRAVE: return 0xC0;
        case SDL_SCANCODE_LEFTBRACKET: return 0xDB;
        case SDL_SCANCODE_BACKSLASH: return 0xDC;
        case SDL_SCANCODE_RIGHTBRACKET: return 0xDD;
        case SDL_SCANCODE_APOSTROPHE: return 0xDE;
        default: return 0;
    }
}

void PostKey(const SDL_KeyboardEvent& e) {
    HWND window = KeyboardWindow(e.windowID);
    const int vk = VirtualKeyFromSdl(e.keysym);
    if (!window || vk == 0) return;
    const bool down = e.type == SDL_KEYDOWN;
    SetAsyncKeyDown(vk, down);
    // Keys pressed with Alt held, Alt itself and F10 are system keys.
    const bool system = vk == VK_MENU || vk == VK_F10 || (GetAsyncKeyState(VK_MENU) & 0x8000) ||
                        (!down && (SDL_GetModState() & KMOD_ALT));
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lParam = 1 | (static_cast<LPARAM>(e.keysym.scancode & 0xFF) << 16);
    if (!down || e.repeat) lParam |= LPARAM(1) << 30;
    if (!down) lParam |= LPARAM(1) << 31;
    Post(window, message, static_cast<WPARAM>(vk), lParam, e.timestamp);
}

// One WM_CHAR per UTF-16 unit of the typed text.
void PostText(const SDL_TextInputEvent& e) {
    HWND window = KeyboardWindow(e.windowID);
    if (!window) return;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(e.text);
    while (*p) {
        uint32_t cp = *p;
        int extra = 0;
        if (cp >= 0xF0) {
            cp &= 0x07;
            extra = 3;
        } else if (cp >= 0xE0) {
            cp &= 0x0F;
            extra = 2;
        } else if (cp >= 0xC0) {
            cp &= 0x1F;
            extra = 1;
        } else if (cp >= 0x80) {
            ++p;
            continue;
        }  // stray continuation byte
        ++p;
        bool valid = true;
        for (int i = 0; i < extra; ++i, ++p) {
            if ((*p & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (*p & 0x3F);
        }
        if (!valid) continue;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            Post(window, WM_CHAR, 0xD800 + (cp >> 10), 1, e.timestamp);
            Post(window, WM_CHAR, 0xDC00 + (cp & 0x3FF), 1, e.timestamp);
        } else {
            Post(window, WM_CHAR, cp, 1, e.timestamp);
        }
    }
}

void PostMouseButton(const SDL_MouseButtonEvent& e) {
    HWND window = WindowFromSdlId(e.windowID);
    const bool down = e.type == SDL_MOUSEBUTTONDOWN;
    UINT message;
    switch (e.button) {
        case SDL_BUTTON_LEFT:
            SetAsyncKeyDown(VK_LBUTTON, down);
            message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            break;
        case SDL_BUTTON_RIGHT:
            SetAsyncKeyDown(VK_RBUTTON, down);
            message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            break;
        case SDL_BUTTON_MIDDLE:
            SetAsyncKeyDown(VK_MBUTTON, down);
            message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
            break;
        default: return;
    }
    if (window) Post(window, message, MouseKeyFlags(), ClientPointParam(e.x, e.y), e.timestamp);
}

void PostWindowEvent(const SDL_WindowEvent& e) {
    HWND window = WindowFromSdlId(e.windowID);
    if (!window) return;
    switch (e.event) {
        case SDL_WINDOWEVENT_CLOSE: Post(window, WM_CLOSE, 0, 0, e.timestamp); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            Post(window, WM_ACTIVATE, WA_ACTIVE, 0, e.timestamp);
            Post(window, WM_SETFOCUS, 0, 0, e.timestamp);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            Post(window, WM_ACTIVATE, WA_INACTIVE, 0, e.timestamp);
            Post(window, WM_KILLFOCUS, 0, 0, e.timestamp);
            break;
        case SDL_WINDOWEVENT_MINIMIZED: window->minimised = true; break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED: window->minimised = false; break;
        default: break;
    }
}

void TranslateEvent(const SDL_Event& e) {
    switch (e.type) {
        case SDL_QUIT:
            // The session or a signal asks the program to end: a close request.
            for (HWND w : g_windows) Post(w, WM_CLOSE, 0, 0, e.quit.timestamp);
            break;
        case SDL_WINDOWEVENT: PostWindowEvent(e.window); break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: PostKey(e.key); break;
        case SDL_TEXTINPUT: PostText(e.text); break;
        case SDL_MOUSEMOTION:
            if (HWND w = WindowFromSdlId(e.motion.windowID))
                Post(w, WM_MOUSEMOVE, MouseKeyFlags(), ClientPointParam(e.motion.x, e.motion.y), e.motion.timestamp);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: PostMouseButton(e.button); break;
        case SDL_MOUSEWHEEL:
            if (HWND w = WindowFromSdlId(e.wheel.windowID)) {
                int notches = e.wheel.y;
                if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
                const int delta = std::clamp(notches * WHEEL_DELTA, -32768, 32767);
                const WPARAM wParam = (MouseKeyFlags() & 0xFFFF) |
                                      (static_cast<WPARAM>(static_cast<WORD>(static_cast<short>(delta))) << 16);
                int mx = 0, my = 0;
                SDL_GetMouseState(&mx, &my);
                POINT pt{mx, my};
                ClientToScreen(w, &pt);
                Post(w, WM_MOUSEWHEEL, wParam, ClientPointParam(pt.x, pt.y), e.wheel.timestamp);
            }
            break;
        default: break;
    }
}

void PumpSdlEvents() {
    if (!SDL_WasInit(SDL_INIT_EVERYTHING)) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) TranslateEvent(e);
}

void ApplyFrameStyle(HWND window) {
    SDL_SetWindowBordered(window->sdl, (window->style & WS_CAPTION) ? SDL_TRUE : SDL_FALSE);
}

}  // namespace

SDL_Window* GetSdlWindow(HWND window) { return IsWindowHandle(window) ? window->sdl : nullptr; }

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) return 0;
    const std::string key = ClassKey(windowClass->lpszClassName);
    if (g_classes.count(key)) return 0;  // already registered, as on Windows
    WindowClass& entry = g_classes[key];
    entry.wc = *windowClass;
    entry.name = windowClass->lpszClassName;
    entry.wc.lpszClassName = entry.name.c_str();
    entry.wc.lpszMenuName = nullptr;
    return static_cast<ATOM>(g_classes.size());
}

HWND CreateWindowExA(DWORD /*exStyle*/, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU /*menu*/, HINSTANCE instance, LPVOID param) {
    auto found = g_classes.find(ClassKey(className));
    if (found == g_classes.end()) return nullptr;
    if (!EnsureVideo()) return nullptr;

    // Overlapped top-level windows always carry a caption on Windows.
    if (!parent && !(style & WS_POPUP)) style |= WS_CAPTION;
    if (width == CW_USEDEFAULT) width = 640;
    if (height == CW_USEDEFAULT) height = 480;
    width = std::max(width, 1);
    height = std::max(height, 1);
    const int sx = x == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : x;
    const int sy = (x == CW_USEDEFAULT || y == CW_USEDEFAULT) ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : y;

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);

    Uint32 flags = SDL_WINDOW_OPENGL;
    flags |= (style & WS_VISIBLE) ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    if (!(style & WS_CAPTION)) flags |= SDL_WINDOW_BORDERLESS;
    SDL_Window* sdl = SDL_CreateWindow(title ? title : "", sx, sy, width, height, flags);
    if (!sdl) {
        std::fprintf(stderr, "SDL window: %s\n", SDL_GetError());
        return nullptr;
    }

    HWND window = new HWND__;
    window->sdl = sdl;
    window->sdlId = SDL_GetWindowID(sdl);
    window->proc = found->second.wc.lpfnWndProc;
    window->style = static_cast<LONG>(style);
    g_windows.push_back(window);

    CREATESTRUCTA cs{};
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hwndParent = parent;
    cs.cx = width;
    cs.cy = height;
    cs.x = x;
    cs.y = y;
    cs.style = window->style;
    cs.lpszName = title;
    cs.lpszClass = found->second.name.c_str();
    if (window->proc(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    PlatformTrace("window created: %s %dx%d", found->second.name.c_str(), width, height);
    return window;
}

BOOL DestroyWindow(HWND window) {
    if (!IsWindowHandle(window)) return FALSE;
    window->proc(window, WM_DESTROY, 0, 0);
    g_windows.erase(std::find(g_windows.begin(), g_windows.end(), window));
    g_queue.erase(std::remove_if(g_queue.begin(), g_queue.end(), [window](const MSG& m) { return m.hwnd == window; }),
                  g_queue.end());
    SDL_DestroyWindow(window->sdl);
    delete window;
    PlatformTrace("window destroyed");
    return TRUE;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}

LONG GetWindowLongA(HWND window, int index) { return static_cast<LONG>(GetWindowLongPtrA(window, index)); }

LONG SetWindowLongA(HWND window, int index, LONG value) {
    return static_cast<LONG>(SetWindowLongPtrA(window, index, value));
}

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
    if (!IsWindowHandle(window)) return 0;
    if (index == GWL_STYLE) return window->style;
    if (index == GWLP_USERDATA) return window->userData;
    return 0;
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    if (!IsWindowHandle(window)) return 0;
    LONG_PTR old = 0;
    if (index == GWL_STYLE) {
        // Takes effect with SetWindowPos(SWP_FRAMECHANGED), as on Windows.
        old = window->style;
        window->style = static_cast<LONG>(value);
    } else if (index == GWLP_USERDATA) {
        old = window->userData;
        window->userData = value;
    }
    return old;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    if (!IsWindowHandle(window)) return FALSE;
    if (flags & SWP_FRAMECHANGED) ApplyFrameStyle(window);
    if (!(flags & SWP_NOSIZE)) SDL_SetWindowSize(window->sdl, std::max(width, 1), std::max(height, 1));
    if (!(flags & SWP_NOMOVE)) SDL_SetWindowPosition(window->sdl, x, y);
    if (!(flags & SWP_NOZORDER)) {
        if (insertAfter == HWND_TOPMOST) SDL_SetWindowAlwaysOnTop(window->sdl, SDL_TRUE);
        else if (insertAfter == HWND_NOTOPMOST) SDL_SetWindowAlwaysOnTop(window->sdl, SDL_FALSE);
    }
    return TRUE;
}

BOOL ShowWindow(HWND window, int command) {
    if (!IsWindowHandle(window)) return FALSE;
    const BOOL wasVisible = (window->style & WS_VISIBLE) ? TRUE : FALSE;
    switch (command) {
        case SW_HIDE:
            SDL_HideWindow(window->sdl);
            window->style &= ~WS_VISIBLE;
            return wasVisible;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
            SDL_ShowWindow(window->sdl);
            SDL_MinimizeWindow(window->sdl);
            window->minimised = true;
            break;
        case SW_MAXIMIZE:
            SDL_ShowWindow(window->sdl);
            SDL_MaximizeWindow(window->sdl);
            window->minimised = false;
            break;
        default:
            SDL_ShowWindow(window->sdl);
            if (window->minimised && command != SW_SHOW) {
                SDL_RestoreWindow(window->sdl);
                window->minimised = false;
            }
            break;
    }
    window->style |= WS_VISIBLE;
    return wasVisible;
}

BOOL UpdateWindow(HWND window) {
    // Nothing is painted through WM_PAINT here: the device draws the window.
    return IsWindowHandle(window) ? TRUE : FALSE;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    if (!IsWindowHandle(window)) return FALSE;
    SDL_SetWindowTitle(window->sdl, text ? text : "");
    return TRUE;
}

BOOL SetForegroundWindow(HWND window) {
    if (!IsWindowHandle(window)) return FALSE;
    SDL_RaiseWindow(window->sdl);
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    if (!IsWindowHandle(window) || !rect) return FALSE;
    int w = 0, h = 0;
    if (!window->minimised && !(SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MINIMIZED))
        SDL_GetWindowSize(window->sdl, &w, &h);
    *rect = RECT{0, 0, w, h};
    return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
    if (!IsWindowHandle(window) || !point) return FALSE;
    int x = 0, y = 0;
    SDL_GetWindowPosition(window->sdl, &x, &y);
    point->x += x;
    point->y += y;
    return TRUE;
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD, BOOL, DWORD) { return rect ? TRUE : FALSE; }

HMONITOR MonitorFromPoint(POINT point, DWORD flags) {
    if (!EnsureVideo()) return nullptr;
    const int count = SDL_GetNumVideoDisplays();
    long bestDistance = -1;
    int best = -1;
    for (int i = 0; i < count; ++i) {
        SDL_Rect r;
        if (SDL_GetDisplayBounds(i, &r) != 0) continue;
        if (point.x >= r.x && point.x < r.x + r.w && point.y >= r.y && point.y < r.y + r.h)
            return reinterpret_cast<HMONITOR>(static_cast<intptr_t>(i + 1));
        const long dx = point.x < r.x ? r.x - point.x : std::max<long>(0, point.x - (r.x + r.w - 1));
        const long dy = point.y < r.y ? r.y - point.y : std::max<long>(0, point.y - (r.y + r.h - 1));
        const long d = dx * dx + dy * dy;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    if (count <= 0) return nullptr;
    if (flags == MONITOR_DEFAULTTOPRIMARY) return reinterpret_cast<HMONITOR>(intptr_t(1));
    if (flags == MONITOR_DEFAULTTONEAREST && best >= 0)
        return reinterpret_cast<HMONITOR>(static_cast<intptr_t>(best + 1));
    return nullptr;
}

BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info) {
    if (!info || info->cbSize < sizeof(MONITORINFO) || !EnsureVideo()) return FALSE;
    const int index = static_cast<int>(reinterpret_cast<intptr_t>(monitor)) - 1;
    SDL_Rect bounds, usable;
    if (index < 0 || index >= SDL_GetNumVideoDisplays() || SDL_GetDisplayBounds(index, &bounds) != 0) return FALSE;
    if (SDL_GetDisplayUsableBounds(index, &usable) != 0) usable = bounds;
    info->rcMonitor = RECT{bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h};
    info->rcWork = RECT{usable.x, usable.y, usable.x + usable.w, usable.y + usable.h};
    info->dwFlags = index == 0 ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

HICON LoadIconA(HINSTANCE, LPCSTR) { return nullptr; }

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (platform::TerminationRequested()) {
        for (HWND w : g_windows) {
            if (w->closeRequested) continue;
            w->closeRequested = true;
            Post(w, WM_CLOSE, 0, 0, SDL_GetTicks());
        }
    }
    PumpSdlEvents();
    for (auto it = g_queue.begin(); it != g_queue.end(); ++it) {
        if (window && it->hwnd != window) continue;
        if ((filterMin || filterMax) && (it->message < filterMin || it->message > filterMax)) continue;
        if (msg) *msg = *it;
        if (removeFlags & PM_REMOVE) g_queue.erase(it);
        return TRUE;
    }
    return FALSE;
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg) return FALSE;
    if (msg->message == WM_KEYDOWN) {
        switch (msg->wParam) {
            case VK_BACK:
            case VK_TAB:
            case VK_RETURN:
            case VK_ESCAPE: {
                // Windows delivers the character right after its key-down.
                MSG ch = *msg;
                ch.message = WM_CHAR;
                ch.lParam = msg->lParam & 0x00FFFFFF;
                g_queue.push_front(ch);
                break;
            }
            default: break;
        }
    }
    const UINT m = msg->message;
    return (m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP) ? TRUE : FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg || !IsWindowHandle(msg->hwnd)) return 0;
    return msg->hwnd->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

int TranslateAcceleratorA(HWND, HACCEL, MSG*) { return 0; }
