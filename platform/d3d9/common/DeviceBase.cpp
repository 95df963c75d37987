// The device's lifecycle and bindings, its error list and call log, the device
// and frame calls and the extensions. Its resources, states and draws are in
// DeviceBaseResources.cpp, DeviceBaseState.cpp and DeviceBaseDraw.cpp.
#include "platform/d3d9/common/DeviceBase.h"

#include <cstdio>

#include "platform/d3d9/common/DeviceBasePrivate.h"

namespace d3d9 {

namespace {

constexpr size_t kMaxErrorsKept = 1000;

}  // namespace

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
