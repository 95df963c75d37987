#pragma once

#include "Maths/Vector3.h"

#include <cstddef>
#include <cstdint>

struct Matrix4;

// Eight corners of an axis-aligned box. Corner i takes the maximum x when bit 2
// of i is set, the maximum y when bit 1 is set and the maximum z when bit 0 is
// set: corner 0 is the minimum, corner 7 the maximum. The ".bvh" files store
// the corners in this order.
struct BoundingBox {
    Vector3 corners[8];
};

static_assert(sizeof(BoundingBox) == 8 * 3 * sizeof(float), "a box is 24 packed floats");

// Box of n packed points. n below 1 leaves out as it was.
void ComputeBoundingBox(BoundingBox& out, const Vector3* points, int32_t n);
// Box of n points, each three floats at base + offset + i x stride bytes (any
// alignment). n below 1 leaves out as it was.
void ComputeBoundingBoxStrided(BoundingBox& out, const void* base, int32_t n, size_t offset, size_t stride);

// Frustum test in clip space of the box transformed by matrix (row vectors).
// Returns whether the box may be visible. code: 0 visible, 1 all left, 2 all
// right, 3 all above, 4 all below, 5 all behind the near plane. needsNearClip is
// true for a visible box with a corner behind the near plane.
bool IsBoundingBoxVisible(const BoundingBox& box, const Matrix4& matrix, bool& needsNearClip, int32_t& code);
