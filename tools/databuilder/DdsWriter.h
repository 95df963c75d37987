#pragma once
// Writes DDS files: DXT1/3/5 through libsquish, or uncompressed 32-bit pixels,
// with or without a box-filtered mip chain. Header only: the data builder writes
// the sample textures with it and the tests make their fixtures with it.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/dxt/Dxt.h"

namespace ddswriter {

enum class Format { DXT1, DXT3, DXT5, A8R8G8B8, X8R8G8B8 };

// Byte offsets of header fields (from the start of the file).
constexpr size_t kOffsetHeaderSize = 4;
constexpr size_t kOffsetFlags = 8;
constexpr size_t kOffsetHeight = 12;
constexpr size_t kOffsetWidth = 16;
constexpr size_t kOffsetPitch = 20;
constexpr size_t kOffsetMipCount = 28;
constexpr size_t kOffsetPixelFormatSize = 76;
constexpr size_t kOffsetPixelFlags = 80;
constexpr size_t kOffsetFourCC = 84;
constexpr size_t kOffsetCaps = 108;
constexpr size_t kHeaderSize = 128;

inline void Put32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    if (bytes.size() < offset + 4) bytes.resize(offset + 4);
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

inline uint32_t FourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | (uint32_t(uint8_t(b)) << 8) | (uint32_t(uint8_t(c)) << 16) |
           (uint32_t(uint8_t(d)) << 24);
}

// The next level of red, green, blue, alpha pixels: the mean of each 2 x 2 box.
inline std::vector<uint8_t> HalveRgba(const std::vector<uint8_t>& rgba, int w, int h, int* outW, int* outH) {
    *outW = std::max(w / 2, 1);
    *outH = std::max(h / 2, 1);
    std::vector<uint8_t> out(size_t(*outW) * *outH * 4);
    for (int y = 0; y < *outH; ++y) {
        for (int x = 0; x < *outW; ++x) {
            int x0 = std::min(2 * x, w - 1), x1 = std::min(2 * x + 1, w - 1);
            int y0 = std::min(2 * y, h - 1), y1 = std::min(2 * y + 1, h - 1);
            for (int c = 0; c < 4; ++c) {
                int sum = rgba[(size_t(y0) * w + x0) * 4 + c] + rgba[(size_t(y0) * w + x1) * 4 + c] +
                          rgba[(size_t(y1) * w + x0) * 4 + c] + rgba[(size_t(y1) * w + x1) * 4 + c];
                out[(size_t(y) * *outW + x) * 4 + c] = uint8_t((sum + 2) / 4);
            }
        }
    }
    return out;
}

inline int SquishFlags(Format format) {
    // Range fit: fast enough to run on every build, good enough for flat art.
    int fit = squish::kColourRangeFit;
    switch (format) {
        case Format::DXT1: return squish::kDxt1 | fit;
        case Format::DXT3: return squish::kDxt3 | fit;
        default: return squish::kDxt5 | fit;
    }
}

// rgba: width x height pixels of red, green, blue, alpha bytes, top row first.
inline std::vector<uint8_t> Encode(const uint8_t* rgba, int width, int height, Format format, bool mipChain) {
    const bool compressed = format == Format::DXT1 || format == Format::DXT3 || format == Format::DXT5;
    int levels = 1;
    if (mipChain) {
        for (int side = std::max(width, height); side > 1; side >>= 1) ++levels;
    }
    std::vector<uint8_t> file(kHeaderSize, 0);
    file[0] = 'D', file[1] = 'D', file[2] = 'S', file[3] = ' ';
    Put32(file, kOffsetHeaderSize, 124);
    // caps, height, width, pixel format, and a pitch or a linear size
    uint32_t flags = 0x1 | 0x2 | 0x4 | 0x1000 | (compressed ? 0x80000 : 0x8);
    if (levels > 1) flags |= 0x20000;
    Put32(file, kOffsetFlags, flags);
    Put32(file, kOffsetHeight, uint32_t(height));
    Put32(file, kOffsetWidth, uint32_t(width));
    uint32_t pitch =
        compressed ? uint32_t(squish::GetStorageRequirements(width, height, SquishFlags(format))) : uint32_t(width) * 4;
    Put32(file, kOffsetPitch, pitch);
    Put32(file, kOffsetMipCount, levels > 1 ? uint32_t(levels) : 0);
    Put32(file, kOffsetPixelFormatSize, 32);
    if (compressed) {
        Put32(file, kOffsetPixelFlags, 0x4);
        Put32(file, kOffsetFourCC,
              format == Format::DXT1   ? FourCC('D', 'X', 'T', '1')
              : format == Format::DXT3 ? FourCC('D', 'X', 'T', '3')
                                       : FourCC('D', 'X', 'T', '5'));
    } else {
        bool alpha = format == Format::A8R8G8B8;
        Put32(file, kOffsetPixelFlags, 0x40 | (alpha ? 0x1 : 0));
        Put32(file, 88, 32);
        Put32(file, 92, 0x00ff0000);
        Put32(file, 96, 0x0000ff00);
        Put32(file, 100, 0x000000ff);
        Put32(file, 104, alpha ? 0xff000000u : 0);
    }
    // texture, plus complex and mipmap for a chain
    Put32(file, kOffsetCaps, 0x1000 | (levels > 1 ? 0x400008 : 0));

    std::vector<uint8_t> level(rgba, rgba + size_t(width) * height * 4);
    int w = width, h = height;
    for (int i = 0; i < levels; ++i) {
        if (i > 0) level = HalveRgba(level, w, h, &w, &h);
        if (compressed) {
            std::vector<uint8_t> blocks(size_t(squish::GetStorageRequirements(w, h, SquishFlags(format))));
            dxt::CompressImage(level.data(), w, h, blocks.data(), SquishFlags(format));
            file.insert(file.end(), blocks.begin(), blocks.end());
        } else {
            for (size_t p = 0; p < level.size(); p += 4) {
                const uint8_t bgra[4] = {level[p + 2], level[p + 1], level[p],
                                         format == Format::A8R8G8B8 ? level[p + 3] : uint8_t(255)};
                file.insert(file.end(), bgra, bgra + 4);
            }
        }
    }
    return file;
}

}  // namespace ddswriter
