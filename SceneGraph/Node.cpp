#include "SceneGraph/Node.h"

#include "Core/Assert.h"
#include "SceneGraph/Group.h"

namespace sg {

const NodeType Node::Type{"sg.Node", &Transformable::Type};

Node::Node() = default;

Node::Node(const std::string& name) : name_(name) {}

Node::~Node() = default;

void Node::Accept(NodeTraverser& traverser) { traverser.VisitNode(*this); }

void Node::UpdateBounds() {
    // The local centre is the origin: the sphere sits at the world position.
    const Vector3 c = Vector3::ZeroVector;
    const Matrix4& w = world_;
    sphere_.center = Vector3(c.x * w[0] + c.y * w[4] + c.z * w[8] + w[12], c.x * w[1] + c.y * w[5] + c.z * w[9] + w[13],
                             c.x * w[2] + c.y * w[6] + c.z * w[10] + w[14]);
}

void Node::Refresh(NodeTraverser* traverser) {
    for (const NodeUpdateCallback& callback : update_callbacks_) callback.function(callback.user, this, traverser);
    if (absolute_ || parent_ == nullptr) world_ = local_;
    else world_ = parent_->GetWorldMatrix() * local_;  // local applies first, then the parent's world
    dirty_ = true;
    world_position_ = Vector3(world_[12], world_[13], world_[14]);
    UpdateBounds();
}

Vector3 Node::GetPickPoint() const { return (flags_ & kFlagOwnPickPoint) ? own_pick_point_ : sphere_.center; }

void Node::SetUserData(CGenericObject* object) { user_data_ = object; }

CGenericObject* Node::GetUserData() const {
    DM_ASSERT(!user_data_.empty(), "User Data is empty");
    CGenericObject* const* object = boost::any_cast<CGenericObject*>(&user_data_);
    return object ? *object : nullptr;
}

}  // namespace sg
