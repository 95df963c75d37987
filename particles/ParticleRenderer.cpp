// The renderer's frame set-up and dispatch: the effect frame, each emitter's offset
// and emitter frames, the detail level and the counters, and the helpers every
// render path reads a particle with.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "SceneGraph/Camera.h"
#include "particles/CEmiter.h"
#include "particles/CEmiterParams.h"
#include "particles/CParticle.h"
#include "particles/CParticleEmiterParams.h"
#include "particles/CParticleParams.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CParticlesMesh.h"
#include "particles/CSEntity.h"
#include "particles/ParticleBatch.h"
#include "particles/ParticleDetailLevel.h"
#include "particles/ParticleDevice.h"
#include "particles/ParticleFrameState.h"
#include "particles/ParticleHelpers.h"
#include "particles/ParticleLightColour.h"
#include "particles/ParticleMatrixStack.h"
#include "particles/ParticlePairs.h"
#include "particles/ParticleRenderPaths.h"

namespace particlerender {

namespace {

using ParticleMatrixStack::g_State;

bool Finite(float v) { return std::isfinite(v); }

// The projected translation of the current matrix: clip coordinates.
CSVector4 ClipOfCurrent() {
    UpdateParticleViewMatrices();
    return g_State.m_mWorldViewProjection.GetTranslation();
}

bool ClipToViewport(const CSVector4& clip, float out[3]) {
    if (clip.w == 0.0f || !Finite(clip.w) || !Finite(clip.x) || !Finite(clip.y) || !Finite(clip.z)) return false;
    const ParticleViewportRect viewport = GetParticleViewport();
    const float halfWidth = static_cast<float>(viewport.right - viewport.left) * 0.5f;
    const float halfHeight = static_cast<float>(viewport.bottom - viewport.top) * 0.5f;
    out[0] = clip.x / clip.w * halfWidth + halfWidth;
    out[1] = -clip.y / clip.w * halfHeight + halfHeight;
    out[2] = clip.z / clip.w;
    return Finite(out[0]) && Finite(out[1]) && Finite(out[2]);
}

}  // namespace

int32_t PairWord(int32_t row) {
    switch (row) {
        case CParticleParams::OffsetX: return 0;
        case CParticleParams::OffsetY: return 1;
        case CParticleParams::OffsetZ: return 2;
        case CParticleParams::RotationX: return 3;
        case CParticleParams::RotationY: return 4;
        case CParticleParams::Roll: return 5;
        case CParticleParams::Red: return 6;
        case CParticleParams::Green: return 7;
        case CParticleParams::Blue: return 8;
        case CParticleParams::Alpha: return 9;
        case CParticleParams::SpeedOverLife: return 10;
        case CParticleParams::SizeX: return 11;
        case CParticleParams::SizeY: return 12;
        case CParticleParams::SizeZ: return 13;
        default: return 0;
    }
}

float Value(const CParticleParams& block, const CParticle& particle, int32_t row) {
    return ParticlePairValue(block, row, particle.m_nAge, particle.m_nLife, particle.m_awRandom[PairWord(row)]);
}

CSVector4 RawColour(const CParticleParams& block, const CParticle& particle) {
    CSVector4 c(1.0f, 1.0f, 1.0f, 1.0f);
    if ((block.Flags & CParticleParams::kColourRowsOff) == 0) {
        c = CSVector4(Value(block, particle, CParticleParams::Red), Value(block, particle, CParticleParams::Green),
                      Value(block, particle, CParticleParams::Blue), Value(block, particle, CParticleParams::Alpha));
    }
    const uint32_t tint = particle.m_dwColor;
    if (tint != 0xFFFFFFFFu) {
        c.w *= static_cast<float>(tint >> 24 & 0xFF) / 255.0f;
        c.x *= static_cast<float>(tint >> 16 & 0xFF) / 255.0f;
        c.y *= static_cast<float>(tint >> 8 & 0xFF) / 255.0f;
        c.z *= static_cast<float>(tint & 0xFF) / 255.0f;
    }
    return c;
}

CSVector4 ScaleColour(const CParticleParams& block, const CSVector4& raw, const CSVector4& modulation) {
    if (block.UntintedColour != 0) return CSVector4(raw.x * 255.0f, raw.y * 255.0f, raw.z * 255.0f, raw.w * 255.0f);
    return CSVector4(raw.x * modulation.x * 255.0f, raw.y * modulation.y * 255.0f, raw.z * modulation.z * 255.0f,
                     raw.w * 255.0f);
}

bool VisibleColour(const CParticleParams& block, const CParticle& particle, const CSVector4& modulation,
                   CSVector4& colour) {
    const CSVector4 raw = RawColour(block, particle);
    if (raw.w < kSkipAlpha) return false;
    colour = ScaleColour(block, raw, modulation);
    return true;
}

void Position(const CParticlesEmiter& effect, const CEmiter& emitter, const CParticle& particle,
              const CParticleParams& block, bool withYaw, float out[3]) {
    float px = particle.m_vPos.x, py = particle.m_vPos.y;
    const float yaw = emitter.m_vAngles.x;
    if (withYaw && emitter.m_pEmiterParams != nullptr && emitter.m_pEmiterParams->FacingFlag1 != 0 && yaw != 0.0f &&
        block.ParticleSpace == 0) {
        const double g = static_cast<double>(yaw) * 0.024543693;
        const float c = static_cast<float>(std::cos(g)), s = static_cast<float>(std::sin(g));
        const float x = px * c + py * s;
        py = py * c - px * s;
        px = x;
    }
    if (block.OwnMatrix == 0 || (block.Flags & CParticleParams::kPositionRowsOff) != 0) {
        out[0] = px;
        out[1] = py;
        out[2] = particle.m_vPos.z;
        return;
    }
    CSVector4 v(Value(block, particle, CParticleParams::OffsetX), Value(block, particle, CParticleParams::OffsetY),
                Value(block, particle, CParticleParams::OffsetZ), 0.0f);
    if (particle.m_fSpeedScale != 1.0f) {
        v.x *= particle.m_fSpeedScale;
        v.y *= particle.m_fSpeedScale;
        v.z *= particle.m_fSpeedScale;
    }
    if ((block.ParticleSpace != 0 || particle.m_bLocalMatrix != 0) && particle.m_pMatrix != nullptr) {
        v.w = 0.0f;
        particle.m_pMatrix->TransformVector(v, v);
    }
    out[0] = v.x + px;
    out[1] = v.y + py;
    out[2] = v.z + particle.m_vPos.z;
    if (block.SnapToGround != 0 && block.ParticleSpace == 1)
        out[2] += effect.QueryHostValue(TruncToInt32(out[0]), TruncToInt32(out[1]));
}

void Sizes(const CParticleParams& block, const CParticle& particle, float& sx, float& sy) {
    if ((block.Flags & CParticleParams::kSizeRowsOff) != 0) {
        sx = sy = particle.m_fSizeScale;
        return;
    }
    sx = Value(block, particle, CParticleParams::SizeX) * particle.m_fSizeScale;
    sy = Value(block, particle, CParticleParams::SizeY) * particle.m_fSizeScale;
}

void Count(const CParticlesEmiter& effect, int32_t n) {
    if (effect.m_pHost != nullptr) ParticleDrawCounters.hosted += n;
    else ParticleDrawCounters.unhosted += n;
}

bool Accepted(const CParticlesEmiter& effect, const CEmiter& emitter, const CParticle& particle) {
    return IsParticleDrawnAtDetailLevel(effect.m_pHost != nullptr, emitter.m_nCount,
                                        static_cast<uint16_t>(particle.m_nSequence));
}

void SetEffectFrame(const CParticlesEmiter& effect, EffectFrame& frame) {
    if (effect.m_pHost != nullptr && (effect.m_wFlags & CParticlesEmiter::kExplicitPosition) == 0) {
        g_State.m_mCurrent = effect.m_pHost->GetPositionMatrix();
        // The host's own turn never reaches its effects.
        frame.angles[0] = frame.angles[1] = frame.angles[2] = 0;
    } else {
        ParticleMatrixStack::SetTranslation(effect.m_vPos.x, effect.m_vPos.y, effect.m_vPos.z);
        SetCurrentRotation256(effect.m_abAngles[0], effect.m_abAngles[1], effect.m_abAngles[2]);
        for (int i = 0; i < 3; ++i) frame.angles[i] = effect.m_abAngles[i];
    }
    const CSVector4 t = g_State.m_mCurrent.GetTranslation();
    frame.origin[0] = t.x;
    frame.origin[1] = t.y;
    frame.origin[2] = t.z;
}

namespace {

// The rotation of an emitter-facing frame: the camera's facing angles, or the
// emitter's angles with the facing flags.
void FacingRotation(const CEmiterParams& params, float a, float b, float c, float yawOffset, float pitchOffset) {
    if (params.FacingFlag3 != 0) SetCurrentRotation256(ParticleFacingAngles.yaw, ParticleFacingAngles.pitch, 0);
    else SetFacingRotation(params.FacingFlag1 != 0, params.FacingFlag2 != 0, a, b, c, yawOffset, pitchOffset);
}

}  // namespace

void EmitterFrame::Begin(const CParticlesEmiter& effect, const CEmiter& emitter, const CParticleParams& block,
                         const EffectFrame& frame) {
    static const CEmiterParams kNoParams;
    const CEmiterParams& params = emitter.m_pEmiterParams != nullptr ? *emitter.m_pEmiterParams : kNoParams;
    const ParticleFloat3& angles = emitter.m_vAngles;
    if (params.UseOffset != 0 && effect.m_vSpare[0] != 0.0f) {
        PushMatrix();
        offsetPushed_ = true;
        ParticleMatrixStack::SetTranslation(effect.m_vSpare[0], effect.m_vSpare[1], effect.m_vSpare[2]);
        FacingRotation(params, static_cast<float>(frame.angles[0]) + angles.x,
                       static_cast<float>(frame.angles[1]) + angles.y, static_cast<float>(frame.angles[2]) + angles.z,
                       0.0f, 0.0f);
    }
    if (block.ParticleKind == 4) return;
    const bool anyFacing = params.FacingFlag1 != 0 || params.FacingFlag2 != 0 || params.FacingFlag3 != 0;
    if (block.ParticleSpace == 0) {
        PushMatrix();
        emitterPushed_ = true;
        ParticleMatrixStack::SetTranslation(emitter.m_vPos.x, emitter.m_vPos.y, emitter.m_vPos.z);
        if (params.SourceKind == 1) {
            FacingRotation(params, angles.x, angles.y, angles.z, 0.0f, 0.0f);
        } else {
            if ((effect.m_wFlags & CParticlesEmiter::kHeightOffsets) != 0) {
                const bool looping = emitter.m_pEntry != nullptr && emitter.m_pEntry->RepeatMode == 2;
                g_State.m_mCurrent.m[14] += looping ? effect.m_fLoopHeight : effect.m_fHeight;
            }
            FacingRotation(params, angles.x, angles.y, angles.z, -static_cast<float>(frame.angles[0]),
                           -static_cast<float>(frame.angles[1]));
            ParticleMatrixStack::ApplyParent();
        }
    } else if (block.ParticleSpace == 2 && anyFacing) {
        std::memcpy(savedMatrix_, g_State.m_mCurrent.m, sizeof(savedMatrix_));
        saved_ = true;
        FacingRotation(params, static_cast<float>(frame.angles[0]), static_cast<float>(frame.angles[1]), 0.0f, 0.0f,
                       0.0f);
    }
}

void EmitterFrame::End() {
    if (saved_) std::memcpy(g_State.m_mCurrent.m, savedMatrix_, sizeof(savedMatrix_));
    if (emitterPushed_) PopMatrix();
    if (offsetPushed_) PopMatrix();
    saved_ = emitterPushed_ = offsetPushed_ = false;
}

bool ProjectCurrentTranslation(float out[3]) { return ClipToViewport(ClipOfCurrent(), out); }

float FacingOffsetX(float h) {
    ResetCurrentRotation();
    FaceCurrentToCamera();
    UpdateParticleViewMatrices();
    CSVector4 v(0.0f, h, 0.0f, 1.0f);
    ParticleMatrixStack::ProjectPointToViewport(v);
    return v.x;
}

bool ViewportToWorld(const float screen[3], CSVector4& world) {
    sg::Camera* camera = GetParticleCamera();
    if (camera == nullptr) return false;
    const ParticleViewportRect viewport = GetParticleViewport();
    const float width = static_cast<float>(viewport.right - viewport.left);
    const float height = static_cast<float>(viewport.bottom - viewport.top);
    CSMatrix inverse;
    std::memcpy(inverse.m, camera->GetInverseViewProjection().m, sizeof(inverse.m));
    const CSVector4 ndc(screen[0] / (width / 2.0f) - 1.0f, 1.0f - screen[1] / (height / 2.0f), screen[2], 1.0f);
    CSVector4 p;
    inverse.TransformVector4(ndc, p);
    if (p.w == 0.0f || !Finite(p.w)) return false;
    world = CSVector4(p.x / p.w, p.y / p.w, p.z / p.w, kQuadW);
    return Finite(world.x) && Finite(world.y) && Finite(world.z);
}

void HandOver(CSTexture* texture, const CSVector4 corners[4], const CSVector4& colourA, const CSVector4& colourB,
              const float uvs[8], const CParticleParams& block) {
    AddParticleQuad(texture, corners, colourA, colourB, uvs, block.AlphaBlended != 0, true, block.BatchSortKey);
}

void HandOverQuad(const CParticle& particle, const CParticle* next, const CParticleParams& block,
                  const CSVector4 corners[4], const CSVector4& colourA, const CSVector4& colourB) {
    float uvs[8];
    CSTexture* texture = nullptr;
    CParticlesMesh::ComputeQuadUVs(particle, next, block, uvs, texture);
    HandOver(texture, corners, colourA, colourB, uvs, block);
}

}  // namespace particlerender

