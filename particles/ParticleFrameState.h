#pragma once
// What the particle renderer keeps from frame to frame besides the batches:
// the facing angles the camera set-up stores for emitter frames that face the
// camera, and the counts of particles visited, which feed the detail level.
#include <cstdint>

// Yaw and pitch in 256ths of a turn.
struct ParticleFacingAnglesState {
    uint8_t yaw = 0;
    uint8_t pitch = 0;
};
extern ParticleFacingAnglesState ParticleFacingAngles;

// Particles visited this frame by effects with a host and by effects without;
// the third count belongs to a draw mode nothing uses. The detail level reads
// and clears them once a frame.
struct ParticleDrawCountersState {
    int32_t hosted = 0;
    int32_t unhosted = 0;
    int32_t other = 0;
};
extern ParticleDrawCountersState ParticleDrawCounters;

// yaw = a truncated + 128, pitch = -b truncated, both wrapping to a byte.
void SetParticleFacingAngles(float a, float b);

// Starts the frame's light count at 0. No shake tracker is kept (nothing would
// read it), so there is nothing more to clear whatever the argument.
void BeginParticleShakeFrame(bool clearTracker);
