#pragma once
// For platform code only: the SDL objects behind the Win32 names. Game code
// never includes this header.
#include "platform/win32/Types.h"

struct SDL_Window;

// The SDL window behind a window handle (null for an unknown handle). Windows
// are created with SDL_WINDOW_OPENGL and a 24-bit depth, 8-bit stencil,
// double-buffered pixel format, so a GL 3.3 core context can be made on them.
SDL_Window* GetSdlWindow(HWND window);

// Async key state kept by the message queue (Input.cpp).
void SetAsyncKeyDown(int virtualKey, bool down);
void ResetAsyncKeys();
