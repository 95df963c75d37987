#include "platform/win32/ShellFolders.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/win32/WideFileApi.h"
#include "platform/win32/WidePath.h"
#include "support/ScratchFolder.h"

namespace {

// The folder the query gives, or "<failed>".
std::string LocalAppData() {
    wchar_t buffer[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, buffer) != S_OK) return "<failed>";
    return platform::WideToPath(buffer);
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

TEST(ShellFoldersTest, LocalAppDataFollowsXdgThenHomeAndExists) {
    ScratchFolder tmp;
    ScopedEnv home("HOME", tmp.Path().c_str());
    {
        ScopedEnv xdg("XDG_DATA_HOME", (tmp / "xdg/data//").c_str());
        EXPECT_EQ(tmp / "xdg/data", LocalAppData());  // no trailing separator, created
        EXPECT_TRUE(IsFolder(tmp / "xdg/data"));
    }
    {
        ScopedEnv xdg("XDG_DATA_HOME", "relative/is/ignored");
        EXPECT_EQ(tmp / ".local/share", LocalAppData());
        EXPECT_TRUE(IsFolder(tmp / ".local/share"));
    }
    {
        ScopedEnv xdg("XDG_DATA_HOME", nullptr);
        EXPECT_EQ(tmp / ".local/share", LocalAppData());
    }
}

TEST(ShellFoldersTest, RefusesOtherFoldersAndPathsTooLong) {
    ScratchFolder tmp;
    wchar_t buffer[MAX_PATH] = {L'x'};
    EXPECT_EQ(E_INVALIDARG, SHGetFolderPathW(nullptr, 0x0005 /* CSIDL_PERSONAL */, nullptr, 0, buffer));
    EXPECT_EQ(L'\0', buffer[0]);
    EXPECT_EQ(E_INVALIDARG, SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, nullptr));

    ScopedEnv xdg("XDG_DATA_HOME", (tmp.Path() + "/" + std::string(300, 'd')).c_str());
    EXPECT_NE(S_OK, SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, buffer));
}

TEST(ShellFoldersTest, WidePathsRoundTripAnyLinuxName) {
    // UTF-8 becomes code points; a byte that is not UTF-8 survives as an escape.
    const std::string names[] = {"plain",       "Jos\xc3\xa9", "\xd0\x98\xd0\xbc\xd1\x8f",
                                 "bad\xff\xfe", "\xe2\x82",    "\xf0\x9f\x8e\xae"};
    for (const std::string& name : names) EXPECT_EQ(name, platform::WideToPath(platform::PathToWide(name)));
    EXPECT_EQ(std::wstring(L"Jos\u00e9"), platform::PathToWide("Jos\xc3\xa9"));
}

TEST(ShellFoldersTest, WideFileCalls) {
    ScratchFolder tmp;
    const std::wstring folder = platform::PathToWide(tmp / "Dunmarch_DATA/");
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(folder.c_str()));
    EXPECT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryW(folder.c_str(), nullptr));                             // exists already
    EXPECT_FALSE(CreateDirectoryW(platform::PathToWide(tmp / "a/b").c_str(), nullptr));  // one level only
    EXPECT_NE(0u, GetFileAttributesW(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY);

    const std::wstring file = folder + L"caf\u00e9.dat";
    const std::wstring other = folder + L"other.dat";
    FILE* f = _wfopen(file.c_str(), L"wb");
    ASSERT_NE(nullptr, f);
    std::fputs("new", f);
    std::fclose(f);
    EXPECT_EQ("new", ScratchFolder::Read(tmp / "Dunmarch_DATA/caf\xc3\xa9.dat"));
    EXPECT_EQ(nullptr, _wfopen(folder.c_str(), L"rb"));  // a folder is not a file

    tmp.Write("Dunmarch_DATA/other.dat", "old");
    EXPECT_FALSE(MoveFileExW(file.c_str(), other.c_str(), 0));  // the destination exists
    EXPECT_TRUE(MoveFileExW(file.c_str(), other.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ("new", ScratchFolder::Read(tmp / "Dunmarch_DATA/other.dat"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(file.c_str()));

    EXPECT_FALSE(DeleteFileW(folder.c_str()));  // never a folder
    EXPECT_TRUE(DeleteFileW(other.c_str()));
    EXPECT_FALSE(DeleteFileW(other.c_str()));
}
