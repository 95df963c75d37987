#include "platform/d3d9/gl/GLDevice.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/d3d9/common/Direct3DBase.h"
#include "platform/dxt/Dxt.h"
#include "platform/d3d9/gl/GLProgram.h"

namespace d3d9 {

namespace {

// Nudge, in pixels, that moves geometry drawn into the window towards the top,
// so that triangle edges lying exactly on pixel centres are settled as by
// Direct3D's top-left fill rule (OpenGL's rows run the other way). One step
// of the usual 8-bit sub-pixel grid: enough to settle the tie, and it moves
// texture lookups by 1/256 of a pixel at most. Off-screen targets store rows
// top first and need none.
constexpr float kEdgeNudge = 1.0f / 256.0f;

class GLTextureObject : public BackendObject {
public:
    GLTextureObject(GLDevice* device, GLuint name) : device_(device), name(name) {}
    ~GLTextureObject() override { device_->QueueDeleteTexture(name); }
    GLDevice* device_;
    GLuint name;
    bool allocated = false;
};

class GLBufferObject : public BackendObject {
public:
    GLBufferObject(GLDevice* device, GLuint name) : device_(device), name(name) {}
    ~GLBufferObject() override { device_->QueueDeleteBuffer(name); }
    GLDevice* device_;
    GLuint name;
    bool allocated = false;
};

class GLRenderbufferObject : public BackendObject {
public:
    GLRenderbufferObject(GLDevice* device, GLuint name) : device_(device), name(name) {}
    ~GLRenderbufferObject() override { device_->QueueDeleteRenderbuffer(name); }
    GLDevice* device_;
    GLuint name;
};

struct GLFormat {
    GLint internal;
    GLenum format;
    GLenum type;
    bool alphaOne;  // no alpha stored: sampling reads 1
    bool redOnly;   // one channel: green and blue read 1, as Direct3D does
};

GLFormat FormatFor(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8: return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, false, false};
        case D3DFMT_X8R8G8B8: return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, true, false};
        case D3DFMT_A2R10G10B10: return {GL_RGB10_A2, GL_BGRA, GL_UNSIGNED_INT_2_10_10_10_REV, false, false};
        case D3DFMT_A2B10G10R10: return {GL_RGB10_A2, GL_RGBA, GL_UNSIGNED_INT_2_10_10_10_REV, false, false};
        case D3DFMT_R16F: return {GL_R16F, GL_RED, GL_HALF_FLOAT, false, true};
        case D3DFMT_R32F: return {GL_R32F, GL_RED, GL_FLOAT, false, true};
        case D3DFMT_D16: return {GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT, false, false};
        case D3DFMT_D24X8: return {GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, false, false};
        case D3DFMT_D24S8: return {GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, false, false};
        default:  // compressed formats arrive decoded
            return {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, false, false};
    }
}

GLenum BlendFactor(DWORD blend) {
    switch (blend) {
        case D3DBLEND_ZERO: return GL_ZERO;
        case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
        case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
        case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
        case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
        case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
        case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
        case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
        case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
        case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
        default: return GL_ONE;
    }
}

GLenum BlendEquation(DWORD op) {
    switch (op) {
        case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
        case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
        case D3DBLENDOP_MIN: return GL_MIN;
        case D3DBLENDOP_MAX: return GL_MAX;
        default: return GL_FUNC_ADD;
    }
}

GLenum CompareFunction(DWORD function) {
    switch (function) {
        case D3DCMP_NEVER: return GL_NEVER;
        case D3DCMP_LESS: return GL_LESS;
        case D3DCMP_EQUAL: return GL_EQUAL;
        case D3DCMP_LESSEQUAL: return GL_LEQUAL;
        case D3DCMP_GREATER: return GL_GREATER;
        case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
        case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
        default: return GL_ALWAYS;
    }
}

GLenum Wrap(DWORD address) {
    switch (address) {
        case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
        case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
        default: return GL_REPEAT;
    }
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE type) {
    switch (type) {
        case D3DPT_POINTLIST: return GL_POINTS;
        case D3DPT_LINELIST: return GL_LINES;
        case D3DPT_LINESTRIP: return GL_LINE_STRIP;
        case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
        case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
        default: return GL_TRIANGLES;
    }
}

GLenum UsageHint(DWORD usage) { return (usage & D3DUSAGE_DYNAMIC) != 0 ? GL_STREAM_DRAW : GL_STATIC_DRAW; }

