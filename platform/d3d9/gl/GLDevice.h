#pragma once
// The OpenGL 3.3 core backend: a context on the window's SDL surface, objects
// created and uploaded lazily at draw time on the thread that made the
// device, and Direct3D's conventions (pixel centres, clip depth, row order,
// cull winding) kept on the way.
#include <mutex>
#include <vector>

#include "platform/d3d9/common/DeviceBase.h"
#include "platform/d3d9/gl/GLFunctions.h"

struct SDL_Window;

namespace d3d9 {

class GLProgram;

class GLDevice : public DeviceBase {
public:
    // Null with *result set when no context can be made on the window.
    static GLDevice* Create(SDL_Window* window, D3DPRESENT_PARAMETERS* params, const D3DCAPS9& caps, HRESULT* result);
    ~GLDevice() override;

    // OpenGL names of released resources, deleted on the render thread at the
    // next call that reaches OpenGL.
    void QueueDeleteTexture(GLuint name);
    void QueueDeleteBuffer(GLuint name);
    void QueueDeleteRenderbuffer(GLuint name);
    void QueueDeleteProgram(GLuint name);

protected:
    HRESULT DoTestCooperativeLevel() override { return D3D_OK; }
    HRESULT DoReset(D3DPRESENT_PARAMETERS* params) override;
    HRESULT DoPresent() override;
    HRESULT DoClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT DoDraw(const DrawCall& call) override;
    HRESULT DoReadSurface(Surface* surface, std::vector<DWORD>* pixels) override;
    ProgramBase* DoCreateProgram(const char* vertexSource, const char* fragmentSource, std::string* errors) override;
    void TargetsChanged() override { targets_dirty_ = true; }

private:
    struct Attachment {
        GLenum point;
        bool texture;
        GLuint name;
        GLint level;
        bool operator==(const Attachment& other) const {
            return point == other.point && texture == other.texture && name == other.name && level == other.level;
        }
    };
    struct Framebuffer {
        std::vector<Attachment> attachments;
        GLuint name;
        bool complete;
    };
    struct SamplerObject {
        DWORD key[6];
        GLuint name;
    };

    GLDevice(SDL_Window* window, void* context, const D3DPRESENT_PARAMETERS& params, const D3DCAPS9& caps);
    bool Initialise(HRESULT* result);
    void MakeCurrent();
    void ApplySwapInterval(UINT presentationInterval);
    void FlushDeletions();

    // Binds the targets of the device's state; false (with an error) when
    // they cannot be drawn into.
    bool BindTargets(const char* call);
    bool AttachmentFor(Surface* surface, GLenum point, Attachment* out);
    GLuint FramebufferFor(const std::vector<Attachment>& attachments, bool* complete);
    void ApplyViewportAndScissor();
    void ApplyRenderStates();
    void ApplyCull(DWORD mode);
    bool ApplyTextures(const char* call);
    GLuint SamplerFor(UINT sampler);
    bool UploadTexture(Texture* texture, const char* call);
    GLuint BufferName(BufferStore* store, ResourceLink* link, GLenum target);
    void SetupAttributes(const DrawCall& call, GLuint userBuffer);
    // A rectangle of the bound target (Direct3D rows, top first) in OpenGL's window rows.
    void ToGLRect(LONG left, LONG top, LONG right, LONG bottom, GLint* x, GLint* y, GLsizei* w, GLsizei* h) const;

    SDL_Window* window_;
    void* context_;
    GLFunctions gl_;
    GLuint vertex_array_ = 0;
    GLuint stream_vertices_ = 0;  // vertices of draws from user memory
    GLuint stream_indices_ = 0;

    // What the bound target set looks like.
    bool targets_dirty_ = true;
    bool flipped_ = false;         // an off-screen target: rows stored top first
    bool depth_available_ = true;  // a depth buffer is bound
    UINT target_height_ = 0;
    GLuint draw_framebuffer_ = 0;
    GLuint auto_depth_shadow_ = 0;  // the automatic depth buffer when drawing off-screen
    UINT auto_depth_shadow_width_ = 0;
    UINT auto_depth_shadow_height_ = 0;
    std::vector<Framebuffer> framebuffers_;

    // What OpenGL was last given.
    bool viewport_applied_ = false;
    D3DVIEWPORT9 applied_viewport_ = {};
    RECT applied_scissor_ = {};
    bool applied_flipped_ = false;
    UINT applied_target_height_ = 0;
    GLuint bound_textures_[kSamplers] = {};
    GLuint bound_samplers_[kSamplers] = {};
    std::vector<SamplerObject> samplers_;
    GLuint used_program_ = 0;
    GLuint bound_index_buffer_ = 0;
    bool attributes_valid_ = false;
    VertexDeclaration* attribute_declaration_ = nullptr;  // held, so its address is not reused
    GLuint attribute_buffers_[kStreams] = {};
    UINT attribute_offsets_[kStreams] = {};
    UINT attribute_strides_[kStreams] = {};
    UINT enabled_attributes_ = 0;
    bool target_warned_ = false;

    std::mutex deletion_mutex_;
    std::vector<GLuint> dead_textures_;
    std::vector<GLuint> dead_buffers_;
    std::vector<GLuint> dead_renderbuffers_;
    std::vector<GLuint> dead_programs_;
    bool destroying_ = false;
};

}  // namespace d3d9
