// Every sample effect of the generated game folder run as the game runs it: to its
// end, or 300 steps when it loops. The run of each, as dunmarch-prtdump --run prints
// it, is checked against its trace under golden/run/, and each keeps to what the
// catalogue records of it: a one-shot ends within its designed time, a looping one
// still has live particles at step 300. A rate key beyond all use fills the instance
// to its limits and no further.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "GoldenTrace.h"
#include "particles/CEmiterParams.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CParticlesMesh.h"
#include "particles/CSArchive.h"
#include "support/ScratchFolder.h"
#include "tools/catalogue/GameData.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/ParticleEffects.h"
#include "tools/prt/PrtTrace.h"
#include "tools/prt/PrtWriter.h"

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

// The firestorm whose storm emitter has its emission-rate key `key` at `value`: its
// children are spawned a billion at a time, up to the instance's limit. Written and
// read back.
bool FirestormWithRateKey(int key, float value, const ScratchFolder& folder, CParticlesMesh& effect,
                          std::string& error) {
    CParticlesMesh sample;
    CSArchive archive(EffectPath(catalogue::gamedata::kSpellFirestorm).c_str());
    if (!sample.Read(archive)) {
        error = "the sample firestorm does not read";
        return false;
    }
    sample.m_arrEmiterParams.at(0)->Tracks[CEmiterParams::EmitRate].m_arrKeys[key] = value;
    const std::string path = folder / "firestorm.prt";
    if (!PrtWriter(archive.GetVersionWord()).WriteFile(sample, path)) {
        error = path + ": cannot be written";
        return false;
    }
    return ReadEffectForTrace(path, effect, error);
}

// An infinite key is damage: the file does not read. The largest finite one, or the
// one the fuzzer made of a key of 0.3 by a single bit, runs the instance to its 32,767
// emitters and no further, and its children's particles to the instance's 32,767; the
// children go as they finish.
TEST(SampleEffectsRun, AnEndlessRateKeyIsRefusedAndHugeOnesKeepToTheInstanceLimits) {
    ScratchFolder folder;
    CParticlesMesh refused;
    std::string error;
    EXPECT_FALSE(FirestormWithRateKey(20, std::numeric_limits<float>::infinity(), folder, refused, error));
    EXPECT_NE(error.find("does not read"), std::string::npos) << error;

    const struct {
        int key;
        float value;
        const char* what;
        const char* golden;
    } cases[] = {
        {20, std::numeric_limits<float>::max(), "at the largest float", "run/spell_firestorm_rate_limit.txt"},
        {5, 1.0208471e38f, "0.3 with one bit flipped", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        CParticlesMesh effect;
        ASSERT_TRUE(FirestormWithRateKey(c.key, c.value, folder, effect, error)) << error;
        const std::string trace =
            RunTrace("spell_firestorm.prt, rate key " + std::to_string(c.key) + " " + c.what, effect, 60);
        if (c.golden != nullptr) goldentrace::ExpectGolden(c.golden, trace);
        int mostEmitters = 0, mostParticles = 0;
        for (const goldentrace::TracedStep& s : goldentrace::TracedSteps(trace)) {
            EXPECT_LE(s.emitters, CParticlesEmiter::kMaxEmiters) << "step " << s.step;
            EXPECT_LE(s.particles, CParticlesEmiter::kMaxParticles) << "step " << s.step;
            mostEmitters = std::max(mostEmitters, s.emitters);
            mostParticles = std::max(mostParticles, s.particles);
        }
        EXPECT_EQ(mostEmitters, CParticlesEmiter::kMaxEmiters);
        EXPECT_EQ(mostParticles, CParticlesEmiter::kMaxParticles);
    }
}

}  // namespace
