// Emitters added at run time: children spawned on a parent's shape, and plays added
// at a given place and direction.
#include "particles/CParticlesEmiter.h"

#include <cmath>

#include "particles/BoxFaceTable.h"
#include "particles/CEmiterParams.h"
#include "particles/CParticleEmiterParams.h"
#include "particles/CParticlesEmiterInternal.h"
#include "particles/CParticlesMesh.h"
#include "particles/CSCachedTexture.h"
#include "particles/CSMatrix.h"
#include "particles/ParticleHelpers.h"
#include "particles/ParticlePairs.h"
#include "particles/ParticleRandom.h"
#include "particles/ParticleScratchMatrix.h"

using namespace emiterinternal;

namespace {

// An arc in radians as 256ths of a turn, a negative one taken round first.
uint8_t Angle256FromArc(double arc) {
    if (arc < 0.0) arc += kTurnRadians;
    return static_cast<uint8_t>(static_cast<int32_t>(std::lround(arc * 256.0 / kTurnRadians)) & 0xff);
}

}  // namespace

bool CParticlesEmiter::SpawnChildEmiters(int32_t parentIndex) {
    const CEmiter& parent = m_arrEmiters[static_cast<size_t>(parentIndex)];
    if (parent.m_pEntry == nullptr || m_pMesh == nullptr) return false;
    const CParticleEmiterParams* asking = parent.m_pEntry;
    auto resolve = [&](const CSString& name) {
        const int32_t i = m_pMesh->FindLinkedEmitter(asking, name.c_str());
        return i >= 0 && EntryFits(i) ? i : -1;
    };
    size_t count = 0;
    for (const CSString& name : asking->ChildNames)
        if (resolve(name) >= 0) ++count;
    if (count == 0) return false;
    // A file whose children spawn children without end stops at the limit.
    if (m_arrEmiters.size() - m_nDroppedInPass + count > static_cast<size_t>(kMaxEmiters)) return false;

    const int32_t seed = ParticleRandom(m_arrEmiters[static_cast<size_t>(parentIndex)]);
    size_t k = m_arrEmiters.size();
    m_arrEmiters.resize(k + count);
    CEmiter& p = m_arrEmiters[static_cast<size_t>(parentIndex)];
    for (const CSString& name : asking->ChildNames) {
        const int32_t i = resolve(name);
        if (i < 0) continue;
        int32_t source = 0;
        const CParticleEmiterParams& entry = *m_pMesh->m_arrEntries[static_cast<size_t>(i)];
        const CEmiterParams& params = *m_pMesh->m_arrEmiterParams[static_cast<size_t>(entry.EmiterIndex)];
        const uint32_t names = static_cast<uint32_t>(params.SourceNames.size());
        if ((params.SourceKind == 2 || params.SourceKind == 3) && names > 1) {
            const uint32_t cursor = static_cast<uint16_t>(p.m_nNextSource);
            source = static_cast<int32_t>(cursor % names);
            p.m_nNextSource = static_cast<int16_t>((cursor + 1) % names);
        }
        CEmiter& child = m_arrEmiters[k];
        InitEmiter(child, i, true, seed, source);
        PlaceChildEmitter(child, p);
        ++k;
    }
    return true;
}

