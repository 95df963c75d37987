// Rings of particles made at once, the ageing that never ends them, and relocation
// of every particle with a reference position.
#include "particles/CParticlesEmiter.h"

#include <algorithm>
#include <cmath>

#include "particles/CParticle.h"
#include "particles/CParticleParams.h"
#include "particles/CParticlesEmiterInternal.h"
#include "particles/CParticlesMesh.h"
#include "particles/ParticleHelpers.h"
#include "particles/ParticleRandom.h"
#include "particles/ParticleTextureAnimation.h"

using namespace emiterinternal;

bool CParticlesEmiter::SetupRing(CSEntity* host, CParticlesMesh* effect, int32_t radius) {
    if (!Setup(host, effect)) return false;
    if (radius == 0) {
        m_arrEmiters.clear();
        return true;
    }
    if (m_arrEmiters.empty()) return false;
    m_vReference = CSVector4(0.0f, 0.0f, 0.0f, 0.0f);
    EmitRing(m_arrEmiters.front(), 0, 0, radius, 0.0f, static_cast<float>(kTurnRadians));
    return true;
}

int32_t CParticlesEmiter::EmitRing(CEmiter& e, int32_t cx, int32_t cy, int32_t radius, float from, float to) {
    if (e.m_pParticleParams == nullptr) return 0;
    const CParticleParams& pp = *e.m_pParticleParams;
    if (from > to) to = static_cast<float>(to + kTurnRadians);
    const double n = std::trunc(radius / 10.0 * (static_cast<double>(to) - from) * 2.0);
    // A negative or undefined count makes nothing; a huge one stops at the 16-bit count.
    if (!(n >= 0.0)) return 0;
    const double steps = std::max(n, 1.0);
    int32_t made = 0;
    for (double i = 0.0; i <= n && e.m_nCount < CEmiter::kMaxParticles; i += 1.0, ++made) {
        CParticle* p = new CParticle();
        p->m_nLife = ClampToInt16(pp.LifeFrames);
        p->m_fSpeedScale = 1.0f;
        p->m_fSizeScale = 1.0f;
        p->m_bLocalMatrix = 0;
        p->m_nAge = 0;
        p->m_dwColor = 0xFFFFFFFFu;
        StartTextureAnimation(e, p);
        if (pp.ParticleKind == 0) {
            const uint32_t objects = pp.ObjectList.GetCount();
            p->m_nObject = objects > 0 ? static_cast<uint8_t>(static_cast<uint32_t>(ParticleRandom2(e)) % objects) : 0;
        }
        p->m_nSequence = static_cast<int16_t>(made);
        // The tail, without the peak.
        if (e.m_pLast == nullptr) e.m_pFirst = p;
        else e.m_pLast->m_pNext = p;
        e.m_pLast = p;
        ++e.m_nCount;
        const float l = from + (to - from) * static_cast<float>(i) / static_cast<float>(steps);
        p->m_vAngles.x = static_cast<float>(TruncToInt32(l * 256.0f / static_cast<float>(kTurnRadians)) & 0xff);
        const float sine = static_cast<float>(std::sin(static_cast<double>(l)));
        const float cosine = static_cast<float>(std::cos(static_cast<double>(l)));
        p->m_vPos.x = static_cast<float>(cx + static_cast<double>(radius) * sine);
        p->m_vPos.y = static_cast<float>(cy + static_cast<double>(radius) * cosine);
        p->m_vPos.z = 0.0f;
    }
    return made;
}

void CParticlesEmiter::AddRingEmiter(int32_t cx, int32_t cy, int32_t radius, float from, float to) {
    if (m_pMesh == nullptr) return;
    const int32_t entries = static_cast<int32_t>(m_pMesh->m_arrEntries.size());
    for (int32_t i = 0; i < entries; ++i) {
        if (!Qualifies(i)) continue;
        m_arrEmiters.emplace_back();
        InitEmiter(m_arrEmiters.back(), i, false, 0, 0);
        EmitRing(m_arrEmiters.back(), cx, cy, radius, from, to);
        return;
    }
}

bool CParticlesEmiter::CycleParticleAges(const void* /*unused*/) {
    for (CEmiter& e : m_arrEmiters) {
        for (CParticle* p = e.m_pFirst; p != nullptr; p = p->m_pNext) {
            p->m_nAge = static_cast<int16_t>(p->m_nAge + 1);
            if (p->m_nLife < p->m_nAge) p->m_nAge = 0;
            AdvanceTextureAnimation(e, p);
        }
    }
    return true;
}

void CParticlesEmiter::MoveParticlesTo(const CSVector4& position, int32_t groundOffset, const int32_t rectangle[4],
                                       int32_t fixedHeight) {
    if (CSVector4NearlyEqual(position, m_vReference) || m_arrEmiters.empty()) return;
    const float dx = position.x - m_vReference.x, dy = position.y - m_vReference.y;
    m_vReference = position;
    float height = position.z;
    bool filled = false;
    for (CEmiter& e : m_arrEmiters) {
        for (CParticle* p = e.m_pFirst; p != nullptr; p = p->m_pNext) {
            p->m_vPos.x += dx;
            p->m_vPos.y += dy;
            const int32_t x = TruncToInt32(p->m_vPos.x), y = TruncToInt32(p->m_vPos.y);
            if (rectangle[0] < x && x < rectangle[2] && rectangle[1] < y && y < rectangle[3]) {
                height = fixedHeight > 0 ? static_cast<float>(fixedHeight)
                                         : QueryHostValue(x, y) + static_cast<float>(groundOffset);
                if (!filled) {
                    filled = true;
                    for (CParticle* q = e.m_pFirst; q != p; q = q->m_pNext) q->m_vPos.z = height;
                }
            }
            p->m_vPos.z = height;
        }
    }
    // The bounds after the pass, so that they hold the heights the back-fill gave.
    bool first = true;
    for (const CEmiter& e : m_arrEmiters) {
        for (const CParticle* p = e.m_pFirst; p != nullptr; p = p->m_pNext) {
            const float v[3] = {p->m_vPos.x, p->m_vPos.y, p->m_vPos.z};
            for (int axis = 0; axis < 3; ++axis) {
                if (first) m_afBoundsMin[axis] = m_afBoundsMax[axis] = v[axis];
                else if (v[axis] < m_afBoundsMin[axis]) m_afBoundsMin[axis] = v[axis];
                else if (v[axis] > m_afBoundsMax[axis]) m_afBoundsMax[axis] = v[axis];
            }
            first = false;
        }
    }
}

bool CParticlesEmiter::ReturnTrue(const void* /*unused*/) const { return true; }
