#include "platform/d3d9/common/DeviceBase.h"

#include <cstdio>
#include <cstring>

namespace d3d9 {

namespace {

constexpr UINT kMaxTextureSide = 8192;
constexpr UINT kMaxBufferBytes = 256u << 20;
constexpr size_t kMaxErrorsKept = 1000;

template <class T, class I>
T* Ours(I* object) {
    return object == nullptr ? nullptr : dynamic_cast<T*>(object);
}

void ScanIndices(const uint8_t* data, UINT count, UINT size, UINT* minIndex, UINT* maxIndex) {
    UINT lo = 0xFFFFFFFFu;
    UINT hi = 0;
    for (UINT i = 0; i < count; ++i) {
        UINT value;
        if (size == 2) {
            uint16_t v;
            std::memcpy(&v, data + static_cast<size_t>(i) * 2, 2);
            value = v;
        } else {
            std::memcpy(&value, data + static_cast<size_t>(i) * 4, 4);
        }
        lo = value < lo ? value : lo;
        hi = value > hi ? value : hi;
    }
    *minIndex = count == 0 ? 0 : lo;
    *maxIndex = hi;
}

bool InRange(DWORD value, DWORD lo, DWORD hi) { return value >= lo && value <= hi; }

}  // namespace

UINT VerticesForPrimitives(D3DPRIMITIVETYPE type, UINT count) {
    uint64_t n = count;
    uint64_t vertices = 0;
    switch (type) {
        case D3DPT_POINTLIST: vertices = n; break;
        case D3DPT_LINELIST: vertices = 2 * n; break;
        case D3DPT_LINESTRIP: vertices = n + 1; break;
        case D3DPT_TRIANGLELIST: vertices = 3 * n; break;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN: vertices = n + 2; break;
    }
    return vertices > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<UINT>(vertices);
}

const char* PrimitiveName(D3DPRIMITIVETYPE type) {
    switch (type) {
        case D3DPT_POINTLIST: return "D3DPT_POINTLIST";
        case D3DPT_LINELIST: return "D3DPT_LINELIST";
        case D3DPT_LINESTRIP: return "D3DPT_LINESTRIP";
        case D3DPT_TRIANGLELIST: return "D3DPT_TRIANGLELIST";
        case D3DPT_TRIANGLESTRIP: return "D3DPT_TRIANGLESTRIP";
        case D3DPT_TRIANGLEFAN: return "D3DPT_TRIANGLEFAN";
    }
    return nullptr;
}

DeviceBase* AsDeviceBase(IDirect3DDevice9* device) { return Ours<DeviceBase>(device); }

// ------------------------------------------------------------------ lifecycle

DeviceBase::DeviceBase(const D3DPRESENT_PARAMETERS& params, const D3DCAPS9& caps, bool recording)
    : params_(params), caps_(caps), recording_(recording), render_thread_(std::this_thread::get_id()) {
    state_.SetDefaults(params_.EnableAutoDepthStencil != FALSE);
}

DeviceBase::~DeviceBase() {
    ReleaseBindings();
    if (back_buffer_ != nullptr) {
        back_buffer_->Release();
    }
    if (auto_depth_ != nullptr) {
        auto_depth_->Release();
    }
    DetachResources();
}

void DeviceBase::CreateDefaultSurfaces() {
    D3DSURFACE_DESC desc = {};
    desc.Format = params_.BackBufferFormat == D3DFMT_UNKNOWN ? D3DFMT_X8R8G8B8 : params_.BackBufferFormat;
    desc.Type = D3DRTYPE_SURFACE;
    desc.Usage = D3DUSAGE_RENDERTARGET;
    desc.Pool = D3DPOOL_DEFAULT;
    desc.MultiSampleType = D3DMULTISAMPLE_NONE;
    desc.Width = params_.BackBufferWidth;
    desc.Height = params_.BackBufferHeight;
    back_buffer_ = new Surface(this, Surface::Kind::BackBuffer, desc);
    if (params_.EnableAutoDepthStencil) {
        desc.Format = params_.AutoDepthStencilFormat;
        desc.Usage = D3DUSAGE_DEPTHSTENCIL;
        auto_depth_ = new Surface(this, Surface::Kind::AutoDepth, desc);
    }
    Bind(render_targets_[0], back_buffer_);
    Bind(depth_stencil_, auto_depth_);
    FullViewportAndScissor();
}

void DeviceBase::DetachResources() {
    std::set<ResourceLink*> resources;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        resources.swap(resources_);
    }
    for (ResourceLink* resource : resources) {
        resource->DetachFromDevice();
    }
}

void DeviceBase::Register(ResourceLink* resource) {
    std::lock_guard<std::mutex> lock(mutex_);
    resources_.insert(resource);
}

void DeviceBase::Unregister(ResourceLink* resource) {
    std::lock_guard<std::mutex> lock(mutex_);
    resources_.erase(resource);
}

std::vector<ResourceLink*> DeviceBase::Resources() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::vector<ResourceLink*>(resources_.begin(), resources_.end());
}

template <class T>
void DeviceBase::Bind(T*& slot, T* value) {
    if (value != nullptr) {
        value->AddRef();
    }
    if (slot != nullptr) {
        slot->Release();
    }
    slot = value;
}

