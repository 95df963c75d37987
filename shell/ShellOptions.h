#pragma once
// The shell's option set: window, device and run-loop settings from the
// command line and "ShellCL.txt".
#include <optional>
#include <string>

struct ShellOptions {
    std::optional<std::string> applicationName;  // the program file's name
    std::optional<std::string> exitMessage;      // shown when the program ends
    int windowWidth = 1024;
    int windowHeight = 768;
    int windowX = 0;
    int windowY = 0;
    bool fullscreen = false;
    bool pbufferRequested = false;
    bool zbufferRequested = true;
    bool stencilRequested = false;
    bool offscreenBitmap = false;
    bool spareFlag1 = false;
    bool spareFlag2 = false;
    bool softwareRenderingRequested = false;
    bool openVGRequested = false;
    bool spareFlag3 = false;
    bool powerSaving = true;
    bool outputInfo = false;
    bool spareFlag4 = false;
    int swapInterval = 1;
    int initRepeats = 0;
    int quitAfterFrame = -1;      // off when negative
    float quitAfterTime = -1.0f;  // seconds; off when negative
    int fsaaMode = 0;             // 0..2
    int colourBits = 0;
    int captureStart = -1;
    int captureStop = -1;
    int priority = 2;
    bool defaultPosition = true;  // cleared when window x or y is set
    int frameCounter = 0;         // frames rendered so far

    // Frames from the capture start to the capture stop, both included, are saved.
    bool InCaptureRange(int frame) const { return captureStart <= frame && frame <= captureStop; }
};
