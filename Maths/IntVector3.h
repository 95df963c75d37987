#pragma once

#include <cmath>
#include <cstdint>

// Integer 3D vector of the game grid (level units, 500 per cell).
struct IntVector3 {
    int32_t x;
    int32_t y;
    int32_t z;

    constexpr IntVector3() : x(0), y(0), z(0) {}
    constexpr IntVector3(int32_t x_, int32_t y_, int32_t z_) : x(x_), y(y_), z(z_) {}

    IntVector3& Set(int32_t x_, int32_t y_, int32_t z_);
};

int32_t IntVector3DistanceSquared(const IntVector3& a, const IntVector3& b);
// Square root of the squared distance, taken in single precision and truncated.
// Inline: the path search asks it for every cell it opens.
inline int32_t IntVector3Distance(const IntVector3& a, const IntVector3& b) {
    // The squared distance is formed in double so that far-apart points cannot
    // wrap into a negative value (whose root would be NaN); within the int32
    // range it is exact, and the root itself is taken in single precision.
    const double dx = static_cast<double>(a.x) - b.x;
    const double dy = static_cast<double>(a.y) - b.y;
    const double dz = static_cast<double>(a.z) - b.z;
    const float root = std::sqrt(static_cast<float>(dx * dx + dy * dy + dz * dz));
    if (root >= 2147483647.0f) return INT32_MAX;
    return static_cast<int32_t>(root);
}
int32_t IntVector3Dot(const IntVector3& a, const IntVector3& b);
// out may be a or b.
void IntVector3Cross(const IntVector3& a, const IntVector3& b, IntVector3& out);
// FixedAcosScaled of the dot product.
int32_t IntVector3Angle(const IntVector3& a, const IntVector3& b);