void DeviceBase::ReleaseBindings() {
    for (Surface*& target : render_targets_) {
        Bind(target, static_cast<Surface*>(nullptr));
    }
    Bind(depth_stencil_, static_cast<Surface*>(nullptr));
    for (Texture*& texture : textures_) {
        Bind(texture, static_cast<Texture*>(nullptr));
    }
    for (StreamBinding& stream : streams_) {
        Bind(stream.buffer, static_cast<VertexBuffer*>(nullptr));
        stream.offset = stream.stride = 0;
    }
    Bind(indices_, static_cast<IndexBuffer*>(nullptr));
    Bind(declaration_, static_cast<VertexDeclaration*>(nullptr));
    Bind(program_, static_cast<ProgramBase*>(nullptr));
}

void DeviceBase::TargetSize(UINT* width, UINT* height) const {
    Surface* target = render_targets_[0];
    *width = target != nullptr ? target->Desc().Width : 0;
    *height = target != nullptr ? target->Desc().Height : 0;
}

void DeviceBase::FullViewportAndScissor() {
    UINT width;
    UINT height;
    TargetSize(&width, &height);
    viewport_ = {0, 0, width, height, 0.0f, 1.0f};
    scissor_ = {0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
}

bool DeviceBase::CheckRenderThread(const char* call) {
    if (std::this_thread::get_id() == render_thread_) {
        return true;
    }
    ReportError("%s: called from a thread other than the one that created the device", call);
    return false;
}

// --------------------------------------------------------------- error and log

void DeviceBase::ReportError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    ReportErrorV(format, args);
    va_end(args);
}

void DeviceBase::ReportErrorV(const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof(text), format, args);
    std::lock_guard<std::mutex> lock(mutex_);
    // A call refused every frame would flood the output: each text is written
    // once (the list below still keeps every report).
    if (printed_.size() >= kMaxErrorsKept || printed_.insert(text).second) {
        std::fprintf(stderr, "d3d9: %s\n", text);
    }
    if (errors_.size() >= kMaxErrorsKept) {
        errors_.erase(errors_.begin());
    }
    errors_.emplace_back(text);
}

std::vector<std::string> DeviceBase::Errors() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return errors_;
}

void DeviceBase::ClearErrors() {
    std::lock_guard<std::mutex> lock(mutex_);
    errors_.clear();
}

void DeviceBase::Record(const char* format, ...) {
    if (!recording_) {
        return;
    }
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    OnRecord(text);
}

// ------------------------------------------------------------ device and frame

HRESULT DeviceBase::TestCooperativeLevel() {
    HRESULT result = DoTestCooperativeLevel();
    Record("TestCooperativeLevel() = 0x%08x", static_cast<unsigned>(result));
    return result;
}

HRESULT DeviceBase::Reset(D3DPRESENT_PARAMETERS* params) {
    if (params == nullptr) {
        ReportError("Reset: no presentation parameters");
        return D3DERR_INVALIDCALL;
    }
    if (in_scene_) {
        ReportError("Reset: called between BeginScene and EndScene");
        return D3DERR_INVALIDCALL;
    }
    const FormatInfo* depth = FindFormat(params->AutoDepthStencilFormat);
    if (params->BackBufferCount > 3 || (params->EnableAutoDepthStencil && (depth == nullptr || !depth->depth))) {
        ReportError("Reset: unusable presentation parameters (back buffers %u, depth format %u)",
                    params->BackBufferCount, static_cast<unsigned>(params->AutoDepthStencilFormat));
        return D3DERR_INVALIDCALL;
    }
    D3DPRESENT_PARAMETERS wanted = *params;
    HRESULT result = DoReset(&wanted);
    Record("Reset(%ux%u, interval 0x%x) = 0x%08x", wanted.BackBufferWidth, wanted.BackBufferHeight,
           static_cast<unsigned>(wanted.PresentationInterval), static_cast<unsigned>(result));
    if (FAILED(result)) {
        return result;
    }
    *params = wanted;
    params_ = wanted;
    // Reset returns every state to its default and unbinds everything.
    ReleaseBindings();
    back_buffer_->Resize(params_.BackBufferWidth, params_.BackBufferHeight);
    if (params_.EnableAutoDepthStencil && auto_depth_ == nullptr) {
        D3DSURFACE_DESC desc = back_buffer_->Desc();
        desc.Format = params_.AutoDepthStencilFormat;
        desc.Usage = D3DUSAGE_DEPTHSTENCIL;
        auto_depth_ = new Surface(this, Surface::Kind::AutoDepth, desc);
    } else if (!params_.EnableAutoDepthStencil && auto_depth_ != nullptr) {
        auto_depth_->Release();
        auto_depth_ = nullptr;
    }
    if (auto_depth_ != nullptr) {
        auto_depth_->Resize(params_.BackBufferWidth, params_.BackBufferHeight);
    }
    Bind(render_targets_[0], back_buffer_);
    Bind(depth_stencil_, auto_depth_);
    FullViewportAndScissor();
    state_.SetDefaults(params_.EnableAutoDepthStencil != FALSE);
    StatesReset();
    TargetsChanged();
    return D3D_OK;
}

HRESULT DeviceBase::Present(const RECT*, const RECT*, HWND, const RGNDATA*) {
    if (in_scene_) {
        ReportError("Present: called between BeginScene and EndScene");
        return D3DERR_INVALIDCALL;
    }
    if (!CheckRenderThread("Present")) {
        return D3DERR_INVALIDCALL;
    }
    if (present_capture_) {
        presented_width_ = back_buffer_->Desc().Width;
        presented_height_ = back_buffer_->Desc().Height;
        if (FAILED(DoReadSurface(back_buffer_, &presented_))) {
            presented_.clear();
        }
    }
    HRESULT result = DoPresent();
    Record("Present() = 0x%08x", static_cast<unsigned>(result));
    return result;
}

