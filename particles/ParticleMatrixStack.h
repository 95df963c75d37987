#pragma once
// The particle library's one global transform state: a stack of eight saved matrices, the
// current matrix every setter writes, the camera state stored once a frame and the
// world-view-projection and viewport vectors refreshed before each drawn item.
// Angles are in 256ths of a turn.
#include <cstdint>

#include "particles/CSMatrix.h"
#include "particles/ParticleDevice.h"

namespace ParticleMatrixStack {
constexpr int32_t kMaxDepth = 8;

struct State {
    int32_t m_nDepth = 0;
    CSMatrix m_arrSlots[kMaxDepth];
    CSMatrix m_mCurrent;
    CSMatrix m_mWorldViewProjection;  // current x camera view-projection
    CSMatrix m_mFacing;               // camera orientation for camera-facing sprites
    float m_fCameraYaw = 0.0f;
    float m_fCameraPitch = 0.0f;
    float m_afCameraPos[3] = {0.0f, 0.0f, 0.0f};
    float m_fRecordedAngle = 0.0f;                     // first angle of the last current-matrix rotation setter
    CSVector4 m_vViewportOffset;                       // (half width, half height, 0, 0)
    CSVector4 m_vViewportScale;                        // (half width, -half height, 1, 0)
    float m_afViewRect[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // centre x, centre y, half width, -half height
};

// Lives for the whole process; main thread only.
extern State g_State;

// Elements 12..14 <- (x, y, z), element 15 <- 1; the rotation part stays.
void SetTranslation(float x, float y, float z);
// Scales rows 0..2 of the current matrix: diag(sx, sy, sz) x current.
void SetScale(float sx, float sy, float sz);
// current <- current x the matrix saved by the last push. Requires depth >= 1.
void ApplyParent();
// v <- its position on the particle viewport (v.w not read; result w is 0).
void ProjectPointToViewport(CSVector4& v);
}  // namespace ParticleMatrixStack

// Balanced by the callers, never deeper than eight; a breach stops the program.
void PushMatrix();
void PopMatrix();

// R = Y(c) x X(b) x Z(a) written into the upper 3 x 3; the rest of the matrix stays.
// The integer form takes table sines (FastSinCos256), the float form standard sines.
void SetRotation256(CSMatrix& matrix, int32_t a, int32_t b, int32_t c);
void SetRotation256f(CSMatrix& matrix, float a, float b, float c);

// Rotation setters of the current matrix; each records its first angle.
void SetCurrentRotation256(int32_t a, int32_t b, int32_t c);
void SetCurrentRotation256f(float a, float b, float c);
void SetCurrentRotationZ256(int32_t a);
void SetCurrentRotationZ256f(float a);
void SetFacingRotation(bool faceYaw, bool facePitch, float a, float b, float c, float yawOffset, float pitchOffset);
void ResetCurrentRotation();
// current <- A x facing x current, A a turn about z by (recorded angle - 64).
void FaceCurrentToCamera();

// Once a frame from the camera set-up; rect is (left, top, right, bottom).
void SetParticleProjection(const ParticleViewportRect& rect, float yawRadians, float pitchRadians,
                           const CSMatrix& facing, float eyeX, float eyeY, float eyeZ);
// Before each drawn item: world-view-projection and viewport vectors from the camera.
void UpdateParticleViewMatrices();

// current <- Y(b) x Z(64 - a) x current.
void RotateCurrentLook256f(float a, float b);
// current <- Z(64 - x) x current.
void PreRotateCurrentZ256f(float x);
// current <- Z(64 + camera yaw - recorded angle) x current.
void TurnCurrentToCameraYaw();
