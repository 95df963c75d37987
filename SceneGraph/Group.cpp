#include "SceneGraph/Group.h"

#include <algorithm>

namespace sg {

const NodeType Group::Type{"sg.Group", &Node::Type};

Group::~Group() {
    // A child kept alive elsewhere must not point at a dead group.
    for (const boost::shared_ptr<Node>& child : children_)
        if (child && child->GetParent() == this) child->ClearParent();
}

void Group::Accept(NodeTraverser& traverser) { traverser.VisitGroup(*this); }

void Group::AddChild(const boost::shared_ptr<Node>& child) {
    if (!child) return;
    child->SetParent(this);
    children_.push_back(child);
}

bool Group::RemoveChild(const boost::shared_ptr<Node>& child) {
    Children::iterator it = std::find(children_.begin(), children_.end(), child);
    if (it == children_.end()) return false;
    (*it)->ClearParent();
    children_.erase(it);
    return true;
}

}  // namespace sg
