#include "Classes/Loading/PreloadAssets.h"

#include <boost/shared_ptr.hpp>

#include "Audio/Sound.h"
#include "Audio/SoundStream.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Classes/Loading/LoaderHandover.h"
#include "Classes/Online/BannerFeed.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Core/TextHelpers.h"
#include "Graphics/AnimationClips/AnimationClips.h"
#include "Graphics/Model/Model.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/Texture2D.h"
#include "Graphics/UITextureLoader.h"
#include "platform/win32/Interlocked.h"
#include "platform/win32/ThreadTurns.h"
#include "platform/win32/Time.h"

namespace Morvane {
class GameWindow;
}

namespace {

typedef Content::ContentLoader<Graphics::Texture2D> WorldTextureLoader;
typedef Content::ContentLoader<Graphics::Model> ModelLoader;
typedef Content::ContentLoader<Graphics::AnimationClips> ClipLoader;
typedef Content::ContentLoader<Graphics::SpriteFont> FontLoader;
typedef Content::ContentLoader<Audio::Sound> SoundLoader;
typedef Content::ContentLoader<Audio::SoundStream> MusicLoader;

const char* const kWorldTextures[] = {
    "particles/IPHONE01.dds",    "mm_Palac_LowPoly2.dds", "mm_Palace_03_brick.dds",
    "mm_Palace_03_stone_02.dds", "mm_Palace_03_trim.dds", "Kelmoor_LM.dds",
};
const char kWeaponsModel[] = "WEAPONS_ALL_001.pod";
const char* const kFonts[] = {"tarragon_40.fnt", "arial_15.fnt"};
const char* const kInterfaceTextures[] = {"credits.png", "tutorial.png"};
const char* const kMenuSounds[] = {"BtnPress.wav", "btnunactive.wav", "Transition.wav"};
const char* const kBattleSounds[] = {
    "GameOver.wav", "GameVictory.wav",    "WaveBegin.wav", "WaveOver.wav", "FireStorm.wav",
    "Slow.wav",     "LightningBolt2.wav", "Spawn.wav",     "Heal.wav",     "Resurrect.wav",
    "Teleport.wav", "Hide.wav",           "Unhide.wav",    "Upgrade.wav",  "Sell.wav",
};
const char kMenuMusic[] = "MainMenuOGG.ogg";

PreloadObserver g_observer = nullptr;

// Loads through the loader of that service (when there is one); only its cache keeps
// the asset. A failed load is reported by the loader and the loading goes on.
template <class Loader>
void Preload(PreloadCache cache, const std::string& name) {
    if (name.empty()) return;
    if (g_observer != nullptr) g_observer(cache, name);
    if (Service<Loader>::Exists()) Service<Loader>::Get()->Load(name);
}

template <class Loader>
void PreloadEach(PreloadCache cache, const std::vector<std::string>& names) {
    for (const std::string& name : names) Preload<Loader>(cache, name);
}

// The loader's half of the turns: publish, give the main thread the turn, wait for it
// to come back. The float weights add up to whole numbers only roughly (20 / 7 seven
// times is 39.99999), so the published value allows for that before truncating.
class Turns {
public:
    // False when the main thread gave up on the loading meanwhile: load no more.
    bool HandOver() {
        const HANDLE main = MainThreadHandle.load();
        // No main thread waiting on us: nobody to take turns with.
        if (ResumeThread(main) == static_cast<DWORD>(-1)) return !LoaderStopRequested.load();
        SuspendThread(GetCurrentThread());
        if (LoaderStopRequested.load()) return false;
        Sleep(20);
        return true;
    }
    // A turn handed over while the loader waits for something else; without a main
    // thread to hand it to, a short sleep.
    bool Wait() {
        if (MainThreadHandle.load() != nullptr) return HandOver();
        Sleep(20);
        return !LoaderStopRequested.load();
    }
    bool Publish(float step) {
        accumulator_ += step;
        InterlockedExchange(&LoadingProgress, static_cast<LONG>(accumulator_ + 0.001f));
        return HandOver();
    }

private:
    float accumulator_ = 0.0f;
};

// However the loader ends, it leaves nothing waiting for it: its handle is cleared
// (and closed) and the main thread gets the turn back.
class LoaderExit {
public:
    ~LoaderExit() {
        if (finished_) InterlockedIncrement(&LoadingFinished);
        if (HANDLE own = LoaderThreadHandle.exchange(nullptr)) CloseHandle(own);
        ResumeThread(MainThreadHandle.load());
    }
    void Finished() { finished_ = true; }

private:
    bool finished_ = false;
};

// A share of the progress per definition; no definitions, no steps to weigh.
float Weight(float share, size_t count) { return count != 0 ? share / static_cast<float>(count) : 0.0f; }

bool ServicesPresent() {
    return Service<ModelLoader>::Exists() && Service<ClipLoader>::Exists() && Service<WorldTextureLoader>::Exists() &&
           Service<UITextureLoader>::Exists() && Service<Config>::Exists() && Service<GameDictionary>::Exists() &&
           Service<Morvane::GameWindow>::Exists();
}

}  // namespace

