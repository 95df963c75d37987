#include "Classes/Level/StandIn/UnitStandIn.h"

#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Core/Service.h"

CUnit::CUnit(CLevel* level, int32_t id, int32_t side, const std::string& definitionName, int32_t x, int32_t y,
             int32_t hp, int32_t speed)
    : CGenericObject(id, x, y, 0, 0),
      level_(level),
      side_(side),
      definition_name_(definitionName),
      hp_(hp),
      max_hp_(hp),
      speed_(speed) {}

int32_t CUnit::GetHitPointPercent() const { return max_hp_ > 0 ? hp_ * 100 / max_hp_ : 0; }

void CUnit::ApplySpawnPointBonus(CSpawnPoint* point, int32_t) { bonus_point_ = point; }

void CUnit::RemoveSpawnPointBonus(int32_t, int32_t) { bonus_point_ = nullptr; }

boost::shared_ptr<CUnit> UnitList::SpawnUnit(const std::string& definitionName,
                                             const boost::weak_ptr<CSpawnPoint>& spot, int32_t side, int32_t,
                                             int32_t newId) {
    const boost::shared_ptr<CSpawnPoint> point = spot.lock();
    if (!point) return boost::shared_ptr<CUnit>();
    int32_t hp = 1;
    int32_t speed = 0;
    bool keeper = false;
    if (Service<GameDictionary>::Exists()) {
        if (const DefenderDefinition* definition = Service<GameDictionary>::Get()->FindDefender(definitionName)) {
            hp = definition->hp;
            speed = definition->speed * 500 / 10;
            keeper = definition->type == kUnitDungeonKeeper;
        }
    }
    const IntVector3& at = point->GetPosition();
    boost::shared_ptr<CUnit> unit(
        new CUnit(level_, newId ? next_unit_id_++ : -1, side, definitionName, at.x, at.y, hp, speed));
    unit->SetKeeper(keeper);
    AddUnit(unit);
    if (side == CUnit::kDefender) point->SetOccupant(unit, 0, 1);
    if (level_ != nullptr) level_->SetUnitCell(unit, nullptr, level_->GetCellAtPoint(at));
    return unit;
}

void UnitList::AddUnit(const boost::shared_ptr<CUnit>& unit) {
    unit->SetSelfPointer(unit);
    units_.push_back(unit);
}

boost::shared_ptr<CUnit> UnitList::FindKeeper() const {
    for (const boost::shared_ptr<CUnit>& unit : units_)
        if (unit->IsDefender() && unit->IsKeeper()) return unit;
    return boost::shared_ptr<CUnit>();
}

void UnitList::OnUnitChangedCell(const boost::weak_ptr<CUnit>&, CLevelNode*, CLevelNode*) { ++cell_changes_; }