GLenum DepthPoint(D3DFORMAT format) {
    const FormatInfo* info = FindFormat(format);
    return info != nullptr && info->stencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
}

}  // namespace

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

// -------------------------------------------------------------------- targets

bool GLDevice::AttachmentFor(Surface* surface, GLenum point, Attachment* out) {
    switch (surface->GetKind()) {
        case Surface::Kind::TextureLevel: {
            Texture* texture = surface->Container();
            if (!UploadTexture(texture, "SetRenderTarget")) {
                return false;
            }
            auto* object = static_cast<GLTextureObject*>(texture->Backend());
            *out = {point, true, object->name, static_cast<GLint>(surface->Level())};
            return true;
        }
        case Surface::Kind::DepthStencil: {
            auto* object = static_cast<GLRenderbufferObject*>(surface->Backend());
            if (object == nullptr) {
                GLuint name = 0;
                gl_.GenRenderbuffers(1, &name);
                gl_.BindRenderbuffer(GL_RENDERBUFFER, name);
                gl_.RenderbufferStorage(
                    GL_RENDERBUFFER, static_cast<GLenum>(FormatFor(surface->Desc().Format).internal),
                    static_cast<GLsizei>(surface->Desc().Width), static_cast<GLsizei>(surface->Desc().Height));
                surface->SetBackend(std::make_unique<GLRenderbufferObject>(this, name));
                object = static_cast<GLRenderbufferObject*>(surface->Backend());
            }
            *out = {point, false, object->name, 0};
            return true;
        }
        case Surface::Kind::AutoDepth: {
            // Off-screen targets cannot share the window's depth buffer: they
            // get one of its size and format instead.
            const D3DSURFACE_DESC& desc = surface->Desc();
            if (auto_depth_shadow_ == 0 || auto_depth_shadow_width_ != desc.Width ||
                auto_depth_shadow_height_ != desc.Height) {
                if (auto_depth_shadow_ == 0) {
                    gl_.GenRenderbuffers(1, &auto_depth_shadow_);
                }
                gl_.BindRenderbuffer(GL_RENDERBUFFER, auto_depth_shadow_);
                gl_.RenderbufferStorage(GL_RENDERBUFFER, static_cast<GLenum>(FormatFor(desc.Format).internal),
                                        static_cast<GLsizei>(desc.Width), static_cast<GLsizei>(desc.Height));
                auto_depth_shadow_width_ = desc.Width;
                auto_depth_shadow_height_ = desc.Height;
            }
            *out = {point, false, auto_depth_shadow_, 0};
            return true;
        }
        case Surface::Kind::BackBuffer: return false;
    }
    return false;
}

GLuint GLDevice::FramebufferFor(const std::vector<Attachment>& attachments, bool* complete) {
    for (const Framebuffer& framebuffer : framebuffers_) {
        if (framebuffer.attachments == attachments) {
            *complete = framebuffer.complete;
            return framebuffer.name;
        }
    }
    Framebuffer made = {attachments, 0, false};
    gl_.GenFramebuffers(1, &made.name);
    gl_.BindFramebuffer(GL_DRAW_FRAMEBUFFER, made.name);
    GLenum drawBuffers[kRenderTargets] = {GL_NONE, GL_NONE, GL_NONE, GL_NONE};
    GLsizei drawCount = 0;
    for (const Attachment& a : attachments) {
        if (a.texture) {
            gl_.FramebufferTexture2D(GL_DRAW_FRAMEBUFFER, a.point, GL_TEXTURE_2D, a.name, a.level);
        } else {
            gl_.FramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, a.point, GL_RENDERBUFFER, a.name);
        }
        if (a.point >= GL_COLOR_ATTACHMENT0 && a.point < GL_COLOR_ATTACHMENT0 + kRenderTargets) {
            UINT slot = a.point - GL_COLOR_ATTACHMENT0;
            drawBuffers[slot] = a.point;
            drawCount = std::max<GLsizei>(drawCount, static_cast<GLsizei>(slot) + 1);
        }
    }
    gl_.DrawBuffers(drawCount > 0 ? drawCount : 1, drawBuffers);
    made.complete = gl_.CheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    gl_.BindFramebuffer(GL_DRAW_FRAMEBUFFER, draw_framebuffer_);
    framebuffers_.push_back(made);
    *complete = made.complete;
    return made.name;
}

