// Sprite particle quads: camera-facing, free, flat and line quads, the motion-aligned
// sprite, and the texture frame's UV corners every path shares.
#include <cmath>
#include <utility>

#include "particles/Angle256.h"
#include "particles/CEmiter.h"
#include "particles/CParticle.h"
#include "particles/CParticleParams.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CParticlesMesh.h"
#include "particles/ParticleMatrixStack.h"
#include "particles/ParticleHelpers.h"
#include "particles/ParticlePairs.h"
#include "particles/ParticleRenderPaths.h"

using namespace particlerender;
using ParticleMatrixStack::g_State;

namespace {

constexpr double kStep = 6.283185307179586 / 256.0;

// Non-negative remainder: frames count from 0 whatever their sign.
int32_t Mod(int32_t a, int32_t n) {
    const int32_t r = a % n;
    return r < 0 ? r + n : r;
}

// Kind 1's corners in the plane of the second and third axes, spun by s.
void FacingCorners(float hx, float hy, float px, float py, float spin, CSVector4 corners[4]) {
    if (spin != 0.0f) {
        const double theta = -static_cast<double>(spin) * kStep;
        const float c = static_cast<float>(std::cos(theta)), n = static_cast<float>(std::sin(theta));
        corners[0] = CSVector4(0.0f, px - hx * c - hy * n, py + hy * c - hx * n, 0.0f);
        corners[1] = CSVector4(0.0f, px - hx * c + hy * n, py - hy * c - hx * n, 0.0f);
        corners[2] = CSVector4(0.0f, px + hx * c - hy * n, py + hy * c + hx * n, 0.0f);
        corners[3] = CSVector4(0.0f, px + hx * c + hy * n, py - hy * c + hx * n, 0.0f);
        return;
    }
    corners[0] = CSVector4(0.0f, px - hx, py + hy, 0.0f);
    corners[1] = CSVector4(0.0f, px - hx, py - hy, 0.0f);
    corners[2] = CSVector4(0.0f, px + hx, py + hy, 0.0f);
    corners[3] = CSVector4(0.0f, px + hx, py - hy, 0.0f);
}

void TransformCorners(CSVector4 corners[4]) {
    for (int i = 0; i < 4; ++i) {
        g_State.m_mCurrent.TransformPoint(corners[i], corners[i]);
        corners[i].w = kQuadW;
    }
}

// The quad's half width and height and its centre offset, at the particle's size.
void QuadExtent(const CParticleParams& block, const CParticle& particle, float& hx, float& hy, float& px, float& py) {
    float sx, sy;
    Sizes(block, particle, sx, sy);
    hx = sx * block.Width / 2.0f;
    hy = sy * block.Height / 2.0f;
    px = block.CentreOffsetX;
    py = block.CentreOffsetY;
    if (block.OffsetRelativeToSize != 0) {
        px *= sx;
        py *= sy;
    }
}

// Whether the rows add to the particle's angles.
bool RowAngles(const CParticleParams& block) {
    return block.OwnMatrix != 0 && (block.Flags & CParticleParams::kRotationRowsOff) == 0;
}

}  // namespace

bool CParticlesMesh::DrawHiddenParticle(CParticlesEmiter&, CEmiter&, CParticle&, const CParticleParams&,
                                        const CSVector4&) {
    return false;
}

