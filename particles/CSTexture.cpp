#include "particles/CSTexture.h"

#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/Texture2D.h"
#include "IO/File.h"

namespace {
typedef Content::ContentLoader<Graphics::Texture2D> ParticleWorldTextures;
}  // namespace

CSTexture* CSTexture::Load(const char* name) {
    if (!Service<ParticleWorldTextures>::Exists()) return nullptr;
    boost::shared_ptr<Graphics::Texture2D> texture =
        Service<ParticleWorldTextures>::Get()->Load(name != nullptr ? name : "");
    if (!texture) return nullptr;
    CSTexture* result = new CSTexture();
    result->m_pTexture = texture;
    return result;
}

bool CSTexture::FileExists(const char* name) {
    if (!Service<ParticleWorldTextures>::Exists()) return false;
    return IO::FileExists(Service<ParticleWorldTextures>::Get()->PathOf(name != nullptr ? name : ""));
}
