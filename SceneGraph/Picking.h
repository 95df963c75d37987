#pragma once
// The geometric tests of picking.
#include "Maths/BoundingSphere.h"
#include "SceneGraph/Camera.h"

namespace sg {

// False for a sphere behind an origin outside it; else whether the ray's line
// passes within the radius of the centre. The direction need not be unit length.
bool RayIntersectsSphere(const Ray& ray, const BoundingSphere& sphere);

// x <= px <= x + width and y <= py <= y + height: the edges count.
bool IsPointInRect(float x, float y, float width, float height, float px, float py);

// A pick rectangle in pixels.
struct PickRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

}  // namespace sg
