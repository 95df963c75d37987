#pragma once
// The pixel tests of the widgets: the OpenGL device at 1024 x 768 with the
// graphics device, the 2D layer, and the interface texture and font loaders
// over a scratch folder where tests write their images, fonts and layouts (or
// over the sample data's folders). Runs in the sample data's folder for the
// uber effect.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/Draw2D.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/UITextureLoader.h"
#include "shell/PointerState.h"
#include "shell/TouchEvent.h"
#include "support/GLDeviceFixture.h"
#include "support/ScratchFolder.h"
#include "tools/databuilder/PngWriter.h"

namespace uipixel {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct Rgb {
    int r, g, b;
};
// The colour of the tests' backgrounds.
const Rgb kBackground{40, 80, 160};

class UIPixelTest : public testsupport::GLDeviceTest {
protected:
    typedef Content::ContentLoader<Graphics::SpriteFont> FontLoader;

    explicit UIPixelTest(const char* title)
        : GLDeviceTest({title, kWidth, kHeight, 1, D3DCREATE_HARDWARE_VERTEXPROCESSING}) {}
    // Images and fonts from these folders of the game's folder instead.
    UIPixelTest(const char* title, std::string textureRoot, std::string fontRoot)
        : GLDeviceTest({title, kWidth, kHeight, 1, D3DCREATE_HARDWARE_VERTEXPROCESSING}),
          texture_root_(std::move(textureRoot)),
          font_root_(std::move(fontRoot)) {}

    void SetUp() override {
        const char* build = std::getenv("DM_BUILD_DIR");
        ASSERT_NE(build, nullptr);
        gameDir = std::string(build) + "/game";
        oldDir = std::filesystem::current_path();
        std::filesystem::current_path(gameDir);  // the uber effect
        ASSERT_NO_FATAL_FAILURE(GLDeviceTest::SetUp());
        graphics.reset(new Graphics::GraphicsDevice(d3d, device));
        ASSERT_TRUE(graphics->GetEffect()->IsLoaded());
        Service<Graphics::GraphicsDevice>::Register(graphics.get());
        textures.reset(new UITextureLoader(texture_root_.empty() ? scratch.Path() + "/" : texture_root_));
        Service<UITextureLoader>::Register(textures.get());
        fonts.reset(new FontLoader(font_root_.empty() ? scratch.Path() + "/" : font_root_));
        Service<FontLoader>::Register(fonts.get());
        Graphics::Draw2D::Init(graphics.get());
    }

    void TearDown() override {
        ExpectNoDeviceErrors();
        Graphics::Draw2D::End();
        Graphics::Draw2D::Shutdown();
        if (Service<FontLoader>::Exists()) Service<FontLoader>::Unregister();
        fonts.reset();
        if (Service<UITextureLoader>::Exists()) Service<UITextureLoader>::Unregister();
        textures.reset();
        if (Service<Graphics::GraphicsDevice>::Exists()) Service<Graphics::GraphicsDevice>::Unregister();
        graphics.reset();
        GLDeviceTest::TearDown();
        std::filesystem::current_path(oldDir);
        TouchEvents.clear();
        GetPointerState() = PointerState();
    }

    // An image of one colour in the scratch folder.
    void Png(const std::string& name, int width, int height, Rgb colour, int alpha = 255) {
        std::vector<uint8_t> px;
        for (int i = 0; i < width * height; ++i)
            px.insert(px.end(), {uint8_t(colour.r), uint8_t(colour.g), uint8_t(colour.b), uint8_t(alpha)});
        const std::vector<uint8_t> png = pngwriter::Encode(px.data(), width, height, pngwriter::Layout::RGBA);
        scratch.Write(name, std::string(png.begin(), png.end()));
    }
    // A sample font and its page, copied from the game's data into the scratch folder.
    void SampleFont(const std::string& font, const std::string& page) {
        std::filesystem::copy_file(gameDir + "/res-pc/fonts/" + font, scratch / font);
        std::filesystem::copy_file(gameDir + "/res-pc/uitexture/" + page, scratch / page);
    }

    static int Channel(DWORD pixel, int shift) { return int((pixel >> shift) & 0xFF); }

    std::string gameDir;
    ScratchFolder scratch;
    std::filesystem::path oldDir;
    std::unique_ptr<Graphics::GraphicsDevice> graphics;
    std::unique_ptr<UITextureLoader> textures;
    std::unique_ptr<FontLoader> fonts;

private:
    std::string texture_root_, font_root_;
};

}  // namespace uipixel
