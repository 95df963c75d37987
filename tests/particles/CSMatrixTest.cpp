#include <gtest/gtest.h>

#include <cmath>

#include "ParticleMathsTestUtil.h"
#include "particles/CSMatrix.h"

namespace {
const CSMatrix kScale2 = MatrixOf({2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1});

// Reference product in the ordinary sense: rows of a times columns of b.
CSMatrix Ordinary(const CSMatrix& a, const CSMatrix& b) {
    CSMatrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double s = 0;
            for (int k = 0; k < 4; ++k) s += double(a.m[4 * i + k]) * b.m[4 * k + j];
            r.m[4 * i + j] = float(s);
        }
    return r;
}

CSMatrix Sample() { return MatrixOf({1, 2, 0, 0, -1, 0.5f, 3, 0, 0, 2, 1, 0, 4, -2, 7, 1}); }
}  // namespace

TEST(CSMatrixProduct, SetProductStoresSecondTimesFirst) {
    CSMatrix t = Translation(1, 2, 3);
    CSMatrix r;
    r.SetProduct(t, kScale2);
    EXPECT_TRUE(MatNear(r, MatrixOf({2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 1, 2, 3, 1}), 0));
    CSVector4 p;
    r.TransformVector4(CSVector4(1, 1, 1, 1), p);
    EXPECT_TRUE(CSVector4AllEqual(p, CSVector4(3, 4, 5, 1)));  // scaled first, translated second
    EXPECT_TRUE(MatNear(t.Product(kScale2), r, 0));
    EXPECT_TRUE(MatNear(t, Translation(1, 2, 3), 0));  // Product leaves this unchanged

    CSMatrix a = Sample(), b = QuarterTurnZ();
    b.m[12] = 5;
    CSMatrix ab;
    ab.SetProduct(a, b);
    EXPECT_TRUE(MatNear(ab, Ordinary(b, a), 1e-6f));
}

TEST(CSMatrixProduct, TargetMayBeEitherOperand) {
    const CSMatrix a = Sample(), b = QuarterTurnZ();
    CSMatrix expected;
    expected.SetProduct(a, b);
    CSMatrix x = a;
    x.SetProduct(x, b);
    EXPECT_TRUE(MatNear(x, expected, 0));
    CSMatrix y = b;
    y.SetProduct(a, y);
    EXPECT_TRUE(MatNear(y, expected, 0));
    CSMatrix z = a;
    z.SetProduct(z, z);
    EXPECT_TRUE(MatNear(z, Ordinary(a, a), 1e-5f));
}

TEST(CSMatrixTransform, VectorPointAndFourLanes) {
    CSMatrix m = Translation(1, 2, 3);
    const CSVector4 in(4, 5, 6, 9);
    CSVector4 out;
    m.TransformVector(in, out);
    EXPECT_TRUE(CSVector4AllEqual(out, CSVector4(4, 5, 6, 0)));
    m.TransformPoint(in, out);
    EXPECT_TRUE(CSVector4AllEqual(out, CSVector4(5, 7, 9, 1)));
    m.TransformVector4(in, out);
    EXPECT_TRUE(CSVector4AllEqual(out, CSVector4(13, 23, 33, 9)));

    // TransformVector's w is the last column's sum; in and out may be one vector.
    CSMatrix s = Sample();
    s.m[3] = 2, s.m[7] = 3, s.m[11] = 4;
    CSVector4 v(1, 2, 3, 100);
    s.TransformVector(v, v);
    EXPECT_TRUE(VecNear(v, CSVector4(1 - 2 + 0, 2 + 1 + 6, 0 + 6 + 3, 2 + 6 + 12), 0));

    float x = 1, y = 2, z = 3;
    CSMatrix::RotateVector3(QuarterTurnZ(), x, y, z);
    EXPECT_EQ(x, 2.0f);
    EXPECT_EQ(y, -1.0f);
    EXPECT_EQ(z, 3.0f);
}

