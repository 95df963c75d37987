#include "shell/ShellBase.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "platform/win32/DebugOutput.h"
#include "platform/win32/Time.h"
#include "shell/ShellHost.h"
#include "shell/ShellOptions.h"

const char* const kShellVersion = "2.06.26.0649";

void ShellPrint(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    OutputDebugStringA(text);
}

ShellBase::ShellBase() : options_(new ShellOptions) {}

ShellBase::~ShellBase() { delete options_; }

bool ShellBase::SetBool(int index, bool value) {
    ShellOptions& o = *options_;
    switch (index) {
        case kBoolFullscreen: o.fullscreen = value; return true;
        case kBoolPBuffer: o.pbufferRequested = value; return true;
        case kBoolOffscreenBitmap: o.offscreenBitmap = value; return true;
        case kBoolSpare1: o.spareFlag1 = value; return true;
        case kBoolZBuffer: o.zbufferRequested = value; return true;
        case kBoolSpare2: o.spareFlag2 = value; return true;
        case kBoolSoftwareRendering: o.softwareRenderingRequested = value; return true;
        case kBoolStencil: o.stencilRequested = value; return true;
        case kBoolOpenVG: o.openVGRequested = value; return true;
        case kBoolSpare3: o.spareFlag3 = value; return true;
        case kBoolPowerSaving: o.powerSaving = value; return true;
        case kBoolOutputInfo: o.outputInfo = value; return true;
        case kBoolSpare4: o.spareFlag4 = value; return true;
        default: return false;
    }
}

bool ShellBase::GetBool(int index) const {
    const ShellOptions& o = *options_;
    switch (index) {
        case kBoolFullscreen: return o.fullscreen;
        case kBoolRotated: return o.windowWidth < o.windowHeight;
        case kBoolPBuffer: return o.pbufferRequested;
        case kBoolOffscreenBitmap: return o.offscreenBitmap;
        case kBoolSpare1: return o.spareFlag1;
        case kBoolZBuffer: return o.zbufferRequested;
        case kBoolSpare2: return o.spareFlag2;
        case kBoolSoftwareRendering: return o.softwareRenderingRequested;
        case kBoolStencil: return o.stencilRequested;
        case kBoolOpenVG: return o.openVGRequested;
        case kBoolSpare3: return o.spareFlag3;
        case kBoolPowerSaving: return o.powerSaving;
        case kBoolOutputInfo: return o.outputInfo;
        case kBoolSpare4: return o.spareFlag4;
        default: return false;
    }
}

bool ShellBase::SetInt(int index, int value) {
    ShellOptions& o = *options_;
    switch (index) {
        case kIntWindowWidth:
            if (value < 1) return false;
            o.windowWidth = value;
            return true;
        case kIntWindowHeight:
            if (value < 1) return false;
            o.windowHeight = value;
            return true;
        case kIntWindowX:
            o.windowX = value;
            o.defaultPosition = false;
            return true;
        case kIntWindowY:
            o.windowY = value;
            o.defaultPosition = false;
            return true;
        case kIntQuitAfterFrame: o.quitAfterFrame = value; return true;
        case kIntInitRepeats: o.initRepeats = value; return true;
        case kIntFsaaMode:
            if (value < 0 || value > 2) return false;
            o.fsaaMode = value;
            return true;
        case kIntColourBits:
            if (value < 0) return false;
            o.colourBits = value;
            return true;
        case kIntKeyRotation: {
            static const int kRotations[4][4] = {{2, 0, 3, 1}, {1, 2, 0, 3}, {3, 1, 2, 0}, {0, 3, 1, 2}};
            if (value < 0 || value > 3 || !host_) return false;
            std::memcpy(host_->key_rotation_, kRotations[value], sizeof host_->key_rotation_);
            return true;
        }
        case kIntCaptureStart: o.captureStart = value; return true;
        case kIntCaptureStop: o.captureStop = value; return true;
        default: return false;  // the get-only indices and unknown ones
    }
}

