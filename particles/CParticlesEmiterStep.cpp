// The step of a running effect and of each emitter: counters, placement along the
// tracks, the emission units, and the passes that drop finished emitters.
#include "particles/CParticlesEmiter.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "particles/CEmiterParams.h"
#include "particles/CParticleEmiterParams.h"
#include "particles/CParticlesEmiterInternal.h"
#include "particles/CSMatrix.h"
#include "particles/ParticleHelpers.h"
#include "particles/ParticleMatrixStack.h"
#include "particles/ParticlePairs.h"

using namespace emiterinternal;

namespace {

// ChannelMask option of the emitter step: no carry on x (y and z the next bits).
constexpr int32_t kNoCarryX = 0x100;

constexpr int32_t kPairEmitRate = CEmiterParams::EmitRate / 2;

}  // namespace

bool CParticlesEmiter::Step(bool emit) {
    if (Has(m_wFlags, kFrozen)) return true;
    if (Has(m_wFlags, kStopping)) return AdvanceParticlesOnly();
    if (Has(m_wFlags, kChildOnly)) {
        AdvanceParticlesOnly();
        BeginEmiterPass();
        size_t kept = 0;
        for (size_t i = 0; i < m_arrEmiters.size(); ++i) {
            const bool keep =
                !Has(m_arrEmiters[i].m_wFlags, CEmiter::kChild) || UpdateEmiter(static_cast<int32_t>(i), emit);
            KeepEmiter(i, keep, kept);
        }
        EndEmiterPass(kept);
        return true;
    }
    if (Has(m_wFlags, kPaused) && Has(m_wFlags, kAllPausable)) {
        AdvanceParticlesOnly();
        return true;
    }
    bool alive = false, allHeld = true;
    BeginEmiterPass();
    size_t kept = 0;
    for (size_t i = 0; i < m_arrEmiters.size(); ++i) {
        CEmiter& e = m_arrEmiters[i];
        bool keep = true;
        if (Has(e.m_wFlags, CEmiter::kHold) && e.m_pFirst != nullptr) {
            alive = true;
        } else {
            allHeld = false;
            if (m_iFrame < e.m_nStart || (Has(m_wFlags, kPaused) && Has(e.m_wFlags, CEmiter::kPausable))) {
                e.AdvanceParticles(*this);
                alive = true;
            } else if (UpdateEmiter(static_cast<int32_t>(i), emit)) {
                alive = true;
            } else {
                keep = !Has(m_arrEmiters[i].m_wFlags, CEmiter::kChild);
            }
        }
        KeepEmiter(i, keep, kept);
    }
    EndEmiterPass(kept);
    if (allHeld && alive) m_wFlags = static_cast<uint16_t>(m_wFlags | kFrozen);
    ++m_iFrame;
    return alive;
}

void CParticlesEmiter::BeginEmiterPass() {
    int64_t held = 0;
    for (const CEmiter& e : m_arrEmiters) held += e.m_nCount;
    m_nParticleRoom = kMaxParticles - held;
}

void CParticlesEmiter::KeepEmiter(size_t index, bool keep, size_t& kept) {
    if (keep) {
        if (kept != index) m_arrEmiters[kept] = std::move(m_arrEmiters[index]);
        ++kept;
    }
    m_nDroppedInPass = index + 1 - kept;
}

void CParticlesEmiter::EndEmiterPass(size_t kept) {
    m_arrEmiters.erase(m_arrEmiters.begin() + static_cast<std::ptrdiff_t>(kept), m_arrEmiters.end());
    m_nDroppedInPass = 0;
}

