#pragma once
// Running effects for the particle tests: effects built in code, written with
// PrtWriter and read back as the game reads them, and particles appended by hand.
#include <gtest/gtest.h>

#include <string>

#include "EffectFixtures.h"
#include "particles/CEmiter.h"
#include "particles/CEmiterParams.h"
#include "particles/CParticle.h"
#include "particles/CParticleParams.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CParticlesMesh.h"
#include "particles/CSMatrix.h"
#include "particles/ParticleRandom.h"
#include "support/ScratchFolder.h"

namespace runfixtures {

// `built` written in format version 5 and read back.
class WrittenEffect {
public:
    explicit WrittenEffect(const CParticlesMesh& built) {
        const std::string path = effectfixtures::WriteEffect(folder_, "effect.prt", built, 5);
        EXPECT_TRUE(effectfixtures::ReadEffect(path, effect).ok);
    }
    WrittenEffect(const WrittenEffect&) = delete;
    WrittenEffect& operator=(const WrittenEffect&) = delete;

    CParticlesMesh effect;

private:
    ScratchFolder folder_;
};

// An instance set up on the written effect after the reset of the global stream.
struct SetUpInstance {
    explicit SetUpInstance(const CParticlesMesh& built) : written(built) {
        ResetParticleSeed();
        instance.Setup(nullptr, &written.effect);
    }
    CParticlesMesh& Effect() { return written.effect; }
    CEmiter& Emitter(size_t i) { return instance.m_arrEmiters.at(i); }

    WrittenEffect written;
    CParticlesEmiter instance;
};

// The draws of a stream, replayed from its state.
struct Replay {
    explicit Replay(int32_t seed) : state(seed) {}
    uint16_t Next() { return static_cast<uint16_t>(ParticleStreamStep(state)); }
    float NextFactor() { return UnpackKeyValue(Next()); }
    int32_t state;
};

// One emitter block, one particle block and an entry pairing them.
struct OneEmitter {
    CParticlesMesh built;
    CEmiterParams* emiter;
    CParticleParams* particle;
    CParticleEmiterParams* entry;
    OneEmitter() {
        emiter = effectfixtures::Add(built.m_arrEmiterParams);
        particle = effectfixtures::Add(built.m_arrParticleParams);
        entry = effectfixtures::AddEntry(built, "one", 0, 0);
    }
};

// An effect whose one emitter makes a plain particle per call: no pair varies, scales
// 1, a life of 30 steps, the point shape, a sprite kind.
struct PlainEmitter : OneEmitter {
    PlainEmitter() {
        for (uint8_t& flag : emiter->NoVariation) flag = 1;
        effectfixtures::SetConstant(emiter->Tracks[CEmiterParams::LifeScale], 1.0f);
        effectfixtures::SetConstant(emiter->Tracks[CEmiterParams::SpeedScale], 1.0f);
        effectfixtures::SetConstant(emiter->Tracks[CEmiterParams::SizeScale], 1.0f);
        emiter->EmitShape = CEmiterParams::kShapePoint;
        particle->Life = 1.0f;
        particle->LifeFrames = 30;
        particle->ParticleKind = 1;
    }
    void Sizes(float x, float y, float z) {
        effectfixtures::SetConstant(emiter->Tracks[CEmiterParams::ShapeSizeX], x);
        effectfixtures::SetConstant(emiter->Tracks[CEmiterParams::ShapeSizeY], y);
        effectfixtures::SetConstant(emiter->Tracks[CEmiterParams::ShapeSizeZ], z);
    }
    void Range(CEmiterParams::Row row, float value) { effectfixtures::SetConstant(emiter->Tracks[row], value); }
};

// A particle appended at the tail of the emitter's list, its age and position marked.
inline CParticle* AppendParticle(CEmiter& emitter, int16_t age, bool withMatrix = false) {
    CParticle* particle = new CParticle();
    particle->m_nAge = age;
    particle->m_vPos.x = age * 2.0f;
    if (withMatrix) {
        particle->m_pMatrix = new CSMatrix();
        particle->m_pMatrix->m[12] = age;
    }
    if (emitter.m_pLast == nullptr) emitter.m_pFirst = particle;
    else emitter.m_pLast->m_pNext = particle;
    emitter.m_pLast = particle;
    ++emitter.m_nCount;
    return particle;
}

// A particle the renderer shows: life 30, at (x, y, z), untinted, scales 1, its
// serial the emitter's count before it.
inline CParticle* PlaceParticle(CEmiter& emitter, float x, float y, float z, int16_t age = 0) {
    CParticle* p = AppendParticle(emitter, age);
    p->m_nLife = 30;
    p->m_vPos = ParticleFloat3{x, y, z};
    p->m_fSizeScale = 1.0f;
    p->m_fSpeedScale = 1.0f;
    p->m_dwColor = 0xFFFFFFFFu;
    p->m_nSequence = static_cast<int16_t>(emitter.m_nCount - 1);
    return p;
}

// An emitter holding `count` particles (ages base, base + 1 ...), the first with a
// matrix, a matrix of its own (translation x = base) and a face table.
inline void FillEmitter(CEmiter& emitter, int16_t base, int count) {
    for (int i = 0; i < count; ++i) AppendParticle(emitter, static_cast<int16_t>(base + i), i == 0);
    emitter.m_pMatrix = new CSMatrix();
    emitter.m_pMatrix->m[12] = base;
    emitter.m_pFaceTable = new int16_t[kBoxFaceCount];
    for (int f = 0; f < kBoxFaceCount; ++f) emitter.m_pFaceTable[f] = static_cast<int16_t>(base + f);
}

// What FillEmitter put there, walked through the list.
inline ::testing::AssertionResult HoldsFill(const CEmiter& emitter, int16_t base, int count) {
    if (emitter.m_nCount != count) return ::testing::AssertionFailure() << "count " << emitter.m_nCount;
    const CParticle* last = nullptr;
    int i = 0;
    for (const CParticle* p = emitter.m_pFirst; p != nullptr; p = p->m_pNext, ++i) {
        if (p->m_nAge != base + i || p->m_vPos.x != (base + i) * 2.0f)
            return ::testing::AssertionFailure() << "particle " << i << " has age " << p->m_nAge;
        if ((i == 0) != (p->m_pMatrix != nullptr) || (p->m_pMatrix != nullptr && p->m_pMatrix->m[12] != base + i))
            return ::testing::AssertionFailure() << "particle " << i << " matrix";
        last = p;
    }
    if (i != count || emitter.m_pLast != last) return ::testing::AssertionFailure() << "list of " << i << " particles";
    if (emitter.m_pMatrix == nullptr || emitter.m_pMatrix->m[12] != base)
        return ::testing::AssertionFailure() << "emitter matrix";
    for (int f = 0; f < kBoxFaceCount; ++f)
        if (emitter.m_pFaceTable == nullptr || emitter.m_pFaceTable[f] != base + f)
            return ::testing::AssertionFailure() << "face table";
    return ::testing::AssertionSuccess();
}

}  // namespace runfixtures
