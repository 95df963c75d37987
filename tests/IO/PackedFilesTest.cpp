#include "IO/PackedFiles.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <clocale>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "../platform/TempFolder.h"
#include "IO/File.h"

namespace {

struct Item {
    std::string name;
    std::string bytes;
    bool folder = false;
};

// A 7z archive (LZMA2) of the items, made with libarchive's writer.
std::string Make7z(const std::vector<Item>& items) {
    std::vector<char> out(1 << 22);
    size_t used = 0;
    archive* a = archive_write_new();
    EXPECT_EQ(ARCHIVE_OK, archive_write_set_format_7zip(a));
    EXPECT_EQ(ARCHIVE_OK, archive_write_set_format_option(a, "7zip", "compression", "lzma2"));
    EXPECT_EQ(ARCHIVE_OK, archive_write_open_memory(a, out.data(), out.size(), &used));
    for (const Item& item : items) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, item.name.c_str());
        archive_entry_set_filetype(e, item.folder ? AE_IFDIR : AE_IFREG);
        archive_entry_set_perm(e, item.folder ? 0755 : 0644);
        archive_entry_set_size(e, static_cast<la_int64_t>(item.bytes.size()));
        EXPECT_EQ(ARCHIVE_OK, archive_write_header(a, e));
        if (!item.bytes.empty()) archive_write_data(a, item.bytes.data(), item.bytes.size());
        archive_entry_free(e);
    }
    EXPECT_EQ(ARCHIVE_OK, archive_write_close(a));
    archive_write_free(a);
    return std::string(out.data(), used);
}

// How the packed archives are stored: the table added to the first 32 bytes.
std::string Scramble(std::string bytes) {
    for (size_t k = 0; k < 32 && k < bytes.size(); ++k)
        bytes[k] = static_cast<char>(static_cast<uint8_t>(bytes[k]) + ArchiveInputStream::kScrambleTable[k]);
    return bytes;
}

std::string Noise(size_t n) {
    std::string s(n, '\0');
    uint32_t x = 12345;
    for (char& c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    return s;
}

std::string ReadAllOf(IO::File& file) {
    std::string s;
    char buf[4096];
    for (size_t n; (n = file.Read(buf, sizeof(buf))) > 0;) s.append(buf, n);
    return s;
}

class PackedFilesTest : public testing::Test {
protected:
    void TearDown() override { ReleasePackedFiles(); }
    TempFolder tmp;
};

}  // namespace

TEST(ArchiveInputStreamTest, UnscramblesExactlyTheFirst32Bytes) {
    TempFolder tmp;
    std::string plain = Noise(64);
    std::string path = tmp.Write("a.7z", Scramble(plain));
    ArchiveInputStream stream(path);
    ASSERT_TRUE(stream.IsOpen());

    struct Case {
        int64_t at;
        size_t ask, delivered;
    } cases[] = {{24, 16, 16}, {0, 5, 5}, {31, 2, 2}, {60, 16, 4}, {64, 8, 0}};
    for (const Case& c : cases) {
        int64_t position = c.at;
        ASSERT_EQ(ArchiveInputStream::kOk, stream.Seek(position, 0));
        char buf[16];
        size_t size = c.ask;
        ASSERT_EQ(ArchiveInputStream::kOk, stream.Read(buf, size));
        ASSERT_EQ(c.delivered, size) << c.at;
        EXPECT_EQ(plain.substr(c.at, size), std::string(buf, size)) << c.at;
    }
    // Asked for 16 at 24: 24..31 come out un-scrambled, 32..39 as stored.
    std::string stored = TempFolder::Read(path);
    EXPECT_NE(stored.substr(24, 8), plain.substr(24, 8));
    EXPECT_EQ(stored.substr(32, 8), plain.substr(32, 8));

    int64_t position = -8;
    EXPECT_EQ(ArchiveInputStream::kOk, stream.Seek(position, 2));
    EXPECT_EQ(56, position);
    position = 4;
    EXPECT_EQ(ArchiveInputStream::kOk, stream.Seek(position, 1));
    EXPECT_EQ(60, position);
    EXPECT_EQ(ArchiveInputStream::kSeekError, stream.Seek(position, 3));
}

