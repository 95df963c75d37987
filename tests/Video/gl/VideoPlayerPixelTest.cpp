// The intro played through the video player onto the OpenGL device at 640 x 480 in the
// intro window's "Video" rectangle of the 1024 x 768 screen: each frame read back is the
// picture the decoder made for it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "Core/FrameClock.h"
#include "Graphics/Draw2D.h"
#include "Graphics/GraphicsDevice.h"
#include "Video/VideoPlayer.h"
#include "Video/ogv/DecodedVideoFrame.h"
#include "Video/ogv/OgvVideoClip.h"
#include "Video/ogv/OgvWorkerThread.h"
#include "Video/ogv/VideoFixtures.h"
#include "platform/win32/Time.h"
#include "platform/d3d9/Extensions.h"
#include "support/GLDeviceFixture.h"
#include "support/ScratchFolder.h"
#include "tools/catalogue/Videos.h"

namespace {

namespace Draw2D = Graphics::Draw2D;
namespace vid = catalogue::videos;
using videofixtures::Bytes;

// The intro window's "Video" rectangle.
constexpr int kLeft = 192;
constexpr int kTop = 144;
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

// The quad's white tint reaches the shader as 255/256, and the blend applies it again.
constexpr double kTint = (255.0 / 256.0) * (255.0 / 256.0);

class VideoPlayerPixelTest : public testsupport::GLDeviceTest {
protected:
    VideoPlayerPixelTest()
        : GLDeviceTest({"video", kScreenWidth, kScreenHeight, 1, D3DCREATE_HARDWARE_VERTEXPROCESSING}) {}

    void SetUp() override {
        const char* build = std::getenv("DM_BUILD_DIR");
        ASSERT_NE(build, nullptr);
        path = std::string(build) + "/game/" + vid::IntroPath();
        // The device's effect is read from the game's folder.
        oldDir = std::filesystem::current_path();
        std::filesystem::current_path(std::string(build) + "/game");
        ASSERT_NO_FATAL_FAILURE(GLDeviceTest::SetUp());
        graphics.reset(new Graphics::GraphicsDevice(d3d, device));
        ASSERT_TRUE(graphics->GetEffect()->IsLoaded());
        Draw2D::Init(graphics.get());
    }
    void TearDown() override {
        ExpectNoDeviceErrors();
        Draw2D::Shutdown();
        graphics.reset();
        GLDeviceTest::TearDown();
        std::filesystem::current_path(oldDir);
    }

    std::string path;
    std::filesystem::path oldDir;
    std::unique_ptr<Graphics::GraphicsDevice> graphics;
};

TEST_F(VideoPlayerPixelTest, FramesReadBackAsDecoded) {
    const int kFrames = 12;
    const std::string bytes = ScratchFolder::Read(path);
    ASSERT_FALSE(bytes.empty()) << path;
    const std::vector<Bytes> pictures =
        videofixtures::ReferencePictures(Bytes(bytes.begin(), bytes.end()), OgvOutputRGB, kFrames + 1);
    ASSERT_EQ(size_t(kFrames + 1), pictures.size());

    videofixtures::LogCapture log;
    platform::ScopedFakeClock clock(1000);
    ResetFrameClock();
    d3d9::SetPresentCapture(device, true);
    VideoPlayer player(0);
    ASSERT_TRUE(player.Open(graphics.get(), path));
    OgvVideoClip* clip = VideoPlayer::GetClip();
    OgvWorkerThread worker;
    int checked = 0;
    for (int frame = 0; frame < 40 && checked < kFrames; ++frame) {
        for (int turn = 0; turn < 2 && clip->GetNumReadyFrames() < clip->GetNumPrecachedFrames(); ++turn)
            worker.Step();
        clock.Advance(40);
        TickFrameClock();
        player.Update();
        const DecodedVideoFrame* due = clip->GetNextFrame();
        const int index = due != nullptr ? int(std::lround(due->GetTime() * vid::kIntroFps)) - 1 : -1;
        const bool uploaded = player.UploadFrame();
        ASSERT_EQ(due != nullptr, uploaded);
        ASSERT_EQ(D3D_OK, device->BeginScene());
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        Draw2D::Begin();
        player.Draw(kLeft, kTop, float(vid::kIntroWidth), float(vid::kIntroHeight));
        Draw2D::End();
        device->EndScene();
        ASSERT_EQ(D3D_OK, device->Present(nullptr, nullptr, nullptr, nullptr));
        if (!uploaded) continue;
        ASSERT_GE(index, 0);
        ASSERT_LT(index, kFrames + 1);
        UINT width = 0, height = 0;
        ASSERT_EQ(D3D_OK, d3d9::ReadPresentedFrame(device, &pixels, &width, &height));
        ASSERT_EQ(UINT(kScreenWidth), width);
        int worst = 0;
        for (int y = 0; y < vid::kIntroHeight; ++y) {
            for (int x = 0; x < vid::kIntroWidth; ++x) {
                const uint8_t* rgb = &pictures[index][(size_t(y) * vid::kIntroWidth + x) * 3];
                const DWORD pixel = At(kLeft + x, kTop + y);
                for (int c = 0; c < 3; ++c) {
                    const int read = int((pixel >> (16 - 8 * c)) & 0xFF);
                    worst = std::max(worst, int(std::lround(std::fabs(read - rgb[c] * kTint))));
                }
            }
        }
        EXPECT_LE(worst, 2) << "frame " << index;
        // Only the picture is sampled, never the white rest of the texture.
        for (int i = 0; i < vid::kIntroHeight; i += 16) EXPECT_EQ(0u, At(kLeft + vid::kIntroWidth, kTop + i));
        for (int i = 0; i < vid::kIntroWidth; i += 16) EXPECT_EQ(0u, At(kLeft + i, kTop + vid::kIntroHeight));
        ++checked;
    }
    EXPECT_EQ(kFrames, checked);
}

}  // namespace
