// Every sample texture through the world and interface texture loaders (and
// the two defaults), every clip table through the clip loader, and the atlas
// index through its reader, on the recording null device. Files the catalogue
// names must be there; every other image or table in the folders must load too.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "Classes/Dictionary/Config/Config.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/AnimationClips/AnimationClips.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Texture2D.h"
#include "Graphics/TextureAtlas.h"
#include "Graphics/UITextureLoader.h"
#include "IO/File.h"
#include "platform/d3d9/Extensions.h"
#include "tools/catalogue/Clips.h"
#include "tools/catalogue/Models.h"
#include "tools/catalogue/Textures.h"
#include "tools/datacheck/Check.h"
#include "tools/datacheck/NullGraphics.h"
#include "tools/datacheck/ScopedService.h"

namespace {

namespace tex = catalogue::textures;
namespace cm = catalogue::models;
using TextureLoader = Content::ContentLoader<Graphics::Texture2D>;

const char* FormatName(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_DXT1: return "DXT1";
        case D3DFMT_DXT3: return "DXT3";
        case D3DFMT_DXT5: return "DXT5";
        case D3DFMT_A8R8G8B8: return "A8R8G8B8";
        case D3DFMT_X8R8G8B8: return "X8R8G8B8";
        default: return "?";
    }
}

void Describe(datacheck::Report& report, const std::string& name, IDirect3DTexture9* texture, float imageWidth,
              float imageHeight) {
    D3DSURFACE_DESC desc = {};
    texture->GetLevelDesc(0, &desc);
    char image[48] = "";
    if (imageWidth > 0) std::snprintf(image, sizeof(image), ", image %gx%g", imageWidth, imageHeight);
    report.Line("%-32s %4ux%-4u %-8s %2lu levels%s", name.c_str(), desc.Width, desc.Height, FormatName(desc.Format),
                static_cast<unsigned long>(texture->GetLevelCount()), image);
}

// Loads a texture through the loader (a failure is reported by the loader's
// assertion) and describes it once.
class TextureChecker {
public:
    TextureChecker(datacheck::Report& report, TextureLoader& loader) : report_(report), loader_(loader) {}

    void Check(const std::string& name) {
        if (seen_.count(name) != 0) return;
        seen_.insert(name);
        boost::shared_ptr<Graphics::Texture2D> texture = loader_.Load(name);
        if (!texture) return;
        ++loaded_;
        Describe(report_, name, texture->GetTexture(), texture->GetImageSize().x, texture->GetImageSize().y);
    }
    // Every image of a folder (sub-folders not included), named relative to the loader's root.
    void CheckFolder(const std::string& subFolder) {
        const std::vector<std::string> files = ListDirectory(loader_.GetRootFolder() + subFolder);
        for (const std::string& file : files)
            if (datacheck::EndsWith(file, ".dds") || datacheck::EndsWith(file, ".png")) Check(subFolder + file);
    }
    int Loaded() const { return loaded_; }
    int Seen() const { return static_cast<int>(seen_.size()); }

private:
    datacheck::Report& report_;
    TextureLoader& loader_;
    std::set<std::string> seen_;
    int loaded_ = 0;
};

void CheckDefaults(datacheck::Report& report) {
    const struct {
        const char* name;
        IDirect3DTexture9* (*get)();
    } defaults[] = {{tex::kDefaultTexture, &Graphics::GetDefaultTexture},
                    {tex::kDefaultBumpTexture, &Graphics::GetDefaultBumpTexture}};
    for (const auto& d : defaults) {
        IDirect3DTexture9* texture = d.get();
        if (texture == nullptr) report.Fail("default texture %s does not load", d.name);
        else Describe(report, d.name, texture, 0, 0);
    }
}

