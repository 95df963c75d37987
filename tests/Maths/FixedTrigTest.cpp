#include "Maths/FixedTrig.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstdint>

namespace {
const double kPi = 3.14159265358979323846;

struct Case {
    const char* name;
    int32_t (*fn)(int32_t);
    int32_t arg;
    int32_t expected;
};

TEST(FixedTrig, KnownValues) {
    InitFixedTrig();
    const Case cases[] = {
        {"sin 0", FixedSin, 0, 0},
        {"sin 1", FixedSin, 1, 17},
        {"sin 30 (kept entry)", FixedSin, 30, 500},
        {"sin 90", FixedSin, 90, 1000},
        {"sin 150 (kept entry)", FixedSin, 150, 500},
        {"sin 181", FixedSin, 181, -17},
        {"sin 210", FixedSin, 210, -500},
        {"sin 330 (kept entry)", FixedSin, 330, -499},
        {"sin -30 is sin 330", FixedSin, -30, -499},
        {"sin 720", FixedSin, 720, 0},
        {"sin -360", FixedSin, -360, 0},
        {"sin -1800", FixedSin, -1800, 0},
        {"sin 1001 is sin 281", FixedSin, 1001, -981},
        {"sin -1001 is sin 79", FixedSin, -1001, 981},
        {"cos 0", FixedCos, 0, 1000},
        {"cos 1", FixedCos, 1, 999},
        {"cos 60 (kept entry)", FixedCos, 60, 499},
        {"cos 120 (kept entry)", FixedCos, 120, -500},
        {"cos 240 (kept entry)", FixedCos, 240, -499},
        {"cos 300 (kept entry)", FixedCos, 300, 499},
        {"cos 90", FixedCos, 90, 0},
        {"cos 270", FixedCos, 270, 0},
        {"cos -360", FixedCos, -360, 1000},
        {"cos 1001 is cos 281", FixedCos, 1001, 190},
        {"acos 0 (entry 180 kept)", FixedAcos, 0, 89999},
        {"acos 1000", FixedAcos, 1000, 0},
        {"acos -1000", FixedAcos, -1000, 180000},
        {"acos 1001 outside", FixedAcos, 1001, 0},
        {"acos -1001 outside", FixedAcos, -1001, 0},
        {"acos entry 1", FixedAcos, -994, 173957},
        {"acos entry 54 (kept)", FixedAcos, -700, 134426},
        {"acos entry 90", FixedAcos, -500, 120000},
        {"acos entry 101 (kept)", FixedAcos, -438, 116032},
        {"acos entry 133 (kept)", FixedAcos, -261, 105135},
        {"acos entry 270 (kept)", FixedAcos, 500, 59999},
        {"asin 5 is entry 180", FixedAsin, 5, 0},
        {"asin -1000", FixedAsin, -1000, -90000},
        {"asin entry 133 (kept)", FixedAsin, -261, -15135},
        {"asin entry 270", FixedAsin, 500, 30000},
        {"asin entry 359", FixedAsin, 995, 83957},
        {"asin 1000", FixedAsin, 1000, 90000},
        {"asin 1001 outside", FixedAsin, 1001, 0},
        {"to radians", FixedScaleToRadians, 180000, 3141000},
        {"to degrees", FixedScaleToDegrees, 3141, 180000},
        {"acos scaled of 0", FixedAcosScaled, 0, 1570482},
        {"asin scaled of 1000", FixedAsinScaled, 1000, 1570500},
    };
    for (const Case& c : cases) EXPECT_EQ(c.fn(c.arg), c.expected) << c.name;
}

// Every entry is 1000 x the exact value truncated, or one unit off where kept:
// always less than 2 away.
TEST(FixedTrig, TablesFollowTheFunctions) {
    for (int d = 0; d < 360; ++d) {
        const double r = d * kPi / 180.0;
        EXPECT_LT(std::fabs(FixedSin(d) - 1000.0 * std::sin(r)), 2.0) << d;
        EXPECT_LT(std::fabs(FixedCos(d) - 1000.0 * std::cos(r)), 2.0) << d;
    }
    for (int v = -1000; v <= 1000; ++v) {
        const double x = ((v + 1000) * 360 / 2000) / 180.0 - 1.0;
        EXPECT_LT(std::fabs(FixedAsin(v) - 1000.0 * std::asin(x) * 180.0 / kPi), 2.0) << v;
        EXPECT_LT(std::fabs(FixedAcos(v) - 1000.0 * std::acos(x) * 180.0 / kPi), 2.0) << v;
    }
}

// Any argument reads inside the tables (the sanitizer build catches a stray
// read): an angle lands on the entry of its reduction into 0..359, an arc
// argument outside -1000..1000 gives 0.
TEST(FixedTrig, AnyIntegerArgument) {
    const int32_t angles[] = {INT_MIN, INT_MIN + 1, -720, -361, -360, -359, -1, 359, 360, 361, 1000000, INT_MAX};
    for (int32_t a : angles) {
        int32_t reduced = a % 360;
        if (reduced < 0) reduced += 360;
        EXPECT_EQ(FixedSin(a), FixedSin(reduced)) << a;
        EXPECT_EQ(FixedCos(a), FixedCos(reduced)) << a;
        // The scaled forms multiply without bound before dividing.
        EXPECT_LE(std::abs(FixedSinScaled(a)), 1000) << a;
        EXPECT_LE(std::abs(FixedCosScaled(a)), 1000) << a;
    }
    const int32_t outside[] = {INT_MIN, -1001, 1001, INT_MAX};
    for (int32_t v : outside) {
        EXPECT_EQ(FixedAsin(v), 0) << v;
        EXPECT_EQ(FixedAcos(v), 0) << v;
    }
}
}  // namespace
