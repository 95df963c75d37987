#include "Graphics/ITexture.h"

namespace Graphics {

ITexture::ITexture(const std::string& name) : GraphicsResource(ResourceTextureFromMemory, name) {}

ITexture::~ITexture() {
    if (texture_ != nullptr) {
        texture_->Release();
        texture_ = nullptr;
    }
}

}  // namespace Graphics
