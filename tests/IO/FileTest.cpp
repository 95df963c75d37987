#include "IO/File.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "../platform/TempFolder.h"

namespace {
std::unique_ptr<IO::File> Open(const std::string& name) { return std::unique_ptr<IO::File>(IO::File::OpenRead(name)); }
}  // namespace

TEST(FileTest, ReadSeekTellAndSizeOnAFolderFile) {
    TempFolder tmp;
    tmp.Write("Res-Common/Data/Level.bin", "0123456789");
    auto file = Open(tmp / "res-common\\data\\LEVEL.BIN");
    ASSERT_NE(nullptr, file);
    EXPECT_FALSE(file->IsPacked());

    char buf[16] = {};
    EXPECT_EQ(3u, file->Read(buf, 3));
    EXPECT_EQ(3, file->Tell());
    EXPECT_EQ(10, file->GetSize());
    EXPECT_EQ(3, file->Tell());  // measuring keeps the position
    EXPECT_EQ(0, file->Skip(2));
    EXPECT_EQ(1u, file->Read(buf, 1));
    EXPECT_EQ('5', buf[0]);
    EXPECT_EQ(0, file->Seek(2, -4));  // origin first, then offset
    EXPECT_EQ(4u, file->Read(buf, 10));
    EXPECT_EQ(0, std::memcmp(buf, "6789", 4));
    EXPECT_EQ(0u, file->Read(buf, 10));
    EXPECT_EQ(-1, file->Seek(7, 0));
    EXPECT_EQ(0u, file->Write("x", 1));  // opened for reading
    file->Close();
    file->Close();
    EXPECT_EQ(0u, file->Read(buf, 1));
}

TEST(FileTest, OpenModes) {
    TempFolder tmp;
    for (int mode : {1, 2}) {
        std::string name = tmp / ("out" + std::to_string(mode) + ".dat");
        std::unique_ptr<IO::File> file(IO::File::Open(name, mode));
        ASSERT_NE(nullptr, file) << mode;
        EXPECT_EQ(4u, file->Write("abcd", 4));
        EXPECT_EQ(1u, file->WriteBlock("ef", 2));
        file.reset();
        EXPECT_EQ("abcdef", TempFolder::Read(name));
    }
    EXPECT_NE(nullptr, std::unique_ptr<IO::File>(IO::File::Open(tmp / "out1.dat", 0)));
    EXPECT_EQ(nullptr, IO::File::Open(tmp / "out1.dat", 3));
    EXPECT_EQ(nullptr, IO::File::Open(tmp / "out1.dat", -1));
    EXPECT_EQ(nullptr, IO::File::OpenWrite(tmp / "missing/folder/x.dat"));
}

TEST(FileTest, BadInputGivesNull) {
    TempFolder tmp;
    tmp.MakeFolder("folder");
    EXPECT_EQ(nullptr, Open(tmp / "folder"));  // Linux would open a folder for reading
    EXPECT_EQ(nullptr, Open(tmp / "missing.xml"));
    EXPECT_EQ(nullptr, Open(""));
    EXPECT_FALSE(IO::FileExists(tmp / "folder"));
    EXPECT_FALSE(IO::FileExists(tmp / "missing.xml"));

    uint8_t* buffer = reinterpret_cast<uint8_t*>(1);
    uint32_t size = 77;
    EXPECT_EQ(0u, IO::ReadWholeFile(tmp / "folder", buffer, size));
    EXPECT_EQ(nullptr, buffer);
    EXPECT_EQ(77u, size);
}

TEST(FileTest, ReadWholeFileEndsInAZeroAndRefusesEmptyFiles) {
    TempFolder tmp;
    std::string text = tmp.Write("text.xml", "<a/>");
    std::string empty = tmp.Write("empty.xml", "");

    uint8_t* buffer = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(4u, IO::ReadWholeFile(text, buffer, size));
    EXPECT_EQ(4u, size);
    EXPECT_STREQ("<a/>", reinterpret_cast<char*>(buffer));
    std::free(buffer);

    size = 99;
    EXPECT_EQ(0u, IO::ReadWholeFile(empty, buffer, size));
    EXPECT_EQ(nullptr, buffer);
    EXPECT_EQ(99u, size);

    std::vector<uint8_t> bytes;
    ASSERT_TRUE(IO::ReadWholeFile(text, bytes));
    EXPECT_EQ(std::string("<a/>"), std::string(bytes.begin(), bytes.end()));
    EXPECT_FALSE(IO::ReadWholeFile(empty, bytes));
    EXPECT_FALSE(IO::ReadWholeFile(tmp / "missing.xml", bytes));
}

