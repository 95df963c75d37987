// The software PNG and DDS decoders: the file's own pixel format bottom row
// first (PNG), RGBA from single-level DXT files (DDS), and every refusal
// without reading past the data, an image over the pixel budget among them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "../platform/d3dx/ImageFixtures.h"
#include "Graphics/DdsDecoder.h"
#include "Graphics/PngDecoder.h"

namespace {

using namespace texturetest;

const uint32_t kBudget = 1024 * 1024;

class ImageDecoderTest : public ::testing::Test {
protected:
    void SetUp() override { folder = MakeScratchFolder(); }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        WriteFile(folder + name, bytes);
        return folder + name;
    }
    std::string folder;
};

TEST_F(ImageDecoderTest, PngRowsLandBottomUpInTheFilesFormat) {
    // A 2 x 2 RGB image: top row red, green; bottom row blue, white.
    const std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
    const std::vector<uint8_t> png = pngwriter::Encode(rgba.data(), 2, 2, pngwriter::Layout::RGB);
    uint32_t width = 0, height = 0;
    int depth = 0, colourType = -1;
    uint8_t* pixels =
        Graphics::DecodePng(png.data(), uint32_t(png.size()), kBudget, &width, &height, &depth, &colourType);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(width, 2u);
    EXPECT_EQ(height, 2u);
    EXPECT_EQ(depth, 8);
    EXPECT_EQ(colourType, PNG_COLOR_TYPE_RGB);
    const std::vector<uint8_t> expected = {0, 0, 255, 255, 255, 255, 255, 0, 0, 0, 255, 0};
    EXPECT_EQ(std::vector<uint8_t>(pixels, pixels + 12), expected);
    std::free(pixels);
}

TEST_F(ImageDecoderTest, BrokenPngGivesNull) {
    const std::vector<uint8_t> png = Png(8, 8);
    std::vector<uint8_t> notPng = png;
    notPng[1] = 'Q';
    std::vector<uint8_t> badCrc = png;
    badCrc[IdatData(png) + 1] ^= 0x10;
    const struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        uint32_t budget;
    } cases[] = {
        {"signature", notPng, kBudget},
        {"7 bytes", std::vector<uint8_t>(png.begin(), png.begin() + 7), kBudget},
        {"cut in the header", std::vector<uint8_t>(png.begin(), png.begin() + 20), kBudget},
        {"cut in the image data", std::vector<uint8_t>(png.begin(), png.begin() + long(IdatData(png)) + 6), kBudget},
        {"bad CRC", badCrc, kBudget},
        {"zero-sized", PngWithSize(png, 0, 8), kBudget},
        {"one pixel over the budget", png, 8 * 8 - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint32_t width = 0, height = 0;
        int depth = 0, colourType = 0;
        EXPECT_EQ(Graphics::DecodePng(c.bytes.data(), uint32_t(c.bytes.size()), c.budget, &width, &height, &depth,
                                      &colourType),
                  nullptr);
    }
}

TEST_F(ImageDecoderTest, TheMemorySourceNeverReadsPastItsBuffer) {
    const uint8_t data[5] = {1, 2, 3, 4, 5};
    Graphics::PngMemorySource source(data, 5, false);
    uint8_t out[8] = {};
    EXPECT_EQ(source.Read(out, 3), 3u);
    EXPECT_EQ(source.Read(out, 8), 2u);
    EXPECT_EQ(out[0], 4);
    EXPECT_EQ(out[1], 5);
    EXPECT_EQ(source.Read(out, 1), 0u);
}

TEST_F(ImageDecoderTest, ADxt1FileOf8By8DecodesTo256Bytes) {
    const std::string path = Write("eight.dds", Dds(8, 8));
    uint8_t* pixels = nullptr;
    uint32_t width = 0, height = 0, pitch = 0;
    ASSERT_TRUE(Graphics::DecodeDdsFile(path, kBudget, pixels, width, height, pitch));
    EXPECT_EQ(width, 8u);
    EXPECT_EQ(height, 8u);
    EXPECT_EQ(pitch, 32u) << "the header's linear size";
    // Dds() paints (200, 100, 50): DXT1 keeps it to within its 5-6-5 steps.
    EXPECT_NEAR(pixels[0], 200, 8);
    EXPECT_NEAR(pixels[1], 100, 4);
    EXPECT_NEAR(pixels[2], 50, 8);
    EXPECT_EQ(pixels[255], 255);
    std::free(pixels);

    pixels = nullptr;
    ASSERT_TRUE(Graphics::LoadDdsPixels(path, kBudget, pixels, width, height, 0));
    std::free(pixels);
}

TEST_F(ImageDecoderTest, DdsFilesOutsideTheSingleLevelDxtKindAreRefused) {
    auto edit = [](std::vector<uint8_t> file, size_t offset, uint32_t value) {
        ddswriter::Put32(file, offset, value);
        return file;
    };
    const std::vector<uint8_t> dxt = Dds(8, 8);
    const struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        uint32_t budget;
    } cases[] = {
        {"a mip chain", Dds(8, 8, ddswriter::Format::DXT1, true), kBudget},
        {"DX10", edit(dxt, ddswriter::kOffsetFourCC, ddswriter::FourCC('D', 'X', '1', '0')), kBudget},
        {"DXT2", edit(dxt, ddswriter::kOffsetFourCC, ddswriter::FourCC('D', 'X', 'T', '2')), kBudget},
        {"DXT4", edit(dxt, ddswriter::kOffsetFourCC, ddswriter::FourCC('D', 'X', 'T', '4')), kBudget},
        {"uncompressed", Dds(8, 8, ddswriter::Format::A8R8G8B8), kBudget},
        {"header size", edit(dxt, ddswriter::kOffsetHeaderSize, 128), kBudget},
        {"short of its blocks", std::vector<uint8_t>(dxt.begin(), dxt.end() - 1), kBudget},
        {"the header alone", std::vector<uint8_t>(dxt.begin(), dxt.begin() + 128), kBudget},
        {"shorter than a header", std::vector<uint8_t>(dxt.begin(), dxt.begin() + 100), kBudget},
        {"claiming 8192 x 8192", edit(edit(dxt, ddswriter::kOffsetWidth, 8192), ddswriter::kOffsetHeight, 8192),
         0xffffffffu},
        {"width 0", edit(dxt, ddswriter::kOffsetWidth, 0), kBudget},
        {"one pixel over the budget", dxt, 8 * 8 - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t* pixels = nullptr;
        uint32_t width = 0, height = 0, pitch = 0;
        EXPECT_FALSE(Graphics::DecodeDdsFile(Write("case.dds", c.bytes), c.budget, pixels, width, height, pitch));
        EXPECT_EQ(pixels, nullptr);
    }
    uint8_t* pixels = nullptr;
    uint32_t width = 0, height = 0, pitch = 0;
    EXPECT_FALSE(Graphics::DecodeDdsFile("", kBudget, pixels, width, height, pitch));
    EXPECT_FALSE(Graphics::DecodeDdsFile(folder + "missing.dds", kBudget, pixels, width, height, pitch));
}

}  // namespace
