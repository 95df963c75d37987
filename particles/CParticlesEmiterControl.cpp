// Control of a running effect from outside (frame, pause, stop, kill, moves, options)
// and the queries on its state.
#include "particles/CParticlesEmiter.h"

#include <algorithm>
#include <cmath>

#include "particles/CEmiterParams.h"
#include "particles/CParticle.h"
#include "particles/CParticleEmiterParams.h"
#include "particles/CParticleParams.h"
#include "particles/CParticlesEmiterInternal.h"
#include "particles/CParticlesMesh.h"
#include "particles/ParticlePairs.h"

using namespace emiterinternal;

namespace {

// t modulo n for a non-negative t; 0 for a period that is not positive.
int32_t Wrap(int64_t t, int64_t n) { return n > 0 ? static_cast<int32_t>(t % n) : 0; }

}  // namespace

void CParticlesEmiter::SetFrame(int32_t frame, bool pausableOnly) {
    for (CEmiter& e : m_arrEmiters) {
        if (pausableOnly && !Has(e.m_wFlags, CEmiter::kPausable)) continue;
        const int64_t t = std::max<int64_t>(static_cast<int64_t>(frame) - e.m_nStart, 0);
        const int64_t length = e.m_nLength, motion = e.m_nMotionLength;
        bool playStart;
        if (t == 0) {
            e.m_nFrame = e.m_nMotionFrame = e.m_nPauseLeft = 0;
            playStart = true;
        } else if (t <= length) {
            e.m_nFrame = static_cast<int16_t>(t);
            e.m_nMotionFrame = static_cast<int16_t>(Wrap(t, motion + 1));
            e.m_nPauseLeft = 0;
            playStart = false;
        } else if (e.m_nPause < 1) {
            e.m_nFrame = static_cast<int16_t>(Wrap(t, length + 1));
            e.m_nMotionFrame = static_cast<int16_t>(Wrap(t, motion + 1));
            e.m_nPauseLeft = 0;
            playStart = e.m_nFrame == 0;
        } else {
            const int32_t c = Wrap(t, length + 1 + e.m_nPause);
            if (c > length) {
                // Inside the pause: the next play starts at once.
                e.m_nFrame = 0;
                e.m_nPauseLeft = 0;
                playStart = true;
            } else {
                e.m_nFrame = static_cast<int16_t>(c);
                e.m_nPauseLeft = 0;
                playStart = c == 0;
            }
            e.m_nMotionFrame = motion == length ? e.m_nFrame : static_cast<int16_t>(Wrap(t, motion + 1));
        }
        if (playStart) e.m_wFlags = static_cast<uint16_t>(e.m_wFlags | CEmiter::kPlayStart);
        else e.m_wFlags = static_cast<uint16_t>(e.m_wFlags & ~CEmiter::kPlayStart);
    }
    if (!pausableOnly || Has(m_wFlags, kAllPausable)) m_iFrame = std::max(frame, 0);
}

void CParticlesEmiter::SetPaused(bool paused, bool restart) {
    SetFlag(m_wFlags, kPaused, paused);
    if (restart) RestartPausable(0);
}

void CParticlesEmiter::Stop() {
    for (CEmiter& e : m_arrEmiters) {
        e.m_nPauseLeft = 0;
        e.m_nFrame = e.m_nLength;
        e.m_nMotionFrame = e.m_nMotionLength;
        e.m_nPlays = e.m_nRepeats;
        e.m_wFlags = static_cast<uint16_t>(e.m_wFlags & ~(CEmiter::kPlayStart | CEmiter::kHold));
    }
    m_wFlags = static_cast<uint16_t>((m_wFlags | kStopping) & ~(kChildOnly | kFrozen | kLooping));
}

void CParticlesEmiter::Kill() {
    Stop();
    for (CEmiter& e : m_arrEmiters)
        if (!Has(e.m_wFlags, CEmiter::kKeepOnKill)) e.DeleteParticles();
}

void CParticlesEmiter::SetRateScale(int32_t percent) {
    for (CEmiter& e : m_arrEmiters) e.m_fRateScale = static_cast<float>(percent / 100.0);
}

void CParticlesEmiter::SetPosition(const CSVector4& position) {
    m_vPos = position;
    m_wFlags = static_cast<uint16_t>(m_wFlags | kExplicitPosition);
}

void CParticlesEmiter::MoveBy(int32_t dx, int32_t dy) {
    const float x = static_cast<float>(dx), y = static_cast<float>(dy);
    for (CEmiter& e : m_arrEmiters) {
        if (e.m_pEmiterParams != nullptr && e.m_pEmiterParams->SourceKind == 1) {
            e.m_vPos.x += x;
            e.m_vPos.y += y;
            e.m_vBasePos.x += x;
            e.m_vBasePos.y += y;
        }
        if (e.m_pParticleParams != nullptr && e.m_pParticleParams->ParticleSpace == 1) {
            for (CParticle* p = e.m_pFirst; p != nullptr; p = p->m_pNext) {
                p->m_vPos.x += x;
                p->m_vPos.y += y;
            }
        }
    }
}

void CParticlesEmiter::KeepLoopingOnly(bool heightOffsets) {
    m_wFlags = static_cast<uint16_t>(m_wFlags | kKeepLoopingOnly);
    SetFlag(m_wFlags, kHeightOffsets, heightOffsets);
    RemoveNonLooping();
}

void CParticlesEmiter::SetOption400(bool on) { SetFlag(m_wFlags, kOption400, on); }

void CParticlesEmiter::SetOption800(bool on) {
    SetFlag(m_wFlags, kOption800, on);
    RemoveNonLooping();
}

void CParticlesEmiter::SetOption20(bool on) { SetFlag(m_wFlags, kOption20, on); }

