// The 2D layer on the OpenGL device, read back pixel by pixel: a texture on
// exact pixels, a line of text composited as the glyph pages say, and a
// screenshot of shapes, an image and text in the sample fonts (kept as
// $DM_BUILD_DIR/screenshots/draw2d.png for a person to look at).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../../platform/d3dx/ImageFixtures.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/Draw2D.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/Texture2D.h"
#include "Graphics/UITextureLoader.h"
#include "platform/d3d9/Extensions.h"
#include "support/GLDeviceFixture.h"
#include "support/Screenshot.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/Fonts.h"
#include "tools/catalogue/Textures.h"

namespace {

namespace Draw2D = Graphics::Draw2D;
namespace fonts = catalogue::fonts;

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
// The tint reaches the shader as channel / 256.
constexpr double kTintWhite = 255.0 / 256.0;

class Draw2DPixelTest : public testsupport::GLDeviceTest {
protected:
    Draw2DPixelTest() : GLDeviceTest({"draw2d", kScreenWidth, kScreenHeight, 1, D3DCREATE_HARDWARE_VERTEXPROCESSING}) {}

    void SetUp() override {
        const char* build = std::getenv("DM_BUILD_DIR");
        ASSERT_NE(build, nullptr);
        buildDir = build;
        oldDir = std::filesystem::current_path();
        std::filesystem::current_path(buildDir + "/game");

        ASSERT_NO_FATAL_FAILURE(GLDeviceTest::SetUp());
        graphics.reset(new Graphics::GraphicsDevice(d3d, device));
        ASSERT_TRUE(graphics->GetEffect()->IsLoaded());
        Service<Graphics::GraphicsDevice>::Register(graphics.get());
        interfaceTextures.reset(new UITextureLoader(catalogue::config::kUiTexture.Path()));
        Service<UITextureLoader>::Register(interfaceTextures.get());
        fontLoader.reset(new Content::ContentLoader<Graphics::SpriteFont>(catalogue::config::kFonts.Path()));
        Draw2D::Init(graphics.get());
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        Draw2D::Clear(Color(0, 0, 0, 255));
    }

    void TearDown() override {
        ExpectNoDeviceErrors();
        Draw2D::End();
        Draw2D::Shutdown();
        fontLoader.reset();
        if (Service<UITextureLoader>::Exists()) Service<UITextureLoader>::Unregister();
        interfaceTextures.reset();
        if (Service<Graphics::GraphicsDevice>::Exists()) Service<Graphics::GraphicsDevice>::Unregister();
        graphics.reset();
        GLDeviceTest::TearDown();
        std::filesystem::current_path(oldDir);
    }

    void Read() {
        device->EndScene();
        ReadBack();
    }
    static int Channel(DWORD pixel, int shift) { return int((pixel >> shift) & 0xFF); }
    // An opaque draw of the colour: each channel x 255/256 twice (tint, then
    // the blend by the tinted alpha), over a background that barely shows.
    static void ExpectColor(DWORD pixel, int r, int g, int b) {
        EXPECT_NEAR(Channel(pixel, 16), r * kTintWhite * kTintWhite, 2.0) << std::hex << pixel;
        EXPECT_NEAR(Channel(pixel, 8), g * kTintWhite * kTintWhite, 2.0) << std::hex << pixel;
        EXPECT_NEAR(Channel(pixel, 0), b * kTintWhite * kTintWhite, 2.0) << std::hex << pixel;
    }

    // Alpha of texel (x, y) of a texture's first level (A8R8G8B8).
    static std::vector<uint8_t> Alphas(const boost::shared_ptr<Graphics::Texture2D>& texture, int* pitchOut) {
        std::vector<uint8_t> alphas;
        IDirect3DTexture9* d3dTexture = texture->GetTexture();
        D3DSURFACE_DESC desc;
        D3DLOCKED_RECT locked;
        if (d3dTexture == nullptr || FAILED(d3dTexture->GetLevelDesc(0, &desc)) || desc.Format != D3DFMT_A8R8G8B8 ||
            FAILED(d3dTexture->LockRect(0, &locked, nullptr, 0)))
            return alphas;
        alphas.resize(size_t(desc.Width) * desc.Height);
        for (UINT y = 0; y < desc.Height; ++y)
            for (UINT x = 0; x < desc.Width; ++x)
                alphas[size_t(y) * desc.Width + x] =
                    static_cast<const uint8_t*>(locked.pBits)[size_t(y) * locked.Pitch + x * 4 + 3];
        d3dTexture->UnlockRect(0);
        *pitchOut = int(desc.Width);
        return alphas;
    }

