#pragma once

// 3D float vector of the engine (world positions, directions, colours of lights).
struct Vector3 {
    float x;
    float y;
    float z;

    constexpr Vector3() : x(0.0f), y(0.0f), z(0.0f) {}
    constexpr Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    Vector3& Set(float x_, float y_, float z_);
    Vector3& Zero();
    Vector3& One();

    Vector3 operator+(const Vector3& other) const;
    Vector3 operator-(const Vector3& other) const;
    Vector3& operator+=(const Vector3& other);
    Vector3 operator*(float s) const;
    Vector3 operator/(float s) const;

    float Length() const;
    float LengthSquared() const;
    // Returns the length; divides by it only when it is above 0.0001, so a
    // near-zero vector is left as it was.
    float Normalize();

    static const Vector3 ZeroVector;
    static const Vector3 OneVector;
    static const Vector3 UnitX;
    static const Vector3 UnitY;
    static const Vector3 UnitZ;
};

float Vector3Distance(const Vector3& a, const Vector3& b);
float Vector3DistanceSquared(const Vector3& a, const Vector3& b);
float Vector3Dot(const Vector3& a, const Vector3& b);
// out may be a or b.
void Vector3Cross(const Vector3& a, const Vector3& b, Vector3& out);
// Angle between two unit vectors, in radians.
float Vector3Angle(const Vector3& a, const Vector3& b);
// out = (1 - u - v) p0 + u p1 + v p2; true when the point lies inside the triangle.
bool Vector3Barycentric(const Vector3& p0, const Vector3& p1, const Vector3& p2, float u, float v, Vector3& out);
// out = a (1 - t) + b t
void Vector3Lerp(const Vector3& a, const Vector3& b, float t, Vector3& out);
// out = a + t (b - a), the form the model reader uses
void Vector3Lerp(Vector3& out, const Vector3& a, const Vector3& b, float t);
