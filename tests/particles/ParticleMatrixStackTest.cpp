#include <gtest/gtest.h>

#include <boost/make_shared.hpp>
#include <cmath>
#include <memory>

#include "Graphics/GraphicsDevice.h"
#include "Graphics/GraphicsDeviceFixture.h"
#include "ParticleMathsTestUtil.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Scene.h"
#include "particles/CSAngle.h"
#include "particles/ParticleMatrixStack.h"
#include "particles/ParticleScratchMatrix.h"

namespace {
using ParticleMatrixStack::g_State;

CSMatrix Ordinary(const CSMatrix& a, const CSMatrix& b) {
    CSMatrix r;
    r.SetProduct(b, a);
    return r;
}

// Upper 3 x 3 only.
::testing::AssertionResult RotNear(const CSMatrix& m, std::initializer_list<float> rows, float tol) {
    CSMatrix e = m;
    int i = 0;
    for (float v : rows) {
        e.m[4 * (i / 3) + i % 3] = v;
        ++i;
    }
    return MatNear(m, e, tol);
}

class ParticleMatrixStackTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_State = ParticleMatrixStack::State();
        ParticleScratchMatrix.SetIdentity();
    }
};

// The particle library bound to a graphics device whose scene has a camera.
class ParticleViewMatricesTest : public NullDeviceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(NullDeviceTest::SetUp());
        g_State = ParticleMatrixStack::State();
        BindParticleHooks();
        graphics.reset(new Graphics::GraphicsDevice(d3d, device));
        camera = boost::make_shared<sg::Camera>();
        scene.SetCamera(camera);
        graphics->SetScene(&scene);
    }
    void TearDown() override {
        graphics.reset();
        UnbindParticleHooks();
        NullDeviceTest::TearDown();
    }

    static CSMatrix ViewProjection(sg::Camera& camera) {
        CSMatrix m;
        for (int i = 0; i < 16; ++i) m.m[i] = camera.GetViewProjection().m[i];
        return m;
    }

    std::unique_ptr<Graphics::GraphicsDevice> graphics;
    boost::shared_ptr<sg::Camera> camera;
    sg::Scene scene;
};

const float kTableTol = 3e-7f;  // table sines at multiples of 64 steps
}  // namespace

TEST_F(ParticleMatrixStackTest, QuarterTurnsAboutEachAxis) {
    CSMatrix m;
    SetRotation256(m, 64, 0, 0);
    EXPECT_TRUE(RotNear(m, {0, -1, 0, 1, 0, 0, 0, 0, 1}, kTableTol));
    SetRotation256(m, 0, 64, 0);
    EXPECT_TRUE(RotNear(m, {1, 0, 0, 0, 0, 1, 0, -1, 0}, kTableTol));
    SetRotation256(m, 0, 0, 64);
    EXPECT_TRUE(RotNear(m, {0, 0, -1, 0, 1, 0, 1, 0, 0}, kTableTol));

    // b goes in through the table cosine of -b, which is not exactly the one of +b.
    float s, c, s0, c0, sPlus, cPlus;
    FastSinCos256(-64, s, c);
    FastSinCos256(0, s0, c0);
    FastSinCos256(64, sPlus, cPlus);
    ASSERT_NE(c, cPlus);
    SetRotation256(m, 0, 64, 0);
    EXPECT_EQ(m.m[5], c0 * c);
    EXPECT_EQ(m.m[6], -s);

    SetRotation256f(m, 64, 0, 0);
    EXPECT_TRUE(RotNear(m, {0, -1, 0, 1, 0, 0, 0, 0, 1}, kTableTol));
    SetRotation256f(m, 0, 64, 0);
    EXPECT_TRUE(RotNear(m, {1, 0, 0, 0, 0, 1, 0, -1, 0}, kTableTol));
    SetRotation256f(m, 0, 0, 64);
    EXPECT_TRUE(RotNear(m, {0, 0, -1, 0, 1, 0, 1, 0, 0}, kTableTol));
}

TEST_F(ParticleMatrixStackTest, TableSinesAgainstStandardSines) {
    CSMatrix i, f;
    SetRotation256(i, 32, 0, 0);
    SetRotation256f(f, 32, 0, 0);
    EXPECT_NEAR(i.m[0], 0.708281f, 1e-6f);
    EXPECT_NEAR(i.m[4], 0.708281f, 1e-6f);
    EXPECT_NEAR(f.m[0], 0.707107f, 1e-6f);
    EXPECT_NEAR(f.m[4], 0.707107f, 1e-6f);
}

