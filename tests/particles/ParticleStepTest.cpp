// Stepping a running effect: the instance step (start delays, stop, freeze, jumps to a
// frame) and the step of one emitter (play counters, pauses, emission through the
// accumulator, first placement, the loop carry and the ground bytes).
#include <gtest/gtest.h>

#include <vector>

#include "RunningEffectFixtures.h"
#include "particles/CEmiterParams.h"
#include "particles/CParticleEmiterParams.h"
#include "particles/CParticlesEmiter.h"

namespace {

using effectfixtures::SetConstant;
using effectfixtures::SetKeys;
using runfixtures::PlainEmitter;
using runfixtures::SetUpInstance;

// `count` keys of `value`.
void Keys(CSParamTrack& track, int count, float value) {
    track.m_arrKeys.Free();
    for (int i = 0; i < count; ++i) track.m_arrKeys.Append(value);
    track.m_bConstant = 0;
}

TEST(ParticleStep, AnInstanceWithoutEmittersEndsAtItsFirstStep) {
    CParticlesEmiter instance;
    EXPECT_FALSE(instance.Step(true));
    EXPECT_EQ(instance.m_iFrame, 1);
}

TEST(ParticleStep, AnEmitterWaitsForItsStart) {
    PlainEmitter plain;
    plain.entry->Delay = 5.0f / 30.0f;
    plain.Range(CEmiterParams::EmitRate, 1.0f);
    SetUpInstance s(plain.built);
    ASSERT_EQ(s.Emitter(0).m_nStart, 5);
    for (int step = 1; step <= 5; ++step) {
        EXPECT_TRUE(s.instance.Step(true));
        EXPECT_EQ(s.Emitter(0).m_nCount, 0);
        EXPECT_NE(s.Emitter(0).m_wFlags & CEmiter::kFirstStep, 0) << "updated at step " << step;
    }
    EXPECT_EQ(s.instance.m_iFrame, 5);
    s.instance.Step(true);
    EXPECT_EQ(s.Emitter(0).m_nCount, 1);
    EXPECT_EQ(s.Emitter(0).m_wFlags & CEmiter::kFirstStep, 0);
}

TEST(ParticleStep, AfterStopTheInstanceLivesWhileItsParticlesDo) {
    PlainEmitter plain;
    plain.emiter->DurationFrames = 10;
    Keys(plain.emiter->Tracks[CEmiterParams::EmitRate], 11, 1.0f);
    plain.entry->RepeatMode = 2;
    plain.particle->LifeFrames = 3;
    SetUpInstance s(plain.built);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(s.instance.Step(true));
    ASSERT_EQ(s.Emitter(0).m_nCount, 3);
    s.instance.Stop();
    EXPECT_EQ(s.instance.m_wFlags & (CParticlesEmiter::kStopping | CParticlesEmiter::kLooping),
              CParticlesEmiter::kStopping);
    EXPECT_TRUE(s.instance.Step(true));
    EXPECT_TRUE(s.instance.Step(true));
    EXPECT_TRUE(s.instance.Step(true));  // the youngest at age 3, its last
    EXPECT_FALSE(s.instance.Step(true));
    EXPECT_EQ(s.instance.m_iFrame, 3);
    EXPECT_EQ(s.Emitter(0).m_nCount, 0);
}

TEST(ParticleStep, HeldEmittersWithParticlesFreezeTheInstance) {
    PlainEmitter plain;
    plain.entry->Hold = 1;
    plain.emiter->DurationFrames = 5;
    Keys(plain.emiter->Tracks[CEmiterParams::EmitRate], 6, 1.0f);
    SetUpInstance s(plain.built);
    ASSERT_TRUE(s.instance.Step(true));  // the first particle
    EXPECT_EQ(s.instance.m_wFlags & CParticlesEmiter::kFrozen, 0);
    ASSERT_TRUE(s.instance.Step(true));  // held: not advanced, and the instance freezes
    EXPECT_NE(s.instance.m_wFlags & CParticlesEmiter::kFrozen, 0);
    const int16_t age = s.Emitter(0).m_pFirst->m_nAge;
    EXPECT_TRUE(s.instance.Step(true));
    EXPECT_EQ(s.Emitter(0).m_pFirst->m_nAge, age);
    EXPECT_EQ(s.instance.m_iFrame, 2);
}

TEST(ParticleStep, SetFrame) {
    PlainEmitter plain;
    plain.emiter->DurationFrames = 20;
    Keys(plain.emiter->Tracks[CEmiterParams::EmitRate], 21, 1.0f);
    plain.entry->RepeatMode = 2;
    SetUpInstance s(plain.built);
    for (int i = 0; i < 6; ++i) s.instance.Step(true);
    s.instance.SetFrame(0, false);
    CEmiter& e = s.Emitter(0);
    EXPECT_EQ(e.m_nFrame, 0);
    EXPECT_NE(e.m_wFlags & CEmiter::kPlayStart, 0);
    EXPECT_EQ(s.instance.m_iFrame, 0);
    EXPECT_EQ(e.m_nCount, 6);  // particles stay alive

    const struct {
        int32_t frame, start, pause, expected;
        bool playStart;
    } cases[] = {
        {40, 10, 0, 9, false},  // 30 modulo 21
        {31, 10, 0, 0, true},   // a new play begins
        {40, 10, 5, 4, false},  // 30 modulo 26
        {33, 10, 5, 0, true},   // 23: inside the pause
        {5, 10, 0, 0, true},    // before the start
    };
    for (const auto& c : cases) {
        e.m_nStart = c.start;
        e.m_nPause = static_cast<int16_t>(c.pause);
        s.instance.SetFrame(c.frame, false);
        EXPECT_EQ(e.m_nFrame, c.expected) << c.frame;
        EXPECT_EQ(e.m_nMotionFrame, c.expected) << c.frame;
        EXPECT_EQ((e.m_wFlags & CEmiter::kPlayStart) != 0, c.playStart) << c.frame;
        EXPECT_EQ(s.instance.m_iFrame, c.frame);
    }
}

TEST(EmitterStep, PlayOfLengthZero) {
    PlainEmitter plain;
    plain.Range(CEmiterParams::EmitRate, 1.0f);
    plain.particle->LifeFrames = 1;
    SetUpInstance s(plain.built);
    EXPECT_TRUE(s.instance.Step(true));  // frame 0: one particle
    EXPECT_EQ(s.Emitter(0).m_nCount, 1);
    EXPECT_TRUE(s.instance.Step(true));  // at its end: it drains
    EXPECT_EQ(s.Emitter(0).m_nCount, 1);
    EXPECT_FALSE(s.instance.Step(true));  // and the particle is over
    EXPECT_EQ(s.Emitter(0).m_nCount, 0);
    EXPECT_EQ(s.Emitter(0).m_nFrame, 0);
}

TEST(EmitterStep, EmissionThroughTheAccumulator) {
    const struct {
        const char* what;
        bool keyed;
        float rate;
        std::vector<int> counts;  // particles after each step
    } cases[] = {
        // A constant rate gives its value at key 0 only: 2 now, 0.5 kept for the next play.
        {"constant 2.5", false, 2.5f, {2, 2, 2, 2, 5, 5, 5}},
        {"keyed 0.5", true, 0.5f, {0, 1, 1, 2, 2, 3, 3}},
    };
    for (const auto& c : cases) {
        PlainEmitter plain;
        plain.emiter->DurationFrames = 3;
        plain.entry->RepeatMode = 1;
        plain.entry->RepeatCount = 2;
        plain.particle->LifeFrames = 100;
        if (c.keyed) Keys(plain.emiter->Tracks[CEmiterParams::EmitRate], 4, c.rate);
        else plain.Range(CEmiterParams::EmitRate, c.rate);
        SetUpInstance s(plain.built);
        std::vector<int> counts;
        for (size_t i = 0; i < c.counts.size(); ++i) {
            s.instance.Step(true);
            counts.push_back(s.Emitter(0).m_nCount);
        }
        EXPECT_EQ(counts, c.counts) << c.what;
    }

    PlainEmitter plain;
    plain.Range(CEmiterParams::EmitRate, 5.0f);
    SetUpInstance s(plain.built);
    s.Emitter(0).m_fEmitAccu = 0.75f;
    ASSERT_TRUE(s.instance.UpdateEmiter(0, false));
    EXPECT_EQ(s.Emitter(0).m_fEmitAccu, 0.75f);
    EXPECT_EQ(s.Emitter(0).m_nCount, 0);
}

TEST(EmitterStep, ThreePlaysWithPauses) {
    PlainEmitter plain;
    plain.emiter->DurationFrames = 2;
    plain.entry->RepeatMode = 1;
    plain.entry->RepeatCount = 3;
    plain.entry->RepeatPause = 0.1f;  // 3 steps
    SetUpInstance s(plain.built);
    CEmiter& e = s.Emitter(0);
    // (frame, plays, pause left) after each step: a play of frames 0, 1, 2; the step
    // at its end returns at once; two more pause steps.
    const int expected[][3] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 2}, {0, 1, 1}, {0, 1, 0}, {0, 1, 0}, {1, 1, 0},
                               {2, 1, 0}, {0, 2, 2}, {0, 2, 1}, {0, 2, 0}, {0, 2, 0}, {1, 2, 0}, {2, 2, 0}};
    int step = 0;
    for (const auto& want : expected) {
        ++step;
        ASSERT_TRUE(s.instance.Step(true)) << "step " << step;
        EXPECT_EQ(e.m_nFrame, want[0]) << "step " << step;
        EXPECT_EQ(e.m_nPlays, want[1]) << "step " << step;
        EXPECT_EQ(e.m_nPauseLeft, want[2]) << "step " << step;
    }
    EXPECT_FALSE(s.instance.Step(true));  // the third play is over
}

