#include "particles/CSQuaternion.h"

#include <cmath>

namespace {
const float kQuatEpsilon = 0.00001f;

// Column j of the upper 3 x 3 multiplied by k.
void ScaleColumn(CSMatrix& m, int j, float k) {
    m.m[j] *= k;
    m.m[4 + j] *= k;
    m.m[8 + j] *= k;
}

// Rotation with its three columns scaled, translation row (t.x, t.y, t.z, 1).
void ComposeInto(CSMatrix& out, const CSVector4& scale, const CSVector4& rotation, const CSVector4& translation) {
    out = QuaternionToMatrix(rotation);
    ScaleColumn(out, 0, scale.x);
    ScaleColumn(out, 1, scale.y);
    ScaleColumn(out, 2, scale.z);
    out.m[3] = out.m[7] = out.m[11] = 0.0f;
    out.SetRow(3, CSVector4(translation.x, translation.y, translation.z, 1.0f));
}
}  // namespace

CSVector4 QuaternionFromAxisAngle(CSVector4 aa) {
    if (!(aa.x * aa.x + aa.y * aa.y + aa.z * aa.z > kQuatEpsilon)) return kQuaternionIdentity;
    double h = static_cast<double>(aa.w * 0.5f);
    float s = static_cast<float>(std::sin(h));
    return CSVector4(s * aa.x, s * aa.y, s * aa.z, static_cast<float>(std::cos(h)));
}

CSVector4 QuaternionToAxisAngle(CSVector4 q) {
    float w = q.w < -1.0f ? -1.0f : (q.w > 1.0f ? 1.0f : q.w);
    float a = static_cast<float>(std::acos(static_cast<double>(w)));
    float s = static_cast<float>(std::sin(static_cast<double>(a)));
    float k = std::fabs(s) > kQuatEpsilon ? 1.0f / s : s;
    return CSVector4(q.x * k, q.y * k, q.z * k, 2.0f * a);
}

CSVector4 QuaternionFromMatrix(const CSMatrix& mat) {
    auto e = [&mat](int r, int c) { return mat.m[4 * r + c]; };
    float m00 = e(0, 0), m11 = e(1, 1), m22 = e(2, 2);
    float k, s;
    if (m11 < m00 && m00 > m22) {
        k = 1.0f + m00 - m11 - m22;
        if (std::fabs(k) < kQuatEpsilon) return kQuaternionIdentity;
        s = 2.0f * std::sqrt(k);
        return CSVector4(s / 4.0f, (e(0, 1) + e(1, 0)) / s, (e(2, 0) + e(0, 2)) / s, (e(1, 2) - e(2, 1)) / s);
    }
    if (m11 > m22) {
        k = 1.0f + m11 - m00 - m22;
        if (std::fabs(k) < kQuatEpsilon) return kQuaternionIdentity;
        s = 2.0f * std::sqrt(k);
        return CSVector4((e(0, 1) + e(1, 0)) / s, s / 4.0f, (e(1, 2) + e(2, 1)) / s, (e(2, 0) - e(0, 2)) / s);
    }
    k = 1.0f + m22 - m00 - m11;
    if (std::fabs(k) < kQuatEpsilon) return kQuaternionIdentity;
    s = 2.0f * std::sqrt(k);
    return CSVector4((e(2, 0) + e(0, 2)) / s, (e(1, 2) + e(2, 1)) / s, s / 4.0f, (e(0, 1) - e(1, 0)) / s);
}

CSMatrix QuaternionToMatrix(CSVector4 q) {
    float x = q.x, y = q.y, z = q.z, w = q.w;
    CSMatrix out;
    out.m[0] = 1.0f - 2.0f * (y * y + z * z);
    out.m[1] = 2.0f * (x * y + z * w);
    out.m[2] = 2.0f * (x * z - y * w);
    out.m[4] = 2.0f * (x * y - z * w);
    out.m[5] = 1.0f - 2.0f * (x * x + z * z);
    out.m[6] = 2.0f * (y * z + x * w);
    out.m[8] = 2.0f * (x * z + y * w);
    out.m[9] = 2.0f * (y * z - x * w);
    out.m[10] = 1.0f - 2.0f * (x * x + y * y);
    return out;
}

void CSMatrix::SetFromQuaternion(const CSVector4& q) { *this = QuaternionToMatrix(q); }

