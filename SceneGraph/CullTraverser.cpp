#include "SceneGraph/CullTraverser.h"

#include "Graphics/Model/Model.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/Light.h"
#include "SceneGraph/ModelNode.h"
#include "SceneGraph/RenderLists.h"
#include "SceneGraph/Switch.h"

namespace sg {

void CullTraverser::ResetCounters() {
    culled_nodes = passed_nodes = 0;
    culled_triangles = passed_triangles = 0;
    culled_emitters = passed_emitters = 0;
}

void CullTraverser::Pass(ModelNode& node, int32_t triangles) {
    ++passed_nodes;
    passed_triangles += triangles;
    node.SetCulled(false, 0);
    node.SetInView(true);
    lists_->models.push_back(&node);
}

void CullTraverser::Reject(ModelNode& node, int32_t triangles, int32_t side) {
    ++culled_nodes;
    culled_triangles += triangles;
    node.SetCulled(true, side);
    node.SetInView(false);
}

void CullTraverser::VisitModelNode(ModelNode& node) {
    const Graphics::Model* model = node.GetModel().get();
    const int32_t triangles = model != nullptr ? int32_t(model->triangle_count_) : 0;
    if (!node.IsVisible()) {
        Reject(node, triangles, node.GetCulledSide());
        return;
    }
    if (!node.GetFrustumCulling() || model == nullptr || !camera_) {
        Pass(node, triangles);
        return;
    }
    camera_->Rebuild();
    Matrix4 m;
    Matrix4Multiply(m, node.GetWorldMatrix(), camera_->GetViewProjection());

    const BoundingBox* box = &model->box_;
    const Graphics::ModelBvh& bvh = model->bvh_;
    if (bvh.frame_count > 0 && !bvh.boxes.empty()) {
        int64_t f = node.GetFrame() > 0.0f ? int64_t(node.GetFrame()) : 0;
        if (f >= int64_t(bvh.boxes.size())) f = int64_t(bvh.boxes.size()) - 1;
        box = &bvh.boxes[size_t(f)];
    }
    bool nearClip = false;
    int32_t side = 0;
    if (IsBoundingBoxVisible(*box, m, nearClip, side) || nearClip) Pass(node, triangles);
    else Reject(node, triangles, side);
}

void CullTraverser::VisitEmitterNode(EmitterNode& node) {
    if (!node.IsVisible()) {
        ++culled_emitters;
        node.SetCulled(true, node.GetCulledSide());
        node.SetInView(false);
        return;
    }
    ++passed_emitters;
    node.SetCulled(false, 0);
    lists_->emitters.push_back(&node);
    node.SetInView(true);
}

void CullTraverser::VisitLight(Light& node) { lists_->lights.push_back(&node); }

void CullTraverser::VisitGroup(Group& node) {
    if (!node.IsVisible()) return;
    for (const boost::shared_ptr<Node>& child : node.GetChildren()) child->Accept(*this);
}

void CullTraverser::VisitSwitch(Switch& node) {
    if (!node.IsVisible()) return;
    for (size_t i = 0; i < node.GetChildCount(); ++i)
        if (node.IsChildOn(i)) node.GetChildren()[i]->Accept(*this);
}

void CullTraverser::VisitNode(Node& /*node*/) {}

void CullTraverser::VisitCamera(Camera& /*node*/) {}

}  // namespace sg
