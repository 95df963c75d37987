#include "Graphics/Texture2D.h"

#include <cstdlib>

#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"
#include "IO/File.h"
#include "platform/d3dx/D3DXTexture.h"

namespace Graphics {

namespace {

const char kDynamicName[] = "TexToLock";
const char kDefaultTextureName[] = "../Data/Defaults/default.dds";
const char kDefaultBumpTextureName[] = "../Data/Defaults/default_bump.dds";

IDirect3DTexture9* g_defaultTexture = nullptr;
IDirect3DTexture9* g_defaultBumpTexture = nullptr;

// The texture's side: the image's rounded up to a power of two.
uint64_t TextureSide(uint32_t side) {
    uint64_t rounded = 1;
    while (rounded < side) rounded <<= 1;
    return rounded;
}

IDirect3DDevice9* CurrentDevice() {
    return Service<GraphicsDevice>::Exists() ? Service<GraphicsDevice>::Get()->GetDevice() : nullptr;
}

IDirect3DTexture9* DefaultTexture(IDirect3DTexture9*& slot, const char* name) {
    if (slot == nullptr) {
        IDirect3DTexture9* texture = nullptr;
        if (SUCCEEDED(LoadDefaultTexture(name, &texture))) {
            slot = texture;
        }
    }
    return slot;
}

}  // namespace

HRESULT LoadD3DTexture(const std::string& name, IDirect3DTexture9** texture, uint32_t* textureWidth,
                       uint32_t* textureHeight, uint32_t* imageWidth, uint32_t* imageHeight, const void* data,
                       uint32_t size, uint32_t maxPixels) {
    *texture = nullptr;
    IDirect3DDevice9* device = CurrentDevice();
    if (device == nullptr) {
        return E_FAIL;
    }
    uint8_t* read = nullptr;
    if (data == nullptr) {
        uint32_t fileSize = 0;
        uint32_t count = IO::ReadWholeFile(name, read, fileSize);
        if (count == 0 || count != fileSize) {
            std::free(read);
            return E_FAIL;
        }
        data = read;
        size = count;
    }

    HRESULT result = d3dx::CreateTextureFromFileInMemory(device, data, size, maxPixels, texture);
    if (FAILED(result)) {
        std::free(read);
        return result;
    }
    D3DSURFACE_DESC desc;
    HRESULT described = (*texture)->GetLevelDesc(0, &desc);
    if (FAILED(described)) {
        std::free(read);
        (*texture)->Release();
        *texture = nullptr;
        return described;
    }
    *textureWidth = desc.Width;
    *textureHeight = desc.Height;

    D3DXIMAGE_INFO info = {};
    D3DXGetImageInfoFromFileInMemory(data, size, &info);
    *imageWidth = info.Width;
    *imageHeight = info.Height;
    std::free(read);

    // A device-wide effect of every load: sampler 0 filters linearly.
    device->SetTexture(0, *texture);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetTexture(0, nullptr);
    return result;
}

HRESULT LoadDefaultTexture(const std::string& name, IDirect3DTexture9** texture) {
    uint32_t textureWidth, textureHeight, imageWidth, imageHeight;
    return LoadD3DTexture(name, texture, &textureWidth, &textureHeight, &imageWidth, &imageHeight, nullptr, 0);
}

IDirect3DTexture9* GetDefaultTexture() { return DefaultTexture(g_defaultTexture, kDefaultTextureName); }

IDirect3DTexture9* GetDefaultBumpTexture() { return DefaultTexture(g_defaultBumpTexture, kDefaultBumpTextureName); }

Texture2D::Texture2D(int32_t typeId, const std::string& name) : ITexture(name) { type_id_ = typeId; }

Texture2D::Texture2D(GraphicsDevice* device, int width, int height, int mipLevels, SurfaceFormat format)
    : ITexture(kDynamicName) {
    D3DFORMAT d3dFormat = GetColorFormat(format);
    if (device != nullptr && device->GetD3D() != nullptr && device->GetDevice() != nullptr &&
        SUCCEEDED(device->GetD3D()->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0,
                                                      D3DRTYPE_SURFACE, d3dFormat))) {
        device->GetDevice()->CreateTexture(static_cast<UINT>(width), static_cast<UINT>(height),
                                           static_cast<UINT>(mipLevels), D3DUSAGE_DYNAMIC, d3dFormat, D3DPOOL_DEFAULT,
                                           &texture_, nullptr);
    }
    texture_size_ = Vector2(static_cast<float>(width), static_cast<float>(height));
}

