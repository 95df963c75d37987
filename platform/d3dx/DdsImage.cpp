// DDS files: the 128-byte header ("DDS " and a 124-byte description), then the
// levels, largest first. DXT1/3/5 blocks are kept as they are; uncompressed
// pixels of 8 to 32 bits with RGB, luminance or alpha masks become 32-bit pixels.
#include <cstring>

#include "platform/d3dx/ImageDecoders.h"

namespace d3dx {

namespace {

constexpr size_t kHeaderEnd = 128;
constexpr uint32_t kFlagMipMapCount = 0x20000;
constexpr uint32_t kPixelAlphaPixels = 0x1;
constexpr uint32_t kPixelAlpha = 0x2;
constexpr uint32_t kPixelFourCC = 0x4;
constexpr uint32_t kPixelRgb = 0x40;
constexpr uint32_t kPixelLuminance = 0x20000;
constexpr uint32_t kCaps2CubeMap = 0x200;
constexpr uint32_t kCaps2Volume = 0x200000;

struct DdsHeader {
    UINT width = 0;
    UINT height = 0;
    UINT levels = 1;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    // Uncompressed layouts.
    uint32_t pixelFlags = 0;
    UINT bytesPerPixel = 0;
    PixelMasks masks;
};

HRESULT ParseDdsHeader(const uint8_t* data, size_t size, DdsHeader* header) {
    if (data == nullptr || size < kHeaderEnd || std::memcmp(data, "DDS ", 4) != 0) {
        return D3DXERR_INVALIDDATA;
    }
    if (ReadLE32(data + 4) != 124 || ReadLE32(data + 76) != 32) {
        return D3DXERR_INVALIDDATA;
    }
    header->height = ReadLE32(data + 12);
    header->width = ReadLE32(data + 16);
    if (header->width == 0 || header->height == 0 || header->width > kMaxImageSide || header->height > kMaxImageSide) {
        return D3DXERR_INVALIDDATA;
    }
    // A cube map or a volume is not a 2D texture.
    if ((ReadLE32(data + 112) & (kCaps2CubeMap | kCaps2Volume)) != 0) {
        return D3DXERR_INVALIDDATA;
    }
    uint32_t mipCount = ReadLE32(data + 28);
    if ((ReadLE32(data + 8) & kFlagMipMapCount) != 0 && mipCount > 1) {
        UINT chain = FullChainLevels(header->width, header->height);
        header->levels = mipCount < chain ? mipCount : chain;
    }

    uint32_t pixelFlags = ReadLE32(data + 80);
    header->pixelFlags = pixelFlags;
    if ((pixelFlags & kPixelFourCC) != 0) {
        switch (ReadLE32(data + 84)) {
            case D3DFMT_DXT1: header->format = D3DFMT_DXT1; return D3D_OK;
            case D3DFMT_DXT3: header->format = D3DFMT_DXT3; return D3D_OK;
            case D3DFMT_DXT5: header->format = D3DFMT_DXT5; return D3D_OK;
            default:  // DXT2, DXT4, "DX10" and the rest
                return D3DXERR_INVALIDDATA;
        }
    }
    if ((pixelFlags & (kPixelRgb | kPixelLuminance | kPixelAlpha)) == 0) {
        return D3DXERR_INVALIDDATA;
    }
    uint32_t bits = ReadLE32(data + 88);
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return D3DXERR_INVALIDDATA;
    }
    header->bytesPerPixel = bits / 8;
    uint32_t masks[4] = {ReadLE32(data + 92), ReadLE32(data + 96), ReadLE32(data + 100), ReadLE32(data + 104)};
    if ((pixelFlags & (kPixelAlphaPixels | kPixelAlpha)) == 0) {
        masks[3] = 0;
    }
    if ((pixelFlags & (kPixelRgb | kPixelLuminance)) == 0) {
        masks[0] = masks[1] = masks[2] = 0;
    } else if ((pixelFlags & kPixelRgb) == 0) {
        masks[1] = masks[2] = masks[0];  // luminance feeds all three
    }
    if ((masks[0] | masks[1] | masks[2] | masks[3]) == 0 || !header->masks.Set(masks, bits)) {
        return D3DXERR_INVALIDDATA;
    }
    header->format = header->masks.alpha.Present() ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    return D3D_OK;
}

// Bytes a level takes in the file.
size_t StoredLevelBytes(const DdsHeader& header, UINT width, UINT height) {
    if (IsCompressed(header.format)) {
        return LevelBytes(header.format, width, height);
    }
    return static_cast<size_t>(width) * header.bytesPerPixel * height;
}

void ConvertLevel(const DdsHeader& header, const uint8_t* source, UINT width, UINT height, uint8_t* out) {
    size_t count = static_cast<size_t>(width) * height;
    // A format without colour masks (alpha only) samples as black.
    const PixelMasks& masks = header.masks;
    uint8_t noColour = masks.red.Present() || masks.green.Present() || masks.blue.Present() ? 255 : 0;
    for (size_t i = 0; i < count; ++i) {
        uint32_t pixel = 0;
        for (UINT b = 0; b < header.bytesPerPixel; ++b) {
            pixel |= static_cast<uint32_t>(source[b]) << (8 * b);
        }
        source += header.bytesPerPixel;
        masks.Extract(pixel, noColour, out);
        out += 4;
    }
}

}  // namespace

HRESULT ReadDdsInfo(const uint8_t* data, size_t size, D3DXIMAGE_INFO* info) {
    DdsHeader header;
    HRESULT result = ParseDdsHeader(data, size, &header);
    if (FAILED(result)) {
        return result;
    }
    DescribeImage(header.width, header.height, header.levels, header.format, D3DXIFF_DDS, info);
    return D3D_OK;
}

HRESULT DecodeDds(const uint8_t* data, size_t size, size_t maxPixels, Image* image) {
    DdsHeader header;
    HRESULT result = ParseDdsHeader(data, size, &header);
    if (FAILED(result)) {
        return result;
    }
    if (!WithinBudget(header.width, header.height, maxPixels)) {
        return D3DXERR_INVALIDDATA;
    }
    image->fileFormat = D3DXIFF_DDS;
    image->width = header.width;
    image->height = header.height;
    image->format = header.format;
    image->levels.clear();
    size_t offset = kHeaderEnd;
    for (UINT level = 0; level < header.levels; ++level) {
        UINT width = header.width >> level ? header.width >> level : 1;
        UINT height = header.height >> level ? header.height >> level : 1;
        size_t stored = StoredLevelBytes(header, width, height);
        if (stored > size - offset) {
            image->levels.clear();
            return D3DXERR_INVALIDDATA;  // truncated
        }
        if (IsCompressed(header.format)) {
            image->levels.emplace_back(data + offset, data + offset + stored);
        } else {
            image->levels.emplace_back(LevelBytes(header.format, width, height));
            ConvertLevel(header, data + offset, width, height, image->levels.back().data());
        }
        offset += stored;
    }
    return D3D_OK;
}

}  // namespace d3dx
