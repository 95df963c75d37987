// dunmarch-prtdump run from the game's folder on effects written with PrtWriter in every
// format version, on files that do not read, and on snapshots of running effects.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "../../particles/CraftedEffects.h"
#include "../../particles/EffectFixtures.h"
#include "../../particles/GoldenTrace.h"
#include "support/ScratchFolder.h"
#include "support/RunDunmarch.h"
#include "particles/CEmiter.h"
#include "particles/CParticle.h"
#include "particles/CParticlesEmiter.h"
#include "tools/prt/PrtSnapshot.h"
#include "tools/prt/PrtWriter.h"

namespace {

namespace fs = std::filesystem;

testsupport::ProgramResult PrtDump(const std::string& arguments) {
    return testsupport::RunInFolder(testsupport::BuildGameDir(), "./dunmarch-prtdump " + arguments);
}

TEST(PrtDumpTest, PrintsEveryVersion) {
    CParticlesMesh sample;
    effectfixtures::BuildSample(sample);
    ScratchFolder folder;
    for (int32_t version : {2, 3, 4, 5}) {
        const std::string path = effectfixtures::WriteEffect(folder, "sample.prt", sample, version);
        const testsupport::ProgramResult run = PrtDump("'" + path + "'");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        const std::string frames =
            version >= 5 ? "DurationFrames: 45\n" : "DurationFrames: 45 (not in this version's file)";
        testsupport::ExpectInOrder(run.output, {
                                                   "file: " + path,
                                                   "VersionWord: 0x0" + std::to_string(version) +
                                                       "000000 (format version " + std::to_string(version) + ")",
                                                   "EffectName: \"sample\"",
                                                   "[settings]",
                                                   "Tracks[2]: 2 keys",
                                                   "EmiterBlocks: 1",
                                                   "[emiter 0] \"spray\"",
                                                   frames,
                                                   "SourceNames: 3 \"left\" \"\" \"right\"",
                                                   "SphereRadius: 3.5",
                                                   "BoxFaceMask: 33",
                                                   "Curves[12] EmitRate: \"rate\", 0 points",
                                                   "Tracks[0] OffsetX: 3 keys",
                                                   "Tracks[12] EmitRate: constant 20",
                                                   "ChannelMask: 259",
                                                   "[particle 0] \"flake\"",
                                                   "Flag11: 1",
                                                   "Entries: 2",
                                                   "[entry 0] \"main\"",
                                                   "ChildNames: 1 \"main\"",
                                                   "link \"main\": entry 0, leads back (not followed)",
                                                   "[entry 1] \"Child\"",
                                                   "TriggerB: 1",
                                                   "BoxMax: (1, 2, 3, 1)",
                                               });
    }
}

TEST(PrtDumpTest, FilesThatDoNotReadFail) {
    CParticlesMesh sample;
    effectfixtures::BuildSample(sample);
    ScratchFolder folder;
    const std::string whole = effectfixtures::WriteEffect(folder, "whole.prt", sample, 5);
    fs::copy_file(whole, folder / "short.prt");
    fs::resize_file(folder / "short.prt", fs::file_size(whole) - 1);

    testsupport::ProgramResult run = PrtDump("'" + (folder / "short.prt") + "'");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("short.prt: does not read"), std::string::npos) << run.output;

    run = PrtDump("'" + (folder / "missing.prt") + "' '" + whole + "'");  // the good one still prints
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("missing.prt: cannot be opened"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("[emiter 0] \"spray\""), std::string::npos) << run.output;

    EXPECT_EQ(PrtDump("").exitCode, 2);
}

TEST(PrtDumpTest, RunsAnEffectToItsEndOrForItsSteps) {
    CParticlesMesh sample;
    effectfixtures::BuildSample(sample);
    ScratchFolder folder;
    const std::string path = effectfixtures::WriteEffect(folder, "sample.prt", sample, 5);
    testsupport::ProgramResult run = PrtDump("--run '" + path + "' 7");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    testsupport::ExpectInOrder(run.output, {"effect sample.prt", "step 1: emitters ", "step 7: emitters "});
    EXPECT_TRUE(run.output.find("ended at step") != std::string::npos ||
                run.output.find("still running after 7 steps") != std::string::npos)
        << run.output;

    EXPECT_EQ(PrtDump("--run '" + path + "' seven").exitCode, 2);
    EXPECT_EQ(PrtDump("--run").exitCode, 2);
    EXPECT_EQ(PrtDump("--run '" + (folder / "missing.prt") + "'").exitCode, 1);
}

// Velocities whose truncation leaves the 32-bit range run their 60 steps without a
// sanitizer's word; every step holds what two births a step living 30 steps make. An
// infinite one is damage: the file does not read.
TEST(PrtDumpTest, RunsEffectsOfOversizedVelocitiesAndRefusesInfiniteOnes) {
    ScratchFolder folder;
    for (const craftedeffects::Case& c : craftedeffects::Cases()) {
        SCOPED_TRACE(c.name);
        const craftedeffects::VelocityEffect effect(c.velocity, c.speedKeys);
        const std::string path = effectfixtures::WriteEffect(folder, craftedeffects::FileName(c, 1), effect.built, 5);
        const testsupport::ProgramResult run = PrtDump("--run '" + path + "' 60");
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_EQ(run.output.find("runtime error"), std::string::npos) << run.output;
        const std::vector<goldentrace::TracedStep> steps = goldentrace::TracedSteps(run.output);
        int most = 0;
        for (const goldentrace::TracedStep& s : steps) {
            EXPECT_EQ(s.emitters, 1) << "step " << s.step;
            most = std::max(most, s.particles);
        }
        EXPECT_EQ(steps.size(), 60u) << run.output;
        EXPECT_GT(most, 0);
        EXPECT_LE(most, 2 * 31) << run.output;
    }

    const craftedeffects::VelocityEffect infinite(std::numeric_limits<float>::infinity(), {});
    const std::string path = effectfixtures::WriteEffect(folder, "infinite.prt", infinite.built, 5);
    const testsupport::ProgramResult run = PrtDump("--run '" + path + "' 60");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("infinite.prt: does not read"), std::string::npos) << run.output;
}

}  // namespace

TEST(PrtDumpTest, SnapshotPrintsOrFails) {
    CParticlesEmiter instance;
    instance.m_iFrame = 31;
    instance.m_arrEmiters.resize(1);
    CEmiter& emitter = instance.m_arrEmiters[0];
    emitter.m_nEntry = 2;
    emitter.m_pFirst = emitter.m_pLast = new CParticle();
    emitter.m_pFirst->m_nAge = 4;
    emitter.m_pFirst->m_nLife = 9;
    emitter.m_nCount = 1;
    ScratchFolder folder;
    const std::string whole = folder / "whole.snap";
    ASSERT_TRUE(PrtSnapshotWriter::WriteFile(instance, whole));

    testsupport::ProgramResult run = PrtDump("--snapshot '" + whole + "'");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    testsupport::ExpectInOrder(run.output, {"snapshot: " + whole, "frame: 31", "emitters: 1", "[emitter 0]", "entry 2",
                                            "particle 0: age 4 of 9", "count 1 (1 listed)"});

    fs::copy_file(whole, folder / "short.snap");
    fs::resize_file(folder / "short.snap", fs::file_size(whole) - 1);
    run = PrtDump("--snapshot '" + (folder / "short.snap") + "'");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("short.snap: snapshot does not read"), std::string::npos) << run.output;
}