HRESULT DeviceBase::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE, IDirect3DSurface9** surface) {
    if (surface == nullptr) {
        ReportError("GetBackBuffer: no pointer for the surface");
        return D3DERR_INVALIDCALL;
    }
    *surface = nullptr;
    UINT count = params_.BackBufferCount == 0 ? 1 : params_.BackBufferCount;
    // Asking for a back buffer beyond the count is how callers count them: no error.
    if (swapChain != 0 || index >= count) {
        return D3DERR_INVALIDCALL;
    }
    // Every back buffer is the one drawable the window presents.
    back_buffer_->AddRef();
    *surface = back_buffer_;
    return D3D_OK;
}

HRESULT DeviceBase::BeginScene() {
    if (in_scene_) {
        ReportError("BeginScene: the scene has already begun");
        return D3DERR_INVALIDCALL;
    }
    in_scene_ = true;
    Record("BeginScene()");
    return D3D_OK;
}

HRESULT DeviceBase::EndScene() {
    if (!in_scene_) {
        ReportError("EndScene: no scene has begun");
        return D3DERR_INVALIDCALL;
    }
    in_scene_ = false;
    Record("EndScene()");
    return D3D_OK;
}

HRESULT DeviceBase::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) {
    Record("Clear(%u, 0x%x, 0x%08x, %g, %u)", count, static_cast<unsigned>(flags), static_cast<unsigned>(color),
           static_cast<double>(z), static_cast<unsigned>(stencil));
    if ((count > 0 && rects == nullptr) || flags == 0 ||
        (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0) {
        ReportError("Clear: bad arguments (count %u with%s rectangles, flags 0x%x)", count,
                    rects == nullptr ? "out" : "", static_cast<unsigned>(flags));
        return D3DERR_INVALIDCALL;
    }
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0) {
        const FormatInfo* depth = depth_stencil_ != nullptr ? FindFormat(depth_stencil_->Desc().Format) : nullptr;
        if (depth == nullptr || ((flags & D3DCLEAR_STENCIL) != 0 && !depth->stencil)) {
            ReportError("Clear: no %s buffer is bound", depth == nullptr ? "depth" : "stencil");
            return D3DERR_INVALIDCALL;
        }
        if (!(z >= 0.0f && z <= 1.0f)) {
            ReportError("Clear: depth %g is outside 0..1", static_cast<double>(z));
            return D3DERR_INVALIDCALL;
        }
    }
    if (!CheckRenderThread("Clear")) {
        return D3DERR_INVALIDCALL;
    }
    return DoClear(count, rects, flags, color, z, stencil);
}

// ------------------------------------------------------------------- resources

HRESULT DeviceBase::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DTexture9** texture, HANDLE*) {
    Record("CreateTexture(%u, %u, %u, 0x%x, %u, %d)", width, height, levels, static_cast<unsigned>(usage),
           static_cast<unsigned>(format), static_cast<int>(pool));
    if (texture == nullptr) {
        ReportError("CreateTexture: no pointer for the texture");
        return D3DERR_INVALIDCALL;
    }
    *texture = nullptr;
    const FormatInfo* info = FindFormat(format);
    if (info == nullptr) {
        ReportError("CreateTexture: format %u is not supported", static_cast<unsigned>(format));
        return D3DERR_INVALIDCALL;
    }
    if (width == 0 || height == 0 || width > kMaxTextureSide || height > kMaxTextureSide) {
        ReportError("CreateTexture: size %ux%u is outside 1..%u", width, height, kMaxTextureSide);
        return D3DERR_INVALIDCALL;
    }
    UINT chain = FullChainLevels(width, height);
    if (levels > chain) {
        ReportError("CreateTexture: %u levels asked of a %ux%u texture (at most %u)", levels, width, height, chain);
        return D3DERR_INVALIDCALL;
    }
    bool renderTarget = (usage & D3DUSAGE_RENDERTARGET) != 0;
    bool depthStencil = (usage & D3DUSAGE_DEPTHSTENCIL) != 0;
    const char* why = nullptr;
    if (renderTarget && depthStencil) {
        why = "D3DUSAGE_RENDERTARGET together with D3DUSAGE_DEPTHSTENCIL";
    } else if ((renderTarget || depthStencil) && pool != D3DPOOL_DEFAULT) {
        why = "render targets and depth textures belong in D3DPOOL_DEFAULT";
    } else if (renderTarget && !info->renderable) {
        why = "the format cannot be a render target";
    } else if (info->depth != depthStencil) {
        why = "depth formats go with D3DUSAGE_DEPTHSTENCIL, and only they";
    } else if ((usage & D3DUSAGE_DYNAMIC) != 0 && pool == D3DPOOL_MANAGED) {
        why = "D3DUSAGE_DYNAMIC in D3DPOOL_MANAGED";
    } else if (pool > D3DPOOL_SCRATCH) {
        why = "unknown pool";
    }
    if (why != nullptr) {
        ReportError("CreateTexture: %s", why);
        return D3DERR_INVALIDCALL;
    }
    *texture = new Texture(this, width, height, levels == 0 ? chain : levels, usage, *info, pool);
    return D3D_OK;
}

