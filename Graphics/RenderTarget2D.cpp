#include "Graphics/RenderTarget2D.h"

#include "Graphics/GraphicsDevice.h"

namespace Graphics {

RenderTarget2D::RenderTarget2D(GraphicsDevice* device, int width, int height, int levels, SurfaceFormat format,
                               bool depthTarget)
    : width_(width),
      height_(height),
      levels_(levels),
      depth_target_(depthTarget ? 1 : 0),
      format_(format),
      device_(device) {
    Create();
}

RenderTarget2D::~RenderTarget2D() { Release(); }

HRESULT RenderTarget2D::Create() {
    if (!needs_creation_) {
        return D3D_OK;
    }
    needs_creation_ = false;
    if (device_ == nullptr || device_->GetD3D() == nullptr || device_->GetDevice() == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    IDirect3D9* d3d = device_->GetD3D();
    IDirect3DDevice9* device = device_->GetDevice();
    if (depth_target_) {
        D3DFORMAT format = GetDepthFormat(format_);
        HRESULT result = d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8,
                                                D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_TEXTURE, format);
        if (FAILED(result)) {
            return result;
        }
        return device->CreateDepthStencilSurface(static_cast<UINT>(width_), static_cast<UINT>(height_), format,
                                                 D3DMULTISAMPLE_NONE, 0, TRUE, &depth_surface_, nullptr);
    }
    D3DFORMAT format = GetColorFormat(format_);
    HRESULT result = d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_RENDERTARGET,
                                            D3DRTYPE_SURFACE, format);
    if (FAILED(result)) {
        return result;
    }
    return device->CreateTexture(static_cast<UINT>(width_), static_cast<UINT>(height_), static_cast<UINT>(levels_),
                                 D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT, &texture_, nullptr);
}

void RenderTarget2D::Release() {
    if (texture_ != nullptr) {
        texture_->Release();
        texture_ = nullptr;
    }
    // Released here as well, so neither a new Create nor the destructor leaks it.
    if (depth_surface_ != nullptr) {
        depth_surface_->Release();
        depth_surface_ = nullptr;
    }
    needs_creation_ = true;
}

IDirect3DSurface9* RenderTarget2D::GetSurface() {
    if (depth_target_) {
        return depth_surface_;
    }
    if (texture_ == nullptr) {
        return nullptr;
    }
    IDirect3DSurface9* surface = nullptr;
    texture_->GetSurfaceLevel(0, &surface);
    return surface;
}

}  // namespace Graphics
