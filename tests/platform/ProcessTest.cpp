#include "platform/win32/Process.h"

#include <gtest/gtest.h>

#include <cerrno>  // program_invocation_short_name
#include <cstring>
#include <string>

TEST(ProcessTest, ModuleFileNameIsTheRunningProgram) {
    char path[4096];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    ASSERT_GT(length, 0u);
    EXPECT_EQ(length, std::strlen(path));
    EXPECT_EQ('/', path[0]);
    // The full path of the program this test runs in.
    const std::string name = std::string("/") + program_invocation_short_name;
    ASSERT_GT(std::strlen(path), name.size());
    EXPECT_EQ(name, path + std::strlen(path) - name.size());

    // Too small a buffer: cut, terminated, and the buffer size returned.
    char small[5];
    EXPECT_EQ(5u, GetModuleFileNameA(nullptr, small, sizeof(small)));
    EXPECT_EQ(std::string(path, 4), small);
}

TEST(ProcessTest, ComputerNameFitsSixteenCharacters) {
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof(name);
    ASSERT_TRUE(GetComputerNameA(name, &size));
    EXPECT_EQ(size, std::strlen(name));
    EXPECT_LE(size, static_cast<DWORD>(MAX_COMPUTERNAME_LENGTH));

    char tiny[1];
    DWORD tinySize = sizeof(tiny);
    if (size > 0) {
        EXPECT_FALSE(GetComputerNameA(tiny, &tinySize));
        EXPECT_EQ(size + 1, tinySize);
    }
}
