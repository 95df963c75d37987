#pragma once
// The application object. The shell creates it once, initialises it when the
// device exists, runs its update and draw once per frame and shuts it down
// before the device goes. It owns the renderer, the audio device, the content
// loaders, the configuration, the settings and the menu state machine, and
// publishes them as services while it is initialised.
#include <boost/scoped_ptr.hpp>
#include <boost/shared_ptr.hpp>

#include <cstdint>

#include "App/BattleBoxes.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/UI/GameMachine.h"
#include "Core/Delegate.h"
#include "Game/GameInterface.h"
#include "Game/GameSettings.h"

namespace Graphics {
class Renderer;
}
namespace Audio {
class AudioDevice;
class Sound;
class SoundStream;
}  // namespace Audio
namespace Content {
template <class T>
class ContentLoader;
struct GameContentLoaders;
}  // namespace Content

namespace Morvane {

class GameWindow;

class CGame : public Game::GameInterface {
public:
    CGame();
    ~CGame() override;

    // Reads config.xml, creates the renderer, audio device and loaders,
    // registers the services, loads the cursors, creates the in-game window,
    // enters the machine's first state and reads the settings. A config.xml
    // that is there but cannot be read refuses the start: a box names it,
    // nothing else starts and nothing is written (StartRefused).
    void Initialize() override;
    bool StartRefused() const override { return start_refused_; }
    // Leaves the machine, shuts down the in-game window and the audio device,
    // unloads all content and withdraws every service slot the game filled.
    void Shutdown() override;
    // EvUpdate, then the open message box.
    void Update() override;
    // EvDraw and the open message box inside the device's scene.
    void Draw() override;
    // 2 (the application lost the focus): the running battle pauses. 3: EvExitingApp.
    // Every other code is ignored.
    void OnEvent(int code) override;

    void UnloadAllContent();
    void LoadCursors();
    void BindInputCallbacks();
    void PostLoadingFinished();
    // The language buttons call it after reloading the language and fonts.
    void OnLanguageChanged() override;

    Graphics::Renderer* GetRenderer() const { return renderer_.get(); }
    Audio::AudioDevice* GetAudioDevice() const { return audio_device_.get(); }
    Content::GameContentLoaders* GetContentLoaders() const { return loaders_.get(); }
    Config& GetConfig() { return config_; }
    GameSettings& GetSettings() { return settings_; }
    GameMachine& GetMachine() { return machine_; }
    GameWindow* GetGameWindow() const { return game_window_.get(); }

private:
    // The failed start's end: the game is no longer the running one, and says why.
    void RefuseStart();

    // Nothing reads it.
    struct LoadingFinished {
        bool first;
        bool second;
        float delay;
        Delegate<> action;
    };

    // The input callbacks' handlers; nothing calls them.
    void OnInputA(int32_t, int32_t) {}
    void OnInputB(int32_t, int32_t) {}
    void OnInputC(int32_t) {}
    void OnInputD(int32_t, int32_t) {}
    void OnInputE(int32_t, int32_t, int32_t, int32_t) {}
    void OnInputF(int32_t, int32_t) {}

    boost::shared_ptr<Graphics::Renderer> renderer_;
    boost::shared_ptr<Audio::AudioDevice> audio_device_;
    // The holder and the world texture, interface texture, font, atlas, model
    // and animation-clip loaders.
    boost::shared_ptr<Content::GameContentLoaders> loaders_;
    boost::shared_ptr<Content::ContentLoader<Audio::Sound>> sounds_;
    boost::shared_ptr<Content::ContentLoader<Audio::SoundStream>> sound_streams_;
    Config config_;
    GameMachine machine_;
    LoadingFinished loading_finished_;
    GameSettings settings_;
    BattleBoxes battle_boxes_;
    // Held here as well as in its service slot, so the window the game made is
    // the one it deletes.
    boost::scoped_ptr<GameWindow> game_window_;
    bool start_refused_ = false;
};

}  // namespace Morvane

// The initialised game, null outside Initialize ... Shutdown.
Morvane::CGame* GetGame();
// A new game, null when allocation fails.
Game::GameInterface* CreateGame();
