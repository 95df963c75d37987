// The player's selection on the map (a spot, defenders or an attacker), the picks under
// the pointer, the taps on the map and the teleport of a defender between spots.
#include <algorithm>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Dictionary/GameDictionary/MapDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/LevelServices.h"
#include "Core/Service.h"
#include "Game/GameAudio.h"
#include "SceneGraph/Node.h"
#include "SceneGraph/RenderLists.h"
#include "SceneGraph/Scene.h"
#include "shell/PointerState.h"

namespace {

void RestartHighlights() {
    if (CDunmarchGame* battle = Battle()) battle->RestartHighlights();
}

// The hits of a pick of the group in the rectangle of the kind, centred on the pointer.
bool PickAtPointer(const CLevel& level, int32_t group, int32_t kind, bool drawn, sg::PickResult& out) {
    CDunmarchGame* battle = Battle();
    if (battle == nullptr || !battle->GetScene()) return false;
    const Vector2 area = level.GetPickArea(kind);
    const Vector2& pointer = GetPointerState().position;
    return battle->GetScene()->Pick(group, static_cast<int32_t>(pointer.x - area.x / 2.0f),
                                    static_cast<int32_t>(pointer.y - area.y / 2.0f), static_cast<int32_t>(area.x),
                                    static_cast<int32_t>(area.y), out, drawn);
}

// The object of the hit that rises highest: the greatest world z, the first among equals.
CGenericObject* BestHit(const sg::PickResult& result) {
    float top = -10000.0f;
    const sg::Node* best = nullptr;
    for (const sg::Node* node : result.GetHits())
        if (node->HasUserData() && node->GetWorldPosition().z > top) {
            top = node->GetWorldPosition().z;
            best = node;
        }
    return best != nullptr ? best->GetUserData() : nullptr;
}

CUnit* AsUnit(CGenericObject* object) {
    return object != nullptr && object->IsUnit() ? static_cast<CUnit*>(object) : nullptr;
}

CSpawnPoint* AsSpawnPoint(CGenericObject* object) {
    return object != nullptr && object->IsSpawnPoint() ? static_cast<CSpawnPoint*>(object) : nullptr;
}

// The best unit hit by a pick of the group at the pointer; null for none.
CUnit* UnitUnderPointer(const CLevel& level, int32_t group) {
    sg::PickResult result;
    if (!PickAtPointer(level, group, kPickUnits, false, result)) return nullptr;
    return AsUnit(BestHit(result));
}

// The first hit of a spot pick at the pointer, when it is a spawn point.
CSpawnPoint* SpotUnderPointer(const CLevel& level, bool drawn) {
    sg::PickResult result;
    if (!PickAtPointer(level, kPickSpawnPoints, kPickSpawnPoints, drawn, result)) return nullptr;
    const sg::Node* first = result.GetFirstHit();
    return AsSpawnPoint(first != nullptr && first->HasUserData() ? first->GetUserData() : nullptr);
}

CDefenderBrain* DefenderBrainOf(const CUnit* unit) {
    return unit != nullptr ? dynamic_cast<CDefenderBrain*>(unit->GetBrain()) : nullptr;
}

}  // namespace

Vector2 CLevel::GetPickArea(int32_t kind) const {
    const CDunmarchGame* battle = Battle();
    if (battle == nullptr || map_definition_ == nullptr) return Vector2(0.0f, 0.0f);
    const std::map<int32_t, PickArea>& areas = map_definition_->view.pickAreas;
    const std::map<int32_t, PickArea>::const_iterator entry = areas.find(kind);
    if (entry == areas.end()) return Vector2(0.0f, 0.0f);
    const float zoom = battle->GetZoomFactor();
    return Vector2(static_cast<float>(entry->second.width) * zoom, static_cast<float>(entry->second.height) * zoom);
}

void CLevel::UpdateHover() {
    if (SpotUnderPointer(*this, false) != nullptr) {
        hovered_unit_.reset();
        return;
    }
    if (const CUnit* unit = UnitUnderPointer(*this, CUnit::kPickLiving))
        if (unit->IsDefender() || (unit->IsAttacker() && unit->IsAlive())) {
            hovered_unit_ = unit_list_.FindWeak(unit);
            return;
        }
    if (const CUnit* unit = UnitUnderPointer(*this, CUnit::kPickDeadDefender))
        if (unit->IsDefender()) {
            hovered_unit_ = unit_list_.FindWeak(unit);
            return;
        }
    hovered_unit_.reset();
}

