// The camera boundary pulls an eye that crossed a plane back: along one of its two
// directions or straight onto the plane, each plane tested against the input point.
#include <gtest/gtest.h>

#include "Maths/CameraBoundary.h"

namespace {

void ExpectNear(const Vector3& expected, const Vector3& actual) {
    EXPECT_NEAR(expected.x, actual.x, 1e-4f);
    EXPECT_NEAR(expected.y, actual.y, 1e-4f);
    EXPECT_NEAR(expected.z, actual.z, 1e-4f);
}

// The battle's directions: kind 0 along x, kind 1 along z.
CameraBoundary MakeBoundary() {
    CameraBoundary boundary;
    boundary.SetFirstDirection(Vector3(1.0f, 0.0f, 0.0f));
    boundary.SetSecondDirection(Vector3(0.0f, 0.0f, 1.0f));
    return boundary;
}

}  // namespace

TEST(CameraBoundaryTest, EmptyBoundaryContainsEverything) {
    const CameraBoundary boundary = MakeBoundary();
    Vector3 q(9.0f, 9.0f, 9.0f);
    EXPECT_TRUE(boundary.Constrain(Vector3(-1e6f, 3.0f, 1e6f), q));
    ExpectNear(Vector3(-1e6f, 3.0f, 1e6f), q);
    EXPECT_TRUE(boundary.Contains(Vector3(5.0f, 5.0f, 5.0f)));
}

TEST(CameraBoundaryTest, EachKindPullsTheEyeItsOwnWay) {
    // Every plane is slanted: it keeps points with x + z >= 10 and z >= 0 etc.
    struct Case {
        const char* what;
        int32_t kind;
        Plane plane;
        Vector3 eye;
        bool inside;
        Vector3 expected;
    };
    const Case cases[] = {
        {"inside a plane", 0, Plane(1.0f, 0.0f, 1.0f, -10.0f), Vector3(6.0f, 2.0f, 6.0f), true,
         Vector3(6.0f, 2.0f, 6.0f)},
        {"on the plane counts as inside", 2, Plane(0.0f, 0.0f, 1.0f, -4.0f), Vector3(1.0f, 1.0f, 4.0f), true,
         Vector3(1.0f, 1.0f, 4.0f)},
        {"kind 0 moves along x", 0, Plane(1.0f, 0.0f, 1.0f, -10.0f), Vector3(2.0f, 3.0f, 4.0f), false,
         Vector3(6.0f, 3.0f, 4.0f)},
        {"kind 1 keeps x and y, moves along z", 1, Plane(1.0f, 0.0f, 1.0f, -10.0f), Vector3(2.0f, 3.0f, 4.0f), false,
         Vector3(2.0f, 3.0f, 8.0f)},
        {"kind 2 projects onto the plane", 2, Plane(1.0f, 0.0f, 1.0f, -10.0f), Vector3(2.0f, 3.0f, 4.0f), false,
         Vector3(4.0f, 3.0f, 6.0f)},
        {"kind 1 parallel to the plane leaves the point", 1, Plane(1.0f, 0.0f, 0.0f, -5.0f), Vector3(2.0f, 3.0f, 4.0f),
         false, Vector3(2.0f, 3.0f, 4.0f)},
        {"another kind leaves the point but reports it", 7, Plane(1.0f, 0.0f, 0.0f, -5.0f), Vector3(2.0f, 3.0f, 4.0f),
         false, Vector3(2.0f, 3.0f, 4.0f)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CameraBoundary boundary = MakeBoundary();
        boundary.AddPlane(c.kind, c.plane);
        Vector3 q;
        EXPECT_EQ(c.inside, boundary.Constrain(c.eye, q));
        ExpectNear(c.expected, q);
        EXPECT_EQ(c.inside, boundary.Contains(c.eye));
    }
}

TEST(CameraBoundaryTest, CorrectionsAccumulateButEachPlaneTestsTheInputPoint) {
    CameraBoundary boundary = MakeBoundary();
    // x >= 0 (pulled along x) and z <= 10 (pulled along z).
    boundary.AddPlane(0, Plane(1.0f, 0.0f, 0.0f, 0.0f));
    boundary.AddPlane(1, Plane(0.0f, 0.0f, -1.0f, 10.0f));
    Vector3 q;
    EXPECT_FALSE(boundary.Constrain(Vector3(-3.0f, 1.0f, 12.0f), q));
    ExpectNear(Vector3(0.0f, 1.0f, 10.0f), q);

    // A kind-0 plane x + z >= 0 crossed by the input; pulling along x to it lands the
    // point behind a later plane x <= -2, which the input itself is not behind, so the
    // later plane leaves the corrected point alone.
    CameraBoundary chained = MakeBoundary();
    chained.AddPlane(0, Plane(1.0f, 0.0f, 1.0f, 0.0f));
    chained.AddPlane(2, Plane(-1.0f, 0.0f, 0.0f, -2.0f));
    EXPECT_FALSE(chained.Constrain(Vector3(-3.0f, 0.0f, 1.0f), q));
    ExpectNear(Vector3(-1.0f, 0.0f, 1.0f), q);
}

TEST(CameraBoundaryTest, ClampPointProjectsEveryCrossedPlane) {
    CameraBoundary boundary = MakeBoundary();
    boundary.AddPlane(1, Plane(1.0f, 0.0f, 1.0f, -10.0f));
    Vector3 q;
    EXPECT_FALSE(boundary.ClampPoint(Vector3(2.0f, 3.0f, 4.0f), q));
    ExpectNear(Vector3(4.0f, 3.0f, 6.0f), q);
    EXPECT_TRUE(boundary.ClampPoint(Vector3(8.0f, 0.0f, 8.0f), q));
    ExpectNear(Vector3(8.0f, 0.0f, 8.0f), q);
}
