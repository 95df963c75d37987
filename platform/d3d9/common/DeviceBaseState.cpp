// The device's bound targets and its states: viewport, render and sampler
// states, scissor rectangle, textures, vertex declaration, streams and indices.
#include "platform/d3d9/common/DeviceBase.h"
#include "platform/d3d9/common/DeviceBasePrivate.h"

namespace d3d9 {

namespace {

bool InRange(DWORD value, DWORD lo, DWORD hi) { return value >= lo && value <= hi; }

}  // namespace

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

}  // namespace d3d9
