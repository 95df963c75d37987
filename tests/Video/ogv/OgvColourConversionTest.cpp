// The converters of every output mode on small pictures whose expected bytes are worked
// out by hand from the look-up tables' rounding.
#include <gtest/gtest.h>

#include <vector>

#include "Video/ogv/OgvColourConversion.h"
#include "support/AllocationCounter.h"

namespace {

// A picture of w x h luma samples and w/2 x h/2 chroma samples, each plane with its own
// stride, so a converter that mixes strides up reads the wrong samples.
struct Picture {
    std::vector<uint8_t> y, cb, cr;
    th_ycbcr_buffer buffer;

    Picture(int w, int h, uint8_t luma, uint8_t blue, uint8_t red)
        : y(size_t(w + 5) * h, luma), cb(size_t(w / 2 + 3) * (h / 2), blue), cr(size_t(w / 2 + 7) * (h / 2), red) {
        buffer[0] = {w, h, w + 5, y.data()};
        buffer[1] = {w / 2, h / 2, w / 2 + 3, cb.data()};
        buffer[2] = {w / 2, h / 2, w / 2 + 7, cr.data()};
    }
    uint8_t& Y(int x, int row) { return y[size_t(row) * buffer[0].stride + x]; }
};

std::vector<uint8_t> Convert(int mode, Picture& picture, int stride) {
    std::vector<uint8_t> out(size_t(stride) * picture.buffer[0].height * GetOgvBytesPerPixel(mode), 0xFF);
    GetOgvConverter(mode)(picture.buffer, out.data(), stride);
    return out;
}

class OgvColourConversionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { BuildYuvTables(); }
};

TEST_F(OgvColourConversionTest, StudioRangeColoursInRgbOrder) {
    const struct {
        uint8_t y, cb, cr;
        uint8_t r, g, b;
    } cases[] = {
        {16, 128, 128, 0, 0, 0},  {235, 128, 128, 254, 254, 254}, {255, 128, 128, 255, 255, 255},
        {0, 128, 128, 0, 0, 0},   {126, 128, 128, 128, 128, 128}, {81, 90, 240, 254, 0, 0},
        {145, 54, 34, 0, 255, 0}, {41, 240, 110, 0, 0, 255},
    };
    for (const auto& c : cases) {
        Picture picture(2, 2, c.y, c.cb, c.cr);
        const std::vector<uint8_t> out = Convert(OgvOutputRGB, picture, 2);
        for (int pixel = 0; pixel < 4; ++pixel) {
            EXPECT_EQ(c.r, out[pixel * 3]) << int(c.y) << " " << int(c.cb) << " " << int(c.cr);
            EXPECT_EQ(c.g, out[pixel * 3 + 1]) << int(c.y) << " " << int(c.cb) << " " << int(c.cr);
            EXPECT_EQ(c.b, out[pixel * 3 + 2]) << int(c.y) << " " << int(c.cb) << " " << int(c.cr);
        }
    }
}

