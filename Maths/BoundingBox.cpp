#include "Maths/BoundingBox.h"

#include "Maths/Matrix4.h"

#include <algorithm>
#include <cstring>

namespace {
void WriteCorners(BoundingBox& out, const Vector3& lo, const Vector3& hi) {
    for (int i = 0; i < 8; ++i) {
        out.corners[i].x = (i & 4) ? hi.x : lo.x;
        out.corners[i].y = (i & 2) ? hi.y : lo.y;
        out.corners[i].z = (i & 1) ? hi.z : lo.z;
    }
}

template <typename PointAt>
void ComputeBox(BoundingBox& out, int32_t n, PointAt pointAt) {
    if (n < 1) return;
    Vector3 lo = pointAt(0);
    Vector3 hi = lo;
    for (int32_t i = 1; i < n; ++i) {
        const Vector3 p = pointAt(i);
        lo.x = std::min(lo.x, p.x);
        lo.y = std::min(lo.y, p.y);
        lo.z = std::min(lo.z, p.z);
        hi.x = std::max(hi.x, p.x);
        hi.y = std::max(hi.y, p.y);
        hi.z = std::max(hi.z, p.z);
    }
    WriteCorners(out, lo, hi);
}
}  // namespace

void ComputeBoundingBox(BoundingBox& out, const Vector3* points, int32_t n) {
    ComputeBox(out, n, [points](int32_t i) { return points[i]; });
}

void ComputeBoundingBoxStrided(BoundingBox& out, const void* base, int32_t n, size_t offset, size_t stride) {
    const unsigned char* bytes = static_cast<const unsigned char*>(base) + offset;
    ComputeBox(out, n, [bytes, stride](int32_t i) {
        float xyz[3];
        std::memcpy(xyz, bytes + static_cast<size_t>(i) * stride, sizeof(xyz));
        return Vector3(xyz[0], xyz[1], xyz[2]);
    });
}

bool IsBoundingBoxVisible(const BoundingBox& box, const Matrix4& matrix, bool& needsNearClip, int32_t& code) {
    const float* m = matrix.m;
    int left = 0;
    int right = 0;
    int below = 0;
    int above = 0;
    int behind = 0;
    for (const Vector3& c : box.corners) {
        const float x = c.x * m[0] + c.y * m[4] + c.z * m[8] + m[12];
        const float y = c.x * m[1] + c.y * m[5] + c.z * m[9] + m[13];
        const float z = c.x * m[2] + c.y * m[6] + c.z * m[10] + m[14];
        const float w = c.x * m[3] + c.y * m[7] + c.z * m[11] + m[15];
        if (x < -w) ++left;
        else if (x > w) ++right;
        if (y < -w) ++below;
        else if (y > w) ++above;
        if (z < 0.0f) ++behind;
    }

    needsNearClip = false;
    if (behind == 8) {
        code = 5;
        return false;
    }
    if (above == 8) code = 3;
    else if (below == 8) code = 4;
    else if (right == 8) code = 2;
    else if (left == 8) code = 1;
    else {
        code = 0;
        needsNearClip = behind > 0;
        return true;
    }
    return false;
}