bool CParticlesEmiter::UpdateEmiter(int32_t index, bool emit) {
    CEmiter* e = &m_arrEmiters[static_cast<size_t>(index)];
    if (e->m_pEmiterParams == nullptr) return false;
    const CEmiterParams& params = *e->m_pEmiterParams;

    if (e->m_nPauseLeft > 0) {
        --e->m_nPauseLeft;
        e->AdvanceParticles(*this);
        return true;
    }

    bool active;
    auto moveMotion = [e] {
        if (e->m_nMotionFrame < e->m_nMotionLength) ++e->m_nMotionFrame;
        else e->m_nMotionFrame = 0;
    };
    if (Has(e->m_wFlags, CEmiter::kPlayStart)) {
        e->m_wFlags = static_cast<uint16_t>(e->m_wFlags & ~CEmiter::kPlayStart);
        active = true;
    } else if (e->m_nFrame < e->m_nLength) {
        ++e->m_nFrame;
        moveMotion();
        active = true;
    } else {
        active = false;
        if (e->m_nPlays < e->m_nRepeats) {
            moveMotion();
            e->m_nFrame = 0;
            ++e->m_nPlays;
            // An endless emitter never runs out of plays.
            if (e->m_nPlays == e->m_nRepeats && e->m_nRepeats == CEmiter::kForever) e->m_nPlays = 1;
            if (e->m_nPause > 0) {
                e->m_nPauseLeft = static_cast<int16_t>(e->m_nPause - 1);
                e->m_wFlags = static_cast<uint16_t>(e->m_wFlags | CEmiter::kPlayStart);
                return true;
            }
            active = true;
        } else if (e->m_pFirst == nullptr) {
            return false;
        }
    }

    const int32_t f = e->m_nFrame, g = e->m_nMotionFrame;
    const bool first = Has(e->m_wFlags, CEmiter::kFirstStep);
    e->m_wFlags = static_cast<uint16_t>(e->m_wFlags & ~CEmiter::kFirstStep);
    const bool child = Has(e->m_wFlags, CEmiter::kChild);
    const bool followGround = params.FollowGround != 0;
    auto ground = [this](float x, float y) { return QueryHostValue(TruncToInt32(x), TruncToInt32(y)); };

    if (first && !child) {
        CSVector4 origin;
        uint8_t angles[3] = {0, 0, 0};
        if (params.SourceKind == 1) GetOrigin(*e, origin, angles);
        PlaceFirst(*e, origin, angles, nullptr);
    }

    if (active || (first && !child)) {
        const int32_t last = e->m_nMotionLength;
        const bool carry = g == 0 && !first;
        if ((params.ChannelMask & kHeldOffset) == 0) {
            if (carry) {
                ParticleFloat3 d;
                float* axes[3] = {&d.x, &d.y, &d.z};
                for (int32_t axis = 0; axis < 3; ++axis)
                    if ((params.ChannelMask & (kNoCarryX << axis)) == 0)
                        *axes[axis] = EmiterPairValue(params, axis, last, e->m_awRandom[axis]) -
                                      EmiterPairValue(params, axis, 0, e->m_awRandom[axis]);
                d = TurnedBy(e->m_pMatrix, d);
                e->m_vBasePos.x += d.x;
                e->m_vBasePos.y += d.y;
                e->m_vBasePos.z += d.z;
            }
            const ParticleFloat3 v = TurnedBy(e->m_pMatrix, EmiterTriple(params, 0, g, e->m_awRandom));
            e->m_vPos.x = e->m_vBasePos.x + v.x;
            e->m_vPos.y = e->m_vBasePos.y + v.y;
            e->m_vPos.z = e->m_vBasePos.z + v.z;
            if (followGround) e->m_vPos.z += ground(e->m_vPos.x, e->m_vPos.y);
        }
        if ((params.ChannelMask & kHeldAngles) == 0) {
            if (carry) {
                const ParticleFloat3 end = EmiterTriple(params, 3, last, e->m_awRandom);
                const ParticleFloat3 start = EmiterTriple(params, 3, 0, e->m_awRandom);
                e->m_vBaseAngles.x += end.x - start.x;
                e->m_vBaseAngles.y += end.y - start.y;
                e->m_vBaseAngles.z += end.z - start.z;
            }
            const ParticleFloat3 a = EmiterTriple(params, 3, g, e->m_awRandom);
            e->m_vAngles = ParticleFloat3{e->m_vBaseAngles.x + a.x, e->m_vBaseAngles.y + a.y, e->m_vBaseAngles.z + a.z};
        }
    }

    if (active) {
        if (emit) {
            const float rate = EmiterPairValue(params, kPairEmitRate, f, e->m_awRandom[6]);
            e->m_fEmitAccu += rate * e->m_fRateScale;
        }
        if (e->m_fEmitAccu >= 1.0f) {
            // A rate beyond any use is bounded by the limits below anyway.
            const double whole = std::min(std::floor(static_cast<double>(e->m_fEmitAccu)), 1e9);
            e->m_fEmitAccu = static_cast<float>(e->m_fEmitAccu - whole);
            const int64_t units = static_cast<int64_t>(whole);
            for (int64_t unit = 0; unit < units; ++unit) {
                if (Has(e->m_wFlags, CEmiter::kEmitsEmitters)) {
                    const bool spawned = SpawnChildEmiters(index);
                    e = &m_arrEmiters[static_cast<size_t>(index)];
                    // Nothing resolves, or the instance is full: the other units
                    // would do nothing either.
                    if (!spawned) break;
                } else {
                    // Beyond the 16-bit count, or the instance's share, births are
                    // skipped without a draw.
                    if (e->m_nCount >= CEmiter::kMaxParticles || m_nParticleRoom <= 0) break;
                    const int16_t before = e->m_nCount;
                    EmitParticle(*e);
                    m_nParticleRoom -= e->m_nCount - before;
                }
            }
        }
    }

    e->AdvanceParticles(*this);
    return active || e->m_nPlays < e->m_nRepeats || e->m_pFirst != nullptr;
}

