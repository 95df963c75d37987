#include "Graphics/TextureAtlas.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/Texture2D.h"
#include "IO/File.h"

namespace Graphics {

namespace {

// The fields of one index line, as written (fractions of the page). A line
// that does not match keeps what the previous line left.
struct IndexLine {
    char textureName[52] = {};
    char atlasFileName[52] = {};
    int atlasIndex = 0;
    char typeWord[12] = {};
    float xOffset = 0.0f;
    float yOffset = 0.0f;
    float depthOffset = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};

int AtlasType(const char* word) {
    if (std::strcmp(word, "Volume") == 0) {
        return 1;
    }
    if (std::strcmp(word, "Cube") == 0) {
        return 2;
    }
    return 0;  // "2D", and any word not known
}

}  // namespace

TextureAtlas::TextureAtlas(const std::string& path)
    : GraphicsResource(ResourceTextureAtlas, path), entries_(11), pages_(11) {}

boost::shared_ptr<TextureAtlas> TextureAtlas::LoadFromFile(const std::string& path) {
    uint8_t* buffer = nullptr;
    uint32_t size = 0;
    uint32_t count = IO::ReadWholeFile(path, buffer, size);
    if (count == 0 || count != size) {
        std::free(buffer);
        return boost::shared_ptr<TextureAtlas>();
    }
    boost::shared_ptr<TextureAtlas> atlas(new TextureAtlas(path));
    std::istringstream text(std::string(reinterpret_cast<const char*>(buffer), count));
    std::free(buffer);

    Content::ContentLoader<Texture2D>* textures = Service<Content::ContentLoader<Texture2D>>::Exists()
                                                      ? Service<Content::ContentLoader<Texture2D>>::Get()
                                                      : nullptr;
    IndexLine line;
    std::string row;
    while (std::getline(text, row)) {
        if (row.empty() || row[0] == '#') {
            continue;
        }
        // Widths bound every word to its buffer.
        std::sscanf(row.c_str(), "%51s\t\t%51s , %d , %11s , %f , %f , %f , %f , %f", line.textureName,
                    line.atlasFileName, &line.atlasIndex, line.typeWord, &line.xOffset, &line.yOffset,
                    &line.depthOffset, &line.width, &line.height);
        boost::shared_ptr<Texture2D> page;
        auto known = atlas->pages_.find(line.atlasFileName);
        if (known != atlas->pages_.end()) {
            page = known->second;
        } else if (textures != nullptr) {
            page = textures->Load(line.atlasFileName);
            if (page) {
                atlas->pages_[line.atlasFileName] = page;
            }
        }
        if (!page) {
            continue;
        }
        TextureAtlasEntry entry;
        entry.textureName = line.textureName;
        entry.atlasFileName = line.atlasFileName;
        entry.atlasIndex = line.atlasIndex;
        entry.atlasType = AtlasType(line.typeWord);
        entry.xOffset = line.xOffset * page->GetWidth();
        entry.yOffset = line.yOffset * page->GetHeight();
        entry.depthOffset = line.depthOffset;
        entry.width = line.width * page->GetWidth();
        entry.height = line.height * page->GetHeight();
        atlas->entries_.insert(std::make_pair(entry.textureName, entry));
    }
    atlas->loaded_ = true;
    return atlas;
}

bool TextureAtlas::Unload() {
    if (!loaded_) {
        return true;
    }
    for (auto& page : pages_) {
        page.second->Unload();
    }
    loaded_ = false;
    return true;
}

bool TextureAtlas::Reload() {
    Unload();
    for (auto& page : pages_) {
        page.second->Reload();
    }
    return false;
}

}  // namespace Graphics

namespace Content {

template <>
boost::shared_ptr<Graphics::TextureAtlas> CreateAsset<Graphics::TextureAtlas>(const std::string& path) {
    return Graphics::TextureAtlas::LoadFromFile(path);
}

template <>
bool ReleaseAsset<Graphics::TextureAtlas>(boost::shared_ptr<Graphics::TextureAtlas> asset) {
    return asset->Unload();
}

template <>
bool ReloadAsset<Graphics::TextureAtlas>(boost::shared_ptr<Graphics::TextureAtlas> asset) {
    return asset->Reload();
}

}  // namespace Content
