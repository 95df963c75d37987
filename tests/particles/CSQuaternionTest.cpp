#include <gtest/gtest.h>

#include <cmath>

#include "ParticleMathsTestUtil.h"
#include "particles/CSQuaternion.h"

namespace {
CSVector4 AxisAngleQ(float x, float y, float z, float angle) {
    float s = std::sin(angle / 2);
    return CSVector4(x * s, y * s, z * s, std::cos(angle / 2));
}

// Exact spherical interpolation along the shorter arc, for reference.
CSVector4 ExactSlerp(CSVector4 a, CSVector4 b, double t) {
    double d = double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z + double(a.w) * b.w;
    double sign = d < 0 ? -1 : 1;
    double th = std::acos(std::fabs(d));
    double w1 = std::sin((1 - t) * th) / std::sin(th) * sign, w2 = std::sin(t * th) / std::sin(th);
    return CSVector4(float(w1 * a.x + w2 * b.x), float(w1 * a.y + w2 * b.y), float(w1 * a.z + w2 * b.z),
                     float(w1 * a.w + w2 * b.w));
}

CSMatrix ScaledRotatedTranslated(CSVector4 scale, CSVector4 q, CSVector4 t) {
    CSMatrix m;
    m.Compose(scale, q, t);
    return m;
}
}  // namespace

TEST(Quaternion, AxisAngleBothWays) {
    EXPECT_TRUE(VecNear(QuaternionFromAxisAngle(CSVector4(2, 0, 0, 1.0f)),
                        CSVector4(2 * std::sin(0.5f), 0, 0, std::cos(0.5f)), 1e-6f));
    EXPECT_TRUE(CSVector4AllEqual(QuaternionFromAxisAngle(CSVector4(0.001f, 0.001f, 0.001f, 1)), kQuaternionIdentity));
    EXPECT_TRUE(CSVector4AllEqual(QuaternionFromAxisAngle(CSVector4(0, 0, 0, 1)), kQuaternionIdentity));

    EXPECT_TRUE(
        VecNear(QuaternionToAxisAngle(CSVector4(std::sin(0.5f), 0, 0, std::cos(0.5f))), CSVector4(1, 0, 0, 1), 1e-5f));
    EXPECT_TRUE(CSVector4AllEqual(QuaternionToAxisAngle(CSVector4(0.3f, 0, 0, 1.5f)), CSVector4(0, 0, 0, 0)));
    EXPECT_TRUE(CSVector4AllEqual(QuaternionToAxisAngle(kQuaternionIdentity), CSVector4(0, 0, 0, 0)));
}

TEST(Quaternion, MatrixRoundTripAndFallbacks) {
    EXPECT_TRUE(CSVector4AllEqual(QuaternionFromMatrix(CSMatrix()), kQuaternionIdentity));
    EXPECT_TRUE(VecNear(QuaternionFromMatrix(MatrixOf({1, 0, 0, 0, 0, -1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1})),
                        CSVector4(1, 0, 0, 0), 0));

    // One rotation for each of the three diagonal cases.
    const CSVector4 qs[] = {AxisAngleQ(1, 0, 0, 2.0f), AxisAngleQ(0, 1, 0, 2.0f), AxisAngleQ(0, 0, 1, 2.0f),
                            AxisAngleQ(0.48f, 0.6f, 0.64f, 1.1f)};
    for (const CSVector4& q : qs) {
        CSMatrix m = QuaternionToMatrix(q);
        CSVector4 back = QuaternionFromMatrix(m);
        if (back.w * q.w < 0) back = CSVector4Neg(back);
        EXPECT_TRUE(VecNear(back, q, 1e-5f));
        CSMatrix viaMember = Translation(5, 5, 5);
        viaMember.SetFromQuaternion(q);
        EXPECT_TRUE(MatNear(viaMember, m, 0));
    }

    // Row-vector convention: a quarter turn about +z takes x to y, as the matrix builders do.
    CSMatrix axis;
    axis.SetRotationAxisAngle(1.0f, 0, 0, 1);
    EXPECT_TRUE(MatNear(QuaternionToMatrix(AxisAngleQ(0, 0, 1, 1.0f)), axis, 1e-6f));

    // Small rotations have no dominant-w case and come out as the identity.
    EXPECT_TRUE(
        CSVector4AllEqual(QuaternionFromMatrix(QuaternionToMatrix(AxisAngleQ(0, 0, 1, 0.001f))), kQuaternionIdentity));
}

TEST(Quaternion, LookRotation) {
    EXPECT_TRUE(
        VecNear(QuaternionLookRotation(CSVector4(0, 0, 1, 0), CSVector4(0, 1, 0, 0)), kQuaternionIdentity, 1e-6f));
    EXPECT_TRUE(VecNear(QuaternionLookRotation(CSVector4(1, 0, 0, 0), CSVector4(0, 0, 1, 0)),
                        CSVector4(-0.5f, -0.5f, -0.5f, 0.5f), 1e-6f));
}

