#include "particles/CSTexture.h"

#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/Texture2D.h"

CSTexture* CSTexture::Load(const char* name) {
    typedef Content::ContentLoader<Graphics::Texture2D> WorldTextures;
    if (!Service<WorldTextures>::Exists()) return nullptr;
    boost::shared_ptr<Graphics::Texture2D> texture = Service<WorldTextures>::Get()->Load(name != nullptr ? name : "");
    if (!texture) return nullptr;
    CSTexture* result = new CSTexture();
    result->m_pTexture = texture;
    return result;
}