CSVector4 QuaternionLookRotation(CSVector4 f, CSVector4 u) {
    CSVector4 r = CSVector4Cross3(u, f);
    CSVector4 v = CSVector4Cross3(f, r);
    // Rows (r, v, f).
    float m00 = r.x, m01 = r.y, m02 = r.z;
    float m10 = v.x, m11 = v.y, m12 = v.z;
    float m20 = f.x, m21 = f.y, m22 = f.z;
    float w = 0.5f * std::sqrt(1.0f + m00 + m11 + m22);
    float d = 4.0f * w;
    CSVector4 q((m21 - m12) / d, (m02 - m20) / d, (m10 - m01) / d, w);
    return CSVector4Normalize4(q);
}

CSVector4 QuaternionNlerp(const CSVector4& q1, const CSVector4& q2, float t) {
    float d = CSVector4Dot4(q1, q2).x;
    float w1 = 1.0f - t;
    if (d < 0.0f) w1 = -w1;
    CSVector4 r = CSVector4Add(CSVector4Scale(q1, w1), CSVector4Scale(q2, t));
    float len = std::sqrt(CSVector4Dot4(r, r).x);
    return CSVector4Scale(r, 1.0f / len);
}

CSVector4 QuaternionSlerp(const CSVector4& q1, const CSVector4& q2, float t) {
    return QuaternionSlerpV(q1, q2, CSVector4::Splat(t));
}

CSVector4 QuaternionSlerpV(CSVector4 q1, CSVector4 q2, CSVector4 t) {
    const CSVector4 one = CSVector4::Splat(1.0f);
    CSVector4 d = CSVector4Dot4(q1, q2);
    CSVector4 a = CSVector4Abs(d);
    CSVector4 oneMinusT = CSVector4Sub(one, t);
    CSVector4 w1, w2;
    if (1.0f - a.x < kQuatEpsilon) {
        w1 = oneMinusT;
        w2 = t;
    } else {
        CSVector4 theta = CSVector4AcosApprox(a);
        CSVector4 k = CSVector4Recip(CSVector4SinApprox(theta));
        w1 = CSVector4Mul(CSVector4SinApprox(CSVector4Mul(oneMinusT, theta)), k);
        w2 = CSVector4Mul(CSVector4SinApprox(CSVector4Mul(t, theta)), k);
    }
    // Take the shorter way round: w1 negated where the dot product is negative.
    w1 = CSVector4Select(w1, CSVector4Neg(w1), CSVector4CmpLt(d, CSVector4()));
    return CSVector4Add(CSVector4Mul(w1, q1), CSVector4Mul(w2, q2));
}

bool CSMatrix::Decompose(CSVector4& scale, CSVector4& rotation, CSVector4& translation) const {
    CSMatrix n = *this;
    float k[3];
    for (int j = 0; j < 3; ++j) {
        k[j] = CSVector4InvLength3(m[j], m[4 + j], m[8 + j]).x;
        ScaleColumn(n, j, k[j]);
    }
    rotation = QuaternionFromMatrix(n);
    scale = CSVector4(1.0f / k[0], 1.0f / k[1], 1.0f / k[2], 0.0f);
    translation = Row(3);
    return true;
}

bool CSMatrix::DecomposeInPlace() {
    CSVector4 scale, rotation, translation;
    Decompose(scale, rotation, translation);
    SetRow(0, scale);
    SetRow(1, rotation);
    return true;
}

void CSMatrix::Compose(const CSVector4& scale, const CSVector4& rotation, const CSVector4& translation) {
    ComposeInto(*this, scale, rotation, translation);
}

void CSMatrix::ComposeFrom(const DecomposedTransform& d) {
    ComposeInto(*this, d.m_vScale, d.m_vRotation, d.m_vTranslation);
}

void CSMatrix::InterpolateDecomposed(const DecomposedTransform& p, const DecomposedTransform& q, float t) {
    if (t < kQuatEpsilon) {
        ComposeFrom(p);
        return;
    }
    if (t > 0.99999f) {
        ComposeFrom(q);
        return;
    }
    CSVector4 tv = CSVector4::Splat(t);
    ComposeInto(*this, CSVector4LerpV(p.m_vScale, q.m_vScale, tv), QuaternionSlerpV(p.m_vRotation, q.m_vRotation, tv),
                CSVector4LerpV(p.m_vTranslation, q.m_vTranslation, tv));
}

void CSMatrix::Interpolate(const CSMatrix& a, const CSMatrix& b, float t) {
    if (t < kQuatEpsilon) {
        *this = a;
        return;
    }
    if (t > 0.99999f) {
        *this = b;
        return;
    }
    CSVector4 sa, ra, ta, sb, rb, tb;
    a.Decompose(sa, ra, ta);
    b.Decompose(sb, rb, tb);
    ComposeInto(*this, CSVector4Lerp(sa, sb, t), QuaternionSlerp(ra, rb, t), CSVector4Lerp(ta, tb, t));
}
