#include "IO/MemoryStream.h"

#include "IO/File.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Content(MemoryStream& s) {
    int n = 0;
    const char* p = s.GetBuffer(n);
    return p ? Bytes(p, p + n) : Bytes();
}

void Fill(MemoryStream& s, const Bytes& bytes) {
    s.Clear();
    if (!bytes.empty()) {
        ASSERT_EQ(1, s.Write(bytes.data(), static_cast<int>(bytes.size())));
    }
}

bool HasFailed(const MemoryStream& s) { return s.Tell() == -1; }

TEST(MemoryStream, EncodesValuesAsLittleEndianBytes) {
    struct Case {
        const char* name;
        std::function<void(MemoryStream&)> write;
        Bytes expected;
    };
    const std::vector<Case> cases = {
        {"int32 then string",
         [](MemoryStream& s) {
             s.WriteInt32(1);
             s.WriteString("ab");
         },
         {0x01, 0, 0, 0, 0x02, 0, 0, 0, 0x61, 0x62}},
        {"float 1.0", [](MemoryStream& s) { s.WriteFloat(1.0f); }, {0, 0, 0x80, 0x3F}},
        {"negative int32", [](MemoryStream& s) { s.WriteInt32(-2); }, {0xFE, 0xFF, 0xFF, 0xFF}},
        {"uint32", [](MemoryStream& s) { s.WriteUInt32(0xA1B2C3D4u); }, {0xD4, 0xC3, 0xB2, 0xA1}},
        {"int64 low half first", [](MemoryStream& s) { s.WriteInt64(0x0102030405060708LL); }, {8, 7, 6, 5, 4, 3, 2, 1}},
        {"uint64",
         [](MemoryStream& s) { s.WriteUInt64(0xF0E0D0C0B0A09080ULL); },
         {0x80, 0x90, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xF0}},
        {"empty string", [](MemoryStream& s) { s.WriteString(""); }, {0, 0, 0, 0}},
        {"empty stream",
         [](MemoryStream& s) {
             MemoryStream other;
             s.WriteStream(other);
         },
         {0, 0, 0, 0}},
        {"stream with content",
         [](MemoryStream& s) {
             MemoryStream other;
             other.WriteString("x");
             s.WriteStream(other);
         },
         {5, 0, 0, 0, 1, 0, 0, 0, 'x'}},
    };
    for (const Case& c : cases) {
        MemoryStream s;
        c.write(s);
        EXPECT_EQ(c.expected, Content(s)) << c.name;
    }
}

TEST(MemoryStream, ReadsBackWhatWasWritten) {
    MemoryStream s;
    s.WriteInt32(-123456);
    s.WriteUInt32(0xDEADBEEFu);
    s.WriteInt64(-5000000000LL);
    s.WriteUInt64(0x4A2A234FB6A363D7ULL);
    s.WriteFloat(-2.5f);
    s.WriteString("hello");
    const char raw[3] = {'x', 0, 'y'};
    s.Write(raw, 3);

    int32_t i32 = 0;
    uint32_t u32 = 0;
    int64_t i64 = 0;
    uint64_t u64 = 0;
    float f = 0;
    std::string str;
    char back[3] = {};
    EXPECT_EQ(1, s.ReadInt32(i32));
    EXPECT_EQ(1, s.ReadUInt32(u32));
    EXPECT_EQ(1, s.ReadInt64(i64));
    EXPECT_EQ(1, s.ReadUInt64(u64));
    EXPECT_EQ(1, s.ReadFloat(f));
    EXPECT_EQ(1, s.ReadString(str));
    EXPECT_EQ(1, s.Read(back, 3));
    EXPECT_EQ(-123456, i32);
    EXPECT_EQ(0xDEADBEEFu, u32);
    EXPECT_EQ(-5000000000LL, i64);
    EXPECT_EQ(0x4A2A234FB6A363D7ULL, u64);
    EXPECT_EQ(-2.5f, f);
    EXPECT_EQ("hello", str);
    EXPECT_EQ(0, std::memcmp(raw, back, 3));
    EXPECT_EQ(0, s.ReadInt32(i32));
    EXPECT_EQ(-123456, i32) << "a short read leaves the value";
}

