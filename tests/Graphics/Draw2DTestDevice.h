#pragma once
// The recording null device with a graphics device on it, registered as the
// game registers it, the 2D layer bound to it, and an interface texture
// loader over a scratch folder where tests write fonts and page images.
// Runs in the sample data's folder so the uber effect loads as in the game.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Core/Service.h"
#include "Graphics/Draw2D.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/UITextureLoader.h"
#include "support/NullDeviceFixture.h"

namespace draw2dtest {

class Draw2DTestDevice : public testsupport::NullDeviceTest {
protected:
    Draw2DTestDevice() : NullDeviceTest(1024, 768, D3DCREATE_HARDWARE_VERTEXPROCESSING) { params.BackBufferCount = 1; }

    void SetUp() override {
        const char* build = std::getenv("DM_BUILD_DIR");
        ASSERT_NE(build, nullptr);
        gameDir = std::string(build) + "/game";
        oldDir = std::filesystem::current_path();
        std::filesystem::current_path(gameDir);
        scratch =
            std::filesystem::temp_directory_path() / ("draw2d-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(scratch);

        ASSERT_NO_FATAL_FAILURE(NullDeviceTest::SetUp());
        graphics.reset(new Graphics::GraphicsDevice(d3d, device));
        ASSERT_TRUE(graphics->GetEffect()->IsLoaded()) << "the sample data's uber effect is missing";
        Service<Graphics::GraphicsDevice>::Register(graphics.get());
        textures.reset(new UITextureLoader(scratch.string() + "/"));
        Service<UITextureLoader>::Register(textures.get());
        Graphics::Draw2D::Init(graphics.get());
        null->ClearLog();
    }

    void TearDown() override {
        Graphics::Draw2D::End();
        Graphics::Draw2D::Shutdown();
        Graphics::Draw2D::GetLineOffsets().clear();
        Graphics::Draw2D::SetLineAdvance(30);
        if (Service<UITextureLoader>::Exists()) Service<UITextureLoader>::Unregister();
        textures.reset();
        if (Service<Graphics::GraphicsDevice>::Exists()) Service<Graphics::GraphicsDevice>::Unregister();
        graphics.reset();
        NullDeviceTest::TearDown();
        std::filesystem::current_path(oldDir);
        std::error_code ignored;
        std::filesystem::remove_all(scratch, ignored);
    }

    void WriteFile(const std::string& name, const std::string& bytes) {
        std::ofstream(scratch / name, std::ios::binary) << bytes;
    }
    void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        WriteFile(name, std::string(bytes.begin(), bytes.end()));
    }
    std::string ScratchPath(const std::string& name) const { return (scratch / name).string(); }

    std::string gameDir;
    std::filesystem::path oldDir;
    std::filesystem::path scratch;
    std::unique_ptr<Graphics::GraphicsDevice> graphics;
    std::unique_ptr<UITextureLoader> textures;
};

}  // namespace draw2dtest
