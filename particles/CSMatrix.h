#pragma once
// The particle library's 4 x 4 matrix. Row-major: element 4r + c is row r, column c; points
// are row vectors multiplied on the left (p' = p x M), the translation is row 3. A x B is
// the ordinary product and applies A first; SetProduct (a, b) stores b x a.
#include "particles/CSVector.h"

struct DecomposedTransform;

// The four rows of a matrix, as the box, frustum and viewport code load them.
struct CSMatrixRows {
    CSVector4 r[4];
};

class CSMatrix {
public:
    float m[16];

    constexpr CSMatrix()
        : m{1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f} {}

    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }

    CSVector4 Row(int r) const { return CSVector4(m[4 * r], m[4 * r + 1], m[4 * r + 2], m[4 * r + 3]); }
    void SetRow(int r, CSVector4 v) {
        m[4 * r] = v.x;
        m[4 * r + 1] = v.y;
        m[4 * r + 2] = v.z;
        m[4 * r + 3] = v.w;
    }

    void SetIdentity() { *this = CSMatrix(); }

    // this <- b x a (a applied second); this may be a or b.
    void SetProduct(const CSMatrix& a, const CSMatrix& b);
    // b x this, this unchanged.
    CSMatrix Product(const CSMatrix& b) const;

    // (in.x, in.y, in.z, 0) x this; out.w gets the last column's sum. in and out may alias.
    void TransformVector(const CSVector4& in, CSVector4& out) const;
    // (in.x, in.y, in.z, 1) x this.
    void TransformPoint(const CSVector4& in, CSVector4& out) const;
    // in x this, all four lanes.
    void TransformVector4(const CSVector4& in, CSVector4& out) const;

    CSVector4 GetTranslation() const { return Row(3); }
    void AddTranslation(const float v[3]);

    // (x, y, z) <- the first three lanes of (x, y, z, 0) x m.
    static void RotateVector3(const CSMatrix& m, float& x, float& y, float& z);

    // Builders: each overwrites the whole matrix (angles in radians).
    void SetRotationAxisAngle(float angle, float x, float y, float z);
    void SetRotationX(float angle);
    void SetRotationY(float angle);
    void SetRotationZ(float angle);
    // Z(c) x Y(b) x X(a).
    void SetRotationEuler(float a, float b, float c);
    // The three-angle rotation of the matrix stack's setters, with radian angles.
    void SetRotationRadians(float a, float b, float c);
    // Its upper 3 x 3 from the sines and cosines of the three angles; the rest
    // of the matrix is left as it is.
    void SetRotationTerms(float sa, float ca, float sb, float cb, float sc, float cc);
    // In place; false (matrix unchanged) on an exactly zero pivot.
    bool Invert();
    void SetLookRotation(const CSVector4& direction, const CSVector4& up);
    void SetLookAt(const CSVector4& eye, const CSVector4& direction, const CSVector4& up);
    // Right-handed, depth 0..1.
    void SetPerspective(float fovYDegrees, float aspect, float zNear, float zFar);
    void SetPerspectiveInfinite(float fovYDegrees, float aspect, float zNear);
    void SetOrthoOffCenter(float left, float right, float bottom, float top, float zNear, float zFar);
    // Depth -1..1.
    void SetOrthoOffCenterSymmetric(float left, float right, float bottom, float top, float zNear, float zFar);

    // Quaternions and transform interpolation (CSQuaternion.cpp).
    void SetFromQuaternion(const CSVector4& q);
    bool Decompose(CSVector4& scale, CSVector4& rotation, CSVector4& translation) const;
    bool DecomposeInPlace();
    void Compose(const CSVector4& scale, const CSVector4& rotation, const CSVector4& translation);
    void ComposeFrom(const DecomposedTransform& d);
    void InterpolateDecomposed(const DecomposedTransform& p, const DecomposedTransform& q, float t);
    void Interpolate(const CSMatrix& a, const CSMatrix& b, float t);
};

inline CSMatrixRows CSMatrixLoad(const CSMatrix& m) { return CSMatrixRows{{m.Row(0), m.Row(1), m.Row(2), m.Row(3)}}; }

// Row vector times matrix rows, accumulated from the last lane towards x.
inline CSVector4 CSTransformPointRows(const CSMatrixRows& rows, CSVector4 in) {
    CSVector4 t = CSVector4MulAdd(CSVector4SplatZ(in), rows.r[2], rows.r[3]);
    t = CSVector4MulAdd(CSVector4SplatY(in), rows.r[1], t);
    return CSVector4MulAdd(CSVector4SplatX(in), rows.r[0], t);
}

inline void CSMatrix::SetProduct(const CSMatrix& a, const CSMatrix& b) {
    const CSMatrixRows ra = CSMatrixLoad(a);
    const CSMatrix cb = b;
    for (int r = 0; r < 4; ++r) {
        CSVector4 row = CSVector4Mul(CSVector4::Splat(cb.m[4 * r]), ra.r[0]);
        row = CSVector4MulAdd(CSVector4::Splat(cb.m[4 * r + 1]), ra.r[1], row);
        row = CSVector4MulAdd(CSVector4::Splat(cb.m[4 * r + 2]), ra.r[2], row);
        row = CSVector4MulAdd(CSVector4::Splat(cb.m[4 * r + 3]), ra.r[3], row);
        SetRow(r, row);
    }
}

inline CSMatrix CSMatrix::Product(const CSMatrix& b) const {
    CSMatrix out;
    out.SetProduct(*this, b);
    return out;
}

inline void CSMatrix::TransformVector(const CSVector4& in, CSVector4& out) const {
    const CSVector4 v = in;
    CSVector4 t = CSVector4Mul(CSVector4SplatZ(v), Row(2));
    t = CSVector4MulAdd(CSVector4SplatY(v), Row(1), t);
    out = CSVector4MulAdd(CSVector4SplatX(v), Row(0), t);
}

inline void CSMatrix::TransformPoint(const CSVector4& in, CSVector4& out) const {
    out = CSTransformPointRows(CSMatrixLoad(*this), in);
}

inline void CSMatrix::TransformVector4(const CSVector4& in, CSVector4& out) const {
    const CSVector4 v = in;
    CSVector4 t = CSVector4Mul(CSVector4SplatW(v), Row(3));
    t = CSVector4MulAdd(CSVector4SplatZ(v), Row(2), t);
    t = CSVector4MulAdd(CSVector4SplatY(v), Row(1), t);
    out = CSVector4MulAdd(CSVector4SplatX(v), Row(0), t);
}

inline void CSMatrix::RotateVector3(const CSMatrix& m, float& x, float& y, float& z) {
    CSVector4 v(x, y, z, 0.0f);
    m.TransformVector(v, v);
    x = v.x;
    y = v.y;
    z = v.z;
}
