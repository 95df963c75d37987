#include "Maths/CameraBoundary.h"

#include <cstddef>

CameraBoundary::CameraBoundary(int32_t capacity) {
    if (capacity > 0) planes_.reserve(static_cast<size_t>(capacity));
}

void CameraBoundary::AddPlane(int32_t kind, const Plane& plane) { planes_.push_back(Entry{kind, plane}); }

void CameraBoundary::Clear() { planes_.clear(); }

void CameraBoundary::SetFirstDirection(const Vector3& direction) { first_direction_ = direction; }

void CameraBoundary::SetSecondDirection(const Vector3& direction) { second_direction_ = direction; }

bool CameraBoundary::Constrain(const Vector3& p, Vector3& q) const { return Pull(p, q, false); }

bool CameraBoundary::Contains(const Vector3& p) const {
    for (const Entry& entry : planes_) {
        if (entry.plane.DistanceTo(p) < 0.0f) return false;
    }
    return true;
}

bool CameraBoundary::ClampPoint(const Vector3& p, Vector3& q) const { return Pull(p, q, true); }

bool CameraBoundary::Pull(const Vector3& p, Vector3& q, bool projectAlways) const {
    q = p;
    bool inside = true;
    for (const Entry& entry : planes_) {
        if (entry.plane.DistanceTo(p) >= 0.0f) continue;
        const int32_t kind = projectAlways ? 2 : entry.kind;
        if (kind == 0 || kind == 1) {
            const Vector3& direction = kind == 0 ? first_direction_ : second_direction_;
            // A line parallel to the plane has no meeting point: q stays.
            Vector3 hit;
            if (entry.plane.IntersectLine(q, q + direction, hit)) q = hit;
        } else if (kind == 2) {
            q = entry.plane.ProjectPoint(q);
        }
        inside = false;
    }
    return inside;
}
