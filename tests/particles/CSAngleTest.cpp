#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "particles/Angle256.h"
#include "particles/CSAngle.h"
#include "particles/ParticleHelpers.h"

TEST(FastSinCos256, ParabolaValues) {
    struct Case {
        int32_t a;
        float s, c;
    };
    const Case cases[] = {
        {16, 0.382744f, 0.924463f}, {32, 0.708281f, 0.708281f},   {-32, -0.708281f, 0.708281f},
        {64, 0.99999994f, 0.0f},    {128, 0.0f, -0.99999994f},    {300, 0.882737f, 0.471885f},
        {44, 0.882737f, 0.471885f}, {255, -0.024321f, 0.999701f}, {-1, -0.024321f, 0.999701f},
        {0, 0.0f, 0.99999994f},     {192, -0.99999994f, 0.0f},
    };
    for (const Case& k : cases) {
        float s = 9, c = 9;
        FastSinCos256(k.a, s, c);
        EXPECT_NEAR(s, k.s, 2e-6f) << k.a;
        EXPECT_NEAR(c, k.c, 2e-6f) << k.a;
    }
}

TEST(FastSinCos256, AnyInt32ActsOnItsLowEightBitsWithinTolerance) {
    const int32_t extremes[] = {INT32_MIN, INT32_MAX, INT32_MIN + 64, -65536 + 7};
    for (int32_t a : extremes) {
        float s, c, s8, c8;
        FastSinCos256(a, s, c);
        FastSinCos256(a & 255, s8, c8);
        EXPECT_EQ(s, s8) << a;
        EXPECT_EQ(c, c8) << a;
    }
    for (int32_t a = 0; a < 256; ++a) {
        float s, c;
        FastSinCos256(a, s, c);
        double rad = a * 2.0 * M_PI / 256.0;
        EXPECT_NEAR(s, std::sin(rad), 0.0012) << a;
        EXPECT_NEAR(c, std::cos(rad), 0.0012) << a;
    }
}

TEST(CSAngleFromSinCos, ClampsAndQuadrants) {
    struct Case {
        float s, c, r;
    };
    const Case cases[] = {
        {0, 1, 0.0f},         {1, 0, 1.5260715f},           {0.5f, -0.866f, 2.6179938f}, {-0.5f, -0.866f, -2.6179938f},
        {0, -1, -3.1415927f}, {0.000005f, -1, -3.1415977f}, {-1, -1, -1.6155211f},       {2, -2, 1.6155211f},
    };
    for (const Case& k : cases) EXPECT_FLOAT_EQ(CSAngleFromSinCos(k.s, k.c), k.r) << k.s << ", " << k.c;
    EXPECT_TRUE(std::isnan(CSAngleFromSinCos(NAN, 1)));
}

TEST(AngleTable256, ArctangentInSteps) {
    EXPECT_EQ(AngleTable256[0], 0);
    EXPECT_EQ(AngleTable256[4], 1);
    EXPECT_EQ(AngleTable256[10], 2);
    EXPECT_EQ(AngleTable256[128], 19);
    EXPECT_EQ(AngleTable256[255], 32);
    EXPECT_EQ(AngleTable256[256], 32);
    for (int i = 0; i <= 256; ++i)
        EXPECT_EQ(AngleTable256[i], std::lround(std::atan(i / 256.0) * 256.0 / (2.0 * M_PI))) << i;
}

TEST(Angle256Between, HeadingFromPlusYTowardsPlusX) {
    struct Case {
        int32_t x0, y0, x1, y1;
        int expected;
    };
    const Case cases[] = {
        {0, 0, 0, 1, 0},    {0, 0, 1, 0, 64},   {0, 0, 0, -1, 128}, {0, 0, -1, 0, 192}, {5, 5, 5, 5, 64},
        {3, 1, 3, 9, 0},    {3, 9, 3, 1, 128},  {0, 0, 2, 1, 45},   {0, 0, 1, 2, 19},   {0, 0, -2, -1, 173},
        {0, 0, 1, -2, 109}, {0, 0, -1, 2, 237}, {0, 0, -2, 1, 211}, {0, 0, 1, 1, 32},   {0, 0, -1, -1, 160},
    };
    for (const Case& k : cases)
        EXPECT_EQ(Angle256Between(k.x0, k.y0, k.x1, k.y1), k.expected)
            << k.x0 << "," << k.y0 << " -> " << k.x1 << "," << k.y1;
}

