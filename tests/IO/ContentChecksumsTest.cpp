#include "IO/ContentChecksums.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ComputeChecksum64, FirstEightDigestBytesLittleEndian) {
    struct Case {
        const char* name;
        const void* data;
        int length;
        uint64_t expected;
    };
    const char zeroFirst[4] = {0, 'a', 'b', 'c'};
    const std::vector<Case> cases = {
        {"abc with terminator", "abc", -1, 0x0941A92C4A667A14ULL},
        {"abc without terminator", "abc", 3, 0xB04FD23C98500190ULL},
        {"null data", nullptr, 100, ~0ULL},
        {"first byte zero, explicit length", zeroFirst, 4, ~0ULL},
        {"empty text", "", -1, ~0ULL},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, ComputeChecksum64(c.data, c.length)) << c.name;
    EXPECT_EQ(0x0941A92C4A667A14ULL, ComputeStringChecksum64("abc"));
}

TEST(ContentChecksums, StoresUnderLowerCasedBaseName) {
    struct Case {
        const char* fileName;
        const char* key;
    };
    const Case cases[] = {
        {"res-common/Data\\Defenders.XML", "defenders.xml"},
        {"a\\b/c.xml", "c.xml"},
        {"config.xml", "config.xml"},
        {"dir/", ""},
    };
    for (const Case& c : cases) {
        const std::string text = std::string("<x name=\"") + c.fileName + "\"/>";
        const uint64_t sum = ContentChecksums::Store(c.fileName, text.c_str());
        EXPECT_EQ(ComputeChecksum64(text.c_str(), -1), sum) << c.fileName;
        EXPECT_EQ(sum, ContentChecksums::Find(c.key)) << c.fileName;
        EXPECT_EQ(1u, ContentChecksums::Table().count(c.key)) << c.fileName;
    }
}

TEST(ContentChecksums, LastReadWinsAndLookUpIsCaseSensitive) {
    ContentChecksums::Store("maps/one/Level.xml", "<first/>");
    const uint64_t second = ContentChecksums::Store("maps/two/level.xml", "<second/>");
    EXPECT_EQ(second, ContentChecksums::Find("level.xml"));
    EXPECT_EQ(0u, ContentChecksums::Find("Level.xml"));
    EXPECT_EQ(0u, ContentChecksums::Find("never-read.xml"));

    EXPECT_EQ(~0ULL, ContentChecksums::Store("Empty.xml", ""));
    EXPECT_EQ(~0ULL, ContentChecksums::Find("empty.xml"));
}

}  // namespace
