#include "Maths/Matrix4.h"
#include "Maths/Vector3.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
const float kHalfPi = 1.5707963f;

// p x M with p a row vector (x, y, z, 1), divided by w.
Vector3 Apply(const Matrix4& m, const Vector3& p) {
    const float x = p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12];
    const float y = p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13];
    const float z = p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14];
    const float w = p.x * m[3] + p.y * m[7] + p.z * m[11] + m[15];
    return Vector3(x / w, y / w, z / w);
}

void ExpectNear(const Vector3& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

void ExpectMatrixNear(const Matrix4& a, const Matrix4& b, float tolerance = 1e-5f) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a[i], b[i], tolerance) << "element " << i;
}

Matrix4 FromElements(std::initializer_list<float> values) {
    Matrix4 m;
    int i = 0;
    for (float v : values) m[i++] = v;
    return m;
}

// A general matrix with rotation, scale, shear, translation and a projective column.
Matrix4 Sample() { return FromElements({2, 1, 0, 0.5f, 0, 3, 1, 0, 1, 0, 1, 0.25f, 4, -2, 5, 2}); }

TEST(Matrix4, TranslationSitsInTheFourthRow) {
    const Matrix4 t = Matrix4::Translation(1, 2, 3);
    EXPECT_EQ(t[12], 1.0f);
    EXPECT_EQ(t[13], 2.0f);
    EXPECT_EQ(t[14], 3.0f);
    ExpectNear(Apply(t, Vector3(10, 20, 30)), 11, 22, 33);
    const Matrix4 s = Matrix4::Scaling(2, 3, 4);
    ExpectNear(Apply(s, Vector3(1, 1, 1)), 2, 3, 4);
}

TEST(Matrix4, ProductAppliesTheLeftMatrixFirst) {
    const Matrix4 t = Matrix4::Translation(1, 0, 0);
    const Matrix4 s = Matrix4::Scaling(2, 2, 2);
    Matrix4 ts;
    Matrix4Multiply(ts, t, s);
    ExpectNear(Apply(ts, Vector3(1, 0, 0)), 4, 0, 0);  // translate, then scale
    Matrix4 st;
    Matrix4Multiply(st, s, t);
    ExpectNear(Apply(st, Vector3(1, 0, 0)), 3, 0, 0);  // scale, then translate

    // operator* applies its argument first.
    ExpectMatrixNear(s * t, ts);
    ExpectMatrixNear(t * s, st);
}

TEST(Matrix4, MultiplyMayWriteIntoAnOperand) {
    const Matrix4 a = Sample();
    const Matrix4 b = Matrix4::RotationY(0.3f);
    Matrix4 expected;
    Matrix4Multiply(expected, a, b);
    Matrix4 left = a;
    Matrix4Multiply(left, left, b);
    ExpectMatrixNear(left, expected, 0.0f);
    Matrix4 right = b;
    Matrix4Multiply(right, a, right);
    ExpectMatrixNear(right, expected, 0.0f);
}

TEST(Matrix4, RotationYElements) {
    const Matrix4 r = Matrix4::RotationY(kHalfPi);
    EXPECT_NEAR(r[0], 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(r[2], -1.0f);
    EXPECT_FLOAT_EQ(r[8], 1.0f);
    EXPECT_NEAR(r[10], 0.0f, 1e-6f);
    EXPECT_EQ(r[5], 1.0f);
    EXPECT_EQ(r[15], 1.0f);
    ExpectNear(Apply(r, Vector3(1, 0, 0)), 0, 0, -1);
    ExpectNear(Apply(r, Vector3(0, 0, 1)), 1, 0, 0);
}

TEST(Matrix4, InverseUndoesTheMatrix) {
    const Matrix4 m = Sample();
    Matrix4 inv;
    ASSERT_TRUE(Matrix4::Inverse(m, inv));
    Matrix4 product;
    Matrix4Multiply(product, m, inv);
    ExpectMatrixNear(product, Matrix4::Identity());

    Matrix4 inPlace = m;
    ASSERT_TRUE(Matrix4::Inverse(inPlace, inPlace));
    ExpectMatrixNear(inPlace, inv, 0.0f);
}

TEST(Matrix4, InverseOfASingularMatrixFailsAndKeepsTheOutput) {
    const Matrix4 singulars[] = {
        Matrix4::Scaling(1, 0, 1),
        FromElements({1, 2, 3, 4, 2, 4, 6, 8, 0, 1, 0, 0, 0, 0, 1, 1}),  // two proportional rows
        FromElements({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
    };
    for (const Matrix4& s : singulars) {
        Matrix4 out = Sample();
        EXPECT_FALSE(Matrix4::Inverse(s, out));
        ExpectMatrixNear(out, Sample(), 0.0f);
    }
}

TEST(Matrix4, AffineInverse) {
    Matrix4 rs;
    Matrix4Multiply(rs, Matrix4::Scaling(2, 0.5f, 4), Matrix4::RotationY(0.7f));
    Matrix4 m;
    Matrix4Multiply(m, rs, Matrix4::Translation(3, -1, 2));

    Matrix4 inv;
    ASSERT_TRUE(Matrix4AffineInverse(inv, m));
    Matrix4 product;
    Matrix4Multiply(product, m, inv);
    ExpectMatrixNear(product, Matrix4::Identity());

    Matrix4 inPlace = m;
    ASSERT_TRUE(Matrix4AffineInverse(inPlace, inPlace));
    ExpectMatrixNear(inPlace, inv, 0.0f);

    // A zero scale leaves the output, here the input itself, as it was.
    Matrix4 flat = Matrix4::Scaling(1, 0, 1);
    flat[12] = 5;
    const Matrix4 before = flat;
    EXPECT_FALSE(Matrix4AffineInverse(flat, flat));
    ExpectMatrixNear(flat, before, 0.0f);
}

// Each in-place operation equals the product with its transform on the left.
TEST(Matrix4, InPlaceOperationsPrependTheirTransform) {
    const float a = 0.4f;
    const float c = std::cos(a);
    const float s = std::sin(a);
    const Matrix4 rx = FromElements({1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1});
    const Matrix4 rz = FromElements({c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    struct Case {
        const char* name;
        void (*apply)(Matrix4&, float);
        Matrix4 left;
    };
    const Case cases[] = {
        {"RotateX", [](Matrix4& m, float r) { m.RotateX(r); }, rx},
        {"RotateY", [](Matrix4& m, float r) { m.RotateY(r); }, Matrix4::RotationY(a)},
        {"RotateZ", [](Matrix4& m, float r) { m.RotateZ(r); }, rz},
    };
    // The rotations leave the fourth column alone, so test them on an affine matrix.
    Matrix4 affine = Sample();
    affine[3] = affine[7] = affine[11] = 0.0f;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        Matrix4 m = affine;
        k.apply(m, a);
        Matrix4 expected;
        Matrix4Multiply(expected, k.left, affine);
        ExpectMatrixNear(m, expected);
    }

    Matrix4 m = Sample();
    m.Translate(1, -2, 3);
    Matrix4 expected;
    Matrix4Multiply(expected, Matrix4::Translation(1, -2, 3), Sample());
    ExpectMatrixNear(m, expected);
}
}  // namespace
