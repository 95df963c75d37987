// Emission of one particle: its life, random words and texture sequence, and its
// place, angles and velocity sampled from the emitter's shape.
#include "particles/CParticlesEmiter.h"

#include <algorithm>
#include <cmath>

#include "particles/Angle256.h"
#include "particles/BoxFaceTable.h"
#include "particles/CEmiterParams.h"
#include "particles/CParticle.h"
#include "particles/CParticleParams.h"
#include "particles/CParticlesEmiterInternal.h"
#include "particles/CSCachedTexture.h"
#include "particles/CSMatrix.h"
#include "particles/ParticleHelpers.h"
#include "particles/ParticlePairs.h"
#include "particles/ParticleRandom.h"
#include "particles/ParticleScratchMatrix.h"
#include "particles/ParticleStepRates.h"
#include "particles/ParticleTextureAnimation.h"

using namespace emiterinternal;

namespace {

constexpr int32_t kLongestLife = 32766;

// Pair `pair` at the emitter's frame with a fresh draw of the first stream, which is
// made only when the pair varies.
float DrawnPair(CEmiter& e, const CEmiterParams& params, int32_t pair) {
    if (params.NoVariation[pair] != 0) return params.GetTrackKey(2 * pair, e.m_nFrame);
    return EmiterPairValue(params, pair, e.m_nFrame, static_cast<uint16_t>(ParticleRandom(e)));
}

// The cells of an atlas sheet a random sequence number ranges over; a scale of 0 or a
// count that is no finite integer counts as 1.
int32_t AtlasSequenceCount(const CParticleParams& params) {
    if (params.AtlasRowScale == 0.0f) return 1;
    const double count = std::trunc(1.0 / static_cast<double>(params.AtlasRowScale) * params.AtlasRows);
    if (!(count >= 1.0) || count > 2147483647.0) return 1;
    return static_cast<int32_t>(count);
}

}  // namespace

