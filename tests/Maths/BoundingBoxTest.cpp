#include "Maths/BoundingBox.h"
#include "Maths/BoundingSphere.h"
#include "Maths/Matrix4.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {
void ExpectCorners(const BoundingBox& box, const Vector3& lo, const Vector3& hi) {
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(box.corners[i].x, (i & 4) ? hi.x : lo.x) << "corner " << i;
        EXPECT_EQ(box.corners[i].y, (i & 2) ? hi.y : lo.y) << "corner " << i;
        EXPECT_EQ(box.corners[i].z, (i & 1) ? hi.z : lo.z) << "corner " << i;
    }
}

TEST(BoundingBox, CornerOrder) {
    const Vector3 points[] = {Vector3(1, 5, -2), Vector3(-3, 2, 4), Vector3(0, 7, 1)};
    BoundingBox box;
    ComputeBoundingBox(box, points, 3);
    ExpectCorners(box, Vector3(-3, 2, -2), Vector3(1, 7, 4));
    // Spelled out: corner 1 has only z at its maximum, corner 4 only x.
    EXPECT_EQ(box.corners[1].z, 4.0f);
    EXPECT_EQ(box.corners[1].x, -3.0f);
    EXPECT_EQ(box.corners[4].x, 1.0f);
    EXPECT_EQ(box.corners[4].z, -2.0f);

    BoundingBox single;
    ComputeBoundingBox(single, points, 1);
    ExpectCorners(single, points[0], points[0]);
}

TEST(BoundingBox, StridedReadsInterleavedVertices) {
    // Vertices of 6 floats (position, normal) behind a 4-byte header, so the
    // floats are read at an offset.
    const float vertices[][6] = {{1, 5, -2, 9, 9, 9}, {-3, 2, 4, -9, -9, -9}, {0, 7, 1, 0, 0, 0}};
    std::vector<unsigned char> bytes(4 + sizeof(vertices));
    std::memcpy(bytes.data() + 4, vertices, sizeof(vertices));
    BoundingBox box;
    ComputeBoundingBoxStrided(box, bytes.data(), 3, 4, 6 * sizeof(float));
    ExpectCorners(box, Vector3(-3, 2, -2), Vector3(1, 7, 4));
}

TEST(BoundingBox, NoPointsLeavesTheBox) {
    const Vector3 lo(1, 2, 3), hi(4, 5, 6);
    const Vector3 points[] = {lo, hi};
    BoundingBox box;
    ComputeBoundingBox(box, points, 2);
    ComputeBoundingBox(box, nullptr, 0);
    ComputeBoundingBoxStrided(box, nullptr, 0, 0, 12);
    ExpectCorners(box, lo, hi);
}

TEST(BoundingSphere, FromMinMax) {
    const BoundingSphere s = BoundingSphere::FromMinMax(Vector3(-1, 0, 2), Vector3(3, 0, 5));
    EXPECT_FLOAT_EQ(s.center.x, 1.0f);
    EXPECT_FLOAT_EQ(s.center.y, 0.0f);
    EXPECT_FLOAT_EQ(s.center.z, 3.5f);
    EXPECT_FLOAT_EQ(s.radius, 2.5f);
}

BoundingBox Box(const Vector3& lo, const Vector3& hi) {
    const Vector3 points[] = {lo, hi};
    BoundingBox box;
    ComputeBoundingBox(box, points, 2);
    return box;
}

// With the identity as clip transform, w is 1: the view volume is -1..1 on x and
// y, and z below 0 is behind the near plane.
TEST(IsBoundingBoxVisible, SidesAndNearPlane) {
    struct Case {
        const char* name;
        Vector3 lo, hi;
        bool visible;
        bool nearClip;
        int32_t code;
    };
    const Case cases[] = {
        {"inside", Vector3(-0.5f, -0.5f, 0.2f), Vector3(0.5f, 0.5f, 0.8f), true, false, 0},
        {"larger than the view", Vector3(-5, -5, 0.2f), Vector3(5, 5, 0.8f), true, false, 0},
        {"crossing the near plane", Vector3(-0.5f, -0.5f, -0.5f), Vector3(0.5f, 0.5f, 0.5f), true, true, 0},
        {"left", Vector3(-3, -0.5f, 0.2f), Vector3(-2, 0.5f, 0.8f), false, false, 1},
        {"right", Vector3(2, -0.5f, 0.2f), Vector3(3, 0.5f, 0.8f), false, false, 2},
        {"above", Vector3(-0.5f, 2, 0.2f), Vector3(0.5f, 3, 0.8f), false, false, 3},
        {"below", Vector3(-0.5f, -3, 0.2f), Vector3(0.5f, -2, 0.8f), false, false, 4},
        {"behind", Vector3(-0.5f, -0.5f, -2), Vector3(0.5f, 0.5f, -1), false, false, 5},
        {"behind and left", Vector3(-3, -0.5f, -2), Vector3(-2, 0.5f, -1), false, false, 5},
        {"above and left", Vector3(-3, 2, 0.2f), Vector3(-2, 3, 0.8f), false, false, 3},
        {"below and right", Vector3(2, -3, 0.2f), Vector3(3, -2, 0.8f), false, false, 4},
        {"left and crossing the near plane", Vector3(-3, -0.5f, -1), Vector3(-2, 0.5f, 1), false, false, 1},
        {"beyond the far distance", Vector3(-0.5f, -0.5f, 50), Vector3(0.5f, 0.5f, 60), true, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool nearClip = !c.nearClip;
        int32_t code = -1;
        EXPECT_EQ(IsBoundingBoxVisible(Box(c.lo, c.hi), Matrix4::Identity(), nearClip, code), c.visible);
        EXPECT_EQ(nearClip, c.nearClip);
        EXPECT_EQ(code, c.code);
    }
}

// Through a real transform: a box moved out to the left by the matrix.
TEST(IsBoundingBoxVisible, UsesTheMatrix) {
    const BoundingBox box = Box(Vector3(-0.5f, -0.5f, 0.2f), Vector3(0.5f, 0.5f, 0.8f));
    bool nearClip = true;
    int32_t code = -1;
    EXPECT_FALSE(IsBoundingBoxVisible(box, Matrix4::Translation(-10, 0, 0), nearClip, code));
    EXPECT_EQ(code, 1);
    // A larger w widens the volume and brings it back into view.
    Matrix4 wide = Matrix4::Translation(-10, 0, 0);
    wide[15] = 20;
    EXPECT_TRUE(IsBoundingBoxVisible(box, wide, nearClip, code));
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(nearClip);
}
}  // namespace
