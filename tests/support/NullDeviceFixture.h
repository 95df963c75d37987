#pragma once
// The base of the tests on the Direct3D 9 substitute's recording null device:
// Direct3D on the null backend with a fresh script, and a windowless device.
// Header only, so that only the programs using it link the platform library.
#include <gtest/gtest.h>

#include "platform/d3d9/Extensions.h"
#include "platform/d3d9/null/NullDevice.h"
#include "platform/d3d9/null/NullScript.h"

namespace testsupport {

class NullDeviceTest : public ::testing::Test {
protected:
    // A windowed X8R8G8B8 back buffer with a D24S8 depth buffer; a derived
    // constructor may change params before SetUp creates the device.
    NullDeviceTest(UINT width, UINT height, DWORD flags) : flags_(flags) {
        params.BackBufferWidth = width;
        params.BackBufferHeight = height;
        params.BackBufferFormat = D3DFMT_X8R8G8B8;
        params.SwapEffect = D3DSWAPEFFECT_DISCARD;
        params.Windowed = TRUE;
        params.EnableAutoDepthStencil = TRUE;
        params.AutoDepthStencilFormat = D3DFMT_D24S8;
    }

    // A derived SetUp calls this first, in ASSERT_NO_FATAL_FAILURE.
    void SetUp() override {
        d3d9::ResetNullScript();
        d3d9::SetBackend(d3d9::Backend::Null);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, flags_, &params, &device), D3D_OK);
        null = d3d9::AsNullDevice(device);
        ASSERT_NE(null, nullptr);
    }

    // A derived TearDown calls this last, once everything made on the device is gone.
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

    D3DPRESENT_PARAMETERS params = {};
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    d3d9::NullDevice* null = nullptr;

private:
    const DWORD flags_;  // behaviour flags of CreateDevice
};

}  // namespace testsupport
