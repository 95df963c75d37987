#include "particles/CSAngle.h"

#include <cmath>

namespace {
const double kPi = 3.141592653589793;
const double kStep256 = 0.02454369328916073;  // 2*pi/256 with 2*pi in single precision

// The parabola approximation of the sine of angle n (0..255), in double with a single
// rounding at each of the stated points.
float ParabolaSin256(uint32_t n) {
    float x = static_cast<float>((128.0 - static_cast<double>(n)) * kStep256);
    double dx = x;
    float y = static_cast<float>(1.2732394933700562 * dx + (-0.40528473258018494) * dx * std::fabs(dx));
    double dy = y;
    return static_cast<float>(dy + 0.2224999964237213 * (dy * std::fabs(dy) - dy));
}
}  // namespace

float CSAngleFromSinCos(float s, float c) {
    const float kLimit = 0.999f;
    if (s < -kLimit) s = -kLimit;
    if (s > kLimit) s = kLimit;
    if (c < -kLimit) c = -kLimit;
    if (c > kLimit) c = kLimit;
    float r = static_cast<float>(std::asin(static_cast<double>(s)));
    if (c < 0.0f) {
        if (s < 0.00001f) r = static_cast<float>(-kPi - r);
        else r = static_cast<float>(kPi - r);
    }
    return r;
}

void FastSinCos256(int32_t a, float& s, float& c) {
    // Only the low eight bits matter; unsigned arithmetic keeps any int32 in range.
    uint32_t n = static_cast<uint32_t>(a) & 255u;
    uint32_t nc = (n + 64u) & 255u;
    s = ParabolaSin256(n);
    c = ParabolaSin256(nc);
}
