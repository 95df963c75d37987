// The C runtime's entry: binds the game to the shell, the particle library's
// host entities to the scene's emitter nodes and its buffers, frame and view
// operations to the device's, the scene's and the shell's hooks, turns Ctrl+C
// and SIGTERM into a request to close, then WinMain receives the arguments as
// one command line. With DUNMARCH_INPUT naming an input script, the script is
// played into the window and every frame takes a fixed time on a fake clock
// (33 ms, or DUNMARCH_FRAME_MS).
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "App/CGame.h"
#include "particles/CSEntityParticle.h"
#include "particles/ParticleDevice.h"
#include "platform/Trace.h"
#include "platform/win32/CommandLine.h"
#include "platform/win32/InputScript.h"
#include "platform/win32/TerminationRequest.h"
#include "platform/win32/Time.h"
#include "platform/win32/WinMain.h"
#include "platform/win32/Window.h"
#include "shell/ShellGame.h"
#include "shell/ShellGlobals.h"

namespace {
ShellGame* CreateShellGame() { return CreateGame(); }

std::unique_ptr<platform::InputScriptPlayer> g_script;

void HearTrace(const char* line) {
    if (g_script) g_script->OnTraceLine(line);
}

// False when the script named by DUNMARCH_INPUT does not parse (reported).
bool LoadInputScript() {
    const char* path = std::getenv("DUNMARCH_INPUT");
    if (path == nullptr || *path == '\0') return true;
    std::vector<platform::ScriptLine> lines;
    std::vector<platform::InputCommand> commands;
    std::string error;
    if (!platform::ReadScriptFile(path, &lines, &error) || !platform::ParseInputScript(lines, &commands, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    long frameMs = 33;
    if (const char* ms = std::getenv("DUNMARCH_FRAME_MS")) frameMs = std::strtol(ms, nullptr, 10);
    if (frameMs <= 0) frameMs = 33;
    g_script.reset(new platform::InputScriptPlayer(commands));
    g_script->SetFrameTime(static_cast<uint32_t>(frameMs));
    platform::SetFakeClock(1000);
    SetPlatformTraceListener(&HearTrace);
    g_inputScript = g_script.get();
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    static char module;  // stands for the program's instance handle
    SetGameFactory(&CreateShellGame);
    BindEmitterNodeHosts();
    BindParticleHooks();
    platform::InstallTerminationHandlers();
    if (!LoadInputScript()) return 2;
    std::string commandLine = JoinCommandLine(argc - 1, argv + 1);
    const int code = WinMain(reinterpret_cast<HINSTANCE>(&module), nullptr, commandLine.data(), SW_SHOWDEFAULT);
    g_inputScript = nullptr;
    SetPlatformTraceListener(nullptr);
    g_script.reset();
    return code;
}
