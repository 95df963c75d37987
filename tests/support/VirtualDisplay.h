#pragma once
// An X server of a test's own (Xvfb) on a display number it picks itself, for
// the runs that need a real display: a window larger than the offscreen
// driver's 1024 x 768 screen, a pointer. Header only.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

extern char** environ;

namespace testsupport {

class VirtualDisplay {
public:
    // screen: "WIDTHxHEIGHTxDEPTH". The pointer starts at the screen's centre.
    explicit VirtualDisplay(const std::string& screen) {
        int fds[2];
        if (pipe(fds) != 0) return;
        const std::string fd = std::to_string(fds[1]);
        const char* argv[] = {"Xvfb",         "-displayfd", fd.c_str(), "-screen", "0",
                              screen.c_str(), "-nolisten",  "tcp",      nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        if (posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char* const*>(argv), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        // The server writes its display number once it accepts clients.
        std::string number;
        pollfd ready = {fds[0], POLLIN, 0};
        while (pid_ > 0 && poll(&ready, 1, 20000) == 1) {
            char c;
            if (read(fds[0], &c, 1) != 1 || c == '\n') break;
            number += c;
        }
        close(fds[0]);
        if (!number.empty()) display_ = ":" + number;
    }
    ~VirtualDisplay() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        int status;
        waitpid(pid_, &status, 0);
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // ":N", empty when the server did not start.
    const std::string& Display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

}  // namespace testsupport
