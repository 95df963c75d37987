#pragma once
// An entry of the mask-image cache: one bit per pixel of an image, rows one after
// the other, least significant bit first. Without a pixel source no mask is ever
// built, so every request gives null and effects run without masks.
#include <cstddef>
#include <cstdint>

#include "particles/CSArray.h"
#include "particles/CSString.h"

class CSMaskImage {
public:
    CSMaskImage() = default;
    CSMaskImage(const CSMaskImage&) = delete;
    CSMaskImage& operator=(const CSMaskImage&) = delete;

    // The new count; the idle age restarts at 0 when the count reaches 0. The
    // cache's sweeps delete the entry.
    int32_t Release();
    // False outside 0 <= x < width, 0 <= y < height; else bit y * width + x.
    bool TestBit(int32_t x, int32_t y) const;

    CSString m_strName;  // the cache key
    int32_t m_nRefCount = 1;
    int32_t m_nAge = 0;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    CSArray<uint8_t> m_arrBits;  // (width * height + 7) / 8 bytes
};

// The cached mask of that name with its count raised, or a newly built one; null
// when it cannot be built (then nothing is cached and the next request tries again).
CSMaskImage* GetMaskImage(const char* name);
// One sweep of the cache; purgeAll deletes every unreferenced entry at once.
void PurgeMaskImageCache(bool purgeAll);
// Entries in the cache, referenced or not.
size_t GetMaskImageCacheSize();
