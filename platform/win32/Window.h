#pragma once
// The Win32 window, window class, placement and message queue, over SDL2.
// SDL events become the WM_* messages below; PeekMessageA pumps them and
// DispatchMessageA hands them to the window procedure, which is plain code.
// Window sizes are client sizes: the window manager draws any frame outside.
#include "platform/win32/Gdi.h"
#include "platform/win32/Types.h"

typedef WORD ATOM;
typedef intptr_t LONG_PTR;
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);
struct HICON__;
typedef HICON__* HICON;
typedef HICON HCURSOR;
struct HMENU__;
typedef HMENU__* HMENU;
struct HMONITOR__;
typedef HMONITOR__* HMONITOR;
struct HACCEL__;
typedef HACCEL__* HACCEL;

#ifndef CALLBACK
#define CALLBACK
#endif

struct POINT {
    LONG x;
    LONG y;
};

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

struct CREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

struct MONITORINFO {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};

// Messages.
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_MBUTTONDOWN 0x0207
#define WM_MBUTTONUP 0x0208
#define WM_MOUSEWHEEL 0x020A

#define WA_INACTIVE 0
#define WA_ACTIVE 1

#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008
#define MK_MBUTTON 0x0010
#define WHEEL_DELTA 120

// Styles.
#define WS_POPUP 0x80000000L
#define WS_VISIBLE 0x10000000L
#define WS_CAPTION 0x00C00000L
#define WS_SYSMENU 0x00080000L
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CW_USEDEFAULT ((int)0x80000000)

#define GWL_STYLE (-16)
#define GWLP_USERDATA (-21)

#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_MAXIMIZE 3
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10

#define HWND_TOPMOST ((HWND)(intptr_t)-1)
#define HWND_NOTOPMOST ((HWND)(intptr_t)-2)
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_FRAMECHANGED 0x0020

#define MONITOR_DEFAULTTONULL 0x00000000
#define MONITOR_DEFAULTTOPRIMARY 0x00000001
#define MONITOR_DEFAULTTONEAREST 0x00000002
#define MONITORINFOF_PRIMARY 0x00000001

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

ATOM RegisterClassA(const WNDCLASSA* windowClass);
// Sends WM_CREATE (lpCreateParams = param) before it returns.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width, int height,
                     HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
// Sends WM_DESTROY, then closes the window and drops its queued messages.
BOOL DestroyWindow(HWND window);
// WM_CLOSE destroys the window; everything else is 0.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

LONG GetWindowLongA(HWND window, int index);
LONG SetWindowLongA(HWND window, int index, LONG value);
LONG_PTR GetWindowLongPtrA(HWND window, int index);
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
BOOL ShowWindow(HWND window, int command);
BOOL UpdateWindow(HWND window);
BOOL SetWindowTextA(HWND window, LPCSTR text);
BOOL SetForegroundWindow(HWND window);
// A minimised window has an empty client area, as on Windows.
BOOL GetClientRect(HWND window, RECT* rect);
BOOL ClientToScreen(HWND window, POINT* point);
// Client size equals window size here, so the rectangle is left as it is.
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);

HMONITOR MonitorFromPoint(POINT point, DWORD flags);
BOOL GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info);

HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// There are no icon resources: always null.
HICON LoadIconA(HINSTANCE instance, LPCSTR name);

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// Adds WM_CHAR after the key-down of Backspace, Tab, Return and Escape, which
// produce no text input of their own.
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
// No accelerator tables exist: never handles the message.
int TranslateAcceleratorA(HWND window, HACCEL table, MSG* msg);
