#pragma once

#include "Maths/Plane.h"

#include <cstdint>
#include <vector>

// The convex region the battle camera's eye must stay in: planes, each with a
// kind saying how an eye that crossed it is pulled back (0 along the first
// direction, 1 along the second, 2 straight onto the plane).
class CameraBoundary {
public:
    struct Entry {
        int32_t kind;
        Plane plane;
    };

    // Room is reserved for capacity entries when it is above 0.
    explicit CameraBoundary(int32_t capacity = 0);

    void AddPlane(int32_t kind, const Plane& plane);
    void Clear();
    void SetFirstDirection(const Vector3& direction);
    void SetSecondDirection(const Vector3& direction);

    // True when p is inside every plane (signed distance 0 or more). Otherwise q is p
    // pulled back by each plane p lies behind, in list order, and the result is false.
    // Each plane is tested against p itself, not against the corrected q.
    bool Constrain(const Vector3& p, Vector3& q) const;
    bool Contains(const Vector3& p) const;
    // As Constrain, but every crossed plane projects q straight onto itself.
    bool ClampPoint(const Vector3& p, Vector3& q) const;

    const std::vector<Entry>& GetPlanes() const { return planes_; }
    const Vector3& GetFirstDirection() const { return first_direction_; }
    const Vector3& GetSecondDirection() const { return second_direction_; }

private:
    bool Pull(const Vector3& p, Vector3& q, bool projectAlways) const;

    std::vector<Entry> planes_;
    Vector3 first_direction_;
    Vector3 second_direction_;
};
