// The process entry: one host, one application, the run loop until it ends.
#include "platform/win32/WinMain.h"

#include <cstring>
#include <new>

#include "Core/ProcessGlobals.h"
#include "shell/ShellApp.h"
#include "shell/ShellGlobals.h"
#include "shell/ShellHost.h"

namespace {

ShellHost* g_runningHost = nullptr;

const char* RunningCommandLineText() { return g_runningHost ? g_runningHost->command_line_.GetText() : nullptr; }

}  // namespace

int WinMain(HINSTANCE instance, HINSTANCE /*previousInstance*/, LPSTR commandLine, int showCommand) {
    ShellHost host;

    const size_t length = commandLine ? std::strlen(commandLine) : 0;
    char* text = new (std::nothrow) char[length + 1];
    if (!text) return -1;
    if (length) std::memcpy(text, commandLine, length);
    text[length] = '\0';

    ShellApp* app = CreateShellApp();
    if (!app) {
        delete[] text;
        host.Release();
        return -1;
    }
    host.Init(app);
    host.command_line_.Set(text);
    host.instance_ = instance;
    host.show_command_ = showCommand;

    g_runningHost = &host;
    SetCommandLineTextSource(&RunningCommandLineText);
    while (host.Run()) {}
    g_runningHost = nullptr;

    delete app;
    delete[] text;
    const int exitCode = g_exitCode;
    host.Release();
    return exitCode;
}
