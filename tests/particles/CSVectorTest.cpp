#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ParticleMathsTestUtil.h"
#include "particles/CSVector.h"

namespace {
const float kNaN = std::numeric_limits<float>::quiet_NaN();

uint32_t LaneBits(float f) { return CSLane::Bits(f); }
}  // namespace

TEST(CSVector4Lanes, MinMaxTakeSecondOperandOnTieOrNaN) {
    CSVector4 a(1, kNaN, 2, 3), b(0, 0, 2, 5);
    CSVector4 mx = CSVector4Max(a, b), mn = CSVector4Min(a, b);
    EXPECT_TRUE(CSVector4AllEqual(mx, CSVector4(1, 0, 2, 5)));
    EXPECT_TRUE(CSVector4AllEqual(mn, CSVector4(0, 0, 2, 3)));
    // A NaN in the second operand comes through.
    EXPECT_TRUE(std::isnan(CSVector4Max(CSVector4(1, 1, 1, 1), CSVector4(kNaN, 0, 0, 0)).x));
}

TEST(CSVector4Lanes, AllEqualComparesBitPatternsAndAllLessNeedsEveryLane) {
    EXPECT_FALSE(CSVector4AllEqual(CSVector4(0, 0, 0, 0), CSVector4(-0.0f, 0, 0, 0)));
    EXPECT_TRUE(CSVector4AllEqual(CSVector4(kNaN, 1, 2, 3), CSVector4(kNaN, 1, 2, 3)));
    EXPECT_FALSE(CSVector4AllLess(CSVector4(1, 2, 3, 4), CSVector4(2, 3, 4, 4)));
    EXPECT_TRUE(CSVector4AllLess(CSVector4(1, 2, 3, 3), CSVector4(2, 3, 4, 4)));
    EXPECT_FALSE(CSVector4AllLess(CSVector4(1, 2, kNaN, 3), CSVector4(2, 3, 4, 4)));
}

TEST(CSVector4Lanes, CompareMasksAndBitwiseSelect) {
    CSVector4 lt = CSVector4CmpLt(CSVector4(1, 5, kNaN, -1), CSVector4(2, 5, 0, 0));
    EXPECT_EQ(LaneBits(lt.x), 0xFFFFFFFFu);
    EXPECT_EQ(LaneBits(lt.y), 0u);
    EXPECT_EQ(LaneBits(lt.z), 0u);
    EXPECT_EQ(LaneBits(lt.w), 0xFFFFFFFFu);
    CSVector4 gt = CSVector4CmpGt(CSVector4(3, 5, kNaN, -1), CSVector4(2, 5, 0, 0));
    EXPECT_EQ(LaneBits(gt.x), 0xFFFFFFFFu);
    EXPECT_EQ(LaneBits(gt.y) | LaneBits(gt.z) | LaneBits(gt.w), 0u);

    CSVector4 a(1, 2, 3, 4), b(5, 6, 7, 8);
    CSVector4 mask = CSLane::FromBits(0xFFFFFFFFu, 0u, 0xFFFFFFFFu, 0u);
    EXPECT_TRUE(CSVector4AllEqual(CSVector4Select(a, b, mask), CSVector4(5, 2, 7, 4)));

    CSVector4 codes =
        CSVector4Or(CSVector4And(CSLane::FromBits(0xFFFFFFFFu, 0u, 7u, 0u), CSLane::FromBits(1u, 4u, 5u, 0u)),
                    CSLane::FromBits(2u, 0u, 0u, 0u));
    EXPECT_EQ(LaneBits(codes.x), 3u);
    EXPECT_EQ(LaneBits(codes.y), 0u);
    EXPECT_EQ(LaneBits(codes.z), 5u);
}

TEST(CSVector4Lanes, MulAddKeepsTheProductUnrounded) {
    // (1 + 2^-12)^2 = 1 + 2^-11 + 2^-24: the last term is lost when the product is rounded.
    const float a = 1.0f + std::ldexp(1.0f, -12);
    const float c = -(1.0f + std::ldexp(1.0f, -11));
    CSVector4 r = CSVector4MulAdd(CSVector4::Splat(a), CSVector4::Splat(a), CSVector4::Splat(c));
    EXPECT_EQ(r.x, std::ldexp(1.0f, -24));
    EXPECT_EQ(r.w, std::ldexp(1.0f, -24));
}

