#include <gtest/gtest.h>

#include <boost/make_shared.hpp>
#include <cmath>

#include "SceneGraph/Camera.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/Light.h"
#include "SceneGraph/Material.h"
#include "platform/d3dx/D3DXMath.h"

namespace {

// Eye at (0, 0, 100) looking at the origin, y up, 90 degrees (as the camera
// converts them), 800 x 600 pixels placed at (10, 20).
sg::Camera MakeCamera() {
    sg::Camera camera;
    camera.SetViewport(Viewport(10, 20, 800, 600, 0.0f, 1.0f));
    camera.SetLookAt(Vector3(0, 0, 100), Vector3(0, 0, 0), Vector3(0, 1, 0));
    camera.SetPerspective(90.0f, 800.0f / 600.0f, 10.0f, 10000.0f);
    return camera;
}

}  // namespace

TEST(LookAtRH, DocumentedFormula) {
    const D3DXVECTOR3 eye{1, 2, 3}, at{1, 2, -7}, up{0, 1, 0};
    D3DXMATRIX m;
    EXPECT_EQ(D3DXMatrixLookAtRH(&m, &eye, &at, &up), &m);
    // looking down -z with y up: the axes stay, the eye moves to the origin
    const float expected[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {-1, -2, -3, 1}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(m.m[r][c], expected[r][c], 1e-6f) << r << "," << c;

    // z up, looking along +x: view x = -world y... check by mapping a point
    const D3DXVECTOR3 eye2{0, 0, 0}, at2{10, 0, 0}, up2{0, 0, 1};
    D3DXMatrixLookAtRH(&m, &eye2, &at2, &up2);
    // the point (5, 0, 0) lies straight ahead: view (0, 0, -5)
    const float p[4] = {5, 0, 0, 1};
    float v[4] = {0, 0, 0, 0};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) v[c] += p[r] * m.m[r][c];
    EXPECT_NEAR(v[0], 0.0f, 1e-6f);
    EXPECT_NEAR(v[1], 0.0f, 1e-6f);
    EXPECT_NEAR(v[2], -5.0f, 1e-6f);
}

TEST(Camera, PerspectiveElements) {
    sg::Camera camera;
    camera.SetPerspective(60.0f, 4.0f / 3.0f, 10.0f, 10000.0f);
    EXPECT_NEAR(camera.GetFieldOfView(), 1.0466667f, 1e-6f);
    const Matrix4& p = camera.GetProjection();
    EXPECT_NEAR(p[5], 1.73311f, 1e-4f);
    EXPECT_NEAR(p[0], 1.73311f * 0.75f, 1e-4f);
    EXPECT_NEAR(p[10], 10010.0f / -9990.0f, 1e-6f);
    EXPECT_FLOAT_EQ(p[11], -1.0f);
    EXPECT_NEAR(p[14], 2.0f * 10000.0f * 10.0f / -9990.0f, 1e-3f);
    for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 12, 13, 15}) EXPECT_EQ(p[i], 0.0f) << i;
}

TEST(Camera, WorldToScreenOfKnownPoints) {
    struct Case {
        Vector3 world;
        float sx, sy;
    } cases[] = {
        {{0, 0, 0}, 410.0f, 320.0f},         // view centre: viewport centre
        {{0, 0, 50}, 410.0f, 320.0f},        // nearer on the axis
        {{10, 0, 0}, 440.0238978f, 320.0f},  // right of centre
        {{0, 10, 0}, 410.0f, 289.9761022f},  // above: smaller y
        {{-20, -20, 0}, 349.9522044f, 380.0477956f},
    };
    sg::Camera camera = MakeCamera();
    for (const Case& c : cases) {
        Vector3 s;
        ASSERT_TRUE(camera.WorldToScreen(c.world, s));
        EXPECT_NEAR(s.x, c.sx, 1e-3f) << c.world.x << "," << c.world.y << "," << c.world.z;
        EXPECT_NEAR(s.y, c.sy, 1e-3f) << c.world.x << "," << c.world.y << "," << c.world.z;
    }
    Vector3 s;
    EXPECT_FALSE(camera.WorldToScreen(Vector3(30, -5, 100), s));  // on the camera plane: w = 0
}

TEST(Camera, ScreenToWorldInvertsWorldToScreen) {
    sg::Camera camera = MakeCamera();
    const Vector3 p(12.5f, -7.0f, 3.0f);
    Vector3 s, back;
    ASSERT_TRUE(camera.WorldToScreen(p, s));
    ASSERT_TRUE(camera.ScreenToWorld(s, back));
    EXPECT_NEAR(back.x, p.x, 0.01f);
    EXPECT_NEAR(back.y, p.y, 0.01f);
    EXPECT_NEAR(back.z, p.z, 0.01f);
}

