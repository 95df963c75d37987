#include "SceneGraph/Picking.h"

namespace sg {

bool RayIntersectsSphere(const Ray& ray, const BoundingSphere& sphere) {
    const Vector3 p = sphere.center - ray.origin;
    const float a = Vector3Dot(p, ray.direction);
    const float r2 = sphere.radius * sphere.radius;
    const float p2 = p.LengthSquared();
    if (a < 0.0f && r2 < p2) return false;
    const float d2 = ray.direction.LengthSquared();
    return d2 * r2 >= d2 * p2 - a * a;
}

bool IsPointInRect(float x, float y, float width, float height, float px, float py) {
    return x <= px && px <= x + width && y <= py && py <= y + height;
}

}  // namespace sg
