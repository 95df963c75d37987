#pragma once
// The particle library's own vector types and their lane operations, written in the
// manner of a four-lane SIMD library: operands by value, a new vector returned, masks of
// all-ones or all-zero lanes. Every operation rounds its result once to single precision.
#include <cmath>
#include <cstdint>
#include <cstring>

// Four 32-bit lanes x, y, z, w, normally floats. As a mask a lane is a bit pattern
// (all ones for true, zero for false, or a small integer bit code).
struct CSVector4 {
    float x, y, z, w;

    constexpr CSVector4() : x(0.0f), y(0.0f), z(0.0f), w(0.0f) {}
    constexpr CSVector4(float fx, float fy, float fz, float fw) : x(fx), y(fy), z(fz), w(fw) {}

    // Four equal lanes.
    static constexpr CSVector4 Splat(float v) { return CSVector4(v, v, v, v); }

    void Set(float fx, float fy, float fz, float fw) {
        x = fx;
        y = fy;
        z = fz;
        w = fw;
    }

    // Packed A8R8G8B8 colour to (red, green, blue, alpha) in 0..1.
    void SetFromARGB(uint32_t colour);
};

struct CSVector2 {
    float x, y;

    constexpr CSVector2() : x(0.0f), y(0.0f) {}
    constexpr CSVector2(float fx, float fy) : x(fx), y(fy) {}

    // sqrt(x^2 + y^2), or 0 when the squared length is at most 0.00001.
    float Length() const;
};

namespace CSLane {
// Lanes as raw 32-bit words; masks travel through float lanes untouched.
inline uint32_t Bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

inline float FromBits(uint32_t u) {
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}

inline CSVector4 FromBits(uint32_t x, uint32_t y, uint32_t z, uint32_t w) {
    return CSVector4(FromBits(x), FromBits(y), FromBits(z), FromBits(w));
}

inline float Mask(bool b) { return FromBits(b ? 0xFFFFFFFFu : 0u); }

// The squared-length threshold of the length and normalisation operations.
constexpr float kLengthEpsilon = 0.00001f;
}  // namespace CSLane

inline CSVector4 CSVector4Mul(CSVector4 a, CSVector4 b) {
    return CSVector4(a.x * b.x, a.y * b.y, a.z * b.z, a.w * b.w);
}

// a * b + c with the product kept unrounded until the addition.
inline CSVector4 CSVector4MulAdd(CSVector4 a, CSVector4 b, CSVector4 c) {
    return CSVector4(std::fma(a.x, b.x, c.x), std::fma(a.y, b.y, c.y), std::fma(a.z, b.z, c.z),
                     std::fma(a.w, b.w, c.w));
}

inline CSVector4 CSVector4Add(CSVector4 a, CSVector4 b) {
    return CSVector4(a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w);
}

inline CSVector4 CSVector4Sub(CSVector4 a, CSVector4 b) {
    return CSVector4(a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w);
}

inline CSVector4 CSVector4Scale(CSVector4 a, float s) { return CSVector4(a.x * s, a.y * s, a.z * s, a.w * s); }

// No guard: a zero lane gives an infinity of the zero's sign.
inline CSVector4 CSVector4Recip(CSVector4 a) { return CSVector4(1.0f / a.x, 1.0f / a.y, 1.0f / a.z, 1.0f / a.w); }

inline CSVector4 CSVector4Neg(CSVector4 a) { return CSVector4(-a.x, -a.y, -a.z, -a.w); }

inline CSVector4 CSVector4Abs(CSVector4 a) {
    return CSVector4(std::fabs(a.x), std::fabs(a.y), std::fabs(a.z), std::fabs(a.w));
}

// b on a tie and whenever either lane is NaN, as the SIMD instruction does.
inline CSVector4 CSVector4Max(CSVector4 a, CSVector4 b) {
    return CSVector4(a.x > b.x ? a.x : b.x, a.y > b.y ? a.y : b.y, a.z > b.z ? a.z : b.z, a.w > b.w ? a.w : b.w);
}

inline CSVector4 CSVector4Min(CSVector4 a, CSVector4 b) {
    return CSVector4(a.x < b.x ? a.x : b.x, a.y < b.y ? a.y : b.y, a.z < b.z ? a.z : b.z, a.w < b.w ? a.w : b.w);
}

inline CSVector4 CSVector4SplatX(CSVector4 a) { return CSVector4::Splat(a.x); }
inline CSVector4 CSVector4SplatY(CSVector4 a) { return CSVector4::Splat(a.y); }
inline CSVector4 CSVector4SplatZ(CSVector4 a) { return CSVector4::Splat(a.z); }
inline CSVector4 CSVector4SplatW(CSVector4 a) { return CSVector4::Splat(a.w); }

inline CSVector4 CSVector4CmpLt(CSVector4 a, CSVector4 b) {
    using CSLane::Mask;
    return CSVector4(Mask(a.x < b.x), Mask(a.y < b.y), Mask(a.z < b.z), Mask(a.w < b.w));
}

