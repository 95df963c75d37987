#include "App/CGame.h"

#include <new>
#include <string>

#include "App/MessageBoxes.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/GameWindow.h"
#include "Classes/UI/MenuStates.h"
#include "Audio/AudioDevice.h"
#include "Audio/SoundStream.h"
#include "Content/GameContentLoaders.h"
#include "Core/ProcessGlobals.h"
#include "Core/Service.h"
#include "Game/Cursors.h"
#include "Graphics/Draw2D.h"
#include "Graphics/Renderer.h"
#include "IO/File.h"
#include "Maths/FixedTrig.h"
#include "Maths/Viewport.h"
#include "platform/Trace.h"
#include "platform/win32/MessageBox.h"
#include "shell/ShellGlobals.h"

namespace {

const char kConfigFile[] = "config.xml";

// The six input callback slots; nothing calls them.
Delegate<int32_t, int32_t> g_input_callback_a;
Delegate<int32_t, int32_t> g_input_callback_b;
Delegate<int32_t> g_input_callback_c;
Delegate<int32_t, int32_t> g_input_callback_d;
Delegate<int32_t, int32_t, int32_t, int32_t> g_input_callback_e;
Delegate<int32_t, int32_t> g_input_callback_f;

template <class T>
void RegisterWhenEmpty(T* object) {
    if (!Service<T>::Exists()) Service<T>::Register(object);
}

template <class T>
void UnregisterWhenSet() {
    if (Service<T>::Exists()) Service<T>::Unregister();
}

// Only a slot that still holds this game's object.
template <class T, class U>
void UnregisterWhenHeld(U* object) {
    if (object != nullptr && Service<T>::Exists() && Service<T>::Get() == object) Service<T>::Unregister();
}

}  // namespace