TEST_F(ParticleMatrixStackTest, ThreeAngleVariantsAreProductsOfElementaryRotations) {
    auto z = [](float a) {
        float r = a * 0.02454369328916073f;
        return MatrixOf({std::cos(r), -std::sin(r), 0, 0, std::sin(r), std::cos(r), 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    };
    auto x = [](float b) {
        float r = b * 0.02454369328916073f;
        return MatrixOf({1, 0, 0, 0, 0, std::cos(r), std::sin(r), 0, 0, -std::sin(r), std::cos(r), 0, 0, 0, 0, 1});
    };
    auto y = [](float c) {
        float r = c * 0.02454369328916073f;
        return MatrixOf({std::cos(r), 0, -std::sin(r), 0, 0, 1, 0, 0, std::sin(r), 0, std::cos(r), 0, 0, 0, 0, 1});
    };
    struct Case {
        float a, b, c;
        CSMatrix expected;
    };
    const float a = 20, b = -37, c = 101;
    const Case cases[] = {
        {a, 0, 0, z(a)},
        {a, b, 0, Ordinary(x(b), z(a))},
        {a, 0, c, Ordinary(y(c), z(a))},
        {a, b, c, Ordinary(Ordinary(y(c), x(b)), z(a))},
        {a, -0.0f, 0, z(a)},
    };
    for (const Case& k : cases) {
        CSMatrix m;
        SetRotation256f(m, k.a, k.b, k.c);
        EXPECT_TRUE(MatNear(m, k.expected, 1e-6f)) << k.a << ", " << k.b << ", " << k.c;
        SetRotation256(m, int32_t(k.a), int32_t(k.b), int32_t(k.c));
        EXPECT_TRUE(MatNear(m, k.expected, 0.004f)) << k.a << ", " << k.b << ", " << k.c;
    }
}

TEST_F(ParticleMatrixStackTest, SettersWriteOnlyTheUpperThreeByThree) {
    CSMatrix sentinel;
    for (int i = 0; i < 16; ++i) sentinel.m[i] = 100.0f + i;
    const int kept[] = {3, 7, 11, 12, 13, 14, 15};
    const float angles[][3] = {{10, 0, 0}, {10, 20, 0}, {10, 0, 30}, {10, 20, 30}};
    for (const auto& ang : angles) {
        CSMatrix mi = sentinel, mf = sentinel;
        SetRotation256(mi, int32_t(ang[0]), int32_t(ang[1]), int32_t(ang[2]));
        SetRotation256f(mf, ang[0], ang[1], ang[2]);
        for (int k : kept) {
            EXPECT_EQ(mi.m[k], sentinel.m[k]) << k;
            EXPECT_EQ(mf.m[k], sentinel.m[k]) << k;
        }
    }

    // z-only setters of the current matrix write what the general builder writes.
    CSMatrix general;
    SetRotation256(general, 77, 0, 0);
    SetCurrentRotationZ256(77);
    EXPECT_TRUE(MatNear(g_State.m_mCurrent, general, 0));
    EXPECT_EQ(g_State.m_fRecordedAngle, 77.0f);
    SetRotation256f(general, 12.5f, 0, 0);
    SetCurrentRotationZ256f(12.5f);
    EXPECT_TRUE(MatNear(g_State.m_mCurrent, general, 0));
    EXPECT_EQ(g_State.m_fRecordedAngle, 12.5f);

    // The three-angle setters record the first angle.
    SetCurrentRotation256(5, 6, 7);
    EXPECT_EQ(g_State.m_fRecordedAngle, 5.0f);
    SetCurrentRotation256f(8.5f, 6, 7);
    EXPECT_EQ(g_State.m_fRecordedAngle, 8.5f);
}

TEST_F(ParticleMatrixStackTest, FacingRotationUsesCameraYawAndPitch) {
    g_State.m_fCameraYaw = 10;
    g_State.m_fCameraPitch = 20;
    SetFacingRotation(true, true, 1, 2, 3, 0, 0);
    CSMatrix expected;
    SetRotation256f(expected, 138, -20, 3);
    EXPECT_TRUE(MatNear(g_State.m_mCurrent, expected, 0));
    EXPECT_EQ(g_State.m_fRecordedAngle, 138.0f);

    SetFacingRotation(false, true, 1, 2, 3, 5, 4);
    SetRotation256f(expected, 1, -24, 3);
    EXPECT_TRUE(MatNear(g_State.m_mCurrent, expected, 0));
    SetFacingRotation(true, false, 1, 2, 3, 5, 4);
    SetRotation256f(expected, 143, 2, 3);
    EXPECT_TRUE(MatNear(g_State.m_mCurrent, expected, 0));
}

TEST_F(ParticleMatrixStackTest, FaceCurrentToCameraTurnsByRecordedAngleMinus64) {
    // After a reset: the camera orientation turned by -64 steps, translation kept.
    SetCurrentRotationZ256f(40);
    ParticleMatrixStack::SetTranslation(1, 2, 3);
    ResetCurrentRotation();
    EXPECT_EQ(g_State.m_fRecordedAngle, 0.0f);
    EXPECT_TRUE(MatNear(g_State.m_mCurrent, Translation(1, 2, 3), 0));
    FaceCurrentToCamera();
    EXPECT_TRUE(MatNear(g_State.m_mCurrent, MatrixOf({0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}), 1e-6f));

    // A x facing x current, A a turn of (a - 64) steps about z.
    CSMatrix facing;
    facing.SetRotationX(0.7f);
    g_State.m_mFacing = facing;
    SetCurrentRotationZ256f(96);
    ParticleMatrixStack::SetTranslation(4, 5, 6);
    const CSMatrix before = g_State.m_mCurrent;
    FaceCurrentToCamera();
    CSMatrix turn;
    turn.SetRotationAxisAngle(float(M_PI / 4), 0, 0, 1);
    EXPECT_TRUE(MatNear(g_State.m_mCurrent, Ordinary(Ordinary(turn, facing), before), 1e-6f));
}

TEST_F(ParticleMatrixStackTest, ProjectionStateFromTheCameraSetUp) {
    CSMatrix facing = QuarterTurnZ();
    SetParticleProjection(ParticleViewportRect{0, 0, 1024, 768}, 3.14159265f, 1.57079633f, facing, 7, 8, 9);
    EXPECT_FLOAT_EQ(g_State.m_fCameraYaw, 128.0f);
    EXPECT_FLOAT_EQ(g_State.m_fCameraPitch, 64.0f);
    EXPECT_TRUE(MatNear(g_State.m_mFacing, facing, 0));
    EXPECT_EQ(g_State.m_afCameraPos[0], 7.0f);
    EXPECT_EQ(g_State.m_afCameraPos[2], 9.0f);
    EXPECT_EQ(g_State.m_afViewRect[0], 512.0f);
    EXPECT_EQ(g_State.m_afViewRect[1], 384.0f);
    EXPECT_EQ(g_State.m_afViewRect[2], 512.0f);
    EXPECT_EQ(g_State.m_afViewRect[3], -384.0f);
}

TEST_F(ParticleViewMatricesTest, ViewMatricesFromTheSceneCamera) {
    camera->SetLookAt(Vector3(0.0f, -10.0f, 5.0f), Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f));
    camera->SetPerspective(60.0f, 4.0f / 3.0f, 1.0f, 100.0f);  // leaves the camera to be rebuilt
    CSMatrix rot;
    SetRotation256f(rot, 30, 0, 0);
    g_State.m_mCurrent = rot;
    ParticleMatrixStack::SetTranslation(1, 2, 3);
    UpdateParticleViewMatrices();
    EXPECT_TRUE(MatNear(g_State.m_mWorldViewProjection, Ordinary(g_State.m_mCurrent, ViewProjection(*camera)), 0));
    EXPECT_NE(g_State.m_mWorldViewProjection.m[0], g_State.m_mCurrent.m[0]);
    EXPECT_TRUE(CSVector4AllEqual(g_State.m_vViewportScale, CSVector4(512, -384, 1, 0)));
    EXPECT_TRUE(CSVector4AllEqual(g_State.m_vViewportOffset, CSVector4(512, 384, 0, 0)));

    // A moved camera is rebuilt before it is read.
    camera->SetLookAt(Vector3(10.0f, 0.0f, 5.0f), Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f));
    const CSMatrix before = g_State.m_mWorldViewProjection;
    UpdateParticleViewMatrices();
    EXPECT_FALSE(MatNear(g_State.m_mWorldViewProjection, before, 1e-3f));
    EXPECT_TRUE(MatNear(g_State.m_mWorldViewProjection, Ordinary(g_State.m_mCurrent, ViewProjection(*camera)), 0));

    // Without a scene (so without a camera) the viewport vectors still refresh and the product stays.
    graphics->SetScene(nullptr);
    EXPECT_EQ(GetParticleCamera(), nullptr);
    const CSMatrix wvp = g_State.m_mWorldViewProjection;
    g_State.m_vViewportScale = CSVector4();
    UpdateParticleViewMatrices();
    EXPECT_TRUE(CSVector4AllEqual(g_State.m_vViewportScale, CSVector4(512, -384, 1, 0)));
    EXPECT_TRUE(MatNear(g_State.m_mWorldViewProjection, wvp, 0));
}

