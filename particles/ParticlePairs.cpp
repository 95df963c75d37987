#include "particles/ParticlePairs.h"

#include "particles/CEmiter.h"
#include "particles/CEmiterParams.h"
#include "particles/CParticleParams.h"
#include "particles/ParticleRandom.h"

namespace {

// The no-variation flag of the particle pair whose base row is `row`, or -1.
int32_t ParticleFlagOf(int32_t row) {
    for (int32_t i = 0; i < CParticleParams::kLockCount; ++i)
        if (CParticleParams::kNoVariationRows[i] == row) return i;
    return -1;
}

}  // namespace

float EmiterPairValue(const CEmiterParams& params, int32_t pair, int32_t key, uint16_t word) {
    const float base = params.GetTrackKey(2 * pair, key);
    if (params.NoVariation[pair] != 0) return base;
    const double variation = params.GetTrackKey(2 * pair + 1, key);
    return static_cast<float>(base + static_cast<double>(UnpackKeyValue(word)) * variation);
}

bool EmiterPairsFixed(const CEmiterParams& params, int32_t first, int32_t count) {
    for (int32_t p = first; p < first + count; ++p)
        if (params.NoVariation[p] == 0) return false;
    return true;
}

float ParticlePairValue(const CParticleParams& params, int32_t row, int32_t t, int32_t n, uint16_t word) {
    const float base = params.SampleTrack(row, t, n);
    const int32_t flag = ParticleFlagOf(row);
    if (flag >= 0 && params.NoVariation[flag] != 0) return base;
    const double variation = params.SampleTrack(row + 1, t, n);
    return static_cast<float>(base + static_cast<double>(UnpackKeyValue(word)) * variation);
}

void DrawWords(CEmiter& emitter, uint16_t* words, int32_t count, bool independent) {
    if (independent) {
        for (int32_t i = 0; i < count; ++i) words[i] = static_cast<uint16_t>(ParticleRandom(emitter));
        return;
    }
    const uint16_t shared = static_cast<uint16_t>(ParticleRandom(emitter));
    for (int32_t i = 0; i < count; ++i) words[i] = shared;
}

void DrawPairWords(CEmiter& emitter, const CEmiterParams& params, uint16_t* words, int32_t first, int32_t count,
                   bool independent) {
    if (EmiterPairsFixed(params, first, count)) {
        for (int32_t i = 0; i < count; ++i) words[i] = 0;
        return;
    }
    DrawWords(emitter, words, count, independent);
}