void CheckClipTables(datacheck::Report& report, const std::string& folder) {
    Content::ContentLoader<Graphics::AnimationClips> clips(folder);
    std::set<std::string> names;
    for (const char* table : catalogue::clips::kTables) names.insert(table);
    for (const std::string& file : ListDirectory(folder))
        if (datacheck::EndsWith(file, ".xml")) names.insert(file);
    int loaded = 0;
    for (const std::string& name : names) {
        boost::shared_ptr<Graphics::AnimationClips> table = clips.Load(name);
        if (!table) {
            report.Fail("clip table %s does not load", name.c_str());
            continue;
        }
        ++loaded;
        report.Line("%-20s %zu clips at %g fps", name.c_str(), table->GetClips().size(), table->GetFps());
        if (table->GetFps() <= 0) report.Fail("%s has no frame rate", name.c_str());
        for (const cm::Clip& wanted : cm::kHumanoidClips)
            if (!table->HasClip(wanted.name)) report.Fail("%s lacks the clip \"%s\"", name.c_str(), wanted.name);
        for (const auto& entry : table->GetClips()) {
            const Graphics::AnimationClip& clip = entry.second;
            if (clip.first < 0 || clip.last <= clip.first || clip.last > cm::kHumanoidFrameCount ||
                (clip.extra >= 0 && (clip.extra < clip.first || clip.extra >= clip.last)))
                report.Fail("%s: clip \"%s\" (%d, %d, %d) does not fit the %d model frames", name.c_str(),
                            entry.first.c_str(), clip.first, clip.last, clip.extra, cm::kHumanoidFrameCount);
        }
    }
    report.Line("clip tables: %d of %zu loaded", loaded, names.size());
}

void CheckAtlas(datacheck::Report& report, const std::string& folder) {
    boost::shared_ptr<Graphics::TextureAtlas> atlas =
        Content::CreateAsset<Graphics::TextureAtlas>(folder + tex::kAtlasIndex);
    if (!atlas) {
        report.Fail("atlas index %s does not read", tex::kAtlasIndex);
        return;
    }
    report.Line("atlas %s: %zu entries on %zu pages", tex::kAtlasIndex, atlas->entries_.size(), atlas->pages_.size());
    for (const tex::AtlasSprite& sprite : tex::kAtlasSprites) {
        auto found = atlas->entries_.find(sprite.name);
        if (found == atlas->entries_.end()) {
            report.Fail("atlas %s lacks %s", tex::kAtlasIndex, sprite.name);
            continue;
        }
        const Graphics::TextureAtlasEntry& e = found->second;
        report.Line("  %-12s %s at (%g, %g) size %gx%g", sprite.name, e.atlasFileName.c_str(), e.xOffset, e.yOffset,
                    e.width, e.height);
        if (e.xOffset != sprite.x || e.yOffset != sprite.y || e.width != sprite.width || e.height != sprite.height)
            report.Fail("atlas entry %s is not where the catalogue put it", sprite.name);
    }
}

}  // namespace

DATACHECK(textures, 30) {
    if (!Service<Config>::Exists()) {
        report.Fail("no configuration (the config check registers it)");
        return;
    }
    const Config::PathSet& paths = Service<Config>::Get()->Paths;
    datacheck::NullGraphics graphics;
    if (!graphics.Ready()) {
        report.Fail("no null Direct3D device for the textures");
        return;
    }
    CheckDefaults(report);

    TextureLoader world(paths.TexturesPath);
    const datacheck::ScopedService<TextureLoader> publish(&world);
    TextureChecker worldTextures(report, world);
    for (const char* cursor : tex::kCursors) worldTextures.Check(cursor);
    worldTextures.Check(tex::kParticleSprite);
    worldTextures.Check(tex::kBlobShadowSprite);
    for (const tex::WorldTexture& t : tex::kPreloaded) {
        worldTextures.Check(t.name);
        worldTextures.Check(t.bump);
    }
    for (const cm::Texture& t : cm::kTextures) {
        worldTextures.Check(t.dds);
        if (t.bump != nullptr) worldTextures.Check(t.bump);
    }
    worldTextures.CheckFolder("");
    worldTextures.CheckFolder("particles/");
    report.Line("world textures: %d of %d loaded", worldTextures.Loaded(), worldTextures.Seen());

    UITextureLoader ui(paths.UiTexturePath);
    TextureChecker uiTextures(report, ui);
    uiTextures.Check(tex::kCreditsImage);
    uiTextures.Check(tex::kTutorialImage);
    uiTextures.Check(tex::kHudTexture);
    uiTextures.CheckFolder("");
    report.Line("interface textures: %d of %d loaded", uiTextures.Loaded(), uiTextures.Seen());

    CheckClipTables(report, paths.AnimsPath);
    CheckAtlas(report, paths.TexturesPath);
}
