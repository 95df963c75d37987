// The running effect's periphery: rings, the age cycle, relocation, emitters added at
// run time and the snapshot restore, on effects written with PrtWriter.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "RunningEffectFixtures.h"
#include "particles/CSArchive.h"
#include "particles/CSVector.h"
#include "support/ScratchFolder.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/ParticleEffects.h"
#include "tools/prt/PrtSnapshot.h"
#include "tools/prt/PrtTrace.h"

namespace {

using runfixtures::PlainEmitter;
using runfixtures::SetUpInstance;

constexpr float kTurn = 6.2831855f;

std::vector<const CParticle*> Particles(const CEmiter& e) {
    std::vector<const CParticle*> list;
    for (const CParticle* p = e.m_pFirst; p != nullptr; p = p->m_pNext) list.push_back(p);
    return list;
}

TEST(RingEmission, CountsPlacesAndAngles) {
    struct Case {
        const char* name;
        int32_t radius;
        float from, to;
        size_t count;
    };
    const Case cases[] = {
        {"full circle of radius 10", 10, 0.0f, kTurn, 13},
        {"arc from 6.0 through the turn to 1.0", 10, 6.0f, 1.0f, 3},
        {"radius 0", 0, 0.0f, kTurn, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlainEmitter fx;
        SetUpInstance run(fx.built);
        CEmiter& e = run.Emitter(0);
        EXPECT_EQ(run.instance.EmitRing(e, 100, 200, c.radius, c.from, c.to), static_cast<int32_t>(c.count));
        const std::vector<const CParticle*> list = Particles(e);
        ASSERT_EQ(list.size(), c.count);
        EXPECT_EQ(e.m_nCount, static_cast<int16_t>(c.count));
        EXPECT_EQ(e.m_nPeak, 0);
        for (size_t i = 0; i < list.size(); ++i) {
            const CParticle& p = *list[i];
            EXPECT_EQ(p.m_nSequence, static_cast<int16_t>(i));
            EXPECT_EQ(p.m_nLife, 30);
            EXPECT_EQ(p.m_nAge, 0);
            EXPECT_EQ(p.m_fSpeedScale, 1.0f);
            EXPECT_EQ(p.m_vVelocity.x, 0.0f);
            EXPECT_EQ(p.m_dwColor, 0xFFFFFFFFu);
            EXPECT_EQ(p.m_vPos.z, 0.0f);
        }
        EXPECT_NEAR(list.front()->m_vPos.x, 100 + c.radius * std::sin(c.from), 1e-4);
        EXPECT_NEAR(list.front()->m_vPos.y, 200 + c.radius * std::cos(c.from), 1e-4);
    }
}

TEST(RingEmission, FullCircleEndsOnItsStartAndWrappedArcRunsThroughZero) {
    PlainEmitter fx;
    SetUpInstance run(fx.built);
    CEmiter& e = run.Emitter(0);
    run.instance.EmitRing(e, 0, 0, 10, 0.0f, kTurn);
    std::vector<const CParticle*> ring = Particles(e);
    ASSERT_EQ(ring.size(), 13u);
    EXPECT_EQ(ring[0]->m_vPos.x, 0.0f);
    EXPECT_EQ(ring[0]->m_vPos.y, 10.0f);
    EXPECT_EQ(ring[0]->m_vAngles.x, 0.0f);
    EXPECT_NEAR(ring[12]->m_vPos.x, 0.0f, 1e-4f);
    EXPECT_NEAR(ring[12]->m_vPos.y, 10.0f, 1e-4f);
    EXPECT_EQ(ring[12]->m_vAngles.x, 0.0f);  // 256 wraps to 0
    EXPECT_EQ(ring[3]->m_vAngles.x, 64.0f);  // a quarter turn
    EXPECT_NEAR(ring[3]->m_vPos.x, 10.0f, 1e-4f);

    e.DeleteParticles();
    const int32_t made = run.instance.EmitRing(e, 0, 0, 10, 6.0f, 1.0f);
    // n = trunc(10 / 10 * (1 + 2pi - 6) * 2) = 2.
    EXPECT_EQ(made, 3);
    ring = Particles(e);
    EXPECT_EQ(ring[0]->m_vAngles.x, std::trunc(6.0f * 256.0f / kTurn));
    // The middle particle lies past the turn: its angle byte wraps below the first's.
    EXPECT_LT(ring[1]->m_vAngles.x, ring[0]->m_vAngles.x);
    EXPECT_NEAR(ring[2]->m_vPos.x, 10.0f * std::sin(1.0f), 1e-4f);
}

TEST(RingEmission, HugeRadiusStopsAtTheEmitterLimit) {
    PlainEmitter fx;
    SetUpInstance run(fx.built);
    CEmiter& e = run.Emitter(0);
    EXPECT_EQ(run.instance.EmitRing(e, 0, 0, 100000, 0.0f, kTurn), CEmiter::kMaxParticles);
    EXPECT_EQ(e.m_nCount, CEmiter::kMaxParticles);
}

TEST(RingEmission, SetupRingAndAddRingEmiter) {
    PlainEmitter fx;
    SetUpInstance run(fx.built);
    ASSERT_TRUE(run.instance.SetupRing(nullptr, &run.Effect(), 10));
    ASSERT_EQ(run.instance.m_arrEmiters.size(), 1u);
    EXPECT_EQ(run.Emitter(0).m_nCount, 13);

    EXPECT_TRUE(run.instance.SetupRing(nullptr, &run.Effect(), 0));
    EXPECT_TRUE(run.instance.m_arrEmiters.empty());

    run.instance.AddRingEmiter(5, 5, 10, 0.0f, kTurn);
    ASSERT_EQ(run.instance.m_arrEmiters.size(), 1u);
    EXPECT_EQ(run.Emitter(0).m_nCount, 13);
    EXPECT_EQ(run.Emitter(0).m_nEntry, 0);

    // Set-up that makes no emitter makes no ring.
    fx.entry->Disabled = 1;
    SetUpInstance none(fx.built);
    EXPECT_FALSE(none.instance.SetupRing(nullptr, &none.Effect(), 10));
    none.instance.AddRingEmiter(0, 0, 10, 0.0f, kTurn);
    EXPECT_TRUE(none.instance.m_arrEmiters.empty());
}

TEST(CycleParticleAges, WrapsPastTheLife) {
    PlainEmitter fx;
    SetUpInstance run(fx.built);
    CParticle* p = runfixtures::AppendParticle(run.Emitter(0), 0);
    p->m_nLife = 2;
    std::vector<int> ages;
    for (int i = 0; i < 5; ++i) {
        ages.push_back(p->m_nAge);
        EXPECT_TRUE(run.instance.CycleParticleAges(nullptr));
    }
    EXPECT_EQ(ages, (std::vector<int>{0, 1, 2, 0, 1}));
    EXPECT_EQ(run.Emitter(0).m_nCount, 1);
}

TEST(NearlyEqual, IsStrict) {
    EXPECT_FALSE(CSVector4NearlyEqual(CSVector4(0, 0, 0, 0), CSVector4(0.00001f, 0, 0, 0)));
    EXPECT_TRUE(CSVector4NearlyEqual(CSVector4(1, 2, 3, 4), CSVector4(1, 2, 3, 4.000001f)));
    EXPECT_TRUE(CSVector4NotNearlyEqual(CSVector4(0, 0, 0, 0), CSVector4(0, 0, 0.5f, 0)));
}

TEST(MoveParticlesTo, NoMoveWithinTheTolerance) {
    PlainEmitter fx;
    SetUpInstance run(fx.built);
    runfixtures::AppendParticle(run.Emitter(0), 3);
    const int32_t rect[4] = {-100, -100, 100, 100};
    run.instance.MoveParticlesTo(CSVector4(0.000005f, 0.000005f, 0.000005f, 0.000005f), 0, rect, 5);
    EXPECT_EQ(run.Emitter(0).m_pFirst->m_vPos.x, 6.0f);
    EXPECT_EQ(run.Emitter(0).m_pFirst->m_vPos.z, 0.0f);
    EXPECT_EQ(run.instance.m_vReference.x, 0.0f);
}

TEST(MoveParticlesTo, FixedHeightBackFillAndBounds) {
    PlainEmitter fx;
    SetUpInstance run(fx.built);
    CEmiter& e = run.Emitter(0);
    // x = 2 * age: with dx = 10 the particles stand at x 10, 12, 14, 16; only 14 lies
    // strictly inside 13 < x < 15.
    for (int16_t age = 0; age < 4; ++age) runfixtures::AppendParticle(e, age);
    const int32_t rect[4] = {13, -10, 15, 10};
    run.instance.MoveParticlesTo(CSVector4(10.0f, 0.0f, -3.0f, 1.0f), 0, rect, 5);
    const std::vector<const CParticle*> list = Particles(e);
    const float expectX[4] = {10, 12, 14, 16};
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i]->m_vPos.x, expectX[i]);
        EXPECT_EQ(list[i]->m_vPos.z, 5.0f) << "particle " << i;
    }
    EXPECT_EQ(run.instance.m_vReference.w, 1.0f);
    EXPECT_EQ(run.instance.m_afBoundsMin[0], 10.0f);
    EXPECT_EQ(run.instance.m_afBoundsMax[0], 16.0f);
    EXPECT_EQ(run.instance.m_afBoundsMin[2], 5.0f);
    EXPECT_EQ(run.instance.m_afBoundsMax[2], 5.0f);

    // Outside the rectangle and before any particle inside: the position's height.
    run.instance.MoveParticlesTo(CSVector4(1000.0f, 0.0f, -3.0f, 1.0f), 0, rect, 5);
    for (const CParticle* p : Particles(e)) EXPECT_EQ(p->m_vPos.z, -3.0f);
}

