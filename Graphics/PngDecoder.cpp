#include "Graphics/PngDecoder.h"

#include <csetjmp>
#include <cstdlib>
#include <cstring>

#include "IO/File.h"

namespace Graphics {

namespace {

// Images beyond this side are refused before anything is allocated for them.
constexpr png_uint_32 kMaxPngSide = 8192;

// What a decode allocates; on the heap, so a long jump out of libpng leaves
// nothing of it in registers.
struct Work {
    uint8_t* pixels = nullptr;
    png_bytep* rows = nullptr;
};

// Between setjmp and a long jump no object with a destructor lives here.
bool Read(png_structp png, png_infop info, uint32_t maxPixels, Work* work, uint32_t* width, uint32_t* height,
          int* bitDepth, int* colourType) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    png_uint_32 w = 0;
    png_uint_32 h = 0;
    int depth = 0;
    int colour = 0;
    int interlace = 0;
    int compression = 0;
    int filter = 0;
    png_get_IHDR(png, info, &w, &h, &depth, &colour, &interlace, &compression, &filter);
    if (static_cast<uint64_t>(w) * h > maxPixels) {
        png_error(png, "image over the pixel budget");
    }
    png_read_update_info(png, info);
    size_t rowBytes = png_get_rowbytes(png, info);

    work->pixels = static_cast<uint8_t*>(std::malloc(rowBytes * h));
    work->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * h));
    if (work->pixels == nullptr || work->rows == nullptr) {
        png_error(png, "out of memory");
    }
    for (png_uint_32 i = 0; i < h; ++i) {
        work->rows[i] = work->pixels + rowBytes * (h - 1 - i);
    }
    png_read_image(png, work->rows);
    *width = w;
    *height = h;
    *bitDepth = depth;
    *colourType = colour;
    return true;
}

}  // namespace

PngMemorySource::PngMemorySource(const uint8_t* data, uint32_t size, bool owned)
    : data_(data), size_(data != nullptr ? size : 0), owned_(owned) {}

PngMemorySource::~PngMemorySource() {
    if (owned_) {
        std::free(const_cast<uint8_t*>(data_));
    }
}

uint32_t PngMemorySource::Read(uint8_t* out, uint32_t count) {
    uint32_t left = size_ - position_;
    uint32_t n = count < left ? count : left;
    if (n > 0) {
        std::memcpy(out, data_ + position_, n);
        position_ += n;
    }
    return n;
}

void PngReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    PngMemorySource* source = static_cast<PngMemorySource*>(png_get_io_ptr(png));
    if (source == nullptr || count > source->Size() - source->Position() ||
        source->Read(out, static_cast<uint32_t>(count)) != count) {
        png_error(png, "read past the end of the PNG data");
    }
}

void PngReadFromFile(png_structp png, png_bytep out, png_size_t count) {
    IO::File* file = static_cast<IO::File*>(png_get_io_ptr(png));
    if (file == nullptr || file->Read(out, count) != count) {
        png_error(png, "read past the end of the PNG file");
    }
}

void SetPngMemorySource(png_structp png, PngMemorySource* source) { png_set_read_fn(png, source, &PngReadFromMemory); }

void SetPngFileSource(png_structp png, IO::File* file) { png_set_read_fn(png, file, &PngReadFromFile); }

void ClearPngSource(png_structp png) { png_set_read_fn(png, nullptr, nullptr); }

uint8_t* DecodePng(const uint8_t* data, uint32_t size, uint32_t maxPixels, uint32_t* width, uint32_t* height,
                   int* bitDepth, int* colourType) {
    PngMemorySource source(data, size, false);
    uint8_t signature[8];
    if (source.Read(signature, 8) < 8 || png_sig_cmp(signature, 0, 8) != 0) {
        return nullptr;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return nullptr;
    }
    SetPngMemorySource(png, &source);
    png_infop info = png_create_info_struct(png);
    png_infop endInfo = info != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || endInfo == nullptr) {
        png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
        return nullptr;
    }
    Work* work = new Work;
    bool decoded = Read(png, info, maxPixels, work, width, height, bitDepth, colourType);
    png_destroy_read_struct(&png, &info, &endInfo);
    uint8_t* pixels = work->pixels;
    std::free(work->rows);
    delete work;
    if (!decoded) {
        std::free(pixels);
        return nullptr;
    }
    return pixels;
}

}  // namespace Graphics
