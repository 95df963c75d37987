// The device's resource creation: textures, vertex and index buffers, depth
// surfaces and vertex declarations, each checked before it is made.
#include "platform/d3d9/common/DeviceBase.h"
#include "platform/d3d9/common/DeviceBasePrivate.h"

namespace d3d9 {

namespace {

constexpr UINT kMaxTextureSide = 8192;

// A length, usage or pool that no vertex or index buffer can have.
bool BadBuffer(UINT length, DWORD usage, D3DPOOL pool) {
    return length == 0 || length > kMaxBufferBytes || pool == D3DPOOL_SCRATCH || pool > D3DPOOL_SCRATCH ||
           ((usage & D3DUSAGE_DYNAMIC) != 0 && pool == D3DPOOL_MANAGED);
}

}  // namespace

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
    if (BadBuffer(length, usage, pool)) {
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
    if (BadBuffer(length, usage, pool) || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32)) {
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

}  // namespace d3d9
