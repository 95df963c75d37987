#pragma once
// What the substitute knows about each pixel format it stores: block layout,
// byte sizes, and whether it is a colour, depth or compressed format.
#include "platform/d3d9/d3d9.h"

namespace d3d9 {

struct FormatInfo {
    D3DFORMAT format;
    const char* name;
    UINT blockBytes;  // bytes per pixel, or per 4x4 block when compressed
    bool compressed;
    bool depth;
    bool stencil;
    bool renderable;  // may be a colour render target
};

// Null for a format the substitute cannot store.
const FormatInfo* FindFormat(D3DFORMAT format);

// Bytes from one row (of pixels, or of blocks) to the next.
UINT RowPitch(const FormatInfo& info, UINT width);
// Rows of pixels, or of blocks, in a level of the given height.
UINT RowCount(const FormatInfo& info, UINT height);

// libsquish's flag for a block-compressed format: DXT1, DXT3 or DXT5 (0, no
// flag, for any other format).
int SquishFlags(D3DFORMAT format);

// Size of mip level `level` of a side of `size` texels (never below 1).
UINT MipSize(UINT size, UINT level);
// Levels of a full chain down to 1 x 1.
UINT FullChainLevels(UINT width, UINT height);

}  // namespace d3d9
