// The engine's video player on the recording null device: texture sizes, the player
// without a clip, files it cannot play, the precache hold, the texels of an uploaded frame,
// a texture format the device refuses, and the intro driven as the intro window drives it,
// with its sound on OpenAL Soft's loopback device.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Audio/AudioDevice.h"
#include "Core/FrameClock.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Texture2D.h"
#include "Video/VideoPlayer.h"
#include "Video/ogv/OgvVideoClip.h"
#include "Video/ogv/OgvWorkerThread.h"
#include "Video/ogv/VideoFixtures.h"
#include "platform/win32/Time.h"
#include "Audio/LoopbackAudio.h"
#include "support/NullDeviceFixture.h"
#include "support/ScratchFolder.h"
#include "tools/catalogue/Videos.h"

namespace {

using namespace videofixtures;

constexpr uint32_t kWhite = 0xFFFFFFFFu;

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

class VideoPlayerTest : public testsupport::NullDeviceTest {
protected:
    VideoPlayerTest() : testsupport::NullDeviceTest(64, 48, D3DCREATE_MULTITHREADED) {}

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(testsupport::NullDeviceTest::SetUp());
        graphics = new Graphics::GraphicsDevice(d3d, device);
    }
    void TearDown() override {
        delete graphics;
        testsupport::NullDeviceTest::TearDown();
    }

    // The texture's texels, row by row; empty when it has no device texture.
    static std::vector<uint32_t> Texels(const VideoPlayer& player) {
        std::vector<uint32_t> texels;
        IDirect3DTexture9* texture = player.GetTexture() ? player.GetTexture()->GetTexture() : nullptr;
        D3DLOCKED_RECT locked;
        if (texture == nullptr || texture->LockRect(0, &locked, nullptr, 0) != D3D_OK) return texels;
        for (int y = 0; y < player.GetTextureHeight(); ++y) {
            const uint32_t* row =
                reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
            texels.insert(texels.end(), row, row + player.GetTextureWidth());
        }
        texture->UnlockRect(0);
        return texels;
    }
    // Worker turns until n frames are ready.
    static void Ready(OgvWorkerThread& worker, int n) {
        for (int turn = 0; turn < 64 && VideoPlayer::GetClip()->GetNumReadyFrames() < n; ++turn) worker.Step();
    }

    Graphics::GraphicsDevice* graphics = nullptr;
    LogCapture log;
    ScratchFolder folder;
};

TEST(NextPowerOfTwoTest, SmallestPowerAtLeast) {
    const int cases[][2] = {{320, 512}, {240, 256}, {0, 1}, {-7, 1}, {1, 1}, {512, 512}, {513, 1024}};
    for (const auto& c : cases) EXPECT_EQ(c[1], NextPowerOfTwo(c[0])) << c[0];
}

TEST_F(VideoPlayerTest, WithoutAClip) {
    VideoPlayer player(0);
    ASSERT_NE(nullptr, VideoPlayer::GetManager());
    EXPECT_EQ(std::vector<std::string>{"Initializing Ogv Video Library (1.0 RC2)"}, log.Lines());
    EXPECT_STREQ("no video opened", player.GetInfoText());
    EXPECT_EQ(1.0f, player.GetDuration());
    EXPECT_EQ(0.0f, player.GetTimePosition());
    EXPECT_TRUE(player.Update());
    EXPECT_FALSE(player.UploadFrame());
    EXPECT_FALSE(player.Play());
    EXPECT_FALSE(player.SeekToFraction(0.5f));
    EXPECT_FALSE(player.IsPaused());
    player.Draw(0, 0, 64, 48);
    EXPECT_FALSE(player.GetTexture());
    // The empty texture: white, power-of-two sides.
    player.CreateEmptyTexture(graphics, 20, 9);
    EXPECT_EQ(32, player.GetTextureWidth());
    EXPECT_EQ(16, player.GetTextureHeight());
    EXPECT_EQ(std::vector<uint32_t>(32 * 16, kWhite), Texels(player));
}

// The intro window goes on at once when Open answers false.
TEST_F(VideoPlayerTest, FilesThatCannotBePlayed) {
    std::vector<Page> pages = SplitPages(SilentClip());
    pages.erase(pages.begin() + long(PageOf(pages, videoenc::kVideoSerial, 1)));
    const struct {
        const char* name;
        std::string path;
    } cases[] = {
        {"missing", folder / "none.ogv"},
        {"broken header", folder.Write("broken.ogv", Text(JoinPages(pages)))},
        {"no video stream", folder.Write("sound.ogv", Text(VorbisOnly()))},
        {"not Ogg", folder.Write("text.ogv", std::string(5000, 'x'))},
    };
    VideoPlayer player(0);
    for (const auto& c : cases) {
        EXPECT_FALSE(player.Open(graphics, c.path)) << c.name;
        EXPECT_EQ(nullptr, VideoPlayer::GetClip()) << c.name;
        EXPECT_FALSE(player.UploadFrame()) << c.name;
    }
    const std::vector<std::string> lines = log.Lines();
    EXPECT_NE(lines.end(),
              std::find(lines.begin(), lines.end(),
                        folder / "broken.ogv" +
                            ": OgvGenericException: [OgvVideoClip:580] - Error parsing Theora stream headers."));
    EXPECT_TRUE(VideoPlayer::GetManager()->GetClips().empty());
}

