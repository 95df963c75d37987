#include "tools/datacheck/NullGraphics.h"

#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"

namespace datacheck {

NullGraphics::NullGraphics() : previous_backend_(d3d9::GetBackend()) {
    d3d9::SetBackend(d3d9::Backend::Null);
    d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
    if (d3d_ == nullptr) return;
    D3DPRESENT_PARAMETERS params = {};
    params.BackBufferWidth = 1024;
    params.BackBufferHeight = 768;
    params.BackBufferFormat = D3DFMT_X8R8G8B8;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.Windowed = TRUE;
    params.EnableAutoDepthStencil = TRUE;
    params.AutoDepthStencilFormat = D3DFMT_D24S8;
    if (FAILED(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_MULTITHREADED, &params,
                                  &device_)))
        return;
    graphics_.reset(new Graphics::GraphicsDevice(d3d_, device_));
    if (!Service<Graphics::GraphicsDevice>::Exists()) {
        Service<Graphics::GraphicsDevice>::Register(graphics_.get());
        registered_ = true;
    }
}

NullGraphics::~NullGraphics() {
    if (registered_) Service<Graphics::GraphicsDevice>::Unregister();
    graphics_.reset();
    if (device_ != nullptr) device_->Release();
    if (d3d_ != nullptr) d3d_->Release();
    d3d9::SetBackend(previous_backend_);
}

}  // namespace datacheck
