#include "shell/ShellApp.h"

#include <new>

#include "Core/FrameClock.h"
#include "Core/Service.h"
#include "Game/GameInterface.h"
#include "Game/StandInAudioDevice.h"
#include "platform/xinput/XInput.h"
#include "shell/InputState.h"
#include "shell/ShellGlobals.h"
#include "shell/ShellHost.h"
#include "shell/StandInNeighbours.h"

namespace {
// Platform hooks around the application's life; nothing to do on this platform.
void OnApplicationStart() {}
void OnApplicationEnd() {}

// CreateGame and DrawCursor of the game's library, bound by the program.
GameFactory g_createGame = nullptr;
CursorDrawer g_drawCursor = nullptr;
}  // namespace

void SetGameEntryPoints(GameFactory createGame, CursorDrawer drawCursor) {
    g_createGame = createGame;
    g_drawCursor = drawCursor;
}

ShellApp* CreateShellApp() { return new (std::nothrow) ShellApp; }

ShellApp::~ShellApp() {
    delete game_;
    game_ = nullptr;
}

bool ShellApp::InitApplication() {
    ResetFrameClock();
    OnApplicationStart();
    g_shellApp = this;
    if (!game_ && g_createGame) game_ = g_createGame();
    g_shellGame = game_;
    // Without a game there is nothing to run.
    return game_ != nullptr;
}

bool ShellApp::QuitApplication() {
    OnApplicationEnd();
    g_shellGame = nullptr;
    g_shellApp = nullptr;
    return true;
}

bool ShellApp::InitView() {
    g_d3d = host_->d3d_;
    g_d3dDevice = host_->device_;
    XInputEnable(TRUE);
    ParticlesInitView();
    game_->RunInitialize();
    return true;
}

bool ShellApp::ReleaseView() {
    game_->RunShutdown();
    ParticlesReleaseView();
    return true;
}

bool ShellApp::RenderScene() {
    if (CheckDevice()) return true;
    TickFrameClock();
    game_->TickFps();
    TranslatePointerInput();
    game_->RunUpdate();
    if (Service<Audio::AudioDevice>::Exists()) Service<Audio::AudioDevice>::Get()->Update();
    game_->RunDraw();
    if (g_drawCursor) g_drawCursor();
    CopyKeyStatesToPrevious();
    return true;
}