namespace emiterinternal {

PlacementFrame FrameOf(CParticlesEmiter& effect, const CEmiter& e, bool world, bool emiterWorld) {
    PlacementFrame f;
    const ParticleFloat3 P = e.m_vPos, E = e.m_vAngles;
    const CSVector4& G = f.effectOrigin;
    const uint8_t* g = f.effectAngles;
    if (world && !emiterWorld) {
        uint8_t unused;
        effect.GetOriginEx(e, f.effectOrigin, f.effectAngles, unused);
        SetMatrixRotation256(f.rotation, g[0], g[1], g[2]);
        const ParticleFloat3 turned = Turned(f.rotation, P.x, P.y, P.z);
        RotateMatrix256f(f.rotation, E.x, E.y, E.z);
        f.origin = ParticleFloat3{G.x + turned.x, G.y + turned.y, G.z + turned.z};
        f.base = ParticleFloat3{g[0] + E.x, g[1] + E.y, g[2] + E.z};
        f.restZ = turned.z;
    } else if (!world && emiterWorld) {
        effect.GetOrigin(e, f.effectOrigin, f.effectAngles);
        f.base = ParticleFloat3{E.x - g[0], E.y - g[1], E.z - g[2]};
        SetMatrixRotation256f(f.rotation, f.base.x, f.base.y, f.base.z);
        f.origin = ParticleFloat3{P.x - G.x, P.y - G.y, P.z - G.z};
    } else {
        SetMatrixRotation256f(f.rotation, E.x, E.y, E.z);
        f.origin = P;
        f.base = E;
    }
    return f;
}

ParticleFloat3 ShapeSize(CEmiter& shape, const CEmiterParams& params) {
    uint16_t size[3];
    DrawPairWords(shape, params, size, kPairShapeSizeX, 3, params.IndependentSizeRandom != 0);
    return ParticleFloat3{EmiterPairValue(params, kPairShapeSizeX, shape.m_nFrame, size[0]),
                          EmiterPairValue(params, kPairShapeSizeX + 1, shape.m_nFrame, size[1]),
                          EmiterPairValue(params, kPairShapeSizeX + 2, shape.m_nFrame, size[2])};
}

ParticleFloat3 BoxSize(CEmiter& shape, const CEmiterParams& params) {
    const ParticleFloat3 size = ShapeSize(shape, params);
    const bool rebuild = shape.m_pFaceTable == nullptr ||
                         ((params.ChannelMask & kKeepFaceTable) == 0 && shape.m_nFaceTableFrame != shape.m_nFrame);
    if (shape.m_pFaceTable == nullptr) shape.m_pFaceTable = new int16_t[kBoxFaceCount];
    if (rebuild) {
        shape.m_nFaceTableFrame = shape.m_nFrame;
        BuildEmiterFaceTable(shape.m_pFaceTable, std::fabs(size.x), std::fabs(size.y), std::fabs(size.z),
                             params.BoxFaceMask);
    }
    return size;
}

int32_t PickBoxFace(const int16_t* table, int32_t w) {
    for (int32_t i = 0; i < kBoxFaceCount - 1; ++i)
        if (table[i] >= w && table[i] >= 1) return i;
    return kBoxFaceCount - 1;
}

ParticleFloat3 BoxFacePoint(CEmiter& drawer, int32_t face, float X, float Y, float Z) {
    const bool usesX = face != 3 && face != 5, usesY = face != 2 && face != 4, usesZ = face >= 2;
    const float rx = usesX ? DrawnFactor(drawer) * X : 0.0f;
    const float ry = usesY ? DrawnFactor(drawer) * Y : 0.0f;
    const float rz = usesZ ? DrawnFactor(drawer) * Z : 0.0f;
    switch (face) {
        case 0: return ParticleFloat3{rx - X / 2, ry - Y / 2, Z};
        case 1: return ParticleFloat3{rx - X / 2, ry - Y / 2, 0.0f};
        case 2: return ParticleFloat3{rx - X / 2, -Y / 2, rz};
        case 3: return ParticleFloat3{X / 2, ry - Y / 2, rz};
        case 4: return ParticleFloat3{rx - X / 2, Y / 2, rz};
        default: return ParticleFloat3{-X / 2, ry - Y / 2, rz};
    }
}

void SphereDirection(CEmiter& shape, const CEmiterParams& params, CEmiter& drawer, float& az, float& el) {
    uint16_t range[4];
    DrawPairWords(shape, params, range, kPairAzimuthFrom, 4, params.IndependentAngleRangeRandom != 0);
    const float azFrom = EmiterPairValue(params, kPairAzimuthFrom, shape.m_nFrame, range[0]);
    const float azTo = EmiterPairValue(params, kPairAzimuthTo, shape.m_nFrame, range[1]);
    const float elFrom = EmiterPairValue(params, kPairElevationFrom, shape.m_nFrame, range[2]);
    const float elTo = EmiterPairValue(params, kPairElevationTo, shape.m_nFrame, range[3]);
    az = DrawnFactor(drawer) * (azTo - azFrom) + azFrom;
    const float u = DrawnFactor(drawer);
    if (elFrom == -64.0f && elTo == 64.0f) {
        el = ArcsineElevation(u);
        if ((ParticleRandom(drawer) & 1) != 0) el = -el;
    } else if (elFrom == -64.0f && elTo == 0.0f) {
        el = -ArcsineElevation(u);
    } else if (elFrom == 0.0f && elTo == 64.0f) {
        el = ArcsineElevation(u);
    } else {
        el = u * (elTo - elFrom) + elFrom;
    }
    el = -el;
    az = az + 128.0f;
    if (az > 256.0f) az = az - 256.0f;
}

}  // namespace emiterinternal