bool GLDevice::BindTargets(const char* call) {
    if (!targets_dirty_) {
        return true;
    }
    Surface* first = RenderTarget(0);
    Surface* depth = DepthStencil();
    bool more = RenderTarget(1) != nullptr || RenderTarget(2) != nullptr || RenderTarget(3) != nullptr;
    bool flipped;
    GLuint framebuffer = 0;
    if (first->GetKind() == Surface::Kind::BackBuffer) {
        if (more || (depth != nullptr && depth->GetKind() != Surface::Kind::AutoDepth)) {
            ReportError("%s: the back buffer can only be drawn with the automatic depth buffer and no other target",
                        call);
            return false;
        }
        flipped = false;
    } else {
        std::vector<Attachment> attachments;
        for (UINT i = 0; i < kRenderTargets; ++i) {
            Surface* target = RenderTarget(i);
            if (target == nullptr) {
                continue;
            }
            Attachment a;
            if (!AttachmentFor(target, GL_COLOR_ATTACHMENT0 + i, &a)) {
                ReportError("%s: the back buffer cannot be drawn together with other render targets", call);
                return false;
            }
            attachments.push_back(a);
        }
        if (depth != nullptr) {
            Attachment a;
            if (!AttachmentFor(depth, DepthPoint(depth->Desc().Format), &a)) {
                return false;
            }
            attachments.push_back(a);
        }
        bool complete = false;
        framebuffer = FramebufferFor(attachments, &complete);
        if (!complete) {
            ReportError("%s: OpenGL cannot draw into this combination of targets", call);
            return false;
        }
        flipped = true;
    }
    gl_.BindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    draw_framebuffer_ = framebuffer;
    bool depthAvailable = depth != nullptr;
    if (flipped != flipped_ || depthAvailable != depth_available_) {
        State().ForgetAppliedRenderState(D3DRS_CULLMODE);
        State().ForgetAppliedRenderState(D3DRS_ZENABLE);
        State().ForgetAppliedRenderState(D3DRS_ZWRITEENABLE);
    }
    flipped_ = flipped;
    depth_available_ = depthAvailable;
    target_height_ = first->Desc().Height;
    targets_dirty_ = false;
    return true;
}

void GLDevice::ToGLRect(LONG left, LONG top, LONG right, LONG bottom, GLint* x, GLint* y, GLsizei* w,
                        GLsizei* h) const {
    *w = right > left ? right - left : 0;
    *h = bottom > top ? bottom - top : 0;
    *x = left;
    *y = flipped_ ? top : static_cast<LONG>(target_height_) - bottom;
}

void GLDevice::ApplyViewportAndScissor() {
    const D3DVIEWPORT9& v = Viewport();
    const RECT& s = ScissorRect();
    if (viewport_applied_ && applied_flipped_ == flipped_ && applied_target_height_ == target_height_ &&
        std::memcmp(&applied_viewport_, &v, sizeof(v)) == 0 && std::memcmp(&applied_scissor_, &s, sizeof(s)) == 0) {
        return;
    }
    GLint x;
    GLint y;
    GLsizei w;
    GLsizei h;
    ToGLRect(static_cast<LONG>(v.X), static_cast<LONG>(v.Y), static_cast<LONG>(v.X + v.Width),
             static_cast<LONG>(v.Y + v.Height), &x, &y, &w, &h);
    gl_.Viewport(x, y, w, h);
    gl_.DepthRange(v.MinZ, v.MaxZ);
    UINT width;
    UINT height;
    TargetSize(&width, &height);
    ToGLRect(std::max<LONG>(s.left, 0), std::max<LONG>(s.top, 0), std::min<LONG>(s.right, static_cast<LONG>(width)),
             std::min<LONG>(s.bottom, static_cast<LONG>(height)), &x, &y, &w, &h);
    gl_.Scissor(x, y, w, h);
    applied_viewport_ = v;
    applied_scissor_ = s;
    applied_flipped_ = flipped_;
    applied_target_height_ = target_height_;
    viewport_applied_ = true;
}

// --------------------------------------------------------------------- states