TEST(Camera, ScreenToRayAndNodeTransform) {
    boost::shared_ptr<sg::Group> root = boost::make_shared<sg::Group>();
    boost::shared_ptr<sg::Camera> camera = boost::make_shared<sg::Camera>();
    root->AddChild(camera);
    camera->SetLookAt(Vector3(0, 0, 100), Vector3(0, 0, 0), Vector3(0, 1, 0));
    camera->SetPerspective(90.0f, 1.0f, 10.0f, 10000.0f);

    sg::Ray ray;
    camera->ScreenToRay(0.5f, 0.5f, ray);
    EXPECT_NEAR(ray.direction.z, -1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(ray.origin.z, 100.0f);
    camera->ScreenToRay(1.0f, 0.5f, ray);  // right edge: 45 degrees (as converted) to the right
    EXPECT_GT(ray.direction.x, 0.7f);
    EXPECT_NEAR(ray.direction.x, -ray.direction.z, 1e-3f);

    // moving the parent moves the world eye once the update pass has run
    root->Translate(0, 50, 0);
    root->Refresh(nullptr);
    camera->Refresh(nullptr);
    ASSERT_TRUE(camera->IsDirty());
    camera->GetInverseViewProjection();  // a reader rebuilds the dirty matrices
    EXPECT_NEAR(camera->GetWorldEye().y, 50.0f, 1e-4f);
    EXPECT_NEAR(camera->GetViewDirection().z, 1.0f, 1e-5f);
    EXPECT_FALSE(camera->IsDirty());
}

TEST(Camera, ZoomWithInitialLimitsDoesNotMove) {
    sg::Camera camera = MakeCamera();
    const Matrix4 before = camera.GetLookAt();
    camera.Zoom(1.5f);
    camera.Zoom(0.5f);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(camera.GetLookAt()[i], before[i]);
    EXPECT_FLOAT_EQ(camera.GetEye().z, 100.0f);
}

TEST(Light, Defaults) {
    sg::Light light(1);
    EXPECT_EQ(light.GetLightType(), 1);
    EXPECT_EQ(light.GetAmbient(), Color(0, 0, 0, 255));
    EXPECT_EQ(light.GetDiffuse(), Color(255, 255, 255, 255));
    EXPECT_EQ(light.GetSpecular(), Color(255, 255, 255, 255));
    EXPECT_FLOAT_EQ(light.GetDirection().z, -1.0f);
}

TEST(Material, DefaultsIdsAndBlendModes) {
    sg::Material a;
    sg::Material b;
    EXPECT_EQ(b.GetId(), a.GetId() + 1);
    EXPECT_GE(a.GetId(), 1);
    EXPECT_EQ(a.GetFlags(), 0x18);
    EXPECT_EQ(a.GetColor(), Color(255, 255, 255, 255));
    EXPECT_EQ(a.GetAlphaFunction(), 8);

    struct Case {
        int mode, stored, src, dst;
    } cases[] = {{0, 0, 2, 1}, {1, 1, 2, 2}, {2, 2, 5, 2}, {3, 3, 5, 6},
                 {4, 4, 9, 1}, {5, 5, 9, 3}, {9, 0, 2, 1}, {-1, 0, 2, 1}};
    for (const Case& c : cases) {
        a.SetBlendMode(c.mode);
        EXPECT_EQ(a.GetBlendMode(), c.stored) << c.mode;
        EXPECT_EQ(a.GetSourceBlend(), c.src) << c.mode;
        EXPECT_EQ(a.GetDestinationBlend(), c.dst) << c.mode;
    }
}

TEST(Material, FlagsAndClampedFactors) {
    sg::Material m;
    m.SetBlending(true);
    m.SetAlphaTest(true);
    m.SetSelected(true);
    m.SetDepthWrite(false);
    EXPECT_EQ(m.GetFlags(), 0x1 | 0x2 | 0x4 | 0x8);
    m.SetAlphaFunction(7);
    EXPECT_EQ(m.GetAlphaFunction2(), 7);

    struct Case {
        float in, out;
    } cases[] = {{1.5f, 1.0f}, {-0.2f, 0.0f}, {0.05f, 0.05f}};
    for (const Case& c : cases) {
        m.SetAlphaReference(c.in);
        m.SetOpacity(c.in);
        m.SetReflectance(c.in);
        EXPECT_FLOAT_EQ(m.GetAlphaReference(), c.out);
        EXPECT_FLOAT_EQ(m.GetOpacity(), c.out);
        EXPECT_FLOAT_EQ(m.GetReflectance(), c.out);
    }
    m.SetDefaults();
    EXPECT_EQ(m.GetFlags(), 0x18);
    EXPECT_FLOAT_EQ(m.GetOpacity(), 1.0f);
}
