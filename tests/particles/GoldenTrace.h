#pragma once
// Traces compared with text files checked in under tests/particles/golden/, and the
// step lines of run traces read back. With
// DM_UPDATE_GOLDEN set in the environment the file is written instead (review the
// difference before committing it).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/ScratchFolder.h"

namespace goldentrace {

inline std::string GoldenPath(const std::string& name) {
    const char* source = std::getenv("DM_SOURCE_DIR");
    return std::string(source != nullptr ? source : ".") + "/tests/particles/golden/" + name;
}

// The first line where the two texts differ, with its number.
inline std::string FirstDifference(const std::string& got, const std::string& want) {
    std::istringstream a(got), b(want);
    std::string la, lb;
    for (int line = 1;; ++line) {
        const bool moreA = static_cast<bool>(std::getline(a, la));
        const bool moreB = static_cast<bool>(std::getline(b, lb));
        if (!moreA && !moreB) return "texts equal";
        if (!moreA || !moreB || la != lb)
            return "line " + std::to_string(line) + ":\n  got:  " + (moreA ? la : "(end)") +
                   "\n  want: " + (moreB ? lb : "(end)");
    }
}

// A "step" line of a run trace (tools/prt/PrtTrace.h).
struct TracedStep {
    int step = 0, emitters = 0, particles = 0;
};

// The step lines of a run trace, or of any output that holds one, in order.
inline std::vector<TracedStep> TracedSteps(const std::string& trace) {
    std::vector<TracedStep> steps;
    std::istringstream lines(trace);
    std::string line;
    TracedStep s;
    while (std::getline(lines, line))
        if (std::sscanf(line.c_str(), "step %d: emitters %d, particles %d", &s.step, &s.emitters, &s.particles) == 3)
            steps.push_back(s);
    return steps;
}

inline void ExpectGolden(const std::string& name, const std::string& trace) {
    const std::string path = GoldenPath(name);
    if (std::getenv("DM_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(path, std::ios::binary) << trace;
        return;
    }
    const std::string golden = ScratchFolder::Read(path);
    ASSERT_FALSE(golden.empty()) << path << " is missing";
    EXPECT_TRUE(trace == golden) << name << " differs at " << FirstDifference(trace, golden);
}

}  // namespace goldentrace
