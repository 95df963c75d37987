#pragma once
// A texture resource: the device texture with the size D3DX allocated and the
// size of the image as stored.
#include "Graphics/GraphicsResource.h"
#include "Maths/Vector2.h"
#include "platform/d3d9/d3d9.h"

namespace Graphics {

class ITexture : public GraphicsResource {
public:
    explicit ITexture(const std::string& name);
    // Releases the device texture when one is still held.
    ~ITexture() override;

    // Level 0 of the device texture, in texels.
    const Vector2& GetTextureSize() const { return texture_size_; }
    float GetWidth() const { return texture_size_.x; }
    float GetHeight() const { return texture_size_.y; }
    // The encoded image's own size (zero for a dynamic texture).
    const Vector2& GetImageSize() const { return image_size_; }
    // Null when nothing is loaded. The texture keeps its reference.
    IDirect3DTexture9* GetTexture() const { return texture_; }

protected:
    Vector2 texture_size_;
    Vector2 image_size_;
    int32_t reserved_texture_ = 0;
    IDirect3DTexture9* texture_ = nullptr;
};

}  // namespace Graphics
