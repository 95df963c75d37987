#include "Maths/Plane.h"

#include <cmath>

Plane::Plane(const Vector3& a, const Vector3& b, const Vector3& c) {
    Vector3Cross(b - a, c - a, normal);
    d = -Vector3Dot(normal, a);
}

float Plane::DistanceTo(const Vector3& point) const { return Vector3Dot(normal, point) + d; }

Vector3 Plane::ProjectPoint(const Vector3& point) const {
    const float lengthSquared = normal.LengthSquared();
    if (lengthSquared == 0.0f) return Vector3(0.0f, 0.0f, 0.0f);
    const float t = -(Vector3Dot(normal, point) + d) / lengthSquared;
    return point + normal * t;
}

bool Plane::IntersectLine(const Vector3& p0, const Vector3& p1, Vector3& out) const {
    const float a = Vector3Dot(normal, p0) + d;
    const float b = Vector3Dot(normal, p0 - p1);
    if (std::fabs(a) < 0.0001f || std::fabs(b) < 0.0001f) return false;
    out = p0 + (p1 - p0) * (a / b);
    return true;
}
