#pragma once

// 4 x 4 float matrix. Element (row r, column c) is m[4r + c]. Points are row
// vectors transformed as p x M, so the translation sits in m[12], m[13], m[14]
// and the product A x B applies A first, then B.
struct Matrix4 {
    float m[16];

    // The identity.
    Matrix4();

    float& operator[](int i) { return m[i]; }
    const float& operator[](int i) const { return m[i]; }

    // other x this: the argument applies first.
    Matrix4 operator*(const Matrix4& other) const;

    // In place, for the scene graph's transformable nodes: each prepends its
    // transform, so it acts in the matrix's own frame.
    // Row 3 += x row 0 + y row 1 + z row 2.
    void Translate(float x, float y, float z);
    void RotateX(float radians);
    void RotateY(float radians);
    void RotateZ(float radians);

    static Matrix4 Identity();
    static Matrix4 Translation(float x, float y, float z);
    static Matrix4 Scaling(float x, float y, float z);
    static Matrix4 RotationY(float radians);

    // General inverse (adjugate over determinant). Returns false and leaves out
    // untouched when the matrix has no finite inverse. out may be in.
    static bool Inverse(const Matrix4& in, Matrix4& out);
};

// out = a x b; out may be a or b.
void Matrix4Multiply(Matrix4& out, const Matrix4& a, const Matrix4& b);

// Inverse of a rotation-scale-translation matrix. Returns false and leaves out
// untouched when the upper 3 x 3 block is singular. out may be in.
bool Matrix4AffineInverse(Matrix4& out, const Matrix4& in);
