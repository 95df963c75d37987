// PNG through libpng: every colour type and bit depth becomes 8-bit blue,
// green, red, alpha; palette transparency becomes alpha.
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <memory>

#include "platform/d3dx/ImageDecoders.h"

namespace d3dx {

namespace {

struct Source {
    const uint8_t* data;
    size_t size;
    size_t position;
};

// What the decoder fills; on the heap, so that a long jump out of libpng
// leaves nothing of it in registers.
struct Work {
    Source source;
    size_t maxPixels;
    std::vector<png_bytep> rows;
    bool alpha = false;
};

void ReadFromSource(png_structp png, png_bytep out, png_size_t count) {
    Source* source = static_cast<Source*>(png_get_io_ptr(png));
    if (count > source->size - source->position) {
        png_error(png, "unexpected end of the PNG data");
    }
    std::memcpy(out, source->data + source->position, count);
    source->position += count;
}

void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Runs between setjmp and the long jump: no object with a destructor lives here.
bool Decode(png_structp png, png_infop info, Work* work, Image* image) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_set_read_fn(png, &work->source, &ReadFromSource);
    png_read_info(png, info);

    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    if (!WithinBudget(width, height, work->maxPixels)) {
        png_error(png, "image over the pixel budget");
    }
    int colourType = png_get_color_type(png, info);
    work->alpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;

    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    if (!work->alpha) {
        png_set_filler(png, 0xff, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4) {
        png_error(png, "unexpected row size");
    }

    image->width = width;
    image->height = height;
    image->format = work->alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    image->levels.resize(1);
    image->levels[0].assign(static_cast<size_t>(width) * height * 4, 0);
    work->rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        work->rows[y] = image->levels[0].data() + static_cast<size_t>(y) * width * 4;
    }
    png_read_image(png, work->rows.data());
    png_read_end(png, nullptr);
    return true;
}

bool ReadHeader(const uint8_t* data, size_t size, png_uint_32* width, png_uint_32* height, int* colourType) {
    // Signature, then the IHDR chunk: length 13, type, width, height, depth, colour type.
    if (data == nullptr || size < 8 + 8 + 13 || png_sig_cmp(data, 0, 8) != 0) {
        return false;
    }
    const uint8_t* chunk = data + 8;
    uint32_t length = (uint32_t(chunk[0]) << 24) | (uint32_t(chunk[1]) << 16) | (uint32_t(chunk[2]) << 8) | chunk[3];
    if (length != 13 || std::memcmp(chunk + 4, "IHDR", 4) != 0) {
        return false;
    }
    const uint8_t* fields = chunk + 8;
    *width = (uint32_t(fields[0]) << 24) | (uint32_t(fields[1]) << 16) | (uint32_t(fields[2]) << 8) | fields[3];
    *height = (uint32_t(fields[4]) << 24) | (uint32_t(fields[5]) << 16) | (uint32_t(fields[6]) << 8) | fields[7];
    *colourType = fields[9];
    return *width != 0 && *height != 0 && *width <= kMaxImageSide && *height <= kMaxImageSide;
}

}  // namespace

HRESULT ReadPngInfo(const uint8_t* data, size_t size, D3DXIMAGE_INFO* info) {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int colourType = 0;
    if (!ReadHeader(data, size, &width, &height, &colourType)) {
        return D3DXERR_INVALIDDATA;
    }
    // Palette transparency is not seen in the header alone.
    const D3DFORMAT format = (colourType & PNG_COLOR_MASK_ALPHA) != 0 ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    DescribeImage(width, height, 1, format, D3DXIFF_PNG, info);
    return D3D_OK;
}

HRESULT DecodePng(const uint8_t* data, size_t size, size_t maxPixels, Image* image) {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int colourType = 0;
    if (!ReadHeader(data, size, &width, &height, &colourType) || !WithinBudget(width, height, maxPixels)) {
        return D3DXERR_INVALIDDATA;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, &OnError, &OnWarning);
    if (png == nullptr) {
        return E_OUTOFMEMORY;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return E_OUTOFMEMORY;
    }
    std::unique_ptr<Work> work(new Work{Source{data, size, 0}, maxPixels, {}, false});
    image->fileFormat = D3DXIFF_PNG;
    bool decoded = Decode(png, info, work.get(), image);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!decoded) {
        image->levels.clear();
        return D3DXERR_INVALIDDATA;
    }
    return D3D_OK;
}

}  // namespace d3dx
