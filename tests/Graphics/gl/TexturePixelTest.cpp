// A DDS and a PNG loaded as textures and drawn through the Direct3D
// substitute's OpenGL backend: the pixels read back show each image the right
// way up with its colours.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../TextureTestSupport.h"
#include "Graphics/Texture2D.h"
#include "support/GLDeviceFixture.h"

namespace {

constexpr int kTextureWidth = 64;
constexpr int kTextureHeight = 64;

struct Vertex {
    float x, y, z, w;
    float u, v;
};

// Four quadrants: red top left, green top right, blue bottom left, white bottom right.
std::vector<uint8_t> Quadrants(int side) {
    std::vector<uint8_t> px;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            bool right = x >= side / 2, bottom = y >= side / 2;
            uint8_t r = (!right && !bottom) || (right && bottom) ? 255 : 0;
            uint8_t g = (right && !bottom) || (right && bottom) ? 255 : 0;
            uint8_t b = bottom ? 255 : 0;
            px.insert(px.end(), {r, g, b, 255});
        }
    return px;
}

class TexturePixelTest : public testsupport::GLDeviceTest {
protected:
    TexturePixelTest() : GLDeviceTest({"textures", kTextureWidth, kTextureHeight, 1, D3DCREATE_MULTITHREADED}) {}

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GLDeviceTest::SetUp());
        graphics = new Graphics::GraphicsDevice(d3d, device);
        Service<Graphics::GraphicsDevice>::Register(graphics);

        std::string errors;
        ASSERT_EQ(d3d9::CreateProgram(device, testsupport::kTexturedQuadVertexShader,
                                      testsupport::kTexturedQuadFragmentShader, &program, &errors),
                  D3D_OK)
            << errors;
        int unit = 0;
        ASSERT_EQ(program->SetInts("tex", &unit, 1), D3D_OK);
        const float untinted[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        ASSERT_EQ(program->SetFloats("tint", untinted, 4), D3D_OK);
        const D3DVERTEXELEMENT9 elements[] = {
            {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
            {0, 16, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
            D3DDECL_END(),
        };
        ASSERT_EQ(device->CreateVertexDeclaration(elements, &declaration), D3D_OK);
    }

    void TearDown() override {
        if (Service<Graphics::GraphicsDevice>::Exists()) Service<Graphics::GraphicsDevice>::Unregister();
        delete graphics;
        if (declaration != nullptr) declaration->Release();
        if (program != nullptr) program->Release();
        GLDeviceTest::TearDown();
    }

    // Draws the texture over the whole back buffer and reads it back.
    void DrawFullScreen(IDirect3DTexture9* texture) {
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        ASSERT_EQ(d3d9::SetProgram(device, program), D3D_OK);
        ASSERT_EQ(device->SetVertexDeclaration(declaration), D3D_OK);
        ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
        const Vertex quad[4] = {{0, 0, 0.5f, 1, 0, 0},
                                {kTextureWidth, 0, 0.5f, 1, 1, 0},
                                {0, kTextureHeight, 0.5f, 1, 0, 1},
                                {kTextureWidth, kTextureHeight, 0.5f, 1, 1, 1}};
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3D_OK);
        ASSERT_EQ(device->EndScene(), D3D_OK);
        device->SetTexture(0, nullptr);
        ASSERT_NO_FATAL_FAILURE(ReadBack());
        EXPECT_TRUE(d3d9::GetErrors(device).empty());
    }

    void ExpectQuadrants() {
        EXPECT_EQ(At(16, 16), 0xFF0000u) << "red top left";
        EXPECT_EQ(At(48, 16), 0x00FF00u) << "green top right";
        EXPECT_EQ(At(16, 48), 0x0000FFu) << "blue bottom left";
        EXPECT_EQ(At(48, 48), 0xFFFFFFu) << "white bottom right";
    }

    Graphics::GraphicsDevice* graphics = nullptr;
    d3d9::ShaderProgram* program = nullptr;
    IDirect3DVertexDeclaration9* declaration = nullptr;
};

TEST_F(TexturePixelTest, ADxt1DdsDrawsTheRightWayUp) {
    const std::vector<uint8_t> image = Quadrants(8);
    const std::vector<uint8_t> dds = ddswriter::Encode(image.data(), 8, 8, ddswriter::Format::DXT1, true);
    boost::shared_ptr<Graphics::Texture2D> texture =
        Graphics::Texture2D::LoadFromMemory(dds.data(), uint32_t(dds.size()));
    ASSERT_TRUE(texture);
    DrawFullScreen(texture->GetTexture());
    ExpectQuadrants();
}

TEST_F(TexturePixelTest, APngDrawsTheRightWayUp) {
    const std::vector<uint8_t> image = Quadrants(4);
    const std::vector<uint8_t> png = pngwriter::Encode(image.data(), 4, 4);
    boost::shared_ptr<Graphics::Texture2D> texture =
        Graphics::Texture2D::LoadFromMemory(png.data(), uint32_t(png.size()));
    ASSERT_TRUE(texture);
    DrawFullScreen(texture->GetTexture());
    ExpectQuadrants();
}

}  // namespace