int CLevel::OnMapInput(int32_t phase, const Vector2&) {
    if (phase != 0) return 0;
    if (CSpawnPoint* spot = SpotUnderPointer(*this, true))
        if (spot->IsDefenderSpot()) {
            const boost::weak_ptr<CSpawnPoint> tapped = FindMarkerByObject(spot);
            if (spot_highlight_mode_ != 0) {
                if (!selected_defenders_.empty()) Teleport(selected_defenders_.front(), tapped);
            } else if (selected_spot_.lock().get() != spot) {
                ClearSelection();
                SelectSpot(tapped);
            } else {
                SelectSpot(boost::weak_ptr<CSpawnPoint>());
            }
            return 1;
        }
    if (CUnit* unit = UnitUnderPointer(*this, CUnit::kPickLiving)) {
        const boost::weak_ptr<CUnit> tapped = unit_list_.FindWeak(unit);
        if (spot_highlight_mode_ == 0) {
            if (unit->IsDefender()) SelectDefender(tapped);
            else if (unit->IsAttacker() && unit->IsAlive()) SelectAttacker(tapped);
        } else if (unit->IsDefender() && !selected_defenders_.empty() &&
                   selected_defenders_.front().lock().get() == unit) {
            // A tap on the defender being moved ends the targeting.
            SetSpotHighlightMode(0);
        }
        return 1;
    }
    if (CUnit* unit = UnitUnderPointer(*this, CUnit::kPickDeadDefender)) {
        if (unit->IsDefender()) SelectDefender(unit_list_.FindWeak(unit));
        return 1;
    }
    if (spot_highlight_mode_ == 0) {
        ClearSelection();
        SetSpotHighlightMode(0);
    }
    return 0;
}

void CLevel::ClearSelection() {
    ClearSelectedDefenders();
    SetSelectedAttacker(boost::weak_ptr<CUnit>());
    SelectSpot(boost::weak_ptr<CSpawnPoint>());
}

void CLevel::SelectSpot(const boost::weak_ptr<CSpawnPoint>& spot) {
    const boost::shared_ptr<CSpawnPoint> previous = selected_spot_.lock();
    const boost::shared_ptr<CSpawnPoint> next = spot.lock();
    selected_spot_ = spot;
    if (previous) previous->ShowSelection();
    if (next) next->ShowSelection();
    if (previous != next) RestartHighlights();
}

void CLevel::SetSelectedAttacker(const boost::weak_ptr<CUnit>& unit) {
    const boost::shared_ptr<CUnit> previous = selected_attacker_.lock();
    const boost::shared_ptr<CUnit> next = unit.lock();
    selected_attacker_ = unit;
    if (previous) previous->UpdateSelectionEffect();
    if (next) next->UpdateSelectionEffect();
    if (previous != next) RestartHighlights();
}

void CLevel::AddSelectedDefender(const boost::weak_ptr<CUnit>& unit) {
    selected_defenders_.push_back(unit);
    if (const boost::shared_ptr<CUnit> selected = unit.lock()) selected->UpdateSelectionEffect();
    RestartHighlights();
}

void CLevel::ClearSelectedDefenders() {
    SetSpotHighlightMode(0);
    if (!selected_defenders_.empty()) {
        std::vector<boost::weak_ptr<CUnit>> former;
        former.swap(selected_defenders_);
        for (const boost::weak_ptr<CUnit>& unit : former)
            if (const boost::shared_ptr<CUnit> locked = unit.lock()) locked->UpdateSelectionEffect();
    }
    RestartHighlights();
}

void CLevel::SelectDefender(const boost::weak_ptr<CUnit>& unit) {
    const bool alone = selected_defenders_.size() == 1 && selected_defenders_.front().lock() == unit.lock();
    ClearSelection();
    // A second tap on the only selected defender deselects it.
    if (!alone) AddSelectedDefender(unit);
}

void CLevel::SelectAttacker(const boost::weak_ptr<CUnit>& unit) {
    if (unit.lock() != selected_attacker_.lock()) {
        ClearSelection();
        SetSelectedAttacker(unit);
    } else {
        SetSelectedAttacker(boost::weak_ptr<CUnit>());
    }
}

void CLevel::SelectGroup(const std::vector<boost::weak_ptr<CUnit>>& units) {
    std::vector<boost::weak_ptr<CUnit>> living;
    std::vector<boost::weak_ptr<CUnit>> dead;
    for (const boost::weak_ptr<CUnit>& unit : units)
        if (const boost::shared_ptr<CUnit> locked = unit.lock())
            if (locked->IsDefender()) (locked->IsAlive() ? living : dead).push_back(unit);
    ClearSelectedDefenders();
    for (const boost::weak_ptr<CUnit>& unit : living.empty() ? dead : living) AddSelectedDefender(unit);
    if (selected_defenders_.empty()) return;
    SelectSpot(boost::weak_ptr<CSpawnPoint>());
    SetSelectedAttacker(boost::weak_ptr<CUnit>());
}

std::vector<boost::weak_ptr<CSpawnPoint>>& CLevel::GetFreeDefenderSpots() const {
    static std::vector<boost::weak_ptr<CSpawnPoint>> free;
    free.clear();
    for (const boost::shared_ptr<CSpawnPoint>& marker : markers_)
        if (marker->IsDefenderSpot() && !marker->HasOccupant()) free.push_back(marker);
    return free;
}

