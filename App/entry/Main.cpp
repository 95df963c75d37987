// The C runtime's entry: binds the game to the shell, the particle library's
// host entities to the scene's emitter nodes and its buffers, frame and view
// operations to the device's, the scene's and the shell's hooks, turns Ctrl+C
// and SIGTERM into a request to close, then WinMain receives the arguments as
// one command line.
#include <string>

#include "App/CGame.h"
#include "particles/CSEntityParticle.h"
#include "particles/ParticleDevice.h"
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
    BindParticleHooks();
    platform::InstallTerminationHandlers();
    std::string commandLine = JoinCommandLine(argc - 1, argv + 1);
    return WinMain(reinterpret_cast<HINSTANCE>(&module), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}
