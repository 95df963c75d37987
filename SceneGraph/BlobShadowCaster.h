#pragma once
// Blob shadows: one textured square on the ground plane under every
// shadow-casting model node, all in one indexed draw.
#include <cstdint>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "Graphics/GraphicsDeviceVertices.h"
#include "SceneGraph/ShadowCaster.h"
#include "platform/d3d9/d3d9.h"

namespace Graphics {
class Texture2D;
}

namespace sg {

class BlobShadowCaster : public ShadowCaster {
public:
    // 16-bit indices reach this many quads.
    static constexpr int32_t kMaxCasters = 16384;

    // The whole texture.
    BlobShadowCaster(const boost::shared_ptr<Graphics::Texture2D>& texture, int32_t maxCasters);
    // A rectangle of the texture in pixels; v counts from the texture's bottom.
    BlobShadowCaster(const boost::shared_ptr<Graphics::Texture2D>& texture, float x, float y, float width, float height,
                     int32_t maxCasters);
    ~BlobShadowCaster() override;

    // Casters beyond the maximum the buffers hold get no blob.
    void Draw(RenderLists& lists) override;

    float GetUL() const { return u_left_; }
    float GetVT() const { return v_top_; }
    float GetUR() const { return u_right_; }
    float GetVB() const { return v_bottom_; }
    int32_t GetMaxCasters() const { return max_casters_; }
    IDirect3DVertexBuffer9* GetVertexBuffer() const { return vertex_buffer_; }
    IDirect3DIndexBuffer9* GetIndexBuffer() const { return index_buffer_; }

private:
    void CreateBuffers(int32_t maxCasters);
    void ReleaseBuffers();

    boost::shared_ptr<Graphics::Texture2D> texture_;
    float u_left_ = 0.0f;
    float v_top_ = 0.0f;
    float u_right_ = 1.0f;
    float v_bottom_ = 1.0f;
    int32_t max_casters_ = 0;
    IDirect3DVertexBuffer9* vertex_buffer_ = nullptr;
    IDirect3DIndexBuffer9* index_buffer_ = nullptr;
    std::vector<Graphics::BlobShadowVertex> vertices_;
};

}  // namespace sg