void CParticlesEmiter::RemoveNonLooping() {
    size_t kept = 0;
    for (size_t i = 0; i < m_arrEmiters.size(); ++i) {
        const CParticleEmiterParams* entry = m_arrEmiters[i].m_pEntry;
        KeepEmiter(i, entry != nullptr && entry->RepeatMode == 2, kept);
    }
    EndEmiterPass(kept);
}

bool CParticlesEmiter::HasParticles() const {
    for (const CEmiter& e : m_arrEmiters)
        if (e.m_pFirst != nullptr) return true;
    return false;
}

bool CParticlesEmiter::IsFinished() const {
    for (const CEmiter& e : m_arrEmiters) {
        if (e.m_nRepeats == CEmiter::kForever) continue;
        const bool done = e.m_pFirst == nullptr && m_iFrame >= e.m_nStart && e.m_nPauseLeft == 0 &&
                          !Has(e.m_wFlags, CEmiter::kPlayStart) && e.m_nFrame == e.m_nLength &&
                          e.m_nPlays >= e.m_nRepeats;
        if (!done) return false;
    }
    return true;
}

bool CParticlesEmiter::EndsWithin(int32_t frames) const {
    if (Has(m_wFlags, kStopping)) return true;
    for (const CEmiter& e : m_arrEmiters)
        if (e.m_nPauseLeft > 0 || e.m_nPlays < e.m_nRepeats || e.m_nLength - e.m_nFrame > frames) return false;
    return true;
}

bool CParticlesEmiter::HasPlayed() const {
    if (Has(m_wFlags, kChildOnly)) return true;
    if (m_arrEmiters.empty()) return false;
    if (Has(m_wFlags, kPaused)) {
        if (Has(m_wFlags, kAllPausable)) return true;
        for (const CEmiter& e : m_arrEmiters)
            if (!Has(e.m_wFlags, CEmiter::kPausable)) return e.m_nPlays > 0;
    }
    return m_arrEmiters.front().m_nPlays > 0;
}

bool CParticlesEmiter::HasPausableEntry() const {
    const int32_t entries = m_pMesh != nullptr ? static_cast<int32_t>(m_pMesh->m_arrEntries.size()) : 0;
    for (int32_t i = 0; i < entries; ++i)
        if (Qualifies(i) && m_pMesh->m_arrEntries[static_cast<size_t>(i)]->Pausable != 0) return true;
    return false;
}

bool CParticlesEmiter::HasKeepOnKill() const {
    for (const CEmiter& e : m_arrEmiters)
        if (Has(e.m_wFlags, CEmiter::kKeepOnKill)) return true;
    return false;
}

bool CParticlesEmiter::UsesWorldCoords() const {
    for (const CEmiter& e : m_arrEmiters) {
        if (e.m_pEmiterParams != nullptr && e.m_pEmiterParams->SourceKind == 1) return true;
        if (e.m_pParticleParams != nullptr && e.m_pParticleParams->ParticleSpace == 1) return true;
    }
    return false;
}

int32_t CParticlesEmiter::CountedParticles() const {
    int32_t count = 0;
    for (const CEmiter& e : m_arrEmiters)
        if (Has(e.m_wFlags, CEmiter::kCounted)) count += e.m_nCount;
    return count;
}

void CParticlesEmiter::MemoryUse(int32_t& emitters, int32_t& emitterBytes, int32_t& particles,
                                 int32_t& particleBytes) const {
    emitters = static_cast<int32_t>(m_arrEmiters.size());
    emitterBytes = particles = particleBytes = 0;
    for (const CEmiter& e : m_arrEmiters) {
        emitterBytes += 172 + (e.m_pMatrix != nullptr ? 64 : 0) + (e.m_pFaceTable != nullptr ? 12 : 0);
        for (const CParticle* p = e.m_pFirst; p != nullptr; p = p->m_pNext) {
            ++particles;
            particleBytes += 108 + (p->m_pMatrix != nullptr ? 64 : 0);
        }
    }
}

bool CParticlesEmiter::GetOrbitAngle(uint8_t& angle) const {
    const int32_t mode = Has(m_wFlags, kLooping) ? 2 : 1;
    for (const CEmiter& e : m_arrEmiters) {
        if (e.m_pEntry == nullptr || e.m_pEntry->RepeatMode != mode || e.m_nLength <= 0) continue;
        const CEmiterParams& params = *e.m_pEmiterParams;
        int32_t base = 0, direction = 1;
        if ((params.ChannelMask & kHeldOffset) == 0) {
            const int32_t later = std::min<int32_t>(2, e.m_nLength);
            const float x0 = EmiterPairValue(params, 0, 0, e.m_awRandom[0]);
            const float y0 = EmiterPairValue(params, 1, 0, e.m_awRandom[1]);
            const float x1 = EmiterPairValue(params, 0, later, e.m_awRandom[0]);
            const float y1 = EmiterPairValue(params, 1, later, e.m_awRandom[1]);
            if (std::fabs(x0) <= std::fabs(y0)) {
                if (y0 <= 0.0f) {
                    base = 0x80;
                    direction = x0 <= x1 ? -1 : 1;
                } else {
                    base = 0;
                    direction = x1 <= x0 ? -1 : 1;
                }
            } else if (x0 <= 0.0f) {
                base = 0xc0;
                direction = y1 <= y0 ? -1 : 1;
            } else {
                base = 0x40;
                direction = y0 <= y1 ? -1 : 1;
            }
        }
        angle = static_cast<uint8_t>(base + e.m_nFrame * direction * 256 / e.m_nLength);
        return true;
    }
    angle = 0;
    return false;
}

bool CParticlesEmiter::ScreenPoint(const CSVector4& /*point*/, CSVector4& /*out*/, const void* /*camera*/) const {
    return false;
}