TEST_F(PackedFilesTest, MountedEntriesOpenFromTheArchive) {
    std::string big = Noise(200000);
    std::string path = tmp.Write(
        "res.7z",
        Scramble(Make7z(
            {{"data", "", true}, {"data/ten.bin", "0123456789"}, {"data/Big.bin", big}, {"data/empty.txt", ""}})));
    ASSERT_TRUE(MountResourceArchive(path));
    EXPECT_EQ(3u, PackedFileRegistry::Count());  // the folder is not an entry
    EXPECT_EQ(nullptr, PackedFileRegistry::Find("data"));
    EXPECT_EQ(nullptr, PackedFileRegistry::Find("data/big.bin"));  // exact names

    std::unique_ptr<IO::File> ten(IO::File::OpenRead("data/ten.bin"));
    ASSERT_NE(nullptr, ten);
    EXPECT_TRUE(ten->IsPacked());
    EXPECT_EQ(10, ten->GetSize());
    EXPECT_EQ(0, ten->Seek(2, -4));
    EXPECT_EQ(6, ten->Tell());
    char buf[16] = {};
    EXPECT_EQ(4u, ten->Read(buf, 10));
    EXPECT_EQ("6789", std::string(buf, 4));
    EXPECT_EQ(0u, ten->Read(buf, 10));
    EXPECT_EQ(0, ten->Seek(1, -100));  // not clamped; reads outside deliver nothing
    EXPECT_EQ(0u, ten->Read(buf, 10));
    EXPECT_EQ(0u, ten->Write("x", 1));

    std::unique_ptr<IO::File> bigFile(IO::File::OpenRead("data/Big.bin"));
    ASSERT_NE(nullptr, bigFile);
    EXPECT_EQ(big, ReadAllOf(*bigFile));

    uint8_t* buffer = nullptr;
    uint32_t size = 0;
    ASSERT_EQ(10u, IO::ReadWholeFile("data/ten.bin", buffer, size));
    EXPECT_STREQ("0123456789", reinterpret_cast<char*>(buffer));
    std::free(buffer);
    size = 3;
    EXPECT_EQ(0u, IO::ReadWholeFile("data/empty.txt", buffer, size));
    EXPECT_EQ(nullptr, buffer);
    EXPECT_TRUE(IO::FileExists("data/empty.txt"));
}

TEST_F(PackedFilesTest, NamesBeyondAsciiAreKeptInUtf8WhateverTheLocale) {
    // The game never sets a locale: in the "C" locale the library has no
    // multibyte form of such a name.
    ASSERT_STREQ("C", std::setlocale(LC_CTYPE, nullptr));
    const std::string cafe = "dir/caf\xc3\xa9.txt", tokyo = "\xe6\x9d\xb1\xe4\xba\xac.bin";
    // The writer needs a UTF-8 locale for such names; the reader must not.
    ASSERT_NE(nullptr, std::setlocale(LC_CTYPE, "C.UTF-8"));
    const std::string archive = Scramble(Make7z({{"a.txt", "a"}, {cafe, "cafe"}, {tokyo, "tokyo"}, {"z.txt", "z"}}));
    std::setlocale(LC_CTYPE, "C");
    ASSERT_TRUE(MountResourceArchive(tmp.Write("res.7z", archive)));
    EXPECT_EQ(4u, PackedFileRegistry::Count());
    std::unique_ptr<IO::File> file(IO::File::OpenRead(cafe));
    ASSERT_NE(nullptr, file);
    EXPECT_EQ("cafe", ReadAllOf(*file));
    ASSERT_NE(nullptr, PackedFileRegistry::Find(tokyo));
    EXPECT_TRUE(PackedFileRegistry::Find(tokyo)->Extract());
}

