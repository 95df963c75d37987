#include "particles/ParticleRandom.h"

#include "particles/CEmiter.h"

namespace {
uint32_t g_GlobalSeed = 0;
}  // namespace

int32_t ParticleStreamStep(int32_t& state) {
    const uint32_t next = static_cast<uint32_t>(state) * 214013u + 2531011u;
    state = static_cast<int32_t>(next);
    return static_cast<int32_t>((next >> 16) & 0x7fffu);
}

int32_t ParticleSeed() {
    g_GlobalSeed = g_GlobalSeed * 214013u + 2531011u;
    return static_cast<int32_t>((g_GlobalSeed >> 16) & 0x7fffu);
}

int32_t ParticleRandom(CEmiter& emitter) { return ParticleStreamStep(emitter.m_iSeed); }

int32_t ParticleRandom2(CEmiter& emitter) { return ParticleStreamStep(emitter.m_iSeed2); }

void ResetParticleSeed() { g_GlobalSeed = 0; }

float UnpackKeyValue(uint16_t word) { return static_cast<float>(static_cast<int16_t>(word) / 32766.0); }
