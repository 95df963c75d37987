#include "platform/win32/Input.h"

#include <SDL2/SDL.h>

#include "platform/win32/SdlBridge.h"

namespace {
bool g_keyDown[256];
HWND g_capture = nullptr;
int g_cursorCount = 0;
}  // namespace

void SetAsyncKeyDown(int virtualKey, bool down) {
    if (virtualKey >= 0 && virtualKey < 256) g_keyDown[virtualKey] = down;
}

void ResetAsyncKeys() {
    for (bool& k : g_keyDown) k = false;
}

SHORT GetAsyncKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey >= 256) return 0;
    return g_keyDown[virtualKey] ? static_cast<SHORT>(0x8000) : 0;
}

HWND SetCapture(HWND window) {
    HWND previous = g_capture;
    g_capture = window;
    // SDL refuses while no window has the mouse focus; the capture is then
    // only recorded, which is all the shell relies on.
    if (window && SDL_WasInit(SDL_INIT_VIDEO)) SDL_CaptureMouse(SDL_TRUE);
    return previous;
}

BOOL ReleaseCapture() {
    if (g_capture && SDL_WasInit(SDL_INIT_VIDEO)) SDL_CaptureMouse(SDL_FALSE);
    g_capture = nullptr;
    return TRUE;
}

int ShowCursor(BOOL show) {
    g_cursorCount += show ? 1 : -1;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(g_cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return g_cursorCount;
}
