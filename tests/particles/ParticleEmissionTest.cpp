// Particle birth: refusal, life, random words in their order and groups, sequence
// numbers, the four shapes and the five placement cases with their ground options.
// Effects are written with PrtWriter and read back; emission is called directly.
#include <gtest/gtest.h>

#include <cmath>

#include "RunningEffectFixtures.h"
#include "particles/CEmiterParams.h"
#include "particles/CParticle.h"
#include "particles/CParticleParams.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CSMatrix.h"
#include "particles/ParticleRandom.h"

namespace {

using effectfixtures::SetConstant;
using effectfixtures::SetKeys;
using runfixtures::OneEmitter;
using runfixtures::PlainEmitter;
using runfixtures::Replay;
using runfixtures::SetUpInstance;

// The instance of a PlainEmitter and its emitter, ready to emit.
struct Emitting {
    explicit Emitting(const CParticlesMesh& built) : s(built) {}
    CEmiter& E() { return s.Emitter(0); }
    bool Emit() { return s.instance.EmitParticle(E()); }
    CParticle& Last() { return *E().m_pLast; }
    SetUpInstance s;
};

TEST(ParticleEmission, BoxWithoutAUsableFaceMakesNothingAndDrawsNothing) {
    const struct {
        const char* what;
        float x, y, z;
        int32_t mask;
    } cases[] = {
        {"no face enabled", 2, 3, 4, 0},
        {"only bits above the faces", 2, 3, 4, 64},
        {"flat box, its enabled edge of no length", 10, 0, 0, 0x20},
        {"a point of a box", 0, 0, 0, 0x3c},
    };
    for (const auto& c : cases) {
        PlainEmitter plain;
        plain.emiter->EmitShape = CEmiterParams::kShapeBox;
        plain.emiter->BoxFaceMask = c.mask;
        plain.Sizes(c.x, c.y, c.z);
        Emitting run(plain.built);
        const int32_t seed = run.E().m_iSeed, seed2 = run.E().m_iSeed2;
        EXPECT_FALSE(run.Emit()) << c.what;
        EXPECT_EQ(run.E().m_nCount, 0) << c.what;
        EXPECT_EQ(run.E().m_iSeed, seed) << c.what;
        EXPECT_EQ(run.E().m_iSeed2, seed2) << c.what;
        EXPECT_EQ(ParticleSeed(), 21238) << c.what << ": the global stream moved";
    }
}

TEST(ParticleEmission, OneEnabledFaceIsTheOnlyFaceUsed) {
    PlainEmitter plain;
    plain.emiter->EmitShape = CEmiterParams::kShapeBox;
    plain.emiter->BoxFaceMask = 8;  // face 3, at x = X / 2
    plain.Sizes(2, 3, 4);
    Emitting run(plain.built);
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(run.Emit());
        const CParticle& p = run.Last();
        EXPECT_FLOAT_EQ(p.m_vPos.x, 1.0f);
        EXPECT_GE(p.m_vPos.y, -1.5f);
        EXPECT_LE(p.m_vPos.y, 1.5001f);
        EXPECT_GE(p.m_vPos.z, 0.0f);
        EXPECT_LE(p.m_vPos.z, 4.0002f);
        EXPECT_EQ(p.m_vAngles.z, 64.0f);
    }
}

TEST(ParticleEmission, LivesFromTheLifeScale) {
    const struct {
        float scale, seconds;
        int32_t frames;
        int16_t life;  // 0: no particle
    } cases[] = {
        {1.0f, 2.0f, 45, 45},        // exactly 1: the frame count, whatever the seconds say
        {0.5f, 1.0f, 45, 15},        //
        {0.5f, 0.1f, 45, 1},         // 30 x 0.05 = 1.5 rounds down
        {0.5f, 0.0f, 45, 0},         //
        {1.0f, 1.0f, -3, 0},         //
        {1.0f, 0.0f, 40000, 32766},  // clamped: the 16-bit age must pass it
        {2.0f, 1000.0f, 0, 32766},
    };
    for (const auto& c : cases) {
        PlainEmitter plain;
        plain.Range(CEmiterParams::LifeScale, c.scale);
        plain.particle->Life = c.seconds;
        plain.particle->LifeFrames = c.frames;
        Emitting run(plain.built);
        EXPECT_TRUE(run.Emit());
        ASSERT_EQ(run.E().m_nCount, c.life > 0 ? 1 : 0) << c.scale << " x " << c.seconds;
        if (c.life > 0) {
            EXPECT_EQ(run.Last().m_nLife, c.life);
        }
    }
}

