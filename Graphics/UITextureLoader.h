#pragma once
// The interface texture loader: a texture loader of its own service type, so it
// keeps a service slot apart from the world texture loader's.
#include "Core/ContentLoader.h"
#include "Graphics/Texture2D.h"

class UITextureLoader : public Content::ContentLoader<Graphics::Texture2D> {
public:
    using Content::ContentLoader<Graphics::Texture2D>::ContentLoader;
};
