#pragma once
// A PNG file read back as pixels, for tests that look at pictures a program
// wrote. Header only, through libpng's simplified reader.
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct PngPixels {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // red, green, blue, top row first

    const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
    // The pixels of the rectangle [x0, x1) x [y0, y1) (within the picture) that are not black.
    int LitIn(int x0, int y0, int x1, int y1) const {
        int lit = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const uint8_t* p = At(x, y);
                if (p[0] > 8 || p[1] > 8 || p[2] > 8) ++lit;
            }
        return lit;
    }
};

// Empty (width 0) when the file cannot be read as a PNG.
inline PngPixels ReadPngFile(const std::string& path) {
    PngPixels pixels;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return pixels;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return pixels;
    }
    pixels.width = int(image.width);
    pixels.height = int(image.height);
    pixels.rgb.swap(rgb);
    return pixels;
}

}  // namespace testsupport
