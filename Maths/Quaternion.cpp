#include "Maths/Quaternion.h"

#include "Maths/Matrix4.h"

#include <cmath>

void Quaternion::Normalize() {
    const float length = std::sqrt(x * x + y * y + z * z + w * w);
    if (length == 0.0f) return;
    x /= length;
    y /= length;
    z /= length;
    w /= length;
}

void Quaternion::ToMatrix(Matrix4& out, const Quaternion& q) {
    const float x = q.x;
    const float y = q.y;
    const float z = q.z;
    const float w = q.w;
    float* m = out.m;
    m[0] = 1.0f - 2.0f * y * y - 2.0f * z * z;
    m[1] = 2.0f * x * y + 2.0f * w * z;
    m[2] = 2.0f * x * z - 2.0f * w * y;
    m[3] = 0.0f;
    m[4] = 2.0f * x * y - 2.0f * w * z;
    m[5] = 1.0f - 2.0f * x * x - 2.0f * z * z;
    m[6] = 2.0f * y * z + 2.0f * w * x;
    m[7] = 0.0f;
    m[8] = 2.0f * x * z + 2.0f * w * y;
    m[9] = 2.0f * y * z - 2.0f * w * x;
    m[10] = 1.0f - 2.0f * x * x - 2.0f * y * y;
    m[11] = 0.0f;
    m[12] = 0.0f;
    m[13] = 0.0f;
    m[14] = 0.0f;
    m[15] = 1.0f;
}

void Quaternion::Slerp(Quaternion& out, const Quaternion& a, const Quaternion& b, float t) {
    if (t < 0.0f || t > 1.0f) {
        out = Quaternion();
        return;
    }

    Quaternion to = b;
    float c = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    if (c < 0.0f) {
        // q and -q are the same rotation; take the shorter arc.
        to = Quaternion(-b.x, -b.y, -b.z, -b.w);
        c = -c;
    }
    if (c > 1.0f) c = 1.0f;
    const float angle = std::acos(c);
    if (angle == 0.0f) {
        out = a;
        return;
    }

    const float sinAngle = std::sin(angle);
    const float wa = std::sin((1.0f - t) * angle) / sinAngle;
    const float wb = std::sin(t * angle) / sinAngle;
    Quaternion r(wa * a.x + wb * to.x, wa * a.y + wb * to.y, wa * a.z + wb * to.z, wa * a.w + wb * to.w);
    r.Normalize();
    out = r;
}
