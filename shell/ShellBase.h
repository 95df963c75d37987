#pragma once
// The shell's application base: the five callbacks the run loop calls and the
// typed accessors of the option set.
#include <cstdint>

struct ShellOptions;
class ShellHost;

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

    // Indices as the option table gives them; a refused set returns false.
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
