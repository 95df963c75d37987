#include "particles/CSMaskImage.h"

#include "particles/ParticleCache.h"
#include "particles/ParticleImagePixels.h"

namespace {

ParticleCache<CSMaskImage>& MaskImages() {
    static ParticleCache<CSMaskImage> cache;
    return cache;
}

// A mask needs the image's pixels, and no pixel source exists here: the build
// fails with its bits emptied.
bool BuildMask(CSMaskImage& mask, const char* name) {
    int32_t width = 0, height = 0;
    bool hasAlpha = false;
    uint32_t* pixels = CSLoadImagePixels(name, &width, &height, &hasAlpha);
    CSFreeImagePixels(pixels);
    mask.m_arrBits.Free();
    return false;
}

}  // namespace

int32_t CSMaskImage::Release() {
    if (m_nRefCount == 1) m_nAge = 0;
    return --m_nRefCount;
}

bool CSMaskImage::TestBit(int32_t x, int32_t y) const {
    if (x < 0 || x >= m_nWidth || y < 0 || y >= m_nHeight) return false;
    const uint32_t bit = static_cast<uint32_t>(y) * static_cast<uint32_t>(m_nWidth) + static_cast<uint32_t>(x);
    if (bit / 8 >= m_arrBits.GetCount()) return false;
    return (m_arrBits[bit / 8] >> (bit % 8) & 1) != 0;
}

CSMaskImage* GetMaskImage(const char* name) {
    if (name == nullptr) return nullptr;
    if (CSMaskImage* found = MaskImages().Find(name)) {
        ++found->m_nRefCount;
        return found;
    }
    CSMaskImage* mask = new CSMaskImage();
    if (!BuildMask(*mask, name)) {
        delete mask;
        return nullptr;
    }
    mask->m_strName = CSString(name);
    MaskImages().Insert(name, mask);
    return mask;
}

void PurgeMaskImageCache(bool purgeAll) { MaskImages().Sweep(purgeAll); }

size_t GetMaskImageCacheSize() { return MaskImages().GetSize(); }
