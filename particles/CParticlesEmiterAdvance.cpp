// The advance of particles: one particle's step, and every emitter's particles alone.
#include "particles/CParticlesEmiter.h"

#include "particles/Angle256.h"
#include "particles/CParticle.h"
#include "particles/CParticleParams.h"
#include "particles/CParticlesEmiterInternal.h"
#include "particles/CSMatrix.h"
#include "particles/ParticleHelpers.h"
#include "particles/ParticlePairs.h"
#include "particles/ParticleRandom.h"
#include "particles/ParticleStepRates.h"
#include "particles/ParticleTextureAnimation.h"

using namespace emiterinternal;

bool CParticlesEmiter::AdvanceParticle(CEmiter& e, CParticle& p) {
    p.m_nAge = static_cast<int16_t>(static_cast<uint16_t>(p.m_nAge) + 1u);
    const int32_t a = p.m_nAge, n = p.m_nLife;
    if (n < a) return false;
    if (e.m_pParticleParams == nullptr) return true;
    const CParticleParams& pp = *e.m_pParticleParams;

    if (pp.OwnMatrix == 0) {
        const float rate = GetParticleBaseRate();
        const float g = pp.Gravity / (rate * rate);
        float s, vx, vy, f;
        if ((pp.Flags & CParticleParams::kSpeedRowsOff) != 0) {
            s = 1.0f;
            vx = p.m_vVelocity.x;
            vy = p.m_vVelocity.y;
            f = static_cast<float>(-static_cast<float>(a * a) * g / 2.0);
        } else {
            s = ParticlePairValue(pp, CParticleParams::SpeedOverLife, a, n, p.m_awRandom[10]);
            vx = p.m_vVelocity.x * s;
            vy = p.m_vVelocity.y * s;
            f = static_cast<float>(-(a * s * a * s * g) / 2.0);
        }
        const float dz = f - p.m_fSpeedScale;
        p.m_fSpeedScale = f;
        const float vz = p.m_vVelocity.z * s + dz;
        if (pp.YawFromVelocity != 0) p.m_vAngles.x = Angle256Between(0, 0, TruncToInt32(vx), TruncToInt32(vy));
        if (pp.PitchFromVelocity != 0) {
            const float dv = a == 0 ? static_cast<float>(vz - s * s * g / 2.0) : vz;
            p.m_vAngles.y = Angle256Of(HorizontalDistance(TruncToInt32(vx), TruncToInt32(vy)), TruncToInt32(dv));
        }
        if (pp.RollFromTrack != 0 && (pp.Flags & CParticleParams::kRotationRowsOff) == 0)
            p.m_vAngles.z = ParticlePairValue(pp, CParticleParams::Roll, a, n, p.m_awRandom[5]);
        if (pp.WindFactor != 0.0f) {
            vx += pp.WindFactor * ParticleWind.x;
            vy += pp.WindFactor * ParticleWind.y;
        }
        if (pp.Jitter != 0.0f) {
            const double j = pp.Jitter, jitterBase = (-j / rate) / 2.0;
            vx = static_cast<float>(vx + UnpackKeyValue(static_cast<uint16_t>(ParticleRandom(e))) * j / rate +
                                    jitterBase);
            vy = static_cast<float>(vy + UnpackKeyValue(static_cast<uint16_t>(ParticleRandom(e))) * j / rate +
                                    jitterBase);
        }
        p.m_vPos.x += vx;
        p.m_vPos.y += vy;
        p.m_vPos.z += vz;
    }

    if (pp.ParticleSpace == 1 && pp.HostTest != 0 && (a & 3) == 0) {
        int32_t x, y;
        float z;
        if (pp.OwnMatrix == 0 || (pp.Flags & CParticleParams::kPositionRowsOff) != 0) {
            x = TruncToInt32(p.m_vPos.x);
            y = TruncToInt32(p.m_vPos.y);
            z = p.m_vPos.z;
        } else {
            float ox = ParticlePairValue(pp, CParticleParams::OffsetX, a, n, p.m_awRandom[0]) * p.m_fSpeedScale;
            float oy = ParticlePairValue(pp, CParticleParams::OffsetY, a, n, p.m_awRandom[1]) * p.m_fSpeedScale;
            float oz = ParticlePairValue(pp, CParticleParams::OffsetZ, a, n, p.m_awRandom[2]) * p.m_fSpeedScale;
            if (p.m_pMatrix != nullptr) CSMatrix::RotateVector3(*p.m_pMatrix, ox, oy, oz);
            x = TruncToInt32(p.m_vPos.x + ox);
            y = TruncToInt32(p.m_vPos.y + oy);
            z = p.m_vPos.z + oz;
            if (pp.GroundRelative != 0) z += QueryHostValue(x, y);
        }
        if (!TestHostPoint(x, y, z)) return false;
    }
    AdvanceTextureAnimation(e, &p);
    return true;
}

bool CParticlesEmiter::AdvanceParticlesOnly() {
    bool alive = Has(m_wFlags, kChildOnly) || Has(m_wFlags, kPaused);
    for (CEmiter& e : m_arrEmiters) {
        const bool remain = e.AdvanceParticles(*this);
        if (remain || (m_iFrame < e.m_nStart && !Has(m_wFlags, kStopping))) alive = true;
    }
    return alive;
}