TEST(Quaternion, NlerpAndSlerp) {
    const CSVector4 q1 = AxisAngleQ(0, 0, 1, 0.2f), q2 = AxisAngleQ(0.6f, 0, 0.8f, 1.4f);
    const CSVector4 nq2 = CSVector4Neg(q2);

    EXPECT_TRUE(VecNear(QuaternionSlerp(q1, q2, 0), q1, 1e-5f));
    EXPECT_TRUE(VecNear(QuaternionSlerp(q1, nq2, 0), CSVector4Neg(q1), 1e-5f));
    EXPECT_TRUE(VecNear(QuaternionSlerp(q1, q2, 1), q2, 1e-4f));
    for (float t : {0.0f, 0.3f, 0.8f, 1.0f}) EXPECT_TRUE(VecNear(QuaternionSlerp(q1, q1, t), q1, 1e-6f)) << t;
    for (float t : {0.25f, 0.5f, 0.9f}) {
        EXPECT_TRUE(VecNear(QuaternionSlerp(q1, q2, t), ExactSlerp(q1, q2, t), 0.0001f)) << t;
        EXPECT_TRUE(VecNear(QuaternionSlerp(q1, nq2, t), ExactSlerp(q1, nq2, t), 0.0001f)) << t;
        EXPECT_TRUE(VecNear(QuaternionSlerpV(q1, q2, CSVector4::Splat(t)), QuaternionSlerp(q1, q2, t), 0)) << t;
    }

    // A negative dot product interpolates from -q1.
    CSVector4 n = QuaternionNlerp(q1, nq2, 0.5f);
    CSVector4 mid = CSVector4Normalize4(CSVector4Add(CSVector4Neg(q1), nq2));
    EXPECT_TRUE(VecNear(n, mid, 1e-6f));
    EXPECT_TRUE(VecNear(QuaternionNlerp(q1, nq2, 0), CSVector4Neg(q1), 1e-6f));
}

TEST(TransformInterpolation, DecomposeAndCompose) {
    const CSVector4 scale(2, 3, 0.5f, 0), q = AxisAngleQ(0.48f, 0.6f, 0.64f, 1.1f), t(7, -8, 9, 1);
    CSMatrix m = ScaledRotatedTranslated(scale, q, t);
    CSVector4 s2, q2, t2;
    ASSERT_TRUE(m.Decompose(s2, q2, t2));
    EXPECT_TRUE(VecNear(s2, scale, 1e-5f));
    EXPECT_TRUE(VecNear(q2, q, 1e-5f));
    EXPECT_TRUE(CSVector4AllEqual(t2, t));

    CSMatrix inPlace = m;
    ASSERT_TRUE(inPlace.DecomposeInPlace());
    DecomposedTransform d(inPlace);
    EXPECT_TRUE(VecNear(d.m_vScale, scale, 1e-5f));
    EXPECT_EQ(d.m_vScale.w, 0.0f);
    EXPECT_TRUE(VecNear(d.m_vRotation, q, 1e-5f));
    EXPECT_TRUE(CSVector4AllEqual(d.m_vUnused, m.Row(2)));
    EXPECT_TRUE(CSVector4AllEqual(d.m_vTranslation, t));

    CSMatrix back;
    back.ComposeFrom(d);
    EXPECT_TRUE(MatNear(back, m, 1e-5f));
}

TEST(TransformInterpolation, EndpointsAreExactAndMidpointBlends) {
    const CSMatrix a = ScaledRotatedTranslated(CSVector4(1, 1, 1, 0), AxisAngleQ(0, 0, 1, 0.4f), CSVector4(0, 0, 0, 1));
    const CSMatrix b =
        ScaledRotatedTranslated(CSVector4(3, 3, 3, 0), AxisAngleQ(0, 0, 1, 1.2f), CSVector4(10, 20, 30, 1));
    CSMatrix r;
    r.Interpolate(a, b, 0.000009f);
    EXPECT_TRUE(MatNear(r, a, 0));
    r.Interpolate(a, b, 0.999995f);
    EXPECT_TRUE(MatNear(r, b, 0));

    const CSMatrix expected =
        ScaledRotatedTranslated(CSVector4(2, 2, 2, 0), AxisAngleQ(0, 0, 1, 0.8f), CSVector4(5, 10, 15, 1));
    r.Interpolate(a, b, 0.5f);
    EXPECT_TRUE(MatNear(r, expected, 2e-4f));

    CSMatrix da = a, db = b;
    da.DecomposeInPlace();
    db.DecomposeInPlace();
    CSMatrix rd;
    rd.InterpolateDecomposed(DecomposedTransform(da), DecomposedTransform(db), 0.5f);
    EXPECT_TRUE(MatNear(rd, expected, 2e-4f));
    rd.InterpolateDecomposed(DecomposedTransform(da), DecomposedTransform(db), 0.0f);
    EXPECT_TRUE(MatNear(rd, a, 1e-5f));
    rd.InterpolateDecomposed(DecomposedTransform(da), DecomposedTransform(db), 1.0f);
    EXPECT_TRUE(MatNear(rd, b, 1e-5f));
}
