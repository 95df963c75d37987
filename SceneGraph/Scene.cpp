#include "SceneGraph/Scene.h"

#include "Graphics/ParticleHooks.h"
#include "SceneGraph/BlobShadowCaster.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/ModelNode.h"

namespace sg {

Scene::Scene() : cull_traverser_(&lists_), sorter_(new MBXSorter) {}

Scene::~Scene() = default;

void Scene::SetCamera(const boost::shared_ptr<Camera>& camera) {
    camera_ = camera;
    cull_traverser_.SetCamera(camera);
    pick_traverser_.SetCamera(camera);
}

void Scene::SetBlobShadows(Graphics::GraphicsDevice* device, const boost::shared_ptr<Graphics::Texture2D>& texture,
                           float x, float y, float width, float height, int32_t maxCasters) {
    shadow_caster_.reset();
    BlobShadowCaster* caster = new BlobShadowCaster(texture, x, y, width, height, maxCasters);
    caster->SetGraphicsDevice(device);
    shadow_caster_.reset(caster);
}

void Scene::Update(float dt) {
    if (!root_) return;
    Graphics::ParticlesUpdateCamera();
    Graphics::ParticlesBeginFrame();
    app_traverser_.ClearEmitters();
    app_traverser_.SetRunning(running_);
    app_traverser_.SetTime(running_ && time_scale_on_ ? dt * time_scale_ : dt);
    root_->Accept(app_traverser_);
    app_traverser_.UpdateEmitters();
}

void Scene::Cull() {
    if (!root_) return;
    lists_.Clear();
    cull_traverser_.ResetCounters();
    lists_.camera = camera_.get();
    // Without a camera nothing can be seen: the lists stay empty.
    if (!camera_) return;
    root_->Accept(cull_traverser_);
}

void Scene::Sort() {
    if (sorter_) sorter_->Sort(lists_);
}

void Scene::DrawShadows() {
    if (shadows_enabled_ && shadow_caster_) shadow_caster_->Draw(lists_);
}

bool Scene::Pick(int32_t group, int32_t x, int32_t y, int32_t width, int32_t height, PickResult& out, bool drawn) {
    PickRect rect;
    rect.x = x;
    rect.y = y;
    rect.width = width;
    rect.height = height;
    if (drawn) {
        PickInDrawnLists(group, rect, lists_, out);
        return !out.GetHits().empty();
    }
    if (!root_ || !pick_traverser_.GetCamera()) return false;
    pick_traverser_.SetRect(rect);
    pick_traverser_.GetResult().GetHits().clear();
    pick_traverser_.SetPickGroup(group);
    pick_traverser_.SetRayMode(false);
    root_->Accept(pick_traverser_);
    PickResult& found = pick_traverser_.GetResult();
    if (found.GetHits().empty()) return false;
    out.SetRay(found.GetRay());
    out.GetHits() = found.GetHits();
    return true;
}

bool Scene::Pick(int32_t group, float x, float y, float width, float height, PickResult& out, bool drawn) {
    return Pick(group, int32_t(x), int32_t(y), int32_t(width), int32_t(height), out, drawn);
}

bool Scene::PickRay(int32_t group, float u, float v) {
    if (!root_ || !pick_traverser_.GetCamera()) return false;
    Ray ray;
    pick_traverser_.GetCamera()->ScreenToRay(u, v, ray);
    pick_traverser_.SetRay(ray);
    pick_traverser_.GetResult().GetHits().clear();
    pick_traverser_.GetResult().SetRay(ray);
    pick_traverser_.SetPickGroup(group);
    pick_traverser_.SetRayMode(true);
    root_->Accept(pick_traverser_);
    return !pick_traverser_.GetResult().GetHits().empty();
}

void Scene::PickInDrawnLists(int32_t group, const PickRect& rect, RenderLists& lists, PickResult& out) {
    if (!camera_) return;
    const float x = float(rect.x), y = float(rect.y), w = float(rect.width), h = float(rect.height);
    Vector3 screen;
    // A point on the camera plane cannot be projected: it is not under any rectangle.
    for (ModelNode* node : lists.models) {
        if (node->IsInView() && node->GetPickGroup() == group && camera_->WorldToScreen(node->GetPickPoint(), screen) &&
            IsPointInRect(x, y, w, h, screen.x, screen.y))
            out.GetHits().push_back(node);
    }
    for (EmitterNode* node : lists.emitters) {
        if (node->IsInView() && node->GetPickGroup() == group &&
            camera_->WorldToScreen(node->GetEmitterPickPoint(), screen) &&
            IsPointInRect(x, y, w, h, screen.x, screen.y))
            out.GetHits().push_back(node);
    }
}

}  // namespace sg