int ShellBase::GetInt(int index) const {
    const ShellOptions& o = *options_;
    switch (index) {
        case kIntWindowWidth: return o.windowWidth;
        case kIntWindowHeight: return o.windowHeight;
        case kIntWindowX: return o.windowX;
        case kIntWindowY: return o.windowY;
        case kIntQuitAfterFrame: return o.quitAfterFrame;
        case kIntSwapInterval: return o.swapInterval;
        case kIntInitRepeats: return o.initRepeats;
        case kIntFsaaMode: return o.fsaaMode;
        case kIntPairCount: return host_ ? host_->command_line_.GetPairCount() : 0;
        case kIntColourBits: return o.colourBits;
        case kIntCaptureStart: return o.captureStart;
        case kIntCaptureStop: return o.captureStop;
        case kIntPriority: return o.priority;
        default: break;
    }
    int value;
    if (host_ && host_->OsGetInt(index, &value)) return value;
    return -1;
}

bool ShellBase::SetFloat(int index, float value) {
    if (index != kFloatQuitAfterTime) return false;
    options_->quitAfterTime = value;
    return true;
}

float ShellBase::GetFloat(int index) const { return index == kFloatQuitAfterTime ? options_->quitAfterTime : -1.0f; }

bool ShellBase::SetString(int index, const char* value) {
    if (!value) return false;
    if (index == kStringApplicationName) {
        options_->applicationName = value;
        return true;
    }
    if (index == kStringExitMessage) {
        options_->exitMessage = value;
        ShellPrint("Exit message has been set to: \"%s\".\n", value);
        return true;
    }
    return false;
}

const char* ShellBase::GetString(int index) const {
    const ShellOptions& o = *options_;
    switch (index) {
        case kStringApplicationName: return o.applicationName ? o.applicationName->c_str() : nullptr;
        case kStringReadPath: return host_ ? host_->read_path_.c_str() : nullptr;
        case kStringWritePath: return host_ ? host_->write_path_.c_str() : nullptr;
        case kStringCommandLine: return host_ ? host_->command_line_.GetText() : nullptr;
        // The pair array itself (ShellOptionPair[]), as the accessor hands it out.
        case kStringPairs: return host_ ? reinterpret_cast<const char*>(host_->command_line_.GetPairs()) : nullptr;
        case kStringExitMessage: return o.exitMessage ? o.exitMessage->c_str() : nullptr;
        case kStringVersion: return kShellVersion;
        default: return nullptr;
    }
}

void* ShellBase::GetPointer(int index) const {
    if (!host_) return nullptr;
    if (index == kPtrDevice) return host_->ApiGetPointer(kPtrDevice);
    return host_->OsGetPointer(index);
}

uint32_t ShellBase::GetElapsedMilliseconds() const { return GetTickCount() - (host_ ? host_->start_tick_ : 0); }

bool ShellBase::IsShellKeyPressed(int key) {
    if (!host_ || host_->shell_key_ != key) return false;
    host_->shell_key_ = -1;
    return true;
}

bool ShellBase::CaptureScreen(int width, int height, unsigned char** buffer) {
    *buffer = nullptr;
    if (width <= 0 || height <= 0 || !host_) return false;
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    unsigned char* pixels = new (std::nothrow) unsigned char[stride * static_cast<size_t>(height)]();
    if (!pixels) return false;
    if (!host_->CaptureBuffer(width, height, pixels)) {
        delete[] pixels;
        return false;
    }
    *buffer = pixels;
    return true;
}

