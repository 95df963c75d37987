// Windows bitmaps: the 14-byte file header, an information header of 12 bytes
// (OS/2) or 40 bytes and more, an optional palette, then the rows (bottom row
// first unless the height is negative), each padded to 4 bytes. Uncompressed
// 1, 4, 8, 16, 24 and 32 bits, and bit-field masks for 16 and 32 bits;
// run-length compression is not read.
#include <cstring>

#include "platform/d3dx/ImageDecoders.h"

namespace d3dx {

namespace {

constexpr size_t kFileHeader = 14;
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionBitFields = 3;

struct Header {
    UINT width = 0;
    UINT height = 0;
    bool topDown = false;
    UINT bits = 0;
    uint32_t compression = kCompressionNone;
    size_t pixelOffset = 0;
    size_t paletteOffset = 0;
    UINT paletteEntrySize = 4;
    UINT paletteCount = 0;
    PixelMasks masks;
    D3DFORMAT format = D3DFMT_X8R8G8B8;
};

HRESULT ParseHeader(const uint8_t* data, size_t size, Header* header) {
    if (data == nullptr || size < kFileHeader + 12 || data[0] != 'B' || data[1] != 'M') {
        return D3DXERR_INVALIDDATA;
    }
    header->pixelOffset = ReadLE32(data + 10);
    uint32_t infoSize = ReadLE32(data + kFileHeader);
    if (infoSize > size - kFileHeader) {
        return D3DXERR_INVALIDDATA;
    }
    const uint8_t* info = data + kFileHeader;
    int64_t width = 0;
    int64_t height = 0;
    uint32_t planes = 0;
    if (infoSize == 12) {
        width = ReadLE16(info + 4);
        height = ReadLE16(info + 6);
        planes = ReadLE16(info + 8);
        header->bits = ReadLE16(info + 10);
        header->paletteEntrySize = 3;
    } else if (infoSize >= 40) {
        width = static_cast<int32_t>(ReadLE32(info + 4));
        height = static_cast<int32_t>(ReadLE32(info + 8));
        planes = ReadLE16(info + 12);
        header->bits = ReadLE16(info + 14);
        header->compression = ReadLE32(info + 16);
        header->paletteCount = ReadLE32(info + 32);
    } else {
        return D3DXERR_INVALIDDATA;
    }
    header->topDown = height < 0;
    if (height < 0) {
        height = -height;
    }
    if (planes != 1 || width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) {
        return D3DXERR_INVALIDDATA;
    }
    header->width = static_cast<UINT>(width);
    header->height = static_cast<UINT>(height);
    header->paletteOffset = kFileHeader + infoSize;

    UINT bits = header->bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return D3DXERR_INVALIDDATA;
    }
    if (header->compression == kCompressionBitFields) {
        if (bits != 16 && bits != 32) {
            return D3DXERR_INVALIDDATA;
        }
        // The masks follow a 40-byte header and are part of a longer one.
        size_t masksEnd = kFileHeader + 40 + (infoSize >= 56 ? 16 : 12);
        if (masksEnd > size) {
            return D3DXERR_INVALIDDATA;
        }
        const uint32_t masks[4] = {ReadLE32(info + 40), ReadLE32(info + 44), ReadLE32(info + 48),
                                   infoSize >= 56 ? ReadLE32(info + 52) : 0};
        if (!header->masks.Set(masks, bits)) {
            return D3DXERR_INVALIDDATA;
        }
        if (infoSize == 40) {
            header->paletteOffset += 12;
        }
    } else if (header->compression != kCompressionNone) {
        return D3DXERR_INVALIDDATA;
    } else if (bits == 16) {
        header->masks.red = MaskChannel(0x7c00);
        header->masks.green = MaskChannel(0x03e0);
        header->masks.blue = MaskChannel(0x001f);
    } else if (bits == 32) {
        header->masks.red = MaskChannel(0x00ff0000);
        header->masks.green = MaskChannel(0x0000ff00);
        header->masks.blue = MaskChannel(0x000000ff);
    }
    if (bits <= 8) {
        UINT most = 1u << bits;
        if (header->paletteCount == 0 || header->paletteCount > most) {
            header->paletteCount = most;
        }
        size_t paletteBytes = static_cast<size_t>(header->paletteCount) * header->paletteEntrySize;
        if (header->paletteOffset > size || paletteBytes > size - header->paletteOffset) {
            return D3DXERR_INVALIDDATA;
        }
    }
    header->format = header->masks.alpha.Present() ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    return D3D_OK;
}

size_t RowStride(const Header& header) { return ((static_cast<size_t>(header.width) * header.bits + 31) / 32) * 4; }

void ConvertRow(const Header& header, const uint8_t* data, const uint8_t* row, uint8_t* out) {
    const uint8_t* palette = data + header.paletteOffset;
    for (UINT x = 0; x < header.width; ++x, out += 4) {
        if (header.bits <= 8) {
            UINT perByte = 8 / header.bits;
            UINT shift = 8 - header.bits * (x % perByte + 1);
            UINT index = (row[x / perByte] >> shift) & ((1u << header.bits) - 1);
            if (index < header.paletteCount) {
                const uint8_t* entry = palette + static_cast<size_t>(index) * header.paletteEntrySize;
                std::memcpy(out, entry, 3);  // blue, green, red
            } else {
                std::memset(out, 0, 3);
            }
            out[3] = 255;
            continue;
        }
        if (header.bits == 24) {
            std::memcpy(out, row + static_cast<size_t>(x) * 3, 3);
            out[3] = 255;
            continue;
        }
        uint32_t pixel =
            header.bits == 16 ? ReadLE16(row + static_cast<size_t>(x) * 2) : ReadLE32(row + static_cast<size_t>(x) * 4);
        header.masks.Extract(pixel, 0, out);
    }
}

}  // namespace

HRESULT ReadBmpInfo(const uint8_t* data, size_t size, D3DXIMAGE_INFO* info) {
    Header header;
    HRESULT result = ParseHeader(data, size, &header);
    if (FAILED(result)) {
        return result;
    }
    DescribeImage(header.width, header.height, 1, header.format, D3DXIFF_BMP, info);
    return D3D_OK;
}

HRESULT DecodeBmp(const uint8_t* data, size_t size, size_t maxPixels, Image* image) {
    Header header;
    HRESULT result = ParseHeader(data, size, &header);
    if (FAILED(result)) {
        return result;
    }
    if (!WithinBudget(header.width, header.height, maxPixels)) {
        return D3DXERR_INVALIDDATA;
    }
    size_t stride = RowStride(header);
    if (header.pixelOffset > size || stride * header.height > size - header.pixelOffset) {
        return D3DXERR_INVALIDDATA;  // truncated
    }
    image->fileFormat = D3DXIFF_BMP;
    image->width = header.width;
    image->height = header.height;
    image->format = header.format;
    image->levels.assign(1, std::vector<uint8_t>(LevelBytes(header.format, header.width, header.height)));
    uint8_t* out = image->levels[0].data();
    for (UINT y = 0; y < header.height; ++y) {
        UINT storedRow = header.topDown ? y : header.height - 1 - y;
        const uint8_t* row = data + header.pixelOffset + stride * storedRow;
        ConvertRow(header, data, row, out + static_cast<size_t>(y) * header.width * 4);
    }
    return D3D_OK;
}

}  // namespace d3dx