int32_t CLevel::CountFreeDefenderSpots() const { return static_cast<int32_t>(GetFreeDefenderSpots().size()); }

void CLevel::UpdateSpotHighlights() {
    if (selected_defenders_.size() != 1) return;
    const boost::shared_ptr<CUnit> defender = selected_defenders_.front().lock();
    const CDefenderBrain* brain = DefenderBrainOf(defender.get());
    const boost::shared_ptr<CSpawnPoint> home = brain != nullptr ? brain->GetHomeSpot().lock() : nullptr;
    if (!home) return;
    for (const boost::shared_ptr<CSpawnPoint>& marker : markers_) {
        if (!marker->IsDefenderSpot()) continue;
        int32_t flag = 1;
        if (marker == home) {
            flag = 0;
        } else if (const CLevelNode* cell = GetCellOf(marker)) {
            // Offered when free or held by the spot's own defender (the two swap).
            if (const boost::shared_ptr<CUnit> occupant = cell->GetOccupant().lock())
                flag = marker->IsOccupiedBy(occupant.get()) ? 1 : 0;
        }
        if (marker->IsHighlighted() == flag) continue;
        marker->SetHighlighted(flag);
        if (marker->GetNode()) {
            marker->GetNode()->SetVisible(flag != 0);
            marker->GetNode()->SetInView(flag != 0);
        }
    }
}

int CLevel::CanTeleportTo(const boost::weak_ptr<CUnit>&, const boost::weak_ptr<CSpawnPoint>& spot) const {
    const CLevelNode* cell = GetCellOf(spot);
    if (cell == nullptr) return 0;
    const boost::shared_ptr<CUnit> occupant = cell->GetOccupant().lock();
    return !occupant || occupant->IsDefender() ? 1 : 0;
}

void CLevel::Teleport(const boost::weak_ptr<CUnit>& unit, const boost::weak_ptr<CSpawnPoint>& spot) {
    if (CanTeleportTo(unit, spot) == 0) return;
    const boost::shared_ptr<CUnit> a = unit.lock();
    CDefenderBrain* brainA = DefenderBrainOf(a.get());
    const boost::shared_ptr<CSpawnPoint> target = spot.lock();
    if (!a || !a->IsDefender() || brainA == nullptr || !target) return;
    const boost::shared_ptr<CUnit> b = target->GetOccupant().lock();
    const boost::shared_ptr<CSpawnPoint> home = brainA->GetHomeSpot().lock();
    if (!home) return;
    // The price was checked when the targeting began; gold spent since, or a replayed
    // record, must not drive the gold below zero.
    CDunmarchGame* battle = Battle();
    const int32_t price = a->GetTeleportPrice();
    if (battle != nullptr && price > battle->GetGold()) return;

    if (battle != nullptr) battle->RecordInput(2, a->GetId(), target->GetId());

    brainA->SetHomeSpot(target);
    brainA->ClearTarget();
    brainA->ClearPath(1);
    // A dead defender (a replayed record can move one) keeps counting down to its revival.
    if (a->IsAlive()) brainA->SetState(CGenericBrain::kIdle);
    if (CDefenderBrain* brainB = DefenderBrainOf(b.get())) {
        brainB->SetHomeSpot(home);
        brainB->ClearTarget();
        brainB->ClearPath(1);
        if (b->IsAlive()) brainB->SetState(CGenericBrain::kIdle);
    }

    CLevelNode* cellA = a->FindOwnCell();
    CLevelNode* cellB = b ? b->FindOwnCell() : nullptr;
    CLevelNode* homeCell = GetCellOf(home);
    CLevelNode* targetCell = GetCellOf(target);
    a->MoveToCell(cellA, targetCell, false);
    a->AddParticleEffect("Teleprt.prt", true);
    if (b) {
        // A has taken the target cell already.
        b->MoveToCell(cellB == targetCell ? nullptr : cellB, homeCell, true);
        b->AddParticleEffect("Teleprt.prt", true);
    }

    // Both spots giving the bonus: it stays, and so do the hit points it gave.
    const int32_t keep = home->GetVariant() == 1 && target->GetVariant() == 1 ? 1 : 0;
    home->Release(1, keep);
    target->Release(1, keep);
    home->Occupy(b, 1);
    target->Occupy(a, 1);
    home->UpdateVisibility();
    target->UpdateVisibility();

    ClearSelectedDefenders();
    SelectDefender(a);
    if (battle != nullptr) battle->AddGold(-price);
    for (const boost::weak_ptr<CUnit>& pursuer : std::vector<boost::weak_ptr<CUnit>>(a->GetPursuers()))
        if (const boost::shared_ptr<CUnit> hunter = pursuer.lock())
            if (CGenericBrain* brain = hunter->GetBrain()) {
                brain->ClearPath(0);
                brain->ClearTarget();
            }
    SetSpotHighlightMode(0);
    PlaySound("Teleport.wav", true);
}
