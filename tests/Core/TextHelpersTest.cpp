#include "Core/TextHelpers.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(TextHelpers, WideConversionSignExtendsAndNarrowKeepsLowByte) {
    const std::string narrow = "\x41\xE9\x80\x7F";
    const std::wstring wide = ToWideString(narrow);
    EXPECT_EQ((std::wstring{L'\x0041', L'\xFFE9', L'\xFF80', L'\x007F'}), wide);
    EXPECT_EQ(narrow, ToNarrowString(wide));

    std::wstring out = L"old";
    ToWideString(std::string(), out);
    EXPECT_TRUE(out.empty());
    std::string back = "old";
    ToNarrowString(std::wstring{L'\x1234', L'\x00FF'}, back);
    EXPECT_EQ("\x34\xFF", back);
}

TEST(TextHelpers, TimeStampFormat) {
    std::tm t = {};
    t.tm_year = 2011 - 1900;
    t.tm_mon = 1;
    t.tm_mday = 3;
    t.tm_hour = 9;
    t.tm_min = 5;
    t.tm_sec = 7;
    EXPECT_EQ("2011-02-03 09.05.07", FormatTimeStamp(t));

    const std::string& stamp = GetTimeStamp();
    const std::string shape = "dddd-dd-dd dd.dd.dd";
    ASSERT_EQ(shape.size(), stamp.size()) << stamp;
    for (size_t i = 0; i < shape.size(); ++i)
        EXPECT_EQ(shape[i] == 'd', std::isdigit(static_cast<unsigned char>(stamp[i])) != 0) << stamp;
    EXPECT_EQ(&stamp, &GetTimeStamp()) << "one shared text";
}

TEST(ScrambleString, KeyDependsOnPositionAndLength) {
    EXPECT_EQ("", ScrambleString(""));
    EXPECT_EQ("", ScrambleString(nullptr));

    // x ^ key = s, so each key byte is s ^ x.
    const std::string one = ScrambleString("a");
    const std::string two = ScrambleString("ab");
    const std::string ten = ScrambleString("aaaaaaaaaa");
    ASSERT_EQ(1u, one.size());
    ASSERT_EQ(2u, two.size());
    ASSERT_EQ(10u, ten.size());
    auto key = [&](size_t i) { return static_cast<unsigned char>(ten[i] ^ 'a'); };
    // a ten-byte text starts at key[(0 + 10) mod 10] = key[0]
    EXPECT_EQ(key(1), static_cast<unsigned char>(one[0] ^ 'a'));
    EXPECT_EQ(key(2), static_cast<unsigned char>(two[0] ^ 'a'));
    EXPECT_EQ(key(3), static_cast<unsigned char>(two[1] ^ 'b'));
}

TEST(ScrambleString, RoundTripsAsciiTexts) {
    const char* texts[] = {"a",
                           "config.xml",
                           "view_harrowmere.xml",
                           "POST",
                           "Content-Type: text/plain",
                           "http://127.0.0.1:8080/score?id=1&x=~"};
    for (const char* text : texts) {
        const std::string scrambled = ScrambleString(text);
        ASSERT_EQ(std::strlen(text), scrambled.size());
        EXPECT_EQ(std::string::npos, scrambled.find('\0')) << text;
        EXPECT_NE(text, scrambled);
        EXPECT_EQ(text, ScrambleString(scrambled.c_str()));
    }
}

TEST(ScrambleString, CallsFromSeveralThreadsDoNotShareABuffer) {
    const std::string a(200, 'a');
    const std::string b(300, 'b');
    const std::string expectA = ScrambleString(a.c_str());
    const std::string expectB = ScrambleString(b.c_str());
    auto run = [](const std::string& in, const std::string& expect, bool* ok) {
        for (int i = 0; i < 2000; ++i)
            if (ScrambleString(in.c_str()) != expect) *ok = false;
    };
    bool okA = true;
    bool okB = true;
    std::thread ta(run, std::cref(a), std::cref(expectA), &okA);
    std::thread tb(run, std::cref(b), std::cref(expectB), &okB);
    ta.join();
    tb.join();
    EXPECT_TRUE(okA);
    EXPECT_TRUE(okB);
}

}  // namespace
