#pragma once
// Stand-in until the game framework (Game::GameInterface with Morvane::CGame
// and CreateGame) exists: the interface the shell drives, with the framework's
// names, and a game that draws nothing. Replace this header and
// StandInGame.cpp with the framework's own.

namespace Game {

class GameInterface {
public:
    virtual ~GameInterface() = default;
    virtual void Initialize() {}
    virtual void Shutdown() {}
    virtual void Update() {}
    virtual void Draw() {}
    virtual void OnEvent(int /*code*/) {}

    void RunInitialize();
    void RunShutdown();
    void RunUpdate();
    void RunDraw();
    void TickFps() {}
};

}  // namespace Game

// The stand-in game (null when allocation fails).
Game::GameInterface* CreateGame();
// The framework draws the selected cursor image here; the stand-in has none.
void DrawCursor();
