#include "particles/ParticleLightSlots.h"

#include "particles/CSEntityLight.h"

namespace {
CSEntityLight* g_slots[kParticleLightSlots] = {};
int32_t g_count = 0;
}  // namespace

void AddParticleLight(const CParticlesEmiter* emitters, const float matrix[16], float /*red*/, float /*green*/,
                      float /*blue*/, float /*range*/, uint32_t /*flags*/, const float* /*values*/) {
    if (emitters == nullptr || g_count > kParticleLightSlots - 1) return;
    CSEntityLight*& light = g_slots[g_count];
    if (light == nullptr) light = new CSEntityLight;
    light->SetNodeMatrix(matrix);
    light->Hook0();
    light->Hook1();
    light->Hook2();
    ++g_count;
}

int32_t GetParticleLightCount() { return g_count; }

void ResetParticleLightCount() { g_count = 0; }

CSEntityLight* GetParticleLightSlot(int32_t slot) {
    return slot >= 0 && slot < kParticleLightSlots ? g_slots[slot] : nullptr;
}

void ReleaseParticleLights() {
    for (CSEntityLight*& light : g_slots) {
        delete light;
        light = nullptr;
    }
}
