#include "platform/win32/MessageBox.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace platform {
namespace {

std::mutex& CaptureMutex() {
    static std::mutex m;
    return m;
}

MessageBoxCapture* g_capture = nullptr;

Uint32 SdlFlags(UINT type) {
    switch (type & 0xF0u) {
        case MB_ICONERROR: return SDL_MESSAGEBOX_ERROR;
        case MB_ICONWARNING: return SDL_MESSAGEBOX_WARNING;
        default: return SDL_MESSAGEBOX_INFORMATION;
    }
}

void PrintLine(const char* caption, const char* text) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}

}  // namespace

bool IsHeadless() { return std::getenv("DUNMARCH_HEADLESS") != nullptr || std::getenv("CI") != nullptr; }

MessageBoxCapture::MessageBoxCapture() {
    std::lock_guard<std::mutex> lock(CaptureMutex());
    outer_ = g_capture;
    g_capture = this;
}

MessageBoxCapture::~MessageBoxCapture() {
    std::lock_guard<std::mutex> lock(CaptureMutex());
    // Captures are scoped, so this is the innermost one; unlink it all the
    // same if an inner one outlived it.
    MessageBoxCapture** link = &g_capture;
    while (*link != nullptr && *link != this) link = &(*link)->outer_;
    if (*link == this) *link = outer_;
}

std::vector<ShownMessageBox> MessageBoxCapture::Shown() const {
    std::lock_guard<std::mutex> lock(CaptureMutex());
    return shown_;
}

void MessageBoxCapture::Clear() {
    std::lock_guard<std::mutex> lock(CaptureMutex());
    shown_.clear();
}

}  // namespace platform

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    const char* t = text != nullptr ? text : "";
    const char* c = caption != nullptr ? caption : "Error";
    {
        std::lock_guard<std::mutex> lock(platform::CaptureMutex());
        if (platform::g_capture != nullptr) {
            platform::g_capture->shown_.push_back({t, c, type});
            return IDOK;
        }
    }
    if (platform::IsHeadless()) {
        platform::PrintLine(c, t);
        return IDOK;
    }
    // Without a display the box cannot appear: fall back to the line.
    if (SDL_ShowSimpleMessageBox(platform::SdlFlags(type), c, t, nullptr) != 0) platform::PrintLine(c, t);
    return IDOK;
}
