#include "tools/prt/PrtTrace.h"

#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "particles/CParticleEmiterParams.h"
#include "particles/CParticle.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CParticlesMesh.h"
#include "particles/CSArchive.h"
#include "particles/ParticleRandom.h"

namespace {

void Append(std::string& out, const char* format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    out += line;
}

// FNV-1a over 32-bit words.
struct Digest {
    uint32_t value = 2166136261u;
    void Add(int64_t word) {
        for (int i = 0; i < 4; ++i) {
            value ^= static_cast<uint32_t>(word >> (8 * i)) & 0xffu;
            value *= 16777619u;
        }
    }
    void AddFloat(float f) { Add(std::isfinite(f) ? std::llround(static_cast<double>(f) * 1024.0) : 0x7fffffff); }
};

}  // namespace

bool ReadEffectForTrace(const std::string& path, CParticlesMesh& effect, std::string& error) {
    CSArchive archive(path.c_str());
    if (!archive.HasFile()) {
        error = path + ": cannot be opened";
        return false;
    }
    if (!effect.Read(archive)) {
        char position[32];
        std::snprintf(position, sizeof position, "%" PRIu64, archive.GetPosition());
        error = path + ": does not read (short or corrupt at byte " + position + ")";
        return false;
    }
    effect.SetUpMaskEntry();
    return true;
}

std::string SetupTrace(const std::string& label, CParticlesMesh& effect) {
    ResetParticleSeed();
    CParticlesEmiter instance;
    instance.Setup(nullptr, &effect);

    std::string out;
    Append(out, "effect %s: %zu entries, %zu emitters\n", label.c_str(), effect.m_arrEntries.size(),
           instance.m_arrEmiters.size());
    Append(out, "instance: seed %d, flags 0x%04x\n", instance.m_wSeed, instance.m_wFlags);
    for (size_t i = 0; i < instance.m_arrEmiters.size(); ++i) {
        const CEmiter& e = instance.m_arrEmiters[i];
        Append(out, "emitter %zu: entry %d \"%s\", blocks %d/%d, source %d, link %d, flags 0x%04x\n", i, e.m_nEntry,
               e.m_pEntry->Name.c_str(), e.m_nEmiterParams, e.m_nParticleParams, e.m_nSource, e.m_nLink, e.m_wFlags);
        Append(out, "  stream states %d/%d, shared %u, words", e.m_iSeed, e.m_iSeed2, e.m_wSharedRandom);
        for (uint16_t word : e.m_awRandom) Append(out, " %u", word);
        Append(out, "\n  start %d, length %d, motion %d, pause %d, repeats %d, frame %d/%d\n", e.m_nStart, e.m_nLength,
               e.m_nMotionLength, e.m_nPause, e.m_nRepeats, e.m_nFrame, e.m_nMotionFrame);
        if (e.m_pFaceTable != nullptr) {
            Append(out, "  faces");
            for (int f = 0; f < kBoxFaceCount; ++f) Append(out, " %d", e.m_pFaceTable[f]);
            Append(out, "\n");
        }
    }
    return out;
}

RunEnd RunEffect(CParticlesMesh& effect, int steps, std::string* trace) {
    ResetParticleSeed();
    CParticlesEmiter instance;
    instance.Setup(nullptr, &effect);
    RunEnd end;
    for (int step = 1; step <= steps; ++step) {
        const bool alive = instance.Step(true);
        int particles = 0;
        Digest digest;
        for (const CEmiter& e : instance.m_arrEmiters) {
            for (const CParticle* p = e.m_pFirst; p != nullptr; p = p->m_pNext) {
                ++particles;
                digest.Add(p->m_nAge);
                digest.Add(p->m_nLife);
                digest.Add(p->m_nTexFrame);
                digest.AddFloat(p->m_vPos.x);
                digest.AddFloat(p->m_vPos.y);
                digest.AddFloat(p->m_vPos.z);
                digest.AddFloat(p->m_vAngles.x);
                digest.AddFloat(p->m_vAngles.y);
                digest.AddFloat(p->m_vAngles.z);
            }
        }
        end.particles = particles;
        if (trace != nullptr)
            Append(*trace, "step %d: emitters %zu, particles %d, digest %08x\n", step, instance.m_arrEmiters.size(),
                   particles, digest.value);
        if (!alive) {
            end.endStep = step;
            break;
        }
    }
    return end;
}

std::string RunTrace(const std::string& label, CParticlesMesh& effect, int steps) {
    std::string out;
    Append(out, "effect %s\n", label.c_str());
    const RunEnd end = RunEffect(effect, steps, &out);
    if (end.endStep > 0) Append(out, "ended at step %d\n", end.endStep);
    else Append(out, "still running after %d steps with %d particles\n", steps, end.particles);
    return out;
}