TEST(CSMatrixTransform, TranslationRow) {
    EXPECT_TRUE(CSVector4AllEqual(CSMatrix().GetTranslation(), CSVector4(0, 0, 0, 1)));
    CSMatrix m = Translation(1, 1, 1);
    m.m[15] = 0;
    const float v[3] = {1, 2, 3};
    m.AddTranslation(v);
    EXPECT_TRUE(CSVector4AllEqual(m.GetTranslation(), CSVector4(2, 3, 4, 1)));

    CSMatrixRows rows = CSMatrixLoad(Sample());
    EXPECT_TRUE(CSVector4AllEqual(rows.r[3], CSVector4(4, -2, 7, 1)));
}

TEST(CSMatrixBuilders, AxisAngle) {
    CSMatrix m;
    m.SetRotationAxisAngle(0.000009f, 0, 0, 1);
    EXPECT_TRUE(MatNear(m, CSMatrix(), 0));
    m.SetRotationAxisAngle(1.0f, 0.000001f, 0, 0);
    EXPECT_TRUE(MatNear(m, CSMatrix(), 0));

    // An unnormalised axis gives the same rotation as the unit axis.
    CSMatrix unit;
    float n = std::sqrt(14.0f);
    unit.SetRotationAxisAngle(0.7f, 1 / n, 2 / n, 3 / n);
    m.SetRotationAxisAngle(0.7f, 1, 2, 3);
    EXPECT_TRUE(MatNear(m, unit, 1e-6f));

    const float angles[] = {0.3f, -1.2f, 2.5f};
    for (float th : angles) {
        CSMatrix axis, single;
        axis.SetRotationAxisAngle(th, 0, 0, 1);
        single.SetRotationZ(th);
        EXPECT_TRUE(MatNear(axis, single, 1e-6f)) << th;
        axis.SetRotationAxisAngle(-th, 0, 1, 0);
        single.SetRotationY(th);
        EXPECT_TRUE(MatNear(axis, single, 1e-6f)) << th;
        axis.SetRotationAxisAngle(th, 1, 0, 0);
        single.SetRotationX(th);
        EXPECT_TRUE(MatNear(axis, single, 1e-6f)) << th;
    }

    // Right-hand rule: a quarter turn about +z takes x to y.
    m.SetRotationAxisAngle(float(M_PI / 2), 0, 0, 1);
    CSVector4 p;
    m.TransformVector(CSVector4(1, 0, 0, 0), p);
    EXPECT_TRUE(VecNear(p, CSVector4(0, 1, 0, 0), 1e-6f));
}

