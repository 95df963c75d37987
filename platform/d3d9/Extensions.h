#pragma once
// What the Direct3D 9 substitute offers beyond the Direct3D names, for platform
// code (the shell's integration, the effect substitute) and tests: the backend
// choice, the window the device draws into, GLSL programs with uniforms set by
// name, reading pixels back, and the errors a device reported.
#include <string>
#include <vector>

#include "platform/d3d9/d3d9.h"

struct SDL_Window;

namespace d3d9 {

enum class Backend { GL, Null };

// Which backend Direct3DCreate9 builds. Default: GL, or Null when the
// environment variable DUNMARCH_D3D9 is "null".
void SetBackend(Backend backend);
Backend GetBackend();

// How the GL backend finds the SDL window of the HWND given to CreateDevice.
// Default: the window substitute's GetSdlWindow.
typedef SDL_Window* (*WindowResolver)(HWND window);
void SetWindowResolver(WindowResolver resolver);

// A linked GLSL 330 program. Vertex shaders write gl_Position in Direct3D's
// clip space (z from 0 to w); the device converts it to OpenGL's and applies
// Direct3D's pixel centres. Vertex inputs sit at fixed locations, available to
// the sources as DM_ATTR_POSITION, DM_ATTR_NORMAL, DM_ATTR_TANGENT,
// DM_ATTR_BINORMAL, DM_ATTR_COLOR0/1, DM_ATTR_BLENDWEIGHT, DM_ATTR_BLENDINDICES,
// DM_ATTR_TEXCOORD0..5. Pre-transformed vertices (POSITIONT) are placed by the
// device whatever the vertex shader writes, as Direct3D bypasses vertex
// processing for them. The #version line of a source is replaced by 330 core.
//
// Uniform values are kept by the program and sent when it next draws, so they
// may be set while another program is bound. Names are those of the GLSL
// source; an array is named without "[0]". Setting a name the program does not
// use returns D3DERR_NOTFOUND. Samplers take the sampler index (SetInts) whose
// texture and sampler states they read.
class ShaderProgram {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual bool HasUniform(const char* name) const = 0;
    virtual HRESULT SetFloats(const char* name, const float* values, UINT count) = 0;
    virtual HRESULT SetInts(const char* name, const int* values, UINT count) = 0;
    // count 4x4 (or 3x3 ...) matrices, 16 floats each as stored; transpose
    // swaps rows and columns on the way.
    virtual HRESULT SetMatrices(const char* name, const float* values, UINT count, bool transpose) = 0;

protected:
    virtual ~ShaderProgram() = default;
};

// Compiles and links on the render thread. On failure *program is null and
// errors holds the compiler's text; warnings of a successful build are there too.
HRESULT CreateProgram(IDirect3DDevice9* device, const char* vertexSource, const char* fragmentSource,
                      ShaderProgram** program, std::string* errors);
// The program the following draws use (null: none; the GL backend then refuses to draw).
HRESULT SetProgram(IDirect3DDevice9* device, ShaderProgram* program);

// Pixels of a render-target surface (the back buffer, a render-target texture
// level) as A8R8G8B8 values, top row first.
HRESULT ReadSurface(IDirect3DDevice9* device, IDirect3DSurface9* surface, std::vector<DWORD>* pixels, UINT* width,
                    UINT* height);
HRESULT ReadBackBuffer(IDirect3DDevice9* device, std::vector<DWORD>* pixels, UINT* width, UINT* height);

// Keeps a copy of the back buffer at each Present, for screenshots taken after
// the buffers were swapped.
void SetPresentCapture(IDirect3DDevice9* device, bool enabled);
HRESULT ReadPresentedFrame(IDirect3DDevice9* device, std::vector<DWORD>* pixels, UINT* width, UINT* height);

// The errors a device reported for bad calls, oldest first (also written to stderr).
std::vector<std::string> GetErrors(IDirect3DDevice9* device);
void ClearErrors(IDirect3DDevice9* device);

}  // namespace d3d9
