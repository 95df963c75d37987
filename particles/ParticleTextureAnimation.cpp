#include "particles/ParticleTextureAnimation.h"

#include <algorithm>
#include <cmath>

#include "particles/CEmiter.h"
#include "particles/CParticle.h"
#include "particles/CParticleParams.h"
#include "particles/ParticleHelpers.h"
#include "particles/ParticleRandom.h"
#include "particles/ParticleStepRates.h"

namespace {

bool IsListSequence(const CParticleParams& params) { return params.TextureList.GetCount() >= 2; }

}  // namespace

void ParticleHook(CEmiter& /*emitter*/, CParticle* /*particle*/) {}

int16_t TimedAnimationSpeed(float fps) {
    const double speed = std::trunc(static_cast<double>(fps) * 1000.0 / GetParticleTickRate());
    // Not a number counts as no timing at all.
    if (!(speed == speed)) return 0;
    return ClampToInt16(static_cast<int64_t>(std::clamp(speed, -40000.0, 40000.0)));
}

void StartTextureAnimation(CEmiter& emitter, CParticle* particle) {
    ParticleHook(emitter, particle);
    if (particle == nullptr || emitter.m_pParticleParams == nullptr) return;
    const CParticleParams& params = *emitter.m_pParticleParams;
    const bool timed = params.AnimMode == 1;
    const bool randomStart = params.RandomStartFrame != 0 && params.ParticleKind != 5;
    CParticle& p = *particle;
    if (params.ParticleKind == 0 && params.ObjectList.GetCount() > 0) {
        ParticleRandom2(emitter);  // drawn, not used
        p.m_nTexFrame = 0;
        p.m_nAnimSpeed = 0;
        p.m_nAnimCount = 0;
    } else if (IsListSequence(params)) {
        const uint32_t n = params.TextureList.GetCount();
        p.m_nTexFrame = 0;
        p.m_nAnimSpeed = 0;
        if (timed) {
            if (randomStart) p.m_nTexFrame = static_cast<int16_t>(static_cast<uint32_t>(ParticleRandom2(emitter)) % n);
            p.m_nAnimSpeed = TimedAnimationSpeed(params.AnimFps);
        }
        p.m_nAnimCount = ClampToInt16(n);
    } else if (params.WholeTexture == 1) {
        p.m_nTexFrame = 0;
        p.m_nAnimSpeed = 0;
        p.m_nAnimCount = 0;
    } else {
        const int64_t first = params.FirstFrame, last = params.LastFrame;
        const int16_t count = ClampToInt16(last >= first ? last - first + 1 : last - first - 1);
        p.m_nAnimCount = count;
        int64_t offset = 0;
        if (timed && randomStart && first != last && count != 0) {
            const int32_t r = ParticleRandom2(emitter);
            offset = count > 0 ? r % count : -(r % -count);
        }
        p.m_nTexFrame = ClampToInt16(first + offset);
        p.m_nAnimSpeed = timed ? TimedAnimationSpeed(params.AnimFps) : 0;
    }
    p.m_nAnimAccu = 0;
}

void AdvanceTextureAnimation(CEmiter& emitter, CParticle* particle) {
    if (particle == nullptr || emitter.m_pParticleParams == nullptr || particle->m_nAnimCount == 0) return;
    const CParticleParams& params = *emitter.m_pParticleParams;
    CParticle& p = *particle;
    const bool list = IsListSequence(params);
    if (params.AnimMode != 1) {
        // A life below one step (ring emission makes them) shows the first frame.
        int32_t offset = 0;
        if (p.m_nLife >= 1) {
            const int32_t age = std::min<int32_t>(p.m_nAge, p.m_nLife - 1);
            offset = age * p.m_nAnimCount / p.m_nLife;
        }
        p.m_nTexFrame = ClampToInt16(list ? offset : static_cast<int64_t>(params.FirstFrame) + offset);
        return;
    }
    if (p.m_nAnimSpeed <= 0 || p.m_nAge == 0) return;
    int32_t accu = p.m_nAnimAccu + p.m_nAnimSpeed;
    const int32_t k = accu / 1000;
    if (k == 0) {
        p.m_nAnimAccu = static_cast<int16_t>(accu);
        return;
    }
    p.m_nAnimAccu = static_cast<int16_t>(accu - k * 1000);
    const int64_t lo = list ? 0 : params.FirstFrame;
    const int64_t hi = list ? static_cast<int64_t>(params.TextureList.GetCount()) - 1 : params.LastFrame;
    const int64_t bottom = std::min(lo, hi), top = std::max(lo, hi);
    int64_t frame = p.m_nTexFrame;
    if (params.PingPong != 0) {
        if (p.m_nAnimCount > 0) {
            frame += k;
            if (frame > top) {
                p.m_nAnimCount = static_cast<int16_t>(-p.m_nAnimCount);
                frame = std::max(2 * top - frame, bottom);
            }
        } else {
            frame -= k;
            if (frame < bottom) {
                p.m_nAnimCount = static_cast<int16_t>(-p.m_nAnimCount);
                frame = std::min(2 * bottom - frame, top);
            }
        }
    } else if (p.m_nAnimCount > 0) {
        frame += k;
        if (frame > hi) frame = std::min(lo + (frame - hi) - 1, hi);
    } else {
        // A backwards range runs down from its first frame and wraps back to it.
        frame -= k;
        if (frame < bottom) frame = std::max(top - (bottom - frame) + 1, bottom);
    }
    p.m_nTexFrame = ClampToInt16(frame);
}
