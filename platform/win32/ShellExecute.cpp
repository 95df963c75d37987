#include "platform/win32/ShellExecute.h"

#include <spawn.h>
#include <strings.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

extern char** environ;

namespace {

std::string g_opener = "xdg-open";

bool IsWebAddress(const char* text) {
    bool web = strncasecmp(text, "http://", 7) == 0 || strncasecmp(text, "https://", 8) == 0;
    for (const char* c = text; web && *c != '\0'; ++c) {
        unsigned char u = static_cast<unsigned char>(*c);
        web = u > 0x20 && u != 0x7F;
    }
    return web;
}

HINSTANCE Result(intptr_t value) { return reinterpret_cast<HINSTANCE>(value); }

}  // namespace

void SetUrlOpener(const char* program) { g_opener = program != nullptr ? program : "xdg-open"; }

HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT) {
    if (file == nullptr || (verb != nullptr && std::strcmp(verb, "open") != 0) || !IsWebAddress(file)) {
        return Result(SE_ERR_NOASSOC);
    }
    std::string program = g_opener;
    std::string address = file;
    char* argv[] = {&program[0], &address[0], nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
        return Result(SE_ERR_FNF);
    }
    // Started is success: whether a page opens is the opener's business, and
    // the frame never waits for it. Its reaper says why nothing opened.
    std::thread([child, program] {
        int status = 0;
        while (waitpid(child, &status, 0) < 0 && errno == EINTR) {}
        if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
            std::fprintf(stderr, "%s: exited with status %d, the web page was not opened\n", program.c_str(),
                         WEXITSTATUS(status));
        else if (WIFSIGNALED(status))
            std::fprintf(stderr, "%s: ended by signal %d, the web page was not opened\n", program.c_str(),
                         WTERMSIG(status));
    }).detach();
    return Result(42);
}
