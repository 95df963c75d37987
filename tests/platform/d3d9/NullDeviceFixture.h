#pragma once
// A recording null device made the way the game makes its device.
#include <gtest/gtest.h>

#include "platform/d3d9/Extensions.h"
#include "platform/d3d9/null/NullDevice.h"
#include "platform/d3d9/null/NullScript.h"

class D3D9NullTest : public ::testing::Test {
protected:
    void SetUp() override {
        d3d9::ResetNullScript();
        d3d9::SetBackend(d3d9::Backend::Null);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        params = {};
        params.BackBufferWidth = 64;
        params.BackBufferHeight = 48;
        params.BackBufferFormat = D3DFMT_X8R8G8B8;
        params.BackBufferCount = 2;
        params.SwapEffect = D3DSWAPEFFECT_DISCARD;
        params.Windowed = TRUE;
        params.EnableAutoDepthStencil = TRUE;
        params.AutoDepthStencilFormat = D3DFMT_D24S8;
        params.PresentationInterval = D3DPRESENT_INTERVAL_ONE;
        ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_MULTITHREADED, &params,
                                    &device),
                  D3D_OK);
        null = d3d9::AsNullDevice(device);
        ASSERT_NE(null, nullptr);
    }

    void TearDown() override {
        if (device != nullptr) {
            device->Release();
        }
        if (d3d != nullptr) {
            d3d->Release();
        }
        d3d9::SetBackend(d3d9::Backend::GL);
        d3d9::ResetNullScript();
    }

    // True when the device reported an error containing the text.
    bool Reported(const std::string& text) {
        for (const std::string& error : d3d9::GetErrors(device)) {
            if (error.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    IDirect3DVertexDeclaration9* MakeDeclaration(std::initializer_list<D3DVERTEXELEMENT9> elements) {
        std::vector<D3DVERTEXELEMENT9> list(elements);
        list.push_back(D3DDECL_END());
        IDirect3DVertexDeclaration9* declaration = nullptr;
        EXPECT_EQ(device->CreateVertexDeclaration(list.data(), &declaration), D3D_OK);
        return declaration;
    }

    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    d3d9::NullDevice* null = nullptr;
    D3DPRESENT_PARAMETERS params;
};
