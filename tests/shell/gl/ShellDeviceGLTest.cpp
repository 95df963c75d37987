// The shell's device on its window through OpenGL: screenshots read the
// presented frame back in the bitmap's order, and a new device shows black.
#include <gtest/gtest.h>

#include <vector>

#include "platform/d3d9/Extensions.h"
#include "shell/ShellApp.h"
#include "shell/ShellHost.h"
#include "shell/ShellOptions.h"

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr size_t kStride = kWidth * 3;  // already a multiple of 4

class ShellDeviceGLTest : public ::testing::Test {
protected:
    void SetUp() override {
        d3d9::SetBackend(d3d9::Backend::GL);
        host_.Init(&app_);
        host_.command_line_.Set("-width=64 -height=48");
        host_.command_line_.Parse();
        host_.command_line_.Apply(app_);
        ASSERT_TRUE(host_.InitOS());
        ASSERT_TRUE(host_.InitAPI());
        ASSERT_NE(host_.device_, nullptr);
        // Every frame of these tests is saved.
        app_.options_->captureStart = 0;
        app_.options_->captureStop = 100;
    }
    void TearDown() override {
        if (host_.device_) host_.ReleaseAPI();
        if (host_.window_) host_.ReleaseOS();
        app_.host_ = nullptr;
    }

    // The pixel at (x, y) from the top-left as blue, green, red.
    static std::vector<unsigned char> At(const std::vector<unsigned char>& buffer, int x, int y) {
        const unsigned char* p = buffer.data() + kStride * (kHeight - 1 - y) + 3 * x;
        return {p[0], p[1], p[2]};
    }

    std::vector<unsigned char> Capture() {
        std::vector<unsigned char> buffer(kStride * kHeight, 0x5A);
        EXPECT_TRUE(host_.CaptureBuffer(kWidth, kHeight, buffer.data()));
        return buffer;
    }

    ShellApp app_;
    ShellHost host_;
};

TEST_F(ShellDeviceGLTest, FirstFrameIsBlack) {
    host_.Present();
    const std::vector<unsigned char> buffer = Capture();
    EXPECT_EQ(buffer, std::vector<unsigned char>(buffer.size(), 0));
}

TEST_F(ShellDeviceGLTest, ScreenshotRowsRunBottomUpInBlueGreenRed) {
    IDirect3DDevice9* device = host_.device_;
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF204060, 1.0f, 0), D3D_OK);
    const D3DRECT topLeft = {0, 0, 8, 4};
    ASSERT_EQ(device->Clear(1, &topLeft, D3DCLEAR_TARGET, 0xFFF08010, 1.0f, 0), D3D_OK);
    host_.Present();
    const std::vector<unsigned char> buffer = Capture();
    EXPECT_EQ(At(buffer, 0, 0), (std::vector<unsigned char>{0x10, 0x80, 0xF0}));
    EXPECT_EQ(At(buffer, 7, 3), (std::vector<unsigned char>{0x10, 0x80, 0xF0}));
    EXPECT_EQ(At(buffer, 8, 3), (std::vector<unsigned char>{0x60, 0x40, 0x20}));
    EXPECT_EQ(At(buffer, 7, 4), (std::vector<unsigned char>{0x60, 0x40, 0x20}));
    EXPECT_EQ(At(buffer, kWidth - 1, kHeight - 1), (std::vector<unsigned char>{0x60, 0x40, 0x20}));
}

}  // namespace
