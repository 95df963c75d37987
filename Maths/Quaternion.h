#pragma once

struct Matrix4;

// Rotation quaternion of the model animation data.
struct Quaternion {
    float x;
    float y;
    float z;
    float w;

    // The identity rotation.
    constexpr Quaternion() : x(0.0f), y(0.0f), z(0.0f), w(1.0f) {}
    constexpr Quaternion(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

    // To unit length; a zero quaternion is left as it is.
    void Normalize();

    // Row-vector rotation matrix of q (q is taken as unit length).
    static void ToMatrix(Matrix4& out, const Quaternion& q);
    // Spherical interpolation along the shorter arc. A t outside 0..1 gives the
    // identity. out may be a or b.
    static void Slerp(Quaternion& out, const Quaternion& a, const Quaternion& b, float t);
};
