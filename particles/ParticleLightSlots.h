#pragma once
// The slots emitted lights are placed in: 32 light entities, made the first
// time a slot is used and kept, refilled from slot 0 every frame. A light
// entity has no scene node: placing it records its matrix, and nothing turns
// it into engine lighting.
#include <cstdint>

class CParticlesEmiter;
class CSEntityLight;

constexpr int32_t kParticleLightSlots = 32;

// Places one light of the running emitter set with the light's 16-float
// matrix; the colour, range, flags and six light values are accepted and not
// used. Nothing for a null emitter set or once 32 lights are placed this frame.
void AddParticleLight(const CParticlesEmiter* emitters, const float matrix[16], float red, float green, float blue,
                      float range, uint32_t flags, const float values[6]);

// Lights placed this frame, which is also the next slot to fill.
int32_t GetParticleLightCount();
void ResetParticleLightCount();
// The entity of a slot, null while the slot has none.
CSEntityLight* GetParticleLightSlot(int32_t slot);

// Deletes the entity of every slot and empties it (the purge at view release).
void ReleaseParticleLights();
