// The OpenGL device's context and lifecycle, the queue of objects to delete,
// present, reset and programs. Its targets, states and draws are in
// GLDeviceTargets.cpp, GLDeviceState.cpp and GLDeviceDraw.cpp.
#include "platform/d3d9/gl/GLDevice.h"

#include <SDL.h>

#include <algorithm>

#include "platform/d3d9/common/Direct3DBase.h"
#include "platform/d3d9/gl/GLProgram.h"

namespace d3d9 {

// ------------------------------------------------------------------ lifecycle

GLDevice* GLDevice::Create(SDL_Window* window, D3DPRESENT_PARAMETERS* params, const D3DCAPS9& caps, HRESULT* result) {
    *result = D3DERR_NOTAVAILABLE;
    if ((SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL) == 0) {
        ReportFailure("CreateDevice: the window was not made for OpenGL");
        return nullptr;
    }
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    if (width <= 0 || height <= 0) {
        ReportFailure("CreateDevice: the window has no drawable area");
        return nullptr;
    }
    if ((params->BackBufferWidth != 0 && params->BackBufferWidth != static_cast<UINT>(width)) ||
        (params->BackBufferHeight != 0 && params->BackBufferHeight != static_cast<UINT>(height))) {
        ReportFailure("CreateDevice: a %ux%u back buffer was asked for a %dx%d window; the window's size is used",
                      params->BackBufferWidth, params->BackBufferHeight, width, height);
    }
    params->BackBufferWidth = static_cast<UINT>(width);
    params->BackBufferHeight = static_cast<UINT>(height);
    if (params->BackBufferFormat == D3DFMT_UNKNOWN) {
        params->BackBufferFormat = D3DFMT_X8R8G8B8;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        ReportFailure("CreateDevice: no OpenGL 3.3 core context on the window: %s", SDL_GetError());
        return nullptr;
    }
    GLDevice* device = new GLDevice(window, context, *params, caps);
    if (!device->Initialise(result)) {
        device->Release();
        return nullptr;
    }
    *result = D3D_OK;
    return device;
}

GLDevice::GLDevice(SDL_Window* window, void* context, const D3DPRESENT_PARAMETERS& params, const D3DCAPS9& caps)
    : DeviceBase(params, caps, false), window_(window), context_(context) {}

bool GLDevice::Initialise(HRESULT* result) {
    *result = D3DERR_NOTAVAILABLE;
    MakeCurrent();
    const char* missing = nullptr;
    if (!gl_.Load(&missing)) {
        ReportFailure("CreateDevice: the OpenGL context lacks %s", missing);
        return false;
    }
    int version = gl_.Version();
    if (version < 33) {
        ReportFailure("CreateDevice: OpenGL 3.3 is needed, the context offers %d.%d", version / 10, version % 10);
        return false;
    }
    GLint depthBits = 0;
    gl_.BindFramebuffer(GL_FRAMEBUFFER, 0);
    gl_.GetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE,
                                            &depthBits);
    if (Params().EnableAutoDepthStencil && depthBits == 0) {
        ReportFailure("CreateDevice: the window has no depth buffer for the automatic depth surface");
        return false;
    }
    gl_.GenVertexArrays(1, &vertex_array_);
    gl_.BindVertexArray(vertex_array_);
    gl_.GenBuffers(1, &stream_vertices_);
    gl_.GenBuffers(1, &stream_indices_);
    gl_.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gl_.PixelStorei(GL_PACK_ALIGNMENT, 4);
    ApplySwapInterval(Params().PresentationInterval);
    CreateDefaultSurfaces();
    *result = D3D_OK;
    return true;
}

GLDevice::~GLDevice() {
    if (attribute_declaration_ != nullptr) {
        attribute_declaration_->Release();
    }
    MakeCurrent();
    destroying_ = true;
    DetachResources();
    FlushDeletions();
    if (gl_.DeleteFramebuffers != nullptr) {
        for (Framebuffer& framebuffer : framebuffers_) {
            gl_.DeleteFramebuffers(1, &framebuffer.name);
        }
        for (SamplerObject& sampler : samplers_) {
            gl_.DeleteSamplers(1, &sampler.name);
        }
        if (auto_depth_shadow_ != 0) {
            gl_.DeleteRenderbuffers(1, &auto_depth_shadow_);
        }
        gl_.DeleteBuffers(1, &stream_vertices_);
        gl_.DeleteBuffers(1, &stream_indices_);
        gl_.DeleteVertexArrays(1, &vertex_array_);
    }
    SDL_GL_MakeCurrent(window_, nullptr);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
}

void GLDevice::MakeCurrent() {
    if (SDL_GL_GetCurrentContext() != context_) {
        SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(context_));
    }
}