TEST(MemoryStream, ReadAndWritePositionsAreIndependent) {
    MemoryStream s;
    s.WriteInt32(1);
    s.WriteInt32(2);
    EXPECT_EQ(8, s.GetBytesLeft());
    int32_t v = 0;
    EXPECT_EQ(1, s.ReadInt32(v));
    EXPECT_EQ(1, v);
    EXPECT_EQ(4, s.GetBytesLeft());
    s.WriteInt32(3);
    EXPECT_EQ(12, s.Tell());
    EXPECT_EQ(8, s.GetBytesLeft());
    EXPECT_EQ(1, s.ReadInt32(v));
    EXPECT_EQ(2, v);
    EXPECT_EQ(1, s.ReadInt32(v));
    EXPECT_EQ(3, v);
}

TEST(MemoryStream, ShortReadFailsTheStreamUntilClear) {
    MemoryStream s;
    Fill(s, {1, 2});
    int32_t v = 0;
    EXPECT_EQ(0, s.ReadInt32(v));
    EXPECT_EQ(-1, s.GetBytesLeft());
    EXPECT_EQ(-1, s.ReadInt32(v));
    EXPECT_EQ(-1, s.WriteInt32(5));
    EXPECT_EQ(-1, s.WriteString("a"));
    EXPECT_EQ(0, s.GetSize());
    EXPECT_EQ(-1, s.Tell());
    EXPECT_EQ(-1, s.Seek(0));
    int n = 99;
    EXPECT_EQ(nullptr, s.GetBuffer(n));
    EXPECT_EQ(0, n);
    std::string str = "keep";
    EXPECT_EQ(-1, s.ReadString(str));
    EXPECT_EQ("keep", str);

    s.Clear();
    EXPECT_EQ(1, s.WriteInt32(5));
    EXPECT_EQ((Bytes{5, 0, 0, 0}), Content(s));
}

TEST(MemoryStream, InvalidArgumentsReturnMinusOneWithoutFailing) {
    MemoryStream s;
    char buf[4];
    EXPECT_EQ(-1, s.Write(nullptr, 4));
    EXPECT_EQ(-1, s.Write(buf, -1));
    EXPECT_EQ(-1, s.Read(nullptr, 4));
    EXPECT_EQ(1, s.WriteInt32(9));
    EXPECT_EQ(4, s.GetSize());
}

