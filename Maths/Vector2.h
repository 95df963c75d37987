#pragma once

// 2D float vector of the engine (screen positions, sizes, texture coordinates).
struct Vector2 {
    float x;
    float y;

    constexpr Vector2() : x(0.0f), y(0.0f) {}
    constexpr Vector2(float x_, float y_) : x(x_), y(y_) {}

    Vector2& Set(float x_, float y_);

    Vector2 operator+(const Vector2& other) const;
    Vector2 operator*(float s) const;
    Vector2 operator/(float s) const;

    static const Vector2 ZeroVector;
    static const Vector2 OneVector;
    static const Vector2 UnitX;
    static const Vector2 UnitY;
};

float Vector2Distance(const Vector2& a, const Vector2& b);
float Vector2DistanceSquared(const Vector2& a, const Vector2& b);
float Vector2Dot(const Vector2& a, const Vector2& b);
// Angle between two unit vectors, in radians.
float Vector2Angle(const Vector2& a, const Vector2& b);
// out = (1 - u - v) p0 + u p1 + v p2; true when the point lies inside the triangle.
bool Vector2Barycentric(const Vector2& p0, const Vector2& p1, const Vector2& p2, float u, float v, Vector2& out);