namespace {

void PutU16(unsigned char* p, uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void PutU32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

bool FileExists(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

std::string ScreenshotName(const char* folder, const char* prefix, int index) {
    char number[16];
    std::snprintf(number, sizeof number, "%04d", index);
    return std::string(folder) + prefix + number + ".bmp";
}

}  // namespace

bool WriteBitmapFile(const char* path, int width, int height, const unsigned char* rows) {
    if (width <= 0 || height <= 0 || !rows) return false;
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    const size_t stride = (rowBytes + 3) & ~size_t(3);
    const size_t imageSize = stride * static_cast<size_t>(height);
    if (imageSize + 54 > 0xFFFFFFFFu) return false;
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        ShellPrint("ShellBase: Failed to open \"%s\" for writing screen dump.\n", path);
        return false;
    }
    unsigned char header[54] = {};
    header[0] = 'B';
    header[1] = 'M';
    PutU32(header + 2, static_cast<uint32_t>(imageSize + 54));
    PutU32(header + 10, 54);
    PutU32(header + 14, 40);
    PutU32(header + 18, static_cast<uint32_t>(width));
    PutU32(header + 22, static_cast<uint32_t>(height));
    PutU16(header + 26, 1);
    PutU16(header + 28, 24);
    PutU32(header + 34, static_cast<uint32_t>(imageSize));
    bool ok = std::fwrite(header, 1, sizeof header, file) == sizeof header;
    if (stride == rowBytes) {
        ok = ok && std::fwrite(rows, 1, imageSize, file) == imageSize;
    } else {
        static const unsigned char kPad[3] = {0, 0, 0};
        for (int y = 0; ok && y < height; ++y) {
            ok = std::fwrite(rows + stride * y, 1, rowBytes, file) == rowBytes &&
                 std::fwrite(kPad, 1, stride - rowBytes, file) == stride - rowBytes;
        }
    }
    // A failed close (a full disk) is a failed save too.
    ok = (std::fclose(file) == 0) && ok;
    return ok;
}

int ShellBase::SaveScreenshot(const char* prefix, const unsigned char* buffer) {
    const char* folder = host_ ? host_->write_path_.c_str() : "";
    std::string name;
    int index = 0;
    for (; index < 10000; ++index) {
        name = ScreenshotName(folder, prefix, index);
        if (!FileExists(name)) break;
    }
    if (index == 10000) {
        name = ScreenshotName(folder, prefix, 0);
        ShellPrint("ShellBase: *WARNING* : Overwriting %s\n", name.c_str());
    }
    return WriteBitmapFile(name.c_str(), options_->windowWidth, options_->windowHeight, buffer) ? 0 : 11;
}

void ShellBase::PrintShellInfo() const {
    const ShellOptions& o = *options_;
    auto yesNo = [](bool b) { return b ? "Yes" : "No"; };
    auto text = [](const char* s) { return s ? s : "(null)"; };
    ShellPrint("\n");
    ShellPrint("App name: %s\n", text(GetString(kStringApplicationName)));
    ShellPrint("SDK version: %s\n", kShellVersion);
    ShellPrint("\n");
    ShellPrint("Read path:  %s\n", text(GetString(kStringReadPath)));
    ShellPrint("Write path: %s\n", text(GetString(kStringWritePath)));
    ShellPrint("\n");
    ShellPrint("Command-line: %s\n", text(GetString(kStringCommandLine)));
    ShellPrint("\n");
    ShellPrint("Power saving: %s\n", o.powerSaving ? "On" : "Off");
    ShellPrint("FSAAMode requested: %i\n", o.fsaaMode);
    ShellPrint("Fullscreen: %s\n", yesNo(o.fullscreen));
    ShellPrint("PBuffer requested: %s\n", yesNo(o.pbufferRequested));
    ShellPrint("ZBuffer requested: %s\n", yesNo(o.zbufferRequested));
    ShellPrint("Stencil buffer requested: %s\n", yesNo(o.stencilRequested));
    if (o.colourBits > 0) ShellPrint("Colour buffer size requested: %i\n", o.colourBits);
    ShellPrint("Software rendering requested: %s\n", yesNo(o.softwareRenderingRequested));
    ShellPrint("OpenVG requested: %s\n", yesNo(o.openVGRequested));
    ShellPrint("Swap Interval requested: %i\n", o.swapInterval);
    if (o.initRepeats > 0) ShellPrint("No of Init repeats: %i\n", o.initRepeats);
    if (o.quitAfterFrame != -1) ShellPrint("Quit after frame:   %i\n", o.quitAfterFrame);
    if (o.quitAfterTime != -1.0f) ShellPrint("Quit after time:    %f\n", o.quitAfterTime);
}
