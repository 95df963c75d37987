#pragma once
// Keyboard and mouse state and mouse capture, over SDL2. The async key state is
// the state of the keys and buttons as of the latest input events taken from
// SDL (the message queue records them as it translates the events).
#include "platform/win32/Types.h"

typedef short SHORT;

#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_MBUTTON 0x04
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_ESCAPE 0x1B
#define VK_F10 0x79

// High bit set while the key or button is down.
SHORT GetAsyncKeyState(int virtualKey);
// Returns the window that held the capture before.
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
// Display counter: the cursor shows while it is 0 or more. Returns the new count.
int ShowCursor(BOOL show);
