#pragma once
// The device both backends share: every Direct3D call's checks, the state it
// sets (with Direct3D's defaults), the references it holds on bound objects,
// and the errors it reports. A backend supplies only what touches its
// "hardware": clearing, drawing, presenting, reading pixels and programs.
#include <cstdarg>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/d3d9/Extensions.h"
#include "platform/d3d9/common/DeviceState.h"
#include "platform/d3d9/common/Resources.h"

namespace d3d9 {

// One draw call after its checks: what the backend is to draw.
struct DrawCall {
    const char* name;
    D3DPRIMITIVETYPE type;
    UINT primitiveCount;
    UINT vertexCount;  // vertices (non-indexed) or indices (indexed) the primitives take
    UINT startVertex;  // non-indexed
    bool indexed;
    INT baseVertex;
    UINT startIndex;
    UINT minIndex;  // smallest and largest index read (indexed)
    UINT maxIndex;
    // Draws from user memory: the vertices (and indices) to send as stream 0.
    const void* userVertices;
    UINT userStride;
    UINT userVertexBytes;
    const void* userIndices;
    D3DFORMAT userIndexFormat;
};

struct StreamBinding {
    VertexBuffer* buffer = nullptr;
    UINT offset = 0;
    UINT stride = 0;
};

class DeviceBase : public RefCounted<IDirect3DDevice9> {
public:
    // IDirect3DDevice9
    HRESULT TestCooperativeLevel() override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override;
    HRESULT Present(const RECT* source, const RECT* dest, HWND destWindow, const RGNDATA* dirty) override;
    HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, HANDLE* shared) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                               HANDLE* shared) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool, IDirect3DIndexBuffer9** buffer,
                              HANDLE* shared) override;
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                      DWORD quality, BOOL discard, IDirect3DSurface9** surface,
                                      HANDLE* shared) override;
    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                    IDirect3DVertexDeclaration9** declaration) override;
    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT SetScissorRect(const RECT* rect) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex, UINT numVertices,
                                 UINT startIndex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices, UINT primitiveCount,
                                   const void* indices, D3DFORMAT indexFormat, const void* vertices,
                                   UINT stride) override;
    HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* buffer) override;

    // Extensions (platform/d3d9/Extensions.h).
    HRESULT CreateProgram(const char* vertexSource, const char* fragmentSource, ShaderProgram** program,
                          std::string* errors);
    HRESULT SetProgram(ShaderProgram* program);
    HRESULT ReadSurface(IDirect3DSurface9* surface, std::vector<DWORD>* pixels, UINT* width, UINT* height);
    void SetPresentCapture(bool enabled) { present_capture_ = enabled; }
    HRESULT ReadPresentedFrame(std::vector<DWORD>* pixels, UINT* width, UINT* height);
    std::vector<std::string> Errors() const;
    void ClearErrors();

    // A bad call: one line on stderr, kept in the error list.
    void ReportError(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void ReportErrorV(const char* format, va_list args);
    // A call worth logging; only a recording backend formats and keeps it.
    bool Recording() const { return recording_; }
    // A recording backend whose log nobody reads can stop keeping it.
    void SetRecording(bool recording) { recording_ = recording; }
    void Record(const char* format, ...) __attribute__((format(printf, 2, 3)));

    void Register(ResourceLink* resource);
    void Unregister(ResourceLink* resource);
    std::vector<ResourceLink*> Resources() const;

    // For backends.
    const D3DPRESENT_PARAMETERS& Params() const { return params_; }
    const D3DCAPS9& Caps() const { return caps_; }
    DeviceState& State() { return state_; }
    Surface* BackBufferSurface() const { return back_buffer_; }
    Surface* AutoDepthSurface() const { return auto_depth_; }
    Surface* RenderTarget(UINT index) const { return render_targets_[index]; }
    Surface* DepthStencil() const { return depth_stencil_; }
    Texture* BoundTexture(UINT sampler) const { return textures_[sampler]; }
    const StreamBinding& Stream(UINT stream) const { return streams_[stream]; }
    IndexBuffer* Indices() const { return indices_; }
    VertexDeclaration* Declaration() const { return declaration_; }
    ProgramBase* Program() const { return program_; }
    const D3DVIEWPORT9& Viewport() const { return viewport_; }
    const RECT& ScissorRect() const { return scissor_; }
    bool InScene() const { return in_scene_; }
    // Size of the surface bound as render target 0.
    void TargetSize(UINT* width, UINT* height) const;

protected:
    DeviceBase(const D3DPRESENT_PARAMETERS& params, const D3DCAPS9& caps, bool recording);
    ~DeviceBase() override;

    // Makes the back buffer and automatic depth surfaces for the current
    // parameters and binds them; backends call it once their size is known.
    void CreateDefaultSurfaces();
    // Drops every resource's backend objects; backends call it from their
    // destructor, while they can still delete them.
    void DetachResources();
    // The thread that may touch the backend; others get D3DERR_INVALIDCALL
    // for calls that need it.
    void SetRenderThread(std::thread::id id) { render_thread_ = id; }
    bool CheckRenderThread(const char* call);

    virtual HRESULT DoTestCooperativeLevel() = 0;
    // May fill in a zero back-buffer size. D3D_OK resets the states here.
    virtual HRESULT DoReset(D3DPRESENT_PARAMETERS* params) = 0;
    virtual HRESULT DoPresent() = 0;
    virtual HRESULT DoClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) = 0;
    virtual HRESULT DoDraw(const DrawCall& call) = 0;
    virtual HRESULT DoReadSurface(Surface* surface, std::vector<DWORD>* pixels) = 0;
    virtual ProgramBase* DoCreateProgram(const char* vertexSource, const char* fragmentSource, std::string* errors) = 0;
    // After SetRenderTarget or SetDepthStencilSurface changed the bound set.
    virtual void TargetsChanged() {}
    // After Reset returned every state to its default.
    virtual void StatesReset() { state_.ForgetApplied(); }
    // A recorded call (only when recording).
    virtual void OnRecord(const char* /*text*/) {}

