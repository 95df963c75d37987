// The C runtime's entry: binds the game to the shell and the particle library's
// host entities to the scene's emitter nodes, turns Ctrl+C and SIGTERM into a
// request to close, then WinMain receives the arguments as one command line.
#include <string>

#include "App/CGame.h"
#include "particles/CSEntityParticle.h"
#include "platform/win32/CommandLine.h"
#include "platform/win32/TerminationRequest.h"
#include "platform/win32/WinMain.h"
#include "platform/win32/Window.h"
#include "shell/ShellGame.h"

namespace {
ShellGame* CreateShellGame() { return CreateGame(); }
}  // namespace

int main(int argc, char** argv) {
    static char module;  // stands for the program's instance handle
    SetGameFactory(&CreateShellGame);
    BindEmitterNodeHosts();
    platform::InstallTerminationHandlers();
    std::string commandLine = JoinCommandLine(argc - 1, argv + 1);
    return WinMain(reinterpret_cast<HINSTANCE>(&module), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
