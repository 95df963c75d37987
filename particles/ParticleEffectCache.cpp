#include "particles/ParticleEffectCache.h"

#include <string>

#include "particles/CSCachedTexture.h"
#include "particles/CSMaskImage.h"
#include "particles/ParticleLightSlots.h"

namespace {

// Effects hold entries of the image caches and release them when deleted, also when
// this cache deletes what is left at exit: the image caches are made first, so they
// are destroyed after it.
struct EffectCache {
    EffectCache() {
        GetTextureCacheSize();
        GetMaskImageCacheSize();
    }
    ParticleCache<CParticlesMesh> effects;
};

}  // namespace

ParticleCache<CParticlesMesh>& ParticleEffectCache() {
    static EffectCache cache;
    return cache.effects;
}

CParticlesMesh* LoadParticleEffect(const char* fileName) {
    const std::string name = fileName != nullptr ? fileName : "";
    if (CParticlesMesh* found = ParticleEffectCache().Find(name)) {
        found->AddRef();  // the idle age stays as the sweeps left it
        return found;
    }
    CParticlesMesh* effect = new CParticlesMesh();
    effect->m_strFileName = CSString(name.c_str());
    ParticleEffectCache().Insert(name, effect);
    effect->Load(name.c_str(), true);
    return effect;
}

void SweepParticleCaches() {
    ParticleEffectCache().Sweep(false);
    PurgeTextureCache(false);
    PurgeMaskImageCache(false);
}

void PurgeParticleCaches() {
    ParticleEffectCache().Sweep(true);
    PurgeTextureCache(true);
    PurgeMaskImageCache(true);
    ReleaseParticleLights();
}
