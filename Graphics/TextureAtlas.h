#pragma once
// Texture names mapped to rectangles on shared atlas pages, read from a text
// index with one line per packed texture:
//   <texture>\t\t<atlas page> , <index> , <2D|Volume|Cube> , <x> , <y> , <depth> , <width> , <height>
// Offsets and sizes are written as fractions of the page and kept in texels.
// The pages load through the world texture loader.
#include <boost/call_traits.hpp>
#include <boost/shared_ptr.hpp>
#include <boost/unordered_map.hpp>

#include <string>

#include "Core/AssetHooks.h"
#include "Graphics/GraphicsResource.h"
#include "Graphics/PointerTraits.h"

namespace Graphics {

class Texture2D;

struct TextureAtlasEntry {
    std::string textureName;
    std::string atlasFileName;
    int atlasIndex = 0;
    int atlasType = 0;  // 0 "2D", 1 "Volume", 2 "Cube"
    float xOffset = 0.0f;
    float yOffset = 0.0f;
    float depthOffset = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};

class TextureAtlas : public GraphicsResource,
                     public boost::call_traits<TextureAtlas>,
                     public Patterns::pointer_traits<TextureAtlas> {
public:
    explicit TextureAtlas(const std::string& path);

    // Empty when the index cannot be read. Lines whose page cannot be loaded
    // are left out (their texel sizes are unknown).
    static boost::shared_ptr<TextureAtlas> LoadFromFile(const std::string& path);

    // Unloads every page once; entries and pages stay.
    bool Unload() override;
    // Unload, then reloads every page; answers false.
    bool Reload() override;

    // Keyed by texture name as written; the first line of a name wins.
    boost::unordered_map<std::string, TextureAtlasEntry> entries_;
    // Keyed by page name as written.
    boost::unordered_map<std::string, boost::shared_ptr<Texture2D>> pages_;
};

}  // namespace Graphics

namespace Content {
template <>
boost::shared_ptr<Graphics::TextureAtlas> CreateAsset<Graphics::TextureAtlas>(const std::string& path);
template <>
bool ReleaseAsset<Graphics::TextureAtlas>(boost::shared_ptr<Graphics::TextureAtlas> asset);
template <>
bool ReloadAsset<Graphics::TextureAtlas>(boost::shared_ptr<Graphics::TextureAtlas> asset);
}  // namespace Content
