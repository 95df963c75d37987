#include "shell/ShellGlobals.h"

#include "shell/ShellApp.h"
#include "shell/ShellHost.h"

ShellApp* g_shellApp = nullptr;
ShellGame* g_shellGame = nullptr;
IDirect3D9* g_d3d = nullptr;
IDirect3DDevice9* g_d3dDevice = nullptr;
int g_exitCode = 0;
uint32_t g_quitAfterTimeStart = 0;
platform::InputScriptPlayer* g_inputScript = nullptr;

void RequestQuit(int code) {
    if (g_shellApp && g_shellApp->host_) g_shellApp->host_->quit_ = true;
    g_exitCode = code;
}