// An effect of two entries: "burst" plays once, "glow" forever.
struct TwoEntries {
    PlainEmitter fx;
    CParticleEmiterParams* looping;
    TwoEntries() {
        fx.entry->Name = fx.entry->SecondName = "Burst";
        looping = effectfixtures::AddEntry(fx.built, "glow", 0, 0);
        looping->RepeatMode = 2;
    }
};

TEST(AddEmiters, ChoosesEntriesByLoopAndName) {
    struct Case {
        const char* name;
        const char* asked;
        bool allLoop;
        size_t added;
    };
    const Case cases[] = {
        {"every candidate", nullptr, false, 1},           {"empty name", "", false, 1},
        {"second name, case ignored", "bURST", false, 1}, {"unknown name", "smoke", false, 0},
        {"every entry loops", nullptr, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TwoEntries fx;
        if (c.allLoop) fx.fx.entry->RepeatMode = 2;
        SetUpInstance run(fx.fx.built);
        const size_t before = run.instance.m_arrEmiters.size();
        run.instance.AddEmiters(CSVector4(1, 2, 3, 0), c.asked, nullptr);
        ASSERT_EQ(run.instance.m_arrEmiters.size() - before, c.added);
        if (c.added == 1) {
            const CEmiter& added = run.instance.m_arrEmiters.back();
            EXPECT_EQ(added.m_nEntry, 0);
            EXPECT_NE(added.m_wFlags & CEmiter::kChild, 0);
        }
    }
}

TEST(AddEmiters, WorldPlacementAndDirection) {
    PlainEmitter fx;
    fx.emiter->SourceKind = 1;
    SetUpInstance run(fx.built);
    run.instance.m_abAngles[0] = 64;
    run.instance.AddEmiters(CSVector4(10, 20, 30, 0), nullptr, nullptr);
    const CEmiter& plain = run.instance.m_arrEmiters.back();
    EXPECT_EQ(plain.m_vPos.x, 10.0f);
    EXPECT_EQ(plain.m_vBasePos.y, 20.0f);
    EXPECT_EQ(plain.m_vPos.z, 30.0f);
    EXPECT_EQ(plain.m_vAngles.x, 64.0f);
    ASSERT_NE(plain.m_pMatrix, nullptr);

    struct Turn {
        CSVector4 direction;
        float yaw, pitch;
    };
    const Turn turns[] = {{CSVector4(1, 0, 0, 0), 0, 0},
                          {CSVector4(0, 1, 0, 0), 64, 0},
                          {CSVector4(-1, 0, 1, 0), 128, 32},
                          {CSVector4(0, -1, -1, 0), 192, 224}};
    for (const Turn& t : turns) {
        run.instance.AddEmiters(CSVector4(0, 0, 0, 0), nullptr, &t.direction);
        const CEmiter& turned = run.instance.m_arrEmiters.back();
        EXPECT_EQ(turned.m_vAngles.x, t.yaw) << t.direction.x << " " << t.direction.y;
        EXPECT_EQ(turned.m_vAngles.y, t.pitch);
        EXPECT_EQ(turned.m_vBaseAngles.z, 0.0f);
    }
}

TEST(AddEmiters, AtStopsAtTheLimitOfFour) {
    PlainEmitter fx;
    SetUpInstance run(fx.built);
    for (int i = 0; i < 6; ++i) run.instance.AddEmitersAt(CSVector4(0, 0, 0, 0), nullptr);
    EXPECT_EQ(run.instance.m_arrEmiters.size(), CParticlesEmiter::kAddedEmiterLimit);
    run.instance.AddEmitersNamed(CSVector4(0, 0, 0, 0), "one");
    EXPECT_EQ(run.instance.m_arrEmiters.size(), 5u);
}

TEST(AddEmiters, FinishedAddedEmitterIsErasedSetUpOnesStay) {
    PlainEmitter fx;
    fx.emiter->Duration = 0.1f;
    fx.emiter->DurationFrames = 3;
    fx.particle->LifeFrames = 2;
    fx.particle->Life = 2.0f / 30.0f;
    SetUpInstance run(fx.built);
    CEmiter& own = run.Emitter(0);
    own.m_nRepeats = CEmiter::kForever;  // the set-up emitter keeps playing
    run.instance.AddEmiters(CSVector4(0, 0, 0, 0));
    ASSERT_EQ(run.instance.m_arrEmiters.size(), 2u);
    int erasedAt = -1;
    for (int step = 0; step < 40 && erasedAt < 0; ++step) {
        run.instance.Step(true);
        if (run.instance.m_arrEmiters.size() == 1) erasedAt = step;
    }
    EXPECT_GT(erasedAt, 2);
    ASSERT_EQ(run.instance.m_arrEmiters.size(), 1u);
    EXPECT_EQ(run.instance.m_arrEmiters[0].m_wFlags & CEmiter::kChild, 0);
}

// ---------------------------------------------------------------------------------
// The snapshot.

bool Restore(const std::vector<uint8_t>& bytes, CParticlesEmiter& instance, const ScratchFolder& folder) {
    const std::string path = folder.Path() + "/snapshot.bin";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    CSArchive archive(path.c_str());
    return CParticlesEmiter::Read(archive, instance).IsGood() && archive.GetBytesLeft() == 0;
}

TEST(Snapshot, LayoutSizes) {
    CParticlesEmiter empty;
    // 2 + 16 + 3 + 16 + 4 + 4, then 2 + 4 + 4 + 4 + 4.
    EXPECT_EQ(PrtSnapshotWriter::Write(empty).size(), 45u + 18u);
    empty.m_arrEmiters.resize(1);
    EXPECT_EQ(PrtSnapshotWriter::Write(empty).size(), 63u + 140u);
    runfixtures::AppendParticle(empty.m_arrEmiters[0], 1);
    EXPECT_EQ(PrtSnapshotWriter::Write(empty).size(), 63u + 140u + 100u);
}

TEST(Snapshot, EmptyAndParticleLessRestore) {
    ScratchFolder folder;
    CParticlesEmiter source;
    source.m_wSeed = 1234;
    source.m_fHeight = 2.5f;
    CParticlesEmiter restored;
    ASSERT_TRUE(Restore(PrtSnapshotWriter::Write(source), restored, folder));
    EXPECT_TRUE(restored.m_arrEmiters.empty());
    EXPECT_EQ(restored.m_wSeed, 1234);
    EXPECT_EQ(restored.m_fHeight, 2.5f);

    source.m_arrEmiters.resize(1);
    source.m_arrEmiters[0].m_nCount = 7;  // kept as stored
    source.m_arrEmiters[0].m_nStart = -5;
    ASSERT_TRUE(Restore(PrtSnapshotWriter::Write(source), restored, folder));
    ASSERT_EQ(restored.m_arrEmiters.size(), 1u);
    EXPECT_EQ(restored.m_arrEmiters[0].m_pFirst, nullptr);
    EXPECT_EQ(restored.m_arrEmiters[0].m_nCount, 7);
    EXPECT_EQ(restored.m_arrEmiters[0].m_nStart, -5);  // sign-extended
}

TEST(Snapshot, BindingGivesTheBlocksOfAFreshSetupAndDropsWhatDoesNotFit) {
    PlainEmitter fx;
    fx.entry->Name = "one";
    effectfixtures::AddEntry(fx.built, "two", 0, 0);
    SetUpInstance run(fx.built);
    ASSERT_EQ(run.instance.m_arrEmiters.size(), 2u);
    runfixtures::FillEmitter(run.Emitter(0), 3, 2);
    std::vector<uint8_t> bytes = PrtSnapshotWriter::Write(run.instance);
    ScratchFolder folder;
    CParticlesEmiter restored;
    ASSERT_TRUE(Restore(bytes, restored, folder));
    restored.ReplaceEffect(nullptr, &run.Effect());
    ASSERT_EQ(restored.m_arrEmiters.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(restored.m_arrEmiters[i].m_pEntry, run.Emitter(i).m_pEntry);
        EXPECT_EQ(restored.m_arrEmiters[i].m_pEmiterParams, run.Emitter(i).m_pEmiterParams);
        EXPECT_EQ(restored.m_arrEmiters[i].m_pParticleParams, run.Emitter(i).m_pParticleParams);
    }
    EXPECT_TRUE(runfixtures::HoldsFill(restored.m_arrEmiters[0], 3, 2));
    EXPECT_EQ(restored.m_arrEmiters[0].m_nPeak, 0);

    // An entry index the effect lacks: that emitter is erased at binding.
    run.Emitter(1).m_nEntry = 9;
    ASSERT_TRUE(Restore(PrtSnapshotWriter::Write(run.instance), restored, folder));
    restored.ReplaceEffect(nullptr, &run.Effect());
    EXPECT_EQ(restored.m_arrEmiters.size(), 1u);
}

TEST(Snapshot, ShortOrCorruptFailsAndLeavesNoEmitters) {
    PlainEmitter fx;
    SetUpInstance run(fx.built);
    runfixtures::FillEmitter(run.Emitter(0), 0, 3);
    const std::vector<uint8_t> bytes = PrtSnapshotWriter::Write(run.instance);
    ScratchFolder folder;
    for (size_t cut : {size_t{0}, size_t{10}, size_t{44}, size_t{100}, bytes.size() - 120, bytes.size() - 1}) {
        CParticlesEmiter restored;
        EXPECT_FALSE(
            Restore(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(cut)), restored, folder))
            << cut;
        EXPECT_TRUE(restored.m_arrEmiters.empty()) << cut;
    }
    // An emitter count no file could hold fails before anything is made.
    std::vector<uint8_t> huge = bytes;
    huge[41] = huge[42] = huge[43] = huge[44] = 0xff;
    CParticlesEmiter restored;
    EXPECT_FALSE(Restore(huge, restored, folder));
    EXPECT_TRUE(restored.m_arrEmiters.empty());
}

