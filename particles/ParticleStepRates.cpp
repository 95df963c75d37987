#include "particles/ParticleStepRates.h"

#include <cstdint>

namespace {
float g_ConfiguredRate = 30.0f;
float g_TickRate = 30.0f;
float g_BaseRate = 30.0f;
uint8_t g_DoubleRate = 0;
}  // namespace

float GetParticleTickRate() { return g_TickRate; }

float GetParticleBaseRate() { return g_BaseRate; }

void SetParticleStepRate(float rate, bool doubleRate) {
    g_ConfiguredRate = rate;
    g_DoubleRate = doubleRate ? 1 : 0;
    g_TickRate = g_DoubleRate != 0 ? 2.0f * g_ConfiguredRate : g_ConfiguredRate;
}

int32_t SecondsToFrames(float seconds) {
    const float a = g_TickRate * seconds;
    // Beyond the 32-bit range (or not a number) the truncation has no value: clamp.
    if (!(a > -2147483648.0f && a < 2147483648.0f)) return a > 0.0f ? INT32_MAX : (a < 0.0f ? INT32_MIN : 0);
    const int32_t b = static_cast<int32_t>(a);
    return a - static_cast<float>(b) > 0.5f ? b + 1 : b;
}

int32_t StoredFrameCount(float /*seconds*/, int32_t frames) { return frames; }
