// Stand-in until the Direct3D 9 device layer is integrated with the shell: the
// device functions of the shell with their final names, over a plain OpenGL
// 3.3 core context on the window that is cleared and swapped each frame. There
// is no Direct3D object or device yet (both stay null), the device never needs
// a reset, the capture leaves the buffer as it is and "-info" prints no device
// lines. Delete this file when the device layer provides these functions.
#include "platform/win32/StandInGLContext.h"
#include "platform/win32/Window.h"
#include "shell/ShellApp.h"
#include "shell/ShellHost.h"
#include "shell/ShellOptions.h"

namespace {
HANDLE g_context = nullptr;
}

bool ShellHost::InitAPI() {
    const bool offscreen = app_->options_->offscreenBitmap;
    if (offscreen && !CreateOffscreenBitmap()) return false;
    g_context = StandInCreateGLContext(window_);
    if (!g_context) return false;
    if (offscreen) SelectOffscreenBitmap();
    SetForegroundWindow(window_);
    return true;
}

void ShellHost::ReleaseAPI() {
    StandInDeleteGLContext(g_context);
    g_context = nullptr;
    if (app_->options_->offscreenBitmap) ReleaseOffscreenBitmap();
}

void ShellHost::Present() {
    StandInSwapBuffers(window_, g_context);
}

void ShellHost::PrintDeviceInfo() {}

bool ShellHost::CaptureBuffer(int, int, unsigned char*) {
    return true;
}

void* ShellHost::ApiGetPointer(int index) const {
    return index == 0 ? device_ : nullptr;
}

bool ShellApp::CheckDevice() {
    return false;
}