    std::string buildDir;
    std::filesystem::path oldDir;
    std::unique_ptr<Graphics::GraphicsDevice> graphics;
    std::unique_ptr<UITextureLoader> interfaceTextures;
    std::unique_ptr<Content::ContentLoader<Graphics::SpriteFont>> fontLoader;
};

TEST_F(Draw2DPixelTest, TextureTexelsLandOnExactPixels) {
    // 4 x 4 texels, each its own colour.
    auto texel = [](int x, int y) {
        return 0xFF000000u | uint32_t(40 + 60 * x) << 16 | uint32_t(40 + 60 * y) << 8 | 200u;
    };
    const std::vector<uint8_t> bmp = texturetest::Bmp32(4, 4, texel);
    auto texture = Graphics::Texture2D::LoadFromMemory(bmp.data(), uint32_t(bmp.size()));
    ASSERT_TRUE(texture);

    Draw2D::Begin();
    Draw2D::DrawTexture(texture, 10, 20);
    Draw2D::DrawTextureRegion(texture, 100, 50, 4, 2, 2, 1, 2, 1);
    Draw2D::End();
    Read();

    // Opaque texels tinted white: colour x 255/256, blended by alpha 255/256.
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            SCOPED_TRACE(testing::Message() << "texel " << x << ", " << y);
            const DWORD expected = texel(x, y), actual = At(10 + x, 20 + y);
            for (int shift : {16, 8, 0})
                EXPECT_NEAR(Channel(actual, shift), Channel(expected, shift) * kTintWhite * kTintWhite, 1.0);
        }
    }
    // Nothing spills onto the neighbouring pixels.
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(At(9, 20 + i), 0u);
        EXPECT_EQ(At(14, 20 + i), 0u);
        EXPECT_EQ(At(10 + i, 19), 0u);
        EXPECT_EQ(At(10 + i, 24), 0u);
    }
    // The region (2, 1) to (4, 2) stretched over 4 x 2 pixels, filtered:
    // red follows the texel column only, and rises to the right.
    EXPECT_EQ(Channel(At(100, 50), 16), Channel(At(100, 51), 16));
    EXPECT_LT(Channel(At(100, 50), 16), Channel(At(103, 50), 16));
    EXPECT_EQ(At(104, 50), 0u);
    EXPECT_EQ(At(100, 52), 0u);
}

