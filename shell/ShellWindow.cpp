// The shell's window: creation and placement, the window procedure and the
// message loop.
#include <string>

#include "Core/KeyboardListeners.h"
#include "platform/win32/Input.h"
#include "platform/win32/Time.h"
#include "platform/win32/Window.h"
#include "shell/KeyCodeTable.h"
#include "shell/PointerState.h"
#include "shell/ShellBase.h"
#include "shell/ShellHost.h"
#include "shell/ShellOptions.h"

namespace {

const char kWindowClassName[] = "DunmarchLiteClass";
const char kWindowTitle[] = "Dunmarch Lite";

ShellHost* HostOf(HWND window) { return reinterpret_cast<ShellHost*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

// The message's client position over the client size (given in size when
// asked for). False for an empty client area (a minimised window), which has
// no position to give.
bool NormalisedPosition(HWND window, LPARAM lParam, float* x, float* y, Vector2* size = nullptr) {
    RECT client;
    if (!GetClientRect(window, &client)) return false;
    const LONG width = client.right - client.left;
    const LONG height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return false;
    *x = static_cast<float>(LOWORD(lParam)) / static_cast<float>(width);
    *y = static_cast<float>(HIWORD(lParam)) / static_cast<float>(height);
    if (size != nullptr) *size = Vector2(static_cast<float>(width), static_cast<float>(height));
    return true;
}

bool IsInside(float x, float y) { return x >= 0.0f && x <= 1.0f && y >= 0.0f && y <= 1.0f; }

void OnMouseMove(HWND window, ShellHost& host, LPARAM lParam) {
    float x = -1.0f, y = -1.0f;
    Vector2 clientSize;
    const bool known = NormalisedPosition(window, lParam, &x, &y, &clientSize);
    if (known && IsInside(x, y)) {
        host.pointer_position_[0] = x;
        host.pointer_position_[1] = y;
        if ((GetAsyncKeyState(VK_RBUTTON) & 0x8000) && host.pointer_code_ != kPointerNone)
            host.pointer_code_ = kPointerRightDrag;
        if ((GetAsyncKeyState(VK_LBUTTON) & 0x8000) && host.pointer_code_ != kPointerNone)
            host.pointer_code_ = kPointerLeftDrag;
        host.pointer_inside_ = true;
        PointerState& pointer = GetPointerState();
        pointer.position = Vector2(static_cast<float>(LOWORD(lParam)), static_cast<float>(HIWORD(lParam)));
        pointer.time = GetTickCount();
        pointer.client_size = clientSize;
        return;
    }
    if (known) {
        host.pointer_position_[0] = x;
        host.pointer_position_[1] = y;
    }
    if (host.pointer_code_ == kPointerNone) ReleaseCapture();
    host.pointer_inside_ = false;
}

}  // namespace

void RegisterShellWindowClass(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ShellWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "ICON");
    wc.hCursor = nullptr;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kWindowClassName;
    RegisterClassA(&wc);
}

bool ShellHost::InitOS() {
    ShellOptions& o = *app_->options_;
    RegisterShellWindowClass(instance_);
    const std::string firstTitle =
        std::string(o.applicationName ? *o.applicationName : "") + " - Build " + kShellVersion;

    HMONITOR monitor = MonitorFromPoint(POINT{o.windowX, o.windowY}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) info.rcMonitor = RECT{0, 0, o.windowWidth, o.windowHeight};
    const LONG monitorWidth = info.rcMonitor.right - info.rcMonitor.left;
    const LONG monitorHeight = info.rcMonitor.bottom - info.rcMonitor.top;
    // Halve until it fits; a window never shrinks below 1 x 1.
    while ((o.windowWidth > monitorWidth || o.windowHeight > monitorHeight) &&
           (o.windowWidth > 1 || o.windowHeight > 1)) {
        o.windowWidth = o.windowWidth > 1 ? o.windowWidth / 2 : 1;
        o.windowHeight = o.windowHeight > 1 ? o.windowHeight / 2 : 1;
    }

    if (o.fullscreen) {
        window_ = CreateWindowExA(0, kWindowClassName, firstTitle.c_str(), WS_VISIBLE | WS_SYSMENU, CW_USEDEFAULT,
                                  CW_USEDEFAULT, o.windowWidth, o.windowHeight, nullptr, nullptr, instance_, this);
        if (window_) {
            SetWindowLongA(window_, GWL_STYLE, GetWindowLongA(window_, GWL_STYLE) & ~WS_CAPTION);
            SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED);
        }
    } else {
        RECT r{o.windowX, o.windowY, o.windowX + o.windowWidth, o.windowY + o.windowHeight};
        AdjustWindowRectEx(&r, WS_CAPTION | WS_SYSMENU, FALSE, 0);
        const LONG shiftX = o.windowX - r.left, shiftY = o.windowY - r.top;
        r.left += shiftX;
        r.right += shiftX;
        r.top += shiftY;
        r.bottom += shiftY;
        const int x = o.defaultPosition ? 100 : o.windowX;
        const int y = o.defaultPosition ? 100 : o.windowY;
        window_ = CreateWindowExA(0, kWindowClassName, firstTitle.c_str(), WS_VISIBLE | WS_CAPTION | WS_SYSMENU, x, y,
                                  r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance_, this);
    }
    if (!window_) return false;

    if (o.fullscreen) {
        // Cover the chosen monitor, wherever it sits on the desktop.
        o.windowWidth = monitorWidth;
        o.windowHeight = monitorHeight;
        SetWindowPos(window_, HWND_TOPMOST, info.rcMonitor.left, info.rcMonitor.top, o.windowWidth, o.windowHeight, 0);
    }
    dc_ = GetDC(window_);
    ShowWindow(window_, show_command_);
    UpdateWindow(window_);
    ShowCursor(FALSE);  // the game draws its own cursor
    SetWindowTextA(window_, kWindowTitle);
    POINT origin{0, 0};
    ClientToScreen(window_, &origin);
    o.windowX = origin.x;
    o.windowY = origin.y;
    return true;
}

