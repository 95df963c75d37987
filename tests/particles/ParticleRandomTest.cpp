// The simulation's random streams, its small operations, the host queries and the
// box-face tables.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "particles/BoxFaceTable.h"
#include "particles/CEmiter.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CParticlesMesh.h"
#include "particles/ParticleHelpers.h"
#include "particles/ParticleHost.h"
#include "particles/ParticleRandom.h"

namespace {

TEST(ParticleRandom, GlobalStreamFromItsStart) {
    ResetParticleSeed();
    const int32_t expected[] = {38, 7719, 21238, 2437, 8855};
    for (int32_t value : expected) EXPECT_EQ(ParticleSeed(), value);
    ResetParticleSeed();
    EXPECT_EQ(ParticleSeed(), 38);
}

TEST(ParticleRandom, EmitterStreamsStepApartFromEachOtherAndTheGlobalOne) {
    ResetParticleSeed();
    CEmiter emitter;
    emitter.m_iSeed = 0;
    emitter.m_iSeed2 = 100;
    EXPECT_EQ(ParticleRandom(emitter), 38);
    EXPECT_EQ(ParticleRandom(emitter), 7719);
    EXPECT_EQ(ParticleRandom2(emitter), 365);
    EXPECT_EQ(ParticleSeed(), 38);
    EXPECT_EQ(emitter.m_iSeed, static_cast<int32_t>((2531011u * 214013u) + 2531011u));

    // The state wraps in 32 bits; results stay within 15.
    int32_t state = -1;
    for (int i = 0; i < 1000; ++i) {
        const int32_t r = ParticleStreamStep(state);
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 0x7fff);
    }
}

TEST(ParticleRandom, UnpackKeyValue) {
    const struct {
        uint16_t word;
        float value;
    } cases[] = {
        {0, 0.0f},
        {16383, 0.5f},
        {32767, static_cast<float>(32767 / 32766.0)},
        {0xffff, static_cast<float>(-1 / 32766.0)},
    };
    for (const auto& c : cases) EXPECT_EQ(UnpackKeyValue(c.word), c.value) << c.word;
    EXPECT_FLOAT_EQ(UnpackKeyValue(32767), 1.0000305f);
}

TEST(ParticleHelpers, SmallOperations) {
    EXPECT_EQ(ClampInt(5, 0, 3), 3);
    EXPECT_EQ(ClampInt(-1, 0, 3), 0);
    EXPECT_EQ(ClampInt(2, 0, 3), 2);
    const float orders[][3] = {{1, 2, 3}, {1, 3, 2}, {2, 1, 3}, {2, 3, 1}, {3, 1, 2}, {3, 2, 1}};
    for (const auto& o : orders) EXPECT_EQ(SortedWeightedSum3(o[0], o[1], o[2]), 4.25f);
    EXPECT_EQ(MinInt(-4, 2), -4);
    EXPECT_EQ(MaxPlusHalfMin(3, 10), 11);
    EXPECT_EQ(MaxPlusHalfMin(10, 3), 11);
    EXPECT_EQ(MaxPlusHalfMin(5, 5), 7);

    EXPECT_EQ(TruncToInt32(-2.9), -2);
    EXPECT_EQ(TruncToInt32(1e12), INT32_MAX);
    EXPECT_EQ(TruncToInt32(-1e12), INT32_MIN);
    EXPECT_EQ(TruncToInt32(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(ClampToInt16(40000), 32767);
    EXPECT_EQ(ClampToInt16(-40000), -32768);
}

TEST(ParticleHelpers, AssignEffectTakesNoReference) {
    CParticlesMesh held;
    CParticlesMesh next;
    held.AddRef();
    CParticlesMesh* holder = &held;
    AssignEffect(holder, &next);
    EXPECT_EQ(holder, &next);
    EXPECT_EQ(held.GetRefCount(), 1);
    EXPECT_EQ(next.GetRefCount(), 1);
    CSMaskImage* none = nullptr;
    ReleaseMaskImage(none);  // nothing to release
    EXPECT_EQ(none, nullptr);
}

TEST(ParticleHost, GroundIsLowAndPointsValidAboveIt) {
    CParticlesEmiter instance;
    EXPECT_EQ(instance.QueryHostValue(-5, 100000), 0.1f);
    EXPECT_EQ(instance.QueryHostValueEx(7, 7, true, false, false), 0.1f);
    const struct {
        int32_t x, y;
        float z;
        bool valid;
    } points[] = {
        {0, 0, 0.0f, false}, {0, 0, 0.0001f, true}, {-1, 5, 1.0f, false}, {5, -1, 1.0f, false}, {3, 4, -2.0f, false},
    };
    for (const auto& p : points) {
        EXPECT_EQ(HostPointTest(nullptr, p.x, p.y, p.z), p.valid) << p.x << " " << p.y << " " << p.z;
        EXPECT_EQ(instance.TestHostPoint(p.x, p.y, p.z), p.valid);
    }
}

TEST(BoxFaceTable, Tables) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* what;
        float x, y, z;
        int32_t mask;
        int16_t table[6];
    } cases[] = {
        {"flat in z, both big faces", 10, 10, 0, 63, {0x3fff, 0x7fff, 0x7fff, 0x7fff, 0x7fff, 0x7fff}},
        {"flat in z, bottom only", 10, 10, 0, 2, {0, 0x7fff, 0x7fff, 0x7fff, 0x7fff, 0x7fff}},
        {"flat in z, by the edges", 10, 4, 0, 0x0c, {0, 0, 23405, 32767, 32767, 0x7fff}},
        {"flat in z, edges of no length", 0, 0, 0, 0x3c, {0, 0, 0, 0, 0, 0x7fff}},
        {"flat in x, its pair", 0, 10, 10, 0x28, {0, 0, 0, 0x3fff, 0x3fff, 0x7fff}},
        {"flat in x, by the edges", 0, 2, 6, 0x05, {8191, 8191, 32766, 32766, 32766, 0x7fff}},
        {"flat in y, its pair", 10, 0, 10, 0x14, {0, 0, 0x3fff, 0x3fff, 0x7fff, 0x7fff}},
        {"cube", 1, 1, 1, 63, {5461, 10922, 16383, 21844, 27305, 0x7fff}},
        {"box, all faces", 2, 3, 4, 63, {3780, 7560, 12601, 20162, 25203, 0x7fff}},
        {"box, top and bottom", 2, 3, 4, 3, {16383, 32766, 32766, 32766, 32766, 0x7fff}},
        {"one face", 1, 1, 1, 8, {0, 0, 0, 32767, 32767, 0x7fff}},
        {"mask above the faces", 1, 1, 1, 64, {0, 0, 0, 0, 0, 0x7fff}},
        {"not a number", nan, 1, 1, 63, {0, 0, 0, 0, 0, 0x7fff}},
    };
    for (const auto& c : cases) {
        int16_t table[6];
        BuildBoxFaceTable(table, c.x, c.y, c.z, c.mask);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(table[i], c.table[i]) << c.what << ", entry " << i;
    }
}

}  // namespace