HRESULT DeviceBase::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer9** buffer, HANDLE*) {
    Record("CreateVertexBuffer(%u, 0x%x, 0x%x, %d)", length, static_cast<unsigned>(usage), static_cast<unsigned>(fvf),
           static_cast<int>(pool));
    if (buffer == nullptr) {
        ReportError("CreateVertexBuffer: no pointer for the buffer");
        return D3DERR_INVALIDCALL;
    }
    *buffer = nullptr;
    if (length == 0 || length > kMaxBufferBytes || pool == D3DPOOL_SCRATCH || pool > D3DPOOL_SCRATCH ||
        ((usage & D3DUSAGE_DYNAMIC) != 0 && pool == D3DPOOL_MANAGED)) {
        ReportError("CreateVertexBuffer: %u bytes, usage 0x%x, pool %d cannot be made", length,
                    static_cast<unsigned>(usage), static_cast<int>(pool));
        return D3DERR_INVALIDCALL;
    }
    *buffer = new VertexBuffer(this, length, usage, pool);
    return D3D_OK;
}

HRESULT DeviceBase::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DIndexBuffer9** buffer, HANDLE*) {
    Record("CreateIndexBuffer(%u, 0x%x, %u, %d)", length, static_cast<unsigned>(usage), static_cast<unsigned>(format),
           static_cast<int>(pool));
    if (buffer == nullptr) {
        ReportError("CreateIndexBuffer: no pointer for the buffer");
        return D3DERR_INVALIDCALL;
    }
    *buffer = nullptr;
    if (length == 0 || length > kMaxBufferBytes || pool == D3DPOOL_SCRATCH || pool > D3DPOOL_SCRATCH ||
        (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32) ||
        ((usage & D3DUSAGE_DYNAMIC) != 0 && pool == D3DPOOL_MANAGED)) {
        ReportError("CreateIndexBuffer: %u bytes, usage 0x%x, format %u, pool %d cannot be made", length,
                    static_cast<unsigned>(usage), static_cast<unsigned>(format), static_cast<int>(pool));
        return D3DERR_INVALIDCALL;
    }
    *buffer = new IndexBuffer(this, length, usage, format, pool);
    return D3D_OK;
}

HRESULT DeviceBase::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                              D3DMULTISAMPLE_TYPE multiSample, DWORD, BOOL, IDirect3DSurface9** surface,
                                              HANDLE*) {
    Record("CreateDepthStencilSurface(%u, %u, %u)", width, height, static_cast<unsigned>(format));
    if (surface == nullptr) {
        ReportError("CreateDepthStencilSurface: no pointer for the surface");
        return D3DERR_INVALIDCALL;
    }
    *surface = nullptr;
    const FormatInfo* info = FindFormat(format);
    if (info == nullptr || !info->depth || width == 0 || height == 0 || width > kMaxTextureSide ||
        height > kMaxTextureSide) {
        ReportError("CreateDepthStencilSurface: %ux%u of format %u cannot be made", width, height,
                    static_cast<unsigned>(format));
        return D3DERR_INVALIDCALL;
    }
    if (multiSample != D3DMULTISAMPLE_NONE) {
        ReportError("CreateDepthStencilSurface: multisampling is not available");
        return D3DERR_NOTAVAILABLE;
    }
    D3DSURFACE_DESC desc = {
        format, D3DRTYPE_SURFACE, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, D3DMULTISAMPLE_NONE, 0, width, height};
    *surface = new Surface(this, Surface::Kind::DepthStencil, desc);
    return D3D_OK;
}

HRESULT DeviceBase::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                            IDirect3DVertexDeclaration9** declaration) {
    if (declaration == nullptr) {
        ReportError("CreateVertexDeclaration: no pointer for the declaration");
        return D3DERR_INVALIDCALL;
    }
    *declaration = nullptr;
    std::vector<D3DVERTEXELEMENT9> checked;
    std::string why = VertexDeclaration::Check(elements, &checked);
    Record("CreateVertexDeclaration(%u elements)", static_cast<unsigned>(checked.size()));
    if (!why.empty()) {
        ReportError("CreateVertexDeclaration: %s", why.c_str());
        return D3DERR_INVALIDCALL;
    }
    *declaration = new VertexDeclaration(std::move(checked));
    return D3D_OK;
}

// ------------------------------------------------------------------- targets

HRESULT DeviceBase::SetRenderTarget(DWORD index, IDirect3DSurface9* surface) {
    Record("SetRenderTarget(%u, %p)", static_cast<unsigned>(index), static_cast<void*>(surface));
    Surface* target = Ours<Surface>(surface);
    if (index >= caps_.NumSimultaneousRTs || index >= kRenderTargets) {
        ReportError("SetRenderTarget: slot %u (the device has %u)", static_cast<unsigned>(index),
                    static_cast<unsigned>(caps_.NumSimultaneousRTs));
        return D3DERR_INVALIDCALL;
    }
    if (index == 0 && target == nullptr) {
        ReportError("SetRenderTarget: slot 0 cannot be left without a target");
        return D3DERR_INVALIDCALL;
    }
    if (target != nullptr && ((target->Desc().Usage & D3DUSAGE_RENDERTARGET) == 0 || target->Device() != this)) {
        ReportError("SetRenderTarget: the surface is not a render target of this device");
        return D3DERR_INVALIDCALL;
    }
    Bind(render_targets_[index], target);
    if (index == 0) {
        // A new first target brings a viewport and scissor rectangle of its size.
        FullViewportAndScissor();
    }
    TargetsChanged();
    return D3D_OK;
}

