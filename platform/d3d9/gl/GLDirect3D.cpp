#include "platform/d3d9/gl/GLDirect3D.h"

#include <SDL.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/d3d9/common/Direct3DBase.h"
#include "platform/d3d9/gl/GLDevice.h"
#include "platform/d3d9/gl/GLFunctions.h"

namespace d3d9 {

namespace {

std::string Lower(const char* text) {
    std::string out = text != nullptr ? text : "";
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

// PCI vendor of the adapter as far as OpenGL's strings tell it; 0 when unknown.
DWORD VendorId(const char* vendor, const char* renderer) {
    std::string text = Lower(vendor) + " " + Lower(renderer);
    if (text.find("intel") != std::string::npos) {
        return 0x8086;
    }
    if (text.find("nvidia") != std::string::npos || text.find("nouveau") != std::string::npos) {
        return 0x10DE;
    }
    if (text.find("amd") != std::string::npos || text.find("ati ") != std::string::npos ||
        text.find("radeon") != std::string::npos) {
        return 0x1002;
    }
    return 0;
}

bool CanRenderTo(const GLFunctions& gl, GLint internal, GLenum format, GLenum type) {
    GLuint texture = 0;
    GLuint framebuffer = 0;
    gl.GenTextures(1, &texture);
    gl.BindTexture(GL_TEXTURE_2D, texture);
    gl.TexImage2D(GL_TEXTURE_2D, 0, internal, 4, 4, 0, format, type, nullptr);
    gl.GenFramebuffers(1, &framebuffer);
    gl.BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    bool complete = gl.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.DeleteFramebuffers(1, &framebuffer);
    gl.DeleteTextures(1, &texture);
    while (gl.GetError() != GL_NO_ERROR) {}
    return complete;
}

void SetContextAttributes() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
}

// What the adapter offers, from a context on a small hidden window.
bool Probe(AdapterInfo* info) {
    SetContextAttributes();
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
    SDL_Window* window = SDL_CreateWindow("", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        ReportFailure("Direct3DCreate9: no window for OpenGL: %s", SDL_GetError());
        return false;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        ReportFailure("Direct3DCreate9: no OpenGL 3.3 core context: %s", SDL_GetError());
        SDL_DestroyWindow(window);
        return false;
    }
    GLFunctions gl;
    const char* missing = nullptr;
    bool ok = gl.Load(&missing);
    if (!ok) {
        ReportFailure("Direct3DCreate9: the OpenGL context lacks %s", missing);
    } else if (gl.Version() < 33) {
        ReportFailure("Direct3DCreate9: OpenGL 3.3 is needed, the context offers %d.%d", gl.Version() / 10,
                      gl.Version() % 10);
        ok = false;
    }
    if (ok) {
        const char* vendor = reinterpret_cast<const char*>(gl.GetString(GL_VENDOR));
        const char* renderer = reinterpret_cast<const char*>(gl.GetString(GL_RENDERER));
        const char* version = reinterpret_cast<const char*>(gl.GetString(GL_VERSION));
        D3DADAPTER_IDENTIFIER9& id = info->identifier;
        std::snprintf(id.Driver, sizeof(id.Driver), "OpenGL %s", version != nullptr ? version : "");
        std::snprintf(id.Description, sizeof(id.Description), "%s", renderer != nullptr ? renderer : "");
        id.DriverVersion.QuadPart = 0;
        id.DriverVersion.LowPart = static_cast<DWORD>((gl.Version() / 10) << 16 | (gl.Version() % 10));
        id.VendorId = VendorId(vendor, renderer);
        id.DeviceId = 0;
        id.SubSysId = 0;

        GLint drawBuffers = 1;
        GLint attachments = 1;
        gl.GetIntegerv(GL_MAX_DRAW_BUFFERS, &drawBuffers);
        gl.GetIntegerv(GL_MAX_COLOR_ATTACHMENTS, &attachments);
        GLint targets = drawBuffers < attachments ? drawBuffers : attachments;
        // Shader model 3 is what GLSL 3.30 offers at least.
        info->caps.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
        info->caps.VertexShaderVersion = D3DVS_VERSION(3, 0);
        info->caps.PixelShaderVersion = D3DPS_VERSION(3, 0);
        info->caps.NumSimultaneousRTs = static_cast<DWORD>(targets < 4 ? targets : 4);

        struct Candidate {
            D3DFORMAT format;
            GLint internal;
            GLenum layout;
            GLenum type;
        };
        const Candidate candidates[] = {
            {D3DFMT_A8R8G8B8, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE},
            {D3DFMT_X8R8G8B8, GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE},
            {D3DFMT_A2R10G10B10, GL_RGB10_A2, GL_BGRA, GL_UNSIGNED_INT_2_10_10_10_REV},
            {D3DFMT_A2B10G10R10, GL_RGB10_A2, GL_RGBA, GL_UNSIGNED_INT_2_10_10_10_REV},
            {D3DFMT_R16F, GL_R16F, GL_RED, GL_HALF_FLOAT},
            {D3DFMT_R32F, GL_R32F, GL_RED, GL_FLOAT},
        };
        for (const Candidate& c : candidates) {
            if (CanRenderTo(gl, c.internal, c.layout, c.type)) {
                info->renderTargetFormats.push_back(c.format);
            }
        }
    }
    SDL_GL_MakeCurrent(window, nullptr);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    if (previousContext != nullptr) {
        SDL_GL_MakeCurrent(previousWindow, previousContext);
    }
    if (!ok) {
        return false;
    }
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        info->displayMode = {static_cast<UINT>(mode.w), static_cast<UINT>(mode.h), static_cast<UINT>(mode.refresh_rate),
                             D3DFMT_X8R8G8B8};
    }
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        if (SDL_GetDisplayMode(0, i, &mode) == 0) {
            info->modes.push_back({static_cast<UINT>(mode.w), static_cast<UINT>(mode.h),
                                   static_cast<UINT>(mode.refresh_rate), D3DFMT_X8R8G8B8});
        }
    }
    return true;
}

class GLDirect3D : public Direct3DBase {
public:
    explicit GLDirect3D(AdapterInfo info) : Direct3DBase(std::move(info)) {}
    ~GLDirect3D() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* out) override {
        if (info_.displayMode.Width == 0) {
            return D3DERR_NOTAVAILABLE;
        }
        return Direct3DBase::GetAdapterDisplayMode(adapter, out);
    }

protected:
    HRESULT DoCreateDevice(HWND focusWindow, DWORD, D3DPRESENT_PARAMETERS* params, IDirect3DDevice9** device) override {
        HWND handle = params->hDeviceWindow != nullptr ? params->hDeviceWindow : focusWindow;
        SDL_Window* window = handle != nullptr ? ResolveWindow(handle) : nullptr;
        if (window == nullptr) {
            ReportFailure("CreateDevice: no SDL window behind the window handle");
            return D3DERR_INVALIDCALL;
        }
        HRESULT result = D3DERR_NOTAVAILABLE;
        *device = GLDevice::Create(window, params, info_.caps, &result);
        return result;
    }
};

}  // namespace

IDirect3D9* CreateGLDirect3D() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        ReportFailure("Direct3DCreate9: no display: %s", SDL_GetError());
        return nullptr;
    }
    AdapterInfo info;
    if (!Probe(&info)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    return new GLDirect3D(std::move(info));
}

}  // namespace d3d9
