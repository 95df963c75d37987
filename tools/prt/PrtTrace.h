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
