// Setting up a running effect: which entries get emitters, and what each emitter is
// given (seeds, random words in their order, start, lengths, repeats, phase, box
// faces, flags); origin queries and rebinding to another effect. Effects are written
// with PrtWriter and read back.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "RunningEffectFixtures.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CSEntityParticle.h"
#include "particles/ParticleEffectCache.h"
#include "particles/ParticleHelpers.h"
#include "particles/ParticleRandom.h"

namespace {

using effectfixtures::Add;
using effectfixtures::AddEntry;
using effectfixtures::SetConstant;
using effectfixtures::SetKeys;
using runfixtures::OneEmitter;
using runfixtures::Replay;
using runfixtures::SetUpInstance;
using runfixtures::WrittenEffect;

TEST(ParticleSetup, EntriesThatGetNoEmitter) {
    const struct {
        const char* what;
        int32_t emiter, particle;
        uint8_t disabled, triggerA, triggerB, emitsEmitters;
    } cases[] = {
        {"disabled", 0, 0, 1, 0, 0, 0},
        {"first trigger", 0, 0, 0, 1, 0, 0},
        {"second trigger", 0, 0, 0, 0, 1, 0},
        {"no emitter block", -1, 0, 0, 0, 0, 0},
        {"no particle block", 0, -1, 0, 0, 0, 0},
        {"emitter block outside", 1, 0, 0, 0, 0, 0},
        {"particle block outside", 0, 9, 0, 0, 0, 0},
        {"emits emitters, block outside", 3, -1, 0, 0, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OneEmitter one;
        one.entry->EmiterIndex = c.emiter;
        one.entry->ParticleIndex = c.particle;
        one.entry->Disabled = c.disabled;
        one.entry->TriggerA = c.triggerA;
        one.entry->TriggerB = c.triggerB;
        one.entry->EmitsEmitters = c.emitsEmitters;
        SetUpInstance s(one.built);
        EXPECT_FALSE(s.instance.HasEmiters());
        EXPECT_EQ(s.instance.m_wFlags, CParticlesEmiter::kAllPausable);
        EXPECT_EQ(s.instance.m_wSeed, 38);
        EXPECT_EQ(s.instance.m_iSpare2, -1);
    }

    // Among entries that fit, the count pass and the creation pass skip the same ones.
    OneEmitter mixed;
    AddEntry(mixed.built, "bad emitter", 4, 0);
    AddEntry(mixed.built, "second", 0, 0);
    AddEntry(mixed.built, "bad particle", 0, 2);
    AddEntry(mixed.built, "spawner", 0, -1, {"one"});
    SetUpInstance s(mixed.built);
    ASSERT_EQ(s.instance.m_arrEmiters.size(), 3u);
    EXPECT_EQ(s.Emitter(0).m_nEntry, 0);
    EXPECT_EQ(s.Emitter(1).m_nEntry, 2);
    EXPECT_EQ(s.Emitter(2).m_nEntry, 4);
    EXPECT_EQ(s.Emitter(2).m_nParticleParams, -1);
    EXPECT_EQ(s.Emitter(2).m_pParticleParams, nullptr);
    EXPECT_EQ(s.Emitter(2).m_wFlags & CEmiter::kEmitsEmitters, CEmiter::kEmitsEmitters);
    EXPECT_EQ(s.Emitter(1).m_pParticleParams, s.Effect().m_arrParticleParams[0]);
    EXPECT_EQ(s.Emitter(1).m_pEntry, s.Effect().m_arrEntries[2]);
}

TEST(ParticleSetup, OneEmitterPerSourceName) {
    const struct {
        int32_t kind;
        int names;
        std::vector<int16_t> sources;
    } cases[] = {
        {2, 1, {0}}, {2, 3, {0, 1, 2}}, {3, 2, {0, 1}}, {2, 0, {-1}}, {0, 3, {-1}}, {1, 3, {-1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << ", " << c.names << " names");
        OneEmitter one;
        one.emiter->SourceKind = c.kind;
        for (int i = 0; i < c.names; ++i) one.emiter->SourceNames.push_back(CSString(i == 0 ? "CENTER" : "hand"));
        Add(one.built.m_arrEmiterParams);
        AddEntry(one.built, "after", 1, 0);
        SetUpInstance s(one.built);
        ASSERT_EQ(s.instance.m_arrEmiters.size(), c.sources.size() + 1);
        for (size_t i = 0; i < c.sources.size(); ++i) {
            EXPECT_EQ(s.Emitter(i).m_nSource, c.sources[i]);
            EXPECT_EQ(s.Emitter(i).m_nEntry, 0);
            EXPECT_EQ(s.Emitter(i).m_nLink, -1);
        }
        EXPECT_EQ(s.instance.m_arrEmiters.back().m_nEntry, 1);
    }
}

TEST(ParticleSetup, SeedsAndRandomWordsInTheirOrder) {
    OneEmitter one;
    one.emiter->IndependentOffsetRandom = 1;
    one.emiter->IndependentThirdRandom = 0;
    one.particle->GlobalRandomMode = 2;
    one.entry->RandomPhase = 1;
    one.emiter->DurationFrames = 45;
    CEmiterParams* fixed = Add(one.built.m_arrEmiterParams);
    fixed->FixedSeed = 1;
    fixed->SeedOffset = 5;
    fixed->IndependentAngleRandom = 1;
    AddEntry(one.built, "fixed", 1, 0);
    SetUpInstance s(one.built);

    // Global draws: the instance seed, the first emitter's seed, its shared word.
    EXPECT_EQ(s.instance.m_wSeed, 38);
    const CEmiter& a = s.Emitter(0);
    EXPECT_EQ(a.m_iSeed2, 7719);
    EXPECT_EQ(a.m_wSharedRandom, 21238);
    Replay ra(7719);
    const uint16_t offsets[3] = {ra.Next(), ra.Next(), ra.Next()};
    const uint16_t angle = ra.Next(), rate = ra.Next(), light = ra.Next(), third = ra.Next(), last = ra.Next();
    const uint16_t expectedA[12] = {offsets[0], offsets[1], offsets[2], angle, angle, angle,
                                    rate,       light,      third,      third, third, last};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(a.m_awRandom[i], expectedA[i]) << "word " << i;
    EXPECT_EQ(a.m_nFrame, ra.Next() % 45);
    EXPECT_EQ(a.m_iSeed, ra.state);

    // The fixed seed: the first result of a stream seeded with instance seed + offset.
    const CEmiter& b = s.Emitter(1);
    Replay seeded(38 + 5);
    EXPECT_EQ(b.m_iSeed2, seeded.Next());
    Replay rb(b.m_iSeed2);
    const uint16_t offset = rb.Next(), a0 = rb.Next(), a1 = rb.Next(), a2 = rb.Next();
    EXPECT_EQ(b.m_awRandom[2], offset);
    EXPECT_EQ(b.m_awRandom[3], a0);
    EXPECT_EQ(b.m_awRandom[4], a1);
    EXPECT_EQ(b.m_awRandom[5], a2);
    EXPECT_EQ(b.m_wSharedRandom, 2437);  // the next global draw
}

TEST(ParticleSetup, FixedSeedsFromTheirBase) {
    OneEmitter one;
    one.emiter->FixedSeed = 1;
    WrittenEffect written(one.built);
    CParticlesEmiter instance;
    instance.Setup(nullptr, &written.effect);
    const struct {
        bool child;
        int32_t base, offset, seed;
    } cases[] = {
        {true, 0, 0, 38},    {true, 100, 0, 365},   {false, 100, 0, 365},
        {true, 90, 10, 365}, {true, 0x8000, 0, 38}, {false, 0, 100, 365},
    };
    for (const auto& c : cases) {
        written.effect.m_arrEmiterParams[0]->SeedOffset = c.offset;
        instance.m_wSeed = c.child ? 7 : static_cast<int16_t>(c.base);
        CEmiter emitter;
        ASSERT_TRUE(instance.InitEmiter(emitter, 0, c.child, c.child ? c.base : 0, 0));
        EXPECT_EQ(emitter.m_iSeed2, c.seed) << c.base << " + " << c.offset;
        EXPECT_EQ((emitter.m_wFlags & CEmiter::kChild) != 0, c.child);
    }

    // Two instances of a fixed-seed effect with equal base seeds get equal streams;
    // without the fixed seed they differ.
    for (uint8_t fixed : {1, 0}) {
        written.effect.m_arrEmiterParams[0]->FixedSeed = fixed;
        written.effect.m_arrEmiterParams[0]->SeedOffset = 0;
        CParticlesEmiter first, second;
        first.Setup(nullptr, &written.effect);
        second.Setup(nullptr, &written.effect);
        second.m_wSeed = first.m_wSeed;
        CEmiter a, b;
        first.InitEmiter(a, 0, false, 0, 0);
        second.InitEmiter(b, 0, false, 0, 0);
        EXPECT_EQ(a.m_iSeed2 == b.m_iSeed2, fixed != 0);
    }
}

TEST(ParticleSetup, StartLengthsPauseAndRepeats) {
    const struct {
        const char* what;
        float delay;
        int32_t frames;
        float duration, timeScale, pause;
        int32_t mode, count;
        int32_t start;
        int16_t length, motion, steps, repeats;
        bool looping;
    } cases[] = {
        {"delay", 0.5f, 45, 1.5f, 0.0f, 0.0f, 0, 1, 15, 45, 45, 0, 0, false},
        {"no time scale, stored frames", 0.0f, 45, 1.0f, 1.0f, 0.1f, 1, 1, 0, 45, 45, 3, 0, false},
        {"faster motion", 0.0f, 45, 1.5f, 2.0f, 0.0f, 1, 3, 0, 45, 22, 0, 2, false},
        {"slower motion, forever", 0.0f, 45, 1.5f, 0.5f, 0.0f, 2, 0, 0, 45, 90, 0, 0x7fff, true},
        {"tiny time scale", 0.0f, 30, 1.0f, 1e-6f, 0.0f, 0, 1, 0, 30, 32767, 0, 0, false},
        {"beyond 16 bits", 1e6f, 40000, 0.0f, 0.0f, 1e6f, 1, 100000, 32767, 32767, 32767, 32767, 32766, false},
        {"negative", -1e6f, -5, 0.0f, 0.0f, -1.0f, 1, 0, -32768, -5, -5, -30, -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OneEmitter one;
        one.entry->Delay = c.delay;
        one.emiter->DurationFrames = c.frames;
        one.emiter->Duration = c.duration;
        one.emiter->TimeScale = c.timeScale;
        one.entry->RepeatPause = c.pause;
        one.entry->RepeatMode = c.mode;
        one.entry->RepeatCount = c.count;
        SetUpInstance s(one.built);
        const CEmiter& e = s.Emitter(0);
        EXPECT_EQ(e.m_nStart, c.start);
        EXPECT_EQ(e.m_nLength, c.length);
        EXPECT_EQ(e.m_nMotionLength, c.motion);
        EXPECT_EQ(e.m_nPause, c.steps);
        EXPECT_EQ(e.m_nRepeats, c.repeats);
        EXPECT_EQ((s.instance.m_wFlags & CParticlesEmiter::kLooping) != 0, c.looping);
        EXPECT_EQ(e.m_nPlays, 0);
        EXPECT_EQ(e.m_fRateScale, 1.0f);
    }

    // The start counts from the instance frame in 32 bits: a child made late in a
    // long-running instance keeps its delay.
    OneEmitter one;
    one.entry->Delay = 1.0f;
    SetUpInstance s(one.built);
    s.instance.m_iFrame = 40000;
    CEmiter child;
    s.instance.InitEmiter(child, 0, true, 0, 0);
    EXPECT_EQ(child.m_nStart, 40030);
}

TEST(ParticleSetup, RandomPhase) {
    const struct {
        int32_t frames;
        float timeScale;
        bool draws;
    } cases[] = {{45, 2.0f, true}, {45, 0.0f, true}, {0, 0.0f, false}, {0, 2.0f, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.frames << " frames, time scale " << c.timeScale);
        OneEmitter one;
        one.emiter->FixedSeed = 1;
        one.emiter->DurationFrames = c.frames;
        one.emiter->Duration = 1.5f;
        one.emiter->TimeScale = c.timeScale;
        one.entry->RandomPhase = 1;
        SetUpInstance s(one.built);
        const CEmiter& e = s.Emitter(0);
        Replay replay(e.m_iSeed2);
        for (int i = 0; i < 6; ++i) replay.Next();  // the words, none independent
        if (c.draws) {
            EXPECT_EQ(e.m_nFrame, replay.Next() % c.frames);
            const int32_t motion =
                e.m_nMotionLength == e.m_nLength ? e.m_nFrame : e.m_nFrame * e.m_nMotionLength / c.frames;
            EXPECT_EQ(e.m_nMotionFrame, motion);
        } else {
            EXPECT_EQ(e.m_nFrame, 0);
            EXPECT_EQ(e.m_nMotionFrame, 0);
        }
        EXPECT_EQ(e.m_iSeed, replay.state);
        EXPECT_EQ((e.m_wFlags & CEmiter::kPlayStart) != 0, e.m_nFrame == 0);
    }
}

TEST(ParticleSetup, EmitterFlagsAndTheFrozenRule) {
    const struct {
        const char* what;
        uint8_t hold, locked;
        bool keyed;
        float rate;
        bool frozen;
    } cases[] = {
        {"held, locked zero rate", 1, 1, false, 0.0f, true},
        {"held, varied rate", 1, 0, false, 0.0f, false},
        {"held, locked rate 2", 1, 1, false, 2.0f, false},
        {"held, keyed rate", 1, 1, true, 0.0f, false},
        {"not held", 0, 1, false, 0.0f, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OneEmitter one;
        one.entry->Hold = c.hold;
        one.emiter->NoVariation[6] = c.locked;
        if (c.keyed) SetKeys(one.emiter->Tracks[CEmiterParams::EmitRate], {0.0f, 0.0f});
        else SetConstant(one.emiter->Tracks[CEmiterParams::EmitRate], c.rate);
        SetUpInstance s(one.built);
        EXPECT_EQ((s.instance.m_wFlags & CParticlesEmiter::kFrozen) != 0, c.frozen);
        EXPECT_EQ((s.Emitter(0).m_wFlags & CEmiter::kHold) != 0, c.hold != 0);
    }

    OneEmitter one;
    one.entry->Pausable = 1;
    one.entry->KeepOnKill = 1;
    AddEntry(one.built, "uncounted", 0, 0)->Counted = 0;
    SetUpInstance s(one.built);
    EXPECT_EQ(s.Emitter(0).m_wFlags, CEmiter::kPausable | CEmiter::kKeepOnKill | CEmiter::kPlayStart |
                                         CEmiter::kFirstStep | CEmiter::kCounted);
    EXPECT_EQ(s.Emitter(1).m_wFlags, CEmiter::kPlayStart | CEmiter::kFirstStep);
    EXPECT_EQ(s.instance.m_wFlags & CParticlesEmiter::kAllPausable, 0);  // the second is not pausable

    OneEmitter all;
    all.entry->Pausable = 1;
    SetUpInstance p(all.built);
    EXPECT_EQ(p.instance.m_wFlags & CParticlesEmiter::kAllPausable, CParticlesEmiter::kAllPausable);
}

TEST(ParticleSetup, BoxFacesFromTheSizesAtKeyZero) {
    const struct {
        const char* what;
        uint8_t fixedSizes;
        uint8_t independent;
        int draws;
    } cases[] = {{"sizes without variation", 1, 0, 0}, {"one shared draw", 0, 0, 1}, {"three draws", 0, 1, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OneEmitter one;
        one.emiter->FixedSeed = 1;
        one.emiter->EmitShape = CEmiterParams::kShapeBox;
        one.emiter->BoxFaceMask = 0x3b;
        one.emiter->IndependentSizeRandom = c.independent;
        SetKeys(one.emiter->Tracks[CEmiterParams::ShapeSizeX], {-2.0f, 50.0f});
        SetConstant(one.emiter->Tracks[CEmiterParams::ShapeSizeXVar], 1.0f);
        SetConstant(one.emiter->Tracks[CEmiterParams::ShapeSizeY], 3.0f);
        SetConstant(one.emiter->Tracks[CEmiterParams::ShapeSizeYVar], 2.0f);
        SetConstant(one.emiter->Tracks[CEmiterParams::ShapeSizeZ], 4.0f);
        for (int p = 15; p <= 17; ++p) one.emiter->NoVariation[p] = c.fixedSizes;
        SetUpInstance s(one.built);
        const CEmiter& e = s.Emitter(0);
        Replay replay(e.m_iSeed2);
        for (int i = 0; i < 6; ++i) replay.Next();
        uint16_t words[3] = {0, 0, 0};
        for (int i = 0; i < c.draws; ++i) words[i] = replay.Next();
        if (c.draws == 1) words[1] = words[2] = words[0];
        EXPECT_EQ(e.m_iSeed, replay.state);
        const float x = std::fabs(static_cast<float>(-2.0 + (c.fixedSizes ? 0.0 : UnpackKeyValue(words[0]) * 1.0)));
        const float y = static_cast<float>(3.0 + (c.fixedSizes ? 0.0 : UnpackKeyValue(words[1]) * 2.0));
        int16_t expected[6];
        BuildBoxFaceTable(expected, x, y, 4.0f, 0x3b);
        ASSERT_NE(e.m_pFaceTable, nullptr);
        for (int f = 0; f < 6; ++f) EXPECT_EQ(e.m_pFaceTable[f], expected[f]) << "face " << f;
        EXPECT_EQ(e.m_nFaceTableFrame, 0);
    }
}

TEST(ParticleSetup, PeaksStayWithTheirPositionsAcrossSetUps) {
    OneEmitter larger;
    for (const char* name : {"b", "c"}) AddEntry(larger.built, name, 0, 0);
    WrittenEffect written(larger.built);
    OneEmitter one;
    AddEntry(one.built, "second", 0, 0);
    SetUpInstance s(one.built);
    s.Emitter(0).m_nPeak = 12;
    s.Emitter(1).m_nPeak = 30;
    runfixtures::AppendParticle(s.Emitter(1), 0);
    s.instance.Setup(nullptr, &s.Effect());
    ASSERT_EQ(s.instance.m_arrEmiters.size(), 2u);
    EXPECT_EQ(s.Emitter(0).m_nPeak, 12);
    EXPECT_EQ(s.Emitter(1).m_nPeak, 30);
    EXPECT_EQ(s.Emitter(1).m_nCount, 0);  // the old emitters are gone with their particles
    EXPECT_EQ(PeakScratch().GetCount(), 0u);
    EXPECT_EQ(s.Effect().GetRefCount(), 2);  // one reference, however often set up

    // A larger effect: positions beyond the old count start at 0.
    s.instance.Setup(nullptr, &written.effect);
    ASSERT_EQ(s.instance.m_arrEmiters.size(), 3u);
    EXPECT_EQ(s.Emitter(1).m_nPeak, 30);
    EXPECT_EQ(s.Emitter(2).m_nPeak, 0);
    EXPECT_EQ(s.Effect().GetRefCount(), 1);
}

TEST(ParticleSetup, OriginOfWorldSpaceEmitters) {
    OneEmitter one;
    AddEntry(one.built, "looping", 0, 0)->RepeatMode = 2;
    SetUpInstance s(one.built);
    CParticlesEmiter& instance = s.instance;
    instance.m_vPos = CSVector4(3.7f, -2.5f, 9.0f, 1.0f);
    instance.m_abAngles[0] = 10;
    instance.m_abAngles[2] = 200;
    instance.m_fLoopHeight = 5.0f;
    instance.m_fHeight = 1.0f;
    const struct {
        uint16_t flags;
        size_t emitter;
        float z;
    } cases[] = {
        {0, 0, 9.0f},
        {CParticlesEmiter::kGround, 0, 0.1f},
        {CParticlesEmiter::kHeightOffsets, 0, 10.0f},
        {CParticlesEmiter::kHeightOffsets, 1, 14.0f},
        {CParticlesEmiter::kGround | CParticlesEmiter::kHeightOffsets, 1, 5.1f},
    };
    for (const auto& c : cases) {
        instance.m_wFlags = c.flags;
        CSVector4 position;
        uint8_t angles[3] = {1, 1, 1}, flag = 9;
        instance.GetOriginEx(s.Emitter(c.emitter), position, angles, flag);
        EXPECT_EQ(position.x, 3.7f);
        EXPECT_EQ(position.y, -2.5f);
        EXPECT_FLOAT_EQ(position.z, c.z) << "flags " << c.flags << ", emitter " << c.emitter;
        EXPECT_EQ(angles[0], 10);
        EXPECT_EQ(angles[1], 0);
        EXPECT_EQ(angles[2], 200);
        EXPECT_EQ(flag, 0);
    }

    // A hosted instance starts where its host stands, unless it was placed explicitly.
    CSEntityParticle host(nullptr);
    const float placed[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 40.0f, 50.0f, 2.0f, 1};
    host.SetNodeMatrix(placed);
    instance.SetHost(&host);
    for (const uint16_t flags : {uint16_t{0}, uint16_t{CParticlesEmiter::kExplicitPosition}}) {
        instance.m_wFlags = static_cast<uint16_t>(flags | CParticlesEmiter::kHeightOffsets);
        CSVector4 position;
        uint8_t angles[3];
        instance.GetOrigin(s.Emitter(0), position, angles);
        const bool explicitly = flags != 0;
        EXPECT_EQ(position.x, explicitly ? 3.7f : 40.0f);
        EXPECT_EQ(position.y, explicitly ? -2.5f : 50.0f);
        EXPECT_FLOAT_EQ(position.z, explicitly ? 10.0f : 3.0f);
        EXPECT_EQ(angles[2], 200);
    }
    instance.SetHost(nullptr);

    CSVector4 zero(1, 2, 3, 4);
    instance.GetZeroOrigin(s.Emitter(0), zero);
    EXPECT_TRUE(CSVector4AllEqual(zero, CSVector4(0, 0, 0, 0)));
}

TEST(ParticleSetup, ReplacingTheEffectKeepsTheEmittersThatFit) {
    // One block of each, and three entries.
    OneEmitter shorter;
    AddEntry(shorter.built, "b", 0, 0);
    AddEntry(shorter.built, "c", 0, 0);
    WrittenEffect written(shorter.built);
    OneEmitter one;
    Add(one.built.m_arrParticleParams)->ParticleKind = 6;
    Add(one.built.m_arrEmiterParams);
    AddEntry(one.built, "second particles", 0, 1);
    AddEntry(one.built, "second emitter", 1, 0);
    AddEntry(one.built, "spawner", 1, -1, {"one"});
    SetUpInstance s(one.built);
    ASSERT_EQ(s.instance.m_arrEmiters.size(), 4u);
    EXPECT_TRUE(s.instance.HasParticleKind6());
    runfixtures::FillEmitter(s.Emitter(3), 7, 2);

    // The shorter effect has no second particle block, no second emitter block and no
    // fourth entry.
    CSEntityParticle host(nullptr);
    s.instance.ReplaceEffect(&host, &written.effect);
    EXPECT_EQ(s.instance.m_pHost, &host);
    EXPECT_EQ(s.instance.m_pMesh, &written.effect);
    EXPECT_EQ(written.effect.GetRefCount(), 2);
    EXPECT_EQ(s.Effect().GetRefCount(), 1);
    ASSERT_EQ(s.instance.m_arrEmiters.size(), 1u);
    EXPECT_EQ(s.Emitter(0).m_nEntry, 0);
    EXPECT_EQ(s.Emitter(0).m_pEntry, written.effect.m_arrEntries[0]);
    EXPECT_EQ(s.Emitter(0).m_pEmiterParams, written.effect.m_arrEmiterParams[0]);
    EXPECT_EQ(s.Emitter(0).m_pParticleParams, written.effect.m_arrParticleParams[0]);
    EXPECT_FALSE(s.instance.HasParticleKind6());

    // Back to the first effect, kept host; then none.
    s.instance.ReplaceEffect(&s.Effect());
    EXPECT_EQ(s.instance.m_pHost, &host);
    EXPECT_EQ(s.instance.m_arrEmiters.size(), 1u);
    s.instance.ReplaceEffect(nullptr, nullptr);
    EXPECT_FALSE(s.instance.HasEmiters());
    EXPECT_EQ(s.Effect().GetRefCount(), 1);
    EXPECT_EQ(written.effect.GetRefCount(), 1);
}

TEST(ParticleSetup, ReloadingByNameThroughTheEffectCache) {
    ScratchFolder folder;
    OneEmitter one;
    one.particle->ParticleKind = 0;  // an object particle: the load sets up no texture
    AddEntry(one.built, "second", 0, 0);
    const std::string path = effectfixtures::WriteEffect(folder, "reload.prt", one.built, 5);
    {
        SetUpInstance s(one.built);
        CSEntityParticle host(nullptr);
        s.instance.ReloadEffect(&host, path.c_str());
        CParticlesMesh* loaded = s.instance.m_pMesh;
        ASSERT_NE(loaded, &s.Effect());
        EXPECT_EQ(s.instance.m_pHost, &host);
        EXPECT_EQ(loaded->GetRefCount(), 1);  // the instance's; the load's own is given back
        EXPECT_EQ(s.Effect().GetRefCount(), 1);
        ASSERT_EQ(s.instance.m_arrEmiters.size(), 2u);
        EXPECT_EQ(s.Emitter(1).m_pEntry, loaded->m_arrEntries[1]);

        s.instance.ReloadEffect(nullptr, nullptr);  // no name: no emitters, the rest stays
        EXPECT_FALSE(s.instance.HasEmiters());
        EXPECT_EQ(s.instance.m_pMesh, loaded);
        EXPECT_EQ(s.instance.m_pHost, &host);

        // A file that cannot be read loads as an effect without entries.
        s.instance.Setup(&host, loaded);
        s.instance.ReloadEffect(&host, (folder / "missing.prt").c_str());
        EXPECT_FALSE(s.instance.HasEmiters());
        EXPECT_EQ(loaded->GetRefCount(), 0);
    }
    PurgeParticleCaches();
}

TEST(ParticleSetup, ReleasingTheEffectLeavesTheEmitters) {
    OneEmitter one;
    SetUpInstance s(one.built);
    s.instance.ReleaseEffect();
    EXPECT_EQ(s.instance.m_pMesh, nullptr);
    EXPECT_EQ(s.Effect().GetRefCount(), 1);
    EXPECT_TRUE(s.instance.HasEmiters());
    s.Emitter(0).m_nLink = 4;
    s.instance.ResolveSources();
    EXPECT_EQ(s.Emitter(0).m_nLink, -1);
    EXPECT_FALSE(s.instance.HasParticleKind6());
}

}  // namespace
