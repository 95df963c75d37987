#include <gtest/gtest.h>

#include <cmath>

#include "ParticleMathsTestUtil.h"
#include "particles/CSBox.h"

namespace {
CSBox Box(float x0, float y0, float z0, float x1, float y1, float z1, float w0 = 1, float w1 = 1) {
    return CSBox{CSVector4(x0, y0, z0, w0), CSVector4(x1, y1, z1, w1)};
}
}  // namespace

TEST(CSTransformBox, AxisAlignedBoxOfTransformedCorners) {
    CSBox b = Box(-1, -1, -1, 1, 1, 1);
    CSTransformBox(b, Translation(10, 0, 0));
    EXPECT_TRUE(CSVector4AllEqual(b.m_vMin, CSVector4(9, -1, -1, 1)));
    EXPECT_TRUE(CSVector4AllEqual(b.m_vMax, CSVector4(11, 1, 1, 1)));

    b = Box(0, 0, 0, 2, 1, 1);
    CSTransformBox(b, QuarterTurnZ());
    EXPECT_TRUE(VecNear(b.m_vMin, CSVector4(0, -2, 0, 1), 0));
    EXPECT_TRUE(VecNear(b.m_vMax, CSVector4(1, 0, 1, 1), 0));

    // Input w lanes are not read.
    CSBox w = Box(0, 0, 0, 2, 1, 1, 77, -5);
    CSTransformBox(w, QuarterTurnZ());
    EXPECT_TRUE(CSVector4AllEqual(w.m_vMin, b.m_vMin));
    EXPECT_TRUE(CSVector4AllEqual(w.m_vMax, b.m_vMax));

    CSBox d = Box(1, 2, 3, 1, 2, 3);
    CSTransformBox(d, CSMatrix());
    EXPECT_TRUE(CSVector4AllEqual(d.m_vMin, CSVector4(1, 2, 3, 1)));
    EXPECT_TRUE(CSVector4AllEqual(d.m_vMax, CSVector4(1, 2, 3, 1)));

    // The w lanes carry the smallest and largest transformed w.
    CSMatrix projective;
    projective.m[11] = 0.5f;  // w = z / 2 + 1
    CSBox p = Box(0, 0, -2, 1, 1, 4);
    CSTransformBox(p, projective);
    EXPECT_EQ(p.m_vMin.w, 0.0f);
    EXPECT_EQ(p.m_vMax.w, 3.0f);
}

TEST(CSBoxInFrustum, IdentityClipSpace) {
    struct Case {
        CSBox box;
        bool visible;
    };
    const Case cases[] = {
        {Box(-0.5f, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f), true},
        {Box(2, -0.5f, -0.5f, 3, 0.5f, 0.5f), false},         // all corners x > w
        {Box(-3, -3, -3, 3, 3, 3), true},                     // no single plane has all corners out
        {Box(1, 1, 1, 2, 2, 2), true},                        // corner (1, 1, 1) lies on three planes
        {Box(1.5f, -3, 2, 3, 3, 3), false},                   // all corners x > w
        {Box(-0.5f, -0.5f, -0.9f, 0.5f, 0.5f, -0.2f), true},  // z accepted down to -w
        {Box(-0.5f, -0.5f, -3, 0.5f, 0.5f, -1.5f), false},    // all corners z < -w
        {Box(-0.5f, -3, -0.5f, 0.5f, -2, 0.5f), false},       // all corners y < -w
        {Box(-3, -0.5f, -0.5f, -2, 0.5f, 0.5f), false},       // all corners x < -w
        {Box(-0.5f, 2, -0.5f, 0.5f, 3, 0.5f), false},         // all corners y > w
        {Box(-0.5f, -0.5f, 2, 0.5f, 0.5f, 3), false},         // all corners z > w
        {Box(NAN, -0.5f, -0.5f, NAN, 0.5f, 0.5f), true},      // NaN sets no bit
        {Box(2, 2, -0.5f, 3, 3, 5), false},                   // x > w on both faces
    };
    for (const Case& k : cases)
        EXPECT_EQ(CSBoxInFrustum(k.box, CSMatrix()), k.visible)
            << "(" << k.box.m_vMin.x << ", " << k.box.m_vMin.y << ", " << k.box.m_vMin.z << ") to (" << k.box.m_vMax.x
            << ", " << k.box.m_vMax.y << ", " << k.box.m_vMax.z << ")";
}

TEST(CSBoxInFrustum, MinFaceAloneCanProveVisibility) {
    // The max.z face lies far outside, but the min.z face already has a corner inside.
    EXPECT_TRUE(CSBoxInFrustum(Box(-0.5f, -0.5f, 0, 0.5f, 0.5f, 1e30f), CSMatrix()));
}

TEST(CSBoxInFrustum, PerspectiveCamera) {
    CSMatrix view, proj, viewProj;
    view.SetLookAt(CSVector4(0, 0, 10, 1), CSVector4(0, 0, -1, 0), CSVector4(0, 1, 0, 0));
    proj.SetPerspective(60, 4.0f / 3.0f, 1, 100);
    viewProj.SetProduct(proj, view);  // view x proj
    EXPECT_TRUE(CSBoxInFrustum(Box(-1, -1, -1, 1, 1, 1), viewProj));
    EXPECT_FALSE(CSBoxInFrustum(Box(-1, -1, 20, 1, 1, 30), viewProj));      // behind the eye
    EXPECT_FALSE(CSBoxInFrustum(Box(50, -1, -1, 60, 1, 1), viewProj));      // far to the right
    EXPECT_FALSE(CSBoxInFrustum(Box(-1, -1, -500, 1, 1, -200), viewProj));  // beyond the far plane
}
