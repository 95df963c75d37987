#pragma once
// The particle library's step rates: the simulation steps at 30 steps per second, and
// durations of effect files (seconds) become step counts here.
#include <cstdint>

float GetParticleTickRate();
float GetParticleBaseRate();
// Stores the configured rate and the double-rate byte, and a tick rate of twice the
// rate when the byte is set. Nothing in the game calls it: every rate stays 30.
void SetParticleStepRate(float rate, bool doubleRate);

// tick rate x seconds as a float, truncated toward zero, plus 1 when the dropped
// fraction is above 0.5 (0.05 s gives 1 frame, 0.06 s gives 2).
int32_t SecondsToFrames(float seconds);
// The frame count a file stores, unchanged.
int32_t StoredFrameCount(float seconds, int32_t frames);