bool CParticlesMesh::DrawSpriteParticle(CParticlesEmiter& effect, CEmiter& emitter, CParticle& particle,
                                        const CParticleParams& block, const CSVector4& modulation) {
    CSVector4 colour;
    if (!VisibleColour(block, particle, modulation, colour)) return false;

    float pos[3];
    Position(effect, emitter, particle, block, true, pos);
    float hx, hy, px, py;
    QuadExtent(block, particle, hx, hy, px, py);

    // Kind 8 comes here with its rows off and draws as a free quad.
    const int32_t kind = block.ParticleKind == 8 ? 2 : block.ParticleKind;
    CSVector4 corners[4];
    if (kind == 1) {
        const bool spinOff = (block.Flags & CParticleParams::kRotationRowsOff) != 0 || block.YawFromVelocity != 0;
        const float spin = spinOff ? 0.0f : Value(block, particle, CParticleParams::RotationX);
        FacingCorners(hx, hy, px, py, spin, corners);
    } else {
        const float left = -hx - px, right = hx - px, top = py + hy, bottom = py - hy;
        const float z = kind == 3 ? block.FlatHeight : 0.0f;
        if (kind == 7) {
            corners[0] = CSVector4(-px, top, 0.0f, 0.0f);
            corners[1] = CSVector4(-px, bottom, 0.0f, 0.0f);
        } else {
            corners[0] = CSVector4(left, top, z, 0.0f);
            corners[1] = CSVector4(left, bottom, z, 0.0f);
            corners[2] = CSVector4(right, top, z, 0.0f);
            corners[3] = CSVector4(right, bottom, z, 0.0f);
        }
    }

    PushMatrix();
    ParticleMatrixStack::SetTranslation(pos[0], pos[1], pos[2]);
    const ParticleFloat3& a = particle.m_vAngles;
    const bool rows = RowAngles(block);
    if (kind == 3) {
        SetCurrentRotationZ256f(a.x + (rows ? Value(block, particle, CParticleParams::RotationX) : 0.0f));
    } else if (kind != 1) {
        SetCurrentRotation256f(a.x + (rows ? Value(block, particle, CParticleParams::RotationX) : 0.0f),
                               a.y + (rows ? Value(block, particle, CParticleParams::RotationY) : 0.0f),
                               a.z + (rows ? Value(block, particle, CParticleParams::Roll) : 0.0f));
    }
    if (block.ParticleSpace != 1) {
        ParticleMatrixStack::ApplyParent();
        SnapToGround(&effect, block, pos[2]);
    }
    if (kind == 1) {
        ResetCurrentRotation();
        FaceCurrentToCamera();
    }
    if (kind == 7) {
        const float hw = hx < 0.025f ? 0.025f : hx;
        CSVector4 top, bottom;
        g_State.m_mCurrent.TransformPoint(corners[0], top);
        g_State.m_mCurrent.TransformPoint(corners[1], bottom);
        corners[0] = CSVector4(top.x, top.y, top.z, -hw);
        corners[1] = CSVector4(bottom.x, bottom.y, bottom.z, -hw);
        corners[2] = CSVector4(top.x, top.y, top.z, hw);
        corners[3] = CSVector4(bottom.x, bottom.y, bottom.z, hw);
    } else {
        TransformCorners(corners);
    }
    PopMatrix();

    HandOverQuad(particle, nullptr, block, corners, colour, colour);
    return true;
}

void CParticlesMesh::ComputeQuadUVs(const CParticle& particle, const CParticle* next, const CParticleParams& block,
                                    float uvs[8], CSTexture*& texture) {
    const int32_t f = particle.m_nTexFrame;
    const int32_t textures = static_cast<int32_t>(block.TextureList.GetCount());
    float u0 = 0.0f, u1 = 1.0f, v0 = 0.0f, v1 = 1.0f;
    if (block.WholeTexture == 1) {
        texture = textures > 0 ? block.TextureList[static_cast<uint32_t>(Mod(f, textures))] : nullptr;
        u0 = block.UStart, v0 = block.VStart, u1 = block.UEnd, v1 = block.VEnd;
    } else if (textures < 2) {
        texture = textures > 0 ? block.TextureList[0] : nullptr;
        // A sheet without columns or rows is one cell wide or high.
        const int32_t columns = block.SheetColumns > 0 ? block.SheetColumns : 1;
        const int32_t rowCount = block.AtlasRows > 0 ? block.AtlasRows : 1;
        const int32_t column = Mod(f, columns), row = (f - column) / columns;
        u0 = static_cast<float>(column) / static_cast<float>(columns);
        u1 = u0 + 1.0f / static_cast<float>(columns);
        const int32_t kind = block.ParticleKind;
        if (block.ChainVStep == 1.0f || (kind != 5 && kind != 6)) {
            v0 = static_cast<float>(row) / static_cast<float>(rowCount);
            v1 = v0 + 1.0f / static_cast<float>(rowCount);
        } else {
            const float t = block.ChainVStep / static_cast<float>(rowCount);
            const float w = static_cast<float>(row) * t + t * static_cast<float>(particle.m_nSequence);
            v0 = w - std::trunc(w);
            if (kind == 5) {
                int32_t k = 1;
                if (next != nullptr)
                    for (const CParticle* p = particle.m_pNext; p != nullptr && p != next; p = p->m_pNext) ++k;
                v1 = v0 + t * static_cast<float>(k);
            } else {
                v1 = v0 + t;
            }
        }
    } else {
        texture = block.TextureList[static_cast<uint32_t>(Mod(f, textures))];
    }
    // Corners 0 to 3: top-left, bottom-left, top-right, bottom-right.
    float c[4][2] = {{u0, v0}, {u0, v1}, {u1, v0}, {u1, v1}};
    if (block.FlipU != 0) {
        std::swap(c[0][0], c[2][0]);
        std::swap(c[1][0], c[3][0]);
    }
    if (block.FlipV != 0) {
        std::swap(c[0][1], c[1][1]);
        std::swap(c[2][1], c[3][1]);
    }
    float t[4][2];
    // Which corner's UV each corner takes, per quarter turn.
    static const int kTake[4][4] = {{0, 1, 2, 3}, {1, 3, 0, 2}, {3, 2, 1, 0}, {2, 0, 3, 1}};
    const int turn = block.UvQuarterTurns >= 1 && block.UvQuarterTurns <= 3 ? block.UvQuarterTurns : 0;
    for (int i = 0; i < 4; ++i) {
        t[i][0] = c[kTake[turn][i]][0];
        t[i][1] = c[kTake[turn][i]][1];
    }
    for (int i = 0; i < 4; ++i) {
        uvs[2 * i] = t[i][0];
        uvs[2 * i + 1] = t[i][1];
    }
}