void GLDevice::ApplyCull(DWORD mode) {
    if (mode == D3DCULL_NONE) {
        gl_.Disable(GL_CULL_FACE);
        return;
    }
    // Direct3D names the winding culled as seen on the screen; OpenGL the one
    // kept, in window rows, which run the other way in off-screen targets.
    bool keepClockwise = mode == D3DCULL_CCW;
    if (flipped_) {
        keepClockwise = !keepClockwise;
    }
    gl_.Enable(GL_CULL_FACE);
    gl_.CullFace(GL_BACK);
    gl_.FrontFace(keepClockwise ? GL_CW : GL_CCW);
}

void GLDevice::ApplyRenderStates() {
    DeviceState& state = State();
    state.ApplyRenderStates([this, &state](D3DRENDERSTATETYPE s, DWORD value) {
        switch (s) {
            case D3DRS_ZENABLE:
                if (value != D3DZB_FALSE && depth_available_) {
                    gl_.Enable(GL_DEPTH_TEST);
                } else {
                    gl_.Disable(GL_DEPTH_TEST);
                }
                break;
            case D3DRS_FILLMODE:
                gl_.PolygonMode(GL_FRONT_AND_BACK, value == D3DFILL_POINT       ? GL_POINT
                                                   : value == D3DFILL_WIREFRAME ? GL_LINE
                                                                                : GL_FILL);
                break;
            case D3DRS_ZWRITEENABLE: gl_.DepthMask(value != FALSE && depth_available_ ? GL_TRUE : GL_FALSE); break;
            case D3DRS_SRCBLEND:
            case D3DRS_DESTBLEND:
                gl_.BlendFunc(BlendFactor(state.RenderState(D3DRS_SRCBLEND)),
                              BlendFactor(state.RenderState(D3DRS_DESTBLEND)));
                break;
            case D3DRS_CULLMODE: ApplyCull(value); break;
            case D3DRS_ZFUNC: gl_.DepthFunc(CompareFunction(value)); break;
            case D3DRS_ALPHABLENDENABLE:
                if (value != FALSE) {
                    gl_.Enable(GL_BLEND);
                } else {
                    gl_.Disable(GL_BLEND);
                }
                break;
            case D3DRS_BLENDOP: gl_.BlendEquation(BlendEquation(value)); break;
            case D3DRS_SCISSORTESTENABLE:
                if (value != FALSE) {
                    gl_.Enable(GL_SCISSOR_TEST);
                } else {
                    gl_.Disable(GL_SCISSOR_TEST);
                }
                break;
        }
    });
}

// ------------------------------------------------------------------- textures

bool GLDevice::UploadTexture(Texture* texture, const char* call) {
    auto* object = static_cast<GLTextureObject*>(texture->Backend());
    if (object == nullptr) {
        GLuint name = 0;
        gl_.GenTextures(1, &name);
        texture->SetBackend(std::make_unique<GLTextureObject>(this, name));
        object = static_cast<GLTextureObject*>(texture->Backend());
    }
    if (object->allocated && !texture->AnyDirty()) {
        return true;
    }
    if (texture->AnyLocked()) {
        ReportError("%s: a locked texture cannot be used", call);
        return false;
    }
    const FormatInfo& info = texture->Format();
    GLFormat format = FormatFor(info.format);
    gl_.ActiveTexture(GL_TEXTURE0);
    gl_.BindTexture(GL_TEXTURE_2D, object->name);
    bound_textures_[0] = object->name;
    bool first = !object->allocated;
    if (first) {
        gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
        gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(texture->LevelCount()) - 1);
        if (format.alphaOne) {
            gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
        }
        if (format.redOnly) {
            gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_G, GL_ONE);
            gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_B, GL_ONE);
        }
    }
    std::vector<uint8_t> decoded;
    std::vector<uint8_t> unpacked;
    for (UINT i = 0; i < texture->LevelCount(); ++i) {
        Texture::Level& level = texture->LevelAt(i);
        if (!first && !level.dirty) {
            continue;
        }
        const void* data = texture->ReadLevel(i, &unpacked);
        if (info.compressed && data != nullptr) {
            // Compressed data is decoded here; OpenGL receives plain RGBA.
            decoded.assign(static_cast<size_t>(level.width) * level.height * 4, 0);
            dxt::DecompressImage(decoded.data(), static_cast<int>(level.width), static_cast<int>(level.height), data,
                                 SquishFlags(info.format));
            data = decoded.data();
        }
        gl_.TexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), format.internal, static_cast<GLsizei>(level.width),
                       static_cast<GLsizei>(level.height), 0, format.format, format.type, data);
        level.dirty = false;
    }
    object->allocated = true;
    return true;
}

