// The loading at program start as the game runs it: every service it asks for set up,
// PreloadAssets on its loader thread by turns with this one, then each asset it named
// looked for in its loader's cache. A name that is not there is missing from the data
// (or does not load).
#include <string>
#include <utility>
#include <vector>

#include "Classes/Battle/GameWindow.h"
#include "Audio/CSSampleHandler.h"
#include "Audio/Sound.h"
#include "Audio/SoundStream.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Loading/LoaderHandover.h"
#include "Classes/Loading/PreloadAssets.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/AnimationClips/AnimationClips.h"
#include "Graphics/Model/Model.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/Texture2D.h"
#include "Graphics/UITextureLoader.h"
#include "tools/datacheck/Check.h"
#include "tools/datacheck/DictionaryInService.h"
#include "tools/datacheck/NullGraphics.h"
#include "tools/datacheck/ScopedService.h"

namespace {

typedef std::vector<std::pair<PreloadCache, std::string>> Named;
// Filled on the loader thread, read here once it has ended.
Named g_named;
void Remember(PreloadCache cache, const std::string& name) { g_named.emplace_back(cache, name); }

template <class Loader>
class Published {
public:
    explicit Published(const std::string& folder) : loader_(folder), slot_(&loader_) {}
    bool Holds(const std::string& name) const { return loader_.GetCache().count(datacheck::Lower(name)) != 0; }
    Loader& Get() { return loader_; }

private:
    Loader loader_;
    datacheck::ScopedService<Loader> slot_;
};

const char* CacheName(PreloadCache cache) {
    switch (cache) {
        case kPreloadWorldTexture: return "world texture";
        case kPreloadModel: return "model";
        case kPreloadClips: return "clip table";
        case kPreloadFont: return "font";
        case kPreloadInterfaceTexture: return "interface texture";
        case kPreloadSound: return "sound";
        case kPreloadMusic: return "music";
    }
    return "?";
}

}  // namespace

DATACHECK(preload, 60) {
    if (!Service<Config>::Exists()) {
        report.Fail("no configuration");
        return;
    }
    const Config& config = *Service<Config>::Get();
    const Config::PathSet& paths = config.Paths;
    datacheck::NullGraphics graphics;
    if (!graphics.Ready()) {
        report.Fail("no null device for the textures and models");
        return;
    }
    const datacheck::DictionaryInService dictionary(config);
    Morvane::GameWindow window;
    const datacheck::ScopedService<Morvane::GameWindow> windowSlot(&window);
    Published<Content::ContentLoader<Graphics::Texture2D>> world(paths.TexturesPath);
    Published<UITextureLoader> interface(paths.UiTexturePath);
    Published<Content::ContentLoader<Graphics::SpriteFont>> fonts(paths.FontsPath);
    Published<Content::ContentLoader<Graphics::Model>> models(paths.MeshesPath);
    Published<Content::ContentLoader<Graphics::AnimationClips>> clips(paths.AnimsPath);
    Published<Content::ContentLoader<Audio::Sound>> sounds(paths.SoundsPath);
    Published<Content::ContentLoader<Audio::SoundStream>> music(paths.SoundsPath);

    g_named.clear();
    SetPreloadObserver(&Remember);
    int steps = 0;
    LONG last = 0;
    const bool finished = PreloadByTurns([&](LONG progress) {
        ++steps;
        last = progress;
    });
    SetPreloadObserver(nullptr);
    if (!finished) report.Fail("the loading ended early (a missing service)");
    // The loading gets past a first map it cannot use, so the menus still come, but
    // then no battle can be played: the data is not whole.
    const MapDefinition* first = config.Maps.empty() ? nullptr : dictionary.Get().FindMap(config.Maps[0]);
    if (config.Maps.empty())
        report.Fail("the loading finished without a map: the configuration names none");
    else if (first == nullptr)
        report.Fail("the loading finished without a map: the first map, %s, is not in the game data",
                    config.Maps[0].c_str());
    else if (first->files.mesh.empty())
        report.Fail("the loading finished without a map: the first map, %s, has no model", config.Maps[0].c_str());
    report.Line("%d progress values, the last %d; %zu assets named", steps, static_cast<int>(last), g_named.size());

    int missing = 0;
    for (const auto& named : g_named) {
        bool held = false;
        switch (named.first) {
            case kPreloadWorldTexture: held = world.Holds(named.second); break;
            case kPreloadModel: held = models.Holds(named.second); break;
            case kPreloadClips: held = clips.Holds(named.second); break;
            case kPreloadFont: held = fonts.Holds(named.second); break;
            case kPreloadInterfaceTexture: held = interface.Holds(named.second); break;
            case kPreloadSound: held = sounds.Holds(named.second); break;
            case kPreloadMusic: held = music.Holds(named.second); break;
        }
        if (held) continue;
        ++missing;
        report.Fail("%s %s is not in its cache after the loading", CacheName(named.first), named.second.c_str());
    }
    if (missing == 0) report.Line("every asset named is in its loader's cache");

    // The samples go with the sound loaders (the rest with their loaders, before the device).
    sounds.Get().UnloadAll();
    music.Get().UnloadAll();
    CSSampleHandler::PurgeUnused();
}
