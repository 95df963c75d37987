#pragma once
// Stand-in until the level's unit list exists: a list that makes units at spawn points,
// numbers the counted ones, finds them, and on a kill only sets the victim's brain dead.
// The unit-list issue replaces this file.
#include <cstdint>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Classes/Level/CUnit.h"

class CLevel;
class CLevelNode;
class CSpawnPoint;

class UnitList {
public:
    typedef std::vector<boost::shared_ptr<CUnit>> Units;

    explicit UnitList(CLevel* level) : level_(level) {}

    // A unit of the definition at the spot, appended; counted units take the next id,
    // the others id 0. The unit occupies its cell, a defender also the spot. Empty when
    // the spot has expired.
    boost::shared_ptr<CUnit> SpawnUnit(const std::string& definitionName, const boost::weak_ptr<CSpawnPoint>& spot,
                                       int32_t side, int32_t sound, int32_t counted);

    const Units& GetUnits() const { return units_; }
    boost::shared_ptr<CUnit> FindShared(const CUnit* unit) const;
    boost::weak_ptr<CUnit> FindWeak(const CUnit* unit) const { return FindShared(unit); }
    boost::shared_ptr<CUnit> FindKeeper() const;
    void Clear() { units_.clear(); }
    int32_t GetNextUnitId() const { return next_unit_id_; }

    // The victim's brain goes dead.
    void OnUnitKilled(const boost::weak_ptr<CUnit>& victim, const boost::weak_ptr<CUnit>& killer);
    // The real list shortens the paths of units pursuing the mover; counted here.
    void OnUnitChangedCell(const boost::weak_ptr<CUnit>& unit, CLevelNode* oldCell, CLevelNode* newCell);
    int32_t GetCellChangeCount() const { return cell_changes_; }

private:
    CLevel* level_;
    Units units_;
    int32_t next_unit_id_ = 0;
    int32_t cell_changes_ = 0;
};
