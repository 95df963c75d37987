#include "particles/CSMatrix.h"

#include <cmath>
#include <utility>

namespace {
const float kMatrixEpsilon = 0.00001f;

// Double-precision library functions of a float angle, rounded to float.
float Sin(float a) { return static_cast<float>(std::sin(static_cast<double>(a))); }
float Cos(float a) { return static_cast<float>(std::cos(static_cast<double>(a))); }

float Dot3(const CSVector4& a, const CSVector4& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// cot of half the vertical field of view given in degrees.
float HalfFovCot(float fovYDegrees) {
    float half = static_cast<float>(static_cast<double>(fovYDegrees) * 0.008726646259971648);
    float t = static_cast<float>(std::tan(static_cast<double>(half)));
    return 1.0f / t;
}
}  // namespace

void CSMatrix::AddTranslation(const float v[3]) {
    m[12] += v[0];
    m[13] += v[1];
    m[14] += v[2];
    m[15] = 1.0f;
}

void CSMatrix::SetRotationAxisAngle(float angle, float x, float y, float z) {
    SetIdentity();
    if (std::fabs(angle) < kMatrixEpsilon) return;
    float n = std::sqrt(x * x + y * y + z * z);
    if (n < kMatrixEpsilon) return;
    x /= n;
    y /= n;
    z /= n;
    float c = Cos(angle), s = Sin(angle);
    float t = 1.0f - c;
    m[0] = c + t * x * x;
    m[1] = t * x * y + z * s;
    m[2] = t * x * z - y * s;
    m[4] = t * x * y - z * s;
    m[5] = c + t * y * y;
    m[6] = t * y * z + x * s;
    m[8] = t * x * z + y * s;
    m[9] = t * y * z - x * s;
    m[10] = c + t * z * z;
}

void CSMatrix::SetRotationX(float angle) {
    SetIdentity();
    float c = Cos(angle), s = Sin(angle);
    m[5] = c;
    m[6] = s;
    m[9] = -s;
    m[10] = c;
}

void CSMatrix::SetRotationY(float angle) {
    SetIdentity();
    float c = Cos(angle), s = Sin(angle);
    m[0] = c;
    m[2] = s;
    m[8] = -s;
    m[10] = c;
}

void CSMatrix::SetRotationZ(float angle) {
    SetIdentity();
    float c = Cos(angle), s = Sin(angle);
    m[0] = c;
    m[1] = s;
    m[4] = -s;
    m[5] = c;
}

void CSMatrix::SetRotationEuler(float a, float b, float c) {
    float ca = Cos(a), sa = Sin(a), cb = Cos(b), sb = Sin(b), cc = Cos(c), sc = Sin(c);
    CSMatrix rx, ry, rz;
    rx.m[5] = ca;
    rx.m[6] = -sa;
    rx.m[9] = sa;
    rx.m[10] = ca;
    ry.m[0] = cb;
    ry.m[2] = sb;
    ry.m[8] = -sb;
    ry.m[10] = cb;
    rz.m[0] = cc;
    rz.m[1] = -sc;
    rz.m[4] = sc;
    rz.m[5] = cc;
    CSMatrix zy;
    zy.SetProduct(ry, rz);  // Z x Y
    SetProduct(rx, zy);     // (Z x Y) x X
}

void CSMatrix::SetRotationRadians(float a, float b, float c) {
    SetIdentity();
    float sa = Sin(a), ca = Cos(a);
    // b enters through the sine and cosine of -b.
    float sb = -Sin(-b), cb = Cos(-b);
    float sc = Sin(c), cc = Cos(c);
    SetRotationTerms(sa, ca, sb, cb, sc, cc);
}

void CSMatrix::SetRotationTerms(float sa, float ca, float sb, float cb, float sc, float cc) {
    m[0] = ca * cc + sa * sb * sc;
    m[1] = -sa * cc + ca * sb * sc;
    m[2] = -cb * sc;
    m[4] = sa * cb;
    m[5] = ca * cb;
    m[6] = sb;
    m[8] = ca * sc - sa * sb * cc;
    m[9] = -sa * sc - ca * sb * cc;
    m[10] = cb * cc;
}

bool CSMatrix::Invert() {
    // Gauss-Jordan on the transpose: working row k is column k of the matrix, extended by
    // row k of the identity. Rows are swapped by pointer.
    float work[4][8];
    float* r[4];
    for (int k = 0; k < 4; ++k) {
        for (int j = 0; j < 4; ++j) {
            work[k][j] = m[4 * j + k];
            work[k][4 + j] = j == k ? 1.0f : 0.0f;
        }
        r[k] = work[k];
    }

    for (int p = 0; p < 4; ++p) {
        // Bubble the largest pivot candidate up, comparing from the last row upwards.
        for (int i = 3; i > p; --i) {
            if (std::fabs(r[i][p]) > std::fabs(r[i - 1][p])) std::swap(r[i], r[i - 1]);
        }
        if (r[p][p] == 0.0f) return false;
        for (int i = p + 1; i < 4; ++i) {
            float f = r[i][p] / r[p][p];
            for (int j = p + 1; j < 8; ++j) r[i][j] -= f * r[p][j];
        }
    }

    // Back-substitution into the right halves.
    for (int i = 3; i >= 0; --i) {
        float inv = 1.0f / r[i][i];
        for (int j = 4; j < 8; ++j) {
            float v = r[i][j];
            for (int k = i + 1; k < 4; ++k) v -= r[i][k] * r[k][j];
            r[i][j] = v * inv;
        }
    }

    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) m[4 * row + col] = r[col][4 + row];
    return true;
}

