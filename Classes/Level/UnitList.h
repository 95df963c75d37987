#pragma once
// Every unit of a battle, owned by the level: the only place units are made, numbered,
// stepped and removed. It answers the look-ups and totals of the battle and the brains,
// runs the battle-wide orders on the defenders, handles a kill (gold, sound, text,
// selection, the brains' notices) and writes and reads its savegame section.
//
// It works on the level registered as the level service.
#include <cstdint>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

class CLevelNode;
class CSpawnPoint;
class CUnit;
class MemoryStream;
struct UnitSaveRecord;

// One path search per level update: the level sets it to 1 at the start of the units'
// update; the first brain that searches sets it to 0.
extern int32_t PathSearchToken;

class UnitList {
public:
    typedef std::vector<boost::shared_ptr<CUnit>> Units;

    UnitList() = default;
    UnitList(const UnitList&) = delete;
    UnitList& operator=(const UnitList&) = delete;

    // A unit of the definition at the spawn point, appended: counted units take the
    // next id and show "spawn.prt", the others get id 0. It occupies its cell, and a
    // defender its spawn point, which gives it the point's bonus when counted. Empty
    // without the level service.
    boost::shared_ptr<CUnit> SpawnUnit(const std::string& name, const boost::weak_ptr<CSpawnPoint>& spawnPoint,
                                       int32_t side, bool playSound, bool counted);
    // At the level's spawn point of that object id (defenders) or the first attackers'
    // entry whatever the id (attackers); empty without one.
    boost::shared_ptr<CUnit> SpawnUnitAt(const std::string& name, int32_t spawnPointId, int32_t side, bool playSound,
                                         bool counted);

    // Steps every unit and removes those that ask to go; the count left.
    int32_t Update(int32_t dt);
    // False outside 0..count-1. A defender leaves its home spot and the selection first.
    bool RemoveAt(int32_t index);
    void Clear() { units_.clear(); }

    // ---- look-ups and counts ----
    const Units& GetUnits() const { return units_; }
    int32_t GetCount() const { return static_cast<int32_t>(units_.size()); }
    // Empty outside 0..count-1.
    boost::shared_ptr<CUnit> GetAt(int32_t index) const;
    boost::weak_ptr<CUnit> GetWeakAt(int32_t index) const { return GetAt(index); }
    boost::shared_ptr<CUnit> FindShared(const CUnit* unit) const;
    boost::weak_ptr<CUnit> FindWeak(const CUnit* unit) const { return FindShared(unit); }
    // The first defender of kind 3, alive or not.
    boost::weak_ptr<CUnit> FindDungeonKeeper() const;
    int32_t CountLivingAttackers() const;
    int32_t CountLivingDefenders() const;  // the keeper left out
    // What the defenders that are not sold would fetch.
    int32_t GetTotalSellValue(bool includeDead, bool includeKeeper) const;
    int32_t GetNextId() const { return next_id_; }

    // ---- battle-wide orders ----
    // Every defender back on its spot, its brain idle with no path.
    void SendDefendersHome();
    // Every defender healed silently, the dead resurrected, slow-downs gone.
    void HealAllDefenders();
    void RemoveHeroes();
    // Every unit but the defenders of kind 3.
    void RemoveAllButDungeonKeepers();
    // While the battle runs: every living attacker dies by its own hand, paying its gold.
    void KillAllAttackers();

    // ---- notices ----
    // The victim's hit points reached 0; the killer may be empty.
    void OnUnitKilled(const boost::weak_ptr<CUnit>& victim, const boost::weak_ptr<CUnit>& killer);
    // Moving pursuers of the unit drop the first cell of their paths.
    void OnUnitMovedCell(const boost::weak_ptr<CUnit>& unit, CLevelNode* from, CLevelNode* to);

    // ---- savegame ----
    // Count, each unit's record, next id, path-search token.
    bool Save(MemoryStream& stream) const;
    // Appends the records, then takes the next id and the token. False when the section
    // cannot be read whole, or the next id is negative or the token neither 0 nor 1:
    // then nothing is appended or taken.
    bool Load(std::vector<UnitSaveRecord>& records, MemoryStream& stream);

private:
    Units units_;
    int32_t next_id_ = 0;
};
