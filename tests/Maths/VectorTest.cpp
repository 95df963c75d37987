#include "Maths/IntVector3.h"
#include "Maths/Plane.h"
#include "Maths/Vector2.h"
#include "Maths/Vector3.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {
void ExpectVector(const Vector3& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

TEST(Vector3, NormalizeLeavesNearZeroVectors) {
    Vector3 tiny(0.0f, 0.0f, 0.00005f);
    EXPECT_FLOAT_EQ(tiny.Normalize(), 0.00005f);
    ExpectVector(tiny, 0.0f, 0.0f, 0.00005f);

    Vector3 v(3.0f, 0.0f, 4.0f);
    EXPECT_FLOAT_EQ(v.Normalize(), 5.0f);
    ExpectVector(v, 0.6f, 0.0f, 0.8f);
}

TEST(Vector3, CrossMayWriteIntoAnArgument) {
    Vector3 a = Vector3::UnitX;
    Vector3Cross(a, Vector3::UnitY, a);
    ExpectVector(a, 0.0f, 0.0f, 1.0f);
    Vector3 b = Vector3::UnitY;
    Vector3Cross(Vector3::UnitZ, b, b);
    ExpectVector(b, -1.0f, 0.0f, 0.0f);
}

TEST(Vector3, AngleOfNearlyEqualUnitVectorsIsZero) {
    // Their dot product rounds above 1, where a bare acos gives NaN.
    const Vector3 a(1.0000001f, 0.0f, 0.0f);
    EXPECT_EQ(Vector3Angle(a, a), 0.0f);
    EXPECT_EQ(Vector2Angle(Vector2(1.0000001f, 0.0f), Vector2(1.0000001f, 0.0f)), 0.0f);
    EXPECT_FLOAT_EQ(Vector3Angle(Vector3::UnitX, Vector3::UnitY), 1.5707964f);
}

TEST(Vector3, BothLerpFormsAgree) {
    const Vector3 a(1.0f, 2.0f, 3.0f);
    const Vector3 b(5.0f, -2.0f, 7.0f);
    Vector3 first;
    Vector3 second;
    Vector3Lerp(a, b, 0.25f, first);
    Vector3Lerp(second, a, b, 0.25f);
    ExpectVector(first, 2.0f, 1.0f, 4.0f);
    ExpectVector(second, 2.0f, 1.0f, 4.0f);
}

TEST(Barycentric, InsideOnlyWithinTheTriangle) {
    const Vector3 p0(0, 0, 0), p1(2, 0, 0), p2(0, 2, 2);
    struct Case {
        float u, v;
        bool inside;
        Vector3 point;
    };
    const Case cases[] = {
        {0.25f, 0.25f, true, Vector3(0.5f, 0.5f, 0.5f)},
        {1.0f, 0.0f, true, p1},
        {0.0f, 0.0f, true, p0},
        {-0.5f, 0.5f, false, Vector3(-1.0f, 1.0f, 1.0f)},
        {0.75f, 0.5f, false, Vector3(1.5f, 1.0f, 1.0f)},
    };
    for (const Case& c : cases) {
        Vector3 out;
        EXPECT_EQ(Vector3Barycentric(p0, p1, p2, c.u, c.v, out), c.inside) << c.u << "," << c.v;
        ExpectVector(out, c.point.x, c.point.y, c.point.z);
        Vector2 out2;
        EXPECT_EQ(Vector2Barycentric(Vector2(p0.x, p0.y), Vector2(p1.x, p1.y), Vector2(p2.x, p2.y), c.u, c.v, out2),
                  c.inside);
        EXPECT_FLOAT_EQ(out2.x, c.point.x);
        EXPECT_FLOAT_EQ(out2.y, c.point.y);
    }
}

TEST(IntVector3, DistanceTruncates) {
    EXPECT_EQ(IntVector3Distance(IntVector3(0, 0, 0), IntVector3(1, 1, 1)), 1);
    EXPECT_EQ(IntVector3DistanceSquared(IntVector3(0, 0, 0), IntVector3(1, 1, 1)), 3);
    EXPECT_EQ(IntVector3Distance(IntVector3(250, 250, 0), IntVector3(750, 1250, 0)), 1118);
    // Far beyond any map, the squared distance wraps like 32-bit maths, while
    // the distance stays a sensible number instead of a NaN conversion.
    EXPECT_EQ(IntVector3Distance(IntVector3(INT_MIN, 0, 0), IntVector3(0, 0, 0)), INT_MAX);
    EXPECT_EQ(IntVector3DistanceSquared(IntVector3(-60000, 0, 0), IntVector3(0, 0, 0)), -694967296);
    EXPECT_EQ(IntVector3Distance(IntVector3(-60000, 0, 0), IntVector3(0, 0, 0)), 60000);
}

TEST(IntVector3, CrossAndAngle) {
    IntVector3 out;
    IntVector3Cross(IntVector3(1, 0, 0), IntVector3(0, 1, 0), out);
    EXPECT_EQ(out.x, 0);
    EXPECT_EQ(out.y, 0);
    EXPECT_EQ(out.z, 1);
    // Perpendicular: the arc cosine of 0 in the scaled form.
    EXPECT_EQ(IntVector3Angle(IntVector3(1000, 0, 0), IntVector3(0, 1000, 0)), 1570482);
}

TEST(Plane, FromThreePointsAndLineIntersection) {
    const Plane plane(Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(0, 1, 0));
    ExpectVector(plane.normal, 0.0f, 0.0f, 1.0f);
    EXPECT_EQ(plane.d, 0.0f);

    Vector3 hit(9, 9, 9);
    EXPECT_TRUE(plane.IntersectLine(Vector3(0, 0, 1), Vector3(0, 0, -1), hit));
    ExpectVector(hit, 0.0f, 0.0f, 0.0f);

    // Not clamped to the segment.
    EXPECT_TRUE(plane.IntersectLine(Vector3(1, 2, 3), Vector3(1, 2, 2), hit));
    ExpectVector(hit, 1.0f, 2.0f, 0.0f);

    // Starting on the plane, or running parallel to it, leaves out alone.
    hit = Vector3(9, 9, 9);
    EXPECT_FALSE(plane.IntersectLine(Vector3(0, 0, 0), Vector3(0, 0, -1), hit));
    EXPECT_FALSE(plane.IntersectLine(Vector3(0, 0, 1), Vector3(5, 0, 1), hit));
    ExpectVector(hit, 9.0f, 9.0f, 9.0f);
}

TEST(Plane, DistanceAndProjection) {
    const Plane plane(0.0f, 2.0f, 0.0f, -4.0f);  // y = 2, normal of length 2
    EXPECT_FLOAT_EQ(plane.DistanceTo(Vector3(1, 5, 1)), 6.0f);
    ExpectVector(plane.ProjectPoint(Vector3(1, 5, 1)), 1.0f, 2.0f, 1.0f);
    ExpectVector(Plane(0, 0, 0, 1).ProjectPoint(Vector3(1, 5, 1)), 0.0f, 0.0f, 0.0f);
}
}  // namespace