using namespace particlerender;

namespace {

// Walks a chain of accepted particles: a rejected particle stepped over is counted;
// while advancing, a rejected last particle closes the chain all the same.
CParticle* NextAccepted(const CParticlesEmiter& effect, const CEmiter& emitter, CParticle* after, bool lastCounts) {
    for (CParticle* p = after != nullptr ? after->m_pNext : nullptr; p != nullptr; p = p->m_pNext) {
        if (Accepted(effect, emitter, *p)) return p;
        Count(effect);
        if (lastCounts && p->m_pNext == nullptr) return p;
    }
    return nullptr;
}

void DrawChain(CParticlesEmiter& effect, CEmiter& emitter, const CParticleParams& block, const CSVector4& modulation) {
    CParticle* start = emitter.m_pFirst;
    while (start != nullptr && !Accepted(effect, emitter, *start)) {
        Count(effect);
        start = start->m_pNext;
    }
    if (start == nullptr) return;
    const bool trail = block.ChainMode == 0;
    CParticle* end = NextAccepted(effect, emitter, start, false);
    CParticle* following = trail && end != nullptr ? NextAccepted(effect, emitter, end, false) : nullptr;
    bool first = true;
    while (start != nullptr && end != nullptr) {
        if (trail) CParticlesMesh::DrawTrailSegment(effect, emitter, *start, *end, following, block, first, modulation);
        else CParticlesMesh::DrawRibbonSegment(effect, emitter, *start, *end, block, first, modulation);
        first = false;
        Count(effect, trail || block.ChainMode == 1 ? 1 : 2);
        start = end;
        if (trail) {
            end = following;
            following = end != nullptr ? NextAccepted(effect, emitter, end, true) : nullptr;
        } else {
            end = NextAccepted(effect, emitter, end, true);
        }
    }
}

}  // namespace