void CParticlesEmiter::PlaceChildEmitter(CEmiter& n, CEmiter& p) {
    delete n.m_pMatrix;
    n.m_pMatrix = nullptr;
    if (n.m_pEmiterParams == nullptr || p.m_pEmiterParams == nullptr) return;
    const CEmiterParams& E = *p.m_pEmiterParams;
    const CEmiterParams& D = *n.m_pEmiterParams;
    const bool childWorld = D.SourceKind == 1, parentWorld = E.SourceKind == 1;
    const bool followGround = D.FollowGround != 0, startOnGround = D.StartOnGround != 0;
    const int32_t shape = E.EmitShape;
    auto ground = [this](float x, float y) { return QueryHostValue(TruncToInt32(x), TruncToInt32(y)); };

    if (shape >= CEmiterParams::kShapeSphere && shape <= CEmiterParams::kShapePoint) {
        // The parent's frame in the child's space: rotation Rp, position base q0, the
        // part of its z without the origin, and the angle base a0.
        const ParticleFloat3 pa = p.m_vAngles;
        const PlacementFrame frame = FrameOf(*this, p, childWorld, parentWorld);
        const CSMatrix& rp = frame.rotation;
        const ParticleFloat3 q0 = frame.origin, a0 = frame.base;
        const float restZ = frame.restZ;
        const uint8_t* b = frame.effectAngles;
        const bool viaOrigin = childWorld != parentWorld;

        CSMatrix m = rp;  // the child's matrix
        ParticleFloat3 offset, s;
        switch (shape) {
            case CEmiterParams::kShapeSphere: {
                float t, el;
                SphereDirection(p, E, n, t, el);
                s = ParticleFloat3{t, el + 64.0f, 0.0f};
                RotateMatrix256f(m, t, el, 0.0f);  // S x Rp
                const float radius = E.SphereRadius;
                if ((E.ChannelMask & kUnscaledSphere) != 0) {
                    offset = Turned(m, 0.0f, -radius, 0.0f);
                } else {
                    SetScratchRotation256f(t, el, 0.0f);
                    ParticleFloat3 v{0.0f, -radius, 0.0f};
                    TransformByScratch(v.x, v.y, v.z);
                    const ParticleFloat3 size = ShapeSize(p, E);
                    v.x *= size.x;
                    v.y *= size.y;
                    v.z *= size.z;
                    if (childWorld && !parentWorld) {
                        SetScratchRotation256(b[0], b[1], b[2]);
                        RotateScratch256f(pa.x, pa.y, pa.z);
                    } else {
                        ParticleScratchMatrix = rp;
                    }
                    TransformByScratch(v.x, v.y, v.z);
                    offset = v;
                }
                RotateMatrix256(m, 0, 64, 0);  // Q x S x Rp
                break;
            }
            case CEmiterParams::kShapeBox: {
                const int32_t w = ParticleRandom(n);
                const ParticleFloat3 box = BoxSize(p, E);
                ParticleFloat3 o;
                if (p.m_pFaceTable[kBoxFaceCount - 1] == 0) {
                    // No usable face: the centre of the box rather than a disabled face.
                    o = ParticleFloat3{0.0f, 0.0f, box.z / 2};
                } else {
                    const int32_t face = PickBoxFace(p.m_pFaceTable, w);
                    o = BoxFacePoint(n, face, box.x, box.y, box.z);
                    const int32_t* a = kBoxFaceAngles[face];
                    s = ParticleFloat3{static_cast<float>(a[0]), static_cast<float>(a[1]), static_cast<float>(a[2])};
                    RotateMatrix256(m, a[0], a[1], a[2]);  // S x Rp
                }
                offset = Turned(rp, o.x, o.y, o.z);
                break;
            }
            case CEmiterParams::kShapeRectangle: {
                uint16_t size[2];
                DrawPairWords(p, E, size, kPairShapeSizeX, 2, E.IndependentSizeRandom != 0);
                const float X = EmiterPairValue(E, kPairShapeSizeX, p.m_nFrame, size[0]);
                const float Y = EmiterPairValue(E, kPairShapeSizeX + 1, p.m_nFrame, size[1]);
                CSCachedTexture* mask = E.MaskImage;
                const uint32_t points = mask != nullptr ? mask->m_arrPoints.GetCount() : 0;
                float x, y;
                if (points > 0 && mask->m_nWidth > 0 && mask->m_nHeight > 0) {
                    uint32_t k;
                    if (points < 32768u) {
                        k = static_cast<uint32_t>(ParticleRandom(n)) % points;
                    } else {
                        uint32_t sum = 0;
                        for (uint32_t d = 0; d < points / 32767u + 1u; ++d)
                            sum += static_cast<uint32_t>(ParticleRandom(n));
                        k = sum % points;
                    }
                    const uint32_t at = *mask->PointAt(static_cast<int32_t>(k));
                    x = -X / 2 + X * static_cast<float>(at & 0xffffu) / static_cast<float>(mask->m_nWidth);
                    y = Y / 2 - Y * static_cast<float>(at >> 16) / static_cast<float>(mask->m_nHeight);
                } else {
                    x = -X / 2 + DrawnFactor(n) * X;
                    y = -Y / 2 + DrawnFactor(n) * Y;
                }
                offset = Turned(rp, x, y, 0.0f);
                break;
            }
            default:  // the point
                break;
        }
        n.m_pMatrix = new CSMatrix(m);

        n.m_vBasePos.x = q0.x + offset.x;
        n.m_vBasePos.y = q0.y + offset.y;
        const float h = q0.z + offset.z;
        if (childWorld) {
            const float r = (viaOrigin ? restZ : 0.0f) + offset.z;
            const float g = ground(n.m_vBasePos.x, n.m_vBasePos.y);
            if (startOnGround && followGround) n.m_vBasePos.z = r;
            else if (startOnGround) n.m_vBasePos.z = g + r;
            else if (followGround) n.m_vBasePos.z = h - g;
            else n.m_vBasePos.z = h;
        } else {
            n.m_vBasePos.z = h;
        }
        n.m_vBaseAngles = ParticleFloat3{a0.x + s.x, a0.y + s.y, a0.z + s.z};
    }

    if ((D.ChannelMask & kHeldOffset) != 0) {
        HoldOffset(*this, n, D, childWorld);
    } else {
        n.m_vPos.x = n.m_vBasePos.x;
        n.m_vPos.y = n.m_vBasePos.y;
        n.m_vPos.z = childWorld && followGround ? ground(n.m_vPos.x, n.m_vPos.y) + n.m_vBasePos.z : n.m_vBasePos.z;
    }
    if ((D.ChannelMask & kHeldAngles) != 0) {
        const ParticleFloat3 a = EmiterTriple(D, 3, 0, n.m_awRandom);
        n.m_vAngles = ParticleFloat3{n.m_vBaseAngles.x + a.x, n.m_vBaseAngles.y + a.y, n.m_vBaseAngles.z + a.z};
    }
}