bool CParticlesEmiter::EmitParticle(CEmiter& e) {
    if (e.m_pEmiterParams == nullptr || e.m_pParticleParams == nullptr) return true;
    const CEmiterParams& ep = *e.m_pEmiterParams;
    const CParticleParams& pp = *e.m_pParticleParams;
    if (ep.EmitShape == CEmiterParams::kShapeBox &&
        (ep.BoxFaceMask == 0 || (e.m_pFaceTable != nullptr && e.m_pFaceTable[kBoxFaceCount - 1] == 0)))
        return false;
    // The count is 16 bits: births beyond it are skipped.
    if (e.m_nCount >= CEmiter::kMaxParticles) return true;

    const float lifeScale = DrawnPair(e, ep, kPairLifeScale);
    int64_t life = lifeScale == 1.0f ? pp.LifeFrames : SecondsToFrames(pp.Life * lifeScale);
    if (life < 1) return true;
    // The 16-bit age must be able to pass the life.
    if (life > kLongestLife) life = kLongestLife;

    CParticle* p = new CParticle();
    p->m_nLife = static_cast<int16_t>(life);
    DrawWords(e, &p->m_awRandom[0], 3, pp.IndependentRandomA != 0);
    DrawWords(e, &p->m_awRandom[3], 3, pp.IndependentRandomB != 0);
    if (pp.GlobalRandomMode == 1) {
        const uint16_t word = static_cast<uint16_t>(ParticleSeed());
        p->m_awRandom[6] = p->m_awRandom[7] = p->m_awRandom[8] = word;
    } else if (pp.GlobalRandomMode == 2) {
        p->m_awRandom[6] = p->m_awRandom[7] = p->m_awRandom[8] = e.m_wSharedRandom;
    } else {
        for (int i = 6; i <= 8; ++i) p->m_awRandom[i] = static_cast<uint16_t>(ParticleSeed());
    }
    p->m_awRandom[9] = static_cast<uint16_t>(ParticleSeed());
    p->m_awRandom[10] = static_cast<uint16_t>(ParticleRandom(e));
    DrawWords(e, &p->m_awRandom[11], 3, pp.IndependentRandomD != 0);
    p->m_fSpeedScale = DrawnPair(e, ep, kPairSpeedScale);
    p->m_fSizeScale = DrawnPair(e, ep, kPairSizeScale);
    p->m_bLocalMatrix = 0;
    p->m_nAge = -1;

    if (e.m_nNextAnimFrame == 0 && pp.WholeTexture == 0 && pp.AnimMode == 1 && pp.RandomStartFrame != 0 &&
        pp.TextureList.GetCount() < 2 && pp.FirstFrame != pp.LastFrame)
        e.m_nNextAnimFrame = static_cast<int16_t>(ParticleRandom2(e) % AtlasSequenceCount(pp));
    p->m_nSequence = e.m_nNextAnimFrame;
    // Counted up per birth; it starts again at 0 rather than turn negative.
    e.m_nNextAnimFrame = static_cast<int16_t>(e.m_nNextAnimFrame == INT16_MAX ? 0 : e.m_nNextAnimFrame + 1);
    StartTextureAnimation(e, p);
    if (pp.ParticleKind == 0) {
        const uint32_t objects = pp.ObjectList.GetCount();
        p->m_nObject = objects > 0 ? static_cast<uint8_t>(static_cast<uint32_t>(ParticleRandom2(e)) % objects) : 0;
    }
    p->m_dwColor = 0xFFFFFFFFu;
    p->m_pMatrix = nullptr;

    if (!PlaceParticle(e, *p)) {
        delete p;
        return false;
    }

    if (pp.OwnMatrix == 0) {
        const double rate = GetParticleBaseRate();
        p->m_fSpeedScale = 0.0f;
        p->m_vVelocity.x = static_cast<float>(p->m_vVelocity.x + pp.ExtraVelocityX / rate);
        p->m_vVelocity.y = static_cast<float>(p->m_vVelocity.y + pp.ExtraVelocityY / rate);
        p->m_vVelocity.z = static_cast<float>(p->m_vVelocity.z + pp.ExtraVelocityZ / rate);
        const int32_t vx = TruncToInt32(p->m_vVelocity.x), vy = TruncToInt32(p->m_vVelocity.y);
        if (pp.YawFromVelocity != 0) p->m_vAngles.x = Angle256Between(0, 0, vx, vy);
        if (pp.PitchFromVelocity != 0)
            p->m_vAngles.y = Angle256Of(HorizontalDistance(vx, vy), TruncToInt32(p->m_vVelocity.z));
        if (pp.RollFromTrack != 0) p->m_vAngles.z = 0.0f;
    }
    e.Append(p);
    return true;
}