TEST_F(PackedFilesTest, HandlesOnOneEntryReadOnTheirOwn) {
    ASSERT_TRUE(MountResourceArchive(tmp.Write("res.7z", Scramble(Make7z({{"a.txt", "abcdef"}})))));
    std::unique_ptr<IO::File> first(IO::File::OpenRead("a.txt"));
    std::unique_ptr<IO::File> second(IO::File::OpenRead("a.txt"));
    char buf[4] = {};
    first->Read(buf, 4);
    EXPECT_EQ(2u, first->Read(buf, 4));
    EXPECT_EQ(4u, second->Read(buf, 4));
    EXPECT_EQ("abcd", std::string(buf, 4));

    // Released entries stay alive for the handles still open on them.
    ReleasePackedFiles();
    EXPECT_EQ(0u, PackedFileRegistry::Count());
    EXPECT_EQ(0, second->Seek(0, 0));
    EXPECT_EQ(4u, second->Read(buf, 4));
}

TEST_F(PackedFilesTest, ArchiveEntryWinsOverAFolderFile) {
    ASSERT_TRUE(MountResourceArchive(tmp.Write("res.7z", Scramble(Make7z({{"config.xml", "packed"}})))));
    tmp.Write("config.xml", "folder");
    char* cwd = getcwd(nullptr, 0);
    ASSERT_EQ(0, chdir(tmp.Path().c_str()));
    std::unique_ptr<IO::File> file(IO::File::OpenRead("config.xml"));
    std::unique_ptr<IO::File> other(IO::File::OpenRead("Config.xml"));  // not a key: the folder file
    EXPECT_EQ(0, chdir(cwd));
    std::free(cwd);
    ASSERT_NE(nullptr, file);
    ASSERT_NE(nullptr, other);
    EXPECT_EQ("packed", ReadAllOf(*file));
    EXPECT_EQ("folder", ReadAllOf(*other));
}

TEST_F(PackedFilesTest, ArchivesThatCannotBeReadAreRefused) {
    std::string plain = Make7z({{"x.txt", "x"}});
    ASSERT_TRUE(MountResourceArchive(tmp.Write("good.7z", Scramble(Make7z({{"kept.txt", "k"}})))));

    EXPECT_FALSE(MountResourceArchive(tmp / "missing.7z"));
    EXPECT_FALSE(MountResourceArchive(tmp.Write("plain.7z", plain)));  // not scrambled
    EXPECT_FALSE(MountResourceArchive(tmp.Write("noise.7z", Noise(5000))));
    EXPECT_FALSE(MountResourceArchive(tmp.Write("empty.7z", "")));
    std::string cut = Scramble(plain);
    EXPECT_FALSE(MountResourceArchive(tmp.Write("cut.7z", cut.substr(0, cut.size() / 2))));
    EXPECT_EQ(1u, PackedFileRegistry::Count());  // the registry keeps what it held
    EXPECT_NE(nullptr, PackedFileRegistry::Find("kept.txt"));
}

TEST_F(PackedFilesTest, EntryThatFailsToExtractDoesNotOpen) {
    std::string path = tmp.Write("res.7z", Scramble(Make7z({{"gone.txt", "g"}, {"bad.txt", Noise(3000)}})));
    ASSERT_TRUE(MountResourceArchive(path));

    // The archive changes after mounting: one entry is no longer in it, and
    // then the archive is damaged.
    tmp.Write("res.7z", Scramble(Make7z({{"bad.txt", Noise(3000)}})));
    EXPECT_EQ(nullptr, IO::File::OpenRead("gone.txt"));
    EXPECT_FALSE(IO::FileExists("gone.txt"));

    std::string damaged = Scramble(Make7z({{"bad.txt", Noise(3000)}}));
    for (size_t i = 40; i < damaged.size() - 40; ++i) damaged[i] = static_cast<char>(damaged[i] ^ 0x5a);
    tmp.Write("res.7z", damaged);
    EXPECT_EQ(nullptr, IO::File::OpenRead("bad.txt"));
    std::shared_ptr<PackedFileEntry> entry = PackedFileRegistry::Find("bad.txt");
    ASSERT_NE(nullptr, entry);
    EXPECT_FALSE(entry->HasData());
}
