// Row lookups of the parameter blocks: an emitter row per frame (with the burst rule of
// the emission rows), a particle row spread over a particle's life, and the step rate's
// conversion of seconds to frames.
#include <gtest/gtest.h>

#include <vector>

#include "EffectFixtures.h"
#include "particles/CEmiterParams.h"
#include "particles/CParticleParams.h"
#include "particles/ParticleStepRates.h"

namespace {

using effectfixtures::SetConstant;
using effectfixtures::SetKeys;

TEST(ParticleTrack, EmiterRowsByFrame) {
    CEmiterParams block;
    SetConstant(block.Tracks[CEmiterParams::EmitRate], 20.0f);
    SetConstant(block.Tracks[CEmiterParams::EmitRateVar], 4.0f);
    SetConstant(block.Tracks[CEmiterParams::SpeedScale], 2.0f);
    SetKeys(block.Tracks[CEmiterParams::OffsetX], {1.0f, 2.0f, 3.0f});

    struct Case {
        int row, frame;
        float expected;
    };
    const Case cases[] = {
        // A constant emission count bursts at the first frame only.
        {CEmiterParams::EmitRate, 0, 20.0f},
        {CEmiterParams::EmitRate, 1, 0.0f},
        {CEmiterParams::EmitRate, 2, 0.0f},
        {CEmiterParams::EmitRateVar, 0, 4.0f},
        {CEmiterParams::EmitRateVar, 7, 0.0f},
        // Any other constant row holds at every frame.
        {CEmiterParams::SpeedScale, 0, 2.0f},
        {CEmiterParams::SpeedScale, 9, 2.0f},
        // A keyed row reads the key of the frame; past the last key the last.
        {CEmiterParams::OffsetX, 0, 1.0f},
        {CEmiterParams::OffsetX, 2, 3.0f},
        {CEmiterParams::OffsetX, 3, 3.0f},
        {CEmiterParams::OffsetX, 1000, 3.0f},
        // A row with neither keys nor constant reads 0.0.
        {CEmiterParams::OffsetY, 0, 0.0f},
        {CEmiterParams::OffsetY, 5, 0.0f},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(block.GetTrackKey(c.row, c.frame), c.expected) << "row " << c.row << " frame " << c.frame;
    }
}

TEST(ParticleTrack, ParticleRowsOverTheLife) {
    CParticleParams block;
    SetKeys(block.Tracks[CParticleParams::Red], {0.0f, 10.0f, 20.0f});
    SetConstant(block.Tracks[CParticleParams::Green], 0.75f);
    SetKeys(block.Tracks[CParticleParams::Blue], {0.0f, 1.0f});
    std::vector<float> perFrame;
    for (int k = 0; k <= 30; ++k) perFrame.push_back(static_cast<float>(k * k));
    CSParamTrack& alpha = block.Tracks[CParticleParams::Alpha];
    for (float key : perFrame) alpha.m_arrKeys.Append(key);

    struct Case {
        int row, age, life;
        float expected;
    };
    const Case cases[] = {
        // Keys (0, 10, 20) over a life of 4: position age x 2 / 4, interpolated.
        {CParticleParams::Red, 0, 4, 0.0f},
        {CParticleParams::Red, 1, 4, 5.0f},
        {CParticleParams::Red, 2, 4, 10.0f},
        {CParticleParams::Red, 3, 4, 15.0f},
        {CParticleParams::Red, 4, 4, 20.0f},
        {CParticleParams::Red, 9, 4, 20.0f},
        // A constant row whatever the age.
        {CParticleParams::Green, 0, 4, 0.75f},
        {CParticleParams::Green, 50, 4, 0.75f},
        // Two keys over 30 frames.
        {CParticleParams::Blue, 15, 30, 0.5f},
        {CParticleParams::Blue, 30, 30, 1.0f},
        {CParticleParams::Blue, 31, 30, 1.0f},
        // One key per frame (31 keys, life 30): key[age], the last after the end.
        {CParticleParams::Alpha, 0, 30, 0.0f},
        {CParticleParams::Alpha, 7, 30, 49.0f},
        {CParticleParams::Alpha, 29, 30, 841.0f},
        {CParticleParams::Alpha, 30, 30, 900.0f},
        {CParticleParams::Alpha, 45, 30, 900.0f},
        // No keys and no constant: 0.0.
        {CParticleParams::Roll, 3, 10, 0.0f},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(block.SampleTrack(c.row, c.age, c.life), c.expected)
            << "row " << c.row << " age " << c.age << " life " << c.life;
    }
}

TEST(ParticleStepRates, SecondsToFrames) {
    EXPECT_EQ(GetParticleTickRate(), 30.0f);
    EXPECT_EQ(GetParticleBaseRate(), 30.0f);
    struct Case {
        float seconds;
        int32_t frames;
    };
    const Case cases[] = {
        {1.5f, 45},         {0.05f, 1},  // 1.5 frames: a fraction of exactly one half rounds down
        {0.06f, 2},         {2.0f, 60}, {1.65f, 49}, {1.66f, 50}, {0.5f, 15}, {0.0f, 0}, {-1.66f, -49},  // towards zero
        {1e30f, INT32_MAX},  // beyond the 32-bit range: clamped
    };
    for (const Case& c : cases) EXPECT_EQ(SecondsToFrames(c.seconds), c.frames) << c.seconds;
    EXPECT_EQ(StoredFrameCount(1.65f, 99), 99);

    SetParticleStepRate(25.0f, true);  // the double rate doubles the tick rate only
    EXPECT_EQ(GetParticleTickRate(), 50.0f);
    EXPECT_EQ(GetParticleBaseRate(), 30.0f);
    EXPECT_EQ(SecondsToFrames(1.0f), 50);
    SetParticleStepRate(30.0f, false);
    EXPECT_EQ(GetParticleTickRate(), 30.0f);
}

}  // namespace
