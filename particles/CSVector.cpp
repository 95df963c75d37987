#include "particles/CSVector.h"

#include <cmath>

void CSVector4::SetFromARGB(uint32_t colour) {
    x = static_cast<float>(static_cast<double>((colour >> 16) & 255u) / 255.0);
    y = static_cast<float>(static_cast<double>((colour >> 8) & 255u) / 255.0);
    z = static_cast<float>(static_cast<double>(colour & 255u) / 255.0);
    w = static_cast<float>(static_cast<double>((colour >> 24) & 255u) / 255.0);
}

float CSVector2::Length() const {
    float q = x * x + y * y;
    if (std::isnan(q)) return q;
    return q > CSLane::kLengthEpsilon ? std::sqrt(q) : 0.0f;
}

CSVector4 CSVector4SinApprox(CSVector4 a) {
    const CSVector4 c1 = CSVector4::Splat(-0.1665218621492386f);
    const CSVector4 c2 = CSVector4::Splat(0.008199913427233696f);
    const CSVector4 c3 = CSVector4::Splat(-0.00016147593851201236f);
    CSVector4 x2 = CSVector4Mul(a, a);
    CSVector4 x3 = CSVector4Mul(x2, a);
    CSVector4 x5 = CSVector4Mul(x3, x2);
    CSVector4 x7 = CSVector4Mul(x5, x2);
    CSVector4 r = CSVector4Add(a, CSVector4Mul(c1, x3));
    r = CSVector4Add(r, CSVector4Mul(c2, x5));
    return CSVector4Add(r, CSVector4Mul(c3, x7));
}

CSVector4 CSVector4AcosApprox(CSVector4 x) {
    const CSVector4 halfPi = CSVector4::Splat(1.5707963705062866f);
    CSVector4 a = CSVector4Abs(x);
    CSVector4 s = CSVector4Sub(CSVector4::Splat(1.0000001f), a);
    CSVector4 r = CSVector4Mul(s, CSVector4RecipSqrt(s));  // sqrt(s)
    CSVector4 xa = CSVector4Mul(x, a);
    CSVector4 m1 = CSVector4Add(CSVector4Scale(xa, -0.8082285523414612f), CSVector4Scale(x, 2.3794949054718018f));
    CSVector4 m2 = CSVector4Add(CSVector4Mul(CSVector4Scale(xa, 0.2784401476383209f), CSVector4Mul(s, a)), m1);
    CSVector4 t = CSVector4Add(CSVector4Mul(CSVector4Scale(x, -1.3617826700210571f), r), m2);
    return CSVector4Sub(halfPi, t);
}

bool CSVector4NearlyEqual(const CSVector4& a, const CSVector4& b) {
    const float limit = 0.00001f;
    return std::fabs(a.x - b.x) < limit && std::fabs(a.y - b.y) < limit && std::fabs(a.z - b.z) < limit &&
           std::fabs(a.w - b.w) < limit;
}
