#pragma once
// The end-to-end tests' view of the program: run `dunmarch` headless in a folder
// and look at what it printed. Header only.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/ScratchDir.h"

namespace testsupport {

struct ProgramResult {
    int exitCode = -1;
    std::string output;  // stdout and stderr
};

// The build folder the suite runs in (DM_BUILD_DIR), or "" outside CTest.
inline std::string BuildDir() {
    const char* dir = std::getenv("DM_BUILD_DIR");
    return dir ? dir : "";
}

// A file's whole bytes; "" when it cannot be read.
inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The build's game folder: DM_BUILD_DIR/game, else the folder beside the one that
// holds the running test program (build/tests/<program> and build/game).
inline std::string BuildGameDir() {
    if (const char* build = std::getenv("DM_BUILD_DIR")) return std::string(build) + "/game";
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : (self.parent_path().parent_path() / "game").string();
}

// Runs a shell command line in `folder`.
inline ProgramResult RunInFolder(const std::string& folder, const std::string& commandLine) {
    const std::string command = "cd '" + folder + "' && " + commandLine + " 2>&1";
    ProgramResult run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// A loopback port nothing listens on: one the system gave and took back.
inline int ClosedLoopbackPort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof(address);
    int port = 1;
    if (probe >= 0 && bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    if (probe >= 0) close(probe);
    return port;
}

// Runs <folder>/<program> with the arguments, headless and with trace lines;
// `environment` adds or overrides variables ("NAME=value ..."). Every request
// goes to a closed loopback port unless the environment names a server
// (DUNMARCH_NET_REDIRECT): nothing reaches beyond 127.0.0.1.
inline ProgramResult RunGameProgram(const std::string& folder, const std::string& program, const std::string& arguments,
                                    const std::string& environment = "") {
    ScratchDir scratch;
    // The program carries its own leak suppressions when sanitized.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    const std::string headless = std::string("SDL_VIDEODRIVER=") + (driver ? driver : "offscreen") +
                                 " DUNMARCH_HEADLESS=1 ALSOFT_DRIVERS=null DUNMARCH_TRACE=1" +
                                 (environment.find("DUNMARCH_NET_REDIRECT=") == std::string::npos
                                      ? " DUNMARCH_NET_REDIRECT=127.0.0.1:" + std::to_string(ClosedLoopbackPort())
                                      : std::string());
    const std::string command = "cd '" + folder + "' && env " + headless + " " + environment + " ./" + program + " " +
                                arguments + " > '" + scratch.File("output.txt") + "' 2>&1";
    const int status = std::system(command.c_str());
    ProgramResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.output = scratch.Read("output.txt");
    return result;
}

// The game itself.
inline ProgramResult RunDunmarch(const std::string& folder, const std::string& arguments,
                                 const std::string& environment = "") {
    return RunGameProgram(folder, "dunmarch", arguments, environment);
}

// How often `what` occurs in the text.
inline int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// The lines appear in this order (other lines may come between them).
inline void ExpectInOrder(const std::string& text, const std::vector<std::string>& lines) {
    size_t at = 0;
    for (const std::string& line : lines) {
        const size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << text;
        at = found + line.size();
    }
}

}  // namespace testsupport
