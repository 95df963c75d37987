#pragma once
// A software decoder of single-level DXT1/3/5 DDS files into RGBA pixels.
#include <cstdint>
#include <string>

namespace Graphics {

// Reads the file `name` whole. On success `pixels` is a malloc'd buffer of
// width x height x 4 bytes (red, green, blue, alpha; the caller frees it) and
// `pitchOrLinearSize` the header's field of that name. Only files whose
// capabilities are exactly DDSCAPS_TEXTURE (no mip chain) are read, and only
// images of at most maxPixels pixels: a larger one is refused from its header.
bool DecodeDdsFile(const std::string& name, uint32_t maxPixels, uint8_t*& pixels, uint32_t& width, uint32_t& height,
                   uint32_t& pitchOrLinearSize);
// DecodeDdsFile without the last output; `extra` is not used.
bool LoadDdsPixels(const std::string& name, uint32_t maxPixels, uint8_t*& pixels, uint32_t& width, uint32_t& height,
                   int extra);

}  // namespace Graphics
