// The emitted-light slots: 32 per frame, reused from frame to frame, freed by
// the purge at view release.
#include "particles/ParticleLightSlots.h"

#include <gtest/gtest.h>

#include "particles/CSEntityLight.h"
#include "particles/ParticleEffectCache.h"
#include "particles/ParticleFrameState.h"

namespace {

// Only its address is read.
const CParticlesEmiter* const kEmitters = reinterpret_cast<const CParticlesEmiter*>(0x40);
const float kValues[6] = {};

void Light(const CParticlesEmiter* emitters, float x) {
    const float matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, 2, 3, 1};
    AddParticleLight(emitters, matrix, 1.0f, 0.5f, 0.25f, 10.0f, 0, kValues);
}

class ParticleLightSlotsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReleaseParticleLights();
        BeginParticleShakeFrame(true);
    }
    void TearDown() override { ReleaseParticleLights(); }
};

TEST_F(ParticleLightSlotsTest, ThirtyTwoLightsAFrameInSlotsKeptForTheNext) {
    for (int i = 0; i < 40; ++i) Light(kEmitters, float(i));
    EXPECT_EQ(GetParticleLightCount(), 32);
    CSEntityLight* made[kParticleLightSlots];
    for (int i = 0; i < kParticleLightSlots; ++i) {
        made[i] = GetParticleLightSlot(i);
        ASSERT_NE(made[i], nullptr) << i;
        EXPECT_EQ(made[i]->GetEntityType(), CSEntity::kTypeLight);
        EXPECT_EQ(made[i]->GetNodeMatrix().m[12], float(i)) << i;  // the last 8 changed nothing
    }

    // The next frame starts at slot 0 with the same entities; a null emitter set places nothing.
    BeginParticleShakeFrame(true);
    EXPECT_EQ(GetParticleLightCount(), 0);
    Light(nullptr, 99.0f);
    Light(kEmitters, 50.0f);
    EXPECT_EQ(GetParticleLightCount(), 1);
    EXPECT_EQ(GetParticleLightSlot(0), made[0]);
    EXPECT_EQ(GetParticleLightSlot(0)->GetNodeMatrix().m[12], 50.0f);
    EXPECT_EQ(GetParticleLightSlot(0)->GetPositionMatrix().m[13], 2.0f);
}

TEST_F(ParticleLightSlotsTest, ThePurgeEmptiesEverySlotAndTheNextLightRefillsSlotZero) {
    for (int i = 0; i < 3; ++i) Light(kEmitters, float(i));
    PurgeParticleCaches();
    for (int i = 0; i < kParticleLightSlots; ++i) EXPECT_EQ(GetParticleLightSlot(i), nullptr) << i;
    BeginParticleShakeFrame(true);
    Light(kEmitters, 7.0f);
    ASSERT_NE(GetParticleLightSlot(0), nullptr);
    EXPECT_EQ(GetParticleLightSlot(0)->GetNodeMatrix().m[12], 7.0f);
    EXPECT_EQ(GetParticleLightSlot(1), nullptr);
}

}  // namespace