std::string StepTrace(CParticlesEmiter& instance, int steps) {
    std::string trace;
    for (int i = 0; i < steps; ++i) {
        instance.Step(true);
        trace += SnapshotText(instance);
    }
    return trace;
}

TEST(Snapshot, SampleEffectRunsOnAfterARoundTrip) {
    const char* build = std::getenv("DM_BUILD_DIR");
    const std::string path = std::string(build != nullptr ? build : "..") + "/game/" +
                             catalogue::config::kParticles.Path() + catalogue::particles::kBoost;
    CParticlesMesh effect;
    std::string error;
    ASSERT_TRUE(ReadEffectForTrace(path, effect, error)) << error;
    ResetParticleSeed();
    CParticlesEmiter original;
    original.Setup(nullptr, &effect);
    for (int i = 0; i < 30; ++i) original.Step(true);
    ASSERT_TRUE(original.HasParticles());

    ScratchFolder folder;
    CParticlesEmiter restored;
    ASSERT_TRUE(Restore(PrtSnapshotWriter::Write(original), restored, folder));
    restored.ReplaceEffect(nullptr, &effect);
    ASSERT_EQ(restored.m_arrEmiters.size(), original.m_arrEmiters.size());

    ResetParticleSeed();
    const std::string a = StepTrace(original, 60);
    ResetParticleSeed();
    const std::string b = StepTrace(restored, 60);
    EXPECT_EQ(a, b);
}

}  // namespace
