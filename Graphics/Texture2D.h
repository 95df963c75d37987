#pragma once
// 2D textures: decoded by D3DX from an encoded image (a file read whole, or a
// buffer), or created empty and lockable for pixels made at run time. Always
// held by boost::shared_ptr<Graphics::Texture2D>.
#include <boost/call_traits.hpp>
#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <string>

#include "Core/AssetHooks.h"
#include "Graphics/ITexture.h"
#include "Graphics/PointerTraits.h"
#include "Graphics/SurfaceFormat.h"

namespace Graphics {

class GraphicsDevice;

class Texture2D : public ITexture, public boost::call_traits<Texture2D>, public Patterns::pointer_traits<Texture2D> {
public:
    // The lockable dynamic texture ("TexToLock", default pool, D3DUSAGE_DYNAMIC).
    // When the device refuses the format no device texture is made.
    Texture2D(GraphicsDevice* device, int width, int height, int mipLevels, SurfaceFormat format);

    // The most pixels a texture decoded from a file may hold in its top level (its sides
    // rounded up to powers of two): four times the largest the game's data has. A larger
    // image is refused before it is decoded.
    static constexpr uint32_t kMaxPixels = 2048 * 2048;

    // Empty on failure.
    static boost::shared_ptr<Texture2D> LoadFromFile(const std::string& path);
    // The buffer stays the caller's. Empty on failure, also for an image whose texture
    // would hold more than maxPixels pixels.
    static boost::shared_ptr<Texture2D> LoadFromMemory(const void* data, uint32_t size,
                                                       uint32_t maxPixels = kMaxPixels);

    // From the image's header alone: the data is an image whose texture holds at most
    // maxPixels pixels. Touches no device, so any thread may ask.
    static bool IsImageWithin(const void* data, uint32_t size, uint32_t maxPixels);

    // Decodes the file again; answers false also when it succeeded.
    bool Reload() override;
    // Releases the device texture; the name and sizes stay.
    bool Unload() override;

private:
    Texture2D(int32_t typeId, const std::string& name);
};

// Decodes an image into a new device texture of the registered graphics device.
// With data null the file `name` is read whole; otherwise the `size` bytes at
// `data` are decoded and the name is ignored. An image whose texture would hold
// more than maxPixels pixels is refused. Sets sampler 0 to linear filtering.
HRESULT LoadD3DTexture(const std::string& name, IDirect3DTexture9** texture, uint32_t* textureWidth,
                       uint32_t* textureHeight, uint32_t* imageWidth, uint32_t* imageHeight, const void* data,
                       uint32_t size, uint32_t maxPixels = Texture2D::kMaxPixels);

// The textures models fall back on, loaded on first use and kept for the whole
// run; null while they cannot be loaded. The caller adds its own reference.
IDirect3DTexture9* GetDefaultTexture();
IDirect3DTexture9* GetDefaultBumpTexture();
HRESULT LoadDefaultTexture(const std::string& name, IDirect3DTexture9** texture);

}  // namespace Graphics

namespace Content {
template <>
boost::shared_ptr<Graphics::Texture2D> CreateAsset<Graphics::Texture2D>(const std::string& path);
template <>
bool ReleaseAsset<Graphics::Texture2D>(boost::shared_ptr<Graphics::Texture2D> asset);
template <>
bool ReloadAsset<Graphics::Texture2D>(boost::shared_ptr<Graphics::Texture2D> asset);
}  // namespace Content
