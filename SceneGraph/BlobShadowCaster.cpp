#include "SceneGraph/BlobShadowCaster.h"

#include <algorithm>
#include <cstring>

#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Texture2D.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/ModelNode.h"
#include "SceneGraph/RenderLists.h"

namespace sg {

namespace {

constexpr UINT kQuadBytes = 4 * sizeof(Graphics::BlobShadowVertex);  // 80
constexpr UINT kQuadIndexBytes = 6 * sizeof(uint16_t);               // 12

int32_t ClampCasters(int32_t n) { return std::max(0, std::min(n, BlobShadowCaster::kMaxCasters)); }

}  // namespace

BlobShadowCaster::BlobShadowCaster(const boost::shared_ptr<Graphics::Texture2D>& texture, int32_t maxCasters)
    : texture_(texture), max_casters_(ClampCasters(maxCasters)) {
    CreateBuffers(max_casters_);
}

BlobShadowCaster::BlobShadowCaster(const boost::shared_ptr<Graphics::Texture2D>& texture, float x, float y, float width,
                                   float height, int32_t maxCasters)
    : texture_(texture), max_casters_(ClampCasters(maxCasters)) {
    const float w = texture ? texture->GetWidth() : 0.0f;
    const float h = texture ? texture->GetHeight() : 0.0f;
    if (w > 0.0f && h > 0.0f) {
        u_left_ = x / w;
        u_right_ = (x + width) / w;
        v_top_ = (h - y) / h;
        v_bottom_ = (h - (y + height)) / h;
    }
    CreateBuffers(max_casters_);
}

BlobShadowCaster::~BlobShadowCaster() { ReleaseBuffers(); }

void BlobShadowCaster::CreateBuffers(int32_t n) {
    Graphics::GraphicsDevice* graphics = device_;
    if (graphics == nullptr && Service<Graphics::GraphicsDevice>::Exists())
        graphics = Service<Graphics::GraphicsDevice>::Get();
    IDirect3DDevice9* device = graphics != nullptr ? graphics->GetDevice() : nullptr;
    if (device == nullptr || n <= 0) return;
    if (vertex_buffer_ == nullptr) {
        device->CreateVertexBuffer(UINT(n) * kQuadBytes, D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT,
                                   &vertex_buffer_, nullptr);
    }
    if (index_buffer_ == nullptr) {
        if (FAILED(device->CreateIndexBuffer(UINT(n) * kQuadIndexBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                             D3DPOOL_DEFAULT, &index_buffer_, nullptr)) ||
            index_buffer_ == nullptr)
            return;
        void* data = nullptr;
        if (SUCCEEDED(index_buffer_->Lock(0, 0, &data, 0)) && data != nullptr) {
            uint16_t* indices = static_cast<uint16_t*>(data);
            for (int32_t i = 0; i < n; ++i) {
                const uint16_t base = uint16_t(4 * i);
                const uint16_t quad[6] = {base,
                                          uint16_t(base + 1),
                                          uint16_t(base + 2),
                                          uint16_t(base + 1),
                                          uint16_t(base + 3),
                                          uint16_t(base + 2)};
                std::memcpy(indices + 6 * i, quad, sizeof(quad));
            }
            index_buffer_->Unlock();
        }
    }
}

void BlobShadowCaster::ReleaseBuffers() {
    if (index_buffer_ != nullptr) {
        index_buffer_->Release();
        index_buffer_ = nullptr;
    }
    if (vertex_buffer_ != nullptr) {
        vertex_buffer_->Release();
        vertex_buffer_ = nullptr;
    }
    texture_.reset();
}

void BlobShadowCaster::Draw(RenderLists& lists) {
    if (device_ == nullptr || lists.models.empty()) return;
    if (vertex_buffer_ == nullptr || index_buffer_ == nullptr) CreateBuffers(max_casters_);
    if (vertex_buffer_ == nullptr || index_buffer_ == nullptr) return;

    for (ModelNode* node : lists.models) {
        if (!node->CastsShadow()) continue;
        // The buffers hold max_casters_ blobs: further casters get none.
        if (vertices_.size() >= size_t(max_casters_) * 4) break;
        const Vector3& c = node->GetWorldPosition();
        const float s = node->GetBoundingSphere().radius * 0.75f;
        vertices_.push_back({c.x + s, c.y - s, c.z, u_right_, v_bottom_});
        vertices_.push_back({c.x - s, c.y - s, c.z, u_left_, v_bottom_});
        vertices_.push_back({c.x + s, c.y + s, c.z, u_right_, v_top_});
        vertices_.push_back({c.x - s, c.y + s, c.z, u_left_, v_top_});
    }
    if (vertices_.empty()) return;

    void* data = nullptr;
    if (FAILED(vertex_buffer_->Lock(0, 0, &data, 0)) || data == nullptr) {
        vertices_.clear();
        return;
    }
    std::memcpy(data, vertices_.data(), vertices_.size() * sizeof(Graphics::BlobShadowVertex));
    vertex_buffer_->Unlock();

    const boost::shared_ptr<Graphics::GDEffect>& effect = device_->GetEffect();
    effect->technique_ = effect->render_blob_technique_;
    effect->effect_->SetTexture(effect->tex_diffuse_, texture_ ? texture_->GetTexture() : nullptr);
    effect->effect_->SetFloat(effect->opacity_, opacity_);
    float tint[4];
    std::memcpy(tint, color_.ToFloat4(), sizeof(tint));
    effect->effect_->SetValue(effect->tint_color_, tint, sizeof(tint));
    if (lists.camera != nullptr) {
        // The vertices are in world space already.
        D3DXMATRIX vp;
        std::memcpy(vp.m, lists.camera->GetViewProjection().m, sizeof(vp.m));
        effect->effect_->SetMatrix(effect->wvp_xf_, &vp);
    }

    IDirect3DDevice9* device = device_->GetDevice();
    device->SetVertexDeclaration(device_->GetBlobShadowVertexDeclaration());
    device->SetStreamSource(0, vertex_buffer_, 0, sizeof(Graphics::BlobShadowVertex));
    device->SetIndices(index_buffer_);
    const UINT v = UINT(vertices_.size());
    effect->Begin();
    // v vertices, two triangles (six indices) per blob.
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, v, 0, (v + v / 2) / 3);
    effect->End();
    vertices_.clear();
}

}  // namespace sg
