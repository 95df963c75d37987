// Golden trace of particle life: after the reset of the global stream, one emitter per
// shape in world space and one in the emitter's own space emit every fifth step and
// advance for 60 steps. Each birth prints the particle's life and words; each step the
// age, texture frame, position and angles of every live particle. The checked-in trace
// was reviewed once: box points lie on the faces, sphere points at the radius times the
// shape sizes, world particles start around the emitter and die at a host test.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "GoldenTrace.h"
#include "RunningEffectFixtures.h"
#include "particles/CEmiterParams.h"
#include "particles/CParticle.h"
#include "particles/CParticleParams.h"
#include "particles/CParticlesEmiter.h"

namespace {

using effectfixtures::Add;
using effectfixtures::AddEntry;
using effectfixtures::SetConstant;
using effectfixtures::SetKeys;
using runfixtures::SetUpInstance;

void Append(std::string& out, const char* format, ...) {
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    out += line;
}

void Pair(CEmiterParams& params, int32_t row, float base, float variation) {
    SetConstant(params.Tracks[row], base);
    SetConstant(params.Tracks[row + 1], variation);
}

// Emitter block for `shape`: every pair that emission reads varies, except the sphere's
// angle ranges, which select the elevation case by exact values.
CEmiterParams* EmitterBlock(CParticlesMesh& effect, int32_t shape, bool world) {
    CEmiterParams* params = Add(effect.m_arrEmiterParams);
    params->EmitShape = shape;
    params->SourceKind = world ? 1 : 0;
    params->SphereRadius = 2.0f;
    params->BoxFaceMask = 63;
    params->IndependentSizeRandom = world ? 1 : 0;
    params->IndependentAngleRangeRandom = 1;
    Pair(*params, CEmiterParams::LifeScale, 1.0f, 0.5f);
    Pair(*params, CEmiterParams::SpeedScale, 1.0f, 0.3f);
    Pair(*params, CEmiterParams::SizeScale, 1.0f, 0.2f);
    Pair(*params, CEmiterParams::ShapeSizeX, 2.0f, 0.5f);
    Pair(*params, CEmiterParams::ShapeSizeY, 3.0f, 0.5f);
    Pair(*params, CEmiterParams::ShapeSizeZ, 1.5f, 0.5f);
    SetConstant(params->Tracks[CEmiterParams::AzimuthFrom], 0.0f);
    SetConstant(params->Tracks[CEmiterParams::AzimuthTo], 256.0f);
    SetConstant(params->Tracks[CEmiterParams::ElevationFrom], -64.0f);
    SetConstant(params->Tracks[CEmiterParams::ElevationTo], 64.0f);
    for (int32_t pair = CEmiterParams::AzimuthFrom / 2; pair <= CEmiterParams::ElevationTo / 2; ++pair)
        params->NoVariation[pair] = 1;
    return params;
}

// A ballistic particle: gravity, jitter, speed over life, angles from the motion and a
// timed bouncing atlas in world space (with the host test); in the emitter's space its
// frames spread over the life.
CParticleParams* ParticleBlock(CParticlesMesh& effect, bool world) {
    CParticleParams* params = Add(effect.m_arrParticleParams);
    params->ParticleKind = 1;
    params->ParticleSpace = world ? 1 : 0;
    params->Life = 0.5f;
    params->LifeFrames = 15;
    params->StartSpeed = 90.0f;
    params->ExtraVelocityZ = 30.0f;
    params->Gravity = 300.0f;
    params->Jitter = 6.0f;
    params->YawFromVelocity = 1;
    params->PitchFromVelocity = 1;
    params->HostTest = world ? 1 : 0;
    params->IndependentRandomA = 1;
    params->FirstFrame = 0;
    params->LastFrame = 7;
    params->AnimMode = world ? 1 : 0;
    params->AnimFps = 20.0f;
    params->PingPong = 1;
    params->RandomStartFrame = 1;
    SetKeys(params->Tracks[CParticleParams::SpeedOverLife], {1.0f, 0.5f});
    SetConstant(params->Tracks[CParticleParams::SpeedOverLifeVar], 0.25f);
    return params;
}

std::string Trace() {
    CParticlesMesh built;
    ParticleBlock(built, true);
    ParticleBlock(built, false);
    const char* names[] = {"sphere", "box", "rectangle", "point"};
    for (int32_t shape = 0; shape < 4; ++shape) {
        for (const bool world : {true, false}) {
            EmitterBlock(built, shape, world);
            const std::string name = std::string(names[shape]) + (world ? " world" : " emitter");
            AddEntry(built, name.c_str(), static_cast<int32_t>(built.m_arrEmiterParams.size()) - 1, world ? 0 : 1);
        }
    }
    SetUpInstance s(built);
    std::string out;
    for (size_t i = 0; i < s.instance.m_arrEmiters.size(); ++i) {
        CEmiter& e = s.Emitter(i);
        e.m_vPos = ParticleFloat3{10.0f, 20.0f, 6.0f};
        e.m_vAngles = ParticleFloat3{32.0f, 0.0f, 16.0f};
        Append(out, "emitter %zu: %s\n", i, e.m_pEntry->Name.c_str());
    }
    for (int step = 0; step < 60; ++step) {
        for (size_t i = 0; i < s.instance.m_arrEmiters.size(); ++i) {
            CEmiter& e = s.Emitter(i);
            if (step % 5 == 0 && s.instance.EmitParticle(e)) {
                const CParticle& born = *e.m_pLast;
                Append(out, "step %d emitter %zu: born at %.4f %.4f %.4f, life %d, sequence %d, words", step, i,
                       born.m_vPos.x, born.m_vPos.y, born.m_vPos.z, born.m_nLife, born.m_nSequence);
                for (uint16_t word : born.m_awRandom) Append(out, " %u", word);
                out += "\n";
            }
            e.AdvanceParticles(s.instance);
            int n = 0;
            for (const CParticle* p = e.m_pFirst; p != nullptr; p = p->m_pNext, ++n)
                Append(out,
                       "step %d emitter %zu particle %d: age %d frame %d pos %.4f %.4f %.4f angles %.4f %.4f %.4f\n",
                       step, i, n, p->m_nAge, p->m_nTexFrame, p->m_vPos.x, p->m_vPos.y, p->m_vPos.z, p->m_vAngles.x,
                       p->m_vAngles.y, p->m_vAngles.z);
        }
    }
    return out;
}

TEST(ParticleEmissionTrace, EveryShapeInWorldAndEmitterSpace) { goldentrace::ExpectGolden("emission.txt", Trace()); }

}  // namespace
