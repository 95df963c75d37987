#include "Core/Language.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "IO/File.h"
#include "support/ScratchFolder.h"

namespace {

std::string U32(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
    return s;
}

std::string Units(const std::u16string& text) {
    std::string s;
    for (char16_t u : text) {
        s.push_back(static_cast<char>(u & 0xFF));
        s.push_back(static_cast<char>(u >> 8));
    }
    return s;
}

std::string Entry(const std::string& key, const std::u16string& text) {
    return U32(static_cast<uint32_t>(key.size())) + key + U32(static_cast<uint32_t>(text.size())) + Units(text);
}

std::string Lan(uint32_t count, const std::string& entries) {
    return std::string("LAN\0", 4) + U32(1) + U32(count) + entries;
}

// The file read into a table of its own.
LanguageReadResult ReadInto(const std::string& path, LanguageTable& table) {
    std::unique_ptr<IO::File> file(IO::File::OpenRead(path));
    EXPECT_NE(nullptr, file);
    return file ? ReadLanguageEntries(*file, table) : kLanguageReadTruncated;
}

}  // namespace

TEST(LanguageTest, LoadFillsTheTableAndSetsTheIndex) {
    ScratchFolder tmp;
    const std::string first = tmp.Write("ge.lan", Lan(4, Entry("LtOnlyFirst", u"eins") + Entry("LtShared", u"alt") +
                                                             Entry("LtTwice", u"erste") + Entry("LtTwice", u"zweite")));
    ASSERT_TRUE(LoadLanguageFile(kGerman, first));
    EXPECT_EQ(kGerman, GetLanguageIndex());
    EXPECT_EQ(L"zweite", GetLocalizedText("LtTwice"));  // the later entry wins

    // A second file adds and replaces; keys it lacks keep the first language's texts.
    const std::string second =
        tmp.Write("fr.lan", Lan(2, Entry("LtShared", u"nouveau") + Entry("LtOnlySecond", u"deux")));
    ASSERT_TRUE(LoadLanguageFile(kFrench, second));
    EXPECT_EQ(kFrench, GetLanguageIndex());
    EXPECT_EQ(L"eins", GetLocalizedText("LtOnlyFirst"));
    EXPECT_EQ(L"nouveau", GetLocalizedText("LtShared"));
    EXPECT_EQ(L"deux", GetLocalizedText("LtOnlySecond"));
    EXPECT_TRUE(HasLocalizedText("LtOnlySecond"));
}

TEST(LanguageTest, FailedLoads) {
    ScratchFolder tmp;
    const int before = GetLanguageIndex();
    // Missing file: nothing changes.
    EXPECT_FALSE(LoadLanguageFile(kRussian, tmp / "missing.lan"));
    EXPECT_EQ(before, GetLanguageIndex());

    // Wrong magic: the index is already set, the table is not touched.
    const std::string wrong =
        tmp.Write("bad.lan", "LAX" + std::string(1, '\0') + U32(1) + U32(1) + Entry("LtWrongMagic", u"x"));
    EXPECT_FALSE(LoadLanguageFile(kItalian, wrong));
    EXPECT_EQ(kItalian, GetLanguageIndex());
    EXPECT_FALSE(HasLocalizedText("LtWrongMagic"));

    // No entries at all: loaded, index set.
    EXPECT_TRUE(LoadLanguageFile(kSpanish, tmp.Write("empty.lan", Lan(0, ""))));
    EXPECT_EQ(kSpanish, GetLanguageIndex());

    // A file that ends early keeps what it delivered and reports it.
    const std::string cut = tmp.Write("cut.lan", Lan(3, Entry("LtBeforeCut", u"ok") + U32(10) + "LtCu"));
    EXPECT_FALSE(LoadLanguageFile(kEnglish, cut));
    EXPECT_EQ(L"ok", GetLocalizedText("LtBeforeCut"));
}

TEST(LanguageTest, UnknownKeyIsEnteredEmpty) {
    EXPECT_FALSE(HasLocalizedText("LtNeverStored"));
    std::wstring& text = GetLocalizedText("LtNeverStored");
    EXPECT_EQ(L"", text);
    EXPECT_TRUE(HasLocalizedText("LtNeverStored"));
    // The reference is the table's own text.
    text = L"set";
    EXPECT_EQ(L"set", GetLocalizedText("LtNeverStored"));
}

