// Stand-in until the in-game window exists (see StandInGameWindow.h).
#include "App/StandInGameWindow.h"

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Core/Service.h"
#include "Core/StandInTrace.h"

namespace Morvane {

GameWindow::GameWindow() { standin::Report("in-game window created"); }

GameWindow::~GameWindow() {
    if (dictionary_ && Service<GameDictionary>::Exists() && Service<GameDictionary>::Get() == dictionary_.get())
        Service<GameDictionary>::Unregister();
    dictionary_.reset();
    standin::Report("in-game window deleted");
}

void GameWindow::Initialize() {
    dictionary_.reset(new GameDictionary);
    if (const Config* config = Service<Config>::Get()) dictionary_->Load(*config);
    if (!Service<GameDictionary>::Exists()) Service<GameDictionary>::Register(dictionary_.get());
    standin::Report("in-game window initialised");
}

void GameWindow::Shutdown() { standin::Report("in-game window shut down"); }

void GameWindow::Update() {}

void GameWindow::Draw() {}

}  // namespace Morvane
