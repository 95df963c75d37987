#pragma once
// The platform object of the shell: window, device, option text, pointer
// state and the run state machine that steps the application through
// start-up, frames and shutdown, one state per call of Run.
#include <string>

#include "platform/d3d9/d3d9.h"
#include "platform/win32/Gdi.h"
#include "platform/win32/Types.h"
#include "shell/ShellCommandLine.h"

class ShellBase;

// The pointer codes the window procedure leaves for the frame.
enum PointerCode {
    kPointerNone = 0,
    kPointerMiddle = 4,
    kPointerLeftPress = 8,
    kPointerLeftRelease = 16,
    kPointerLeftDrag = 32,
    kPointerLeftCancel = 64,
    kPointerLeftRepeat = 128,
    kPointerRightPress = 256,
    kPointerRightRelease = 512,
    kPointerRightDrag = 1024,
    kPointerRightCancel = 2048,
    kPointerRightRepeat = 4096,
};

// The steps of ShellHost::Run, one per call. The release steps run on into
// each other within one call.
enum ShellRunState {
    kRunLoadOptions = 0,  // the option file, the options, InitApplication
    kRunStartUp = 1,      // window, device and InitView
    kRunFrame = 2,        // one frame per call
    kRunReleaseView = 3,
    kRunReleaseDevice = 4,
    kRunReleaseWindow = 5,  // or back to kRunStartUp for a repeated start-up
    kRunQuitApplication = 6,
    kRunExit = 7,  // the exit message, then Run returns false
};

class ShellHost {
public:
    ShellHost() = default;
    virtual ~ShellHost() = default;
    ShellHost(const ShellHost&) = delete;
    ShellHost& operator=(const ShellHost&) = delete;

    // Links host and application and fills the start-up defaults.
    void Init(ShellBase* app);
    // Frees the paths and the command-line buffers.
    void Release();

    // One step of the run state machine; false once, after the last state.
    bool Run();

    // The window layer (ShellWindow.cpp). Virtual so that tests can run the
    // state machine without a window.
    virtual bool InitOS();
    virtual void ReleaseOS();
    virtual void ProcessMessages();

    // The device layer (ShellDevice.cpp). Virtual so that tests can run the
    // state machine without a device.
    virtual bool InitAPI();
    virtual void ReleaseAPI();
    virtual void Present();
    virtual void PrintDeviceInfo();
    // Fills a capture buffer of width x height (bottom row first, blue, green,
    // red, rows padded to 4 bytes) from the last presented frame.
    virtual bool CaptureBuffer(int width, int height, unsigned char* buffer);
    void* ApiGetPointer(int index) const;

    // The capability checks and the device creation; a refusal the user must
    // see is a message box.
    bool InitDirect3D();
    void ReleaseDirect3D();
    // Surface lines of the "-info" dump; releases the surface.
    void PrintSurfaceInfo(const char* name, IDirect3DSurface9* surface);
    // Not called by the game: the adapter's X8R8G8B8 modes, whether the
    // adapter is Intel's (read once) and two one-shot switches.
    void PrintDisplayModes();
    bool IsIntelAdapter();
    bool SwitchOnOnce();
    bool SwitchOffOnce();

    // The frame being run is saved as a screenshot (-c, or the input script's "shot").
    bool CapturesThisFrame() const;

    // Option accessors answered by the window layer.
    bool OsGetInt(int index, int* value) const;
    void* OsGetPointer(int index) const;

    // Called by the window procedure.
    bool OnPointerPress(HWND window, int code, LPARAM lParam);
    bool OnPointerRelease(int code);
    void OnKeyDown(WPARAM virtualKey);
    void OnKeyUp(WPARAM virtualKey);

    // Offscreen bitmap (only with that option): created before the device,
    // selected after it, released with it.
    bool CreateOffscreenBitmap();
    void SelectOffscreenBitmap();
    void ReleaseOffscreenBitmap();
    bool CopyOffscreenBitmap();
    HDC GetWindowDC() const { return dc_; }
    HBITMAP GetOffscreenBitmap() const { return offscreen_bitmap_; }

    // Direct3D object and device, and the parameters every reset reuses.
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    D3DPRESENT_PARAMETERS present_params_ = {};
    bool intel_adapter_ = false;
    bool intel_adapter_known_ = false;
    bool switch_flag1_ = false;
    bool switch_flag2_ = false;
    bool switched_on_ = false;
    bool switched_off_ = false;

    HDC dc_ = nullptr;
    HWND window_ = nullptr;
    HBITMAP offscreen_bitmap_ = nullptr;
    HGDIOBJ previous_bitmap_ = nullptr;
    HDC memory_dc_ = nullptr;

    HINSTANCE instance_ = nullptr;
    int show_command_ = 0;

    // Normalised pointer position (x then y, 0..1 inside the client area).
    float pointer_position_[2] = {0.0f, 0.0f};
    bool pointer_inside_ = false;
    int pointer_code_ = kPointerNone;
    // The last left or right press since the last frame, which that frame
    // reports even when a later code replaced it.
    int unreported_press_ = kPointerNone;

    ShellBase* app_ = nullptr;
    ShellCommandLine command_line_;
    bool quit_ = false;
    ShellRunState state_ = kRunLoadOptions;
    int key_rotation_[4] = {2, 0, 3, 1};
    std::string read_path_;
    std::string write_path_;
    DWORD start_tick_ = 0;

    // +1 / -1 from WM_ACTIVATE until the next frame takes it.
    int activation_ = 0;
    // The last shell key; every key press records "none".
    int shell_key_ = -1;

private:
    void RunFrame();
};

// The window procedure of the shell's window.
LRESULT ShellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void RegisterShellWindowClass(HINSTANCE instance);