private:
    template <class T>
    void Bind(T*& slot, T* value);
    void ReleaseBindings();
    HRESULT CheckDrawState(DrawCall* call, bool userMemory);
    HRESULT FinishDraw(DrawCall& call);
    HRESULT CheckStreams(const DrawCall& call, UINT lastVertex);
    void FullViewportAndScissor();

    D3DPRESENT_PARAMETERS params_;
    D3DCAPS9 caps_;
    bool recording_;
    DeviceState state_;
    Surface* back_buffer_ = nullptr;
    Surface* auto_depth_ = nullptr;
    Surface* render_targets_[kRenderTargets] = {};
    Surface* depth_stencil_ = nullptr;
    Texture* textures_[kSamplers] = {};
    StreamBinding streams_[kStreams];
    IndexBuffer* indices_ = nullptr;
    VertexDeclaration* declaration_ = nullptr;
    ProgramBase* program_ = nullptr;
    D3DVIEWPORT9 viewport_ = {};
    RECT scissor_ = {};
    bool in_scene_ = false;
    bool present_capture_ = false;
    std::vector<DWORD> presented_;
    UINT presented_width_ = 0;
    UINT presented_height_ = 0;
    std::thread::id render_thread_;

    mutable std::mutex mutex_;  // guards the resource set and the error list
    std::set<ResourceLink*> resources_;
    std::vector<std::string> errors_;
    std::set<std::string> printed_;  // the texts already written to stderr
};

// The device behind an interface pointer (all devices are ours).
DeviceBase* AsDeviceBase(IDirect3DDevice9* device);

UINT VerticesForPrimitives(D3DPRIMITIVETYPE type, UINT primitiveCount);
const char* PrimitiveName(D3DPRIMITIVETYPE type);

}  // namespace d3d9
