#include "Maths/Vector3.h"

#include <algorithm>
#include <cmath>

const Vector3 Vector3::ZeroVector(0.0f, 0.0f, 0.0f);
const Vector3 Vector3::OneVector(1.0f, 1.0f, 1.0f);
const Vector3 Vector3::UnitX(1.0f, 0.0f, 0.0f);
const Vector3 Vector3::UnitY(0.0f, 1.0f, 0.0f);
const Vector3 Vector3::UnitZ(0.0f, 0.0f, 1.0f);

Vector3& Vector3::Set(float x_, float y_, float z_) {
    x = x_;
    y = y_;
    z = z_;
    return *this;
}

Vector3& Vector3::Zero() { return Set(0.0f, 0.0f, 0.0f); }

Vector3& Vector3::One() { return Set(1.0f, 1.0f, 1.0f); }

Vector3 Vector3::operator+(const Vector3& other) const { return Vector3(x + other.x, y + other.y, z + other.z); }

Vector3 Vector3::operator-(const Vector3& other) const { return Vector3(x - other.x, y - other.y, z - other.z); }

Vector3& Vector3::operator+=(const Vector3& other) {
    x += other.x;
    y += other.y;
    z += other.z;
    return *this;
}

Vector3 Vector3::operator*(float s) const { return Vector3(x * s, y * s, z * s); }

Vector3 Vector3::operator/(float s) const { return Vector3(x / s, y / s, z / s); }

float Vector3::LengthSquared() const { return x * x + y * y + z * z; }

float Vector3::Length() const { return std::sqrt(LengthSquared()); }

float Vector3::Normalize() {
    const float length = Length();
    if (length > 0.0001f) {
        x /= length;
        y /= length;
        z /= length;
    }
    return length;
}

float Vector3DistanceSquared(const Vector3& a, const Vector3& b) { return (a - b).LengthSquared(); }

float Vector3Distance(const Vector3& a, const Vector3& b) { return (a - b).Length(); }

float Vector3Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

void Vector3Cross(const Vector3& a, const Vector3& b, Vector3& out) {
    const Vector3 r(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
    out = r;
}

float Vector3Angle(const Vector3& a, const Vector3& b) {
    // Rounding can push the dot product of unit vectors just past +-1, where acos is NaN.
    return std::acos(std::clamp(Vector3Dot(a, b), -1.0f, 1.0f));
}

bool Vector3Barycentric(const Vector3& p0, const Vector3& p1, const Vector3& p2, float u, float v, Vector3& out) {
    const float w = 1.0f - u - v;
    const Vector3 r(w * p0.x + u * p1.x + v * p2.x, w * p0.y + u * p1.y + v * p2.y, w * p0.z + u * p1.z + v * p2.z);
    out = r;
    return u >= 0.0f && v >= 0.0f && w >= 0.0f;
}

void Vector3Lerp(const Vector3& a, const Vector3& b, float t, Vector3& out) {
    const float s = 1.0f - t;
    const Vector3 r(a.x * s + b.x * t, a.y * s + b.y * t, a.z * s + b.z * t);
    out = r;
}

void Vector3Lerp(Vector3& out, const Vector3& a, const Vector3& b, float t) {
    const Vector3 r(a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z));
    out = r;
}
