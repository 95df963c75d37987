#pragma once
// Image files made in code for the texture tests: DDS, PNG and 24-bit bitmaps
// through the data builder's writers, other bitmaps by hand, and the edits that
// break them.
#include <stdlib.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/databuilder/BmpWriter.h"
#include "tools/databuilder/DdsWriter.h"
#include "tools/databuilder/PngWriter.h"

namespace texturetest {

// width x height pixels of one colour (red, green, blue, alpha).
inline std::vector<uint8_t> Solid(int width, int height, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    std::vector<uint8_t> px;
    for (int i = 0; i < width * height; ++i) px.insert(px.end(), {r, g, b, a});
    return px;
}

inline std::vector<uint8_t> Dds(int width, int height, ddswriter::Format format = ddswriter::Format::DXT1,
                                bool mipChain = false) {
    std::vector<uint8_t> px = Solid(width, height, 200, 100, 50);
    return ddswriter::Encode(px.data(), width, height, format, mipChain);
}

inline std::vector<uint8_t> Png(int width, int height, pngwriter::Layout layout = pngwriter::Layout::RGBA) {
    std::vector<uint8_t> px = Solid(width, height, 10, 200, 30, 128);
    return pngwriter::Encode(px.data(), width, height, layout);
}

inline void PutLE32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(value >> (8 * i));
}

// A bitmap of width x height at the given bits a pixel, zero pixels, bottom row first.
inline std::vector<uint8_t> BmpFile(int width, int height, int bits, size_t pixelOffset = 54) {
    return bmpwriter::Blank(width, height, bits, pixelOffset);
}

// A 32-bit bitmap; pixel(x, y) gives A8R8G8B8.
template <class Pixel>
std::vector<uint8_t> Bmp32(int width, int height, Pixel pixel) {
    std::vector<uint8_t> file = BmpFile(width, height, 32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) PutLE32(file, 54 + (size_t(height - 1 - y) * width + x) * 4, pixel(x, y));
    return file;
}

// A 24-bit bitmap, rows stored bottom first; rgba top row first.
inline std::vector<uint8_t> Bmp24(int width, int height, const std::vector<uint8_t>& rgba) {
    return bmpwriter::Encode(rgba.data(), width, height);
}

// The PNG's IHDR width and height replaced, with a CRC that matches.
inline std::vector<uint8_t> PngWithSize(std::vector<uint8_t> png, uint32_t width, uint32_t height) {
    for (int i = 0; i < 4; ++i) {
        png[16 + i] = uint8_t(width >> (24 - 8 * i));
        png[20 + i] = uint8_t(height >> (24 - 8 * i));
    }
    uLong crc = crc32(0, png.data() + 12, 17);
    for (int i = 0; i < 4; ++i) png[29 + i] = uint8_t(crc >> (24 - 8 * i));
    return png;
}

// Offset of the first byte of the first IDAT chunk's data.
inline size_t IdatData(const std::vector<uint8_t>& png) {
    for (size_t i = 8; i + 8 <= png.size(); ++i)
        if (png[i] == 'I' && png[i + 1] == 'D' && png[i + 2] == 'A' && png[i + 3] == 'T') return i + 4;
    return 0;
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::string MakeScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dm-textures-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const char* made = mkdtemp(name.data());
    return made != nullptr ? std::string(made) + "/" : std::string();
}

}  // namespace texturetest
