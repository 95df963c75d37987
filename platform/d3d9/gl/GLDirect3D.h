#pragma once
#include "platform/d3d9/d3d9.h"

struct SDL_Window;

namespace d3d9 {

// The OpenGL backend's Direct3D object; null (with a line on stderr) when
// there is no display or no OpenGL 3.3 core context.
IDirect3D9* CreateGLDirect3D();

// The window resolver of platform/d3d9/Extensions.h.
SDL_Window* ResolveWindow(HWND window);

}  // namespace d3d9
