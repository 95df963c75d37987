#include "particles/ParticleMatrixStack.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SceneGraph/Camera.h"
#include "particles/CSAngle.h"

namespace ParticleMatrixStack {
State g_State;
}

namespace {
using ParticleMatrixStack::g_State;

const double kStep256 = 0.02454369328916073;  // 2*pi/256, 2*pi in single precision
const double kTwoPiSingle = 6.2831854820251465;

// The stack has no room for error: overflow or underflow would write or read outside it.
void CheckStack(bool ok, const char* message) {
    if (!ok) {
        std::fprintf(stderr, "ParticleMatrixStack: %s (depth %d)\n", message, static_cast<int>(g_State.m_nDepth));
        std::abort();
    }
}

struct SinCos {
    float s, c;
};

SinCos Table256(int32_t a) {
    SinCos r;
    FastSinCos256(a, r.s, r.c);
    return r;
}

SinCos Float256(float a) {
    double x = static_cast<float>(static_cast<double>(a) * kStep256);
    return SinCos{static_cast<float>(std::sin(x)), static_cast<float>(std::cos(x))};
}

// The rotation of angles a, b, c into the upper 3 x 3, choosing the variant by which of
// b and c are non-zero. Angle b arrives as the sine and cosine of -b.
void WriteRotation(CSMatrix& mat, SinCos a, bool hasB, SinCos negB, bool hasC, SinCos c) {
    float* m = mat.m;
    const float sa = a.s, ca = a.c;
    if (!hasB && !hasC) {
        m[0] = ca, m[1] = -sa, m[2] = 0.0f;
        m[4] = sa, m[5] = ca, m[6] = 0.0f;
        m[8] = 0.0f, m[9] = 0.0f, m[10] = 1.0f;
        return;
    }
    const float sb = -negB.s, cb = negB.c;
    const float sc = c.s, cc = c.c;
    if (!hasC) {
        // X(b) x Z(a)
        m[0] = ca, m[1] = -sa, m[2] = 0.0f;
        m[4] = sa * cb, m[5] = ca * cb, m[6] = sb;
        m[8] = -sa * sb, m[9] = -ca * sb, m[10] = cb;
        return;
    }
    if (!hasB) {
        // Y(c) x Z(a)
        m[0] = ca * cc, m[1] = -sa * cc, m[2] = -sc;
        m[4] = sa, m[5] = ca, m[6] = 0.0f;
        m[8] = ca * sc, m[9] = -sa * sc, m[10] = cc;
        return;
    }
    mat.SetRotationTerms(sa, ca, sb, cb, sc, cc);
}

// current <- r x current.
void PreMultiplyCurrent(const CSMatrix& r) { g_State.m_mCurrent.SetProduct(g_State.m_mCurrent, r); }
}  // namespace

void ParticleMatrixStack::SetTranslation(float x, float y, float z) {
    float* m = g_State.m_mCurrent.m;
    m[12] = x;
    m[13] = y;
    m[14] = z;
    m[15] = 1.0f;
}

void ParticleMatrixStack::SetScale(float sx, float sy, float sz) {
    float* m = g_State.m_mCurrent.m;
    m[0] *= sx, m[1] *= sx, m[2] *= sx;
    m[4] *= sy, m[5] *= sy, m[6] *= sy;
    m[8] *= sz, m[9] *= sz, m[10] *= sz;
}

void ParticleMatrixStack::ApplyParent() {
    CheckStack(g_State.m_nDepth >= 1, "parent applied with no saved matrix");
    CSMatrix product;
    product.SetProduct(g_State.m_arrSlots[g_State.m_nDepth - 1], g_State.m_mCurrent);
    g_State.m_mCurrent = product;
}

void ParticleMatrixStack::ProjectPointToViewport(CSVector4& v) {
    const CSMatrixRows rows = CSMatrixLoad(g_State.m_mWorldViewProjection);
    CSVector4 p = CSTransformPointRows(rows, v);
    CSVector4 r = CSVector4Recip(CSVector4SplatW(p));
    CSVector4 q = CSVector4Mul(p, r);
    v = CSVector4MulAdd(q, g_State.m_vViewportScale, g_State.m_vViewportOffset);
}

void PushMatrix() {
    CheckStack(g_State.m_nDepth < ParticleMatrixStack::kMaxDepth, "push beyond eight matrices");
    g_State.m_arrSlots[g_State.m_nDepth] = g_State.m_mCurrent;
    ++g_State.m_nDepth;
}

void PopMatrix() {
    CheckStack(g_State.m_nDepth > 0, "pop of an empty stack");
    --g_State.m_nDepth;
    g_State.m_mCurrent = g_State.m_arrSlots[g_State.m_nDepth];
}

void SetRotation256(CSMatrix& matrix, int32_t a, int32_t b, int32_t c) {
    // -b modulo 256 without overflow for any int32.
    int32_t negB = static_cast<int32_t>(0u - static_cast<uint32_t>(b));
    WriteRotation(matrix, Table256(a), b != 0, Table256(negB), c != 0, Table256(c));
}

