// The local high-score table: ranking and the ten best, Qualifies, the file's layout
// and round trip, and damaged files. It reads and writes "highscores.dat" in the
// current folder: each test runs in a scratch folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "Classes/Battle/HighscoreTable.h"
#include "support/ScratchDir.h"

namespace {

namespace fs = std::filesystem;

class HighscoreTableTest : public ::testing::Test {
protected:
    HighscoreTableTest() : previous_(fs::current_path()) { fs::current_path(scratch_.Folder()); }
    ~HighscoreTableTest() override { fs::current_path(previous_); }

    static std::vector<std::pair<std::string, int32_t>> Rows(const HighscoreTable::List& list) {
        std::vector<std::pair<std::string, int32_t>> rows;
        for (const HighscoreEntry& entry : list) rows.emplace_back(entry.name, entry.score);
        return rows;
    }
    std::string FileBytes() const { return scratch_.Read("highscores.dat"); }

    ScratchDir scratch_;
    fs::path previous_;
};

void PutU32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xff);
}

void PutName(std::string& out, const std::string& name) {
    PutU32(out, static_cast<uint32_t>(name.size()));
    out += name;
}

}  // namespace

TEST_F(HighscoreTableTest, TheTenBestStayAndATieGoesBehind) {
    HighscoreTable table;
    EXPECT_TRUE(table.GetLists().empty());  // no file yet
    EXPECT_EQ(1, table.Qualifies("m", 0));
    for (int i = 1; i <= 10; ++i) ASSERT_EQ(1, table.Insert("m", "p" + std::to_string(i), i * 100));
    EXPECT_EQ(1, table.Insert("m", "eleventh", 150));
    const HighscoreTable::List& list = table.Find("m");
    ASSERT_EQ(10u, list.size());
    EXPECT_EQ(1000, list.begin()->score);
    EXPECT_EQ("eleventh", std::prev(list.end())->name);  // 100 went

    // Equal to the lowest: behind it, so dropped again.
    table.Insert("m", "late", 150);
    EXPECT_EQ("eleventh", std::prev(table.Find("m").end())->name);
    EXPECT_EQ(10u, table.Find("m").size());
    // A tie above the lowest stays, after the earlier equal.
    table.Insert("m", "second 500", 500);
    std::vector<std::string> at500;
    for (const HighscoreEntry& entry : table.Find("m"))
        if (entry.score == 500) at500.push_back(entry.name);
    EXPECT_EQ((std::vector<std::string>{"p5", "second 500"}), at500);
}

TEST_F(HighscoreTableTest, QualifiesOnlyAboveTheLowestEvenWithRoom) {
    HighscoreTable table;
    table.Insert("m", "a", 900);
    table.Insert("m", "b", 500);
    table.Insert("m", "c", 700);
    EXPECT_EQ(0, table.Qualifies("m", 500));
    EXPECT_EQ(1, table.Qualifies("m", 501));
    EXPECT_EQ(1, table.Qualifies("other", -5));
    EXPECT_TRUE(table.Find("other").empty());
}

TEST_F(HighscoreTableTest, TheFileHoldsMapsByNameAndLoadsBack) {
    {
        HighscoreTable table;
        table.Insert("b", "Zed", 10);
        table.Insert("a", "Ann Lee", 30);
        table.Insert("a", "Bo", 40);
    }
    std::string expected;
    PutU32(expected, 0x00435348);
    PutU32(expected, 1000);
    PutU32(expected, 2);
    PutName(expected, "a");
    PutU32(expected, 2);
    PutName(expected, "Bo");
    PutU32(expected, 40);
    PutName(expected, "Ann Lee");
    PutU32(expected, 30);
    PutName(expected, "b");
    PutU32(expected, 1);
    PutName(expected, "Zed");
    PutU32(expected, 10);
    EXPECT_EQ(expected, FileBytes());
    EXPECT_FALSE(fs::exists("highscores.dat.new"));

    const HighscoreTable loaded;
    EXPECT_EQ((std::vector<std::pair<std::string, int32_t>>{{"Bo", 40}, {"Ann Lee", 30}}), Rows(loaded.Find("a")));
    EXPECT_EQ((std::vector<std::pair<std::string, int32_t>>{{"Zed", 10}}), Rows(loaded.Find("b")));
    for (const HighscoreEntry& entry : loaded.Find("a")) EXPECT_EQ(-1, entry.position);
}

TEST_F(HighscoreTableTest, DamagedFilesLoadWhatTheyHold) {
    std::string head;
    PutU32(head, 0x00435348);
    PutU32(head, 1000);

    // A 600-byte name is cut to 511, and the file reads on after it.
    std::string longName = head;
    PutU32(longName, 1);
    PutName(longName, "m");
    PutU32(longName, 2);
    PutName(longName, std::string(600, 'x'));
    PutU32(longName, 70);
    PutName(longName, "after");
    PutU32(longName, 60);
    scratch_.Write("highscores.dat", longName);
    {
        const HighscoreTable table;
        EXPECT_EQ((std::vector<std::pair<std::string, int32_t>>{{std::string(511, 'x'), 70}, {"after", 60}}),
                  Rows(table.Find("m")));
    }

    // Counts far beyond the file: the entries there are, then the reading stops.
    std::string huge = head;
    PutU32(huge, 0xffffffff);
    PutName(huge, "m");
    PutU32(huge, 0x7fffffff);
    PutName(huge, "one");
    PutU32(huge, 5);
    PutU32(huge, 0x7ffffff0);  // a name length past the end
    scratch_.Write("highscores.dat", huge);
    {
        const HighscoreTable table;
        EXPECT_EQ((std::vector<std::pair<std::string, int32_t>>{{"one", 5}}), Rows(table.Find("m")));
        EXPECT_EQ(1u, table.GetLists().size());
    }

    // Short of even its head.
    scratch_.Write("highscores.dat", "HS");
    HighscoreTable table;
    EXPECT_EQ(1, table.Load());
    EXPECT_TRUE(table.GetLists().empty());
}

// A table that cannot be written keeps the entry in memory, and the file it had.
TEST_F(HighscoreTableTest, AFailedSaveLeavesTheFileAsItWas) {
    HighscoreTable table;
    table.Insert("m", "first", 10);
    const std::string before = FileBytes();
    fs::create_directory("highscores.dat.new");  // where the new content would go
    EXPECT_EQ(0, table.Insert("m", "second", 20));
    EXPECT_EQ(2u, table.Find("m").size());
    EXPECT_EQ(before, FileBytes());
}
