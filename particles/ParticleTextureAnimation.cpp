#include "particles/ParticleTextureAnimation.h"

void ParticleHook(CEmiter& /*emitter*/, CParticle* /*particle*/) {}
