#include "shell/ShellBase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/DebugOutput.h"
#include "shell/ShellHost.h"
#include "shell/ShellOptions.h"
#include "support/ScratchDir.h"

namespace {

// A device whose capture succeeds and leaves the zeroed buffer as it is.
class CapturingHost : public ShellHost {
public:
    bool CaptureBuffer(int, int, unsigned char*) override { return true; }
};

class ShellBaseTest : public ::testing::Test {
protected:
    ShellBaseTest() {
        host_.app_ = &shell_;
        shell_.host_ = &host_;
        host_.write_path_ = dir_.Folder();
    }

    ScratchDir dir_;
    ShellBase shell_;
    CapturingHost host_;
};

TEST_F(ShellBaseTest, IntAccessorsRefuseOutOfRangeAndReadOnlyIndices) {
    struct Case {
        int index;
        int value;
        bool accepted;
        int readBack;
    } cases[] = {
        {2, 0, false, 1024}, {2, 800, true, 800}, {3, -5, false, 768}, {3, 1, true, 1},    {6, 0, true, 0},
        {7, 0, false, 1},    {8, 2, true, 2},     {9, 3, false, 0},    {9, 2, true, 2},    {10, 4, false, 0},
        {11, -1, false, 0},  {11, 32, true, 32},  {12, 4, false, -1},  {12, 3, true, -1},  {13, 1, false, 0},
        {14, 5, true, 5},    {15, 9, true, 9},    {16, 1, false, 2},   {17, 1, false, -1}, {99, 1, false, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(shell_.SetInt(c.index, c.value), c.accepted) << "index " << c.index << " value " << c.value;
        EXPECT_EQ(shell_.GetInt(c.index), c.readBack) << "index " << c.index;
    }
    // Key rotation 3 and the position setters' side effect.
    EXPECT_EQ(std::vector<int>(host_.key_rotation_, host_.key_rotation_ + 4), (std::vector<int>{0, 3, 1, 2}));
    EXPECT_TRUE(shell_.options_->defaultPosition);
    EXPECT_TRUE(shell_.SetInt(5, -3));
    EXPECT_FALSE(shell_.options_->defaultPosition);
}

TEST_F(ShellBaseTest, OtherAccessors) {
    EXPECT_FALSE(shell_.SetBool(1, true));  // rotated is read only
    EXPECT_FALSE(shell_.GetBool(1));
    shell_.SetInt(3, 2000);
    EXPECT_TRUE(shell_.GetBool(1));  // width < height
    EXPECT_TRUE(shell_.SetBool(12, true));
    EXPECT_TRUE(shell_.options_->outputInfo);
    EXPECT_FALSE(shell_.SetBool(14, true));

    EXPECT_FALSE(shell_.SetFloat(1, 3.0f));
    EXPECT_EQ(shell_.GetFloat(1), -1.0f);
    EXPECT_TRUE(shell_.SetFloat(0, 3.0f));
    EXPECT_EQ(shell_.GetFloat(0), 3.0f);

    EXPECT_EQ(shell_.GetString(0), nullptr);
    EXPECT_TRUE(shell_.SetString(0, "dunmarch"));
    EXPECT_STREQ(shell_.GetString(0), "dunmarch");
    EXPECT_FALSE(shell_.SetString(1, "/elsewhere/"));
    EXPECT_STREQ(shell_.GetString(2), dir_.Folder().c_str());
    EXPECT_STREQ(shell_.GetString(6), "2.06.26.0649");
    EXPECT_EQ(shell_.GetString(7), nullptr);

    // The pointer position is handed out only while the pointer is inside.
    EXPECT_EQ(shell_.GetPointer(6), nullptr);
    host_.pointer_inside_ = true;
    host_.pointer_code_ = kPointerLeftDrag;
    EXPECT_EQ(shell_.GetPointer(6), host_.pointer_position_);
    EXPECT_EQ(shell_.GetInt(13), kPointerLeftDrag);
    EXPECT_EQ(shell_.GetPointer(1), nullptr);
}

uint32_t U32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}

TEST_F(ShellBaseTest, ScreenshotsAreNumberedPaddedBitmaps) {
    // 3 pixels wide: 9 bytes of pixels padded to a 12-byte row.
    shell_.SetInt(2, 3);
    shell_.SetInt(3, 2);
    unsigned char* buffer = nullptr;
    ASSERT_TRUE(shell_.CaptureScreen(3, 2, &buffer));
    for (int i = 0; i < 9; ++i) buffer[i] = static_cast<unsigned char>(i + 1);
    for (int i = 0; i < 9; ++i) buffer[12 + i] = static_cast<unsigned char>(0x80 + i);
    buffer[9] = buffer[10] = buffer[11] = 0xEE;  // the padding of the buffer is not written

    dir_.Write("ShellBase0000.bmp", "taken");
    ASSERT_EQ(shell_.SaveScreenshot("ShellBase", buffer), 0);
    ASSERT_EQ(shell_.SaveScreenshot("ShellBase", buffer), 0);
    delete[] buffer;

    EXPECT_EQ(dir_.Read("ShellBase0000.bmp"), "taken");
    const std::string bmp = dir_.Read("ShellBase0001.bmp");
    ASSERT_EQ(bmp.size(), 54u + 24u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(U32(bmp, 2), 78u);   // file size
    EXPECT_EQ(U32(bmp, 10), 54u);  // pixel offset
    EXPECT_EQ(U32(bmp, 14), 40u);
    EXPECT_EQ(U32(bmp, 18), 3u);
    EXPECT_EQ(U32(bmp, 22), 2u);
    EXPECT_EQ(U32(bmp, 26), 1u | 24u << 16);  // planes, bits per pixel
    EXPECT_EQ(U32(bmp, 30), 0u);
    EXPECT_EQ(U32(bmp, 34), 24u);  // image size
    const std::string row0 = bmp.substr(54, 12);
    EXPECT_EQ(row0, std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\0\0\0", 12));
    EXPECT_EQ(uint8_t(bmp[66]), 0x80);
    EXPECT_EQ(dir_.Read("ShellBase0002.bmp"), bmp);  // the next free index
    EXPECT_TRUE(dir_.Read("ShellBase0003.bmp").empty());
}

TEST_F(ShellBaseTest, CaptureAndSaveFailures) {
    unsigned char* buffer = reinterpret_cast<unsigned char*>(1);
    EXPECT_FALSE(shell_.CaptureScreen(0, 10, &buffer));
    EXPECT_EQ(buffer, nullptr);

    // Without a device there is no frame to capture.
    ShellHost deviceless;
    shell_.host_ = &deviceless;
    buffer = reinterpret_cast<unsigned char*>(1);
    EXPECT_FALSE(shell_.CaptureScreen(4, 4, &buffer));
    EXPECT_EQ(buffer, nullptr);
    shell_.host_ = &host_;

    // An unwritable folder: the save reports failure (11).
    host_.write_path_ = dir_.File("missing/");
    shell_.SetInt(2, 4);
    shell_.SetInt(3, 1);
    const unsigned char pixels[12] = {};
    EXPECT_EQ(shell_.SaveScreenshot("ShellBase", pixels), 11);
}

TEST_F(ShellBaseTest, AllIndicesTakenOverwritesTheFirst) {
    for (int i = 0; i < 10000; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Shot%04d.bmp", i);
        dir_.Write(name, "");
    }
    shell_.SetInt(2, 1);
    shell_.SetInt(3, 1);
    const unsigned char pixel[4] = {9, 8, 7, 0};
    testing::internal::CaptureStderr();
    EXPECT_EQ(shell_.SaveScreenshot("Shot", pixel), 0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("ShellBase: *WARNING* : Overwriting " + dir_.File("Shot0000.bmp")), std::string::npos) << err;
    EXPECT_EQ(dir_.Read("Shot0000.bmp").size(), 58u);
    EXPECT_EQ(dir_.Read("Shot9999.bmp").size(), 0u);
}

}  // namespace