GLuint GLDevice::SamplerFor(UINT sampler) {
    DeviceState& state = State();
    state.ApplySamplerStates(sampler, [](D3DSAMPLERSTATETYPE, DWORD) {});
    DWORD key[6];
    for (UINT i = 0; i < kSamplerStateCount; ++i) {
        key[i] = state.SamplerState(sampler, kSamplerStates[i]);
    }
    for (const SamplerObject& object : samplers_) {
        if (std::memcmp(object.key, key, sizeof(key)) == 0) {
            return object.name;
        }
    }
    SamplerObject made;
    std::memcpy(made.key, key, sizeof(key));
    gl_.GenSamplers(1, &made.name);
    DWORD mag = state.SamplerState(sampler, D3DSAMP_MAGFILTER);
    DWORD min = state.SamplerState(sampler, D3DSAMP_MINFILTER);
    DWORD mip = state.SamplerState(sampler, D3DSAMP_MIPFILTER);
    GLenum minFilter;
    if (mip == D3DTEXF_NONE) {
        minFilter = min == D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST;
    } else if (mip == D3DTEXF_POINT) {
        minFilter = min == D3DTEXF_LINEAR ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    } else {
        minFilter = min == D3DTEXF_LINEAR ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    }
    gl_.SamplerParameteri(made.name, GL_TEXTURE_MAG_FILTER, mag == D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
    gl_.SamplerParameteri(made.name, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
    gl_.SamplerParameteri(made.name, GL_TEXTURE_WRAP_S,
                          static_cast<GLint>(Wrap(state.SamplerState(sampler, D3DSAMP_ADDRESSU))));
    gl_.SamplerParameteri(made.name, GL_TEXTURE_WRAP_T,
                          static_cast<GLint>(Wrap(state.SamplerState(sampler, D3DSAMP_ADDRESSV))));
    gl_.SamplerParameteri(made.name, GL_TEXTURE_WRAP_R,
                          static_cast<GLint>(Wrap(state.SamplerState(sampler, D3DSAMP_ADDRESSW))));
    samplers_.push_back(made);
    return made.name;
}

bool GLDevice::ApplyTextures(const char* call) {
    // Uploads go through unit 0, so all of them happen before any unit is bound.
    for (UINT s = 0; s < kSamplers; ++s) {
        Texture* texture = BoundTexture(s);
        if (texture != nullptr && !UploadTexture(texture, call)) {
            return false;
        }
    }
    for (UINT s = 0; s < kSamplers; ++s) {
        Texture* texture = BoundTexture(s);
        GLuint name = 0;
        if (texture != nullptr) {
            name = static_cast<GLTextureObject*>(texture->Backend())->name;
        }
        if (bound_textures_[s] != name) {
            gl_.ActiveTexture(GL_TEXTURE0 + s);
            gl_.BindTexture(GL_TEXTURE_2D, name);
            bound_textures_[s] = name;
        }
        if (texture != nullptr && (bound_samplers_[s] == 0 || State().SamplerStatesPending(s))) {
            GLuint sampler = SamplerFor(s);
            if (bound_samplers_[s] != sampler) {
                gl_.BindSampler(s, sampler);
                bound_samplers_[s] = sampler;
            }
        }
    }
    return true;
}

// ------------------------------------------------------------------- vertices

GLuint GLDevice::BufferName(BufferStore* store, ResourceLink* link, GLenum target) {
    auto* object = static_cast<GLBufferObject*>(link->Backend());
    if (object == nullptr) {
        GLuint name = 0;
        gl_.GenBuffers(1, &name);
        link->SetBackend(std::make_unique<GLBufferObject>(this, name));
        object = static_cast<GLBufferObject*>(link->Backend());
    }
    BufferStore::Changes changes = store->TakeChanges();
    if (object->allocated && !changes.any) {
        return object->name;
    }
    gl_.BindBuffer(target, object->name);
    if (target == GL_ELEMENT_ARRAY_BUFFER) {
        bound_index_buffer_ = object->name;
    }
    const uint8_t* bytes = store->Bytes().data();
    if (!object->allocated) {
        gl_.BufferData(target, store->Length(), bytes, UsageHint(store->Usage()));
        object->allocated = true;
    } else {
        if (changes.discarded) {
            // A fresh store, so the draw in flight keeps the old contents.
            gl_.BufferData(target, store->Length(), nullptr, UsageHint(store->Usage()));
        }
        if (changes.end > changes.begin) {
            gl_.BufferSubData(target, changes.begin, changes.end - changes.begin, bytes + changes.begin);
        }
    }
    return object->name;
}

void GLDevice::SetupAttributes(const DrawCall& call, GLuint userBuffer) {
    VertexDeclaration* declaration = Declaration();
    GLuint buffers[kStreams] = {};
    UINT offsets[kStreams] = {};
    UINT strides[kStreams] = {};
    for (UINT s = 0; s < kStreams; ++s) {
        if ((declaration->StreamMask() & (1u << s)) == 0) {
            continue;
        }
        if (call.userVertices != nullptr) {
            buffers[s] = userBuffer;
            strides[s] = call.userStride;
        } else {
            VertexBuffer* buffer = Stream(s).buffer;
            buffers[s] = BufferName(buffer, buffer, GL_ARRAY_BUFFER);
            offsets[s] = Stream(s).offset;
            strides[s] = Stream(s).stride;
        }
    }
    if (attributes_valid_ && attribute_declaration_ == declaration &&
        std::memcmp(buffers, attribute_buffers_, sizeof(buffers)) == 0 &&
        std::memcmp(offsets, attribute_offsets_, sizeof(offsets)) == 0 &&
        std::memcmp(strides, attribute_strides_, sizeof(strides)) == 0) {
        return;
    }
    UINT enabled = 0;
    for (const D3DVERTEXELEMENT9& e : declaration->Elements()) {
        gl_.BindBuffer(GL_ARRAY_BUFFER, buffers[e.Stream]);
        const void* pointer = reinterpret_cast<const void*>(static_cast<uintptr_t>(offsets[e.Stream] + e.Offset));
        GLsizei stride = static_cast<GLsizei>(strides[e.Stream]);
        GLint size = 4;
        GLenum type = GL_FLOAT;
        GLboolean normalised = GL_FALSE;
        switch (e.Type) {
            case D3DDECLTYPE_FLOAT1: size = 1; break;
            case D3DDECLTYPE_FLOAT2: size = 2; break;
            case D3DDECLTYPE_FLOAT3: size = 3; break;
            case D3DDECLTYPE_FLOAT4: size = 4; break;
            // Stored B, G, R, A in memory; the shader reads r, g, b, a from 0 to 1.
            case D3DDECLTYPE_D3DCOLOR:
                size = GL_BGRA;
                type = GL_UNSIGNED_BYTE;
                normalised = GL_TRUE;
                break;
            case D3DDECLTYPE_UBYTE4: type = GL_UNSIGNED_BYTE; break;
        }
        GLuint location = static_cast<GLuint>(AttributeLocation(e.Usage, e.UsageIndex));
        gl_.VertexAttribPointer(location, size, type, normalised, stride, pointer);
        enabled |= 1u << location;
        if (e.Usage == D3DDECLUSAGE_POSITIONT) {
            gl_.VertexAttribPointer(kPositionTLocation, size, type, normalised, stride, pointer);
            enabled |= 1u << kPositionTLocation;
        }
    }
    for (GLuint location = 0; location < 16; ++location) {
        bool want = (enabled & (1u << location)) != 0;
        bool have = (enabled_attributes_ & (1u << location)) != 0;
        if (want && !have) {
            gl_.EnableVertexAttribArray(location);
        } else if (!want && have) {
            gl_.DisableVertexAttribArray(location);
        }
    }
    enabled_attributes_ = enabled;
    declaration->AddRef();
    if (attribute_declaration_ != nullptr) {
        attribute_declaration_->Release();
    }
    attribute_declaration_ = declaration;
    std::memcpy(attribute_buffers_, buffers, sizeof(buffers));
    std::memcpy(attribute_offsets_, offsets, sizeof(offsets));
    std::memcpy(attribute_strides_, strides, sizeof(strides));
    attributes_valid_ = true;
}

// ---------------------------------------------------------------------- calls

HRESULT GLDevice::DoDraw(const DrawCall& call) {
    MakeCurrent();
    FlushDeletions();
    auto* program = static_cast<GLProgram*>(Program());
    if (program == nullptr) {
        ReportError("%s: no shader program is set", call.name);
        return D3DERR_INVALIDCALL;
    }
    VertexDeclaration* declaration = Declaration();
    if (call.userVertices == nullptr) {
        for (UINT s = 0; s < kStreams; ++s) {
            if ((declaration->StreamMask() & (1u << s)) != 0 && Stream(s).stride == 0) {
                ReportError("%s: stream %u has a stride of 0", call.name, s);
                return D3DERR_INVALIDCALL;
            }
        }
    }
    if (!BindTargets(call.name)) {
        return D3DERR_INVALIDCALL;
    }
    ApplyViewportAndScissor();
    ApplyRenderStates();
    if (!ApplyTextures(call.name)) {
        return D3DERR_INVALIDCALL;
    }
    if (used_program_ != program->Name()) {
        gl_.UseProgram(program->Name());
        used_program_ = program->Name();
    }
    program->SendUniforms(gl_);

    // Direct3D clip space to OpenGL's for this target and viewport.
    const D3DVIEWPORT9& v = Viewport();
    float width = static_cast<float>(v.Width);
    float height = static_cast<float>(v.Height);
    float fixup[4] = {1.0f / width, flipped_ ? 1.0f / height : (1.0f - 2.0f * kEdgeNudge) / height,
                      flipped_ ? -1.0f : 1.0f, declaration->PreTransformed() ? 1.0f : 0.0f};
    float screenToClip[4] = {2.0f / width, -2.0f / height, -1.0f - 2.0f * static_cast<float>(v.X) / width,
                             1.0f + 2.0f * static_cast<float>(v.Y) / height};
    program->SendFixup(gl_, fixup, screenToClip);

    GLuint userBuffer = 0;
    if (call.userVertices != nullptr) {
        gl_.BindBuffer(GL_ARRAY_BUFFER, stream_vertices_);
        gl_.BufferData(GL_ARRAY_BUFFER, call.userVertexBytes, call.userVertices, GL_STREAM_DRAW);
        userBuffer = stream_vertices_;
    }
    SetupAttributes(call, userBuffer);

    GLenum mode = PrimitiveMode(call.type);
    GLsizei count = static_cast<GLsizei>(call.vertexCount);
    if (!call.indexed) {
        gl_.DrawArrays(mode, static_cast<GLint>(call.startVertex), count);
        return D3D_OK;
    }
    GLenum type;
    uintptr_t offset = 0;
    if (call.userIndices != nullptr) {
        UINT size = call.userIndexFormat == D3DFMT_INDEX32 ? 4 : 2;
        type = size == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
        gl_.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, stream_indices_);
        bound_index_buffer_ = stream_indices_;
        gl_.BufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * size, call.userIndices,
                       GL_STREAM_DRAW);
    } else {
        IndexBuffer* indices = Indices();
        GLuint name = BufferName(indices, indices, GL_ELEMENT_ARRAY_BUFFER);
        if (bound_index_buffer_ != name) {
            gl_.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, name);
            bound_index_buffer_ = name;
        }
        type = indices->IndexSize() == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
        offset = static_cast<uintptr_t>(call.startIndex) * indices->IndexSize();
    }
    gl_.DrawElementsBaseVertex(mode, count, type, reinterpret_cast<const void*>(offset), call.baseVertex);
    return D3D_OK;
}