// Pure red (Y 81, Cb 90, Cr 240) in every layout: which bytes are written and which keep 0xFF.
TEST_F(OgvColourConversionTest, EveryLayoutWritesItsBytesOnly) {
    const int x = 0x1FF;  // a byte left alone
    const struct {
        int mode;
        std::vector<int> pixel;
    } cases[] = {
        {OgvOutputRGB, {254, 0, 0}},
        {OgvOutputRGBX, {254, 0, 0, x}},
        {OgvOutputXRGB, {x, 254, 0, 0}},
        {OgvOutputBGR, {0, 0, 254}},
        {OgvOutputBGRX, {0, 0, 254, x}},
        {OgvOutputXBGR, {x, 0, 0, 254}},
        {OgvOutputGrey, {81}},
        {OgvOutputGrey3, {81, 81, 81}},
        {OgvOutputGrey3X, {81, 81, 81, x}},
        {OgvOutputXGrey3, {x, 81, 81, 81}},
        {OgvOutputYUV, {81, 90, 240}},
        {OgvOutputYUVX, {81, 90, 240, x}},
        {OgvOutputXYUV, {x, 81, 90, 240}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(int(c.pixel.size()), GetOgvBytesPerPixel(c.mode)) << c.mode;
        Picture picture(4, 2, 81, 90, 240);
        const std::vector<uint8_t> out = Convert(c.mode, picture, 4);
        for (size_t i = 0; i < out.size(); ++i) {
            const int expected = c.pixel[i % c.pixel.size()];
            EXPECT_EQ(expected == x ? 0xFF : expected, out[i]) << "mode " << c.mode << " byte " << i;
        }
    }
    EXPECT_EQ(nullptr, GetOgvConverter(0));
    EXPECT_EQ(nullptr, GetOgvConverter(14));
    EXPECT_EQ(0, GetOgvBytesPerPixel(-1));
}

// Each chroma pair serves its 2 x 2 block, in both row pairs and column pairs.
TEST_F(OgvColourConversionTest, ChromaIsSharedByEachTwoByTwoBlock) {
    Picture picture(4, 4, 126, 128, 128);
    picture.cb[1] = 54, picture.cr[1] = 34;                                                 // top right block: green
    picture.cr[picture.buffer[2].stride] = 240, picture.cb[picture.buffer[1].stride] = 90;  // bottom left: red
    picture.Y(2, 0) = picture.Y(3, 0) = picture.Y(2, 1) = picture.Y(3, 1) = 145;
    picture.Y(0, 2) = picture.Y(1, 2) = picture.Y(0, 3) = picture.Y(1, 3) = 81;
    const std::vector<uint8_t> rgb = Convert(OgvOutputRGB, picture, 4);
    auto at = [&](int px, int row) {
        const uint8_t* p = &rgb[(size_t(row) * 4 + px) * 3];
        return std::vector<int>{p[0], p[1], p[2]};
    };
    for (int row = 0; row < 4; ++row) {
        for (int px = 0; px < 4; ++px) {
            std::vector<int> expected{128, 128, 128};
            if (row < 2 && px >= 2) expected = {0, 255, 0};
            if (row >= 2 && px < 2) expected = {254, 0, 0};
            EXPECT_EQ(expected, at(px, row)) << px << "," << row;
        }
    }
    // The pass-through repeats the shared pair as it is.
    const std::vector<uint8_t> yuv = Convert(OgvOutputYUV, picture, 4);
    for (int i : {2, 3, 6, 7}) {  // the top right block
        EXPECT_EQ(145, yuv[i * 3]);
        EXPECT_EQ(54, yuv[i * 3 + 1]);
        EXPECT_EQ(34, yuv[i * 3 + 2]);
    }
}

// Rows of a wider stride start stride pixels apart; the rest of each row stays 0xFF.
TEST_F(OgvColourConversionTest, WideStrideLeavesRowEndsAlone) {
    for (int mode : {OgvOutputRGB, OgvOutputXBGR, OgvOutputGrey, OgvOutputGrey3, OgvOutputYUVX}) {
        Picture picture(6, 4, 235, 128, 128);
        const int bpp = GetOgvBytesPerPixel(mode);
        const std::vector<uint8_t> out = Convert(mode, picture, 16);
        for (int row = 0; row < 4; ++row) {
            for (int px = 0; px < 16; ++px) {
                const uint8_t* p = &out[(size_t(row) * 16 + px) * bpp];
                const bool inside = px < 6;
                int written = 0;
                for (int b = 0; b < bpp; ++b) written += p[b] != 0xFF ? 1 : 0;
                if (inside) {
                    EXPECT_GT(written, 0) << "mode " << mode << " " << px << "," << row;
                } else {
                    EXPECT_EQ(0, written) << "mode " << mode << " " << px << "," << row;
                }
            }
        }
    }
}

TEST_F(OgvColourConversionTest, ConvertingAFrameAllocatesNothing) {
    Picture picture(640, 480, 120, 100, 150);
    std::vector<uint8_t> out(640 * 480 * 4, 0xFF);
    for (int mode = kOgvFirstOutputMode; mode <= kOgvLastOutputMode; ++mode) {
        const OgvConverter converter = GetOgvConverter(mode);
        const long before = testsupport::Allocations();
        converter(picture.buffer, out.data(), 640);
        EXPECT_EQ(before, testsupport::Allocations()) << "mode " << mode;
    }
}

}  // namespace
