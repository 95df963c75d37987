#include "platform/win32/MessageBox.h"

#include <SDL.h>
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/win32/Process.h"
#include "platform/win32/TerminationRequest.h"

extern char** environ;

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
    const size_t length = std::strlen(text);
    const bool ended = length > 0 && text[length - 1] == '\n';
    std::fprintf(stderr, "%s: %s%s", caption, text, ended ? "" : "\n");
    std::fflush(stderr);
}

const char* KindName(UINT type) {
    switch (type & 0xF0u) {
        case MB_ICONERROR: return "error";
        case MB_ICONWARNING: return "warning";
        default: return "information";
    }
}

// The box program beside the running one, empty when there is none.
std::string BoxProgram() {
    char path[4096];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return std::string();
    std::string program(path, length);
    program = program.substr(0, program.find_last_of('/') + 1) + "dunmarch-messagebox";
    return access(program.c_str(), X_OK) == 0 ? program : std::string();
}

enum class BoxResult { Dismissed, NotShown, Interrupted, NoProgram };

// The box in a process group of its own, which a termination request ends
// together with anything it started (a dialog tool).
BoxResult ShowInOwnProcess(const char* caption, const char* text, UINT type) {
    const std::string program = BoxProgram();
    if (program.empty()) return BoxResult::NoProgram;
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    const char* argv[] = {program.c_str(), KindName(type), caption, text, nullptr};
    pid_t pid = -1;
    const int spawned =
        posix_spawn(&pid, program.c_str(), nullptr, &attributes, const_cast<char* const*>(argv), environ);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) return BoxResult::NoProgram;

    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? BoxResult::Dismissed : BoxResult::NotShown;
        }
        if (done < 0 && errno != EINTR) return BoxResult::NotShown;
        if (TerminationRequested()) {
            kill(-pid, SIGKILL);
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
            return BoxResult::Interrupted;
        }
        pollfd wake = {TerminationFd(), POLLIN, 0};
        poll(&wake, wake.fd >= 0 ? 1 : 0, 50);
    }
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
    // Headless, or the program is ending: the line only.
    if (platform::IsHeadless() || platform::TerminationRequested()) {
        platform::PrintLine(c, t);
        return IDOK;
    }
    switch (platform::ShowInOwnProcess(c, t, type)) {
        case platform::BoxResult::Dismissed: break;
        // Without a display the box cannot appear; a closed one leaves its text.
        case platform::BoxResult::NotShown:
        case platform::BoxResult::Interrupted: platform::PrintLine(c, t); break;
        case platform::BoxResult::NoProgram:
            if (SDL_ShowSimpleMessageBox(platform::SdlFlags(type), c, t, nullptr) != 0) platform::PrintLine(c, t);
            break;
    }
    return IDOK;
}