void GLDevice::ApplySwapInterval(UINT presentationInterval) {
    int interval = 1;
    switch (presentationInterval) {
        case D3DPRESENT_INTERVAL_IMMEDIATE: interval = 0; break;
        case D3DPRESENT_INTERVAL_TWO: interval = 2; break;
        case D3DPRESENT_INTERVAL_THREE: interval = 3; break;
        case D3DPRESENT_INTERVAL_FOUR: interval = 4; break;
        default: interval = 1; break;
    }
    // Drivers that refuse longer intervals still wait for one refresh.
    if (SDL_GL_SetSwapInterval(interval) != 0 && interval > 1) {
        SDL_GL_SetSwapInterval(1);
    }
}

// ------------------------------------------------------------------ deletions

void GLDevice::QueueDeleteTexture(GLuint name) {
    std::lock_guard<std::mutex> lock(deletion_mutex_);
    dead_textures_.push_back(name);
}

void GLDevice::QueueDeleteBuffer(GLuint name) {
    std::lock_guard<std::mutex> lock(deletion_mutex_);
    dead_buffers_.push_back(name);
}

void GLDevice::QueueDeleteRenderbuffer(GLuint name) {
    std::lock_guard<std::mutex> lock(deletion_mutex_);
    dead_renderbuffers_.push_back(name);
}

void GLDevice::QueueDeleteProgram(GLuint name) {
    std::lock_guard<std::mutex> lock(deletion_mutex_);
    dead_programs_.push_back(name);
}

void GLDevice::FlushDeletions() {
    std::vector<GLuint> textures;
    std::vector<GLuint> buffers;
    std::vector<GLuint> renderbuffers;
    std::vector<GLuint> programs;
    {
        std::lock_guard<std::mutex> lock(deletion_mutex_);
        textures.swap(dead_textures_);
        buffers.swap(dead_buffers_);
        renderbuffers.swap(dead_renderbuffers_);
        programs.swap(dead_programs_);
    }
    if (textures.empty() && buffers.empty() && renderbuffers.empty() && programs.empty()) {
        return;
    }
    // Framebuffers that hold a dead attachment go with it.
    auto dead = [&](const Attachment& a) {
        const std::vector<GLuint>& names = a.texture ? textures : renderbuffers;
        return std::find(names.begin(), names.end(), a.name) != names.end();
    };
    for (size_t i = 0; i < framebuffers_.size();) {
        Framebuffer& framebuffer = framebuffers_[i];
        if (std::any_of(framebuffer.attachments.begin(), framebuffer.attachments.end(), dead)) {
            if (draw_framebuffer_ == framebuffer.name) {
                targets_dirty_ = true;
            }
            gl_.DeleteFramebuffers(1, &framebuffer.name);
            framebuffers_.erase(framebuffers_.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    for (GLuint name : textures) {
        for (GLuint& bound : bound_textures_) {
            bound = bound == name ? 0 : bound;
        }
        gl_.DeleteTextures(1, &name);
    }
    for (GLuint name : buffers) {
        bound_index_buffer_ = bound_index_buffer_ == name ? 0 : bound_index_buffer_;
        for (GLuint attributeBuffer : attribute_buffers_) {
            attributes_valid_ = attributes_valid_ && attributeBuffer != name;
        }
        gl_.DeleteBuffers(1, &name);
    }
    for (GLuint name : renderbuffers) {
        gl_.DeleteRenderbuffers(1, &name);
    }
    for (GLuint name : programs) {
        used_program_ = used_program_ == name ? 0 : used_program_;
        gl_.DeleteProgram(name);
    }
}

// ---------------------------------------------------------------------- calls

HRESULT GLDevice::DoPresent() {
    MakeCurrent();
    FlushDeletions();
    // Swapping an offscreen surface does nothing, and the renderer then keeps
    // every frame's commands: hand the frame over on every surface.
    gl_.Flush();
    SDL_GL_SwapWindow(window_);
    return D3D_OK;
}

HRESULT GLDevice::DoReset(D3DPRESENT_PARAMETERS* params) {
    MakeCurrent();
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(window_, &width, &height);
    if (width <= 0 || height <= 0) {
        ReportError("Reset: the window has no drawable area");
        return D3DERR_INVALIDCALL;
    }
    params->BackBufferWidth = static_cast<UINT>(width);
    params->BackBufferHeight = static_cast<UINT>(height);
    if (params->BackBufferFormat == D3DFMT_UNKNOWN) {
        params->BackBufferFormat = D3DFMT_X8R8G8B8;
    }
    ApplySwapInterval(params->PresentationInterval);
    targets_dirty_ = true;
    viewport_applied_ = false;
    return D3D_OK;
}

ProgramBase* GLDevice::DoCreateProgram(const char* vertexSource, const char* fragmentSource, std::string* errors) {
    MakeCurrent();
    FlushDeletions();
    return GLProgram::Create(this, gl_, vertexSource, fragmentSource, errors);
}

}  // namespace d3d9
