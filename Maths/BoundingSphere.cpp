#include "Maths/BoundingSphere.h"

BoundingSphere BoundingSphere::FromMinMax(const Vector3& min, const Vector3& max) {
    BoundingSphere s;
    s.center = (min + max) / 2.0f;
    s.radius = (max - min).Length() / 2.0f;
    return s;
}