TEST_F(Draw2DPixelTest, TextComposesTheGlyphsOfThePage) {
    auto font = fontLoader->Load(fonts::kSmall.file);
    ASSERT_TRUE(font && font->page_texture_);
    int pageWidth = 0;
    const std::vector<uint8_t> alphas = Alphas(font->page_texture_, &pageWidth);
    ASSERT_FALSE(alphas.empty());

    const std::wstring text = L"Wave 7: Défaite!";
    const int penX = 200, penY = 300;
    Draw2D::Begin();
    Draw2D::DrawText(font, float(penX), float(penY), text);
    Draw2D::End();
    Read();

    // The same text composed on the CPU from the page: white tinted by
    // 255/256, blended over black by its alpha.
    std::vector<double> expected(size_t(kScreenWidth) * kScreenHeight, 0.0);
    int pen = penX, inked = 0;
    for (wchar_t c : text) {
        const Graphics::SpriteFontGlyph& glyph = font->glyphs_.at(uint16_t(c));
        for (int j = 0; j < glyph.height; ++j) {
            for (int i = 0; i < glyph.width; ++i) {
                const double alpha = alphas[size_t(glyph.y + j) * pageWidth + glyph.x + i] / 255.0 * kTintWhite;
                double& out = expected[size_t(penY + glyph.yoffset + j) * kScreenWidth + pen + glyph.xoffset + i];
                out = 255.0 * kTintWhite * alpha + out * (1.0 - alpha);
            }
        }
        pen += glyph.xadvance - glyph.xoffset;
    }
    EXPECT_EQ(pen - penX, font->MeasureString(text));
    int mismatches = 0;
    for (int y = penY - 4; y < penY + font->line_height_ + 4; ++y) {
        for (int x = penX - 4; x < pen + 4; ++x) {
            const double want = expected[size_t(y) * kScreenWidth + x];
            const int got = Channel(At(x, y), 8);
            inked += got > 128 ? 1 : 0;
            if (std::abs(got - want) > 2.5 && ++mismatches <= 5)
                ADD_FAILURE() << "pixel " << x << ", " << y << ": " << got << " instead of " << want;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(inked, 100);
}

TEST_F(Draw2DPixelTest, Screenshot) {
    Draw2D::Clear(Color(32, 40, 56, 255));
    auto image = interfaceTextures->Load(catalogue::textures::kTutorialImage);
    ASSERT_TRUE(image);
    auto title = fontLoader->Load(fonts::kTitle.file);
    auto main = fontLoader->Load(fonts::kMain.file);
    auto small = fontLoader->Load(fonts::kSmall.file);
    auto russian = fontLoader->Load(fonts::kMainRus.file);
    auto smallRussian = fontLoader->Load(fonts::kSmallRus.file);
    auto console = fontLoader->Load(fonts::kConsole.file);
    for (const auto& font : {title, main, small, russian, smallRussian, console})
        ASSERT_TRUE(font && font->page_texture_);

    Draw2D::Begin();
    // Shapes.
    Draw2D::FillRect(Color(200, 60, 40, 255), 20, 20, 120, 80);
    Draw2D::DrawRect(Color(255, 255, 255, 255), 160, 20, 120, 80);
    Draw2D::FillCircle(Color(60, 180, 90, 255), 360, 60, 40);
    Draw2D::DrawCircle(Color(255, 220, 0, 255), 460, 60, 40);
    Draw2D::FillEllipse(Color(80, 120, 230, 255), 580, 60, 60, 30);
    Draw2D::DrawEllipse(Color(230, 230, 230, 255), Vector2(720, 60), Vector2(60, 30));
    Draw2D::FillTriangle(Color(230, 120, 200, 255), 820, 100, 870, 20, 920, 100);
    Draw2D::DrawTriangle(Color(255, 255, 255, 255), Vector2(940, 100), Vector2(970, 20), Vector2(1000, 100));
    Draw2D::DrawLine(Color(255, 255, 0, 255), 20, 115, 1000, 115);
    Draw2D::FillRect(Color(255, 255, 255, 96), 20, 104, 400, 8);  // translucent
    // An image and a region of it, tinted.
    Draw2D::DrawTexture(image, 20, 130, 320, 240);
    Draw2D::DrawTextureRegion(image, 360, 130, 160, 120, 0, 0, 320, 240, Color(255, 180, 120, 255));
    // Text in every sample font.
    Draw2D::DrawText(title, 540, 125, std::string("Victory!"), Color(255, 215, 0, 255));
    Draw2D::DrawText(main, 540, 205, std::wstring(L"Wave 3 — Gold: 250"));
    Draw2D::DrawText(small, 540, 260, std::wstring(L"Swordsman: a sturdy fighter for close combat"));
    Draw2D::DrawText(small, 540, 280, std::wstring(L"Épéiste : un combattant robuste — àéîõü ÄÖÜß ¿¡"));
    Draw2D::DrawText(russian, 540, 300, std::wstring(L"Победа! Щёлкните"), Color(255, 200, 200, 255));
    Draw2D::DrawText(smallRussian, 540, 350, std::wstring(L"Мечник: стойкий боец ближнего боя"));
    Draw2D::DrawText(console, 20, 390, std::string("CULLING STATS [CULLED : 12, PASSED : 34]"), Color(0, 255, 0, 255));
    Draw2D::DrawText(console, 20, 390 + console->line_height_, std::string("CULLED TRIS : 5678 PASSED TRIS: 9012"),
                     Color(0, 255, 0, 255));
    // Several lines, centred by per-line offsets, with the main font's pitch.
    const std::wstring lines[] = {L"Click to continue", L"Cliquez pour continuer", L"Klicken zum Fortfahren"};
    std::wstring block;
    for (const std::wstring& line : lines) {
        Draw2D::GetLineOffsets().push_back((600 - main->MeasureString(line)) / 2);
        block += line + L"\r\n";
    }
    Draw2D::SetLineAdvance(main->line_height_);
    Draw2D::FillRect(Color(0, 0, 0, 160), 20, 440, 600, 3 * main->line_height_ + 20);
    Draw2D::DrawText(main, 20, 450, block);
    Draw2D::SetLineAdvance(30);
    Draw2D::DrawText(title, 20, 620, std::wstring(L"Tarragon Ostrelle"), Color(120, 200, 255, 255));
    Draw2D::End();
    Read();

    // What must be where: filled shapes in their colour, the outlined
    // rectangle hollow (but for its diagonal), the line, the image.
    ExpectColor(At(30, 30), 200, 60, 40);
    ExpectColor(At(360, 60), 60, 180, 90);
    ExpectColor(At(580, 60), 80, 120, 230);
    ExpectColor(At(500, 115), 255, 255, 0);
    EXPECT_EQ(At(200, 40), 0x202838u);
    EXPECT_NE(At(460, 20), 0x202838u);  // on the circle's rim

    testsupport::SaveScreenshot(pixels, kScreenWidth, kScreenHeight, "draw2d.png");
}

}  // namespace