HRESULT DeviceBase::GetRenderTarget(DWORD index, IDirect3DSurface9** surface) {
    if (surface == nullptr || index >= kRenderTargets) {
        ReportError("GetRenderTarget: bad slot %u or no pointer", static_cast<unsigned>(index));
        return D3DERR_INVALIDCALL;
    }
    *surface = render_targets_[index];
    if (*surface == nullptr) {
        return D3DERR_NOTFOUND;
    }
    (*surface)->AddRef();
    return D3D_OK;
}

HRESULT DeviceBase::SetDepthStencilSurface(IDirect3DSurface9* surface) {
    Record("SetDepthStencilSurface(%p)", static_cast<void*>(surface));
    Surface* depth = Ours<Surface>(surface);
    if (surface != nullptr && (depth == nullptr || !depth->IsDepth() || depth->Device() != this)) {
        ReportError("SetDepthStencilSurface: the surface is not a depth surface of this device");
        return D3DERR_INVALIDCALL;
    }
    Bind(depth_stencil_, depth);
    TargetsChanged();
    return D3D_OK;
}

HRESULT DeviceBase::GetDepthStencilSurface(IDirect3DSurface9** surface) {
    if (surface == nullptr) {
        ReportError("GetDepthStencilSurface: no pointer for the surface");
        return D3DERR_INVALIDCALL;
    }
    *surface = depth_stencil_;
    if (*surface == nullptr) {
        return D3DERR_NOTFOUND;
    }
    (*surface)->AddRef();
    return D3D_OK;
}

// ---------------------------------------------------------------------- states

HRESULT DeviceBase::SetViewport(const D3DVIEWPORT9* viewport) {
    if (viewport == nullptr) {
        ReportError("SetViewport: no viewport");
        return D3DERR_INVALIDCALL;
    }
    Record("SetViewport(%u, %u, %u, %u, %g, %g)", static_cast<unsigned>(viewport->X),
           static_cast<unsigned>(viewport->Y), static_cast<unsigned>(viewport->Width),
           static_cast<unsigned>(viewport->Height), static_cast<double>(viewport->MinZ),
           static_cast<double>(viewport->MaxZ));
    UINT width;
    UINT height;
    TargetSize(&width, &height);
    uint64_t right = static_cast<uint64_t>(viewport->X) + viewport->Width;
    uint64_t bottom = static_cast<uint64_t>(viewport->Y) + viewport->Height;
    if (viewport->Width == 0 || viewport->Height == 0 || right > width || bottom > height ||
        !(viewport->MinZ >= 0.0f && viewport->MinZ <= 1.0f) || !(viewport->MaxZ >= 0.0f && viewport->MaxZ <= 1.0f)) {
        ReportError("SetViewport: (%u, %u) %ux%u, depth %g..%g does not fit the %ux%u render target",
                    static_cast<unsigned>(viewport->X), static_cast<unsigned>(viewport->Y),
                    static_cast<unsigned>(viewport->Width), static_cast<unsigned>(viewport->Height),
                    static_cast<double>(viewport->MinZ), static_cast<double>(viewport->MaxZ), width, height);
        return D3DERR_INVALIDCALL;
    }
    viewport_ = *viewport;
    return D3D_OK;
}

HRESULT DeviceBase::GetViewport(D3DVIEWPORT9* viewport) {
    if (viewport == nullptr) {
        ReportError("GetViewport: no viewport to fill");
        return D3DERR_INVALIDCALL;
    }
    *viewport = viewport_;
    return D3D_OK;
}

HRESULT DeviceBase::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    const char* name = RenderStateName(state);
    Record("SetRenderState(%s, %u)", name != nullptr ? name : "?", static_cast<unsigned>(value));
    bool valid = name != nullptr;
    switch (state) {
        case D3DRS_ZENABLE: valid = InRange(value, D3DZB_FALSE, D3DZB_TRUE); break;
        case D3DRS_FILLMODE: valid = InRange(value, D3DFILL_POINT, D3DFILL_SOLID); break;
        case D3DRS_SRCBLEND:
        case D3DRS_DESTBLEND: valid = InRange(value, D3DBLEND_ZERO, D3DBLEND_SRCALPHASAT); break;
        case D3DRS_CULLMODE: valid = InRange(value, D3DCULL_NONE, D3DCULL_CCW); break;
        case D3DRS_ZFUNC: valid = InRange(value, D3DCMP_NEVER, D3DCMP_ALWAYS); break;
        case D3DRS_BLENDOP: valid = InRange(value, D3DBLENDOP_ADD, D3DBLENDOP_MAX); break;
        default: break;
    }
    if (!valid) {
        ReportError("SetRenderState: state %u with value %u is not supported", static_cast<unsigned>(state),
                    static_cast<unsigned>(value));
        return D3DERR_INVALIDCALL;
    }
    state_.SetRenderState(state, value);
    return D3D_OK;
}

