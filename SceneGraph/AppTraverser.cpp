#include "SceneGraph/AppTraverser.h"

#include <algorithm>
#include <deque>

#include "SceneGraph/Camera.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/Light.h"
#include "SceneGraph/ModelNode.h"
#include "SceneGraph/Switch.h"

namespace sg {

bool AppTraverser::MayUpdate(const Node& node) const {
    return running_ ? node.IsUpdateEnabled() : node.GetUpdateWhilePaused();
}

void AppTraverser::VisitNode(Node& node) {
    if (MayUpdate(node)) node.Refresh(this);
}

void AppTraverser::VisitLight(Light& node) { VisitNode(node); }

void AppTraverser::VisitCamera(Camera& node) { VisitNode(node); }

void AppTraverser::VisitModelNode(ModelNode& node) {
    node.Animate(MayUpdate(node) ? dt_ : 0.0f);
    node.Refresh(this);
}

void AppTraverser::VisitGroup(Group& node) {
    node.Refresh(this);
    if (!node.IsVisible()) return;
    // A frame callback may add or remove children while the pass runs: the
    // children present when it began are visited once each, unless removed
    // before their turn; those added wait for the next pass.
    // The snapshot goes into a buffer of this nesting depth, kept from pass to pass, so
    // that a pass allocates nothing once the tree's shape was seen. The buffers and the
    // depth are the thread's, so a pass started from a callback takes the next depths;
    // a deque, so a deeper buffer's making leaves the outer ones where they are.
    thread_local std::deque<Group::Children> snapshots;
    thread_local size_t depth = 0;
    if (depth == snapshots.size()) snapshots.emplace_back();
    Group::Children& children = snapshots[depth++];
    // Released on the way out, also when a visit throws: no node is kept alive between
    // passes, and the depth stays true.
    struct Release {
        Group::Children& children;
        size_t& depth;
        ~Release() {
            children.clear();
            --depth;
        }
    } release{children, depth};
    children.assign(node.GetChildren().begin(), node.GetChildren().end());
    size_t expected = 0;  // where the next child stands while nothing changed
    for (const boost::shared_ptr<Node>& child : children) {
        const Group::Children& now = node.GetChildren();
        if (expected < now.size() && now[expected] == child) {
            ++expected;
        } else {
            const Group::Children::const_iterator at = std::find(now.begin(), now.end(), child);
            if (at == now.end()) continue;
            expected = static_cast<size_t>(at - now.begin()) + 1;
        }
        Visit(child);
    }
}

void AppTraverser::Visit(const boost::shared_ptr<Node>& child) {
    const size_t emitters = emitters_.size();
    child->Accept(*this);
    if (emitters_.size() > emitters && static_cast<Node*>(emitters_.back()) == child.get()) held_.push_back(child);
}

void AppTraverser::VisitSwitch(Switch& node) {
    node.Refresh(this);
    if (!node.IsVisible()) return;
    for (size_t i = 0; i < node.GetChildCount(); ++i) {
        if (!node.IsChildOn(i)) continue;
        const boost::shared_ptr<Node> child = node.GetChildren()[i];
        Visit(child);
    }
}

void AppTraverser::VisitEmitterNode(EmitterNode& node) {
    node.Refresh(this);
    node.SetEmitterPickPoint(node.GetWorldPosition());
    emitters_.push_back(&node);
}

void AppTraverser::UpdateEmitters() {
    for (EmitterNode* node : emitters_) node->UpdateCulled(running_ || node->GetUpdateWhilePaused() ? dt_ : 0.0f);
}

}  // namespace sg
