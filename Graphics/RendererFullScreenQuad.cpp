#include "Graphics/RendererFullScreenQuad.h"

#include <cstring>

#include "Graphics/GraphicsDeviceVertices.h"

namespace Graphics {

FullScreenQuad::FullScreenQuad(IDirect3DDevice9* device, int width, int height) : device_(device) {
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    // No half-texel offset.
    const ScreenVertex corners[4] = {
        {0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f},
        {w, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f},
        {w, h, 1.0f, 1.0f, 1.0f, 1.0f},
        {0.0f, h, 1.0f, 1.0f, 0.0f, 1.0f},
    };
    if (device_ == nullptr || FAILED(device_->CreateVertexBuffer(sizeof(corners), D3DUSAGE_WRITEONLY, 0,
                                                                 D3DPOOL_DEFAULT, &vertices_, nullptr))) {
        vertices_ = nullptr;
        return;
    }
    void* data = nullptr;
    if (SUCCEEDED(vertices_->Lock(0, 0, &data, 0)) && data != nullptr) {
        std::memcpy(data, corners, sizeof(corners));
        vertices_->Unlock();
    }
}

FullScreenQuad::~FullScreenQuad() { Release(); }

void FullScreenQuad::Draw(IDirect3DVertexDeclaration9* declaration) {
    if (device_ == nullptr || vertices_ == nullptr) {
        return;
    }
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device_->SetVertexDeclaration(declaration);
    device_->SetStreamSource(0, vertices_, 0, sizeof(ScreenVertex));
    device_->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2);
}

void FullScreenQuad::Release() {
    if (vertices_ != nullptr) {
        vertices_->Release();
        vertices_ = nullptr;
    }
    device_ = nullptr;
}

}  // namespace Graphics