TEST_F(ParticleMatrixStackTest, PushAndPopNestEightDeep) {
    for (int i = 0; i < 8; ++i) {
        ParticleMatrixStack::SetTranslation(float(i), 0, 0);
        PushMatrix();
    }
    EXPECT_EQ(g_State.m_nDepth, 8);
    for (int i = 7; i >= 0; --i) {
        ParticleMatrixStack::SetTranslation(99, 99, 99);
        PopMatrix();
        EXPECT_EQ(g_State.m_mCurrent.m[12], float(i));
    }
    EXPECT_EQ(g_State.m_nDepth, 0);
}

TEST_F(ParticleMatrixStackTest, StackBreachesStopTheProgram) {
    EXPECT_DEATH(PopMatrix(), "pop of an empty stack");
    EXPECT_DEATH(ParticleMatrixStack::ApplyParent(), "no saved matrix");
    for (int i = 0; i < 8; ++i) PushMatrix();
    EXPECT_DEATH(PushMatrix(), "push beyond eight");
}

TEST_F(ParticleMatrixStackTest, TranslationAndRotationSettersKeepEachOther) {
    SetCurrentRotationZ256f(64);
    const CSMatrix rotated = g_State.m_mCurrent;
    ParticleMatrixStack::SetTranslation(1, 2, 3);
    CSMatrix expected = rotated;
    expected.m[12] = 1, expected.m[13] = 2, expected.m[14] = 3, expected.m[15] = 1;
    EXPECT_TRUE(MatNear(g_State.m_mCurrent, expected, 0));
    SetCurrentRotation256(64, 0, 0);
    EXPECT_TRUE(CSVector4AllEqual(g_State.m_mCurrent.GetTranslation(), CSVector4(1, 2, 3, 1)));
}