void CSMatrix::SetLookRotation(const CSVector4& direction, const CSVector4& up) {
    CSVector4 z = CSVector4Normalize3(CSVector4Neg(direction));
    CSVector4 x = CSVector4Normalize3(CSVector4Cross3(up, z));
    CSVector4 y = CSVector4Cross3(z, x);
    SetIdentity();
    m[0] = x.x;
    m[1] = y.x;
    m[2] = z.x;
    m[4] = x.y;
    m[5] = y.y;
    m[6] = z.y;
    m[8] = x.z;
    m[9] = y.z;
    m[10] = z.z;
}

void CSMatrix::SetLookAt(const CSVector4& eye, const CSVector4& direction, const CSVector4& up) {
    SetLookRotation(direction, up);
    CSVector4 x(m[0], m[4], m[8], 0.0f), y(m[1], m[5], m[9], 0.0f), z(m[2], m[6], m[10], 0.0f);
    m[12] = -Dot3(x, eye);
    m[13] = -Dot3(y, eye);
    m[14] = -Dot3(z, eye);
}

void CSMatrix::SetPerspective(float fovYDegrees, float aspect, float zNear, float zFar) {
    float cot = HalfFovCot(fovYDegrees);
    for (float& e : m) e = 0.0f;
    m[0] = cot / aspect;
    m[5] = cot;
    m[10] = zFar / (zNear - zFar);
    m[11] = -1.0f;
    m[14] = zNear * zFar / (zNear - zFar);
}

void CSMatrix::SetPerspectiveInfinite(float fovYDegrees, float aspect, float zNear) {
    float cot = HalfFovCot(fovYDegrees);
    for (float& e : m) e = 0.0f;
    m[0] = cot / aspect;
    m[5] = cot;
    m[10] = -1.0f;
    m[11] = -1.0f;
    m[14] = -zNear;
}

void CSMatrix::SetOrthoOffCenter(float left, float right, float bottom, float top, float zNear, float zFar) {
    SetIdentity();
    m[0] = 2.0f / (right - left);
    m[5] = 2.0f / (top - bottom);
    m[10] = 1.0f / (zNear - zFar);
    m[12] = (left + right) / (left - right);
    m[13] = (top + bottom) / (bottom - top);
    m[14] = zNear / (zNear - zFar);
}

void CSMatrix::SetOrthoOffCenterSymmetric(float left, float right, float bottom, float top, float zNear, float zFar) {
    SetIdentity();
    m[0] = 2.0f / (right - left);
    m[5] = 2.0f / (top - bottom);
    m[10] = -2.0f / (zFar - zNear);
    m[12] = -(right + left) / (right - left);
    m[13] = -(top + bottom) / (top - bottom);
    m[14] = -(zFar + zNear) / (zFar - zNear);
}