// White until the first frame; then the frame's R, G, B bytes as opaque texels, the rest of
// the power-of-two texture still white. The clock waits for half the queue.
TEST_F(VideoPlayerTest, PrecacheAndUpload) {
    const std::vector<Bytes> reference = ReferencePictures(SilentClip());
    platform::ScopedFakeClock clock(1000);
    ResetFrameClock();
    VideoPlayer player(0);
    ASSERT_TRUE(player.Open(graphics, folder.Write("silent.ogv", Text(SilentClip()))));
    EXPECT_EQ(64, player.GetTextureWidth());
    EXPECT_EQ(64, player.GetTextureHeight());
    EXPECT_EQ(std::vector<uint32_t>(64 * 64, kWhite), Texels(player));
    EXPECT_TRUE(VideoPlayer::GetClip()->GetAutoRestart());
    EXPECT_STREQ("vid: 64x48  tex: 64x64  len  0.5s  pos  0.00   0.0%", player.GetInfoText());

    OgvWorkerThread worker;
    Ready(worker, 7);
    clock.Advance(40);
    TickFrameClock();
    EXPECT_FALSE(player.Update()) << "7 of 16 ready";
    EXPECT_EQ(0.0f, player.GetTimePosition());
    EXPECT_FALSE(player.UploadFrame());
    Ready(worker, 8);
    EXPECT_TRUE(player.Update()) << "8 of 16 ready";
    EXPECT_FLOAT_EQ(0.04f, player.GetTimePosition());
    ASSERT_TRUE(player.UploadFrame());
    EXPECT_EQ(7, VideoPlayer::GetClip()->GetNumReadyFrames()) << "popped";

    const std::vector<uint32_t> texels = Texels(player);
    ASSERT_EQ(64u * 64, texels.size());
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            uint32_t expected = kWhite;
            if (y < 48) {
                const uint8_t* rgb = &reference[0][(y * 64 + x) * 3];
                expected = 0xFF000000u | uint32_t(rgb[0]) << 16 | uint32_t(rgb[1]) << 8 | rgb[2];
            }
            ASSERT_EQ(expected, texels[y * 64 + x]) << x << ", " << y;
        }
    }
    // Held no more, also while the queue runs low.
    EXPECT_TRUE(player.Update());
}

// A texture the device cannot make is neither filled nor locked; frames are still taken.
TEST_F(VideoPlayerTest, AFormatTheDeviceRefuses) {
    d3d9::GetNullScript().refusedFormats.push_back({0, D3DRTYPE_SURFACE, D3DFMT_A8R8G8B8});
    VideoPlayer player(0);
    ASSERT_TRUE(player.Open(graphics, folder.Write("silent.ogv", Text(SilentClip()))));
    ASSERT_TRUE(player.GetTexture());
    EXPECT_EQ(nullptr, player.GetTexture()->GetTexture());
    OgvWorkerThread worker;
    Ready(worker, 8);
    VideoPlayer::GetClip()->Update(0.04f);
    EXPECT_TRUE(player.UploadFrame());
    EXPECT_EQ(7, VideoPlayer::GetClip()->GetNumReadyFrames());
    EXPECT_TRUE(d3d9::GetErrors(device).empty());
}

// The intro as its window plays it, a 60th of a second a frame with the sound rendered on
// the loopback device: the position climbs to the end and wraps once, there.
TEST_F(VideoPlayerTest, TheIntroWithItsSoundWrapsOnceAtTheEnd) {
    const char* build = std::getenv("DM_BUILD_DIR");
    const std::string path = std::string(build != nullptr ? build : "..") + "/game/" + catalogue::videos::IntroPath();
    Audio::LoopbackAudio loopback;
    Audio::AudioDevice audio;
    ASSERT_TRUE(audio.IsInitialized());
    platform::ScopedFakeClock clock(1000);
    ResetFrameClock();
    {
        VideoPlayer player(0);
        ASSERT_TRUE(player.Open(graphics, path));
        OgvVideoClip* clip = VideoPlayer::GetClip();
        ASSERT_NE(nullptr, clip->GetAudioInterface()) << "the sound plays on the game's context";
        EXPECT_FLOAT_EQ(8.0f, player.GetDuration());
        EXPECT_EQ(1024, player.GetTextureWidth());
        EXPECT_EQ(512, player.GetTextureHeight());
        OgvWorkerThread worker;
        int wraps = 0;
        int uploads = 0;
        float previous = 0.0f;
        float atWrap = 0.0f;
        for (int frame = 0; frame < 9 * 60; ++frame) {
            for (int turn = 0; turn < 2 && clip->GetNumReadyFrames() < clip->GetNumPrecachedFrames(); ++turn)
                worker.Step();
            clock.Advance(frame % 3 == 2 ? 16 : 17);
            TickFrameClock();
            Audio::LoopbackAudio::Render(Audio::LoopbackAudio::kFrameSamples);
            player.Update();
            if (player.UploadFrame()) ++uploads;
            const float position = player.GetTimePosition();
            if (position < previous) {
                ++wraps;
                atWrap = previous;
            }
            previous = position;
        }
        EXPECT_EQ(1, wraps);
        EXPECT_GE(atWrap, 7.9f);
        EXPECT_GT(uploads, 190) << "about 25 pictures a second";
        log.Clear();
    }
    EXPECT_EQ("Destroyed video.", log.Lines().back());
    EXPECT_EQ(nullptr, VideoPlayer::GetManager());
}

}  // namespace
