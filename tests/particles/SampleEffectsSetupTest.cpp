// The set-up of every sample effect of the generated game folder, as
// dunmarch-prtdump --setup prints it, against its checked-in trace.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "GoldenTrace.h"
#include "particles/CParticlesMesh.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/ParticleEffects.h"
#include "tools/prt/PrtTrace.h"

namespace {

TEST(SampleEffectsSetup, EveryEffectSetsUpAsItsTraceSays) {
    const char* build = std::getenv("DM_BUILD_DIR");
    const std::string folder =
        std::string(build != nullptr ? build : "..") + "/game/" + catalogue::config::kParticles.Path();
    std::string trace;
    for (const catalogue::particles::Effect& record : catalogue::particles::kEffects) {
        CParticlesMesh effect;
        std::string error;
        ASSERT_TRUE(ReadEffectForTrace(folder + record.name, effect, error)) << error;
        trace += SetupTrace(record.name, effect);
    }
    goldentrace::ExpectGolden("setup.txt", trace);
}

}  // namespace