void ShellHost::ReleaseOS() {
    ReleaseDC(window_, dc_);
    dc_ = nullptr;
    DestroyWindow(window_);
    window_ = nullptr;
    pointer_inside_ = false;
}

void ShellHost::ProcessMessages() {
    MSG msg;
    while (window_ && PeekMessageA(&msg, window_, 0, 0, PM_REMOVE)) {
        if (!TranslateAcceleratorA(window_, nullptr, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

bool ShellHost::OnPointerPress(HWND window, int code, LPARAM lParam) {
    float x, y;
    // A press on an empty client area has no position: it is ignored.
    if (!NormalisedPosition(window, lParam, &x, &y)) return false;
    pointer_position_[0] = x;
    pointer_position_[1] = y;
    SetCapture(window);
    pointer_inside_ = true;
    pointer_code_ = code;
    if (code != kPointerMiddle) unreported_press_ = code;
    return true;
}

bool ShellHost::OnPointerRelease(int code) {
    pointer_code_ = code;
    if (IsInside(pointer_position_[0], pointer_position_[1])) return true;
    pointer_inside_ = false;
    return false;
}

bool ShellHost::OsGetInt(int index, int* value) const {
    if (index != kIntPointerCode) return false;
    *value = pointer_code_;
    return true;
}

void* ShellHost::OsGetPointer(int index) const {
    switch (index) {
        case kPtrInstance: return instance_;
        case kPtrWindow: return window_;
        case kPtrPointerPosition: return pointer_inside_ ? const_cast<float*>(pointer_position_) : nullptr;
        default: return nullptr;
    }
}

bool ShellHost::CreateOffscreenBitmap() {
    memory_dc_ = CreateCompatibleDC(dc_);
    offscreen_bitmap_ = CreateCompatibleBitmap(dc_, 640, 480);
    return memory_dc_ && offscreen_bitmap_;
}

void ShellHost::SelectOffscreenBitmap() { previous_bitmap_ = SelectObject(memory_dc_, offscreen_bitmap_); }

void ShellHost::ReleaseOffscreenBitmap() {
    if (memory_dc_ && previous_bitmap_) SelectObject(memory_dc_, previous_bitmap_);
    if (memory_dc_) DeleteDC(memory_dc_);
    if (offscreen_bitmap_) DeleteObject(offscreen_bitmap_);
    memory_dc_ = nullptr;
    offscreen_bitmap_ = nullptr;
    previous_bitmap_ = nullptr;
}

bool ShellHost::CopyOffscreenBitmap() { return BitBlt(dc_, 0, 0, 640, 480, memory_dc_, 0, 0, SRCCOPY) == 1; }

LRESULT ShellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const CREATESTRUCTA* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        return DefWindowProcA(window, message, wParam, lParam);
    }
    ShellHost* host = HostOf(window);
    if (!host) return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
        case WM_DESTROY:
        case WM_QUIT:
        case WM_SETFOCUS:
        case WM_KILLFOCUS: return 0;
        case WM_CLOSE:
            // The run loop shuts down in order; the window stays until then.
            host->quit_ = true;
            return 0;
        case WM_ACTIVATE: host->activation_ = wParam ? 1 : -1; break;
        case WM_LBUTTONDOWN:
            host->OnPointerPress(
                window, host->pointer_code_ == kPointerLeftPress ? kPointerLeftRepeat : kPointerLeftPress, lParam);
            break;
        case WM_RBUTTONDOWN:
            host->OnPointerPress(
                window, host->pointer_code_ == kPointerRightPress ? kPointerRightRepeat : kPointerRightPress, lParam);
            break;
        case WM_MBUTTONDOWN: host->OnPointerPress(window, kPointerMiddle, lParam); break;
        case WM_LBUTTONUP:
            if (!host->OnPointerRelease(kPointerLeftRelease)) return 0;
            break;
        case WM_RBUTTONUP:
            if (!host->OnPointerRelease(kPointerRightRelease)) return 0;
            break;
        case WM_MBUTTONUP:
            if (!host->OnPointerRelease(kPointerMiddle)) return 0;
            break;
        case WM_MOUSEMOVE:
            OnMouseMove(window, *host, lParam);
            if (!host->pointer_inside_) return 0;
            break;
        case WM_MOUSEWHEEL: GetPointerState().wheel += static_cast<short>(HIWORD(wParam)) / 120.0f; break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            host->OnKeyDown(wParam);
            if (wParam != 0x1B && wParam != 0xC1) FireKeyboardListeners(0, wParam <= 255 ? KeyCodeTable[wParam] : 0);
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP: host->OnKeyUp(wParam); break;
        case WM_CHAR: FireKeyboardListeners(static_cast<uint16_t>(wParam & 0xFFFF), 0); break;
        default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