bool CParticlesMesh::DrawMotionAlignedParticle(CParticlesEmiter& effect, CEmiter& emitter, CParticle& particle,
                                               const CParticleParams& block, const CSVector4& modulation) {
    if (block.OwnMatrix == 0 || (block.Flags & CParticleParams::kPositionRowsOff) != 0)
        return DrawSpriteParticle(effect, emitter, particle, block, modulation);
    CSVector4 colour;
    if (!VisibleColour(block, particle, modulation, colour)) return false;

    // The row position at an age, with the particle's scale, matrix and place.
    auto at = [&](int32_t age, float out[3]) {
        const int32_t n = particle.m_nLife;
        out[0] = ParticlePairValue(block, CParticleParams::OffsetX, age, n, particle.m_awRandom[0]);
        out[1] = ParticlePairValue(block, CParticleParams::OffsetY, age, n, particle.m_awRandom[1]);
        out[2] = ParticlePairValue(block, CParticleParams::OffsetZ, age, n, particle.m_awRandom[2]);
    };
    float cur[3], prev[3], next[3];
    const int32_t age = particle.m_nAge;
    at(age, cur);
    at(age - 1, prev);
    at(age + 1, next);
    if (age < 1)
        for (int i = 0; i < 3; ++i) prev[i] = 2.0f * cur[i] - next[i];
    if (age >= particle.m_nLife)
        for (int i = 0; i < 3; ++i) next[i] = 2.0f * cur[i] - prev[i];
    const bool turn = (block.ParticleSpace != 0 || particle.m_bLocalMatrix != 0) && particle.m_pMatrix != nullptr;
    for (float* p : {cur, prev, next}) {
        if (particle.m_fSpeedScale != 1.0f)
            for (int i = 0; i < 3; ++i) p[i] *= particle.m_fSpeedScale;
        if (turn) CSMatrix::RotateVector3(*particle.m_pMatrix, p[0], p[1], p[2]);
        p[0] += particle.m_vPos.x;
        p[1] += particle.m_vPos.y;
        p[2] += particle.m_vPos.z;
    }

    float hx, hy, px, py;
    QuadExtent(block, particle, hx, hy, px, py);

    PushMatrix();
    CSVector4 ends[2];
    const float* points[2] = {prev, next};
    for (int i = 0; i < 2; ++i) {
        ParticleMatrixStack::SetTranslation(points[i][0], points[i][1], points[i][2]);
        if (block.ParticleSpace != 1) ParticleMatrixStack::ApplyParent();
        UpdateParticleViewMatrices();
        ends[i] = g_State.m_mWorldViewProjection.GetTranslation();
        g_State.m_mCurrent = g_State.m_arrSlots[g_State.m_nDepth - 1];
    }
    const int32_t a = Angle256Between(TruncToInt32(ends[1].x * 1000.0f), TruncToInt32(ends[1].y * 1000.0f),
                                      TruncToInt32(ends[0].x * 1000.0f), TruncToInt32(ends[0].y * 1000.0f));
    CSVector4 corners[4];
    FacingCorners(hx, hy, px, py, static_cast<float>((256 - a) % 256), corners);
    ParticleMatrixStack::SetTranslation(cur[0], cur[1], cur[2]);
    if (block.ParticleSpace != 1) ParticleMatrixStack::ApplyParent();
    ResetCurrentRotation();
    FaceCurrentToCamera();
    TransformCorners(corners);
    PopMatrix();

    HandOverQuad(particle, nullptr, block, corners, colour, colour);
    return true;
}