TEST(ParticleEmission, RandomWordsInTheirOrderAndGroups) {
    for (const int32_t mode : {0, 1, 2}) {
        PlainEmitter plain;
        plain.particle->IndependentRandomB = 1;
        plain.particle->GlobalRandomMode = mode;
        plain.emiter->NoVariation[CEmiterParams::LifeScale / 2] = 0;  // one draw for the life
        Emitting run(plain.built);
        // Global draws so far: the instance seed, the emitter's seed, its shared word.
        Replay global(0);
        for (int i = 0; i < (mode == 2 ? 3 : 2); ++i) global.Next();
        for (int birth = 0; birth < 2; ++birth) {
            Replay stream(run.E().m_iSeed);
            ASSERT_TRUE(run.Emit());
            const uint16_t* w = run.Last().m_awRandom;
            stream.Next();  // the life scale
            const uint16_t a = stream.Next();
            EXPECT_EQ(w[0], a);
            EXPECT_EQ(w[1], a);
            EXPECT_EQ(w[2], a);
            for (int i = 3; i <= 5; ++i) EXPECT_EQ(w[i], stream.Next()) << "word " << i;
            if (mode == 1) {
                const uint16_t g = global.Next();
                for (int i = 6; i <= 8; ++i) EXPECT_EQ(w[i], g) << "word " << i;
            } else if (mode == 2) {
                for (int i = 6; i <= 8; ++i) EXPECT_EQ(w[i], run.E().m_wSharedRandom) << "word " << i;
            } else {
                for (int i = 6; i <= 8; ++i) EXPECT_EQ(w[i], global.Next()) << "word " << i;
            }
            EXPECT_EQ(w[9], global.Next());
            EXPECT_EQ(w[10], stream.Next());
            const uint16_t d = stream.Next();
            for (int i = 11; i <= 13; ++i) EXPECT_EQ(w[i], d) << "word " << i;
            EXPECT_EQ(run.E().m_iSeed, stream.state) << "mode " << mode;
        }
    }
}

TEST(ParticleEmission, SequenceNumbersStartAtARandomCell) {
    const struct {
        float rowScale;
        int32_t rows, cells;
    } cases[] = {{0.25f, 2, 8}, {0.0f, 2, 1}, {1e-30f, 1000, 1}};
    for (const auto& c : cases) {
        PlainEmitter plain;
        plain.particle->AnimMode = 1;
        plain.particle->RandomStartFrame = 1;
        plain.particle->FirstFrame = 0;
        plain.particle->LastFrame = 7;
        plain.particle->AtlasRowScale = c.rowScale;
        plain.particle->AtlasRows = c.rows;
        Emitting run(plain.built);
        Replay second(run.E().m_iSeed2);
        ASSERT_TRUE(run.Emit());
        const int16_t first = static_cast<int16_t>(second.Next() % c.cells);
        EXPECT_EQ(run.Last().m_nSequence, first) << c.rowScale;
        ASSERT_TRUE(run.Emit());
        EXPECT_EQ(run.Last().m_nSequence, first + 1);
        EXPECT_EQ(run.E().m_nNextAnimFrame, first + 2);
    }
}

// The sphere's angles of one birth: azimuth, elevation + 64 (emitter space, no base).
TEST(ParticleEmission, SphereAzimuths) {
    const struct { float from, to, az; } cases[] = {{0, 0, 128}, {200, 200, 72}, {128, 128, 256}};
    for (const auto& c : cases) {
        PlainEmitter plain;
        plain.emiter->EmitShape = CEmiterParams::kShapeSphere;
        plain.emiter->SphereRadius = 5.0f;
        plain.Sizes(1, 1, 1);
        plain.Range(CEmiterParams::AzimuthFrom, c.from);
        plain.Range(CEmiterParams::AzimuthTo, c.to);
        plain.Range(CEmiterParams::ElevationFrom, 10);
        plain.Range(CEmiterParams::ElevationTo, 10);
        Emitting run(plain.built);
        for (int i = 0; i < 5; ++i) {
            ASSERT_TRUE(run.Emit());
            const CParticle& p = run.Last();
            EXPECT_EQ(p.m_vAngles.x, c.az);
            EXPECT_EQ(p.m_vAngles.y, 54.0f);  // the elevation is negated
            const float r = std::sqrt(p.m_vPos.x * p.m_vPos.x + p.m_vPos.y * p.m_vPos.y + p.m_vPos.z * p.m_vPos.z);
            EXPECT_NEAR(r, 5.0f, 1e-4f);
        }
    }
}