boost::shared_ptr<Texture2D> Texture2D::LoadFromFile(const std::string& path) {
    IDirect3DTexture9* texture = nullptr;
    uint32_t textureWidth, textureHeight, imageWidth, imageHeight;
    if (FAILED(LoadD3DTexture(path, &texture, &textureWidth, &textureHeight, &imageWidth, &imageHeight, nullptr, 0))) {
        return boost::shared_ptr<Texture2D>();
    }
    boost::shared_ptr<Texture2D> result(new Texture2D(ResourceTextureFromFile, path));
    result->texture_ = texture;
    result->texture_size_ = Vector2(static_cast<float>(textureWidth), static_cast<float>(textureHeight));
    result->image_size_ = Vector2(static_cast<float>(imageWidth), static_cast<float>(imageHeight));
    result->loaded_ = true;
    return result;
}

bool Texture2D::IsImageWithin(const void* data, uint32_t size, uint32_t maxPixels) {
    D3DXIMAGE_INFO info = {};
    return data != nullptr && size != 0 && SUCCEEDED(D3DXGetImageInfoFromFileInMemory(data, size, &info)) &&
           TextureSide(info.Width) * TextureSide(info.Height) <= maxPixels;
}

boost::shared_ptr<Texture2D> Texture2D::LoadFromMemory(const void* data, uint32_t size, uint32_t maxPixels) {
    if (data == nullptr || size == 0) {
        return boost::shared_ptr<Texture2D>();
    }
    IDirect3DTexture9* texture = nullptr;
    uint32_t textureWidth, textureHeight, imageWidth, imageHeight;
    if (FAILED(LoadD3DTexture(std::string(), &texture, &textureWidth, &textureHeight, &imageWidth, &imageHeight, data,
                              size, maxPixels))) {
        return boost::shared_ptr<Texture2D>();
    }
    boost::shared_ptr<Texture2D> result(new Texture2D(ResourceTextureFromMemory, kDynamicName));
    result->texture_ = texture;
    result->texture_size_ = Vector2(static_cast<float>(textureWidth), static_cast<float>(textureHeight));
    result->image_size_ = Vector2(static_cast<float>(imageWidth), static_cast<float>(imageHeight));
    result->loaded_ = true;
    return result;
}

bool Texture2D::Unload() {
    if (!loaded_ || texture_ == nullptr) {
        return true;
    }
    texture_->Release();
    texture_ = nullptr;
    loaded_ = false;
    return true;
}

bool Texture2D::Reload() {
    GraphicsResource* self = this;
    self->Unload();
    IDirect3DTexture9* texture = nullptr;
    uint32_t textureWidth, textureHeight, imageWidth, imageHeight;
    if (FAILED(LoadD3DTexture(name_, &texture, &textureWidth, &textureHeight, &imageWidth, &imageHeight, nullptr, 0))) {
        return false;
    }
    // A dynamic texture that was never loaded still holds its own.
    if (texture_ != nullptr) {
        texture_->Release();
    }
    texture_ = texture;
    texture_size_ = Vector2(static_cast<float>(textureWidth), static_cast<float>(textureHeight));
    image_size_ = Vector2(static_cast<float>(imageWidth), static_cast<float>(imageHeight));
    loaded_ = true;
    return false;
}

}  // namespace Graphics

namespace Content {

template <>
boost::shared_ptr<Graphics::Texture2D> CreateAsset<Graphics::Texture2D>(const std::string& path) {
    return Graphics::Texture2D::LoadFromFile(path);
}

template <>
bool ReleaseAsset<Graphics::Texture2D>(boost::shared_ptr<Graphics::Texture2D> asset) {
    return asset->Unload();
}

template <>
bool ReloadAsset<Graphics::Texture2D>(boost::shared_ptr<Graphics::Texture2D> asset) {
    return asset->Reload();
}

}  // namespace Content