bool CParticlesEmiter::PlaceParticle(CEmiter& e, CParticle& p) {
    const CEmiterParams& ep = *e.m_pEmiterParams;
    const CParticleParams& pp = *e.m_pParticleParams;
    const int32_t shape = ep.EmitShape;
    if (shape < CEmiterParams::kShapeSphere || shape > CEmiterParams::kShapePoint) return true;

    // The outer rotation O, the origin and the base angles of the space the particle
    // lives in: (a) world values, (b) world from effect values, (c) effect from world
    // values, (d) effect values, (e) the emitter's own frame.
    const bool worldEmitter = ep.SourceKind == 1;
    enum Case { kA, kB, kC, kD, kE } placement;
    if (pp.ParticleSpace == 1) placement = worldEmitter ? kA : kB;
    else if (pp.ParticleSpace == 2) placement = worldEmitter ? kC : kD;
    else placement = kE;

    CSMatrix outer;
    ParticleFloat3 origin, base;
    float baseZ = 0.0f, originRestZ = 0.0f;
    if (placement != kE) {
        const PlacementFrame frame = FrameOf(*this, e, pp.ParticleSpace == 1, worldEmitter);
        outer = frame.rotation;
        origin = frame.origin;
        base = frame.base;
        // The height (a) and (b) stand on; the other cases never read it.
        baseZ = placement == kB ? frame.effectOrigin.z : e.m_vPos.z;
        originRestZ = frame.restZ;
    }

    // The shape: its local rotation Rl (float or integer angles), its angles s, the
    // offset d and the speed along its velocity axis.
    const float speed =
        static_cast<float>(pp.StartSpeed / static_cast<double>(GetParticleBaseRate()) * p.m_fSpeedScale);
    CSMatrix local;  // Rl x O
    bool hasRl = false;
    ParticleFloat3 s, d, axis{0.0f, 0.0f, speed};
    auto withRl = [&](auto setRl) {
        // Rl x O, built factor by factor: O, then Rl in front (the emitter's frame alone
        // is Rl itself).
        hasRl = true;
        if (placement == kE) {
            local = CSMatrix();
            setRl(local, false);
        } else {
            local = outer;
            setRl(local, true);
        }
    };
    switch (shape) {
        case CEmiterParams::kShapeSphere: {
            float az, el;
            SphereDirection(e, ep, e, az, el);
            withRl([&](CSMatrix& m, bool inFront) {
                if (inFront) RotateMatrix256f(m, az, el, 0.0f);
                else SetMatrixRotation256f(m, az, el, 0.0f);
            });
            s = ParticleFloat3{az, el + 64.0f, 0.0f};
            axis = ParticleFloat3{0.0f, -speed, 0.0f};
            const float radius = ep.SphereRadius;
            if ((ep.ChannelMask & kUnscaledSphere) != 0) {
                d = Turned(local, 0.0f, -radius, 0.0f);
            } else {
                CSMatrix rl;
                SetMatrixRotation256f(rl, az, el, 0.0f);
                const ParticleFloat3 t = Turned(rl, 0.0f, -radius, 0.0f);
                const ParticleFloat3 size = ShapeSize(e, ep);
                d = Turned(outer, t.x * size.x, t.y * size.y, t.z * size.z);
            }
            break;
        }
        case CEmiterParams::kShapeBox: {
            const ParticleFloat3 box = BoxSize(e, ep);
            if (e.m_pFaceTable[kBoxFaceCount - 1] == 0) return false;
            const int32_t face = PickBoxFace(e.m_pFaceTable, ParticleRandom(e));
            const ParticleFloat3 point = BoxFacePoint(e, face, box.x, box.y, box.z);
            const int32_t* angles = kBoxFaceAngles[face];
            withRl([&](CSMatrix& m, bool inFront) {
                if (inFront) RotateMatrix256(m, angles[0], angles[1], angles[2]);
                else SetMatrixRotation256(m, angles[0], angles[1], angles[2]);
            });
            s = ParticleFloat3{static_cast<float>(angles[0]), static_cast<float>(angles[1]),
                               static_cast<float>(angles[2])};
            d = Turned(outer, point.x, point.y, point.z);
            break;
        }
        case CEmiterParams::kShapeRectangle: {
            uint16_t size[2];
            DrawPairWords(e, ep, size, kPairShapeSizeX, 2, ep.IndependentSizeRandom != 0);
            const float X = EmiterPairValue(ep, kPairShapeSizeX, e.m_nFrame, size[0]);
            const float Y = EmiterPairValue(ep, kPairShapeSizeX + 1, e.m_nFrame, size[1]);
            CSCachedTexture* mask = ep.MaskImage;
            const uint32_t points = mask != nullptr ? mask->m_arrPoints.GetCount() : 0;
            float x, y;
            if (points > 0 && mask->m_nWidth > 0 && mask->m_nHeight > 0) {
                const uint32_t r1 = static_cast<uint32_t>(ParticleRandom(e));
                uint32_t k;
                if (points <= 0x7fffu) {
                    k = r1 % points;
                } else {
                    const uint32_t r2 = static_cast<uint32_t>(ParticleRandom(e));
                    k = ((r1 % (points / 0x7fffu + 1u)) * 0x7fffu + r2) % points;
                }
                const uint32_t at = *mask->PointAt(static_cast<int32_t>(k));
                const float px = static_cast<float>(at & 0xffffu), py = static_cast<float>(at >> 16);
                x = -X / 2 + px * X / static_cast<float>(mask->m_nWidth);
                y = Y / 2 - py * Y / static_cast<float>(mask->m_nHeight);
                if (ep.MaskColors != 0 && k < mask->m_arrColours.GetCount()) p.m_dwColor = mask->m_arrColours[k];
            } else {
                x = DrawnFactor(e) * X - X / 2;
                y = DrawnFactor(e) * Y - Y / 2;
            }
            d = Turned(outer, x, y, 0.0f);
            break;
        }
        default:  // the point
            break;
    }
    if (!hasRl) local = outer;

    p.m_vPos = ParticleFloat3{origin.x + d.x, origin.y + d.y, origin.z + d.z};
    p.m_vAngles = ParticleFloat3{base.x + s.x, base.y + s.y, base.z + s.z};
    if (pp.OwnMatrix == 0) {
        ParticleScratchMatrix = local;
        p.m_vVelocity = axis;
        TransformByScratch(p.m_vVelocity.x, p.m_vVelocity.y, p.m_vVelocity.z);
    } else if (placement != kE || shape == CEmiterParams::kShapeSphere || shape == CEmiterParams::kShapeBox) {
        p.m_pMatrix = new CSMatrix(local);
        if (shape == CEmiterParams::kShapeSphere) RotateMatrix256(*p.m_pMatrix, 0, 64, 0);
        if (placement == kE) p.m_bLocalMatrix = 1;
    }

    if (placement == kA || placement == kB) {
        const float rest = originRestZ + d.z;
        const float h = QueryHostValue(TruncToInt32(p.m_vPos.x), TruncToInt32(p.m_vPos.y));
        const bool snap = pp.SnapToGround != 0;
        if (pp.GroundRelative != 0 && pp.OwnMatrix != 0 && (pp.Flags & CParticleParams::kPositionRowsOff) == 0)
            p.m_vPos.z = snap ? rest : baseZ + rest - h;
        else p.m_vPos.z = snap ? h + rest : baseZ + rest;
    }
    return true;
}