TEST(ParticleEmission, SphereElevationsByTheirRange) {
    const float full = 64.0f;
    const struct { float from, to; } ranges[] = {{-64, 64}, {-64, 0}, {0, 64}};
    for (const auto& range : ranges) {
        PlainEmitter plain;
        plain.emiter->EmitShape = CEmiterParams::kShapeSphere;
        plain.Range(CEmiterParams::ElevationFrom, range.from);
        plain.Range(CEmiterParams::ElevationTo, range.to);
        Emitting run(plain.built);
        int positive = 0, negative = 0, level = 0;
        for (int i = 0; i < 200; ++i) {
            Replay stream(run.E().m_iSeed);
            ASSERT_TRUE(run.Emit());
            for (int k = 0; k < 5; ++k) stream.Next();  // four for the words, the azimuth
            const float u = stream.NextFactor();
            float el = static_cast<float>(std::asin(std::fmin(u, 1.0)) * 256.0 / 6.2831854820251465);
            if (range.from == -64 && range.to == 64) {
                if (stream.Next() % 2 == 1) el = -el;
            } else if (range.to == 0) {
                el = -el;
            }
            const float shown = run.Last().m_vAngles.y - full;  // -el after the negation
            EXPECT_NEAR(shown, -el, 1e-4f);
            (el > 0 ? positive : (el < 0 ? negative : level)) += 1;
        }
        if (range.to == 0) {
            EXPECT_EQ(positive, 0);
        } else if (range.from == 0) {
            EXPECT_EQ(negative, 0);
        } else {
            EXPECT_GT(positive, 70);
            EXPECT_GT(negative, 70);
        }
    }
}

TEST(ParticleEmission, TheLargestDrawTakesTheArcsineOfOne) {
    PlainEmitter plain;
    plain.emiter->EmitShape = CEmiterParams::kShapeSphere;
    plain.Range(CEmiterParams::ElevationFrom, 0);
    plain.Range(CEmiterParams::ElevationTo, 64);
    Emitting run(plain.built);
    run.E().m_iSeed = -1464770106;  // its sixth draw, the elevation's, is 32767
    ASSERT_TRUE(run.Emit());
    EXPECT_EQ(run.Last().m_vAngles.y, 0.0f);  // 64 - 64: straight down after the negation
}

TEST(ParticleEmission, WorldSpaceGroundOptions) {
    const struct {
        uint8_t snap, relative;
        int32_t ownMatrix, flags;
        float z;
    } cases[] = {
        {1, 0, 0, 0, 0.1f},    // on the ground, which is 0.1 high
        {0, 0, 0, 0, 7.0f},    // the emitter's height
        {1, 1, 1, 0, 0.0f},    // relative with its own matrix: the offset alone
        {0, 1, 1, 0, 6.9f},    // relative: above the ground by the emitter's height
        {1, 1, 1, 0x1, 0.1f},  // position rows off: not relative
        {0, 1, 0, 0, 7.0f},    // no own matrix: not relative
    };
    for (const auto& c : cases) {
        PlainEmitter plain;
        plain.emiter->SourceKind = 1;
        plain.particle->ParticleSpace = 1;
        plain.particle->SnapToGround = c.snap;
        plain.particle->GroundRelative = c.relative;
        plain.particle->OwnMatrix = c.ownMatrix;
        plain.particle->Flags = c.flags;
        Emitting run(plain.built);
        run.E().m_vPos = ParticleFloat3{3.5f, 4.5f, 7.0f};
        ASSERT_TRUE(run.Emit());
        EXPECT_FLOAT_EQ(run.Last().m_vPos.z, c.z) << int(c.snap) << int(c.relative) << c.ownMatrix << c.flags;
        EXPECT_EQ(run.Last().m_vPos.x, 3.5f);
    }
}

