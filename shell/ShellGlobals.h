#pragma once
// Process globals of the shell.
#include <cstdint>

namespace platform {
class InputScriptPlayer;
}
struct IDirect3D9;
struct IDirect3DDevice9;
class ShellApp;
class ShellGame;

// Set by InitApplication, cleared by QuitApplication.
extern ShellApp* g_shellApp;
extern ShellGame* g_shellGame;
// The Direct3D object and device, copied by InitView for the graphics code.
extern IDirect3D9* g_d3d;
extern IDirect3DDevice9* g_d3dDevice;
// What WinMain returns.
extern int g_exitCode;
// GetTickCount at the end of the first successful start-up (0 until then).
extern uint32_t g_quitAfterTimeStart;

// Scripted input (headless runs and tests): played into the window before
// each frame; null when there is none.
extern platform::InputScriptPlayer* g_inputScript;

// Sets the quit flag of the running shell (when there is one) and the exit code.
void RequestQuit(int code);
