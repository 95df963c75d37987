#include "Maths/Color.h"

#include <gtest/gtest.h>

namespace {
TEST(Color, DefaultIsOpaqueBlack) {
    EXPECT_EQ(Color(), Color::Black);
    EXPECT_EQ(Color(), Color(0, 0, 0, 255));
    EXPECT_NE(Color(0, 0, 0, 0), Color::Black);
    EXPECT_EQ(Color::YellowGreen, Color(154, 205, 50, 255));
    EXPECT_EQ(Color::Salmon, Color(250, 128, 114, 255));
}

TEST(Color, ToARGBOrdersAlphaRedGreenBlue) {
    EXPECT_EQ(Color(1, 2, 3, 4).ToARGB(), 0x04010203u);
    EXPECT_EQ(Color::White.ToARGB(), 0xFFFFFFFFu);
}

TEST(Color, ToFloat4ScalesByOne256th) {
    const float* white = Color::White.ToFloat4();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(white[i], 0.99609375f);
    const float* c = Color(128, 64, 0, 255).ToFloat4();
    EXPECT_EQ(c[0], 0.5f);
    EXPECT_EQ(c[1], 0.25f);
    EXPECT_EQ(c[2], 0.0f);
}

TEST(Color, LerpTruncatesAndStaysInRange) {
    struct Case {
        Color from, to;
        float t;
        Color expected;
    };
    const Case cases[] = {
        {Color(0, 0, 0, 255), Color(255, 255, 255, 255), 0.5f, Color(127, 127, 127, 255)},
        {Color(255, 255, 255, 255), Color(0, 0, 0, 255), 0.5f, Color(127, 127, 127, 255)},
        {Color(10, 20, 30, 255), Color(10, 20, 30, 0), 1.0f, Color(10, 20, 30, 0)},
        {Color(10, 20, 30, 40), Color(50, 60, 70, 80), 0.0f, Color(10, 20, 30, 40)},
        // Outside 0..1 the channels stop at the byte range instead of wrapping.
        {Color(0, 0, 0, 255), Color(255, 255, 255, 255), 2.0f, Color(255, 255, 255, 255)},
        {Color(0, 100, 200, 255), Color(255, 255, 255, 255), -1.0f, Color(0, 0, 145, 255)},
    };
    for (const Case& c : cases) {
        const Color r = Color::Lerp(c.from, c.to, c.t);
        EXPECT_EQ(r, c.expected) << int(r.r) << " " << int(r.g) << " " << int(r.b) << " " << int(r.a);
    }
}

TEST(Color, PackedValueSetsOnlyRed) { EXPECT_EQ(Color(0xAB123456u), Color(0xAB, 0, 0, 255)); }
}  // namespace
