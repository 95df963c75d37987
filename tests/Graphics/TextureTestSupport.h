#pragma once
// For the texture, render-target, atlas and content-loader tests: a recording
// null device registered as the graphics device, a scratch folder, and image
// files made in code.
#include <gtest/gtest.h>

#include <string>

#include "../platform/d3dx/ImageFixtures.h"
#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"
#include "platform/d3d9/Extensions.h"
#include "platform/d3d9/null/NullDevice.h"
#include "platform/d3d9/null/NullScript.h"

namespace texturetest {

// A recording null device, registered as Service<Graphics::GraphicsDevice>.
class NullDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        d3d9::ResetNullScript();
        d3d9::SetBackend(d3d9::Backend::Null);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        D3DPRESENT_PARAMETERS params = {};
        params.BackBufferWidth = 64;
        params.BackBufferHeight = 48;
        params.BackBufferFormat = D3DFMT_X8R8G8B8;
        params.SwapEffect = D3DSWAPEFFECT_DISCARD;
        params.Windowed = TRUE;
        params.EnableAutoDepthStencil = TRUE;
        params.AutoDepthStencilFormat = D3DFMT_D24S8;
        ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_MULTITHREADED, &params,
                                    &device),
                  D3D_OK);
        null = d3d9::AsNullDevice(device);
        graphics = new Graphics::GraphicsDevice(d3d, device);
        Service<Graphics::GraphicsDevice>::Register(graphics);
        folder = MakeScratchFolder();
        ASSERT_FALSE(folder.empty());
    }

    void TearDown() override {
        Service<Graphics::GraphicsDevice>::Unregister();
        delete graphics;
        if (device != nullptr) device->Release();
        if (d3d != nullptr) d3d->Release();
        d3d9::SetBackend(d3d9::Backend::GL);
        d3d9::ResetNullScript();
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

    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    d3d9::NullDevice* null = nullptr;
    Graphics::GraphicsDevice* graphics = nullptr;
    std::string folder;
};

}  // namespace texturetest
