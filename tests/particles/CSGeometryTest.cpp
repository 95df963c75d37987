#include <gtest/gtest.h>

#include "particles/CSGeometry.h"

TEST(IntersectSegments2D, EdgeAgainstHorizontalLine) {
    struct Case {
        float x1, y1, x2, y2, yLine, xMin, xMax;
        bool hit;
        float x, y;
    };
    const Case cases[] = {
        {0, 0, 10, 10, 5, 0, 10, true, 5, 5},
        {10, 10, 0, 0, 5, 0, 10, true, 5, 5},        // the other direction
        {0, 0, 10, 10, 11, 0, 10, false, 0, 0},      // line beyond the edge
        {0, 0, 10, 0, 0, -1e6f, 1e6f, false, 0, 0},  // horizontal edge
        {3, 0, 3, 10, 7, -1e6f, 1e6f, true, 3, 7},   // vertical edge
        {3, 0, 3, 10, 7, 4, 10, false, 0, 0},
        {3, 0, 3.1f, 10, 5, -1e6f, 3, true, 3.05f, 5},  // slope 100 counts as vertical
        {3, 0, 3.1f, 10, 5, 3.05f, 1e6f, false, 0, 0},  // range tested on x1
        {0, 0, 10, 10, 0, -1e6f, 1e6f, true, 0, 0},     // end point included
    };
    for (const Case& k : cases) {
        float x = -99, y = -99;
        bool hit = IntersectSegments2D(k.x1, k.y1, k.x2, k.y2, k.yLine, k.xMin, k.xMax, &x, &y);
        EXPECT_EQ(hit, k.hit) << k.x1 << "," << k.y1 << " " << k.x2 << "," << k.y2 << " y=" << k.yLine;
        if (k.hit && hit) {
            EXPECT_FLOAT_EQ(x, k.x);
            EXPECT_FLOAT_EQ(y, k.y);
        }
    }
    // The crossing is written before the range test.
    float x = -99, y = -99;
    EXPECT_FALSE(IntersectSegments2D(0, 0, 10, 10, 5, 6, 10, &x, &y));
    EXPECT_FLOAT_EQ(x, 5);
    EXPECT_EQ(y, -99);
}

TEST(LineLineDistance, ClosestPointsOfInfiniteLines) {
    const CSVector4 a(0, 0, 0, 1), b(1, 0, 0, 1), c(0, -1, 2, 1), d(0, 1, 2, 1);
    EXPECT_NEAR(LineLineDistance3(&a, &b, &c, &d), 2.0f, 1e-6f);  // skew lines 2 apart
    const CSVector4 e(0.5f, -1, 0, 1), f(0.5f, 1, 0, 1);
    EXPECT_EQ(LineLineDistance3(&a, &b, &e, &f), 0.0f);  // crossing
    const CSVector4 g(0, 1, 0, 1), h(5, 1, 0, 1);
    EXPECT_EQ(LineLineDistance3(&a, &b, &g, &h), 100000000.0f);  // parallel
    EXPECT_EQ(LineLineDistance3(&a, &a, &g, &h), 100000000.0f);  // zero length
    // Unclamped: the closest points may lie beyond the given points.
    const CSVector4 i(7, -1, 3, 1), j(7, 1, 3, 1);
    EXPECT_NEAR(LineLineDistance3(&a, &b, &i, &j), 3.0f, 1e-6f);

    EXPECT_EQ(LineLineDistance2(&a, &b, &c, &d), 0.0f);  // z ignored: they meet in 2D
    EXPECT_EQ(LineLineDistance2(&a, &b, &g, &h), 100000000.0f);
}

TEST(PointBoxDistance, OutsideInsideAndTwoDimensions) {
    const float lo[3] = {0, 0, 0}, hi[3] = {1, 2, 3};
    const float inside[3] = {0.5f, 1, 2}, corner[3] = {4, -4, 3}, face[3] = {0.5f, 5, 1};
    EXPECT_EQ(PointBoxDistance3(inside, lo, hi), 0.0f);
    EXPECT_FLOAT_EQ(PointBoxDistance3(corner, lo, hi), 5.0f);
    EXPECT_FLOAT_EQ(PointBoxDistance3(face, lo, hi), 3.0f);
    const float above[3] = {0.5f, 1, 50};
    EXPECT_EQ(PointBoxDistance2(above, lo, hi), 0.0f);
    EXPECT_FLOAT_EQ(PointBoxDistance2(corner, lo, hi), 5.0f);
}

TEST(RayIntersect, SphereAndCircle) {
    const CSVector4 origin(-10, 0, 0, 1), dir(1, 0, 0, 0), centre(0, 0, 0, 1);
    EXPECT_FLOAT_EQ(RaySphereIntersect3(origin, dir, centre, 2), 8.0f);
    EXPECT_EQ(RaySphereIntersect3(origin, dir, CSVector4(0, 5, 0, 1), 2), -1.0f);        // miss
    EXPECT_FLOAT_EQ(RaySphereIntersect3(CSVector4(0, 0, 0, 1), dir, centre, 2), -2.0f);  // from inside
    // Grazing: 0 < disc <= 0.00001 gives -b.
    EXPECT_FLOAT_EQ(RaySphereIntersect3(origin, dir, CSVector4(0, 1.999998f, 0, 1), 2), 10.0f);

    EXPECT_FLOAT_EQ(RayCircleIntersect2(origin, 1, 0, CSVector4(0, 0, 99, 1), 2), 8.0f);
    EXPECT_EQ(RayCircleIntersect2(origin, 1, 0, CSVector4(0, 5, 0, 1), 2), -1.0f);
}
