#include "Maths/Matrix4.h"
#include "Maths/Quaternion.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
const float kQuarterTurn = 1.5707963f;

// Rotation of angle radians about the unit axis (ax, ay, az).
Quaternion AxisAngle(float ax, float ay, float az, float angle) {
    const float s = std::sin(angle / 2.0f);
    return Quaternion(ax * s, ay * s, az * s, std::cos(angle / 2.0f));
}

void ExpectQuaternion(const Quaternion& q, const Quaternion& expected) {
    EXPECT_NEAR(q.x, expected.x, 1e-6f);
    EXPECT_NEAR(q.y, expected.y, 1e-6f);
    EXPECT_NEAR(q.z, expected.z, 1e-6f);
    EXPECT_NEAR(q.w, expected.w, 1e-6f);
}

TEST(Quaternion, ToMatrixMatchesTheRowVectorRotation) {
    Matrix4 m;
    Quaternion::ToMatrix(m, AxisAngle(0, 1, 0, kQuarterTurn));
    const Matrix4 r = Matrix4::RotationY(kQuarterTurn);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], r[i], 1e-6f) << i;

    // About Z by 90 degrees: x goes to y in the row-vector convention.
    Quaternion::ToMatrix(m, AxisAngle(0, 0, 1, kQuarterTurn));
    EXPECT_NEAR(m[0], 0.0f, 1e-6f);
    EXPECT_NEAR(m[1], 1.0f, 1e-6f);
    EXPECT_NEAR(m[4], -1.0f, 1e-6f);
    EXPECT_NEAR(m[5], 0.0f, 1e-6f);
    EXPECT_EQ(m[15], 1.0f);
    EXPECT_EQ(m[12], 0.0f);
}

TEST(Quaternion, NormalizeLeavesZeroAlone) {
    Quaternion zero(0, 0, 0, 0);
    zero.Normalize();
    ExpectQuaternion(zero, Quaternion(0, 0, 0, 0));
    Quaternion q(0, 3, 0, 4);
    q.Normalize();
    ExpectQuaternion(q, Quaternion(0, 0.6f, 0, 0.8f));
}

TEST(Quaternion, Slerp) {
    const Quaternion identity;
    const Quaternion quarterY = AxisAngle(0, 1, 0, kQuarterTurn);
    struct Case {
        const char* name;
        Quaternion a, b;
        float t;
        Quaternion expected;
    };
    const Case cases[] = {
        {"t 0 gives a, normalised", Quaternion(0, 0, 0, 0.5f), quarterY, 0.0f, identity},
        {"t 1 gives b", identity, quarterY, 1.0f, quarterY},
        {"half way", identity, quarterY, 0.5f, AxisAngle(0, 1, 0, kQuarterTurn / 2)},
        {"a equal to b", quarterY, quarterY, 0.3f, quarterY},
        {"t above 1", quarterY, identity, 1.5f, identity},
        {"t below 0", quarterY, identity, -0.5f, identity},
        // -b is the same rotation as b: the shorter arc is taken.
        {"opposite sign", identity, Quaternion(-quarterY.x, -quarterY.y, -quarterY.z, -quarterY.w), 0.5f,
         AxisAngle(0, 1, 0, kQuarterTurn / 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Quaternion out(9, 9, 9, 9);
        Quaternion::Slerp(out, c.a, c.b, c.t);
        ExpectQuaternion(out, c.expected);
    }

    Quaternion inPlace = identity;
    Quaternion::Slerp(inPlace, inPlace, quarterY, 0.5f);
    ExpectQuaternion(inPlace, AxisAngle(0, 1, 0, kQuarterTurn / 2));
}
}  // namespace
