#include "particles/CSGeometry.h"

#include <algorithm>
#include <cmath>

namespace {
const float kEpsilon = 0.00001f;
const float kNoDistance = 100000000.0f;
// Edges steeper than this are treated as vertical.
const float kSteepSlope = 50.0f;

bool InRange(float v, float lo, float hi) { return lo <= v && v <= hi; }

bool AllTiny(float x, float y, float z) {
    return std::fabs(x) < kEpsilon && std::fabs(y) < kEpsilon && std::fabs(z) < kEpsilon;
}

float PointBoxDistance(const float* p, const float* a, const float* b, int axes) {
    float sum = 0.0f;
    for (int i = 0; i < axes; ++i) {
        float d;
        if (a[i] > p[i]) d = p[i] - a[i];
        else if (p[i] > b[i]) d = p[i] - b[i];
        else continue;
        sum += d * d;
    }
    return sum > kEpsilon ? std::sqrt(sum) : 0.0f;
}

float RayHit(float b, float q) {
    float disc = b * b - q;
    float root = disc > kEpsilon ? std::sqrt(disc) : 0.0f;
    return disc > 0.0f ? -b - root : -1.0f;
}
}  // namespace

bool IntersectSegments2D(float x1, float y1, float x2, float y2, float yLine, float xMin, float xMax, float* outX,
                         float* outY) {
    if (y1 == y2) return false;
    if (!InRange(yLine, std::min(y1, y2), std::max(y1, y2))) return false;
    if (x1 != x2) {
        float k = (y2 - y1) / (x2 - x1);
        if (std::fabs(k) <= kSteepSlope) {
            float x = (yLine - (y1 * x2 - y2 * x1) / (x2 - x1)) / k;
            *outX = x;
            if (!InRange(x, xMin, xMax) || !InRange(x, std::min(x1, x2), std::max(x1, x2))) return false;
            *outY = yLine;
            return true;
        }
        // A steep edge counts as vertical; the range test uses x1, not the midpoint.
        if (!InRange(x1, xMin, xMax)) return false;
        *outX = (x1 + x2) / 2.0f;
        *outY = yLine;
        return true;
    }
    if (!InRange(x1, xMin, xMax)) return false;
    *outX = x1;
    *outY = yLine;
    return true;
}

bool LinesCoincide3(const CSVector4*, const CSVector4*, const CSVector4*, const CSVector4*) { return false; }
bool LinesCoincide2(const CSVector4*, const CSVector4*, const CSVector4*, const CSVector4*) { return false; }
float ZeroDistance3() { return 0.0f; }
float ZeroDistance2() { return 0.0f; }

float LineLineDistance3(const CSVector4* p1, const CSVector4* p2, const CSVector4* p3, const CSVector4* p4) {
    if (LinesCoincide3(p1, p2, p3, p4)) return 0.0f;
    CSVector4 p43 = CSVector4Sub(*p4, *p3);
    if (AllTiny(p43.x, p43.y, p43.z)) return kNoDistance;
    CSVector4 p21 = CSVector4Sub(*p2, *p1);
    if (AllTiny(p21.x, p21.y, p21.z)) return kNoDistance;
    CSVector4 p13 = CSVector4Sub(*p1, *p3);
    float u = CSVector4Dot3(p13, p43).x;
    float v = CSVector4Dot3(p43, p21).x;
    float w = CSVector4Dot3(p13, p21).x;
    float h = CSVector4Dot3(p43, p43).x;
    float k = CSVector4Dot3(p21, p21).x;
    float denom = k * h - v * v;
    if (std::fabs(denom) < kEpsilon) return kNoDistance;
    float mua = (u * v - w * h) / denom;
    float mub = (u + v * mua) / h;
    CSVector4 pa = CSVector4Add(*p1, CSVector4Scale(p21, mua));
    CSVector4 pb = CSVector4Add(*p3, CSVector4Scale(p43, mub));
    return CSVector4Length3(CSVector4Sub(pa, pb)).x;
}

float LineLineDistance2(const CSVector4* p1, const CSVector4* p2, const CSVector4* p3, const CSVector4* p4) {
    if (LinesCoincide2(p1, p2, p3, p4)) return 0.0f;
    float x43 = p4->x - p3->x, y43 = p4->y - p3->y;
    if (AllTiny(x43, y43, 0.0f)) return kNoDistance;
    float x21 = p2->x - p1->x, y21 = p2->y - p1->y;
    if (AllTiny(x21, y21, 0.0f)) return kNoDistance;
    float x13 = p1->x - p3->x, y13 = p1->y - p3->y;
    float u = x13 * x43 + y13 * y43;
    float v = x43 * x21 + y43 * y21;
    float w = x13 * x21 + y13 * y21;
    float h = x43 * x43 + y43 * y43;
    float k = x21 * x21 + y21 * y21;
    float denom = k * h - v * v;
    if (std::fabs(denom) < kEpsilon) return kNoDistance;
    float mua = (u * v - w * h) / denom;
    float mub = (u + v * mua) / h;
    CSVector2 d((p1->x + mua * x21) - (p3->x + mub * x43), (p1->y + mua * y21) - (p3->y + mub * y43));
    return d.Length();
}

float PointBoxDistance3(const float* point, const float* boxMin, const float* boxMax) {
    return PointBoxDistance(point, boxMin, boxMax, 3);
}

float PointBoxDistance2(const float* point, const float* boxMin, const float* boxMax) {
    return PointBoxDistance(point, boxMin, boxMax, 2);
}

float RaySphereIntersect3(const CSVector4& origin, const CSVector4& direction, const CSVector4& centre, float radius) {
    CSVector4 l = CSVector4Sub(origin, centre);
    float b = CSVector4Dot3(l, direction).x;
    float q = CSVector4Dot3(l, l).x - radius * radius;
    return RayHit(b, q);
}

float RayCircleIntersect2(const CSVector4& origin, float dirX, float dirY, const CSVector4& centre, float radius) {
    float lx = origin.x - centre.x, ly = origin.y - centre.y;
    float b = dirY * ly + dirX * lx;
    float q = lx * lx + ly * ly - radius * radius;
    return RayHit(b, q);
}
