#include "platform/win32/TerminationRequest.h"

#include <SDL2/SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace platform {
namespace {

std::atomic<int> g_requested{0};
// Written once per request, never read: it only wakes the pollers.
int g_pipe[2] = {-1, -1};
std::once_flag g_installed;

void OnSignal(int signal) {
    if (g_requested.load() != 0) {
        // Asked twice: the program did not end in time, so end it now.
        ::signal(signal, SIG_DFL);
        ::raise(signal);
        return;
    }
    RequestTermination(signal);
}

}  // namespace

void InstallTerminationHandlers() {
    std::call_once(g_installed, [] {
        if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) g_pipe[0] = g_pipe[1] = -1;
        // SDL would install its own handlers, which only post SDL_QUIT.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        struct sigaction action = {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
    });
}

bool TerminationRequested() { return g_requested.load() != 0; }

int TerminationFd() { return g_pipe[0]; }

void RequestTermination(int signal) {
    // Only what a signal handler may do.
    g_requested.store(signal != 0 ? signal : SIGTERM);
    if (g_pipe[1] >= 0) {
        const char byte = 1;
        ssize_t written = write(g_pipe[1], &byte, 1);
        (void)written;
    }
}

void ClearTerminationRequest() {
    g_requested.store(0);
    if (g_pipe[0] >= 0) {
        char bytes[64];
        while (read(g_pipe[0], bytes, sizeof bytes) > 0) {}
    }
}

}  // namespace platform
