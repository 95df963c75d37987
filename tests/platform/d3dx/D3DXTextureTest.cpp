// The D3DX texture substitute on the recording null device: sizes rounded up to
// powers of two with full mip chains, the pixels of each file format, and
// broken files refused without a texture.
#include "platform/d3dx/D3DXTexture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ImageFixtures.h"
#include "platform/d3dx/ImageDecoders.h"
#include "support/NullDeviceFixture.h"

namespace {

using namespace texturetest;

class D3DXTextureTest : public testsupport::NullDeviceTest {
protected:
    D3DXTextureTest() : NullDeviceTest(32, 32, 0) { params.EnableAutoDepthStencil = FALSE; }

    HRESULT Create(const std::vector<uint8_t>& bytes, IDirect3DTexture9** texture) {
        return D3DXCreateTextureFromFileInMemory(device, bytes.data(), UINT(bytes.size()), texture);
    }
    // The bytes of a level, row after row without the pitch's padding.
    std::vector<uint8_t> Level(IDirect3DTexture9* texture, UINT level, UINT rowBytes, UINT rows) {
        D3DLOCKED_RECT locked;
        EXPECT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
        std::vector<uint8_t> bytes;
        for (UINT r = 0; r < rows; ++r) {
            const uint8_t* row = static_cast<const uint8_t*>(locked.pBits) + size_t(r) * locked.Pitch;
            bytes.insert(bytes.end(), row, row + rowBytes);
        }
        texture->UnlockRect(level);
        return bytes;
    }
    size_t Resources() const { return d3d9::AsDeviceBase(device)->Resources().size(); }
};

// An uncompressed DDS of the given pixel layout; pixels as stored.
std::vector<uint8_t> RawDds(int width, int height, uint32_t pixelFlags, uint32_t bits, uint32_t r, uint32_t g,
                            uint32_t b, uint32_t a, const std::vector<uint8_t>& pixels) {
    std::vector<uint8_t> file =
        ddswriter::Encode(Solid(width, height, 0, 0, 0).data(), width, height, ddswriter::Format::A8R8G8B8, false);
    file.resize(ddswriter::kHeaderSize);
    ddswriter::Put32(file, ddswriter::kOffsetPixelFlags, pixelFlags);
    ddswriter::Put32(file, 88, bits);
    ddswriter::Put32(file, 92, r);
    ddswriter::Put32(file, 96, g);
    ddswriter::Put32(file, 100, b);
    ddswriter::Put32(file, 104, a);
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

// An 8-bit palette bitmap of 2 x 2 (indices given top row first).
std::vector<uint8_t> Bmp8(const uint8_t indices[4], const std::vector<uint8_t>& paletteBgr) {
    const size_t colours = paletteBgr.size() / 3;
    const size_t offset = 54 + colours * 4;
    std::vector<uint8_t> file = BmpFile(2, 2, 8, offset);
    PutLE32(file, 46, uint32_t(colours));
    for (size_t i = 0; i < colours; ++i) std::memcpy(&file[54 + i * 4], &paletteBgr[i * 3], 3);
    // bottom row first, each row padded to 4 bytes
    file[offset + 0] = indices[2], file[offset + 1] = indices[3];
    file[offset + 4] = indices[0], file[offset + 5] = indices[1];
    return file;
}

// A 16-bit bitmap of 2 x 2 with red, green and blue bit-field masks (pixels
// given top row first).
std::vector<uint8_t> Bmp16BitFields(uint32_t r, uint32_t g, uint32_t b, const uint16_t pixels[4]) {
    const size_t offset = 54 + 12;
    std::vector<uint8_t> file = BmpFile(2, 2, 16, offset);
    auto put16 = [&](size_t at, uint16_t v) { file[at] = uint8_t(v), file[at + 1] = uint8_t(v >> 8); };
    PutLE32(file, 30, 3);  // bit fields
    PutLE32(file, 54, r);
    PutLE32(file, 58, g);
    PutLE32(file, 62, b);
    // bottom row first; two 16-bit pixels fill a row's 4 bytes
    put16(offset + 0, pixels[2]), put16(offset + 2, pixels[3]);
    put16(offset + 4, pixels[0]), put16(offset + 6, pixels[1]);
    return file;
}

// Red, green / blue, white in 5-6-5 bits.
const uint16_t kRgb565[4] = {0xf800, 0x07e0, 0x001f, 0xffff};

TEST_F(D3DXTextureTest, RoundsSidesUpToPowersOfTwoWithAFullChain) {
    const struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        D3DFORMAT format;
        UINT width, height, levels;
        UINT imageWidth, imageHeight, imageLevels;
        D3DXIMAGE_FILEFORMAT fileFormat;
    } cases[] = {
        {"DXT1 8x8", Dds(8, 8), D3DFMT_DXT1, 8, 8, 4, 8, 8, 1, D3DXIFF_DDS},
        {"DXT5 16x16 with its chain", Dds(16, 16, ddswriter::Format::DXT5, true), D3DFMT_DXT5, 16, 16, 5, 16, 16, 5,
         D3DXIFF_DDS},
        {"DXT3 20x12", Dds(20, 12, ddswriter::Format::DXT3), D3DFMT_DXT3, 32, 16, 6, 20, 12, 1, D3DXIFF_DDS},
        {"A8R8G8B8 DDS 3x5", Dds(3, 5, ddswriter::Format::A8R8G8B8), D3DFMT_A8R8G8B8, 4, 8, 4, 3, 5, 1, D3DXIFF_DDS},
        {"X8R8G8B8 DDS 4x4", Dds(4, 4, ddswriter::Format::X8R8G8B8), D3DFMT_X8R8G8B8, 4, 4, 3, 4, 4, 1, D3DXIFF_DDS},
        {"PNG RGBA 5x3", Png(5, 3), D3DFMT_A8R8G8B8, 8, 4, 4, 5, 3, 1, D3DXIFF_PNG},
        {"PNG RGB 640x480", Png(640, 480, pngwriter::Layout::RGB), D3DFMT_X8R8G8B8, 1024, 512, 11, 640, 480, 1,
         D3DXIFF_PNG},
        {"PNG grey 2x2", Png(2, 2, pngwriter::Layout::Gray), D3DFMT_X8R8G8B8, 2, 2, 2, 2, 2, 1, D3DXIFF_PNG},
        {"PNG grey and alpha 1x1", Png(1, 1, pngwriter::Layout::GrayAlpha), D3DFMT_A8R8G8B8, 1, 1, 1, 1, 1, 1,
         D3DXIFF_PNG},
        {"BMP 24-bit 3x2", Bmp24(3, 2, Solid(3, 2, 1, 2, 3)), D3DFMT_X8R8G8B8, 4, 2, 3, 3, 2, 1, D3DXIFF_BMP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(Create(c.bytes, &texture), D3D_OK);
        ASSERT_NE(texture, nullptr);
        D3DSURFACE_DESC desc;
        ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
        EXPECT_EQ(desc.Format, c.format);
        EXPECT_EQ(desc.Width, c.width);
        EXPECT_EQ(desc.Height, c.height);
        EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
        EXPECT_EQ(texture->GetLevelCount(), c.levels);
        texture->Release();

        D3DXIMAGE_INFO info = {};
        ASSERT_EQ(D3DXGetImageInfoFromFileInMemory(c.bytes.data(), UINT(c.bytes.size()), &info), D3D_OK);
        EXPECT_EQ(info.Width, c.imageWidth);
        EXPECT_EQ(info.Height, c.imageHeight);
        EXPECT_EQ(info.MipLevels, c.imageLevels);
        EXPECT_EQ(info.ImageFileFormat, c.fileFormat);
        EXPECT_EQ(info.ResourceType, D3DRTYPE_TEXTURE);
    }
}

TEST_F(D3DXTextureTest, StoredDxtLevelsAreUsedAsTheyAre) {
    std::vector<uint8_t> file = Dds(16, 16, ddswriter::Format::DXT1, true);
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(Create(file, &texture), D3D_OK);
    size_t offset = ddswriter::kHeaderSize;
    for (UINT level = 0; level < 5; ++level) {
        UINT side = 16 >> level, blocks = (side + 3) / 4;
        std::vector<uint8_t> expected(file.begin() + offset, file.begin() + offset + blocks * blocks * 8);
        EXPECT_EQ(Level(texture, level, blocks * 8, blocks), expected) << "level " << level;
        offset += expected.size();
    }
    texture->Release();
}

TEST_F(D3DXTextureTest, PixelsOfEachFileFormatArriveTopRowFirst) {
    // red, green / blue, white-transparent
    const std::vector<uint8_t> rgba = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 0};
    const std::vector<uint8_t> bgra = {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 0};
    const std::vector<uint8_t> bgrx = {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255};
    const uint8_t indices[4] = {0, 1, 2, 3};
    const struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        std::vector<uint8_t> level0;
    } cases[] = {
        {"PNG", pngwriter::Encode(rgba.data(), 2, 2), bgra},
        {"BMP stored bottom row first", Bmp24(2, 2, rgba), bgrx},
        {"BMP with a palette", Bmp8(indices, {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255}), bgrx},
        {"BMP with 5-6-5 bit fields", Bmp16BitFields(0xf800, 0x07e0, 0x001f, kRgb565), bgrx},
        {"DDS A8R8G8B8", ddswriter::Encode(rgba.data(), 2, 2, ddswriter::Format::A8R8G8B8, false), bgra},
        {"DDS R5G6B5",
         RawDds(2, 2, 0x40, 16, 0xf800, 0x07e0, 0x001f, 0, {0x00, 0xf8, 0xe0, 0x07, 0x1f, 0x00, 0xff, 0xff}), bgrx},
        {"DDS luminance and alpha",
         RawDds(2, 2, 0x20000 | 0x1, 16, 0x00ff, 0, 0, 0xff00, {0, 255, 255, 255, 128, 255, 255, 0}),
         {0, 0, 0, 255, 255, 255, 255, 255, 128, 128, 128, 255, 255, 255, 255, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(Create(c.bytes, &texture), D3D_OK);
        EXPECT_EQ(Level(texture, 0, 8, 2), c.level0);
        texture->Release();
    }
}

TEST_F(D3DXTextureTest, MipLevelsAreBoxFilteredAndStretchingKeepsTheEdges) {
    // 2 x 2 to one texel: the mean of the four.
    const std::vector<uint8_t> square = {0, 0, 0, 255, 100, 0, 0, 255, 0, 200, 0, 255, 0, 0, 40, 255};
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(Create(pngwriter::Encode(square.data(), 2, 2), &texture), D3D_OK);
    EXPECT_EQ(Level(texture, 1, 4, 1), (std::vector<uint8_t>{10, 50, 25, 255}));
    texture->Release();

    // 3 x 1 stretched to 4 x 1: the end texels keep their colours, the inner mix.
    const std::vector<uint8_t> row = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255};
    ASSERT_EQ(Create(pngwriter::Encode(row.data(), 3, 1), &texture), D3D_OK);
    std::vector<uint8_t> stretched = Level(texture, 0, 16, 1);
    EXPECT_EQ(std::vector<uint8_t>(stretched.begin(), stretched.begin() + 4), (std::vector<uint8_t>{0, 0, 255, 255}));
    EXPECT_EQ(std::vector<uint8_t>(stretched.begin() + 12, stretched.end()), (std::vector<uint8_t>{255, 0, 0, 255}));
    EXPECT_GT(stretched[4 + 1], 0) << "texel 1 lies between red and green";
    EXPECT_GT(stretched[4 + 2], 0);
    texture->Release();
}

TEST_F(D3DXTextureTest, BrokenImagesAreRefusedWithoutATexture) {
    auto dds = [](std::vector<uint8_t> file, size_t offset, uint32_t value) {
        ddswriter::Put32(file, offset, value);
        return file;
    };
    auto cut = [](std::vector<uint8_t> file, size_t size) {
        file.resize(size);
        return file;
    };
    auto flip = [](std::vector<uint8_t> file, size_t at) {
        file[at] ^= 0x55;
        return file;
    };
    const std::vector<uint8_t> dxt = Dds(8, 8);
    const std::vector<uint8_t> chain = Dds(16, 16, ddswriter::Format::DXT1, true);
    const std::vector<uint8_t> png = Png(8, 8);
    const std::vector<uint8_t> bmp = Bmp24(4, 4, Solid(4, 4, 1, 2, 3));
    const struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"not an image", {'h', 'e', 'l', 'l', 'o'}},
        {"DDS header alone", cut(dxt, 128)},
        {"DDS short of its last block", cut(dxt, dxt.size() - 1)},
        {"DDS chain short of its last level", cut(chain, chain.size() - 8)},
        {"DDS header size 100", dds(dxt, ddswriter::kOffsetHeaderSize, 100)},
        {"DDS pixel format size 0", dds(dxt, ddswriter::kOffsetPixelFormatSize, 0)},
        {"DDS DXT2", dds(dxt, ddswriter::kOffsetFourCC, ddswriter::FourCC('D', 'X', 'T', '2'))},
        {"DDS DXT4", dds(dxt, ddswriter::kOffsetFourCC, ddswriter::FourCC('D', 'X', 'T', '4'))},
        {"DDS DX10", dds(dxt, ddswriter::kOffsetFourCC, ddswriter::FourCC('D', 'X', '1', '0'))},
        {"DDS width 0", dds(dxt, ddswriter::kOffsetWidth, 0)},
        {"DDS height 9000", dds(dxt, ddswriter::kOffsetHeight, 9000)},
        {"DDS cube map", dds(dxt, 112, 0x200 | 0xfc00)},
        {"DDS 12-bit pixels", RawDds(2, 2, 0x40, 12, 0xf00, 0x0f0, 0x00f, 0, std::vector<uint8_t>(16))},
        {"DDS split colour mask", RawDds(2, 2, 0x40, 32, 0x00ff00ff, 0xff00, 0, 0, std::vector<uint8_t>(16))},
        {"PNG cut in half", cut(png, png.size() / 2)},
        {"PNG with a bad CRC in its header", flip(png, 29)},
        {"PNG with a bad CRC in its image data", flip(png, IdatData(png) + 4)},
        {"PNG of width 0", PngWithSize(png, 0, 8)},
        {"PNG of 9000 x 8", PngWithSize(png, 9000, 8)},
        {"BMP short of its last row", cut(bmp, bmp.size() - 4)},
        {"BMP run-length compressed", dds(bmp, 30, 1)},
        {"BMP of width 0", dds(bmp, 18, 0)},
        {"BMP of width 100000", dds(bmp, 18, 100000)},
        {"BMP of the most negative height", dds(bmp, 22, 0x80000000u)},
        {"BMP bit field past its 16 bits", Bmp16BitFields(0x1f0000, 0x07e0, 0x001f, kRgb565)},
        {"BMP split bit field", Bmp16BitFields(0xf00f, 0x07e0, 0x0010, kRgb565)},
    };
    const size_t before = Resources();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(1);
        EXPECT_EQ(Create(c.bytes, &texture), D3DXERR_INVALIDDATA);
        EXPECT_EQ(texture, nullptr);
        EXPECT_EQ(Resources(), before);
    }
}

