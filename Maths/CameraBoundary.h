#pragma once

#include "Maths/Plane.h"

#include <cstdint>
#include <vector>

// The convex region the battle camera's eye must stay in: planes, each with a
// kind saying how an eye that crossed it is pulled back (0 along the first
// direction, 1 along the second, 2 straight onto the plane).
class CameraBoundary
{
public:
    struct Entry
    {
        int32_t kind;
        Plane plane;
    };

    // Room is reserved for capacity entries when it is above 0.
    explicit CameraBoundary(int32_t capacity = 0);

    void AddPlane(int32_t kind, const Plane& plane);
    void Clear();
    void SetFirstDirection(const Vector3& direction);
    void SetSecondDirection(const Vector3& direction);

    const std::vector<Entry>& GetPlanes() const { return planes_; }
    const Vector3& GetFirstDirection() const { return first_direction_; }
    const Vector3& GetSecondDirection() const { return second_direction_; }

private:
    std::vector<Entry> planes_;
    Vector3 first_direction_;
    Vector3 second_direction_;
};
