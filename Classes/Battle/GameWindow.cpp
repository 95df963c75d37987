#include "Classes/Battle/GameWindow.h"

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Core/FrameClock.h"
#include "Core/Service.h"
#include "Core/StandInTrace.h"
#include "Game/GameAudio.h"
#include "Graphics/GraphicsDevice.h"
#include "shell/TouchEvent.h"

int32_t StepAccumulator = 0;
int32_t PreviousStepCount = 0;
int32_t SelectedMapIndex = 0;

namespace Morvane {

GameWindow::GameWindow() { standin::Report("in-game window created"); }

GameWindow::~GameWindow() {
    battle_.reset();
    if (dictionary_ && Service<GameDictionary>::Exists() && Service<GameDictionary>::Get() == dictionary_.get())
        Service<GameDictionary>::Unregister();
    dictionary_.reset();
    standin::Report("in-game window deleted");
}

void GameWindow::Initialize() {
    dictionary_.reset(new GameDictionary);
    if (Service<Config>::Exists()) dictionary_->Load(*Service<Config>::Get());
    if (!Service<GameDictionary>::Exists()) Service<GameDictionary>::Register(dictionary_.get());
    standin::Report("in-game window initialised");
}

void GameWindow::Shutdown() {
    DestroyGame();
    standin::Report("in-game window shut down");
}

void GameWindow::Update() {
    if (!battle_) return;
    // In float, as the frame clock gives it: 33 ms frames add 33.
    StepAccumulator += static_cast<int32_t>(GetFrameDelta() * 1000.0f);
    if (!battle_->IsPlayingDemo()) FeedInput();
    if (!battle_) return;

    int32_t steps = 0;
    for (;;) {
        // After a frame of two steps the next one makes at least one.
        const bool due = StepAccumulator >= CDunmarchGame::kStepTime || (steps == 0 && PreviousStepCount == 2);
        if (!due) break;
        int32_t n = battle_->GetSpeedMode();
        if (n > 0) {
            for (; n > 0; --n) {
                if (battle_->IsPlayingDemo()) FeedInput();
                battle_->Update(CDunmarchGame::kStepTime, false, n == 1);
            }
        } else {
            battle_->Update(CDunmarchGame::kStepTime, true, true);
        }
        StepAccumulator -= CDunmarchGame::kStepTime;
        ++steps;
        if (steps == 2) {
            // A stall is not caught up.
            if (StepAccumulator > 500) StepAccumulator = 0;
            break;
        }
        if (PreviousStepCount == 0) break;
    }
    battle_->TickPauseTimeout();
    PreviousStepCount = steps;
}

void GameWindow::FeedInput() {
    if (!battle_) return;
    const bool demo = battle_->IsPlayingDemo();
    // Stand-in until demo playback exists: no recorded input is replayed here.
    for (const TouchEvent& event : TouchEvents) battle_->OnPointerInput(event, demo);
}

void GameWindow::Draw() {
    Service<Graphics::GraphicsDevice>::Get();
    if (battle_) battle_->Draw();
}

int32_t GameWindow::StartGame(int32_t continueFlag) {
    StopMusic();
    // Stand-in until the savegame exists: there is nothing to continue.
    if (continueFlag != 0) return 0;
    if (!Service<Config>::Exists()) return 0;
    const std::vector<std::string>& maps = Service<Config>::Get()->Maps;
    if (maps.empty() || SelectedMapIndex < 0 || static_cast<size_t>(SelectedMapIndex) >= maps.size()) return 0;
    return CreateGame(maps[static_cast<size_t>(SelectedMapIndex)].c_str(), 0);
}

int32_t GameWindow::CreateGame(const char* mapName, int32_t continueFlag) {
    DestroyGame();
    battle_.reset(new CDunmarchGame(mapName != nullptr ? mapName : ""));
    if (!Service<CDunmarchGame>::Exists()) Service<CDunmarchGame>::Register(battle_.get());
    battle_->SetDemoPlayback(demo_playback_);
    return battle_->Init(continueFlag != 0);
}

void GameWindow::DestroyGame() {
    if (battle_) battle_->Stop();
    if (Service<CDunmarchGame>::Exists()) Service<CDunmarchGame>::Unregister();
    battle_.reset();
}

void GameWindow::QuitToMenu(int32_t) {
    DestroyGame();
    StopMusic();
    PlayMainMenuMusic();
}

boost::shared_ptr<CNetThread> GameWindow::RequestLogin(const std::string&, const std::string&) {
    return boost::shared_ptr<CNetThread>();
}

boost::shared_ptr<CNetThread> GameWindow::RequestRegistration(const std::string&, const std::string&,
                                                              const std::string&, const std::string&,
                                                              const std::string&) {
    return boost::shared_ptr<CNetThread>();
}

}  // namespace Morvane
