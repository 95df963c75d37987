// Stand-in until the game framework exists (see StandInGame.h).
#include "shell/StandInGame.h"

#include <new>

#include "platform/Trace.h"

namespace Game {

void GameInterface::RunInitialize() { Initialize(); }
void GameInterface::RunShutdown() { Shutdown(); }
void GameInterface::RunUpdate() { Update(); }
void GameInterface::RunDraw() { Draw(); }

}  // namespace Game

namespace {

class StandInGame : public Game::GameInterface {
public:
    StandInGame() { PlatformTrace("stand-in game created"); }
    ~StandInGame() override { PlatformTrace("stand-in game deleted"); }
    void Initialize() override { PlatformTrace("stand-in game initialised"); }
    void Shutdown() override { PlatformTrace("stand-in game shut down"); }
};

}  // namespace

Game::GameInterface* CreateGame() {
    return new (std::nothrow) StandInGame;
}

void DrawCursor() {}
