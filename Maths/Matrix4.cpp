#include "Maths/Matrix4.h"

#include <cmath>

namespace {
// Determinant of the 3 x 3 minor of m without the given row and column.
float Minor(const float* m, int row, int col) {
    int r[3];
    int c[3];
    for (int i = 0, j = 0; i < 4; ++i)
        if (i != row) r[j++] = i;
    for (int i = 0, j = 0; i < 4; ++i)
        if (i != col) c[j++] = i;
    auto e = [&](int i, int j) { return m[4 * r[i] + c[j]]; };
    return e(0, 0) * (e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1)) - e(0, 1) * (e(1, 0) * e(2, 2) - e(1, 2) * e(2, 0)) +
           e(0, 2) * (e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0));
}

// Both new rows come from the old ones: ra' = c ra + s rb, rb' = -s ra + c rb,
// over the first three columns.
void RotateRows(float* m, int ra, int rb, float radians) {
    const float c = std::cos(radians);
    const float s = std::sin(radians);
    for (int col = 0; col < 3; ++col) {
        const float a = m[4 * ra + col];
        const float b = m[4 * rb + col];
        m[4 * ra + col] = c * a + s * b;
        m[4 * rb + col] = -s * a + c * b;
    }
}
}  // namespace

Matrix4::Matrix4() : m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}

Matrix4 Matrix4::operator*(const Matrix4& other) const {
    Matrix4 out;
    Matrix4Multiply(out, other, *this);
    return out;
}

void Matrix4::Translate(float x, float y, float z) {
    for (int col = 0; col < 4; ++col) m[12 + col] = m[12 + col] + (x * m[col] + y * m[4 + col] + z * m[8 + col]);
}

void Matrix4::RotateX(float radians) { RotateRows(m, 1, 2, radians); }

void Matrix4::RotateY(float radians) {
    // Row 0' = c row 0 - s row 2, row 2' = s row 0 + c row 2: the pair taken
    // with row 2 first.
    RotateRows(m, 2, 0, radians);
}

void Matrix4::RotateZ(float radians) { RotateRows(m, 0, 1, radians); }

Matrix4 Matrix4::Identity() { return Matrix4(); }

Matrix4 Matrix4::Translation(float x, float y, float z) {
    Matrix4 t;
    t.m[12] = x;
    t.m[13] = y;
    t.m[14] = z;
    return t;
}

Matrix4 Matrix4::Scaling(float x, float y, float z) {
    Matrix4 s;
    s.m[0] = x;
    s.m[5] = y;
    s.m[10] = z;
    return s;
}

Matrix4 Matrix4::RotationY(float radians) {
    const float c = std::cos(-radians);
    const float s = std::sin(-radians);
    Matrix4 r;
    r.m[0] = c;
    r.m[2] = s;
    r.m[8] = -s;
    r.m[10] = c;
    return r;
}

bool Matrix4::Inverse(const Matrix4& in, Matrix4& out) {
    // Cofactors of the first row give the determinant.
    float cofactor[16];
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            const float minor = Minor(in.m, row, col);
            cofactor[4 * row + col] = ((row + col) % 2 == 0) ? minor : -minor;
        }
    const float det = in.m[0] * cofactor[0] + in.m[1] * cofactor[1] + in.m[2] * cofactor[2] + in.m[3] * cofactor[3];
    if (det == 0.0f || !std::isfinite(det)) return false;

    Matrix4 result;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            const float v = cofactor[4 * col + row] / det;
            if (!std::isfinite(v)) return false;
            result.m[4 * row + col] = v;
        }
    out = result;
    return true;
}

void Matrix4Multiply(Matrix4& out, const Matrix4& a, const Matrix4& b) {
    Matrix4 r;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            r.m[4 * row + col] = a.m[4 * row] * b.m[col] + a.m[4 * row + 1] * b.m[4 + col] +
                                 a.m[4 * row + 2] * b.m[8 + col] + a.m[4 * row + 3] * b.m[12 + col];
    out = r;
}

bool Matrix4AffineInverse(Matrix4& out, const Matrix4& in) {
    const float* m = in.m;

    // Positive and negative products summed apart, so that cancellation can be
    // told from a genuinely small determinant.
    const float products[6] = {m[0] * m[5] * m[10], m[4] * m[9] * m[2],   m[8] * m[1] * m[6],
                               -m[8] * m[5] * m[2], -m[4] * m[1] * m[10], -m[0] * m[9] * m[6]};
    float pos = 0.0f;
    float neg = 0.0f;
    for (float p : products) {
        if (p >= 0.0f) pos += p;
        else neg += p;
    }
    const float det = pos + neg;
    if (det == 0.0f || std::fabs(det / (pos - neg)) < 1e-15f) return false;

    Matrix4 r;
    r.m[0] = (m[5] * m[10] - m[6] * m[9]) / det;
    r.m[4] = -(m[4] * m[10] - m[6] * m[8]) / det;
    r.m[8] = (m[4] * m[9] - m[5] * m[8]) / det;
    r.m[1] = -(m[1] * m[10] - m[2] * m[9]) / det;
    r.m[5] = (m[0] * m[10] - m[2] * m[8]) / det;
    r.m[9] = -(m[0] * m[9] - m[1] * m[8]) / det;
    r.m[2] = (m[1] * m[6] - m[2] * m[5]) / det;
    r.m[6] = -(m[0] * m[6] - m[2] * m[4]) / det;
    r.m[10] = (m[0] * m[5] - m[1] * m[4]) / det;
    r.m[3] = 0.0f;
    r.m[7] = 0.0f;
    r.m[11] = 0.0f;
    r.m[15] = 1.0f;

    const float tx = m[12];
    const float ty = m[13];
    const float tz = m[14];
    r.m[12] = -(tx * r.m[0] + ty * r.m[4] + tz * r.m[8]);
    r.m[13] = -(tx * r.m[1] + ty * r.m[5] + tz * r.m[9]);
    r.m[14] = -(tx * r.m[2] + ty * r.m[6] + tz * r.m[10]);
    out = r;
    return true;
}
