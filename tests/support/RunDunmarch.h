#pragma once
// The end-to-end tests' view of the program: run `dunmarch` headless in a folder
// and look at what it printed. Header only.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/ScratchDir.h"

namespace testsupport {

struct ProgramResult {
    int exitCode = -1;
    std::string output;  // stdout and stderr
};

// Runs <folder>/dunmarch with the arguments, headless and with trace lines;
// `environment` adds or overrides variables ("NAME=value ...").
inline ProgramResult RunDunmarch(const std::string& folder, const std::string& arguments,
                                 const std::string& environment = "") {
    ScratchDir scratch;
    // The program carries its own leak suppressions when sanitized.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    const std::string headless = std::string("SDL_VIDEODRIVER=") + (driver ? driver : "offscreen") +
                                 " DUNMARCH_HEADLESS=1 ALSOFT_DRIVERS=null DUNMARCH_TRACE=1";
    const std::string command = "cd '" + folder + "' && env " + headless + " " + environment + " ./dunmarch " +
                                arguments + " > '" + scratch.File("output.txt") + "' 2>&1";
    const int status = std::system(command.c_str());
    ProgramResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.output = scratch.Read("output.txt");
    return result;
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