TEST(LanguageTest, EntryContents) {
    ScratchFolder tmp;
    const std::string big(300, 'k');
    const std::string path =
        tmp.Write("a.lan", Lan(7, Entry(std::string("Lt\0Tail", 7), u"cut key") +     // key ends at its zero byte
                                      Entry("LtZeros", std::u16string(u"a\0b", 3)) +  // exactly V units, zeros included
                                      Entry("LtEmpty", u"") + Entry("", u"no key") +  // lengths of 0 are empty fields
                                      Entry("LtAstral", u"\U0001F3AE!") +  // a surrogate pair is one character
                                      Entry(big, u"too long a key") +      // skipped whole ...
                                      Entry("LtAfterBigKey", std::u16string(u"\u0416"))));  // ... and reading goes on
    LanguageTable table;
    EXPECT_EQ(kLanguageReadOk, ReadInto(path, table));
    EXPECT_EQ(L"cut key", table["Lt"]);
    EXPECT_EQ(std::wstring(L"a\0b", 3), table["LtZeros"]);
    EXPECT_EQ(L"", table.at("LtEmpty"));
    EXPECT_EQ(L"no key", table.at(""));
    EXPECT_EQ(std::wstring(L"\U0001F3AE!"), table["LtAstral"]);
    EXPECT_EQ(0u, table.count(big));
    EXPECT_EQ(0u, table.count(big.substr(0, 255)));
    EXPECT_EQ(L"\u0416", table["LtAfterBigKey"]);
}

// Lengths and counts the file cannot back: the reader stops at the first short read,
// keeps what came before and never reads or allocates beyond the file.
TEST(LanguageTest, DamagedFiles) {
    const std::string ok = Entry("LtGood", u"good");
    const std::u16string longText(10241, u'x');
    struct Case {
        const char* what;
        std::string bytes;
        LanguageReadResult result;
        size_t entries;
    } cases[] = {
        {"empty file", "", kLanguageReadBadMagic, 0},
        {"magic only", "LAN" + std::string(1, '\0'), kLanguageReadTruncated, 0},
        {"count beyond the entries", Lan(0xFFFFFFFFu, ok), kLanguageReadTruncated, 1},
        {"cut inside a key", Lan(2, ok + U32(8) + "LtC"), kLanguageReadTruncated, 1},
        {"cut inside a text", Lan(2, ok + U32(2) + "Lt" + U32(5) + Units(u"ab")), kLanguageReadTruncated, 1},
        {"cut before the text length", Lan(2, ok + U32(2) + "Lt"), kLanguageReadTruncated, 1},
        {"huge key length", Lan(2, ok + U32(0xFFFFFFFFu) + "abc"), kLanguageReadTruncated, 1},
        {"huge text length", Lan(2, ok + U32(2) + "Lt" + U32(0xFFFFFFFFu) + "abcd"), kLanguageReadTruncated, 1},
        {"text over 10240 units skipped", Lan(2, Entry("LtLong", longText) + ok), kLanguageReadOk, 1},
        {"text of 10240 units kept", Lan(1, Entry("LtMax", std::u16string(10240, u'y'))), kLanguageReadOk, 1},
        {"key of 255 bytes kept", Lan(1, Entry(std::string(255, 'k'), u"v")), kLanguageReadOk, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder tmp;
        LanguageTable table;
        EXPECT_EQ(c.result, ReadInto(tmp.Write("x.lan", c.bytes), table));
        EXPECT_EQ(c.entries, table.size());
    }
}

TEST(LanguageTest, LanguageTable) {
    const struct {
        int code;
        const char* file;
        const char* message;
    } expected[] = {
        {0, "en.lan", "UI: ENGLISH READ IN"},  {1, "fr.lan", "UI: FRANCH READ IN"},
        {2, "it.lan", "UI: ITALIAN READ IN"},  {3, "ge.lan", "UI: GERMAN READ IN"},
        {4, "sp.lan", "UI: ESPANOL READ IN"},  {5, "ru.lan", "UI: RUSSICHE READ IN"},
        {6, "jp.lan", "UI: JAPANESE READ IN"},
    };
    for (const auto& e : expected) {
        const LanguageInfo* info = FindLanguage(e.code);
        ASSERT_NE(nullptr, info);
        EXPECT_STREQ(e.file, info->file);
        EXPECT_STREQ(e.message, info->message);
    }
    EXPECT_STREQ("JAPPressed", FindLanguage(kJapanese)->button);
    EXPECT_EQ(nullptr, FindLanguage(7));
    EXPECT_EQ(nullptr, FindLanguage(kNoLanguage));
}