inline CSVector4 CSVector4CmpGt(CSVector4 a, CSVector4 b) {
    using CSLane::Mask;
    return CSVector4(Mask(a.x > b.x), Mask(a.y > b.y), Mask(a.z > b.z), Mask(a.w > b.w));
}

inline CSVector4 CSVector4And(CSVector4 a, CSVector4 b) {
    using CSLane::Bits;
    return CSLane::FromBits(Bits(a.x) & Bits(b.x), Bits(a.y) & Bits(b.y), Bits(a.z) & Bits(b.z), Bits(a.w) & Bits(b.w));
}

inline CSVector4 CSVector4Or(CSVector4 a, CSVector4 b) {
    using CSLane::Bits;
    return CSLane::FromBits(Bits(a.x) | Bits(b.x), Bits(a.y) | Bits(b.y), Bits(a.z) | Bits(b.z), Bits(a.w) | Bits(b.w));
}

// b where the mask is all ones, a where it is zero, bit by bit.
inline CSVector4 CSVector4Select(CSVector4 a, CSVector4 b, CSVector4 mask) {
    using CSLane::Bits;
    auto pick = [](uint32_t ua, uint32_t ub, uint32_t um) { return (ua & ~um) | (ub & um); };
    return CSLane::FromBits(pick(Bits(a.x), Bits(b.x), Bits(mask.x)), pick(Bits(a.y), Bits(b.y), Bits(mask.y)),
                            pick(Bits(a.z), Bits(b.z), Bits(mask.z)), pick(Bits(a.w), Bits(b.w), Bits(mask.w)));
}

inline bool CSVector4AllLess(CSVector4 a, CSVector4 b) { return a.x < b.x && a.y < b.y && a.z < b.z && a.w < b.w; }

// Identical bit patterns: +0 and -0 differ, a NaN equals the same NaN.
inline bool CSVector4AllEqual(CSVector4 a, CSVector4 b) { return std::memcmp(&a, &b, sizeof a) == 0; }

inline CSVector4 CSVector4Dot4(CSVector4 a, CSVector4 b) {
    return CSVector4::Splat(a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w);
}

inline CSVector4 CSVector4Dot3(CSVector4 a, CSVector4 b) { return CSVector4::Splat(a.x * b.x + a.y * b.y + a.z * b.z); }

// No guard: a zero lane gives an infinity.
inline CSVector4 CSVector4RecipSqrt(CSVector4 a) {
    return CSVector4(1.0f / std::sqrt(a.x), 1.0f / std::sqrt(a.y), 1.0f / std::sqrt(a.z), 1.0f / std::sqrt(a.w));
}

inline CSVector4 CSVector4Cross3(CSVector4 a, CSVector4 b) {
    return CSVector4(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x, 0.0f);
}

inline CSVector4 CSVector4Length3(CSVector4 a) {
    float q = a.x * a.x + a.y * a.y + a.z * a.z;
    return CSVector4::Splat(q > CSLane::kLengthEpsilon ? std::sqrt(q) : 0.0f);
}

inline CSVector4 CSVector4InvLength3(float x, float y, float z) {
    float q = x * x + y * y + z * z;
    if (!(q > CSLane::kLengthEpsilon)) return CSVector4();
    float len = std::sqrt(q);
    return CSVector4::Splat(1.0f / len);
}

// All four lanes are scaled, w included.
inline CSVector4 CSVector4Normalize3(CSVector4 a) {
    float q = a.x * a.x + a.y * a.y + a.z * a.z;
    if (!(q > CSLane::kLengthEpsilon)) return CSVector4();
    float len = std::sqrt(q);
    return CSVector4Scale(a, 1.0f / len);
}

inline CSVector4 CSVector4Normalize4(CSVector4 a) {
    float q = a.x * a.x + a.y * a.y + a.z * a.z + a.w * a.w;
    if (!(q > CSLane::kLengthEpsilon)) return CSVector4();
    float len = std::sqrt(q);
    return CSVector4Scale(a, 1.0f / len);
}

inline CSVector4 CSVector4Lerp(CSVector4 a, CSVector4 b, float t) {
    return CSVector4Add(a, CSVector4Scale(CSVector4Sub(b, a), t));
}

inline CSVector4 CSVector4LerpV(CSVector4 a, CSVector4 b, CSVector4 t) {
    return CSVector4Add(a, CSVector4Mul(CSVector4Sub(b, a), t));
}

// Polynomial approximations used by the spherical interpolation of quaternions.
CSVector4 CSVector4SinApprox(CSVector4 a);
CSVector4 CSVector4AcosApprox(CSVector4 a);

// Every component within 0.00001 of the other's (strictly).
bool CSVector4NearlyEqual(const CSVector4& a, const CSVector4& b);
inline bool CSVector4NotNearlyEqual(const CSVector4& a, const CSVector4& b) { return !CSVector4NearlyEqual(a, b); }
