#pragma once
// Quaternions (x, y, z, w; w the scalar part) in the row-vector convention of CSMatrix,
// and the interpolation of whole transforms through scale, rotation and translation.
#include "particles/CSMatrix.h"

// Four vectors overlaying the rows of a matrix that CSMatrix::DecomposeInPlace wrote.
struct DecomposedTransform {
    CSVector4 m_vScale;        // x, y, z; w is 0 when DecomposeInPlace wrote it
    CSVector4 m_vRotation;     // quaternion
    CSVector4 m_vUnused;       // whatever the matrix held in row 2
    CSVector4 m_vTranslation;  // x, y, z, w

    DecomposedTransform() = default;
    explicit DecomposedTransform(const CSMatrix& rows)
        : m_vScale(rows.Row(0)), m_vRotation(rows.Row(1)), m_vUnused(rows.Row(2)), m_vTranslation(rows.Row(3)) {}
};

constexpr CSVector4 kQuaternionIdentity(0.0f, 0.0f, 0.0f, 1.0f);

// Axis-angle vector (x, y, z, angle in radians); the axis is not normalised.
CSVector4 QuaternionFromAxisAngle(CSVector4 axisAngle);
CSVector4 QuaternionToAxisAngle(CSVector4 q);
// From the upper 3 x 3; small rotations come out as the identity.
CSVector4 QuaternionFromMatrix(const CSMatrix& m);
CSMatrix QuaternionToMatrix(CSVector4 q);
// forward and up are expected to be unit vectors and not opposite.
CSVector4 QuaternionLookRotation(CSVector4 forward, CSVector4 up);
CSVector4 QuaternionNlerp(const CSVector4& q1, const CSVector4& q2, float t);
CSVector4 QuaternionSlerp(const CSVector4& q1, const CSVector4& q2, float t);
CSVector4 QuaternionSlerpV(CSVector4 q1, CSVector4 q2, CSVector4 t);
