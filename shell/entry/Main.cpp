// The C runtime's entry: binds the game to the shell, then WinMain receives
// the arguments as one command line.
#include <string>

#include "Game/CGame.h"
#include "Game/Cursors.h"
#include "platform/win32/CommandLine.h"
#include "platform/win32/WinMain.h"
#include "platform/win32/Window.h"
#include "shell/ShellApp.h"

int main(int argc, char** argv) {
    static char module;  // stands for the program's instance handle
    SetGameEntryPoints(&CreateGame, &DrawCursor);
    std::string commandLine = JoinCommandLine(argc - 1, argv + 1);
    return WinMain(reinterpret_cast<HINSTANCE>(&module), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