// The budget holds the texture's top level, its sides rounded up: a 5 x 5 image needs
// 64 pixels. Each format is refused over it and taken at it; the default budget
// refuses an image of 4097 x 4096 from its header alone.
TEST_F(D3DXTextureTest, AnImageWhoseTextureIsOverTheBudgetIsRefused) {
    const std::vector<uint8_t> images[] = {Dds(5, 5), Png(5, 5), Bmp24(5, 5, Solid(5, 5, 1, 2, 3))};
    const size_t before = Resources();
    for (const std::vector<uint8_t>& bytes : images) {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(d3dx::CreateTextureFromFileInMemory(device, bytes.data(), UINT(bytes.size()), 63, &texture),
                  D3DXERR_INVALIDDATA);
        EXPECT_EQ(texture, nullptr);
        EXPECT_EQ(Resources(), before);
        ASSERT_EQ(d3dx::CreateTextureFromFileInMemory(device, bytes.data(), UINT(bytes.size()), 64, &texture), D3D_OK);
        texture->Release();
    }
    IDirect3DTexture9* texture = nullptr;
    const std::vector<uint8_t> claim = PngWithSize(Png(8, 8), 4097, 4096);
    EXPECT_EQ(Create(claim, &texture), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture, nullptr);
    d3dx::Image image;
    EXPECT_EQ(d3dx::DecodeImage(claim.data(), claim.size(), 4097 * 4096 - 1, &image), D3DXERR_INVALIDDATA);
    EXPECT_TRUE(image.levels.empty());
}

TEST_F(D3DXTextureTest, MissingArgumentsAreInvalidCalls) {
    const std::vector<uint8_t> dxt = Dds(4, 4);
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(D3DXCreateTextureFromFileInMemory(nullptr, dxt.data(), UINT(dxt.size()), &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTextureFromFileInMemory(device, nullptr, 10, &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTextureFromFileInMemory(device, dxt.data(), 0, &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTextureFromFileInMemory(device, dxt.data(), UINT(dxt.size()), nullptr), D3DERR_INVALIDCALL);
    D3DXIMAGE_INFO info;
    EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(dxt.data(), UINT(dxt.size()), nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXGetImageInfoFromFileInMemory("hello", 5, &info), D3DXERR_INVALIDDATA);
}

}  // namespace
