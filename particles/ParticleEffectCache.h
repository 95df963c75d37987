#pragma once
// The process-wide cache of loaded effects, keyed by the file name exactly as asked
// (letter case included). Effects are loaded the first time an instance asks for them
// and shared; an effect nobody references stays for later requests until a
// once-a-frame sweep has found it unreferenced 512 times, or until the purge at view
// release.
#include "particles/CParticlesMesh.h"
#include "particles/ParticleCache.h"

ParticleCache<CParticlesMesh>& ParticleEffectCache();

// The cached effect of that name with one more reference, or a new one loaded from the
// file (count 1). Never null: a file that cannot be opened or read gives an effect
// without blocks, cached like any other.
CParticlesMesh* LoadParticleEffect(const char* fileName);

// One ageing sweep of the effects, then of the texture point lists and the mask images.
void SweepParticleCaches();
// Deletes every unreferenced effect, texture point list and mask image, then frees
// the light slots.
void PurgeParticleCaches();
