#pragma once
// Small operations of the particle simulation and its module-wide peak scratch list.
#include <cstdint>

#include "particles/CSArray.h"

class CParticlesMesh;
class CSMaskImage;

// lo when v < lo, else hi when v > hi, else v.
int32_t ClampInt(int32_t v, int32_t lo, int32_t hi);
// largest + middle / 2 + smallest / 4.
float SortedWeightedSum3(const float& a, const float& b, const float& c);
int32_t MinInt(int32_t a, int32_t b);
// The larger plus half the smaller (integer halving), saturating at the int32 limits.
int32_t MaxPlusHalfMin(const int32_t& a, const int32_t& b);
// The horizontal distance the elevation angles take: MaxPlusHalfMin of |dx| and |dy|,
// each magnitude held to INT32_MAX. Never negative.
int32_t HorizontalDistance(int64_t dx, int64_t dy);

// Releases the mask image the holder points at, when there is one, and empties the holder.
void ReleaseMaskImage(CSMaskImage*& holder);
// Releases the effect the holder held and stores `effect` without taking a reference.
void AssignEffect(CParticlesMesh*& holder, CParticlesMesh* effect);

// The wind that drifts particles by their WindFactor; still (0, 0) from the start,
// since nothing in the game blows it.
struct ParticleWindPair {
    float x = 0.0f;
    float y = 0.0f;
};
extern ParticleWindPair ParticleWind;

// Truncation toward zero to int32 of a coordinate; values beyond the range (and NaN,
// as 0) saturate instead of being undefined.
int32_t TruncToInt32(double value);
// A frame count held in 16 bits: clamped into -32768..32767.
int16_t ClampToInt16(int64_t value);

// The list set-up carries emitter peaks through while it rebuilds an instance's
// emitters (grow step 16); empty between set-ups, its buffer freed at exit.
CSArray<int32_t>& PeakScratch();
// Count 0; the buffer stays.
void ClearPeakScratch();
