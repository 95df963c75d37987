#pragma once
// The shell's application base: the five callbacks the run loop calls and the
// typed accessors of the option set.
#include <cstdint>

struct ShellOptions;
class ShellHost;

// Indices of the typed option accessors of ShellBase.
enum ShellBoolIndex {
    kBoolFullscreen = 0,
    kBoolRotated = 1,  // get only: window width < window height
    kBoolPBuffer = 2,
    kBoolOffscreenBitmap = 3,
    kBoolSpare1 = 4,
    kBoolZBuffer = 5,
    kBoolSpare2 = 6,
    kBoolSoftwareRendering = 7,
    kBoolStencil = 8,
    kBoolOpenVG = 9,
    kBoolSpare3 = 10,
    kBoolPowerSaving = 11,
    kBoolOutputInfo = 12,
    kBoolSpare4 = 13,
};

enum ShellIntIndex {
    kIntWindowWidth = 2,
    kIntWindowHeight = 3,
    kIntWindowX = 4,
    kIntWindowY = 5,
    kIntQuitAfterFrame = 6,
    kIntSwapInterval = 7,  // get only
    kIntInitRepeats = 8,
    kIntFsaaMode = 9,
    kIntPairCount = 10,  // get only
    kIntColourBits = 11,
    kIntKeyRotation = 12,  // set only
    kIntPointerCode = 13,  // get only, from the window layer
    kIntCaptureStart = 14,
    kIntCaptureStop = 15,
    kIntPriority = 16,  // get only
    kIntConfig = 17,    // refused
};

enum ShellFloatIndex {
    kFloatQuitAfterTime = 0,
};

enum ShellStringIndex {
    kStringApplicationName = 0,
    kStringReadPath = 1,     // get only
    kStringWritePath = 2,    // get only
    kStringCommandLine = 3,  // get only
    kStringPairs = 4,        // get only: the pair array, not a string
    kStringExitMessage = 5,
    kStringVersion = 6,  // get only
};

enum ShellPointerIndex {
    kPtrDevice = 0,
    kPtrInstance = 3,
    kPtrWindow = 4,
    kPtrPointerPosition = 6,  // while the pointer is inside the client area
};

// The version string of the shell.
extern const char* const kShellVersion;

// Formats into 1024 characters (longer output is cut) and writes the text to
// the debugger output.
void ShellPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));

class ShellBase {
public:
    ShellBase();
    virtual ~ShellBase();
    ShellBase(const ShellBase&) = delete;
    ShellBase& operator=(const ShellBase&) = delete;

    // Called only by ShellHost::Run.
    virtual bool InitApplication() { return true; }
    virtual bool QuitApplication() { return true; }
    virtual bool InitView() { return true; }
    virtual bool ReleaseView() { return true; }
    virtual bool RenderScene() { return true; }

    // Indices of the enumerations above; a refused set returns false.
    bool SetBool(int index, bool value);
    bool GetBool(int index) const;
    bool SetInt(int index, int value);
    int GetInt(int index) const;
    bool SetFloat(int index, float value);
    float GetFloat(int index) const;
    bool SetString(int index, const char* value);
    const char* GetString(int index) const;
    void* GetPointer(int index) const;

    uint32_t GetElapsedMilliseconds() const;
    bool IsShellKeyPressed(int key);

    // Allocates height rows of width x 3 bytes padded to 4 (zeroed) and lets
    // the device fill them; the caller frees the buffer with delete[].
    bool CaptureScreen(int width, int height, unsigned char** buffer);
    // "<write path><prefix><nnnn>.bmp" at the first free index: 0 on success.
    int SaveScreenshot(const char* prefix, const unsigned char* buffer);

    // The shell information dump ("-info").
    void PrintShellInfo() const;

    ShellOptions* options_;
    ShellHost* host_ = nullptr;
};

// Writes a 24-bit bottom-up bitmap file from rows padded to 4 bytes.
bool WriteBitmapFile(const char* path, int width, int height, const unsigned char* rows);
