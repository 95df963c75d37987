// Stand-in until the level's unit list exists (see UnitStandIn.h).
#include "Classes/Level/StandIn/UnitStandIn.h"

#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"

boost::shared_ptr<CUnit> UnitList::SpawnUnit(const std::string& definitionName,
                                             const boost::weak_ptr<CSpawnPoint>& spot, int32_t side, int32_t,
                                             int32_t counted) {
    const boost::shared_ptr<CSpawnPoint> point = spot.lock();
    if (!point) return boost::shared_ptr<CUnit>();
    const int32_t id = counted != 0 ? next_unit_id_++ : 0;
    boost::shared_ptr<CUnit> unit(new CUnit(level_, id, definitionName, side, point));
    units_.push_back(unit);
    if (level_ != nullptr) level_->SetUnitCell(unit, nullptr, level_->GetCellOf(unit));
    if (unit->IsDefender()) point->SetOccupant(unit, 0, counted);
    return unit;
}

boost::shared_ptr<CUnit> UnitList::FindShared(const CUnit* unit) const {
    for (const boost::shared_ptr<CUnit>& listed : units_)
        if (listed.get() == unit) return listed;
    return boost::shared_ptr<CUnit>();
}

boost::shared_ptr<CUnit> UnitList::FindKeeper() const {
    for (const boost::shared_ptr<CUnit>& unit : units_)
        if (unit->IsDefender() && unit->IsDungeonKeeper()) return unit;
    return boost::shared_ptr<CUnit>();
}

void UnitList::OnUnitKilled(const boost::weak_ptr<CUnit>& victim, const boost::weak_ptr<CUnit>&) {
    const boost::shared_ptr<CUnit> unit = victim.lock();
    if (unit && unit->GetBrain() != nullptr) unit->GetBrain()->SetState(CGenericBrain::kDead);
}

void UnitList::OnUnitChangedCell(const boost::weak_ptr<CUnit>&, CLevelNode*, CLevelNode*) { ++cell_changes_; }
