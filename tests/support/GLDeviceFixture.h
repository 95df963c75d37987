#pragma once
// The base of the pixel tests on the OpenGL backend: a hidden window, Direct3D
// and a device per test, the back buffer read back, and the environment that
// keeps the GL driver loaded. Header only, like GLDevice.h.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/GLDevice.h"

namespace testsupport {

// Video and the GL driver stay loaded for the whole run: SDL unloads the driver
// with the last OpenGL window, and a driver unloaded between tests leaves its
// allocations in unnamed code that the leak suppressions cannot match.
class GLDriverKeeper : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        keeper_ = SDL_CreateWindow("keeper", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(keeper_, nullptr) << SDL_GetError();
    }

private:
    SDL_Window* keeper_ = nullptr;
};
// One keeper for every program that includes this header.
inline ::testing::Environment* const kGLDriverKeeper = ::testing::AddGlobalTestEnvironment(new GLDriverKeeper);

struct GLDeviceSettings {
    const char* title;
    int width;
    int height;
    UINT backBuffers;
    DWORD flags;  // behaviour flags of CreateDevice
};

class GLDeviceTest : public ::testing::Test {
protected:
    explicit GLDeviceTest(const GLDeviceSettings& settings) : settings_(settings) {}

    // A derived SetUp calls this first, in ASSERT_NO_FATAL_FAILURE.
    void SetUp() override {
        window = CreateGLWindow(settings_.title, settings_.width, settings_.height);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        ASSERT_EQ(CreateGLDevice(window, WindowedParameters(settings_.width, settings_.height, settings_.backBuffers),
                                 settings_.flags, &d3d, &device),
                  D3D_OK);
    }

    // A derived TearDown calls this last, once everything made on the device is gone.
    void TearDown() override {
        if (device != nullptr) {
            device->Release();
        }
        if (d3d != nullptr) {
            d3d->Release();
        }
        if (window != nullptr) {
            SDL_DestroyWindow(window);
        }
        d3d9::SetWindowResolver(nullptr);
    }

    // The device reported no bad call; not checked once the test has failed,
    // whose errors follow from the failure.
    void ExpectNoDeviceErrors() {
        if (device != nullptr && !HasFailure()) {
            const std::vector<std::string> errors = d3d9::GetErrors(device);
            EXPECT_TRUE(errors.empty()) << errors.front();
        }
    }

    // The back buffer into pixels, which must have the window's size.
    void ReadBack() {
        UINT width = 0;
        UINT height = 0;
        ASSERT_EQ(d3d9::ReadBackBuffer(device, &pixels, &width, &height), D3D_OK);
        ASSERT_EQ(width, static_cast<UINT>(settings_.width));
        ASSERT_EQ(height, static_cast<UINT>(settings_.height));
    }
    // The colour of a pixel read back, without its alpha.
    DWORD At(int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(settings_.width) + static_cast<size_t>(x)] &
               0x00FFFFFFu;
    }

    const GLDeviceSettings settings_;
    SDL_Window* window = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    std::vector<DWORD> pixels;
};

}  // namespace testsupport
