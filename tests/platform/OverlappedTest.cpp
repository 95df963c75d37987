#include "platform/win32/Overlapped.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class OverlappedFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("dm_overlapped_" + std::to_string(::getpid()));
        fs::create_directories(dir_ / "Sounds");
        std::ofstream(dir_ / "Sounds" / "BtnPress.wav", std::ios::binary) << "0123456789";
    }
    void TearDown() override { fs::remove_all(dir_); }

    HANDLE Open(const std::string& path) {
        return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    fs::path dir_;
};

}  // namespace

TEST_F(OverlappedFiles, NamesOpenWithEitherSeparatorAndAnyCase) {
    const std::string root = dir_.string();
    for (const std::string& name :
         {root + "/Sounds/BtnPress.wav", root + "/sounds/btnpress.wav", root + "\\SOUNDS\\btnpress.WAV"}) {
        HANDLE file = Open(name);
        ASSERT_NE(INVALID_HANDLE_VALUE, file) << name;
        DWORD high = 99;
        EXPECT_EQ(10u, GetFileSize(file, &high));
        EXPECT_EQ(0u, high);
        EXPECT_TRUE(CloseHandle(file));
    }
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(root + "/sounds/missing.wav"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(root + "/Sounds"));  // folders are not files
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
}

TEST_F(OverlappedFiles, AReadIsPendingUntilItsResultIsTaken) {
    HANDLE file = Open((dir_ / "Sounds" / "BtnPress.wav").string());
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    char buffer[8] = {};
    OVERLAPPED overlapped = {};
    overlapped.Offset = 4;
    EXPECT_FALSE(ReadFile(file, buffer, sizeof(buffer), nullptr, &overlapped));
    EXPECT_EQ(static_cast<DWORD>(ERROR_IO_PENDING), GetLastError());
    DWORD bytes = 0;
    EXPECT_TRUE(GetOverlappedResult(file, &overlapped, &bytes, TRUE));
    EXPECT_EQ(6u, bytes);  // short at the end of the file
    EXPECT_EQ(std::string("456789"), std::string(buffer, 6));
    EXPECT_FALSE(ReadFile(file, buffer, sizeof(buffer), nullptr, nullptr));  // only overlapped reads
    EXPECT_TRUE(CloseHandle(file));
}
