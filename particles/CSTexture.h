#pragma once
// A particle texture: a counted wrapper of an engine texture loaded through the
// world texture loader.
#include <boost/shared_ptr.hpp>

#include "particles/CSRefBase.h"

namespace Graphics {
class Texture2D;
}

class CSTexture : public CSRefBase {
public:
    CSTexture() = default;
    CSTexture(const CSTexture&) = delete;

    // A new texture (count 1) holding what the world texture loader gives for the
    // name; null when no world texture loader is registered (silently) or when the
    // loader gives nothing. Every call makes a new CSTexture: sharing the texture
    // data is the loader's business.
    static CSTexture* Load(const char* name);
    // Whether the file the world texture loader would read for the name exists;
    // false when no loader is registered.
    static bool FileExists(const char* name);

    const boost::shared_ptr<Graphics::Texture2D>& GetTexture() const { return m_pTexture; }

private:
    boost::shared_ptr<Graphics::Texture2D> m_pTexture;
};
