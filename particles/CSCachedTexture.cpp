#include "particles/CSCachedTexture.h"

#include <string>

#include "particles/ParticleCache.h"
#include "particles/ParticleImagePixels.h"

namespace {

ParticleCache<CSCachedTexture>& CachedTextures() {
    static ParticleCache<CSCachedTexture> cache;
    return cache;
}

std::string Key(const char* name, bool firstFlag, bool secondFlag) {
    return std::string(name) + ':' + (firstFlag ? '1' : '0') + (secondFlag ? '1' : '0');
}

CSCachedTexture* Revive(CSCachedTexture* entry) {
    ++entry->m_nRefCount;
    return entry;
}

// Selecting points needs the image's pixels, and no pixel source exists here: the
// entry keeps its empty lists and its size of 0 x 0, and the build still succeeds.
void BuildPoints(CSCachedTexture& /*entry*/, const char* name) {
    int32_t width = 0, height = 0;
    bool hasAlpha = false;
    CSFreeImagePixels(CSLoadImagePixels(name, &width, &height, &hasAlpha));
}

}  // namespace

int32_t CSCachedTexture::Release() {
    if (m_nRefCount == 1) m_nAge = 0;
    return --m_nRefCount;
}

CSCachedTexture* GetCachedTexture(const char* name, bool firstFlag, bool secondFlag) {
    if (name == nullptr) return nullptr;
    const std::string key = Key(name, firstFlag, secondFlag);
    if (CSCachedTexture* found = CachedTextures().Find(key)) return Revive(found);
    if (!secondFlag) {
        if (CSCachedTexture* withColours = CachedTextures().Find(Key(name, firstFlag, true)))
            return Revive(withColours);
    }
    CSCachedTexture* entry = new CSCachedTexture();
    BuildPoints(*entry, name);
    entry->m_strKey = CSString(key.c_str());
    CachedTextures().Insert(key, entry);
    return entry;
}

void PurgeTextureCache(bool purgeAll) { CachedTextures().Sweep(purgeAll); }

size_t GetTextureCacheSize() { return CachedTextures().GetSize(); }
