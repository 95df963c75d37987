#include "Net/Base64.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Encode(const std::string& bytes) {
    Net::Base64 codec;
    std::string out = "old content";
    codec.Encode(out, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    return out;
}

// The decoded bytes, or "<invalid>" for a result of 0 from a text that is not empty.
std::string Decode(Net::Base64& codec, const std::string& text) {
    std::vector<unsigned char> out(text.size() + 1, 0xEE);
    const int n = codec.Decode(text.c_str(), out.data());
    return std::string(out.begin(), out.begin() + n);
}

TEST(Base64Test, EncodingFillsToWholeGroups) {
    EXPECT_EQ("", Encode(""));
    EXPECT_EQ("Zg==", Encode("f"));
    EXPECT_EQ("Zm8=", Encode("fo"));
    EXPECT_EQ("Zm9v", Encode("foo"));
    EXPECT_EQ("Zm9vYmFy", Encode("foobar"));
    EXPECT_EQ("AP8=", Encode(std::string("\x00\xFF", 2)));
    Net::Base64 codec;
    std::string out = "kept?";
    EXPECT_EQ("", codec.Encode(out, nullptr, 5));
    EXPECT_EQ("", out);
}

TEST(Base64Test, DecodingIgnoresTheTopBitAndSkipsFillAnywhere) {
    Net::Base64 codec;
    struct Case {
        const char* what;
        std::string text;
        std::string bytes;
    } cases[] = {
        {"plain", "Zm9vYmFy", "foobar"},
        {"with fill", "Zm8=", "fo"},
        {"top bit set", "\xDA\xED\xB9\xF6", "foo"},  // "Zm9v" with bit 7 on each
        {"0xC1 reads as A, 0xBD as =", "\xC1\xC1\xBD\xBD", std::string("\x00", 1)},
        {"fill in the middle", "Zm=9v", "foo"},
        {"fill first", "==Zm9v", "foo"},
        {"not a multiple of 4", "Zm9vYg", "foob"},
        {"left-over bits dropped", "Zm9vY", "foo"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.bytes, Decode(codec, c.text)) << c.what;
}

TEST(Base64Test, InvalidTextsDecodeToNothing) {
    Net::Base64 codec;
    std::vector<unsigned char> out(16, 0xEE);
    for (const char* text : {"Zm9v YmFy", "Zm9v\nYmFy", "Zm9v-", "", "\x80"})
        EXPECT_EQ(0, codec.Decode(text, out.data())) << text;
    EXPECT_EQ(0, codec.Decode(nullptr, out.data()));
    EXPECT_EQ(0, codec.Decode("Zm9v", nullptr));
}

TEST(Base64Test, OneObjectUsedTwiceDecodesAsFreshOnes) {
    Net::Base64 reused;
    // A first text that leaves bits over must not change the second result.
    const std::string first = Decode(reused, "Zm9vY");
    const std::string second = Decode(reused, "YmFy");
    Net::Base64 freshA, freshB;
    EXPECT_EQ(Decode(freshA, "Zm9vY"), first);
    EXPECT_EQ(Decode(freshB, "YmFy"), second);
    EXPECT_EQ("bar", second);
}

TEST(Base64Test, EveryLengthUpTo70RoundTrips) {
    for (int length = 0; length <= 70; ++length) {
        std::string bytes;
        for (int i = 0; i < length; ++i) bytes += static_cast<char>((i * 37 + length * 11) & 0xFF);
        const std::string text = Encode(bytes);
        EXPECT_EQ(0u, text.size() % 4) << length;
        EXPECT_EQ(static_cast<size_t>((length + 2) / 3 * 4), text.size()) << length;
        Net::Base64 codec;
        EXPECT_EQ(bytes, Decode(codec, text)) << length;
    }
}

}  // namespace
