#pragma once
// Stand-in until the Direct3D 9 substitute (platform/d3d9) drives the shell's
// window: an OpenGL 3.3 core context on the window, cleared and swapped once
// per frame. Removed together with shell/StandInDevice.cpp.
#include "platform/win32/Types.h"

// Null when the window is unknown or no GL 3.3 core context can be made.
HANDLE StandInCreateGLContext(HWND window);
// Clears to black and swaps the window's buffers.
void StandInSwapBuffers(HWND window, HANDLE context);
void StandInDeleteGLContext(HANDLE context);