HRESULT DeviceBase::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    const char* name = SamplerStateName(type);
    Record("SetSamplerState(%u, %s, %u)", static_cast<unsigned>(sampler), name != nullptr ? name : "?",
           static_cast<unsigned>(value));
    bool valid = name != nullptr && sampler < kSamplers;
    if (type == D3DSAMP_ADDRESSU || type == D3DSAMP_ADDRESSV || type == D3DSAMP_ADDRESSW) {
        valid = valid && InRange(value, D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP);
    } else {
        valid = valid && InRange(value, D3DTEXF_NONE, D3DTEXF_LINEAR);
    }
    if (!valid) {
        ReportError("SetSamplerState: sampler %u, state %u with value %u is not supported",
                    static_cast<unsigned>(sampler), static_cast<unsigned>(type), static_cast<unsigned>(value));
        return D3DERR_INVALIDCALL;
    }
    state_.SetSamplerState(sampler, type, value);
    return D3D_OK;
}

HRESULT DeviceBase::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    Record("SetTexture(%u, %p)", static_cast<unsigned>(stage), static_cast<void*>(texture));
    Texture* ours = Ours<Texture>(texture);
    if (stage >= kSamplers) {
        ReportError("SetTexture: stage %u (stages 0 to %u)", static_cast<unsigned>(stage), kSamplers - 1);
        return D3DERR_INVALIDCALL;
    }
    if (texture != nullptr && (ours == nullptr || ours->Device() != this || ours->Pool() == D3DPOOL_SYSTEMMEM ||
                               ours->Pool() == D3DPOOL_SCRATCH || ours->Format().depth)) {
        ReportError("SetTexture: the texture cannot be sampled by this device");
        return D3DERR_INVALIDCALL;
    }
    Bind(textures_[stage], ours);
    return D3D_OK;
}

HRESULT DeviceBase::SetScissorRect(const RECT* rect) {
    if (rect == nullptr) {
        ReportError("SetScissorRect: no rectangle");
        return D3DERR_INVALIDCALL;
    }
    Record("SetScissorRect(%ld, %ld, %ld, %ld)", static_cast<long>(rect->left), static_cast<long>(rect->top),
           static_cast<long>(rect->right), static_cast<long>(rect->bottom));
    scissor_ = *rect;
    return D3D_OK;
}

HRESULT DeviceBase::SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) {
    Record("SetVertexDeclaration(%p)", static_cast<void*>(declaration));
    VertexDeclaration* ours = Ours<VertexDeclaration>(declaration);
    if (declaration != nullptr && ours == nullptr) {
        ReportError("SetVertexDeclaration: not a declaration of this device");
        return D3DERR_INVALIDCALL;
    }
    Bind(declaration_, ours);
    return D3D_OK;
}

HRESULT DeviceBase::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) {
    Record("SetStreamSource(%u, %p, %u, %u)", stream, static_cast<void*>(buffer), offset, stride);
    VertexBuffer* ours = Ours<VertexBuffer>(buffer);
    if (stream >= kStreams || (buffer != nullptr && (ours == nullptr || ours->Device() != this))) {
        ReportError("SetStreamSource: stream %u (streams 0 to %u) or a buffer of another device", stream, kStreams - 1);
        return D3DERR_INVALIDCALL;
    }
    Bind(streams_[stream].buffer, ours);
    streams_[stream].offset = offset;
    streams_[stream].stride = stride;
    return D3D_OK;
}

HRESULT DeviceBase::SetIndices(IDirect3DIndexBuffer9* buffer) {
    Record("SetIndices(%p)", static_cast<void*>(buffer));
    IndexBuffer* ours = Ours<IndexBuffer>(buffer);
    if (buffer != nullptr && (ours == nullptr || ours->Device() != this)) {
        ReportError("SetIndices: not an index buffer of this device");
        return D3DERR_INVALIDCALL;
    }
    Bind(indices_, ours);
    return D3D_OK;
}

// ----------------------------------------------------------------------- draws

HRESULT DeviceBase::CheckDrawState(DrawCall* call, bool userMemory) {
    if (PrimitiveName(call->type) == nullptr) {
        ReportError("%s: unknown primitive type %d", call->name, static_cast<int>(call->type));
        return D3DERR_INVALIDCALL;
    }
    if (declaration_ == nullptr) {
        ReportError("%s: no vertex declaration is set", call->name);
        return D3DERR_INVALIDCALL;
    }
    if (userMemory && declaration_->StreamMask() != 1u) {
        ReportError("%s: the declaration reads streams other than 0, which a draw from memory cannot feed", call->name);
        return D3DERR_INVALIDCALL;
    }
    if (!CheckRenderThread(call->name)) {
        return D3DERR_INVALIDCALL;
    }
    for (UINT s = 0; s < kSamplers; ++s) {
        if (textures_[s] != nullptr && textures_[s]->AnyLocked()) {
            ReportError("%s: the texture on stage %u is locked", call->name, s);
            return D3DERR_INVALIDCALL;
        }
    }
    return D3D_OK;
}

HRESULT DeviceBase::CheckStreams(const DrawCall& call, UINT lastVertex) {
    for (UINT s = 0; s < kStreams; ++s) {
        if ((declaration_->StreamMask() & (1u << s)) == 0) {
            continue;
        }
        uint64_t stride = call.userVertices != nullptr ? call.userStride : streams_[s].stride;
        uint64_t offset = call.userVertices != nullptr ? 0 : streams_[s].offset;
        uint64_t length = call.userVertices != nullptr ? call.userVertexBytes : 0;
        if (call.userVertices == nullptr) {
            VertexBuffer* buffer = streams_[s].buffer;
            if (buffer == nullptr) {
                ReportError("%s: stream %u has no vertex buffer", call.name, s);
                return D3DERR_INVALIDCALL;
            }
            if (buffer->Locked()) {
                ReportError("%s: the vertex buffer of stream %u is locked", call.name, s);
                return D3DERR_INVALIDCALL;
            }
            length = buffer->Length();
        }
        uint64_t needed = offset + stride * lastVertex + declaration_->StreamExtent(s);
        if (needed > length) {
            ReportError("%s: vertex %u of stream %u ends at byte %llu, beyond the %llu bytes given", call.name,
                        lastVertex, s, static_cast<unsigned long long>(needed),
                        static_cast<unsigned long long>(length));
            return D3DERR_INVALIDCALL;
        }
    }
    return D3D_OK;
}

