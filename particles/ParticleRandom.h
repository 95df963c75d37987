#pragma once
// The simulation's only randomness: one global stream and two streams per running
// emitter, each the linear congruential step x <- x * 214013 + 2531011 on 32 bits
// with results (x >> 16) & 0x7fff. The global stream starts at 0 and is never seeded
// from the clock, so every run replays the same sequence.
#include <cstdint>

class CEmiter;

// One step of the global stream, 0..32767.
int32_t ParticleSeed();
// One step of the emitter's first stream (m_iSeed).
int32_t ParticleRandom(CEmiter& emitter);
// One step of the emitter's second stream (m_iSeed2).
int32_t ParticleRandom2(CEmiter& emitter);
// One step of a stream whose state is `state`.
int32_t ParticleStreamStep(int32_t& state);

// The global stream back at its start. Tests and traces only: the game never calls it.
void ResetParticleSeed();

// The word read as signed 16-bit over 32766, rounded to float: 0 gives 0, 16383 gives
// 0.5, 32767 gives 1.0000305, 0xffff gives -1/32766.
float UnpackKeyValue(uint16_t word);
