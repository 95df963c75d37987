#pragma once
// Writes 24-bit Windows bitmaps (no compression, rows bottom first, each padded to
// whole 32-bit words) into memory. Header only: the data builder writes the
// particle library's default texture with it and the tests make their fixtures with it.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace bmpwriter {

inline void Put32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = uint8_t(value >> (8 * i));
}

// Bytes of a row: whole 32-bit words.
inline size_t Stride(int width, int bits) { return (size_t(width) * bits + 31) / 32 * 4; }

// A bitmap of width x height at the given bits a pixel: the file header and the
// 40-byte information header, then zeros up to pixelOffset (room for a palette or
// masks) and zero pixels.
inline std::vector<uint8_t> Blank(int width, int height, int bits, size_t pixelOffset = 54) {
    std::vector<uint8_t> file(pixelOffset + Stride(width, bits) * size_t(height), 0);
    file[0] = 'B', file[1] = 'M';
    Put32(file, 2, uint32_t(file.size()));
    Put32(file, 10, uint32_t(pixelOffset));
    Put32(file, 14, 40);
    Put32(file, 18, uint32_t(width));
    Put32(file, 22, uint32_t(height));
    file[26] = 1;  // planes
    file[28] = uint8_t(bits);
    return file;
}

// rgba: width x height pixels of red, green, blue, alpha bytes, top row first; the
// alpha is not kept.
inline std::vector<uint8_t> Encode(const uint8_t* rgba, int width, int height) {
    const size_t stride = Stride(width, 24);
    const size_t pixels = 54;
    std::vector<uint8_t> file = Blank(width, height, 24, pixels);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &rgba[(size_t(y) * width + x) * 4];
            uint8_t* o = &file[pixels + size_t(height - 1 - y) * stride + size_t(x) * 3];
            o[0] = p[2], o[1] = p[1], o[2] = p[0];
        }
    return file;
}

}  // namespace bmpwriter
