#pragma once
// Building blocks of the sample effects: effects made of the particle library's own
// blocks with every row the running effect reads set (a row left empty reads 0, which
// would give particles of no size, no life or no colour), and a conservative measure
// of what a design reaches: the box every particle stays in, the step by which a
// one-shot has ended and the most particles one instance holds.
//
// The measure covers what the designs use: emitters turned about z only, spheres with
// unscaled offsets, child emitters placed by rectangles and points, and no motion that
// drifts from one play to the next. Measure refuses anything else.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "particles/CParticlesMesh.h"

namespace particledesign {

// Rows of a block: a constant, keys, or frames + 1 keys of f(i / frames).
void Constant(CSParamTrack& track, float value);
void Keys(CSParamTrack& track, std::initializer_list<float> keys);
void Curve(CSParamTrack& track, int32_t frames, const std::function<float(float)>& f);

// A row pair set to constants: its base row and variation row, with the pair's
// no-variation flag set when the variation is 0.
void Pair(CEmiterParams& block, int32_t baseRow, float base, float variation = 0.0f);
void Pair(CParticleParams& block, int32_t baseRow, float base, float variation = 0.0f);
// The no-variation flag of the pair of baseRow, cleared for a keyed variation row.
void Vary(CEmiterParams& block, int32_t baseRow);
void Vary(CParticleParams& block, int32_t baseRow);

class Effect {
public:
    explicit Effect(const char* name);

    // An emitter block running `seconds` a play from a point: emits nothing until its
    // rate is set; speed, size and life scales 1; every pair without variation.
    CEmiterParams& Emitter(const char* name, float seconds);
    // A particle block of the render kind living `seconds`: the whole first texture,
    // size 1, white and opaque, no motion of its own, speed over life 1.
    CParticleParams& Particles(const char* name, float seconds, int32_t kind);
    // An entry started with the effect; both of its names are `name`.
    CParticleEmiterParams& Entry(const char* name, int32_t emiter, int32_t particle);
    // An entry that only child spawning starts (trigger flag 2).
    CParticleEmiterParams& Child(const char* name, int32_t emiter, int32_t particle);
    // An entry whose emitter spawns a batch of the named children per unit of its rate.
    CParticleEmiterParams& Spawner(const char* name, int32_t emiter, std::initializer_list<const char*> children);

    int32_t LastEmitter() const { return static_cast<int32_t>(m_Mesh.m_arrEmiterParams.size()) - 1; }
    int32_t LastParticles() const { return static_cast<int32_t>(m_Mesh.m_arrParticleParams.size()) - 1; }
    CParticlesMesh& Mesh() { return m_Mesh; }

private:
    CParticlesMesh m_Mesh;
};

// An axis-aligned box in the effect's frame.
struct Reach {
    float lo[3] = {0.0f, 0.0f, 0.0f};
    float hi[3] = {0.0f, 0.0f, 0.0f};
};

struct Figures {
    Reach box;  // every particle, with its drawn size
    bool looping = false;
    int32_t endSteps = 0;  // one-shots: the effect's steps have all run by then
    int32_t peak = 0;      // most live particles at once
};

// The design's figures; false with the reason when the design leaves what the measure
// covers.
bool Measure(const CParticlesMesh& effect, Figures& figures, std::string& why);

}  // namespace particledesign
