#include "SceneGraph/StatsTraverser.h"

#include "SceneGraph/Switch.h"

namespace sg {

void StatsTraverser::Collect(Group& group) {
    nodes = model_nodes = lights = emitter_nodes = 0;
    VisitGroup(group);
    // A report step would follow here; there is nothing to report to.
}

void StatsTraverser::VisitNode(Node& /*node*/) { ++nodes; }

void StatsTraverser::VisitCamera(Camera& /*node*/) { ++nodes; }

void StatsTraverser::VisitModelNode(ModelNode& /*node*/) {
    ++nodes;
    ++model_nodes;
}

void StatsTraverser::VisitLight(Light& /*node*/) {
    ++nodes;
    ++lights;
}

void StatsTraverser::VisitEmitterNode(EmitterNode& /*node*/) {
    ++nodes;
    ++emitter_nodes;
}

void StatsTraverser::VisitGroup(Group& node) {
    ++nodes;
    for (const boost::shared_ptr<Node>& child : node.GetChildren()) child->Accept(*this);
}

void StatsTraverser::VisitSwitch(Switch& node) {
    ++nodes;
    for (size_t i = 0; i < node.GetChildCount(); ++i)
        if (node.IsChildOn(i)) node.GetChildren()[i]->Accept(*this);
}

bool FindNodeTraverser::Matches(const Node& node) const {
    return by_name_ ? node.GetName() == name_ : node.GetId() == id_;
}

void FindNodeTraverser::VisitNode(Node& node) {
    if (Matches(node)) found_ = &node;
}

void FindNodeTraverser::VisitGroup(Group& node) {
    if (Matches(node)) {
        found_ = &node;
        return;
    }
    for (const boost::shared_ptr<Node>& child : node.GetChildren()) child->Accept(*this);
}

void FindNodeTraverser::VisitSwitch(Switch& /*node*/) {}
void FindNodeTraverser::VisitEmitterNode(EmitterNode& /*node*/) {}
void FindNodeTraverser::VisitCamera(Camera& /*node*/) {}
void FindNodeTraverser::VisitModelNode(ModelNode& /*node*/) {}
void FindNodeTraverser::VisitLight(Light& /*node*/) {}

}  // namespace sg
