#include "platform/win32/FileSystem.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "TempFolder.h"

TEST(FileSystemTest, ResolvePathMatchesEachComponentIgnoringCase) {
    TempFolder tmp;
    tmp.Write("Res-Common/Data/Defenders.xml", "x");
    tmp.MakeFolder("Res-Common/Shaders");

    struct Case {
        std::string name, expected;
    } cases[] = {
        {"Res-Common/Data/Defenders.xml", "Res-Common/Data/Defenders.xml"},    // exact
        {"res-common\\data\\DEFENDERS.XML", "Res-Common/Data/Defenders.xml"},  // separators and case
        {"RES-COMMON/data/new.xml", "Res-Common/Data/new.xml"},                // missing file keeps its name
        {"res-common/missing/a.xml", "Res-Common/missing/a.xml"},              // rest kept as written
        {"res-common/shaders/", "Res-Common/Shaders/"},
    };
    for (const Case& c : cases) EXPECT_EQ(tmp / c.expected, platform::ResolvePath(tmp / c.name)) << c.name;
    EXPECT_EQ("", platform::ResolvePath(""));
}

TEST(FileSystemTest, OpenFileReadsOnlyRegularFiles) {
    TempFolder tmp;
    tmp.Write("Data/Config.XML", "abc");
    tmp.MakeFolder("Folder");

    FILE* f = platform::OpenFile(tmp / "data\\config.xml", "rb");
    ASSERT_NE(nullptr, f);
    char buf[4] = {};
    EXPECT_EQ(3u, std::fread(buf, 1, 3, f));
    std::fclose(f);

    EXPECT_EQ(nullptr, platform::OpenFile(tmp / "folder", "rb"));
    EXPECT_EQ(nullptr, platform::OpenFile(tmp / "missing", "rb"));
    EXPECT_EQ(nullptr, platform::OpenFile("", "rb"));

    FILE* w = platform::OpenFile(tmp / "DATA/written.bin", "wb");
    ASSERT_NE(nullptr, w);
    std::fclose(w);
    EXPECT_TRUE(platform::IsRegularFile(tmp / "Data/written.bin"));
    EXPECT_TRUE(platform::IsDirectory(tmp / "FOLDER"));
}

TEST(FileSystemTest, DeleteCopyMove) {
    TempFolder tmp;
    std::string a = tmp.Write("a.txt", "alpha");
    tmp.Write("b.txt", "beta");
    tmp.MakeFolder("dir");

    EXPECT_FALSE(CopyFileA(a.c_str(), (tmp / "b.txt").c_str(), TRUE));  // fail if exists
    EXPECT_EQ("beta", TempFolder::Read(tmp / "b.txt"));
    EXPECT_TRUE(CopyFileA(a.c_str(), (tmp / "b.txt").c_str(), FALSE));
    EXPECT_EQ("alpha", TempFolder::Read(tmp / "b.txt"));
    EXPECT_FALSE(CopyFileA(a.c_str(), (tmp / "A.TXT").c_str(), FALSE));  // onto itself
    EXPECT_EQ("alpha", TempFolder::Read(a));
    EXPECT_FALSE(CopyFileA((tmp / "dir").c_str(), (tmp / "c.txt").c_str(), FALSE));

    EXPECT_FALSE(MoveFileA(a.c_str(), (tmp / "b.txt").c_str()));  // destination exists
    EXPECT_TRUE(MoveFileA((tmp / "A.txt").c_str(), (tmp / "moved.txt").c_str()));
    EXPECT_EQ("alpha", TempFolder::Read(tmp / "moved.txt"));
    EXPECT_FALSE(platform::IsRegularFile(a));

    EXPECT_FALSE(DeleteFileA((tmp / "dir").c_str()));
    EXPECT_TRUE(platform::IsDirectory(tmp / "dir"));
    EXPECT_TRUE(DeleteFileA((tmp / "MOVED.TXT").c_str()));
    EXPECT_FALSE(DeleteFileA((tmp / "moved.txt").c_str()));
}

TEST(FileSystemTest, ReplaceFileSwapsContentAndRemovesReplacement) {
    TempFolder tmp;
    std::string target = tmp.Write("settings.dat", "old");
    chmod(target.c_str(), 0640);
    std::string source = tmp.Write("settings.new", "new content");

    EXPECT_TRUE(ReplaceFileA(target.c_str(), source.c_str(), nullptr, REPLACEFILE_WRITE_THROUGH, nullptr, nullptr));
    EXPECT_EQ("new content", TempFolder::Read(target));
    EXPECT_FALSE(platform::IsRegularFile(source));
    struct stat st;
    ASSERT_EQ(0, stat(target.c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 0777);

    // With a backup the old content stays under that name.
    source = tmp.Write("settings.new", "third");
    EXPECT_TRUE(ReplaceFileA(target.c_str(), source.c_str(), (tmp / "settings.bak").c_str(), 0, nullptr, nullptr));
    EXPECT_EQ("third", TempFolder::Read(target));
    EXPECT_EQ("new content", TempFolder::Read(tmp / "settings.bak"));

    // Both files must exist; nothing is left behind on failure.
    EXPECT_FALSE(ReplaceFileA((tmp / "none.dat").c_str(), target.c_str(), nullptr, 0, nullptr, nullptr));
    EXPECT_FALSE(ReplaceFileA(target.c_str(), (tmp / "none.new").c_str(), nullptr, 0, nullptr, nullptr));
    EXPECT_EQ("third", TempFolder::Read(target));
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(tmp.Path())) files += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(2, files);
}

TEST(FileSystemTest, FindListsRegularFilesSorted) {
    TempFolder tmp;
    tmp.Write("list/b.xml", "bb");
    tmp.Write("list/a.xml", "a");
    tmp.Write("list/C.txt", "ccc");
    tmp.MakeFolder("list/.svn");
    tmp.MakeFolder("list/sub");

    auto collect = [](const std::string& pattern) {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE h = FindFirstFileA(pattern.c_str(), &data);
        if (h == INVALID_HANDLE_VALUE) return names;
        do names.push_back(data.cFileName);
        while (FindNextFileA(h, &data));
        EXPECT_TRUE(FindClose(h));
        return names;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ((V{"C.txt", "a.xml", "b.xml"}), collect(tmp / "list/*"));
    EXPECT_EQ((V{"C.txt", "a.xml", "b.xml"}), collect(tmp.Path() + "\\LIST\\*"));
    EXPECT_EQ((V{"a.xml", "b.xml"}), collect(tmp / "list/*.XML"));
    EXPECT_EQ(V{}, collect(tmp / "missing/*"));
    EXPECT_EQ(V{}, collect(tmp / "list/sub/*"));

    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((tmp / "list/b.xml").c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    EXPECT_EQ(2u, data.nFileSizeLow);
    EXPECT_FALSE(FindNextFileA(h, &data));
    FindClose(h);
}
