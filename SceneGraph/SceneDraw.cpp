// The scene draw the graphics device runs (GraphicsDevice::Draw): clear,
// camera position, lights, axes, model nodes, blob shadows, particles and the
// statistics overlay.
#include <cstdio>

#include "Graphics/Draw2D.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/ParticleHooks.h"
#include "Graphics/SpriteFont.h"
#include "SceneGraph/ModelNode.h"
#include "SceneGraph/Scene.h"

namespace sg {

bool Scene::HasCamera() const { return camera_ != nullptr; }

const Matrix4& Scene::GetCameraViewProjection() { return camera_->GetViewProjection(); }

void Scene::DrawOn(Graphics::GraphicsDevice& device) {
    Graphics::GDEffect* uber = device.GetEffect().get();
    ID3DXEffect* effect = uber->effect_;

    DWORD flags = 0;
    if (clear_target_) {
        flags |= D3DCLEAR_TARGET;
    }
    if (clear_depth_) {
        flags |= D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL;
    }
    if (flags != 0) {
        device.GetDevice()->Clear(0, nullptr, flags, clear_color_.ToARGB(), 1.0f, 0);
    }

    // The world eye is refreshed with the matrices; rebuild a dirty camera so
    // the specular highlight does not trail a frame behind.
    boost::shared_ptr<Camera> camera = camera_;
    camera->Rebuild();
    const Vector3& eye = camera->GetWorldEye();
    const float camPos[3] = {eye.x, eye.y, eye.z};
    effect->SetValue(uber->cam_pos_, camPos, static_cast<UINT>(sizeof(camPos)));

    if (light_) {
        device.SetLight(light_.get());
    }
    for (Light* light : lists_.lights) {
        device.SetLight(light);
    }
    if (device.GetDrawAxes()) {
        device.DrawAxes();
    }
    for (ModelNode* node : lists_.models) {
        node->SetEffect(uber);
        node->Draw(camera.get());
    }
    DrawShadows();
    Graphics::ParticlesDrawObjects();
    Graphics::ParticlesFlush();

    if (show_statistics_ && statistics_font_) {
        const CullTraverser& stats = cull_traverser_;
        char line[128];
        Graphics::Draw2D::Begin();
        std::snprintf(line, sizeof(line), "CULLING STATS [CULLED : %d, PASSED : %d]", stats.culled_nodes,
                      stats.passed_nodes);
        Graphics::Draw2D::DrawText(statistics_font_, 0.0f, 0.0f, line);
        std::snprintf(line, sizeof(line), "CULLED TRIS : %d PASSED TRIS: %d", stats.culled_triangles,
                      stats.passed_triangles);
        Graphics::Draw2D::DrawText(statistics_font_, 0.0f, static_cast<float>(statistics_font_->GetLineHeight()), line);
        Graphics::Draw2D::End();
    }
}

}  // namespace sg
