#include "shell/ShellApp.h"

#include <new>

#include "Core/FrameClock.h"
#include "platform/xinput/XInput.h"
#include "shell/InputState.h"
#include "shell/ParticleViewHooks.h"
#include "shell/ShellGame.h"
#include "shell/ShellGlobals.h"
#include "shell/ShellHost.h"

namespace {
// Platform hooks around the application's life; nothing to do on this platform.
void OnApplicationStart() {}
void OnApplicationEnd() {}

// The game's factory and the particle library's view hooks, bound by the program's entry.
ShellGameFactory g_createGame = nullptr;
ParticleViewHook g_particlesInitView = nullptr;
ParticleViewHook g_particlesReleaseView = nullptr;
}  // namespace

void SetGameFactory(ShellGameFactory createGame) { g_createGame = createGame; }

void SetParticleViewHooks(ParticleViewHook initView, ParticleViewHook releaseView) {
    g_particlesInitView = initView;
    g_particlesReleaseView = releaseView;
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
    if (g_particlesInitView != nullptr) g_particlesInitView();
    if (game_->RunInitialize()) return true;
    // The view is not released after a failed start: the particle batches go now.
    if (g_particlesReleaseView != nullptr) g_particlesReleaseView();
    return false;
}

bool ShellApp::ReleaseView() {
    game_->RunShutdown();
    if (g_particlesReleaseView != nullptr) g_particlesReleaseView();
    return true;
}

bool ShellApp::RenderScene() {
    if (CheckDevice()) return true;
    TickFrameClock();
    game_->TickFps();
    TranslatePointerInput();
    game_->RunUpdate();
    game_->UpdateAudio();
    game_->RunDraw();
    game_->DrawCursor();
    CopyKeyStatesToPrevious();
    ReleaseHeldBackKeys();
    return true;
}