HRESULT GLDevice::DoClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) {
    MakeCurrent();
    FlushDeletions();
    if (!BindTargets("Clear")) {
        return D3DERR_INVALIDCALL;
    }
    // Direct3D clears the viewport (within the scissor rectangle when that
    // test is on), whatever the depth-write and scissor states say.
    const D3DVIEWPORT9& v = Viewport();
    LONG left = static_cast<LONG>(v.X);
    LONG top = static_cast<LONG>(v.Y);
    LONG right = static_cast<LONG>(v.X + v.Width);
    LONG bottom = static_cast<LONG>(v.Y + v.Height);
    if (State().RenderState(D3DRS_SCISSORTESTENABLE)) {
        const RECT& s = ScissorRect();
        left = std::max(left, s.left);
        top = std::max(top, s.top);
        right = std::min(right, s.right);
        bottom = std::min(bottom, s.bottom);
    }
    GLbitfield bits = 0;
    if (flags & D3DCLEAR_TARGET) {
        bits |= GL_COLOR_BUFFER_BIT;
        gl_.ClearColor(static_cast<float>((color >> 16) & 0xFF) / 255.0f,
                       static_cast<float>((color >> 8) & 0xFF) / 255.0f, static_cast<float>(color & 0xFF) / 255.0f,
                       static_cast<float>((color >> 24) & 0xFF) / 255.0f);
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        bits |= GL_DEPTH_BUFFER_BIT;
        gl_.ClearDepth(z);
        gl_.DepthMask(GL_TRUE);
        State().ForgetAppliedRenderState(D3DRS_ZWRITEENABLE);
    }
    if (flags & D3DCLEAR_STENCIL) {
        bits |= GL_STENCIL_BUFFER_BIT;
        gl_.ClearStencil(static_cast<GLint>(stencil));
        gl_.StencilMask(0xFFFFFFFFu);
    }
    // A clear of the whole target goes without the scissor test, which lets
    // drivers take their fast path.
    UINT targetWidth;
    UINT targetHeight;
    TargetSize(&targetWidth, &targetHeight);
    bool whole = count == 0 && left <= 0 && top <= 0 && right >= static_cast<LONG>(targetWidth) &&
                 bottom >= static_cast<LONG>(targetHeight);
    if (whole) {
        gl_.Disable(GL_SCISSOR_TEST);
    } else {
        gl_.Enable(GL_SCISSOR_TEST);
    }
    State().ForgetAppliedRenderState(D3DRS_SCISSORTESTENABLE);
    viewport_applied_ = false;
    DWORD areas = count == 0 ? 1 : count;
    for (DWORD i = 0; i < areas; ++i) {
        LONG l = left;
        LONG t = top;
        LONG r = right;
        LONG b = bottom;
        if (count > 0) {
            l = std::max(l, rects[i].x1);
            t = std::max(t, rects[i].y1);
            r = std::min(r, rects[i].x2);
            b = std::min(b, rects[i].y2);
        }
        if (r <= l || b <= t) {
            continue;
        }
        GLint x;
        GLint y;
        GLsizei w;
        GLsizei h;
        if (!whole) {
            ToGLRect(l, t, r, b, &x, &y, &w, &h);
            gl_.Scissor(x, y, w, h);
        }
        gl_.Clear(bits);
    }
    return D3D_OK;
}

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

