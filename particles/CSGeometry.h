#pragma once
// 2D and 3D geometric queries of the particle library. Degenerate input is reported by
// value: 100000000.0 for a zero-length or parallel line pair, -1 for a missed ray.
#include "particles/CSVector.h"

// Crossing of the edge (x1, y1)-(x2, y2) with the horizontal segment y = yLine,
// xMin <= x <= xMax. On false the outputs must be ignored (outX may be written).
bool IntersectSegments2D(float x1, float y1, float x2, float y2, float yLine, float xMin, float xMax, float* outX,
                         float* outY);

// The early-out tests of the two line distances, which would make them answer 0.0;
// both are false for any four points, so the distances always go the whole way.
bool LinesCoincide3(const CSVector4* p1, const CSVector4* p2, const CSVector4* p3, const CSVector4* p4);
bool LinesCoincide2(const CSVector4* p1, const CSVector4* p2, const CSVector4* p3, const CSVector4* p4);
// Two distance queries of the family without arguments: 0.0.
float ZeroDistance3();
float ZeroDistance2();

// Distance between the closest points of the infinite lines p1p2 and p3p4.
float LineLineDistance3(const CSVector4* p1, const CSVector4* p2, const CSVector4* p3, const CSVector4* p4);
// The same on x and y.
float LineLineDistance2(const CSVector4* p1, const CSVector4* p2, const CSVector4* p3, const CSVector4* p4);

// Distance from a point to an axis-aligned box (three or two floats each).
float PointBoxDistance3(const float* point, const float* boxMin, const float* boxMax);
float PointBoxDistance2(const float* point, const float* boxMin, const float* boxMax);

// Distance along the ray (direction of unit length) to the first hit, or -1. A ray that
// starts inside returns the negative distance of the hit behind it.
float RaySphereIntersect3(const CSVector4& origin, const CSVector4& direction, const CSVector4& centre, float radius);
float RayCircleIntersect2(const CSVector4& origin, float dirX, float dirY, const CSVector4& centre, float radius);