void emiterinternal::HoldOffset(CParticlesEmiter& effect, CEmiter& e, const CEmiterParams& params, bool world) {
    const bool followGround = world && params.FollowGround != 0, startOnGround = world && params.StartOnGround != 0;
    const ParticleFloat3 v = TurnedBy(e.m_pMatrix, EmiterTriple(params, 0, 0, e.m_awRandom));
    e.m_vPos.x = e.m_vBasePos.x + v.x;
    e.m_vPos.y = e.m_vBasePos.y + v.y;
    const float h = effect.QueryHostValue(TruncToInt32(e.m_vPos.x), TruncToInt32(e.m_vPos.y));
    if (followGround) {
        e.m_vPos.z = h + e.m_vBasePos.z + v.z;
    } else if (startOnGround) {
        e.m_vBasePos.z = h;
        e.m_vPos.z = h + v.z;
    } else {
        e.m_vPos.z = e.m_vBasePos.z + v.z;
    }
}

void CParticlesEmiter::PlaceFirst(CEmiter& e, const CSVector4& origin, const uint8_t angles[3],
                                  const CSMatrix* rotation) {
    const CEmiterParams& params = *e.m_pEmiterParams;
    const bool followGround = params.FollowGround != 0, startOnGround = params.StartOnGround != 0;
    auto ground = [this](float x, float y) { return QueryHostValue(TruncToInt32(x), TruncToInt32(y)); };
    if (params.SourceKind == 1) {
        e.m_vPos.x = e.m_vBasePos.x = origin.x;
        e.m_vPos.y = e.m_vBasePos.y = origin.y;
        const float h = ground(origin.x, origin.y);
        if (followGround && startOnGround) {
            e.m_vPos.z = h;
            e.m_vBasePos.z = 0.0f;
        } else if (followGround) {
            e.m_vPos.z = origin.z;
            e.m_vBasePos.z = origin.z - h;
        } else if (startOnGround) {
            e.m_vPos.z = e.m_vBasePos.z = h;
        } else {
            e.m_vPos.z = e.m_vBasePos.z = origin.z;
        }
        e.m_vAngles = e.m_vBaseAngles =
            ParticleFloat3{static_cast<float>(angles[0]), static_cast<float>(angles[1]), static_cast<float>(angles[2])};
        delete e.m_pMatrix;
        e.m_pMatrix = new CSMatrix();
        if (rotation != nullptr) *e.m_pMatrix = *rotation;
        else SetRotation256(*e.m_pMatrix, angles[0], angles[1], angles[2]);
        if ((params.ChannelMask & kHeldOffset) != 0) HoldOffset(*this, e, params, true);
        if ((params.ChannelMask & kHeldAngles) != 0) {
            const ParticleFloat3 a = EmiterTriple(params, 3, 0, e.m_awRandom);
            e.m_vAngles = ParticleFloat3{e.m_vBaseAngles.x + a.x, e.m_vBaseAngles.y + a.y, e.m_vBaseAngles.z + a.z};
        }
    } else {
        if ((params.ChannelMask & kHeldOffset) != 0) e.m_vPos = EmiterTriple(params, 0, 0, e.m_awRandom);
        if ((params.ChannelMask & kHeldAngles) != 0) e.m_vAngles = EmiterTriple(params, 3, 0, e.m_awRandom);
    }
}
