#pragma once

#include "Maths/Vector3.h"

// Centre and radius around a model or a node.
struct BoundingSphere {
    Vector3 center;
    float radius = 0.0f;

    // The sphere through the corners of the box from min to max.
    static BoundingSphere FromMinMax(const Vector3& min, const Vector3& max);
};
