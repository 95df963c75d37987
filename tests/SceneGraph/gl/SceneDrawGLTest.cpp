// The debug axes of the scene draw on the OpenGL backend: each axis shows in
// its colour where the camera projects it.
#include <gtest/gtest.h>

#include "Graphics/gl/GraphicsDeviceGLFixture.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Scene.h"

namespace {

class SceneDrawGLTest : public GraphicsDeviceGLTest {};

TEST_F(SceneDrawGLTest, DebugAxesShowInTheirColours) {
    boost::shared_ptr<sg::Camera> camera(new sg::Camera());
    camera->SetViewport(Viewport(0, 0, kWidth, kHeight, 0.0f, 1.0f));
    camera->SetLookAt(Vector3(160.0f, 120.0f, 140.0f), Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f));
    camera->SetPerspective(60.0f, static_cast<float>(kWidth) / kHeight, 10.0f, 10000.0f);
    sg::Scene scene;
    scene.SetCamera(camera);
    scene.SetClearColor(Color(0, 0, 0, 255));
    graphics->SetDrawAxes(true);
    graphics->Draw(&scene);

    const struct {
        Vector3 point;
        Rgb colour;
    } axes[] = {{Vector3(60.0f, 0.0f, 0.0f), {255, 0, 0}},
                {Vector3(0.0f, 60.0f, 0.0f), {0, 255, 0}},
                {Vector3(0.0f, 0.0f, 60.0f), {0, 0, 255}}};
    for (const auto& axis : axes) {
        Vector3 screen;
        ASSERT_TRUE(camera->WorldToScreen(axis.point, screen));
        EXPECT_TRUE(NearAround(static_cast<int>(screen.x), static_cast<int>(screen.y), axis.colour, 8))
            << "axis towards (" << axis.point.x << ", " << axis.point.y << ", " << axis.point.z << ") at " << screen.x
            << ", " << screen.y;
    }
    EXPECT_TRUE(Near(Pixel(2, 2), {0, 0, 0}));
}

}  // namespace