TEST(CSMatrixBuilders, EulerAndRadians) {
    const float a = 0.4f, b = -0.9f, c = 1.3f;
    CSMatrix x = MatrixOf({1, 0, 0, 0, 0, std::cos(a), -std::sin(a), 0, 0, std::sin(a), std::cos(a), 0, 0, 0, 0, 1});
    CSMatrix y = MatrixOf({std::cos(b), 0, std::sin(b), 0, 0, 1, 0, 0, -std::sin(b), 0, std::cos(b), 0, 0, 0, 0, 1});
    CSMatrix z = MatrixOf({std::cos(c), -std::sin(c), 0, 0, std::sin(c), std::cos(c), 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    CSMatrix e;
    e.SetRotationEuler(a, b, c);
    EXPECT_TRUE(MatNear(e, Ordinary(Ordinary(z, y), x), 1e-6f));

    // The stack's three-angle rotation Y(c) x X(b) x Z(a), in radians, rest identity.
    CSMatrix zr = MatrixOf({std::cos(a), -std::sin(a), 0, 0, std::sin(a), std::cos(a), 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    CSMatrix xr = MatrixOf({1, 0, 0, 0, 0, std::cos(b), std::sin(b), 0, 0, -std::sin(b), std::cos(b), 0, 0, 0, 0, 1});
    CSMatrix yr = MatrixOf({std::cos(c), 0, -std::sin(c), 0, 0, 1, 0, 0, std::sin(c), 0, std::cos(c), 0, 0, 0, 0, 1});
    CSMatrix r = Translation(9, 9, 9);
    r.SetRotationRadians(a, b, c);
    EXPECT_TRUE(MatNear(r, Ordinary(Ordinary(yr, xr), zr), 1e-6f));
}

TEST(CSMatrixInvert, PivotingAndSingularMatrices) {
    CSMatrix m = Sample();
    CSMatrix inv = m;
    ASSERT_TRUE(inv.Invert());
    EXPECT_TRUE(MatNear(Ordinary(m, inv), CSMatrix(), 1e-5f));

    // Element 0 is zero: only a row swap makes the first pivot.
    CSMatrix perm = MatrixOf({0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 3, 4, 5, 1});
    inv = perm;
    ASSERT_TRUE(inv.Invert());
    EXPECT_TRUE(MatNear(Ordinary(perm, inv), CSMatrix(), 1e-6f));

    CSMatrix singular = MatrixOf({1, 2, 3, 0, 2, 4, 6, 0, 0, 1, 5, 0, 0, 0, 0, 1});
    CSMatrix copy = singular;
    EXPECT_FALSE(copy.Invert());
    EXPECT_TRUE(MatNear(copy, singular, 0));
}

TEST(CSMatrixBuilders, LookRotationAndLookAt) {
    CSMatrix m = Translation(4, 4, 4);
    m.SetLookRotation(CSVector4(0, 0, -1, 0), CSVector4(0, 1, 0, 0));
    EXPECT_TRUE(MatNear(m, CSMatrix(), 0));

    // Looking along +x with z up: p x M gives coordinates along (x, y, z) = (-y, z, -x) of the world.
    m.SetLookRotation(CSVector4(1, 0, 0, 0), CSVector4(0, 0, 1, 0));
    CSVector4 p;
    m.TransformVector(CSVector4(5, 0, 0, 0), p);
    EXPECT_TRUE(VecNear(p, CSVector4(0, 0, -5, 0), 1e-6f));

    CSMatrix v;
    v.SetLookAt(CSVector4(1, 2, 3, 1), CSVector4(0, 0, -1, 0), CSVector4(0, 1, 0, 0));
    v.TransformPoint(CSVector4(1, 2, 3, 1), p);
    EXPECT_TRUE(VecNear(p, CSVector4(0, 0, 0, 1), 0));

    // A direction parallel to up gives zero basis vectors, no NaNs.
    m.SetLookRotation(CSVector4(0, 1, 0, 0), CSVector4(0, 1, 0, 0));
    for (float e : m.m) EXPECT_FALSE(std::isnan(e));
    EXPECT_EQ(m.m[0], 0.0f);
}

TEST(CSMatrixBuilders, Projections) {
    CSMatrix p;
    p.SetPerspective(90, 1, 1, 101);
    EXPECT_TRUE(MatNear(p, MatrixOf({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1.01f, -1, 0, 0, -1.01f, 0}), 1e-6f));

    p.SetPerspectiveInfinite(90, 2, 0.5f);
    EXPECT_TRUE(MatNear(p, MatrixOf({0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, -1, 0, 0, -0.5f, 0}), 1e-6f));

    // Depth 0 at the near plane and 1 at the far plane (the camera looks down -z).
    CSVector4 c;
    p.SetOrthoOffCenter(-2, 6, -1, 3, 1, 11);
    p.TransformPoint(CSVector4(6, 3, -11, 1), c);
    EXPECT_TRUE(VecNear(c, CSVector4(1, 1, 1, 1), 1e-6f));
    p.TransformPoint(CSVector4(-2, -1, -1, 1), c);
    EXPECT_TRUE(VecNear(c, CSVector4(-1, -1, 0, 1), 1e-6f));

    p.SetOrthoOffCenterSymmetric(-2, 6, -1, 3, 1, 11);
    p.TransformPoint(CSVector4(6, 3, -11, 1), c);
    EXPECT_TRUE(VecNear(c, CSVector4(1, 1, 1, 1), 1e-6f));
    p.TransformPoint(CSVector4(-2, -1, -1, 1), c);
    EXPECT_TRUE(VecNear(c, CSVector4(-1, -1, -1, 1), 1e-6f));
}
