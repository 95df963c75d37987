#include "particles/ParticleHelpers.h"

#include <utility>

#include "particles/CParticlesMesh.h"
#include "particles/CSMaskImage.h"

ParticleWindPair ParticleWind;

int32_t ClampInt(int32_t v, int32_t lo, int32_t hi) {
    if (v < lo) return lo;
    if (v > hi) return hi;
    return v;
}

float SortedWeightedSum3(const float& a, const float& b, const float& c) {
    float low = a, mid = b, high = c;
    if (low > mid) std::swap(low, mid);
    if (mid > high) std::swap(mid, high);
    if (low > mid) std::swap(low, mid);
    return high + mid / 2.0f + low / 4.0f;
}

int32_t MinInt(int32_t a, int32_t b) { return a < b ? a : b; }

int32_t MaxPlusHalfMin(const int32_t& a, const int32_t& b) {
    // Two large distances overflow 32 bits: summed in 64, the result saturates.
    const int64_t wa = a, wb = b;
    const int64_t sum = wa > wb ? wa + wb / 2 : wb + wa / 2;
    return static_cast<int32_t>(sum > INT32_MAX ? INT32_MAX : (sum < INT32_MIN ? INT32_MIN : sum));
}

int32_t HorizontalDistance(int64_t dx, int64_t dy) {
    auto magnitude = [](int64_t v) {
        return static_cast<int32_t>(v >= INT32_MAX || v <= -INT32_MAX ? INT32_MAX : (v < 0 ? -v : v));
    };
    return MaxPlusHalfMin(magnitude(dx), magnitude(dy));
}

void ReleaseMaskImage(CSMaskImage*& holder) {
    if (holder == nullptr) return;
    holder->Release();
    holder = nullptr;
}

void AssignEffect(CParticlesMesh*& holder, CParticlesMesh* effect) {
    if (holder != nullptr) holder->Release();
    holder = effect;
}

int32_t TruncToInt32(double value) {
    if (!(value == value)) return 0;
    if (value <= -2147483648.0) return INT32_MIN;
    if (value >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(value);
}

int16_t ClampToInt16(int64_t value) {
    return static_cast<int16_t>(value < INT16_MIN ? INT16_MIN : (value > INT16_MAX ? INT16_MAX : value));
}

CSArray<int32_t>& PeakScratch() {
    static CSArray<int32_t> scratch;
    return scratch;
}

void ClearPeakScratch() { PeakScratch().Reset(); }
