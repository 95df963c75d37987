#include "Maths/Vector2.h"

#include <algorithm>
#include <cmath>

const Vector2 Vector2::ZeroVector(0.0f, 0.0f);
const Vector2 Vector2::OneVector(1.0f, 1.0f);
const Vector2 Vector2::UnitX(1.0f, 0.0f);
const Vector2 Vector2::UnitY(0.0f, 1.0f);

Vector2& Vector2::Set(float x_, float y_) {
    x = x_;
    y = y_;
    return *this;
}

Vector2 Vector2::operator+(const Vector2& other) const { return Vector2(x + other.x, y + other.y); }

Vector2 Vector2::operator*(float s) const { return Vector2(x * s, y * s); }

Vector2 Vector2::operator/(float s) const { return Vector2(x / s, y / s); }

float Vector2DistanceSquared(const Vector2& a, const Vector2& b) {
    const float dx = a.x - b.x;
    const float dy = a.y - b.y;
    return dx * dx + dy * dy;
}

float Vector2Distance(const Vector2& a, const Vector2& b) { return std::sqrt(Vector2DistanceSquared(a, b)); }

float Vector2Dot(const Vector2& a, const Vector2& b) { return a.x * b.x + a.y * b.y; }

float Vector2Angle(const Vector2& a, const Vector2& b) {
    // Rounding can push the dot product of unit vectors just past +-1, where acos is NaN.
    return std::acos(std::clamp(Vector2Dot(a, b), -1.0f, 1.0f));
}

bool Vector2Barycentric(const Vector2& p0, const Vector2& p1, const Vector2& p2, float u, float v, Vector2& out) {
    const float w = 1.0f - u - v;
    out.x = w * p0.x + u * p1.x + v * p2.x;
    out.y = w * p0.y + u * p1.y + v * p2.y;
    return u >= 0.0f && v >= 0.0f && w >= 0.0f;
}