namespace Morvane {

CGame::CGame() : machine_(this), loading_finished_{true, true, 0.0f, Delegate<>()} { PlatformTrace("game created"); }

CGame::~CGame() { PlatformTrace("game deleted"); }

void CGame::Initialize() {
    Game::SetGameInterface(this);
    BindInputCallbacks();
    // A configuration that is there but cannot be read would leave every loader looking
    // in the wrong folder and the loading never ending: better to say so and not start.
    // Without the file the folders are simply empty: the game then runs from here.
    start_refused_ = !config_.Read(kConfigFile) && IO::FileExists(kConfigFile);
    if (start_refused_) {
        RefuseStart();
        return;
    }
    Service<Config>::Register(&config_);
    Service<GameSettings>::Register(&settings_);

    renderer_.reset(new Graphics::Renderer(g_d3d, g_d3dDevice));
    RegisterWhenEmpty<Graphics::GraphicsDevice>(renderer_.get());
    Graphics::Draw2D::Init(renderer_.get());
    const Vector2 screen = renderer_->GetScreenSize();
    renderer_->SetViewport(Viewport(0, 0, static_cast<int32_t>(screen.x), static_cast<int32_t>(screen.y), 0.0f, 1.0f));

    audio_device_.reset(new Audio::AudioDevice());
    RegisterWhenEmpty<Audio::AudioDevice>(audio_device_.get());

    Content::ContentRoots roots;
    roots.textures = config_.Paths.TexturesPath;
    roots.uiTextures = config_.Paths.UiTexturePath;
    roots.fonts = config_.Paths.FontsPath;
    roots.meshes = config_.Paths.MeshesPath;
    roots.anims = config_.Paths.AnimsPath;
    loaders_.reset(new Content::GameContentLoaders(roots));
    sounds_.reset(new Content::ContentLoader<Audio::Sound>(config_.Paths.SoundsPath));
    sound_streams_.reset(new Content::ContentLoader<Audio::SoundStream>(config_.Paths.SoundsPath));
    loaders_->Publish();
    RegisterWhenEmpty<Content::ContentLoader<Audio::Sound>>(sounds_.get());
    RegisterWhenEmpty<Content::ContentLoader<Audio::SoundStream>>(sound_streams_.get());

    LoadCursors();

    game_window_.reset(new GameWindow());
    RegisterWhenEmpty<GameWindow>(game_window_.get());
    game_window_->Initialize();

    RegisterWhenEmpty<BattleMessageBoxes>(&battle_boxes_);
    RegisterWhenEmpty<GameMachine>(&machine_);
    machine_.initiate();

    settings_.Load();

    loading_finished_.first = true;
    loading_finished_.second = false;
    loading_finished_.delay = 5.0f;
    loading_finished_.action = Delegate<>::FromMethod<&CGame::PostLoadingFinished>(this);

    InitFixedTrig();
    PlatformTrace("game initialised");
}

void CGame::RefuseStart() {
    config_ = Config();
    Game::SetGameInterface(nullptr);
    MessageBoxA(nullptr,
                (std::string(kConfigFile) + " is damaged: the game cannot start without it. "
                                            "Reinstall the game to restore it.")
                    .c_str(),
                "Dunmarch Lite", MB_OK | MB_ICONERROR);
    PlatformTrace("game refused to start");
}

void CGame::Shutdown() {
    machine_.terminate();
    ClearActiveRendererBinding();
    // Nothing draws after this; the layer must not keep the renderer, which
    // goes with the game after the device.
    Graphics::Draw2D::Shutdown();

    if (game_window_) {
        game_window_->Shutdown();
        UnregisterWhenHeld<GameWindow>(game_window_.get());
        game_window_.reset();
    }

    if (Service<Audio::AudioDevice>::Exists()) Service<Audio::AudioDevice>::Get()->Shutdown();

    UnloadAllContent();

    if (loaders_) loaders_->Unpublish();
    UnregisterWhenSet<Graphics::GraphicsDevice>();
    UnregisterWhenSet<Audio::AudioDevice>();
    // The remaining slots would otherwise point at objects deleted with the
    // game (and fill the slots a repeated start-up registers again).
    if (loaders_) {
        UnregisterWhenHeld<Content::ContentLoader<Graphics::Model>>(loaders_->models.get());
        UnregisterWhenHeld<Content::ContentLoader<Graphics::AnimationClips>>(loaders_->animationClips.get());
    }
    UnregisterWhenHeld<Content::ContentLoader<Audio::Sound>>(sounds_.get());
    UnregisterWhenHeld<Content::ContentLoader<Audio::SoundStream>>(sound_streams_.get());
    UnregisterWhenHeld<GameMachine>(&machine_);
    UnregisterWhenHeld<BattleMessageBoxes>(&battle_boxes_);
    UnregisterWhenHeld<GameSettings>(&settings_);
    UnregisterWhenHeld<Config>(&config_);

    Game::SetGameInterface(nullptr);
    PlatformTrace("game shut down");
}

void CGame::Update() {
    machine_.process_event(EvUpdate());
    UpdateMessageBox();
}

void CGame::Draw() {
    if (!renderer_) return;
    renderer_->BeginScene();
    machine_.process_event(EvDraw());
    if (UI::UIMsgBox* box = GetMessageBox()) box->Draw();
    renderer_->EndScene();
}

void CGame::OnEvent(int code) {
    // The device-reset codes need nothing here.
    if (code == 2 && game_window_ && game_window_->GetBattle()) game_window_->GetBattle()->Pause();
    if (code == 3) machine_.process_event(EvExitingApp());
}

void CGame::UnloadAllContent() {
    if (loaders_) loaders_->UnloadAll();
    if (sounds_) sounds_->UnloadAll();
    if (sound_streams_) sound_streams_->UnloadAll();
}

void CGame::LoadCursors() {
    RegisterCursor(0, "c_arrow.dds");
    RegisterCursor(1, "c_leftright.dds");
    RegisterCursor(2, "c_sandglass.dds");
}

void CGame::BindInputCallbacks() {
    g_input_callback_a = Delegate<int32_t, int32_t>::FromMethod<&CGame::OnInputA>(this);
    g_input_callback_b = Delegate<int32_t, int32_t>::FromMethod<&CGame::OnInputB>(this);
    g_input_callback_c = Delegate<int32_t>::FromMethod<&CGame::OnInputC>(this);
    g_input_callback_d = Delegate<int32_t, int32_t>::FromMethod<&CGame::OnInputD>(this);
    g_input_callback_e = Delegate<int32_t, int32_t, int32_t, int32_t>::FromMethod<&CGame::OnInputE>(this);
    g_input_callback_f = Delegate<int32_t, int32_t>::FromMethod<&CGame::OnInputF>(this);
}

void CGame::PostLoadingFinished() { machine_.process_event(EvLoadingFinised()); }

void CGame::OnLanguageChanged() {}

}  // namespace Morvane

Morvane::CGame* GetGame() { return dynamic_cast<Morvane::CGame*>(Game::GetGameInterface()); }

Game::GameInterface* CreateGame() { return new (std::nothrow) Morvane::CGame; }
