#pragma once
// Traces of the running effect for dunmarch-prtdump and the golden tests: the text
// depends on nothing but the effect, because each trace starts the library's global
// random stream afresh.
#include <string>

class CParticlesMesh;

// Reads an effect file as the game's effect cache does, without textures and models:
// the blocks, then the mask entry taken out (the display scale is 1). False with `error` set when it does not read.
bool ReadEffectForTrace(const std::string& path, CParticlesMesh& effect, std::string& error);

// The set-up of an instance of `effect` (no host), after the global stream's reset:
// the instance seed and flags, then per emitter its entry, blocks, flags, seeds,
// random words, start, lengths, repeats, phase and box faces. `label` names the effect.
std::string SetupTrace(const std::string& label, CParticlesMesh& effect);

// Steps an instance of `effect` (no host) after the global stream's reset, to its end
// or for `steps` steps: per step the emitter count, the particle count and a digest of
// every particle's age, life, frame, position and angles (positions and angles to
// 1/1024), then how the run ended.
std::string RunTrace(const std::string& label, CParticlesMesh& effect, int steps);

// How a run ended: the step at which Step first answered false (0: it still ran), and
// the particles alive after the last step.
struct RunEnd {
    int endStep = 0;
    int particles = 0;
};
RunEnd RunEffect(CParticlesMesh& effect, int steps, std::string* trace);
