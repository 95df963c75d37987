#pragma once
// For the texture, render-target, atlas and content-loader tests: a recording
// null device registered as the graphics device, a scratch folder, and image
// files made in code.
#include <gtest/gtest.h>

#include <string>

#include "../platform/d3dx/ImageFixtures.h"
#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"
#include "support/NullDeviceFixture.h"

namespace texturetest {

// A recording null device, registered as Service<Graphics::GraphicsDevice>.
class NullDeviceTest : public testsupport::NullDeviceTest {
protected:
    NullDeviceTest() : testsupport::NullDeviceTest(64, 48, D3DCREATE_MULTITHREADED) {}

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(testsupport::NullDeviceTest::SetUp());
        graphics = new Graphics::GraphicsDevice(d3d, device);
        Service<Graphics::GraphicsDevice>::Register(graphics);
        folder = MakeScratchFolder();
        ASSERT_FALSE(folder.empty());
    }

    void TearDown() override {
        Service<Graphics::GraphicsDevice>::Unregister();
        delete graphics;
        testsupport::NullDeviceTest::TearDown();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::string Path(const std::string& name) const { return folder + name; }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        WriteFile(Path(name), bytes);
        return Path(name);
    }
    // Device resources alive (textures, surfaces ...).
    size_t LiveResources() const { return d3d9::AsDeviceBase(device)->Resources().size(); }

    Graphics::GraphicsDevice* graphics = nullptr;
    std::string folder;
};

}  // namespace texturetest
