#pragma once
// The game as the shell's run loop drives it. The game's library sits above
// the shell's: the game implements this interface, and the program's entry
// hands the shell a factory for it (SetGameFactory) before WinMain runs.
class ShellGame {
public:
    virtual ~ShellGame() {}

    // InitView, once the device exists; ReleaseView, before it goes. False when
    // the game refused to start: it has undone its own start-up and is not shut down.
    virtual bool RunInitialize() = 0;
    virtual void RunShutdown() = 0;

    // One frame, in the order RenderScene calls them.
    virtual void TickFps() = 0;
    virtual void RunUpdate() = 0;
    // The audio device's per-frame update, while one is registered.
    virtual void UpdateAudio() = 0;
    virtual void RunDraw() = 0;
    // The cursor image at the pointer, after the frame's draw.
    virtual void DrawCursor() = 0;

    // The device-reset notifications of the device layer.
    virtual void OnEvent(int code) = 0;
};

// A new game, or null when allocation fails.
typedef ShellGame* (*ShellGameFactory)();
// Unbound, InitApplication creates no game and the program ends at once.
void SetGameFactory(ShellGameFactory createGame);
