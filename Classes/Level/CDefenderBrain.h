#pragma once
// The defender's brain: it holds its spot. A melee defender leaves it to fight enemies
// within its move range and walks back when none is left; any other weapon shoots what
// is in range and never walks. A dead defender revives after its resurrection time.
#include <boost/weak_ptr.hpp>

#include "Classes/Level/CGenericBrain.h"

class CSpawnPoint;

class CDefenderBrain : public CGenericBrain {
public:
    // passive: the brain never leaves the idle state.
    CDefenderBrain(CUnit* unit, const boost::weak_ptr<CSpawnPoint>& spot, int32_t passive);
    ~CDefenderBrain() override;

    // Then the home spot of the record.
    int RestoreState(const UnitSaveRecord& record) override;
    void Think(int32_t dt) override;
    // Counts down to the revival while the battle is not over; never asks for removal.
    int UpdateTimer(int32_t& dt) override;

    boost::weak_ptr<CSpawnPoint> GetHomeSpot() const { return home_spot_; }
    void SetHomeSpot(const boost::weak_ptr<CSpawnPoint>& spot) { home_spot_ = spot; }
    // The unit has a level and stands on the cell of its home spot.
    int IsAtHome() const;
    int32_t IsPassive() const { return passive_; }

private:
    // False: wait for the retry delay, deciding nothing more now.
    bool ThinkMelee();

    boost::weak_ptr<CSpawnPoint> home_spot_;
    int32_t passive_;
};
