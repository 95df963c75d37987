#pragma once

#include "Maths/Vector3.h"

// The plane of points p with dot(normal, p) + d = 0. The normal need not be unit length.
struct Plane {
    float d;
    Vector3 normal;

    constexpr Plane() : d(0.0f), normal(0.0f, 1.0f, 0.0f) {}
    // Through three points: normal = (b - a) x (c - a), not normalised.
    Plane(const Vector3& a, const Vector3& b, const Vector3& c);
    constexpr Plane(float nx, float ny, float nz, float d_) : d(d_), normal(nx, ny, nz) {}

    // Signed distance scaled by the normal's length: dot(normal, point) + d.
    float DistanceTo(const Vector3& point) const;
    // The point moved along the normal onto the plane; (0, 0, 0) for a zero normal.
    Vector3 ProjectPoint(const Vector3& point) const;
    // Where the line (not segment) through p0 and p1 meets the plane. False, with
    // out untouched, when p0 lies on the plane or the line runs parallel to it.
    bool IntersectLine(const Vector3& p0, const Vector3& p1, Vector3& out) const;
};
