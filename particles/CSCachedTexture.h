#pragma once
// An entry of the texture point cache: the pixels of one image selected for
// emitting particles from an image, each point y * 65536 + x, with their colours
// when the entry keeps them. Without a pixel source the lists stay empty and the
// size 0 x 0, but an entry exists for every requested key.
#include <cstddef>
#include <cstdint>

#include "particles/CSArray.h"
#include "particles/CSString.h"

class CSCachedTexture {
public:
    CSCachedTexture() = default;
    CSCachedTexture(const CSCachedTexture&) = delete;
    CSCachedTexture& operator=(const CSCachedTexture&) = delete;

    // As CSMaskImage::Release.
    int32_t Release();
    // The address of point `index` (x in the low 16 bits, y in the high 16 bits);
    // the caller keeps the index below the point count.
    uint32_t* PointAt(int32_t index) { return &m_arrPoints[static_cast<uint32_t>(index)]; }

    CSArray<uint32_t> m_arrPoints;
    CSArray<uint32_t> m_arrColours;  // A8R8G8B8, parallel to the points, or empty
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    CSString m_strKey;
    int32_t m_nRefCount = 1;
    int32_t m_nAge = 0;
};

// The entry of key "name:FS" (F and S the flags as 1 or 0) with its count raised;
// a request with the second flag 0 also takes an entry made with it set. Otherwise
// a new entry under the request's own key. Null only for a null name.
CSCachedTexture* GetCachedTexture(const char* name, bool firstFlag, bool secondFlag);
// One sweep of the cache; purgeAll deletes every unreferenced entry at once.
void PurgeTextureCache(bool purgeAll);
// Entries in the cache, referenced or not.
size_t GetTextureCacheSize();