TEST(ParticleEmission, OwnMatricesAndVelocitiesInEmitterSpace) {
    const struct {
        int32_t shape;
        bool matrix;
    } cases[] = {{CEmiterParams::kShapeSphere, true},
                 {CEmiterParams::kShapeBox, true},
                 {CEmiterParams::kShapeRectangle, false},
                 {CEmiterParams::kShapePoint, false}};
    for (const auto& c : cases) {
        for (const int32_t own : {0, 1}) {
            PlainEmitter plain;
            plain.emiter->EmitShape = c.shape;
            plain.emiter->BoxFaceMask = 1;  // the top, turned by nothing
            plain.Sizes(2, 2, 2);
            plain.particle->OwnMatrix = own;
            plain.particle->StartSpeed = 60.0f;  // 2 per step
            Emitting run(plain.built);
            ASSERT_TRUE(run.Emit());
            const CParticle& p = run.Last();
            if (own == 0) {
                EXPECT_EQ(p.m_pMatrix, nullptr);
                EXPECT_EQ(p.m_fSpeedScale, 0.0f);
                const float speed = std::sqrt(p.m_vVelocity.x * p.m_vVelocity.x + p.m_vVelocity.y * p.m_vVelocity.y +
                                              p.m_vVelocity.z * p.m_vVelocity.z);
                EXPECT_NEAR(speed, 2.0f, 1e-5f) << "shape " << c.shape;
                if (c.shape != CEmiterParams::kShapeSphere) {
                    EXPECT_FLOAT_EQ(p.m_vVelocity.z, 2.0f);
                }
            } else {
                EXPECT_EQ(p.m_pMatrix != nullptr, c.matrix) << "shape " << c.shape;
                EXPECT_EQ(p.m_bLocalMatrix, c.matrix ? 1 : 0);
                EXPECT_EQ(p.m_fSpeedScale, 1.0f);
                EXPECT_EQ(p.m_vVelocity.x, 0.0f);
                EXPECT_EQ(p.m_vVelocity.z, 0.0f);
            }
        }
    }
}

TEST(ParticleEmission, ExtraVelocityAndAnglesFromIt) {
    PlainEmitter plain;
    plain.particle->ExtraVelocityX = 90.0f;  // 3 per step
    plain.particle->ExtraVelocityZ = -90.0f;
    plain.particle->YawFromVelocity = 1;
    plain.particle->PitchFromVelocity = 1;
    plain.particle->RollFromTrack = 1;
    Emitting run(plain.built);
    ASSERT_TRUE(run.Emit());
    const CParticle& p = run.Last();
    EXPECT_FLOAT_EQ(p.m_vVelocity.x, 3.0f);
    EXPECT_FLOAT_EQ(p.m_vVelocity.z, -3.0f);
    EXPECT_EQ(p.m_vAngles.x, 64.0f);   // heading +x
    EXPECT_EQ(p.m_vAngles.y, 224.0f);  // 45 degrees down
    EXPECT_EQ(p.m_vAngles.z, 0.0f);
}

TEST(ParticleEmission, ShapesOutsideTheFourPlaceNothing) {
    PlainEmitter plain;
    plain.emiter->EmitShape = 7;
    plain.particle->StartSpeed = 60.0f;
    Emitting run(plain.built);
    const int32_t seed = run.E().m_iSeed;
    ASSERT_TRUE(run.Emit());
    const CParticle& p = run.Last();
    EXPECT_EQ(p.m_vPos.x, 0.0f);
    EXPECT_EQ(p.m_vPos.z, 0.0f);
    EXPECT_EQ(p.m_vAngles.y, 0.0f);
    EXPECT_EQ(p.m_vVelocity.y, 0.0f);
    EXPECT_EQ(p.m_vVelocity.z, 0.0f);
    Replay stream(seed);
    for (int i = 0; i < 4; ++i) stream.Next();  // three words of each triple, one of word 10
    EXPECT_EQ(run.E().m_iSeed, stream.state);
}

TEST(ParticleEmission, CountPeakAndTheLimit) {
    PlainEmitter plain;
    plain.particle->LifeFrames = 2;
    Emitting run(plain.built);
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(run.Emit());
    EXPECT_EQ(run.E().m_nCount, 1000);
    EXPECT_EQ(run.E().m_nPeak, 1000);
    for (int step = 0; step < 4; ++step) run.E().AdvanceParticles(run.s.instance);
    EXPECT_EQ(run.E().m_nCount, 0);
    EXPECT_EQ(run.E().m_pFirst, nullptr);
    EXPECT_EQ(run.E().m_pLast, nullptr);
    EXPECT_EQ(run.E().m_nPeak, 1000);
    EXPECT_EQ(run.E().m_nNextAnimFrame, 0);

    for (int i = 0; i < CEmiter::kMaxParticles + 3; ++i) run.Emit();
    EXPECT_EQ(run.E().m_nCount, CEmiter::kMaxParticles);
    int listed = 0;
    for (const CParticle* p = run.E().m_pFirst; p != nullptr; p = p->m_pNext) ++listed;
    EXPECT_EQ(listed, CEmiter::kMaxParticles);
}

}  // namespace
