#include "Graphics/DdsDecoder.h"

#include <cstdlib>
#include <cstring>

#include "IO/File.h"
#include "platform/dxt/Dxt.h"

namespace Graphics {

namespace {

constexpr uint32_t kHeaderEnd = 128;
constexpr uint32_t kCapsTexture = 0x1000;
constexpr uint32_t kPixelFourCC = 0x4;
// Larger sides are refused before anything is allocated for them.
constexpr uint32_t kMaxSide = 8192;

uint32_t Read32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

uint32_t FourCC(const char* code) { return Read32(reinterpret_cast<const uint8_t*>(code)); }

bool Decode(const uint8_t* file, uint32_t size, uint32_t maxPixels, uint8_t*& pixels, uint32_t& width, uint32_t& height,
            uint32_t& pitchOrLinearSize) {
    if (std::memcmp(file, "DDS ", 4) != 0 || Read32(file + 4) != 124 || Read32(file + 76) != 32) {
        return false;
    }
    if (Read32(file + 108) != kCapsTexture) {
        return false;  // a mip chain, a complex surface
    }
    uint32_t pixelFlags = Read32(file + 80);
    uint32_t fourCC = Read32(file + 84);
    if ((pixelFlags & kPixelFourCC) == 0) {
        return false;
    }
    int flags = 0;
    if (fourCC == FourCC("DXT1")) {
        flags = squish::kDxt1;
    } else if (fourCC == FourCC("DXT3")) {
        flags = squish::kDxt3;
    } else if (fourCC == FourCC("DXT5")) {
        flags = squish::kDxt5;
    } else {
        return false;  // "DX10", DXT2, DXT4 and every other format
    }
    uint32_t h = Read32(file + 12);
    uint32_t w = Read32(file + 16);
    if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide || static_cast<uint64_t>(w) * h > maxPixels) {
        return false;
    }
    // The blocks the size needs must all be in the file.
    size_t blocks =
        static_cast<size_t>(squish::GetStorageRequirements(static_cast<int>(w), static_cast<int>(h), flags));
    if (blocks > size - kHeaderEnd) {
        return false;
    }
    uint8_t* out = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(w) * h * 4));
    if (out == nullptr) {
        return false;
    }
    dxt::DecompressImage(out, static_cast<int>(w), static_cast<int>(h), file + kHeaderEnd, flags);
    pixels = out;
    width = w;
    height = h;
    pitchOrLinearSize = Read32(file + 20);
    return true;
}

}  // namespace

bool DecodeDdsFile(const std::string& name, uint32_t maxPixels, uint8_t*& pixels, uint32_t& width, uint32_t& height,
                   uint32_t& pitchOrLinearSize) {
    if (name.empty()) {
        return false;
    }
    uint8_t* file = nullptr;
    uint32_t size = 0;
    uint32_t count = IO::ReadWholeFile(name, file, size);
    if (count < kHeaderEnd) {
        std::free(file);
        return false;
    }
    bool decoded = Decode(file, count, maxPixels, pixels, width, height, pitchOrLinearSize);
    std::free(file);
    return decoded;
}

bool LoadDdsPixels(const std::string& name, uint32_t maxPixels, uint8_t*& pixels, uint32_t& width, uint32_t& height,
                   int /*extra*/) {
    uint32_t pitchOrLinearSize = 0;
    return DecodeDdsFile(name, maxPixels, pixels, width, height, pitchOrLinearSize);
}

}  // namespace Graphics
