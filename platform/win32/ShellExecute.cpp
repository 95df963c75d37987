#include "platform/win32/ShellExecute.h"

#include <spawn.h>
#include <strings.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <thread>

extern char** environ;

namespace {

std::string g_opener = "xdg-open";

// How long the caller waits for the opener's answer.
constexpr std::chrono::milliseconds kOpenerWait(2000);

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
    // The opener returns once a handler has taken the address: its exit status
    // says whether one did. It is waited for a short while only, so that a slow
    // opener never holds the frame; one still running then counts as started
    // and is reaped when it exits.
    auto exited = std::make_shared<std::promise<int>>();
    std::future<int> status = exited->get_future();
    std::thread([child, exited] {
        int code = 0;
        while (waitpid(child, &code, 0) < 0 && errno == EINTR) {}
        exited->set_value(code);
    }).detach();
    if (status.wait_for(kOpenerWait) == std::future_status::ready) {
        const int code = status.get();
        if (!WIFEXITED(code) || WEXITSTATUS(code) != 0) return Result(SE_ERR_NOASSOC);
    }
    return Result(42);
}
