#include "Classes/Level/CGenericObject.h"

#include <cmath>

#include "Classes/Level/CLevel.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Core/Service.h"
#include "SceneGraph/Group.h"

namespace {

// Truncation toward zero, held to the int32 range (offsets come from callers' floats).
int32_t TruncateToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace

CGenericObject::CGenericObject(int32_t id, int32_t x, int32_t y, int32_t z, int32_t direction)
    : id_(id), position_(x, y, z), direction_(direction) {}

CGenericObject::~CGenericObject() {
    DetachNode();
    node_.reset();
}

bool CGenericObject::IsUnit() const { return false; }

bool CGenericObject::IsSpawnPoint() const { return false; }

bool CGenericObject::IsMissile() const { return false; }

void CGenericObject::AttachNode() {
    if (!node_) return;
    CDunmarchGame* battle = Service<CDunmarchGame>::Get();
    if (battle == nullptr) return;
    const boost::shared_ptr<sg::Group> world = battle->GetWorldGroup();
    if (world) world->AddChild(node_);
}

void CGenericObject::DetachNode() {
    if (!node_) return;
    CDunmarchGame* battle = Service<CDunmarchGame>::Get();
    if (battle == nullptr) return;
    const boost::shared_ptr<sg::Group> world = battle->GetWorldGroup();
    if (world) world->RemoveChild(node_);
}

void CGenericObject::UpdateNode() {
    if (!node_ || !Service<CLevel>::Exists()) return;
    node_->ResetTransform();
    node_->Translate(Service<CLevel>::Get()->ToWorld(position_));
    node_->RotateX(static_cast<float>(MapTransform.rx));
    node_->RotateY(static_cast<float>(direction_ - 45));
    node_->RotateZ(static_cast<float>(MapTransform.rz));
}

void CGenericObject::MoveBy(const IntVector3& delta) {
    // Wraps like the game's other int32 grid arithmetic rather than overflowing.
    position_.x = static_cast<int32_t>(static_cast<uint32_t>(position_.x) + static_cast<uint32_t>(delta.x));
    position_.y = static_cast<int32_t>(static_cast<uint32_t>(position_.y) + static_cast<uint32_t>(delta.y));
    position_.z = static_cast<int32_t>(static_cast<uint32_t>(position_.z) + static_cast<uint32_t>(delta.z));
    UpdateNode();
}

void CGenericObject::MoveBy(const Vector3& offset) {
    position_.x = TruncateToInt32(static_cast<double>(offset.x * 500.0f + static_cast<float>(position_.x)));
    position_.y = TruncateToInt32(static_cast<double>(offset.y * 500.0f + static_cast<float>(position_.y)));
    position_.z = TruncateToInt32(static_cast<double>(offset.z * 500.0f + static_cast<float>(position_.z)));
    UpdateNode();
}
