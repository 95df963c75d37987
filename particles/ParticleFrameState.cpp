#include "particles/ParticleFrameState.h"

#include "particles/ParticleLightSlots.h"

ParticleFacingAnglesState ParticleFacingAngles;
ParticleDrawCountersState ParticleDrawCounters;

void SetParticleFacingAngles(float a, float b) {
    ParticleFacingAngles.yaw = static_cast<uint8_t>(static_cast<int32_t>(a) + 128);
    ParticleFacingAngles.pitch = static_cast<uint8_t>(-static_cast<int32_t>(b));
}

void BeginParticleShakeFrame(bool /*clearTracker*/) { ResetParticleLightCount(); }