HRESULT DeviceBase::FinishDraw(DrawCall& call) {
    HRESULT result = DoDraw(call);
    if (call.userVertices != nullptr) {
        // Drawing from memory leaves stream 0 (and the indices) unset.
        Bind(streams_[0].buffer, static_cast<VertexBuffer*>(nullptr));
        streams_[0].offset = streams_[0].stride = 0;
        if (call.userIndices != nullptr) {
            Bind(indices_, static_cast<IndexBuffer*>(nullptr));
        }
    }
    return result;
}

HRESULT DeviceBase::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) {
    Record("DrawPrimitive(%s, %u, %u)", PrimitiveName(type) ? PrimitiveName(type) : "?", startVertex, primitiveCount);
    DrawCall call = {"DrawPrimitive",
                     type,
                     primitiveCount,
                     VerticesForPrimitives(type, primitiveCount),
                     startVertex,
                     false,
                     0,
                     0,
                     0,
                     0,
                     nullptr,
                     0,
                     0,
                     nullptr,
                     D3DFMT_UNKNOWN};
    HRESULT result = CheckDrawState(&call, false);
    if (FAILED(result) || primitiveCount == 0) {
        return result;
    }
    uint64_t last = static_cast<uint64_t>(startVertex) + call.vertexCount - 1;
    if (last > 0xFFFFFFFFu) {
        ReportError("DrawPrimitive: vertices beyond 2^32");
        return D3DERR_INVALIDCALL;
    }
    result = CheckStreams(call, static_cast<UINT>(last));
    return FAILED(result) ? result : FinishDraw(call);
}

HRESULT DeviceBase::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex,
                                         UINT numVertices, UINT startIndex, UINT primitiveCount) {
    Record("DrawIndexedPrimitive(%s, %d, %u, %u, %u, %u)", PrimitiveName(type) ? PrimitiveName(type) : "?",
           baseVertexIndex, minVertexIndex, numVertices, startIndex, primitiveCount);
    DrawCall call = {"DrawIndexedPrimitive",
                     type,
                     primitiveCount,
                     VerticesForPrimitives(type, primitiveCount),
                     0,
                     true,
                     baseVertexIndex,
                     startIndex,
                     0,
                     0,
                     nullptr,
                     0,
                     0,
                     nullptr,
                     D3DFMT_UNKNOWN};
    HRESULT result = CheckDrawState(&call, false);
    if (FAILED(result) || primitiveCount == 0) {
        return result;
    }
    if (indices_ == nullptr) {
        ReportError("DrawIndexedPrimitive: no index buffer is set");
        return D3DERR_INVALIDCALL;
    }
    if (indices_->Locked()) {
        ReportError("DrawIndexedPrimitive: the index buffer is locked");
        return D3DERR_INVALIDCALL;
    }
    UINT size = indices_->IndexSize();
    uint64_t available = indices_->Length() / size;
    if (static_cast<uint64_t>(startIndex) + call.vertexCount > available) {
        ReportError("DrawIndexedPrimitive: indices %u..%llu of a buffer of %llu indices", startIndex,
                    static_cast<unsigned long long>(static_cast<uint64_t>(startIndex) + call.vertexCount),
                    static_cast<unsigned long long>(available));
        return D3DERR_INVALIDCALL;
    }
    ScanIndices(indices_->Bytes().data() + static_cast<size_t>(startIndex) * size, call.vertexCount, size,
                &call.minIndex, &call.maxIndex);
    int64_t first = static_cast<int64_t>(baseVertexIndex) + call.minIndex;
    int64_t last = static_cast<int64_t>(baseVertexIndex) + call.maxIndex;
    if (first < 0 || last > 0xFFFFFFFFll) {
        ReportError("DrawIndexedPrimitive: base vertex %d with indices %u..%u reaches outside the vertices",
                    baseVertexIndex, call.minIndex, call.maxIndex);
        return D3DERR_INVALIDCALL;
    }
    result = CheckStreams(call, static_cast<UINT>(last));
    return FAILED(result) ? result : FinishDraw(call);
}

HRESULT DeviceBase::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) {
    Record("DrawPrimitiveUP(%s, %u, %u)", PrimitiveName(type) ? PrimitiveName(type) : "?", primitiveCount, stride);
    DrawCall call = {"DrawPrimitiveUP",
                     type,
                     primitiveCount,
                     VerticesForPrimitives(type, primitiveCount),
                     0,
                     false,
                     0,
                     0,
                     0,
                     0,
                     vertices,
                     stride,
                     0,
                     nullptr,
                     D3DFMT_UNKNOWN};
    HRESULT result = CheckDrawState(&call, true);
    if (FAILED(result) || primitiveCount == 0) {
        return result;
    }
    uint64_t bytes = static_cast<uint64_t>(call.vertexCount) * stride;
    if (vertices == nullptr || stride == 0 || bytes > kMaxBufferBytes || declaration_->StreamExtent(0) > stride) {
        ReportError("DrawPrimitiveUP: no vertices, or a stride of %u for vertices of %u bytes", stride,
                    declaration_->StreamExtent(0));
        return D3DERR_INVALIDCALL;
    }
    call.userVertexBytes = static_cast<UINT>(bytes);
    result = CheckStreams(call, call.vertexCount - 1);
    return FAILED(result) ? result : FinishDraw(call);
}

