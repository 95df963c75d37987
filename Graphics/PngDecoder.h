#pragma once
// PNG decoding over libpng into the file's own pixel format, bottom row first.
#include <png.h>

#include <cstdint>

namespace IO {
class File;
}

namespace Graphics {

// A buffer libpng reads from.
class PngMemorySource {
public:
    // When owned, the data is freed (free) with the source.
    PngMemorySource(const uint8_t* data, uint32_t size, bool owned);
    ~PngMemorySource();
    PngMemorySource(const PngMemorySource&) = delete;
    PngMemorySource& operator=(const PngMemorySource&) = delete;

    // Copies at most what remains and advances; the bytes copied.
    uint32_t Read(uint8_t* out, uint32_t count);
    uint32_t Position() const { return position_; }
    uint32_t Size() const { return size_; }

private:
    const uint8_t* data_;
    uint32_t size_;
    uint32_t position_ = 0;
    bool owned_;
};

// libpng read functions; a short read is a libpng error.
void PngReadFromMemory(png_structp png, png_bytep out, png_size_t count);
void PngReadFromFile(png_structp png, png_bytep out, png_size_t count);
void SetPngMemorySource(png_structp png, PngMemorySource* source);
void SetPngFileSource(png_structp png, IO::File* file);
void ClearPngSource(png_structp png);

// A malloc'd pixel buffer (row bytes x height, bottom row first, the file's
// own format), or null. The caller frees it. An image of more than maxPixels
// pixels is refused from its header, before anything is allocated for it.
uint8_t* DecodePng(const uint8_t* data, uint32_t size, uint32_t maxPixels, uint32_t* width, uint32_t* height,
                   int* bitDepth, int* colourType);

}  // namespace Graphics