TEST_F(ParticleMatrixStackTest, ScaleAlongTheItemsOwnAxes) {
    ParticleMatrixStack::SetTranslation(7, 8, 9);
    ParticleMatrixStack::SetScale(2, 3, 4);
    EXPECT_TRUE(MatNear(g_State.m_mCurrent, MatrixOf({2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 7, 8, 9, 1}), 0));
    const CSMatrix before = g_State.m_mCurrent;
    ParticleMatrixStack::SetScale(1, 1, 1);
    EXPECT_TRUE(MatNear(g_State.m_mCurrent, before, 0));

    g_State.m_mCurrent = QuarterTurnZ();
    ParticleMatrixStack::SetScale(2, 3, 4);
    EXPECT_TRUE(MatNear(g_State.m_mCurrent, MatrixOf({0, -2, 0, 0, 3, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1}), 0));
}

TEST_F(ParticleMatrixStackTest, ApplyParentAppliesTheSavedMatrixSecond) {
    g_State.m_mCurrent = Translation(0, 5, 0);
    PushMatrix();
    g_State.m_mCurrent = Translation(1, 0, 0);
    ParticleMatrixStack::ApplyParent();
    EXPECT_TRUE(MatNear(g_State.m_mCurrent, Translation(1, 5, 0), 0));
    PopMatrix();

    g_State.m_mCurrent = Translation(10, 0, 0);
    PushMatrix();
    g_State.m_mCurrent = QuarterTurnZ();
    ParticleMatrixStack::ApplyParent();
    CSVector4 p;
    g_State.m_mCurrent.TransformPoint(CSVector4(1, 0, 0, 1), p);
    EXPECT_TRUE(CSVector4AllEqual(p, CSVector4(10, -1, 0, 1)));  // turned, then moved
    EXPECT_EQ(g_State.m_nDepth, 1);
}

