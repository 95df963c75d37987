// The OpenGL device's render targets: attachments and framebuffers, viewport and
// scissor, clears and reading a surface back.
#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/d3d9/gl/GLDevice.h"
#include "platform/d3d9/gl/GLDevicePrivate.h"

namespace d3d9 {

namespace {

class GLRenderbufferObject : public BackendObject {
public:
    GLRenderbufferObject(GLDevice* device, GLuint name) : device_(device), name(name) {}
    ~GLRenderbufferObject() override { device_->QueueDeleteRenderbuffer(name); }
    GLDevice* device_;
    GLuint name;
};

GLenum DepthPoint(D3DFORMAT format) {
    const FormatInfo* info = FindFormat(format);
    return info != nullptr && info->stencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
}

}  // namespace

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

// ---------------------------------------------------------------------- calls

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

}  // namespace d3d9
