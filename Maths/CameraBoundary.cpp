#include "Maths/CameraBoundary.h"

#include <cstddef>

CameraBoundary::CameraBoundary(int32_t capacity)
{
    if (capacity > 0)
        planes_.reserve(static_cast<size_t>(capacity));
}

void CameraBoundary::AddPlane(int32_t kind, const Plane& plane)
{
    planes_.push_back(Entry{kind, plane});
}

void CameraBoundary::Clear()
{
    planes_.clear();
}

void CameraBoundary::SetFirstDirection(const Vector3& direction)
{
    first_direction_ = direction;
}

void CameraBoundary::SetSecondDirection(const Vector3& direction)
{
    second_direction_ = direction;
}