TEST(Angle256Of, ElevationFromPlusX) {
    struct Case {
        int32_t x, y;
        int expected;
    };
    const Case cases[] = {
        {2, 1, 19},   {1, 2, 45}, {2, -1, 237}, {1, -2, 211},  {5, 0, 0},
        {0, -3, 192}, {0, 3, 64}, {0, 0, 0},    {1000, -1, 0},
    };
    for (const Case& k : cases) EXPECT_EQ(Angle256Of(k.x, k.y), k.expected) << k.x << ", " << k.y;
}

TEST(Angle256OfFull, WholeCircle) {
    struct Case {
        int32_t x, y;
        int expected;
    };
    const Case cases[] = {
        {1, 0, 0},     {0, 1, 64}, {-1, 0, 128}, {0, -1, 192}, {-2, 1, 109},
        {-1, -2, 173}, {0, 0, 64}, {2, 1, 19},   {1, -2, 211},
    };
    for (const Case& k : cases) EXPECT_EQ(Angle256OfFull(k.x, k.y), k.expected) << k.x << ", " << k.y;
}

TEST(Angle256, LargeInputsMatchTheSameDirectionAtSmallScale) {
    const int32_t big = 20000000;
    struct Dir {
        int32_t x, y;
    };
    const Dir dirs[] = {{2, 1}, {1, 2}, {-2, -1}, {1, -2}, {-1, 2}, {3, -1}, {-5, 4}, {1, 1}};
    for (const Dir& d : dirs) {
        EXPECT_NEAR(Angle256Between(0, 0, d.x * big / 5, d.y * big / 5), Angle256Between(0, 0, d.x, d.y), 1)
            << d.x << ", " << d.y;
        EXPECT_NEAR(Angle256OfFull(d.x * big / 5, d.y * big / 5), Angle256OfFull(d.x, d.y), 1);
        if (d.x > 0) {
            EXPECT_NEAR(Angle256Of(d.x * big / 5, d.y * big / 5), Angle256Of(d.x, d.y), 1);
        }
    }
    // Points at opposite ends of the int32 range: the difference does not overflow.
    EXPECT_EQ(Angle256Between(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), 32);
    EXPECT_EQ(Angle256Between(INT32_MAX, 0, INT32_MIN, 1), 192);
    EXPECT_EQ(Angle256OfFull(INT32_MIN, INT32_MIN), 160);
}

// The elevation's horizontal distance of any two int32 differences: the larger plus
// half the smaller, held to INT32_MAX, so the elevation takes it whatever the velocity.
TEST(Angle256Of, HorizontalDistanceOfAnyDifferenceIsNeverNegative) {
    struct Case {
        int64_t dx, dy;
        int32_t expected;
    };
    const int64_t widest = int64_t{INT32_MAX} - INT32_MIN;  // two int32 coordinates apart
    const Case cases[] = {
        {3, 10, 11},
        {-3, 10, 11},
        {10, -3, 11},
        {0, 0, 0},
        {INT32_MAX, INT32_MAX, INT32_MAX},
        {INT32_MIN, INT32_MIN, INT32_MAX},
        {INT32_MIN, 0, INT32_MAX},
        {widest, 1, INT32_MAX},
        {-widest, -widest, INT32_MAX},
        {2000000000, 1000000000, INT32_MAX},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(HorizontalDistance(k.dx, k.dy), k.expected) << k.dx << ", " << k.dy;
        const uint8_t up = Angle256Of(HorizontalDistance(k.dx, k.dy), INT32_MAX);
        const uint8_t down = Angle256Of(HorizontalDistance(k.dx, k.dy), INT32_MIN);
        EXPECT_LE(up, 64);
        EXPECT_TRUE(down >= 192 || down == 0) << int(down);
    }
    EXPECT_EQ(MaxPlusHalfMin(INT32_MAX, INT32_MAX), INT32_MAX);
    EXPECT_EQ(MaxPlusHalfMin(INT32_MIN, INT32_MIN), INT32_MIN);
}

TEST(Angle256OfDeathTest, NegativeHorizontalDistanceStops) {
    EXPECT_DEATH(Angle256Of(-1, 5), "negative horizontal distance");
}
