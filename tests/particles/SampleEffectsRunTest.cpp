// Every sample effect of the generated game folder run as the game runs it: to its
// end, or 300 steps when it loops. The run of each, as dunmarch-prtdump --run prints
// it, is checked against its trace under golden/run/, and each keeps to what the
// catalogue records of it: a one-shot ends within its designed time, a looping one
// still has live particles at step 300.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "GoldenTrace.h"
#include "particles/CParticlesMesh.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/ParticleEffects.h"
#include "tools/prt/PrtTrace.h"

namespace {

namespace cp = catalogue::particles;

constexpr int kSteps = 300;

std::string EffectPath(const char* name) {
    const char* build = std::getenv("DM_BUILD_DIR");
    return std::string(build != nullptr ? build : "..") + "/game/" + catalogue::config::kParticles.Path() + name;
}

TEST(SampleEffectsRun, EveryEffectRunsAsItsTraceSays) {
    for (const cp::Effect& record : cp::kEffects) {
        CParticlesMesh effect;
        std::string error;
        ASSERT_TRUE(ReadEffectForTrace(EffectPath(record.name), effect, error)) << error;
        const std::string name = record.name;
        goldentrace::ExpectGolden("run/" + name.substr(0, name.size() - 4) + ".txt",
                                  RunTrace(record.name, effect, kSteps));
    }
}

TEST(SampleEffectsRun, OneShotsEndInTimeAndLoopsKeepRunning) {
    for (const cp::Effect& record : cp::kEffects) {
        CParticlesMesh effect;
        std::string error;
        ASSERT_TRUE(ReadEffectForTrace(EffectPath(record.name), effect, error)) << error;
        const RunEnd end = RunEffect(effect, kSteps, nullptr);
        if (record.run == cp::Run::OneShot) {
            EXPECT_GT(end.endStep, 0) << record.name << " never ends";
            EXPECT_LE(end.endStep, static_cast<int>(std::ceil(record.end * 30.0f)) + 1)
                << record.name << " runs longer than its " << record.end << " s";
        } else {
            EXPECT_EQ(end.endStep, 0) << record.name << " ended";
            EXPECT_GT(end.particles, 0) << record.name << " has no particles at step " << kSteps;
        }
    }
}

}  // namespace
