// The particle batches drawn on the OpenGL device through the sample data's
// uber effect: an alpha-blended and an additive quad over a blue clear, and
// two line quads, one running up the screen and one across it, each widened
// into a band of twice its half width.
#include <gtest/gtest.h>

#include <boost/make_shared.hpp>
#include <cstdlib>
#include <memory>

#include "Graphics/GraphicsDevice.h"
#include "Graphics/GraphicsDeviceFixture.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Scene.h"
#include "particles/ParticleBatch.h"
#include "particles/ParticleDevice.h"
#include "support/GLDeviceFixture.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
// The camera at (0, -10, 0) looking along +y with a 60 degree field of view
// sees x in -7.698 .. 7.698 and z in -5.7735 .. 5.7735 on the plane y = 0:
// 10.392 pixels a unit either way.
constexpr float kPixelsPerUnit = 10.392f;
int PixelX(float x) { return int(kWidth / 2 + x * kPixelsPerUnit); }
int PixelY(float z) { return int(kHeight / 2 - z * kPixelsPerUnit); }

const float kUvs[8] = {0, 0, 0, 1, 1, 0, 1, 1};

struct Rgb {
    int r, g, b;
};

::testing::AssertionResult Near(DWORD pixel, Rgb expected) {
    const int r = int(pixel >> 16 & 0xFF), g = int(pixel >> 8 & 0xFF), b = int(pixel & 0xFF);
    if (std::abs(r - expected.r) <= 3 && std::abs(g - expected.g) <= 3 && std::abs(b - expected.b) <= 3)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << r << ", " << g << ", " << b << "), expected (" << expected.r
                                         << ", " << expected.g << ", " << expected.b << ")";
}

class ParticleBatchPixelTest : public testsupport::GLDeviceTest {
protected:
    ParticleBatchPixelTest() : GLDeviceTest({"particles", kWidth, kHeight, 1, D3DCREATE_HARDWARE_VERTEXPROCESSING}) {}

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GLDeviceTest::SetUp());
        folder.WriteShippedEffects();
        BindParticleHooks();
        graphics.reset(new Graphics::GraphicsDevice(d3d, device));
        ASSERT_TRUE(graphics->GetEffect()->IsLoaded());
        // The whole virtual screen, stretched over the small back buffer.
        graphics->SetViewport(Viewport(0, 0, 1024, 768, 0.0f, 1.0f));
        camera = boost::make_shared<sg::Camera>();
        camera->SetLookAt(Vector3(0.0f, -10.0f, 0.0f), Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f));
        camera->SetPerspective(60.0f, float(kWidth) / kHeight, 1.0f, 100.0f);
        scene.SetCamera(camera);
        graphics->SetScene(&scene);
        ParticlesUpdateCamera();
        ParticlesBeginFrame();
    }
    void TearDown() override {
        ExpectNoDeviceErrors();
        ParticlesReleaseView();
        graphics.reset();
        UnbindParticleHooks();
        GLDeviceTest::TearDown();
    }

    // A quad on the plane y = 0 from (x0, z0) to (x1, z1).
    static void Quad(float x0, float z0, float x1, float z1, const CSVector4& colour, bool alphaBlended) {
        const CSVector4 corners[4] = {{x0, 0, z1, 0.01f}, {x0, 0, z0, 0.01f}, {x1, 0, z1, 0.01f}, {x1, 0, z0, 0.01f}};
        AddParticleQuad(nullptr, corners, colour, colour, kUvs, alphaBlended, true, 0);
    }
    // A line quad from top to bottom, half width hw.
    static void Line(const CSVector4& top, const CSVector4& bottom, float hw, const CSVector4& colour) {
        const CSVector4 corners[4] = {{top.x, top.y, top.z, -hw},
                                      {bottom.x, bottom.y, bottom.z, -hw},
                                      {top.x, top.y, top.z, hw},
                                      {bottom.x, bottom.y, bottom.z, hw}};
        AddParticleQuad(nullptr, corners, colour, colour, kUvs, true, true, 1);
    }

    GameFolder folder;
    std::unique_ptr<Graphics::GraphicsDevice> graphics;
    boost::shared_ptr<sg::Camera> camera;
    sg::Scene scene;
};

TEST_F(ParticleBatchPixelTest, BlendedAdditiveAndLineQuadsShowWhereTheyShould) {
    const Rgb blue{0, 0, 255}, yellow{255, 255, 0};
    Quad(-6, -1, -3, 1, CSVector4(255, 0, 0, 128), true);   // half red over the blue
    Quad(-2, -1, 1, 1, CSVector4(0, 255, 0, 128), false);   // adds half green
    const CSVector4 opaqueYellow(255, 255, 0, 255);
    Line(CSVector4(3, 0, 2, 0), CSVector4(3, 0, -2, 0), 0.5f, opaqueYellow);       // up the screen
    Line(CSVector4(-6, 0, -3.5f, 0), CSVector4(6, 0, -3.5f, 0), 0.5f, opaqueYellow);  // across it

    ASSERT_EQ(device->BeginScene(), D3D_OK);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FFu, 1.0f, 0);
    ParticlesFlush();
    device->EndScene();
    ASSERT_NO_FATAL_FAILURE(ReadBack());

    EXPECT_TRUE(Near(At(PixelX(-4.5f), PixelY(0)), {128, 0, 127}));
    EXPECT_TRUE(Near(At(PixelX(-0.5f), PixelY(0)), {0, 128, 255}));
    EXPECT_TRUE(Near(At(PixelX(-2.5f), PixelY(0)), blue));  // between the two
    // The line up the screen: a band one unit wide about x = 3.
    EXPECT_TRUE(Near(At(PixelX(3.0f), PixelY(0)), yellow));
    EXPECT_TRUE(Near(At(PixelX(3.3f), PixelY(1.5f)), yellow));
    EXPECT_TRUE(Near(At(PixelX(3.8f), PixelY(0)), blue));
    EXPECT_TRUE(Near(At(PixelX(2.2f), PixelY(0)), blue));
    // The line across the screen: as wide, about z = -3.5 from one end to the other.
    for (float x : {-5.5f, 0.0f, 5.5f}) {
        EXPECT_TRUE(Near(At(PixelX(x), PixelY(-3.5f)), yellow)) << x;
        EXPECT_TRUE(Near(At(PixelX(x), PixelY(-3.2f)), yellow)) << x;
        EXPECT_TRUE(Near(At(PixelX(x), PixelY(-4.3f)), blue)) << x;
        EXPECT_TRUE(Near(At(PixelX(x), PixelY(-2.7f)), blue)) << x;
    }
}

}  // namespace
