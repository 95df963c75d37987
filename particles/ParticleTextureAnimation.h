#pragma once
// The texture frames of a particle.
class CEmiter;
class CParticle;

// Told of every particle whose animation starts and of every live particle when its
// instance is bound to another effect. Nothing listens in this game.
void ParticleHook(CEmiter& emitter, CParticle* particle);