TEST(MemoryStream, ReadStringCases) {
    struct Case {
        const char* name;
        Bytes content;
        int result;
        std::string text;
        bool failedAfter;
    };
    const std::vector<Case> cases = {
        {"length 0", {0, 0, 0, 0}, 1, "keep", false},
        {"negative length", {0xFF, 0xFF, 0xFF, 0xFF, 'a'}, 1, "keep", false},
        {"text ends at first zero", {5, 0, 0, 0, 'a', 'b', 0, 'c', 'd'}, 1, "ab", false},
        {"exact end of content", {}, 1, "keep", true},
        {"length cut short", {1, 0}, 1, "keep", true},
        {"fewer bytes than length", {3, 0, 0, 0, 'a', 'b'}, -1, "keep", true},
        {"file-supplied huge length", {0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'}, -1, "keep", true},
    };
    for (const Case& c : cases) {
        MemoryStream s;
        Fill(s, c.content);
        std::string text = "keep";
        EXPECT_EQ(c.result, s.ReadString(text)) << c.name;
        EXPECT_EQ(c.text, text) << c.name;
        EXPECT_EQ(c.failedAfter, HasFailed(s)) << c.name;
    }
}

TEST(MemoryStream, ReadStringContinuesBehindTheStoredLength) {
    MemoryStream s;
    Fill(s, {5, 0, 0, 0, 'a', 'b', 0, 'c', 'd', 7, 0, 0, 0});
    std::string text;
    int32_t v = 0;
    EXPECT_EQ(1, s.ReadString(text));
    EXPECT_EQ(1, s.ReadInt32(v));
    EXPECT_EQ(7, v);
}

TEST(MemoryStream, GetBufferIsZeroTerminatedCopy) {
    MemoryStream s;
    int n = 99;
    EXPECT_EQ(nullptr, s.GetBuffer(n));
    EXPECT_EQ(0, n);

    s.Write("abc", 3);
    const char* p = s.GetBuffer(n);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(3, n);
    EXPECT_STREQ("abc", p);
}

TEST(MemoryStream, SeekOverwritesWithoutShrinking) {
    MemoryStream s;
    Fill(s, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    EXPECT_EQ(0, s.Seek(0));
    EXPECT_EQ(1, s.WriteInt32(7));
    EXPECT_EQ(10, s.GetSize());
    EXPECT_EQ((Bytes{7, 0, 0, 0, 5, 6, 7, 8, 9, 10}), Content(s));
    EXPECT_EQ(4, s.Tell());

    // writing across the end extends the content
    EXPECT_EQ(8, s.Seek(8));
    EXPECT_EQ(1, s.WriteInt32(-1));
    EXPECT_EQ(12, s.GetSize());

    EXPECT_EQ(-1, s.Seek(13));
    EXPECT_TRUE(HasFailed(s));
}

TEST(MemoryStream, ScrambleIsItsOwnInverse) {
    MemoryStream s;
    Fill(s, {0, 0, 0});
    const char key[2] = {'\x5A', '\xC3'};
    s.Scramble(key, 2);
    EXPECT_EQ((Bytes{0x5A, 0xC3, 0x5A}), Content(s));
    s.Scramble(key, 2);
    EXPECT_EQ((Bytes{0, 0, 0}), Content(s));

    s.Scramble(key, 0);
    EXPECT_EQ((Bytes{0, 0, 0}), Content(s));

    // the scrambled content is read from its start
    MemoryStream t;
    t.WriteInt32(0x01020304);
    int32_t v = 0;
    t.ReadInt32(v);
    t.Scramble("\x01", 1);
    EXPECT_EQ(1, t.ReadInt32(v));
    EXPECT_EQ(0x00030205, v);
    EXPECT_EQ(4, t.Tell());
}

TEST(MemoryStream, SavesToAndLoadsFromStdStreams) {
    MemoryStream s;
    s.WriteString("save");
    s.WriteInt32(42);
    std::stringstream file;
    EXPECT_EQ(1, s.SaveTo(file));

    MemoryStream back;
    back.WriteInt32(99);  // replaced by the load
    EXPECT_EQ(1, back.LoadFrom(file));
    EXPECT_EQ(12, back.GetSize());
    std::string text;
    int32_t v = 0;
    EXPECT_EQ(1, back.ReadString(text));
    EXPECT_EQ(1, back.ReadInt32(v));
    EXPECT_EQ("save", text);
    EXPECT_EQ(42, v);

    std::stringstream empty;
    EXPECT_EQ(1, back.LoadFrom(empty));
    EXPECT_EQ(0, back.GetSize());
}

TEST(MemoryStream, FailedSourceOrDestinationReturnsMinusOne) {
    MemoryStream s;
    s.WriteInt32(1);
    std::stringstream bad;
    bad.setstate(std::ios::badbit);
    EXPECT_EQ(-1, s.SaveTo(bad));
    EXPECT_EQ(-1, s.LoadFrom(bad));
    EXPECT_EQ(0, s.GetSize());
    EXPECT_EQ(1, s.WriteInt32(2)) << "a refused load leaves a usable empty stream";

    // a stream that failed holds a partial record and is not saved
    MemoryStream failed;
    int32_t v;
    failed.ReadInt32(v);
    std::stringstream out;
    EXPECT_EQ(-1, failed.SaveTo(out));
}

}  // namespace

namespace {

TEST(MemoryStream, SavesToAndLoadsFromGameFiles) {
    const std::string path = testing::TempDir() + "memorystream-file.bin";
    MemoryStream s;
    s.WriteString("file");
    s.WriteUInt64(0x0102030405060708ULL);

    EXPECT_EQ(-1, s.SaveToFile(nullptr));
    IO::File* out = IO::File::OpenWrite(path);
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(1, s.SaveToFile(out));
    delete out;

    MemoryStream back;
    back.WriteInt32(99);
    EXPECT_EQ(-1, back.LoadFromFile(nullptr));
    EXPECT_EQ(0, back.GetSize());

    IO::File* in = IO::File::OpenRead(path);
    ASSERT_NE(nullptr, in);
    in->Seek(0, 2);  // the load reads from offset 0 wherever the handle stands
    EXPECT_EQ(1, back.LoadFromFile(in));
    delete in;
    std::string text;
    uint64_t v = 0;
    EXPECT_EQ(1, back.ReadString(text));
    EXPECT_EQ(1, back.ReadUInt64(v));
    EXPECT_EQ("file", text);
    EXPECT_EQ(0x0102030405060708ULL, v);
    IO::DeleteFile(path);
}

}  // namespace
