#pragma once
// Writes PNG files through libpng into memory: 8-bit RGBA, RGB, grey or grey
// with alpha, no time stamp, so the same pixels give the same bytes. Header
// only: the data builder writes the interface images with it and the tests
// make their fixtures with it.
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <vector>

namespace pngwriter {

enum class Layout { RGBA, RGB, Gray, GrayAlpha };

namespace detail {
inline void Append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
inline void Flush(png_structp) {}

// Between setjmp and a long jump nothing with a destructor is created here.
inline bool Write(png_structp png, png_infop info, std::vector<uint8_t>* out, std::vector<png_bytep>* rows, int width,
                  int height, int colourType) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, out, &Append, &Flush);
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows->data());
    png_write_end(png, info);
    return true;
}
}  // namespace detail

// rgba: width x height pixels of red, green, blue, alpha bytes, top row first;
// the layout keeps the channels it names. Empty on failure.
inline std::vector<uint8_t> Encode(const uint8_t* rgba, int width, int height, Layout layout = Layout::RGBA) {
    int channels = layout == Layout::RGBA ? 4 : layout == Layout::RGB ? 3 : layout == Layout::Gray ? 1 : 2;
    int colourType = layout == Layout::RGBA   ? PNG_COLOR_TYPE_RGBA
                     : layout == Layout::RGB  ? PNG_COLOR_TYPE_RGB
                     : layout == Layout::Gray ? PNG_COLOR_TYPE_GRAY
                                              : PNG_COLOR_TYPE_GRAY_ALPHA;
    std::vector<uint8_t> pixels(size_t(width) * height * channels);
    for (size_t i = 0, n = size_t(width) * height; i < n; ++i) {
        const uint8_t* in = rgba + i * 4;
        uint8_t* o = &pixels[i * channels];
        switch (layout) {
            case Layout::RGBA: o[0] = in[0], o[1] = in[1], o[2] = in[2], o[3] = in[3]; break;
            case Layout::RGB: o[0] = in[0], o[1] = in[1], o[2] = in[2]; break;
            case Layout::Gray: o[0] = in[0]; break;
            case Layout::GrayAlpha: o[0] = in[0], o[1] = in[3]; break;
        }
    }
    std::vector<png_bytep> rows(height);
    for (int y = 0; y < height; ++y) rows[y] = &pixels[size_t(y) * width * channels];

    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return out;
    png_infop info = png_create_info_struct(png);
    bool written = info != nullptr && detail::Write(png, info, &out, &rows, width, height, colourType);
    png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
    if (!written) out.clear();
    return out;
}

}  // namespace pngwriter