void SetPreloadObserver(PreloadObserver observer) { g_observer = observer; }

void PreloadAssets() {
    HANDLE own = nullptr;
    if (DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &own, 0, FALSE,
                        DUPLICATE_SAME_ACCESS)) {
        if (HANDLE earlier = LoaderThreadHandle.exchange(own)) CloseHandle(earlier);
    }
    LoaderExit exit;
    StoreTimeStamp();
    if (!ServicesPresent()) return;
    Turns turns;
    if (!turns.HandOver()) return;  // nothing loaded yet: the progress stays 0

    for (const char* texture : kWorldTextures) Preload<WorldTextureLoader>(kPreloadWorldTexture, texture);

    const Config& config = *Service<Config>::Get();
    const GameDictionary& dictionary = *Service<GameDictionary>::Get();
    const float defenderWeight = Weight(20.0f, dictionary.GetDefenders().size());
    const float attackerWeight = Weight(20.0f, dictionary.GetAttackers().size());
    const float weaponWeight = Weight(10.0f, dictionary.GetWeapons().size());

    // A map whose files could not be read has nothing to preload: the rest still
    // loads and the menus come (its battle is refused when it is chosen), rather
    // than a loading screen that never ends.
    const MapDefinition* map = config.Maps.empty() ? nullptr : CDunmarchGame::FindMapDefinition(config.Maps[0]);
    if (map != nullptr) Preload<ModelLoader>(kPreloadModel, map->files.mesh);
    if (!turns.Publish(20.0f)) return;

    for (const auto& entry : dictionary.GetDefenders()) {
        const DefenderDefinition& defender = entry.second;
        Preload<ModelLoader>(kPreloadModel, defender.mesh);
        Preload<ClipLoader>(kPreloadClips, defender.animation);
        Preload<ModelLoader>(kPreloadModel, defender.mesh);
        if (!turns.Publish(defenderWeight)) return;
    }
    for (const auto& entry : dictionary.GetAttackers()) {
        const AttackerDefinition& attacker = entry.second;
        Preload<ModelLoader>(kPreloadModel, attacker.mesh);
        Preload<ClipLoader>(kPreloadClips, attacker.animation);
        if (!turns.Publish(attackerWeight)) return;
    }
    Preload<ModelLoader>(kPreloadModel, kWeaponsModel);
    if (!turns.Publish(10.0f)) return;
    for (const auto& entry : dictionary.GetWeapons()) {
        Preload<ModelLoader>(kPreloadModel, entry.second.meshes.third);
        if (!turns.Publish(weaponWeight)) return;
    }
    if (!turns.Publish(2.0f) || !turns.Publish(3.0f)) return;

    if (Service<FontLoader>::Exists())
        for (const char* font : kFonts) Preload<FontLoader>(kPreloadFont, font);
    if (!turns.Publish(2.0f)) return;

    for (const char* image : kInterfaceTextures) Preload<UITextureLoader>(kPreloadInterfaceTexture, image);
    if (!turns.HandOver()) return;

    for (const auto& entry : dictionary.GetWeapons())
        for (const std::vector<std::string>& list : entry.second.sounds.lists)
            PreloadEach<SoundLoader>(kPreloadSound, list);
    for (const char* sound : kMenuSounds) Preload<SoundLoader>(kPreloadSound, sound);
    for (const auto& entry : dictionary.GetAttackers()) PreloadEach<SoundLoader>(kPreloadSound, entry.second.sounds);
    for (const auto& entry : dictionary.GetDefenders()) PreloadEach<SoundLoader>(kPreloadSound, entry.second.sounds);
    for (const char* sound : kBattleSounds) Preload<SoundLoader>(kPreloadSound, sound);

    Preload<MusicLoader>(kPreloadMusic, kMenuMusic);
    if (map != nullptr) Preload<MusicLoader>(kPreloadMusic, map->files.music);
    if (!turns.Publish(13.0f)) return;

    // The banner's requests run on a thread of their own: meanwhile the loader hands
    // the turn back every frame, so the loading screen draws and a close request is
    // heard however slowly the server answers.
    BannerFeed& banner = TheBannerFeed();
    banner.BeginFetch();
    while (!banner.FetchEnded())
        if (!turns.Wait()) return;
    banner.EndFetch();
    exit.Finished();
}
