// Runs the dunmarch program headless and checks its exit code, its start-up
// and shutdown order (the lifecycle lines of DUNMARCH_TRACE) and its files.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/RunDunmarch.h"
#include "support/ScratchDir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::Count;
using testsupport::ExpectInOrder;

using testsupport::BuildGameDir;

class DunmarchTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fs::exists(BuildGameDir() + "/dunmarch")) << BuildGameDir(); }
};

TEST_F(DunmarchTest, QuitAfterFrameShutsDownInOrder) {
    const testsupport::ProgramResult r = testsupport::RunDunmarch(BuildGameDir(), "-qaf=2");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(Count(r.output, "[trace] frame presented"), 3) << r.output;
    ExpectInOrder(r.output, {
                                "[trace] game created",
                                "[trace] window created: DunmarchLiteClass 1024x768",
                                "[trace] Direct3D device created: 1024x768",
                                "[trace] XInputEnable(1)",
                                "[trace] game initialised",
                                "[trace] frame presented",
                                "[trace] game shut down",
                                "[trace] Direct3D device released",
                                "[trace] window destroyed",
                                "[trace] game deleted",
                            });
    EXPECT_EQ(Count(r.output, "failed!"), 0) << r.output;
}

TEST_F(DunmarchTest, QuitAfterFrameZeroRendersOneFrame) {
    const testsupport::ProgramResult r = testsupport::RunDunmarch(BuildGameDir(), "-qaf=0 -info '-bogus=a b'");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(Count(r.output, "[trace] frame presented"), 1) << r.output;
    // The arguments reach the shell as one command line, blanks quoted again.
    EXPECT_NE(r.output.find("Command-line: -qaf=0 -info -bogus=\"a b\"\n"), std::string::npos) << r.output;
}

TEST_F(DunmarchTest, QuitAfterTime) {
    const testsupport::ProgramResult r = testsupport::RunDunmarch(BuildGameDir(), "-qat=0.2");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_GE(Count(r.output, "[trace] frame presented"), 1) << r.output;
}

TEST_F(DunmarchTest, OptionFileAndScreenshotInTheProgramFolder) {
    ScratchDir folder;
    fs::copy_file(BuildGameDir() + "/dunmarch", folder.File("dunmarch"));
    folder.Write("ShellCL.txt", "-qaf=5\r\n-c=1\r\n-width=640");
    const testsupport::ProgramResult r = testsupport::RunDunmarch(folder.Folder(), "-qaf=1 -width=320 -height=200");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("Loaded command-line options from " + folder.File("ShellCL.txt") + ".\n"),
              std::string::npos)
        << r.output;
    EXPECT_EQ(Count(r.output, "[trace] frame presented"), 2) << r.output;
    EXPECT_NE(r.output.find("window created: DunmarchLiteClass 320x200"), std::string::npos) << r.output;
    EXPECT_EQ(fs::file_size(folder.File("ShellBase0000.bmp")), 54u + 320u * 3u * 200u);
    EXPECT_FALSE(fs::exists(folder.File("ShellBase0001.bmp")));
}

// The little-endian value of n bytes at an offset of a file.
uint32_t Read(const std::string& bytes, size_t offset, int n) {
    uint32_t value = 0;
    for (int i = n - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

TEST_F(DunmarchTest, ScreenshotsOfTheCaptureRangeHoldTheRenderedFrames) {
    ScratchDir folder;
    fs::copy_file(BuildGameDir() + "/dunmarch", folder.File("dunmarch"));
    const testsupport::ProgramResult r = testsupport::RunDunmarch(folder.Folder(), "-qaf=3 -c=1-2");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(Count(r.output, "[trace] frame presented"), 4) << r.output;
    EXPECT_FALSE(fs::exists(folder.File("ShellBase0002.bmp")));
    for (const char* name : {"ShellBase0000.bmp", "ShellBase0001.bmp"}) {
        const std::string bmp = folder.Read(name);
        ASSERT_EQ(bmp.size(), 54u + 1024u * 768u * 3u) << name;
        EXPECT_EQ(bmp.substr(0, 2), "BM") << name;
        EXPECT_EQ(Read(bmp, 2, 4), bmp.size()) << name;
        EXPECT_EQ(Read(bmp, 18, 4), 1024u) << name;
        EXPECT_EQ(Read(bmp, 22, 4), 768u) << name;
        EXPECT_EQ(Read(bmp, 28, 2), 24u) << name;
        // Without the sample data there is no cursor image: the frames hold the intro's black.
        const size_t coloured = bmp.find_first_not_of('\0', 54);
        EXPECT_EQ(coloured, std::string::npos)
            << name << ": byte " << coloured << " is " << static_cast<int>(static_cast<unsigned char>(bmp[coloured]));
    }
}

TEST_F(DunmarchTest, WithoutOpenGL33TheDeviceIsRefusedAndTheProgramFails) {
    const testsupport::ProgramResult r =
        testsupport::RunDunmarch(BuildGameDir(), "-qaf=0", "MESA_GL_VERSION_OVERRIDE=3.1");
    EXPECT_NE(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("InitAPI failed!"), std::string::npos) << r.output;
    EXPECT_EQ(Count(r.output, "[trace] frame presented"), 0) << r.output;
    // The window opened before the device is closed again, in order.
    ExpectInOrder(r.output,
                  {"[trace] window created", "InitAPI failed!", "[trace] window destroyed", "[trace] game deleted"});
}

// Without a display and without a driver named, nothing falls back to an
// invisible window: one line says why and how to run headless.
TEST_F(DunmarchTest, WithoutADisplayStartUpFailsWithOneLine) {
    const char* const line =
        "No display found: DISPLAY and WAYLAND_DISPLAY are unset or name no server. To run without a display, set "
        "SDL_VIDEODRIVER=offscreen.\n";
    for (const char* display : {"DISPLAY=", "DISPLAY=:4711"}) {
        const testsupport::ProgramResult r = testsupport::RunDunmarch(
            BuildGameDir(), "-qaf=0", std::string("SDL_VIDEODRIVER= WAYLAND_DISPLAY= ") + display);
        EXPECT_EQ(r.exitCode, 1) << display << "\n" << r.output;
        EXPECT_EQ(Count(r.output, line), 1) << display << "\n" << r.output;
        EXPECT_NE(r.output.find("InitOS failed!"), std::string::npos) << r.output;
        EXPECT_EQ(Count(r.output, "XDG_RUNTIME_DIR"), 0) << r.output;
        EXPECT_EQ(Count(r.output, "[trace] window created"), 0) << r.output;
    }
}

TEST_F(DunmarchTest, FailedStartupExitsWithAnError) {
    const testsupport::ProgramResult r =
        testsupport::RunDunmarch(BuildGameDir(), "-qaf=0", "SDL_VIDEODRIVER=no-such-driver");
    EXPECT_NE(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("InitOS failed!"), std::string::npos) << r.output;
    EXPECT_EQ(Count(r.output, "[trace] frame presented"), 0) << r.output;
    ExpectInOrder(r.output, {"[trace] game created", "[trace] game deleted"});
}

}  // namespace
