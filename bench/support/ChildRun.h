#pragma once
// A program run as a child process and waited for: whether it ended well, how long it
// took and its peak resident memory (the kernel's ru_maxrss of the child, its VmHWM).
// Memory benchmarks measure the game this way, from outside, as a player's machine
// sees it.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace benchsupport {

struct ChildRun {
    bool ok = false;  // it ran and exited with status 0
    double seconds = 0.0;
    long peakKiB = 0;
};

using ChildEnvironment = std::vector<std::pair<std::string, std::string>>;
// A line the child wrote (on its output or error stream, without the line end), with
// the child's id, for a caller that watches it run (or stops it).
using ChildLine = std::function<void(pid_t child, const std::string& line)>;

// Hands each line read from `fd` to `onLine` until the child closes it; closes `fd`.
inline void ReadChildLines(int fd, pid_t child, const ChildLine& onLine) {
    FILE* out = fdopen(fd, "r");
    if (out == nullptr) {
        close(fd);
        return;
    }
    char* line = nullptr;
    size_t capacity = 0;
    ssize_t length;
    while ((length = getline(&line, &capacity, out)) > 0) {
        std::string text(line, static_cast<size_t>(length));
        if (!text.empty() && text.back() == '\n') text.pop_back();
        onLine(child, text);
    }
    std::free(line);
    std::fclose(out);
}

// Runs arguments[0] with `arguments` in `folder`, with `environment` added to this
// process's. Each line of the child's output and error streams goes to `onLine`; with
// no `onLine` they are thrown away.
inline ChildRun RunChild(const std::string& folder, const std::vector<std::string>& arguments,
                         const ChildEnvironment& environment, const ChildLine& onLine = nullptr) {
    ChildRun run;
    if (arguments.empty()) return run;
    int pipeEnds[2] = {-1, -1};
    if (onLine && pipe(pipeEnds) != 0) return run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) != 0) _exit(127);
        // dup2, not freopen: closing this process's copy of stdout would write out what
        // the parent had buffered but not yet printed.
        const int out = onLine ? pipeEnds[1] : open("/dev/null", O_WRONLY);
        if (out < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(out, STDERR_FILENO) < 0) _exit(127);
        if (onLine) close(pipeEnds[0]);
        if (out > STDERR_FILENO) close(out);
        for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
        std::vector<char*> argv;
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (onLine) close(pipeEnds[1]);
    if (child < 0) {
        if (onLine) close(pipeEnds[0]);
        return run;
    }
    if (onLine) ReadChildLines(pipeEnds[0], child, onLine);
    int status = 0;
    rusage usage = {};
    if (wait4(child, &status, 0, &usage) != child) return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakKiB = usage.ru_maxrss;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

// The variable's value in this process, or `fallback` when it is unset.
inline std::string EnvironmentOr(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : fallback;
}

}  // namespace benchsupport