TEST_F(ParticleMatrixStackTest, ProjectPointToViewport) {
    g_State.m_vViewportScale = CSVector4(512, -384, 1, 0);
    g_State.m_vViewportOffset = CSVector4(512, 384, 0, 0);
    struct Case {
        CSMatrix wvp;
        CSVector4 in, out;
    };
    CSMatrix halfZ;  // identity except column 3 = (0, 0, 0.5, 0): w = z / 2
    halfZ.m[11] = 0.5f;
    halfZ.m[15] = 0.0f;
    const Case cases[] = {
        {CSMatrix(), CSVector4(0.1f, 0.2f, 0.3f, 42), CSVector4(563.2f, 307.2f, 0.3f, 0)},
        {CSMatrix(), CSVector4(0, 0, 0, -7), CSVector4(512, 384, 0, 0)},
        {halfZ, CSVector4(1, 1, 2, 0), CSVector4(1024, 0, 2, 0)},
        {halfZ, CSVector4(1, 1, 4, 0), CSVector4(768, 192, 2, 0)},
    };
    for (const Case& k : cases) {
        g_State.m_mWorldViewProjection = k.wvp;
        CSVector4 v = k.in;
        ParticleMatrixStack::ProjectPointToViewport(v);
        EXPECT_TRUE(VecNear(v, k.out, 1e-4f)) << k.in.x << ", " << k.in.y << ", " << k.in.z;
    }
}

TEST_F(ParticleMatrixStackTest, LookAndYawPreRotations) {
    const CSMatrix start = MatrixOf({1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 3, 4, 5, 1});
    CSMatrix r;

    g_State.m_mCurrent = start;
    RotateCurrentLook256f(10, 20);
    SetRotation256f(r, 54, 0, 20);  // Y(20) x Z(64 - 10)
    EXPECT_TRUE(MatNear(g_State.m_mCurrent, Ordinary(r, start), 1e-6f));

    g_State.m_mCurrent = start;
    PreRotateCurrentZ256f(16);
    r.SetIdentity();
    SetRotation256f(r, 48, 0, 0);
    EXPECT_TRUE(MatNear(g_State.m_mCurrent, Ordinary(r, start), 1e-6f));

    g_State.m_mCurrent = start;
    g_State.m_fRecordedAngle = 30;
    g_State.m_fCameraYaw = 10;
    TurnCurrentToCameraYaw();
    SetRotation256f(r, 44, 0, 0);  // Z(64 + 10 - 30)
    EXPECT_TRUE(MatNear(g_State.m_mCurrent, Ordinary(r, start), 1e-6f));
}

TEST_F(ParticleMatrixStackTest, ScratchHelpers) {
    const CSMatrix fresh = ParticleScratchMatrix;
    RotateScratch256f(0, 0, 0);
    EXPECT_TRUE(MatNear(ParticleScratchMatrix, fresh, 0));

    CSMatrix m, viaSetter;
    RotateMatrix256f(m, 40, 0, 0);
    SetMatrixRotation256f(viaSetter, 40, 0, 0);
    EXPECT_TRUE(MatNear(m, viaSetter, 0));

    float x = 1, y = -2, z = 3;
    SetScratchRotation256(0, 0, 0);
    TransformByScratch(x, y, z);
    EXPECT_NEAR(x, 1, 1e-6f);
    EXPECT_NEAR(y, -2, 1e-6f);
    EXPECT_NEAR(z, 3, 1e-6f);

    // Rotations are multiplied in front: R(a, b, c) x scratch.
    SetScratchRotation256f(0, 30, 0);
    const CSMatrix re = ParticleScratchMatrix;
    RotateScratch256f(10, 0, 50);
    CSMatrix r;
    SetRotation256f(r, 10, 0, 50);
    EXPECT_TRUE(MatNear(ParticleScratchMatrix, Ordinary(r, re), 0));
    EXPECT_TRUE(CSVector4AllEqual(ParticleScratchMatrix.GetTranslation(), CSVector4(0, 0, 0, 1)));
    SetScratchRotation256(64, 0, 0);
    RotateScratch256(0, 0, 64);
    SetRotation256(r, 0, 0, 64);
    CSMatrix z64;
    SetRotation256(z64, 64, 0, 0);
    EXPECT_TRUE(MatNear(ParticleScratchMatrix, Ordinary(r, z64), 0));
    CSMatrix onMatrix = z64;
    RotateMatrix256(onMatrix, 0, 0, 64);
    EXPECT_TRUE(MatNear(onMatrix, ParticleScratchMatrix, 0));

    // A direction ignores the translation row.
    SetScratchRotation256f(64, 0, 0);
    x = 1, y = 0, z = 0;
    TransformByScratch(x, y, z);
    EXPECT_NEAR(x, 0, 1e-6f);
    EXPECT_NEAR(y, -1, 1e-6f);

    CSMatrix moved = Translation(4, 5, 6);
    SetMatrixRotation256f(moved, 30, 20, 10);
    SetMatrixRotation256(moved, 30, 20, 10);
    EXPECT_TRUE(CSVector4AllEqual(moved.GetTranslation(), CSVector4(4, 5, 6, 1)));
}
