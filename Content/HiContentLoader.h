#pragma once
// A holder of one content loader per type of its type list, each reachable by
// its type (Get<T>() or Loki::Field<T>). Its parts start with empty roots and
// empty caches.
#include <loki/HierarchyGenerators.h>
#include <loki/Typelist.h>
#include <loki/TypelistMacros.h>

#include "Core/ContentLoader.h"
#include "Graphics/Model/Model.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/Texture2D.h"
#include "Graphics/TextureAtlas.h"

namespace Content {

typedef LOKI_TYPELIST_4(Graphics::Texture2D, Graphics::SpriteFont, Graphics::TextureAtlas,
                        Graphics::Model) HiContentTypes;

class HiContentLoader : public Loki::GenScatterHierarchy<HiContentTypes, ContentLoader> {
public:
    HiContentLoader();
    virtual ~HiContentLoader();

    template <class T>
    ContentLoader<T>& Get() {
        return Loki::Field<T>(*this);
    }
};

}  // namespace Content
