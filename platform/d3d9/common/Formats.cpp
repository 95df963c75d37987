#include "platform/d3d9/common/Formats.h"

#include <squish.h>

namespace d3d9 {

namespace {
const FormatInfo kFormats[] = {
    {D3DFMT_A8R8G8B8, "A8R8G8B8", 4, false, false, false, true},
    {D3DFMT_X8R8G8B8, "X8R8G8B8", 4, false, false, false, true},
    {D3DFMT_A2R10G10B10, "A2R10G10B10", 4, false, false, false, true},
    {D3DFMT_A2B10G10R10, "A2B10G10R10", 4, false, false, false, true},
    {D3DFMT_R16F, "R16F", 2, false, false, false, true},
    {D3DFMT_R32F, "R32F", 4, false, false, false, true},
    {D3DFMT_DXT1, "DXT1", 8, true, false, false, false},
    {D3DFMT_DXT3, "DXT3", 16, true, false, false, false},
    {D3DFMT_DXT5, "DXT5", 16, true, false, false, false},
    {D3DFMT_D16, "D16", 2, false, true, false, false},
    {D3DFMT_D24X8, "D24X8", 4, false, true, false, false},
    {D3DFMT_D24S8, "D24S8", 4, false, true, true, false},
};
}  // namespace

const FormatInfo* FindFormat(D3DFORMAT format) {
    for (const FormatInfo& info : kFormats) {
        if (info.format == format) {
            return &info;
        }
    }
    return nullptr;
}

UINT RowPitch(const FormatInfo& info, UINT width) {
    if (info.compressed) {
        return ((width + 3) / 4) * info.blockBytes;
    }
    return width * info.blockBytes;
}

UINT RowCount(const FormatInfo& info, UINT height) { return info.compressed ? (height + 3) / 4 : height; }

UINT MipSize(UINT size, UINT level) {
    UINT result = level >= 32 ? 0 : size >> level;
    return result == 0 ? 1 : result;
}

UINT FullChainLevels(UINT width, UINT height) {
    UINT largest = width > height ? width : height;
    UINT levels = 1;
    while (largest > 1) {
        largest >>= 1;
        ++levels;
    }
    return levels;
}

int SquishFlags(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_DXT1: return squish::kDxt1;
        case D3DFMT_DXT3: return squish::kDxt3;
        case D3DFMT_DXT5: return squish::kDxt5;
        default: return 0;
    }
}

}  // namespace d3d9
