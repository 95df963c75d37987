#include "Classes/Level/CSpawnPoint.h"

#include <string>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CUnit.h"
#include "Core/Service.h"
#include "IO/MemoryStream.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/Switch.h"

namespace {

const int32_t kSpawnPointPickGroup = 4;

// Free, selected, target of a move; by variant. The names differ in case on purpose.
const char* const kSelectionEffects[2][3] = {
    {"Selection_1.prt", "selection_2.prt", "Selection_1_T.prt"},
    {"selection_3.prt", "selection_4.prt", "selection_3_T.prt"},
};

}  // namespace

CSpawnPoint::CSpawnPoint(CLevel* level, int32_t number, int32_t objectId, int32_t x, int32_t y, int32_t direction,
                         int32_t kind, int32_t variant)
    : CLevelPoint(level, number, objectId, x, y, direction),
      kind_(kind),
      variant_(variant),
      move_target_(0),
      path_value_(1) {}

CSpawnPoint::~CSpawnPoint() = default;

int CSpawnPoint::Save(MemoryStream& stream) const {
    const boost::shared_ptr<CUnit> occupant = occupant_.lock();
    if (stream.WriteInt32(move_target_) != 1) return -1;
    if (stream.WriteInt32(occupant ? occupant->GetId() : -1) != 1) return -1;
    return stream.WriteInt32(path_value_) == 1 ? 1 : -1;
}

void CSpawnPoint::BuildNode() {
    // A second build must not leave the first switch behind in the world.
    DetachNode();
    boost::shared_ptr<sg::Switch> selection(new sg::Switch());
    node_ = selection;
    AttachNode();
    if (variant_ == 0 || variant_ == 1) {
        const std::string folder = Service<Config>::Exists() ? Service<Config>::Get()->Paths.ParticlesPath : "";
        for (const char* effect : kSelectionEffects[variant_]) {
            boost::shared_ptr<sg::EmitterNode> child(new sg::EmitterNode(folder + effect));
            child->SetName("SpawnPointNode");
            child->SetUserData(this);
            child->SetPickGroup(kSpawnPointPickGroup);
            child->SetUpdateWhilePaused(true);
            selection->AddChild(child, true);
        }
    }
    ShowSelection();
    UpdateVisibility();
    UpdateNode();
}

void CSpawnPoint::ShowSelection() {
    if (!node_ || !node_->IsType<sg::Switch>()) return;
    sg::Switch* selection = static_cast<sg::Switch*>(node_.get());
    selection->ShowOnly(move_target_ != 0 ? 2 : IsSelected() ? 1 : 0);
}

void CSpawnPoint::UpdateVisibility() {
    if (!node_) return;
    const bool visible = kind_ != kAttackerEntry && kind_ != kKeeperPlace && IsFree();
    node_->SetVisible(visible);
    node_->SetInView(visible);
}

bool CSpawnPoint::IsSelected() const {
    const CLevel* level = GetLevel();
    return level != nullptr && level->GetSelectedSpot().lock().get() == this;
}

void CSpawnPoint::SetOccupant(const boost::shared_ptr<CUnit>& unit, int32_t releaseFirst, int32_t reason) {
    if (releaseFirst != 0 && HasOccupant()) Release(reason, 0);
    Occupy(unit, reason);
    UpdateVisibility();
}

void CSpawnPoint::Occupy(const boost::shared_ptr<CUnit>& unit, int32_t reason) {
    occupant_ = unit;
    if (unit) unit->ApplySpawnPointBonus(this, reason);
}

void CSpawnPoint::Release(int32_t reason, int32_t second) {
    const boost::shared_ptr<CUnit> occupant = occupant_.lock();
    if (!occupant) return;
    occupant->RemoveSpawnPointBonus(reason, second);
    occupant_.reset();
}

bool CSpawnPoint::IsOccupiedBy(const CUnit* unit) const {
    const boost::shared_ptr<CUnit> occupant = occupant_.lock();
    return occupant && occupant.get() == unit;
}

boost::shared_ptr<CSpawnPoint> CSpawnPoint::GetShared() const {
    const CLevel* level = GetLevel();
    return level != nullptr ? level->FindMarkerByObject(this).lock() : boost::shared_ptr<CSpawnPoint>();
}

void CSpawnPoint::SetHighlighted(int32_t flag) {
    move_target_ = flag;
    ShowSelection();
}

int SpawnPointSaveRecord::Read(MemoryStream& stream) {
    int result = stream.ReadInt32(moveTarget);
    if (result == 1) result = stream.ReadInt32(occupantId);
    if (result == 1) result = stream.ReadInt32(pathValue);
    return result;
}
