// Runs the dunmarch program headless on the sample data: the whole start-up
// and shutdown of the game, and a screenshot of the last frame with the
// cursor at the pointer.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/RunDunmarch.h"
#include "support/ScratchDir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::Count;
using testsupport::ExpectInOrder;

std::string BuildDir() {
    const char* dir = std::getenv("DM_BUILD_DIR");
    return dir ? dir : "";
}

uint32_t Read(const std::string& bytes, size_t offset, int n) {
    uint32_t value = 0;
    for (int i = n - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

class GameRunTest : public ::testing::Test {
protected:
    // A game folder of its own: the program and links to the sample data, so
    // the screenshot lands here; the per-user data folder is a scratch one.
    void SetUp() override {
        const std::string game = BuildDir() + "/game";
        ASSERT_TRUE(fs::exists(game + "/dunmarch")) << game;
        ASSERT_TRUE(fs::exists(game + "/config.xml")) << "build the sample_data target";
        fs::create_directories(root_.File("game"));
        fs::create_directories(root_.File("user"));
        fs::copy_file(game + "/dunmarch", GameDir() + "dunmarch");
        for (const char* entry : {"config.xml", "res-pc", "res-common"})
            fs::create_symlink(game + "/" + entry, GameDir() + entry);
        if (fs::exists(BuildDir() + "/Data")) fs::create_directory_symlink(BuildDir() + "/Data", root_.File("Data"));
    }

    std::string GameDir() const { return root_.File("game/"); }

    int Run(const std::string& arguments) {
        const testsupport::ProgramResult result =
            testsupport::RunDunmarch(GameDir(), arguments, "XDG_DATA_HOME='" + root_.File("user") + "'");
        output_ = result.output;
        return result.exitCode;
    }

    ScratchDir root_;
    std::string output_;
};

TEST_F(GameRunTest, StartsEveryServiceRunsElevenFramesAndShutsDownInOrder) {
    ASSERT_EQ(Run("-qaf=10"), 0) << output_;
    EXPECT_EQ(Count(output_, "[trace] frame presented"), 11) << output_;
    ExpectInOrder(output_, {
                               "[trace] game created",
                               "[trace] window created",
                               "[trace] Direct3D device created",
                               "[trace] audio device opened",
                               "[trace] in-game window created",
                               "[trace] in-game window initialised",
                               "[trace] intro window entered",
                               "[trace] game initialised",
                               "[trace] frame presented",
                               "[trace] intro window left",
                               "[trace] in-game window shut down",
                               "[trace] in-game window deleted",
                               "[trace] audio device shut down",
                               "[trace] game shut down",
                               "[trace] Direct3D device released",
                               "[trace] window destroyed",
                               "[trace] game deleted",
                           });
    // The sound output opened on the null driver, once.
    EXPECT_EQ(Count(output_, "[trace] audio device opened"), 1) << output_;
    EXPECT_EQ(Count(output_, "no output device"), 0) << output_;
    // Nothing asked for a missing service, failed a check or failed to load.
    for (const char* fault : {"Service expired", "Service already exists", "Program Error", "Assertion failed",
                              "SHADER COMPILER ERROR", "failed!", "not found"})
        EXPECT_EQ(Count(output_, fault), 0) << fault << "\n" << output_;
}

TEST_F(GameRunTest, TheLastFrameShowsTheCursorAtThePointer) {
    ASSERT_EQ(Run("-qaf=10 -c=10"), 0) << output_;
    std::vector<fs::path> shots;
    for (const fs::directory_entry& e : fs::directory_iterator(GameDir()))
        if (e.path().extension() == ".bmp") shots.push_back(e.path());
    ASSERT_EQ(shots.size(), 1u) << output_;
    const std::string bmp = root_.Read("game/" + shots[0].filename().string());
    ASSERT_EQ(bmp.size(), 54u + 1024u * 768u * 3u);
    ASSERT_EQ(Read(bmp, 28, 2), 24u);

    // Bottom-up rows of blue, green, red. Headless, the pointer never moved
    // from the client area's top-left corner: the intro's black frame holds
    // only the 32 x 32 arrow there.
    int coloured = 0, outside = 0;
    for (int row = 0; row < 768; ++row) {
        const int y = 767 - row;
        for (int x = 0; x < 1024; ++x) {
            const size_t at = 54 + (size_t(row) * 1024 + x) * 3;
            if (bmp[at] == 0 && bmp[at + 1] == 0 && bmp[at + 2] == 0) continue;
            ++coloured;
            if (x >= 32 || y >= 32) ++outside;
        }
    }
    EXPECT_GT(coloured, 20);
    EXPECT_EQ(outside, 0);
}

}  // namespace