void SetRotation256f(CSMatrix& matrix, float a, float b, float c) {
    // -0.0 counts as zero, a NaN as non-zero.
    WriteRotation(matrix, Float256(a), b != 0.0f, Float256(-b), c != 0.0f, Float256(c));
}

void SetCurrentRotation256(int32_t a, int32_t b, int32_t c) {
    g_State.m_fRecordedAngle = static_cast<float>(a);
    SetRotation256(g_State.m_mCurrent, a, b, c);
}

void SetCurrentRotation256f(float a, float b, float c) {
    g_State.m_fRecordedAngle = a;
    SetRotation256f(g_State.m_mCurrent, a, b, c);
}

void SetCurrentRotationZ256(int32_t a) {
    g_State.m_fRecordedAngle = static_cast<float>(a);
    SetRotation256(g_State.m_mCurrent, a, 0, 0);
}

void SetCurrentRotationZ256f(float a) {
    g_State.m_fRecordedAngle = a;
    SetRotation256f(g_State.m_mCurrent, a, 0.0f, 0.0f);
}

void SetFacingRotation(bool faceYaw, bool facePitch, float a, float b, float c, float yawOffset, float pitchOffset) {
    if (faceYaw) a = g_State.m_fCameraYaw + yawOffset + 128.0f;
    if (facePitch) b = -(g_State.m_fCameraPitch + pitchOffset);
    SetCurrentRotation256f(a, b, c);
}

void ResetCurrentRotation() {
    g_State.m_fRecordedAngle = 0.0f;
    float* m = g_State.m_mCurrent.m;
    for (int i = 0; i < 12; ++i) m[i] = 0.0f;
    m[0] = m[5] = m[10] = 1.0f;
}

void FaceCurrentToCamera() {
    float angle =
        static_cast<float>((static_cast<double>(g_State.m_fRecordedAngle) - 64.0) * 3.141592653589793 / 128.0);
    CSMatrix turn;
    turn.SetRotationAxisAngle(angle, 0.0f, 0.0f, 1.0f);
    CSMatrix turnedFacing;
    turnedFacing.SetProduct(g_State.m_mFacing, turn);  // A x facing
    PreMultiplyCurrent(turnedFacing);
}

void SetParticleProjection(const ParticleViewportRect& rect, float yawRadians, float pitchRadians,
                           const CSMatrix& facing, float eyeX, float eyeY, float eyeZ) {
    g_State.m_fCameraYaw = static_cast<float>(static_cast<double>(yawRadians) * 256.0 / kTwoPiSingle);
    g_State.m_fCameraPitch = static_cast<float>(static_cast<double>(pitchRadians) * 256.0 / kTwoPiSingle);
    g_State.m_mFacing = facing;
    g_State.m_afCameraPos[0] = eyeX;
    g_State.m_afCameraPos[1] = eyeY;
    g_State.m_afCameraPos[2] = eyeZ;
    float halfWidth = static_cast<float>(rect.right - rect.left) / 2.0f;
    float height = static_cast<float>(rect.bottom - rect.top);
    float width = static_cast<float>(rect.right - rect.left);
    g_State.m_afViewRect[0] = static_cast<float>(rect.left + rect.right) / 2.0f;
    g_State.m_afViewRect[1] = static_cast<float>(rect.top + rect.bottom) / 2.0f;
    g_State.m_afViewRect[2] = halfWidth;
    g_State.m_afViewRect[3] = -halfWidth * (height / width);
}

void UpdateParticleViewMatrices() {
    // Without a camera there is nothing to project through; the previous product stays.
    if (sg::Camera* camera = GetParticleCamera()) {
        CSMatrix viewProjection;
        std::memcpy(viewProjection.m, camera->GetViewProjection().m, sizeof(viewProjection.m));
        g_State.m_mWorldViewProjection.SetProduct(viewProjection, g_State.m_mCurrent);
    }
    ParticleViewportRect viewport = GetParticleViewport();
    float halfWidth = static_cast<float>(viewport.right - viewport.left) * 0.5f;
    float halfHeight = static_cast<float>(viewport.bottom - viewport.top) * 0.5f;
    g_State.m_vViewportScale = CSVector4(halfWidth, -halfHeight, 1.0f, 0.0f);
    g_State.m_vViewportOffset = CSVector4(halfWidth, halfHeight, 0.0f, 0.0f);
}

void RotateCurrentLook256f(float a, float b) {
    CSMatrix r;  // Y(b) x Z(64 - a), zero translation
    SetRotation256f(r, 64.0f - a, 0.0f, b);
    PreMultiplyCurrent(r);
}

void PreRotateCurrentZ256f(float x) {
    CSMatrix r;
    SetRotation256f(r, 64.0f - x, 0.0f, 0.0f);
    PreMultiplyCurrent(r);
}

void TurnCurrentToCameraYaw() { PreRotateCurrentZ256f(g_State.m_fRecordedAngle - g_State.m_fCameraYaw); }
