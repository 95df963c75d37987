#pragma once
// The image readers behind the D3DX texture substitute. Every reader checks each
// length against the data it was given, so no input makes it read out of bounds.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/d3d9/common/Formats.h"
#include "platform/d3dx/D3DXTexture.h"

namespace d3dx {

// Largest side accepted (the device's own limit).
constexpr UINT kMaxImageSide = 8192;

// An image as decoded, before it becomes a texture.
struct Image {
    D3DXIMAGE_FILEFORMAT fileFormat = D3DXIFF_BMP;
    UINT width = 0;
    UINT height = 0;
    // D3DFMT_A8R8G8B8 or D3DFMT_X8R8G8B8: 4 bytes a pixel in memory order
    // (blue, green, red, alpha; alpha 255 for X8R8G8B8), rows top first, no padding.
    // D3DFMT_DXT1/3/5: the blocks as stored.
    D3DFORMAT format = D3DFMT_UNKNOWN;
    // Level 0 first; more than one only when a DDS file stores a mip chain.
    std::vector<std::vector<uint8_t>> levels;
};

bool IsCompressed(D3DFORMAT format);
// Bytes of one level of the given size in the format.
size_t LevelBytes(D3DFORMAT format, UINT width, UINT height);

// D3D_OK, or D3DXERR_INVALIDDATA. Every decoder takes a budget: the most pixels
// (width x height) the image may have. A larger one is refused from its header, before
// anything is allocated for it: a small compressed file can claim a huge image.
HRESULT ReadImageInfo(const uint8_t* data, size_t size, D3DXIMAGE_INFO* info);
HRESULT DecodeImage(const uint8_t* data, size_t size, size_t maxPixels, Image* image);

// Per file format: the header alone (info), or the whole image.
HRESULT ReadDdsInfo(const uint8_t* data, size_t size, D3DXIMAGE_INFO* info);
HRESULT DecodeDds(const uint8_t* data, size_t size, size_t maxPixels, Image* image);
HRESULT ReadPngInfo(const uint8_t* data, size_t size, D3DXIMAGE_INFO* info);
HRESULT DecodePng(const uint8_t* data, size_t size, size_t maxPixels, Image* image);
HRESULT ReadBmpInfo(const uint8_t* data, size_t size, D3DXIMAGE_INFO* info);
HRESULT DecodeBmp(const uint8_t* data, size_t size, size_t maxPixels, Image* image);

// The image's pixels fit the budget.
inline bool WithinBudget(UINT width, UINT height, size_t maxPixels) {
    return static_cast<uint64_t>(width) * height <= maxPixels;
}

// Levels of a full chain down to 1 x 1, as the device counts them.
using d3d9::FullChainLevels;

// What the readers report of an image: a 2D texture of one slice.
void DescribeImage(UINT width, UINT height, UINT levels, D3DFORMAT format, D3DXIMAGE_FILEFORMAT fileFormat,
                   D3DXIMAGE_INFO* info);

inline uint16_t ReadLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t ReadLE32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

// One colour channel given by a bit mask, widened to 8 bits.
class MaskChannel {
public:
    MaskChannel() = default;
    explicit MaskChannel(uint32_t mask);
    bool Present() const { return mask_ != 0; }
    // False for a mask whose bits are not one run.
    bool Contiguous() const;
    uint8_t Extract(uint32_t pixel, uint8_t absent) const;

private:
    uint32_t mask_ = 0;
    unsigned shift_ = 0;
    uint32_t max_ = 0;
};

// The channels of an uncompressed pixel layout given by bit masks.
struct PixelMasks {
    MaskChannel red, green, blue, alpha;

    // From the red, green, blue and alpha masks of pixels of the given bits;
    // false when a mask reaches past the pixel or its bits are not one run.
    bool Set(const uint32_t (&masks)[4], UINT bits);
    // The pixel as blue, green, red and alpha bytes: a colour without a mask
    // reads as absentColour, a missing alpha as 255.
    void Extract(uint32_t pixel, uint8_t absentColour, uint8_t* out) const {
        out[0] = blue.Extract(pixel, absentColour);
        out[1] = green.Extract(pixel, absentColour);
        out[2] = red.Extract(pixel, absentColour);
        out[3] = alpha.Extract(pixel, 255);
    }
};

}  // namespace d3dx