TEST(EmitterStep, TheLoopCarriesOnFromWhereItEnded) {
    for (const int32_t mask : {0, 0x100}) {
        PlainEmitter plain;
        plain.emiter->SourceKind = 1;
        plain.emiter->DurationFrames = 10;
        plain.emiter->ChannelMask = mask;
        SetKeys(plain.emiter->Tracks[CEmiterParams::OffsetX], {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
        plain.entry->RepeatMode = 2;
        SetUpInstance s(plain.built);
        s.instance.m_vPos = CSVector4(100.0f, 0.0f, 0.0f, 0.0f);
        std::vector<float> ends;
        for (int step = 1; step <= 33; ++step) {
            s.instance.Step(true);
            if (step % 11 == 0) ends.push_back(s.Emitter(0).m_vPos.x);
        }
        if (mask == 0) EXPECT_EQ(ends, (std::vector<float>{110.0f, 120.0f, 130.0f}));
        else EXPECT_EQ(ends, (std::vector<float>{110.0f, 110.0f, 110.0f}));
    }
}

TEST(EmitterStep, FirstPlacementOnTheGround) {
    const struct {
        uint8_t follow, start;
        float z;
    } cases[] = {{1, 1, 2.1f}, {1, 0, 7.0f}, {0, 1, 2.1f}, {0, 0, 7.0f}};
    for (const auto& c : cases) {
        PlainEmitter plain;
        plain.emiter->SourceKind = 1;
        plain.emiter->FollowGround = c.follow;
        plain.emiter->StartOnGround = c.start;
        plain.Range(CEmiterParams::OffsetZ, 2.0f);
        SetUpInstance s(plain.built);
        s.instance.m_vPos = CSVector4(3.0f, 4.0f, 5.0f, 0.0f);
        s.instance.Step(true);
        EXPECT_FLOAT_EQ(s.Emitter(0).m_vPos.z, c.z) << int(c.follow) << int(c.start);
        EXPECT_NE(s.Emitter(0).m_pMatrix, nullptr);
    }
}

}  // namespace
