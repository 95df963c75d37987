#pragma once
// The application object of the shell: creates the game and drives it from
// the run loop's callbacks.
#include "shell/ShellBase.h"

class ShellGame;

class ShellApp : public ShellBase {
public:
    ShellApp() = default;
    // Deletes the game.
    ~ShellApp() override;

    bool InitApplication() override;
    bool QuitApplication() override;
    bool InitView() override;
    bool ReleaseView() override;
    bool RenderScene() override;

    // Tests the device before a frame; true: skip this frame.
    bool CheckDevice();
    // The frame's pointer code becomes at most one touch event; polls the pad.
    bool TranslatePointerInput();

    ShellGame* game_ = nullptr;  // owned
};

// A new application with no game; null when allocation fails.
ShellApp* CreateShellApp();
