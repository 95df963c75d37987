#pragma once
// Stand-in until the units and the level's unit list exist: the fields and queries the
// level, its path search and its spawn points read of a unit, and a unit list that
// holds units, spawns the keeper and finds units by id. The unit task replaces this file.
#include <cstdint>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Classes/Level/CGenericObject.h"

class CLevel;
class CLevelNode;
class CSpawnPoint;

class CUnit : public CGenericObject {
public:
    enum Side { kAttacker = 1, kDefender = 2 };

    CUnit(CLevel* level, int32_t id, int32_t side, const std::string& definitionName, int32_t x, int32_t y, int32_t hp,
          int32_t speed);

    bool IsUnit() const override { return true; }

    int32_t GetSide() const { return side_; }
    bool IsAttacker() const { return side_ == kAttacker; }
    bool IsDefender() const { return side_ == kDefender; }
    const std::string& GetDefinitionName() const { return definition_name_; }
    CLevel* GetLevel() const { return level_; }

    bool IsAlive() const { return hp_ > 0; }
    int32_t GetHP() const { return hp_; }
    void SetHP(int32_t hp) { hp_ = hp; }
    int32_t GetMaxHP() const { return max_hp_; }
    // Hit points x 100 / maximum hit points; 0 without a maximum.
    int32_t GetHitPointPercent() const;

    // Grid units per second.
    int32_t GetSpeed() const { return speed_; }
    void SetSpeed(int32_t speed) { speed_ = speed; }
    // The brain's move and attack states.
    bool IsMoving() const { return moving_; }
    void SetMoving(bool moving) { moving_ = moving; }
    bool IsAttacking() const { return attacking_; }
    void SetAttacking(bool attacking) { attacking_ = attacking; }
    bool IsKeeper() const { return keeper_; }
    void SetKeeper(bool keeper) { keeper_ = keeper; }

    boost::weak_ptr<CUnit> GetSelfPointer() const { return self_; }
    void SetSelfPointer(const boost::weak_ptr<CUnit>& self) { self_ = self; }

    // The spot bonus; the stand-in only remembers the point it was given.
    void ApplySpawnPointBonus(CSpawnPoint* point, int32_t reason);
    void RemoveSpawnPointBonus(int32_t reason, int32_t second);
    CSpawnPoint* GetBonusPoint() const { return bonus_point_; }

private:
    CLevel* level_;
    int32_t side_;
    std::string definition_name_;
    int32_t hp_;
    int32_t max_hp_;
    int32_t speed_;
    bool moving_ = false;
    bool attacking_ = false;
    bool keeper_ = false;
    boost::weak_ptr<CUnit> self_;
    CSpawnPoint* bonus_point_ = nullptr;
};

class UnitList {
public:
    typedef std::vector<boost::shared_ptr<CUnit>> Units;

    explicit UnitList(CLevel* level) : level_(level) {}

    // A unit of the definition at the spot (defender hit points and speed from the
    // dictionary when it has the definition); a defender becomes the spot's occupant and
    // the unit takes the spot's cell. Empty when the spot has expired.
    boost::shared_ptr<CUnit> SpawnUnit(const std::string& definitionName, const boost::weak_ptr<CSpawnPoint>& spot,
                                       int32_t side, int32_t sound, int32_t newId);
    // Appends a unit made elsewhere (tests place units where they need them).
    void AddUnit(const boost::shared_ptr<CUnit>& unit);

    const Units& GetUnits() const { return units_; }
    boost::shared_ptr<CUnit> FindKeeper() const;
    void Clear() { units_.clear(); }
    int32_t GetNextUnitId() const { return next_unit_id_; }
    int32_t TakeUnitId() { return next_unit_id_++; }

    // The real list shortens the paths of units pursuing the mover; counted here.
    void OnUnitChangedCell(const boost::weak_ptr<CUnit>& unit, CLevelNode* oldCell, CLevelNode* newCell);
    int32_t GetCellChangeCount() const { return cell_changes_; }

private:
    CLevel* level_;
    Units units_;
    int32_t next_unit_id_ = 0;
    int32_t cell_changes_ = 0;
};