TEST(FileTest, FileThatShrinksAfterOpeningIsReadAsItIsNow) {
    TempFolder tmp;
    std::string name = tmp.Write("shrinking.bin", std::string(1000, 'x'));
    auto file = Open(name);
    ASSERT_NE(nullptr, file);
    std::filesystem::resize_file(name, 10);
    uint8_t* buffer = nullptr;
    uint32_t size = 0;
    EXPECT_EQ(10u, file->ReadAll(buffer, size));
    EXPECT_EQ(10u, size);
    EXPECT_EQ(0, buffer[10]);
    std::free(buffer);

    auto second = Open(name);
    std::filesystem::resize_file(name, 0);
    size = 5;
    EXPECT_EQ(0u, second->ReadAll(buffer, size));
    EXPECT_EQ(nullptr, buffer);
    EXPECT_EQ(5u, size);
}

TEST(FileTest, CreateUnderRootNeedsARoot) {
    TempFolder tmp;
    ASSERT_EQ("", IO::GetRootFolder());
    EXPECT_EQ(nullptr, IO::File::CreateUnderRoot("dm-root-test.dat"));
    EXPECT_FALSE(std::filesystem::exists("/dm-root-test.dat"));

    IO::SetRootFolder(tmp.Path());
    std::unique_ptr<IO::File> file(IO::File::CreateUnderRoot("cache.dat"));
    IO::SetRootFolder("");
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(5u, file->Write("hello", 5));
    EXPECT_EQ(0, file->Seek(0, 0));
    char buf[8] = {};
    EXPECT_EQ(5u, file->Read(buf, 8));  // "w+" reads back
    EXPECT_STREQ("hello", buf);
}

TEST(FileTest, ListDirectoryGivesSortedRegularFilesOnly) {
    TempFolder tmp;
    tmp.Write("defs/b.xml", "b");
    tmp.Write("defs/a.xml", "a");
    tmp.MakeFolder("defs/.svn");
    tmp.MakeFolder("defs/nested");
    tmp.Write("maps/m1.xml", "m");

    using V = std::vector<std::string>;
    EXPECT_EQ((V{"a.xml", "b.xml"}), ListDirectory(tmp / "defs"));
    EXPECT_EQ((V{"a.xml", "b.xml"}), ListDirectory(tmp / "defs/"));
    EXPECT_EQ((V{"a.xml", "b.xml"}), ListDirectory(tmp.Path() + "\\DEFS\\"));
    std::vector<std::string>& shared = ListDirectory(tmp / "maps");
    EXPECT_EQ((V{"m1.xml"}), shared);
    EXPECT_EQ(&shared, &ListDirectory(tmp / "missing"));
    EXPECT_TRUE(shared.empty());
    EXPECT_TRUE(ListDirectory("").empty());
}

TEST(FileTest, CopyMoveReplaceAndDelete) {
    TempFolder tmp;
    std::string a = tmp.Write("a.dat", "A");
    std::string b = tmp.Write("b.dat", "B");
    EXPECT_FALSE(IO::CopyFile(a, b));  // fails when the destination exists
    EXPECT_TRUE(IO::CopyFile(a, tmp / "c.dat"));
    EXPECT_TRUE(IO::MoveFile(tmp / "c.dat", tmp / "d.dat"));
    EXPECT_TRUE(IO::ReplaceFile(b, tmp / "d.dat"));
    EXPECT_EQ("A", TempFolder::Read(b));
    EXPECT_FALSE(IO::FileExists(tmp / "d.dat"));
    EXPECT_TRUE(IO::DeleteFile(a));
    EXPECT_FALSE(IO::DeleteFile(a));
}