void CParticlesEmiter::AddEmiters(const CSVector4& position, const char* name, const CSVector4* direction) {
    if (m_pMesh == nullptr) return;
    const bool named = name != nullptr && name[0] != '\0';
    const int32_t entries = static_cast<int32_t>(m_pMesh->m_arrEntries.size());
    for (int32_t i = 0; i < entries; ++i) {
        if (!Qualifies(i)) continue;
        const CParticleEmiterParams& entry = *m_pMesh->m_arrEntries[static_cast<size_t>(i)];
        if (entry.RepeatMode == 2 || (named && !entry.SecondName.EqualsNoCase(name))) continue;
        if (m_arrEmiters.size() >= static_cast<size_t>(kMaxEmiters)) return;
        m_arrEmiters.emplace_back();
        InitEmiter(m_arrEmiters.back(), i, false, 0, 0);
        PlaceAddedEmiter(m_arrEmiters.back(), position, direction);
    }
}

void CParticlesEmiter::AddEmitersNamed(const CSVector4& position, const char* name) {
    AddEmiters(position, name, nullptr);
}

void CParticlesEmiter::AddEmitersAt(const CSVector4& position, const CSVector4* direction) {
    if (m_arrEmiters.size() < kAddedEmiterLimit) AddEmiters(position, nullptr, direction);
}

void CParticlesEmiter::PlaceAddedEmiter(CEmiter& e, const CSVector4& position, const CSVector4* direction) {
    e.m_wFlags = static_cast<uint16_t>(e.m_wFlags | CEmiter::kChild);
    if (e.m_pEmiterParams == nullptr) return;
    CSVector4 origin = position;
    if ((m_wFlags & kHeightOffsets) != 0) {
        const bool looping = e.m_pEntry != nullptr && e.m_pEntry->RepeatMode == 2;
        origin.z += looping ? m_fLoopHeight : m_fHeight;
    }
    uint8_t angles[3] = {m_abAngles[0], m_abAngles[1], m_abAngles[2]};
    if (direction == nullptr || e.m_pEmiterParams->SourceKind != 1) {
        PlaceFirst(e, origin, angles, nullptr);
        return;
    }
    CSMatrix look;
    look.SetLookRotation(*direction, CSVector4(0.0f, 0.0f, 1.0f, 0.0f));
    // The look rotation holds the reversed direction in its third column: yaw and
    // pitch of the direction it faces.
    const float fx = -look.m[2], fy = -look.m[6], fz = -look.m[10];
    angles[0] = Angle256FromArc(std::atan2(static_cast<double>(fy), static_cast<double>(fx)));
    angles[1] = Angle256FromArc(std::atan2(static_cast<double>(fz), static_cast<double>(CSVector2(fx, fy).Length())));
    angles[2] = 0;
    PlaceFirst(e, origin, angles, &look);
}
