#include "platform/d3dx/ImageDecoders.h"

#include <cstring>

namespace d3dx {

namespace {

const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

enum class Kind { Dds, Png, Bmp, Unknown };

Kind Identify(const uint8_t* data, size_t size) {
    if (data == nullptr) {
        return Kind::Unknown;
    }
    if (size >= 4 && std::memcmp(data, "DDS ", 4) == 0) {
        return Kind::Dds;
    }
    if (size >= 8 && std::memcmp(data, kPngSignature, 8) == 0) {
        return Kind::Png;
    }
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
        return Kind::Bmp;
    }
    return Kind::Unknown;
}

}  // namespace

bool IsCompressed(D3DFORMAT format) { return format == D3DFMT_DXT1 || format == D3DFMT_DXT3 || format == D3DFMT_DXT5; }

size_t LevelBytes(D3DFORMAT format, UINT width, UINT height) {
    if (IsCompressed(format)) {
        size_t blockBytes = format == D3DFMT_DXT1 ? 8 : 16;
        return static_cast<size_t>((width + 3) / 4) * ((height + 3) / 4) * blockBytes;
    }
    return static_cast<size_t>(width) * height * 4;
}

MaskChannel::MaskChannel(uint32_t mask) : mask_(mask) {
    if (mask_ != 0) {
        while (((mask_ >> shift_) & 1u) == 0) {
            ++shift_;
        }
        max_ = mask_ >> shift_;
    }
}

bool MaskChannel::Contiguous() const { return ((max_ + 1) & max_) == 0; }

uint8_t MaskChannel::Extract(uint32_t pixel, uint8_t absent) const {
    if (mask_ == 0) {
        return absent;
    }
    uint64_t value = (pixel & mask_) >> shift_;
    return static_cast<uint8_t>((value * 255 + max_ / 2) / max_);
}

bool PixelMasks::Set(const uint32_t (&masks)[4], UINT bits) {
    const uint32_t usable = bits >= 32 ? 0xffffffffu : (1u << bits) - 1;
    for (uint32_t mask : masks) {
        if ((mask & ~usable) != 0 || !MaskChannel(mask).Contiguous()) {
            return false;
        }
    }
    red = MaskChannel(masks[0]);
    green = MaskChannel(masks[1]);
    blue = MaskChannel(masks[2]);
    alpha = MaskChannel(masks[3]);
    return true;
}

void DescribeImage(UINT width, UINT height, UINT levels, D3DFORMAT format, D3DXIMAGE_FILEFORMAT fileFormat,
                   D3DXIMAGE_INFO* info) {
    info->Width = width;
    info->Height = height;
    info->Depth = 1;
    info->MipLevels = levels;
    info->Format = format;
    info->ResourceType = D3DRTYPE_TEXTURE;
    info->ImageFileFormat = fileFormat;
}

HRESULT ReadImageInfo(const uint8_t* data, size_t size, D3DXIMAGE_INFO* info) {
    switch (Identify(data, size)) {
        case Kind::Dds: return ReadDdsInfo(data, size, info);
        case Kind::Png: return ReadPngInfo(data, size, info);
        case Kind::Bmp: return ReadBmpInfo(data, size, info);
        case Kind::Unknown: break;
    }
    return D3DXERR_INVALIDDATA;
}

HRESULT DecodeImage(const uint8_t* data, size_t size, size_t maxPixels, Image* image) {
    switch (Identify(data, size)) {
        case Kind::Dds: return DecodeDds(data, size, maxPixels, image);
        case Kind::Png: return DecodePng(data, size, maxPixels, image);
        case Kind::Bmp: return DecodeBmp(data, size, maxPixels, image);
        case Kind::Unknown: break;
    }
    return D3DXERR_INVALIDDATA;
}

}  // namespace d3dx
