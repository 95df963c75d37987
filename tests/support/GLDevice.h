#pragma once
// A device of the Direct3D 9 substitute's OpenGL backend on a hidden SDL
// window, for pixel tests and benchmarks. Header only, so that the programs
// which never draw on OpenGL do not link SDL.
#include <SDL.h>

#include "platform/d3d9/Extensions.h"
#include "platform/d3d9/d3d9.h"

namespace testsupport {

// The textured quad of the pixel tests and the quad benchmark: clip-space
// positions and texture coordinates in, the texture times the "tint" uniform
// out. Locations 0 and 8 are the substitute's POSITION and TEXCOORD0, so the
// benchmark's native OpenGL path compiles the same sources.
constexpr char kTexturedQuadVertexShader[] = R"(#version 330
layout(location = 0) in vec4 inPosition;
layout(location = 8) in vec2 inUV;
out vec2 uv;
void main() {
    gl_Position = inPosition;
    uv = inUV;
}
)";

constexpr char kTexturedQuadFragmentShader[] = R"(#version 330
in vec2 uv;
uniform sampler2D tex;
uniform vec4 tint;
out vec4 fragColor;
void main() {
    fragColor = texture(tex, uv) * tint;
}
)";

// The window handle given to the device is the SDL window itself.
inline SDL_Window* SdlWindowOf(HWND window) { return reinterpret_cast<SDL_Window*>(window); }

// A hidden OpenGL window with a 24-bit depth buffer, a stencil and two buffers.
inline SDL_Window* CreateGLWindow(const char* title, int width, int height) {
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    return SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
}

// A windowed X8R8G8B8 back buffer with a D24S8 depth buffer, presented at once.
inline D3DPRESENT_PARAMETERS WindowedParameters(int width, int height, UINT backBuffers) {
    D3DPRESENT_PARAMETERS params = {};
    params.BackBufferWidth = static_cast<UINT>(width);
    params.BackBufferHeight = static_cast<UINT>(height);
    params.BackBufferFormat = D3DFMT_X8R8G8B8;
    params.BackBufferCount = backBuffers;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.Windowed = TRUE;
    params.EnableAutoDepthStencil = TRUE;
    params.AutoDepthStencilFormat = D3DFMT_D24S8;
    params.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return params;
}

// Direct3D on the OpenGL backend and a device drawing into the window. What was
// made before a failure stays in *d3d and *device for the caller to release.
inline HRESULT CreateGLDevice(SDL_Window* window, D3DPRESENT_PARAMETERS params, DWORD flags, IDirect3D9** d3d,
                              IDirect3DDevice9** device) {
    d3d9::SetBackend(d3d9::Backend::GL);
    d3d9::SetWindowResolver(&SdlWindowOf);
    *d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (*d3d == nullptr) {
        return D3DERR_NOTAVAILABLE;
    }
    return (*d3d)->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, reinterpret_cast<HWND>(window), flags, &params,
                                device);
}

}  // namespace testsupport
