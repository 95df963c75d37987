#pragma once
// Effects a damaged or hostile file may hold, built in code: motion values far beyond
// any designed effect, which the library must run and draw without overflow or abort.
// Header only; the particle, dumper and battle tests and the run's fuzz seeds share it.
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "RunningEffectFixtures.h"

namespace craftedeffects {

// A looping emitter of two particles a step for ten steps a play, whose particles
// live 30 steps, fly at the extra velocity (v, v, v / 2) scaled by the speed-over-life
// keys (without keys the speed rows are off: speed 1), and take yaw and pitch from
// their velocity. Drawn as `kind` (5: a ribbon).
struct VelocityEffect : runfixtures::PlainEmitter {
    VelocityEffect(float velocity, const std::vector<float>& speedKeys, int32_t kind = 1) {
        emiter->DurationFrames = 10;
        emiter->Tracks[CEmiterParams::EmitRate].m_arrKeys.Free();
        for (int i = 0; i <= 10; ++i) emiter->Tracks[CEmiterParams::EmitRate].m_arrKeys.Append(2.0f);
        emiter->Tracks[CEmiterParams::EmitRate].m_bConstant = 0;
        entry->RepeatMode = 2;
        particle->ParticleKind = kind;
        particle->ChainMode = kind == 5 ? 1 : 0;
        particle->ParticleSpace = 1;
        particle->Width = particle->Height = particle->StripWidth = 1.0f;
        particle->SheetColumns = particle->AtlasRows = 1;
        for (int row : {CParticleParams::Red, CParticleParams::Green, CParticleParams::Blue, CParticleParams::Alpha,
                        CParticleParams::SizeX, CParticleParams::SizeY, CParticleParams::SizeZ})
            effectfixtures::SetConstant(particle->Tracks[row], 1.0f);
        particle->ExtraVelocityX = particle->ExtraVelocityY = velocity;
        particle->ExtraVelocityZ = velocity / 2.0f;
        particle->YawFromVelocity = particle->PitchFromVelocity = 1;
        CSParamTrack& speed = particle->Tracks[CParticleParams::SpeedOverLife];
        if (speedKeys.empty()) {
            particle->Flags = CParticleParams::kSpeedRowsOff;
        } else {
            speed.m_arrKeys.Free();
            for (float key : speedKeys) speed.m_arrKeys.Append(key);
            speed.m_bConstant = 0;
        }
    }
};

struct Case {
    const char* name;
    float velocity;  // extra velocity, units per second
    std::vector<float> speedKeys;
};

// The velocities that made the elevation's horizontal distance overflow (its
// MaxPlusHalfMin, or the negation of the smallest int32), positive and negative, at
// birth or through the speed row, and the largest finite float.
inline const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"extra velocity 6e10", 6e10f, {}},
        {"extra velocity -6e10", -6e10f, {}},
        {"extra velocity 1e30", 1e30f, {}},
        {"extra velocity -1e30", -1e30f, {}},
        {"extra velocity max", std::numeric_limits<float>::max(), {}},
        {"speed row 3, 3e10", 30.0f, {3.0f, 3e10f}},
        {"speed row 3, 3e10 backwards", -30.0f, {3.0f, 3e10f}},
    };
    return cases;
}

// A file name of the case's name: letters and digits, the rest as '_'.
inline std::string FileName(const Case& c, int32_t kind) {
    std::string name = c.name;
    for (char& ch : name)
        if (!((ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9'))) ch = '_';
    return name + "_kind" + std::to_string(kind) + ".prt";
}

}  // namespace craftedeffects