TEST(CSVector4Lanes, SignAndReciprocal) {
    CSVector4 n = CSVector4Neg(CSVector4(0, -1, 2, -0.0f));
    EXPECT_TRUE(std::signbit(n.x));
    EXPECT_EQ(n.y, 1.0f);
    EXPECT_FALSE(std::signbit(n.w));
    CSVector4 r = CSVector4Recip(CSVector4(0.0f, -0.0f, 4, -2));
    EXPECT_EQ(r.x, std::numeric_limits<float>::infinity());
    EXPECT_EQ(r.y, -std::numeric_limits<float>::infinity());
    EXPECT_EQ(r.z, 0.25f);
    EXPECT_EQ(r.w, -0.5f);
    EXPECT_TRUE(CSVector4AllEqual(CSVector4Abs(CSVector4(-1, -0.0f, 2, -3)), CSVector4(1, 0, 2, 3)));
}

TEST(CSVector4Construction, SetFromARGB) {
    CSVector4 v;
    EXPECT_TRUE(CSVector4AllEqual(v, CSVector4(0, 0, 0, 0)));
    v.SetFromARGB(0x80FF4000u);
    EXPECT_FLOAT_EQ(v.x, 1.0f);
    EXPECT_FLOAT_EQ(v.y, 0.2509804f);
    EXPECT_FLOAT_EQ(v.z, 0.0f);
    EXPECT_FLOAT_EQ(v.w, 0.5019608f);
}

TEST(CSVector2Length, ThresholdOnSquaredLength) {
    EXPECT_EQ(CSVector2(3, 4).Length(), 5.0f);
    EXPECT_EQ(CSVector2(0.002f, 0.002f).Length(), 0.0f);  // squared length 0.000008
    EXPECT_TRUE(std::isnan(CSVector2(kNaN, 1).Length()));
}

TEST(CSVector4Lanes, LengthsNormalisationAndCross) {
    EXPECT_TRUE(VecNear(CSVector4Normalize3(CSVector4(0.001f, 0.001f, 0.001f, 5)), CSVector4(0, 0, 0, 0), 0));
    EXPECT_TRUE(VecNear(CSVector4Normalize3(CSVector4(3, 0, 4, 10)), CSVector4(0.6f, 0, 0.8f, 2), 1e-6f));
    EXPECT_TRUE(VecNear(CSVector4Normalize4(CSVector4(0, 3, 0, 4)), CSVector4(0, 0.6f, 0, 0.8f), 1e-6f));
    EXPECT_TRUE(VecNear(CSVector4Normalize4(CSVector4(0.001f, 0, 0, 0.001f)), CSVector4(0, 0, 0, 0), 0));
    EXPECT_TRUE(CSVector4AllEqual(CSVector4Length3(CSVector4(3, 4, 0, 100)), CSVector4::Splat(5)));
    EXPECT_TRUE(CSVector4AllEqual(CSVector4Length3(CSVector4(0.001f, 0.001f, 0.001f, 9)), CSVector4()));
    EXPECT_TRUE(CSVector4AllEqual(CSVector4InvLength3(0, 3, 4), CSVector4::Splat(0.2f)));
    EXPECT_TRUE(CSVector4AllEqual(CSVector4InvLength3(0, 0, 0), CSVector4()));

    CSVector4 c = CSVector4Cross3(CSVector4(1, 0, 0, 7), CSVector4(0, 1, 0, 9));
    EXPECT_TRUE(CSVector4AllEqual(c, CSVector4(0, 0, 1, 0)));
    EXPECT_TRUE(
        CSVector4AllEqual(CSVector4Dot3(CSVector4(1, 2, 3, 100), CSVector4(4, 5, 6, 100)), CSVector4::Splat(32)));
    EXPECT_TRUE(CSVector4AllEqual(CSVector4Dot4(CSVector4(1, 2, 3, 4), CSVector4(4, 5, 6, 7)), CSVector4::Splat(60)));
}

TEST(CSVector4Lanes, Interpolation) {
    CSVector4 a(0, 10, -2, 1), b(4, 20, 2, 1);
    EXPECT_TRUE(CSVector4AllEqual(CSVector4Lerp(a, b, 0.25f), CSVector4(1, 12.5f, -1, 1)));
    EXPECT_TRUE(CSVector4AllEqual(CSVector4LerpV(a, b, CSVector4(0, 1, 0.5f, 0.5f)), CSVector4(0, 20, 0, 1)));
}

TEST(CSVector4Approx, AcosAndSinStayWithinTheirBounds) {
    EXPECT_EQ(CSVector4AcosApprox(CSVector4()).x, 1.5707963705062866f);
    EXPECT_NEAR(CSVector4AcosApprox(CSVector4::Splat(1.0f)).x, 0.0f, 1e-6f);
    for (int i = -100; i <= 100; ++i) {
        float x = i / 100.0f;
        EXPECT_NEAR(CSVector4AcosApprox(CSVector4::Splat(x)).y, std::acos(x), 0.0023f) << x;
        float s = x * 1.5707963f;
        EXPECT_NEAR(CSVector4SinApprox(CSVector4::Splat(s)).z, std::sin(s), 0.00005f) << s;
    }
}