HRESULT GLDevice::DoReadSurface(Surface* surface, std::vector<DWORD>* pixels) {
    MakeCurrent();
    FlushDeletions();
    const D3DSURFACE_DESC& desc = surface->Desc();
    size_t width = desc.Width;
    size_t height = desc.Height;
    pixels->assign(width * height, 0);
    if (surface->GetKind() == Surface::Kind::BackBuffer) {
        gl_.BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        gl_.ReadBuffer(GL_BACK);
        gl_.ReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_BGRA,
                       GL_UNSIGNED_INT_8_8_8_8_REV, pixels->data());
        // The window's rows run bottom first: turned over in place, so that a caller
        // reading every frame into the same vector allocates nothing.
        for (size_t y = 0; y < height / 2; ++y) {
            DWORD* top = pixels->data() + y * width;
            std::swap_ranges(top, top + width, pixels->data() + (height - 1 - y) * width);
        }
    } else {
        Attachment attachment;
        if (!AttachmentFor(surface, GL_COLOR_ATTACHMENT0, &attachment)) {
            return D3DERR_INVALIDCALL;
        }
        bool complete = false;
        GLuint framebuffer = FramebufferFor({attachment}, &complete);
        if (!complete) {
            ReportError("ReadSurface: OpenGL cannot read this surface");
            return D3DERR_NOTAVAILABLE;
        }
        gl_.BindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        gl_.ReadBuffer(GL_COLOR_ATTACHMENT0);
        gl_.ReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_BGRA,
                       GL_UNSIGNED_INT_8_8_8_8_REV, pixels->data());
    }
    gl_.BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    if (desc.Format == D3DFMT_X8R8G8B8) {
        for (DWORD& p : *pixels) {
            p |= 0xFF000000u;
        }
    }
    return D3D_OK;
}

ProgramBase* GLDevice::DoCreateProgram(const char* vertexSource, const char* fragmentSource, std::string* errors) {
    MakeCurrent();
    FlushDeletions();
    return GLProgram::Create(this, gl_, vertexSource, fragmentSource, errors);
}

}  // namespace d3d9
