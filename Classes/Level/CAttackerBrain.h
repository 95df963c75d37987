#pragma once
// The attacker's brain: along the way points from its spawn point towards the keeper,
// fighting what it meets; a dead body lies ten seconds, fading over the last two and a
// half, and is then removed.
#include <boost/weak_ptr.hpp>

#include "Classes/Level/CGenericBrain.h"

class CSpawnPoint;
class CWayPoint;

class CAttackerBrain : public CGenericBrain {
public:
    // The keeper of the level's unit list; the spawn point's link number (unit id mod
    // link count) as the first way point; the unit faces the spawn point's direction.
    CAttackerBrain(CUnit* unit, const boost::weak_ptr<CSpawnPoint>& spawnPoint);
    ~CAttackerBrain() override;

    // Then the keeper and the way point of the record.
    int RestoreState(const UnitSaveRecord& record) override;
    void Think(int32_t dt) override;
    // The target; without one the keeper while it lives.
    boost::weak_ptr<CUnit> GetTarget() const override;
    // Fades over the timer's last 2500 ms; 0 once it has run out.
    int UpdateTimer(int32_t& dt) override;

    boost::weak_ptr<CUnit> GetKeeper() const { return keeper_; }
    boost::weak_ptr<CWayPoint> GetWayPoint() const { return way_point_; }
    // The unit's cell is the way point's or beside it.
    int IsAtWayPoint() const;

private:
    boost::weak_ptr<CUnit> keeper_;
    boost::weak_ptr<CWayPoint> way_point_;
};
