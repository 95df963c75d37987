// The advance of one particle: age and death, the fall along the parabola of its age,
// jitter, angles from the motion, the host test of world-space particles, and the walk
// of an emitter's list that removes the dead.
#include <gtest/gtest.h>

#include "RunningEffectFixtures.h"
#include "particles/CParticle.h"
#include "particles/CParticleParams.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CSMatrix.h"

namespace {

using runfixtures::AppendParticle;
using runfixtures::Replay;

// An emitter bound to a particle block of its own, and an instance to advance through.
struct Advancing {
    Advancing() {
        emitter.m_pParticleParams = &params;
        params.Flags = CParticleParams::kSpeedRowsOff;  // constant speed unless a test says
    }
    ~Advancing() { emitter.m_pParticleParams = nullptr; }
    CParticle& Born(int16_t life, ParticleFloat3 velocity = {}) {
        CParticle* p = AppendParticle(emitter, -1);
        p->m_nLife = life;
        p->m_vPos = ParticleFloat3{};
        p->m_vVelocity = velocity;
        return *p;
    }
    bool Advance(CParticle& p) { return instance.AdvanceParticle(emitter, p); }

    CParticleParams params;
    CEmiter emitter;
    CParticlesEmiter instance;
};

TEST(ParticleAdvance, AParticleLivesItsLifePlusOneAdvances) {
    for (const int16_t life : {0, 1, 5}) {
        Advancing a;
        a.Born(life);
        int advances = 0;
        while (a.emitter.AdvanceParticles(a.instance)) ++advances;
        EXPECT_EQ(advances, life + 1);
        EXPECT_EQ(a.emitter.m_nCount, 0);
        EXPECT_EQ(a.emitter.m_pLast, nullptr);
    }
}

TEST(ParticleAdvance, TheWalkUnlinksTheDeadAnywhereInTheList) {
    Advancing a;
    const int16_t lives[] = {0, 5, 0, 5, 0};
    for (int16_t life : lives) a.Born(life).m_pMatrix = new CSMatrix();
    a.emitter.m_nNextAnimFrame = 9;
    ASSERT_TRUE(a.emitter.AdvanceParticles(a.instance));
    ASSERT_TRUE(a.emitter.AdvanceParticles(a.instance));
    EXPECT_EQ(a.emitter.m_nCount, 2);
    ASSERT_NE(a.emitter.m_pFirst, nullptr);
    EXPECT_EQ(a.emitter.m_pFirst->m_nLife, 5);
    EXPECT_EQ(a.emitter.m_pFirst->m_pNext, a.emitter.m_pLast);
    EXPECT_EQ(a.emitter.m_pLast->m_pNext, nullptr);
    EXPECT_EQ(a.emitter.m_nNextAnimFrame, 9);
    for (int i = 0; i < 5; ++i) a.emitter.AdvanceParticles(a.instance);
    EXPECT_EQ(a.emitter.m_nCount, 0);
    EXPECT_EQ(a.emitter.m_nNextAnimFrame, 0);
}

TEST(ParticleAdvance, FallsAlongTheParabolaOfItsAge) {
    Advancing a;
    a.params.Gravity = 900.0f;  // 1 per step squared
    CParticle& p = a.Born(10, ParticleFloat3{0.0f, 0.0f, 0.25f});
    const float falls[] = {0.0f, -0.5f, -2.0f, -4.5f};
    const float steps[] = {0.25f, -0.25f, -1.25f, -2.25f};
    float z = 0.0f;
    for (int age = 0; age < 4; ++age) {
        ASSERT_TRUE(a.Advance(p));
        EXPECT_EQ(p.m_fSpeedScale, falls[age]) << "age " << age;
        EXPECT_FLOAT_EQ(p.m_vPos.z - z, steps[age]) << "age " << age;
        EXPECT_EQ(p.m_vVelocity.z, 0.25f);  // never changed by gravity
        z = p.m_vPos.z;
    }
}

TEST(ParticleAdvance, SpeedOverLifeScalesTheVelocity) {
    Advancing a;
    a.params.Flags = 0;
    effectfixtures::SetKeys(a.params.Tracks[CParticleParams::SpeedOverLife], {1.0f, 0.0f});
    a.params.NoVariation[7] = 1;
    CParticle& p = a.Born(4, ParticleFloat3{2.0f, 0.0f, 0.0f});
    const float xs[] = {2.0f, 3.5f, 4.5f, 5.0f, 5.0f};  // speeds 1, 0.75, 0.5, 0.25, 0
    for (float x : xs) {
        ASSERT_TRUE(a.Advance(p));
        EXPECT_FLOAT_EQ(p.m_vPos.x, x);
    }
}

TEST(ParticleAdvance, JitterWithinItsBounds) {
    Advancing a;
    CParticle& still = a.Born(100);
    const int32_t seed = a.emitter.m_iSeed;
    for (int i = 0; i < 10; ++i) a.Advance(still);
    EXPECT_EQ(a.emitter.m_iSeed, seed);  // no jitter, no wind: no draw
    EXPECT_EQ(still.m_vPos.x, 0.0f);

    a.params.Jitter = 60.0f;
    a.emitter.m_iSeed = 12345;
    CParticle& p = a.Born(1000);
    Replay stream(12345);
    float x = 0.0f, y = 0.0f;
    for (int i = 0; i < 500; ++i) {
        ASSERT_TRUE(a.Advance(p));
        const float dx = p.m_vPos.x - x, dy = p.m_vPos.y - y;
        EXPECT_GE(dx, -1.0f);
        EXPECT_LE(dx, 1.00007f);
        EXPECT_GE(dy, -1.0f);
        EXPECT_LE(dy, 1.00007f);
        EXPECT_NEAR(dx, stream.NextFactor() * 2.0 - 1.0, 1e-3);  // x first
        EXPECT_NEAR(dy, stream.NextFactor() * 2.0 - 1.0, 1e-3);
        x = p.m_vPos.x;
        y = p.m_vPos.y;
    }
}

TEST(ParticleAdvance, AnglesFromTheMotion) {
    Advancing a;
    a.params.YawFromVelocity = 1;
    a.params.PitchFromVelocity = 1;
    CParticle& still = a.Born(10);
    ASSERT_TRUE(a.Advance(still));
    EXPECT_EQ(still.m_vAngles.x, 64.0f);  // the heading of no motion

    CParticle& p = a.Born(10, ParticleFloat3{0.0f, 4.0f, 4.0f});
    ASSERT_TRUE(a.Advance(p));
    EXPECT_EQ(p.m_vAngles.x, 0.0f);   // along +y
    EXPECT_EQ(p.m_vAngles.y, 32.0f);  // 45 degrees up
}

TEST(ParticleAdvance, OwnMatrixParticlesStayWhereTheyAre) {
    Advancing a;
    a.params.OwnMatrix = 1;
    a.params.Gravity = 900.0f;
    a.params.Jitter = 60.0f;
    CParticle& p = a.Born(10, ParticleFloat3{1.0f, 1.0f, 1.0f});
    p.m_vPos = ParticleFloat3{3.0f, 4.0f, 5.0f};
    const int32_t seed = a.emitter.m_iSeed;
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(a.Advance(p));
    EXPECT_EQ(p.m_vPos.x, 3.0f);
    EXPECT_EQ(p.m_vPos.z, 5.0f);
    EXPECT_EQ(a.emitter.m_iSeed, seed);
}

TEST(ParticleAdvance, HostTestEveryFourthAgeOfWorldSpaceParticles) {
    const struct {
        const char* what;
        int32_t space;
        uint8_t hostTest;
        ParticleFloat3 start, velocity;
        int dies;  // the age at which the advance drops it; -1: lives its life
    } cases[] = {
        {"falls through the ground", 1, 1, {0.5f, 0.5f, 1.0f}, {0.0f, 0.0f, -0.3f}, 4},
        {"above the ground at 4, below it at 8", 1, 1, {0.5f, 0.5f, 2.4f}, {0.0f, 0.0f, -0.3f}, 8},
        {"x -0.5 truncates to 0", 1, 1, {-0.5f, 0.5f, 1.0f}, {}, -1},
        {"x below -1", 1, 1, {-0.5f, 0.5f, 1.0f}, {-0.2f, 0.0f, 0.0f}, 4},
        {"not tested: no host test", 1, 0, {0.5f, 0.5f, 1.0f}, {0.0f, 0.0f, -0.3f}, -1},
        {"not tested: effect space", 2, 1, {0.5f, 0.5f, 1.0f}, {0.0f, 0.0f, -0.3f}, -1},
    };
    for (const auto& c : cases) {
        Advancing a;
        a.params.ParticleSpace = c.space;
        a.params.HostTest = c.hostTest;
        CParticle& p = a.Born(20, c.velocity);
        p.m_vPos = c.start;
        int died = -1;
        for (int age = 0; age <= 20; ++age)
            if (!a.Advance(p)) {
                died = age;
                break;
            }
        EXPECT_EQ(died, c.dies) << c.what;
    }
}

}  // namespace
