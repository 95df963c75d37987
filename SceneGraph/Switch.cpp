#include "SceneGraph/Switch.h"

namespace sg {

const NodeType Switch::Type{"sg.Switch", &Group::Type};

void Switch::Accept(NodeTraverser& traverser) { traverser.VisitSwitch(*this); }

int Switch::AddChild(const boost::shared_ptr<Node>& child, bool on) {
    if (!child) return static_cast<int>(children_.size());
    Group::AddChild(child);
    mask_.push_back(on);
    return static_cast<int>(children_.size());
}

bool Switch::ReplaceChild(size_t index, const boost::shared_ptr<Node>& child) {
    if (index >= children_.size() || !child) return false;
    children_[index]->ClearParent();
    child->SetParent(this);
    children_[index] = child;
    return true;
}

bool Switch::RemoveChild(size_t index) {
    // The mask and the children grow together, so one bound covers both.
    if (index >= mask_.size() || index >= children_.size()) return false;
    mask_.erase(mask_.begin() + static_cast<std::ptrdiff_t>(index));
    children_[index]->ClearParent();
    children_.erase(children_.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

void Switch::ShowAll() { mask_.assign(mask_.size(), true); }

void Switch::HideAll() { mask_.assign(mask_.size(), false); }

bool Switch::ShowOnly(size_t index) {
    if (index >= mask_.size()) return false;
    HideAll();
    mask_[index] = true;
    return true;
}

bool Switch::HideOnly(size_t index) {
    if (index >= mask_.size()) return false;
    ShowAll();
    mask_[index] = false;
    return true;
}

bool Switch::SetChildVisible(const Node* child, bool on) {
    for (size_t i = 0; i < children_.size() && i < mask_.size(); ++i) {
        if (children_[i].get() == child) {
            mask_[i] = on;
            return true;
        }
    }
    return false;
}

bool Switch::IsChildVisible(const Node* child) const {
    for (size_t i = 0; i < children_.size() && i < mask_.size(); ++i)
        if (children_[i].get() == child) return mask_[i];
    return false;
}

}  // namespace sg
