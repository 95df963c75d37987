#include "shell/ToolBackground.h"
#include "shell/ToolString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CToolString, GrowsOnlyWhenTheTextDoesNotFit) {
    struct Step {
        const char* text;
        size_t capacity;
        bool sameBuffer;
    };
    const Step steps[] = {
        {"abcde", 6, false},  // capacity 1 cannot hold it: 5 + 1 bytes
        {"abc", 6, true},     {"", 6, true},
        {"abcdef", 7, false},  // length equal to the capacity leaves no room for the terminator
        {"x", 7, true},
    };
    CToolString s;
    EXPECT_STREQ("", s.c_str());
    EXPECT_EQ(1u, s.capacity());
    for (const Step& step : steps) {
        const char* before = s.c_str();
        s = step.text;
        EXPECT_STREQ(step.text, s.c_str());
        EXPECT_EQ(std::string(step.text).size(), s.length());
        EXPECT_EQ(step.capacity, s.capacity()) << step.text;
        EXPECT_EQ(step.sameBuffer, before == s.c_str()) << step.text;
    }
}

TEST(CToolString, AssignsPartsOfItsOwnText) {
    CToolString s;
    s.Assign("hello world");
    s.Assign(s.c_str() + 6, 5);  // fits: the buffer is reused
    EXPECT_STREQ("world", s.c_str());

    CToolString t;
    t.Assign("ab");
    t.Assign(t.c_str(), 2);  // length 2 == capacity 3 - 1: still fits
    EXPECT_STREQ("ab", t.c_str());

    CToolString u;  // capacity 1: growing copies before the old buffer goes
    u.Assign("a");
    u.Assign(u.c_str(), 1);
    EXPECT_STREQ("a", u.c_str());

    s.Assign(nullptr);
    EXPECT_STREQ("", s.c_str());
    EXPECT_EQ(0u, s.length());
}

TEST(CToolBackground, InitReplacesItsState) {
    CToolBackground background;
    CToolString error;
    EXPECT_EQ(0, background.Init(nullptr, false, nullptr));
    EXPECT_EQ(0, background.Init(nullptr, true, &error));  // the first state is freed, not leaked
    EXPECT_STREQ("", error.c_str());
}

}  // namespace
