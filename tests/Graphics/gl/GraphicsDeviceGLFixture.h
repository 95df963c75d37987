#pragma once
// The uber effect of the sample data on the OpenGL backend: a hidden window
// with a graphics device whose effect compiled without a word, and the pixel
// read-back the effect tests compare with.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "../GraphicsDeviceFixture.h"
#include "Graphics/GraphicsDevice.h"
#include "platform/win32/MessageBox.h"
#include "support/GLDeviceFixture.h"

namespace {

constexpr int kWidth = 128;
constexpr int kHeight = 96;

struct Rgb {
    int r, g, b;
};

Rgb ToRgb(DWORD pixel) {
    return {static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
            static_cast<int>(pixel & 0xFF)};
}

::testing::AssertionResult Near(DWORD pixel, Rgb expected, int tolerance = 3) {
    Rgb got = ToRgb(pixel);
    if (std::abs(got.r - expected.r) <= tolerance && std::abs(got.g - expected.g) <= tolerance &&
        std::abs(got.b - expected.b) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "pixel (" << got.r << ", " << got.g << ", " << got.b << "), expected ("
                                         << expected.r << ", " << expected.g << ", " << expected.b << ")";
}

D3DXMATRIX Identity4() {
    D3DXMATRIX m = {};
    for (int i = 0; i < 4; ++i) {
        m.m[i][i] = 1.0f;
    }
    return m;
}

class GraphicsDeviceGLTest : public testsupport::GLDeviceTest {
protected:
    GraphicsDeviceGLTest()
        : GLDeviceTest({"effects", kWidth, kHeight, 2, D3DCREATE_MULTITHREADED | D3DCREATE_HARDWARE_VERTEXPROCESSING}) {
    }

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GLDeviceTest::SetUp());
        folder.WriteShippedEffects();
        graphics.reset(new Graphics::GraphicsDevice(d3d, device));
        // every shipped shader compiles on a real GLSL compiler, without a word
        EXPECT_TRUE(boxes.Shown().empty()) << boxes.Shown()[0].text;
        ASSERT_TRUE(graphics->GetEffect()->IsLoaded());
        effect = graphics->GetEffect().get();
        fx = effect->effect_;
        // The whole virtual screen: the whole back buffer.
        graphics->SetViewport(Viewport(0, 0, 1024, 768, 0.0f, 1.0f));
        white = MakeTexture(0xFFFFFFFFu);
        const D3DXMATRIX identity = Identity4();
        fx->SetMatrix(effect->wvp_xf_, &identity);
        fx->SetMatrix(effect->world_xf_, &identity);
        device->BeginScene();
        Clear(0xFF204060u);
    }

    void TearDown() override {
        if (device != nullptr) {
            device->EndScene();
            ExpectNoDeviceErrors();
        }
        for (IDirect3DTexture9* texture : textures) {
            texture->Release();
        }
        graphics.reset();
        GLDeviceTest::TearDown();
    }

    void Clear(DWORD colour) { device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0); }

    IDirect3DTexture9* MakeTexture(DWORD argb) {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        D3DLOCKED_RECT locked;
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (int y = 0; y < 4; ++y) {
            DWORD* row = reinterpret_cast<DWORD*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
            for (int x = 0; x < 4; ++x) {
                row[x] = argb;
            }
        }
        texture->UnlockRect(0);
        textures.push_back(texture);
        return texture;
    }

    void SetFloat4(D3DXHANDLE handle, float a, float b, float c, float d) {
        const float values[4] = {a, b, c, d};
        fx->SetValue(handle, values, sizeof(values));
    }

    // A lit, unlit-by-specular set-up: ambient 0.2 and diffuse 0.6 from a sun
    // shining straight down onto surfaces facing +z.
    void SetSun() {
        SetFloat4(effect->light_ambient_, 0.2f, 0.2f, 0.2f, 1.0f);
        SetFloat4(effect->light_diffuse_, 0.6f, 0.6f, 0.6f, 1.0f);
        SetFloat4(effect->light_specular_, 1.0f, 1.0f, 1.0f, 0.0f);
        const float down[3] = {0.0f, 0.0f, -1.0f};
        fx->SetValue(effect->light_dir_, down, sizeof(down));
        const float eye[3] = {0.0f, 0.0f, 10.0f};
        fx->SetValue(effect->cam_pos_, eye, sizeof(eye));
    }

    template <class Vertex>
    void Draw(D3DXHANDLE technique, IDirect3DVertexDeclaration9* declaration, D3DPRIMITIVETYPE type, UINT count,
              const Vertex* vertices) {
        device->SetVertexDeclaration(declaration);
        effect->technique_ = technique;
        effect->Begin();
        device->DrawPrimitiveUP(type, count, vertices, sizeof(Vertex));
        effect->End();
    }

    DWORD Pixel(int x, int y) {
        std::vector<DWORD> pixels;
        UINT width = 0;
        UINT height = 0;
        EXPECT_EQ(d3d9::ReadBackBuffer(device, &pixels, &width, &height), D3D_OK);
        return pixels.at(static_cast<size_t>(y) * width + static_cast<size_t>(x));
    }

    // Whether a pixel within one of (x, y) is near the colour.
    bool NearAround(int x, int y, Rgb expected, int tolerance) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (Near(Pixel(x + dx, y + dy), expected, tolerance)) {
                    return true;
                }
            }
        }
        return false;
    }

    const Rgb kClear = {0x20, 0x40, 0x60};
    GameFolder folder;
    platform::MessageBoxCapture boxes;
    std::unique_ptr<Graphics::GraphicsDevice> graphics;
    Graphics::GDEffect* effect = nullptr;
    ID3DXEffect* fx = nullptr;
    IDirect3DTexture9* white = nullptr;
    std::vector<IDirect3DTexture9*> textures;
};

}  // namespace
