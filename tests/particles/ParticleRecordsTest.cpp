// The running effect's records: an instance owns its emitters by value, an emitter
// its matrix, face table and particles. Moves inside the array hand the blocks over
// (the sanitized build reports any block freed twice or lost), copies are deep.
#include <gtest/gtest.h>

#include "RunningEffectFixtures.h"
#include "particles/CParticlesEmiter.h"

namespace {

using runfixtures::FillEmitter;
using runfixtures::HoldsFill;

TEST(ParticleRecords, NewInstanceIsEmptyAndReleasesNothing) {
    CParticlesMesh effect;
    {
        CParticlesEmiter instance;
        EXPECT_EQ(instance.m_wFlags, 0);
        EXPECT_EQ(instance.m_pMesh, nullptr);
        EXPECT_EQ(instance.m_pHost, nullptr);
        EXPECT_FALSE(instance.HasEmiters());
        CEmiter emitter;
        EXPECT_EQ(emitter.m_wFlags, 0);
        EXPECT_EQ(emitter.m_nLink, -1);
        EXPECT_EQ(emitter.m_nPeak, 0);
        EXPECT_EQ(emitter.m_pFirst, nullptr);
    }
    EXPECT_EQ(effect.GetRefCount(), 1);
}

TEST(ParticleRecords, ErasingFromTheMiddleKeepsTheRecordsBehind) {
    CParticlesEmiter instance;
    instance.m_arrEmiters.resize(4);
    for (int i = 0; i < 4; ++i) FillEmitter(instance.m_arrEmiters[i], static_cast<int16_t>(100 * i), 3 + i);
    instance.m_arrEmiters.erase(instance.m_arrEmiters.begin() + 1);
    ASSERT_EQ(instance.m_arrEmiters.size(), 3u);
    EXPECT_TRUE(HoldsFill(instance.m_arrEmiters[0], 0, 3));
    EXPECT_TRUE(HoldsFill(instance.m_arrEmiters[1], 200, 5));
    EXPECT_TRUE(HoldsFill(instance.m_arrEmiters[2], 300, 6));
    // The moved-from record at the end was destroyed without its (handed-over) blocks.
    instance.m_arrEmiters.erase(instance.m_arrEmiters.begin());
    EXPECT_TRUE(HoldsFill(instance.m_arrEmiters[0], 200, 5));
}

TEST(ParticleRecords, GrowingKeepsParticlesMatricesAndFaceTables) {
    CParticlesEmiter instance;
    instance.m_arrEmiters.resize(2);
    instance.m_arrEmiters.shrink_to_fit();  // sized exactly, as after a set-up
    FillEmitter(instance.m_arrEmiters[0], 10, 4);
    FillEmitter(instance.m_arrEmiters[1], 20, 2);
    const CParticle* head = instance.m_arrEmiters[0].m_pFirst;
    for (int batch = 0; batch < 5; ++batch) instance.m_arrEmiters.resize(instance.m_arrEmiters.size() + 3);
    EXPECT_TRUE(HoldsFill(instance.m_arrEmiters[0], 10, 4));
    EXPECT_TRUE(HoldsFill(instance.m_arrEmiters[1], 20, 2));
    EXPECT_EQ(instance.m_arrEmiters[0].m_pFirst, head);  // handed over, not copied
    FillEmitter(instance.m_arrEmiters.back(), 30, 1);
}

TEST(ParticleRecords, CopyFromIsDeep) {
    CEmiter copy;
    FillEmitter(copy, 90, 2);  // replaced by the copy
    {
        CEmiter source;
        FillEmitter(source, 40, 5);
        source.m_nPeak = 7;
        source.m_fEmitAccu = 0.25f;
        source.m_nNextAnimFrame = 3;
        source.m_awRandom[11] = 1234;
        copy.CopyFrom(source);
        EXPECT_NE(copy.m_pMatrix, source.m_pMatrix);
        EXPECT_NE(copy.m_pFaceTable, source.m_pFaceTable);
        EXPECT_NE(copy.m_pFirst, source.m_pFirst);
        EXPECT_NE(copy.m_pFirst->m_pMatrix, source.m_pFirst->m_pMatrix);
    }
    EXPECT_TRUE(HoldsFill(copy, 40, 5));
    EXPECT_EQ(copy.m_nPeak, 7);
    EXPECT_EQ(copy.m_fEmitAccu, 0.25f);
    EXPECT_EQ(copy.m_nNextAnimFrame, 3);
    EXPECT_EQ(copy.m_awRandom[11], 1234);

    CEmiter empty;
    copy.CopyFrom(empty);  // no blocks, no particles
    EXPECT_EQ(copy.m_pMatrix, nullptr);
    EXPECT_EQ(copy.m_pFaceTable, nullptr);
    EXPECT_EQ(copy.m_pFirst, nullptr);
    EXPECT_EQ(copy.m_nCount, 0);
}

TEST(ParticleRecords, ParticleCopyHasItsOwnMatrixAndNoLink) {
    CEmiter emitter;
    CParticle* a = runfixtures::AppendParticle(emitter, 5, true);
    runfixtures::AppendParticle(emitter, 6);
    a->m_awRandom[13] = 77;
    a->m_dwColor = 0xFFFFFFFFu;
    CParticle copy;
    copy.CopyFrom(*a);
    EXPECT_EQ(copy.m_pNext, nullptr);
    ASSERT_NE(copy.m_pMatrix, nullptr);
    EXPECT_NE(copy.m_pMatrix, a->m_pMatrix);
    EXPECT_EQ(copy.m_pMatrix->m[12], 5.0f);
    EXPECT_EQ(copy.m_awRandom[13], 77);
    EXPECT_EQ(copy.m_dwColor, 0xFFFFFFFFu);
    copy.CopyFrom(*a->m_pNext);  // a source without matrix frees the copy's
    EXPECT_EQ(copy.m_pMatrix, nullptr);
    EXPECT_EQ(copy.m_nAge, 6);
}

TEST(ParticleRecords, InstanceCopyTakesItsOwnReferenceAndEmitters) {
    CParticlesMesh effect;
    CParticlesMesh other;
    CParticlesEmiter copy;
    copy.Setup(nullptr, &other);
    {
        CParticlesEmiter source;
        source.Setup(nullptr, &effect);
        source.m_wFlags = 0x1234;
        source.m_iFrame = 77;
        source.m_vSpare[2] = 1.5f;
        source.m_abAngles[1] = 9;
        source.m_fHeight = 2.0f;
        source.m_arrEmiters.resize(2);
        FillEmitter(source.m_arrEmiters[1], 60, 3);
        copy.CopyFrom(source);
        EXPECT_EQ(effect.GetRefCount(), 3);
        EXPECT_EQ(other.GetRefCount(), 1);
    }
    EXPECT_EQ(effect.GetRefCount(), 2);
    EXPECT_EQ(copy.m_pMesh, &effect);
    EXPECT_EQ(copy.m_wFlags, 0x1234);
    EXPECT_EQ(copy.m_iFrame, 77);
    EXPECT_EQ(copy.m_vSpare[2], 1.5f);
    EXPECT_EQ(copy.m_abAngles[1], 9);
    EXPECT_EQ(copy.m_fHeight, 2.0f);
    EXPECT_EQ(copy.m_iSpare2, -1);
    ASSERT_EQ(copy.m_arrEmiters.size(), 2u);
    EXPECT_TRUE(HoldsFill(copy.m_arrEmiters[1], 60, 3));
}

}  // namespace
