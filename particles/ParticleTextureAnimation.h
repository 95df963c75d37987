#pragma once
// The texture frames of a particle: the cells of an atlas between two frame numbers, or
// the textures of a list, either timed (frames per second, wrapping or bouncing between
// the ends) or spread over the particle's life. Timed speeds are thousandths of a frame
// per step, so the per-step path is integer arithmetic.
#include <cstdint>

class CEmiter;
class CParticle;

// Sets the frame, count, speed and accumulator of a particle at its birth; draws from
// the emitter's second stream where a start frame is random (and once for an object
// particle). Nothing without a particle or a particle block.
void StartTextureAnimation(CEmiter& emitter, CParticle* particle);
// Moves the frame by one step. Nothing without a particle, a particle block or frames.
void AdvanceTextureAnimation(CEmiter& emitter, CParticle* particle);

// The timed speed of `fps` frames per second, in thousandths of a frame per step.
int16_t TimedAnimationSpeed(float fps);

// Told of every particle whose animation starts and of every live particle when its
// instance is bound to another effect. Nothing listens in this game.
void ParticleHook(CEmiter& emitter, CParticle* particle);