HRESULT DeviceBase::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                           UINT primitiveCount, const void* indices, D3DFORMAT indexFormat,
                                           const void* vertices, UINT stride) {
    Record("DrawIndexedPrimitiveUP(%s, %u, %u, %u, %u)", PrimitiveName(type) ? PrimitiveName(type) : "?",
           minVertexIndex, numVertices, primitiveCount, stride);
    DrawCall call = {"DrawIndexedPrimitiveUP",
                     type,
                     primitiveCount,
                     VerticesForPrimitives(type, primitiveCount),
                     0,
                     true,
                     0,
                     0,
                     0,
                     0,
                     vertices,
                     stride,
                     0,
                     indices,
                     indexFormat};
    HRESULT result = CheckDrawState(&call, true);
    if (FAILED(result) || primitiveCount == 0) {
        return result;
    }
    uint64_t vertexEnd = static_cast<uint64_t>(minVertexIndex) + numVertices;
    uint64_t bytes = vertexEnd * stride;
    if (vertices == nullptr || indices == nullptr || stride == 0 || numVertices == 0 || bytes > kMaxBufferBytes ||
        (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32) || declaration_->StreamExtent(0) > stride) {
        ReportError("DrawIndexedPrimitiveUP: missing vertices or indices, or a bad stride or index format");
        return D3DERR_INVALIDCALL;
    }
    UINT size = indexFormat == D3DFMT_INDEX32 ? 4 : 2;
    ScanIndices(static_cast<const uint8_t*>(indices), call.vertexCount, size, &call.minIndex, &call.maxIndex);
    if (call.minIndex < minVertexIndex || call.maxIndex >= vertexEnd) {
        ReportError("DrawIndexedPrimitiveUP: indices %u..%u outside the vertices %u..%llu given", call.minIndex,
                    call.maxIndex, minVertexIndex, static_cast<unsigned long long>(vertexEnd - 1));
        return D3DERR_INVALIDCALL;
    }
    call.userVertexBytes = static_cast<UINT>(bytes);
    result = CheckStreams(call, call.maxIndex);
    return FAILED(result) ? result : FinishDraw(call);
}

// ----------------------------------------------------------------- extensions

HRESULT DeviceBase::CreateProgram(const char* vertexSource, const char* fragmentSource, ShaderProgram** program,
                                  std::string* errors) {
    if (errors != nullptr) {
        errors->clear();
    }
    if (program == nullptr || vertexSource == nullptr || fragmentSource == nullptr) {
        ReportError("CreateProgram: missing sources or no pointer for the program");
        return D3DERR_INVALIDCALL;
    }
    *program = nullptr;
    if (!CheckRenderThread("CreateProgram")) {
        return D3DERR_INVALIDCALL;
    }
    std::string log;
    ProgramBase* made = DoCreateProgram(vertexSource, fragmentSource, &log);
    if (errors != nullptr) {
        *errors = log;
    }
    Record("CreateProgram() = %s", made != nullptr ? "ok" : "failed");
    if (made == nullptr) {
        return E_FAIL;
    }
    *program = made;
    return D3D_OK;
}

HRESULT DeviceBase::SetProgram(ShaderProgram* program) {
    Record("SetProgram(%p)", static_cast<void*>(program));
    ProgramBase* ours = program == nullptr ? nullptr : dynamic_cast<ProgramBase*>(program);
    if (program != nullptr && (ours == nullptr || ours->Device() != this)) {
        ReportError("SetProgram: not a program of this device");
        return D3DERR_INVALIDCALL;
    }
    Bind(program_, ours);
    return D3D_OK;
}

HRESULT DeviceBase::ReadSurface(IDirect3DSurface9* surface, std::vector<DWORD>* pixels, UINT* width, UINT* height) {
    Surface* ours = Ours<Surface>(surface);
    if (pixels == nullptr || ours == nullptr || ours->Device() != this ||
        (ours->Desc().Usage & D3DUSAGE_RENDERTARGET) == 0) {
        ReportError("ReadSurface: not a render target of this device, or nowhere to put the pixels");
        return D3DERR_INVALIDCALL;
    }
    if (!CheckRenderThread("ReadSurface")) {
        return D3DERR_INVALIDCALL;
    }
    HRESULT result = DoReadSurface(ours, pixels);
    if (width != nullptr) {
        *width = ours->Desc().Width;
    }
    if (height != nullptr) {
        *height = ours->Desc().Height;
    }
    return result;
}

HRESULT DeviceBase::ReadPresentedFrame(std::vector<DWORD>* pixels, UINT* width, UINT* height) {
    if (pixels == nullptr || presented_.empty()) {
        return D3DERR_NOTFOUND;
    }
    *pixels = presented_;
    if (width != nullptr) {
        *width = presented_width_;
    }
    if (height != nullptr) {
        *height = presented_height_;
    }
    return D3D_OK;
}

}  // namespace d3d9
