#include "SceneGraph/PickTraverser.h"

#include "SceneGraph/ModelNode.h"
#include "SceneGraph/Switch.h"

namespace sg {

void PickTraverser::VisitModelNode(ModelNode& node) {
    if (!camera_ || !node.IsInView() || !node.IsVisible() || node.GetPickGroup() != group_) return;
    bool hit = false;
    if (ray_mode_) {
        hit = RayIntersectsSphere(ray_, node.GetBoundingSphere());
    } else {
        Vector3 screen;
        if (!camera_->WorldToScreen(node.GetBoundingSphere().center, screen))
            screen = Vector3();  // an unprojectable point is tested at (0, 0)
        hit =
            IsPointInRect(float(rect_.x), float(rect_.y), float(rect_.width), float(rect_.height), screen.x, screen.y);
    }
    if (hit) result_.GetHits().push_back(&node);
}

void PickTraverser::VisitGroup(Group& node) {
    // Hidden groups are entered too: their children decide.
    for (const boost::shared_ptr<Node>& child : node.GetChildren()) child->Accept(*this);
}

void PickTraverser::VisitSwitch(Switch& node) {
    for (size_t i = 0; i < node.GetChildCount(); ++i)
        if (node.IsChildOn(i)) node.GetChildren()[i]->Accept(*this);
}

void PickTraverser::VisitEmitterNode(EmitterNode& /*node*/) {}
void PickTraverser::VisitCamera(Camera& /*node*/) {}
void PickTraverser::VisitLight(Light& /*node*/) {}
void PickTraverser::VisitNode(Node& /*node*/) {}

}  // namespace sg