void CParticlesMesh::SnapToGround(const CParticlesEmiter* effect, const CParticleParams& block, float yOffset) {
    if (effect == nullptr || block.ParticleSpace != 2 || block.SnapToGround == 0) return;
    float* m = ParticleMatrixStack::g_State.m_mCurrent.m;
    m[14] = effect->QueryHostValue(TruncToInt32(m[12]), TruncToInt32(static_cast<double>(m[13]) + yOffset));
}

bool CParticlesMesh::Draw(CParticlesEmiter& effect) {
    EffectFrame frame;
    SetEffectFrame(effect, frame);
    const CSVector4 modulation = GetParticleTint();
    for (CEmiter& emitter : effect.m_arrEmiters) {
        if (emitter.m_pParticleParams == nullptr || emitter.m_pFirst == nullptr) continue;
        const CParticleParams& block = *emitter.m_pParticleParams;
        EmitterFrame frames;
        frames.Begin(effect, emitter, block, frame);

        CSVector4 anchor(effect.m_vSpare[0], effect.m_vSpare[1], effect.m_vSpare[2], effect.m_vSpare[3]);
        if (emitter.m_pEmiterParams != nullptr && emitter.m_pEmiterParams->BeamDrift != 0 && block.ParticleKind == 6 &&
            emitter.m_pEmiterParams->SourceKind == 0 && block.ParticleSpace == 0) {
            const CSVector4 t = ParticleMatrixStack::g_State.m_mCurrent.GetTranslation();
            anchor.x += t.x - frame.origin[0];
            anchor.y += t.y - frame.origin[1];
            anchor.z += t.z - frame.origin[2];
        }

        if (block.ParticleKind == 5) {
            DrawChain(effect, emitter, block, modulation);
        } else {
            for (CParticle* p = emitter.m_pFirst; p != nullptr; p = p->m_pNext) {
                if (Accepted(effect, emitter, *p)) {
                    switch (block.ParticleKind) {
                        case 1:
                        case 2:
                        case 3:
                        case 7: DrawSpriteParticle(effect, emitter, *p, block, modulation); break;
                        case 4: DrawHiddenParticle(effect, emitter, *p, block, modulation); break;
                        case 6: DrawBeamParticle(anchor, effect, emitter, *p, block, modulation); break;
                        case 8: DrawMotionAlignedParticle(effect, emitter, *p, block, modulation); break;
                        default: break;  // objects are placed at update time; unknown kinds only count
                    }
                }
                Count(effect);
            }
        }
        frames.End();
    }
    return false;
}
