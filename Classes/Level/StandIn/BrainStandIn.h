#pragma once
// Stand-in until the unit brains exist: CGenericBrain, CAttackerBrain and CDefenderBrain
// with their fields, their states and the operations the units call, but no decisions:
// Think does nothing, Update spends the step idly, and SetState only changes the state
// and plays the state's clip. The brain issue replaces this file.
#include <cstdint>
#include <vector>

#include <boost/weak_ptr.hpp>

class CLevelNode;
class CSpawnPoint;
class CUnit;
class CWayPoint;

class CGenericBrain {
public:
    enum State { kNone = 0, kIdle = 1, kTurn = 2, kMove = 3, kAttack = 4, kDead = 5 };
    typedef std::vector<CLevelNode*> Path;

    explicit CGenericBrain(CUnit* unit);
    virtual ~CGenericBrain();
    CGenericBrain(const CGenericBrain&) = delete;
    CGenericBrain& operator=(const CGenericBrain&) = delete;

    virtual void Think(int32_t dt);
    // Spends dt; 1 (a brain of the real game answers 0 once its unit is to go).
    virtual int Update(int32_t& dt);
    // The target; an attacker without one falls back to the living keeper.
    virtual boost::weak_ptr<CUnit> GetTarget() const;

    // Idle plays "idle" looped; dead plays "death" and starts the timer (10000 ms for
    // attackers, the definition's resurrection time for defenders).
    void SetState(int32_t state, CLevelNode* from = nullptr, CLevelNode* to = nullptr);
    int32_t GetState() const { return state_; }

    boost::weak_ptr<CUnit> GetCurrentTarget() const { return target_; }
    void SetTarget(const boost::weak_ptr<CUnit>& target) { target_ = target; }
    void ClearTarget() { target_.reset(); }
    // whole: empty the path; otherwise keep only the next cell (the last one).
    void ClearPath(int whole, int ignored = 0);
    Path& GetPath() { return path_; }
    const Path& GetPath() const { return path_; }

    // immediate: the unit faces the direction at once; otherwise the brain turns.
    void TurnTo(int32_t degrees, int immediate);

    int32_t GetStepCount() const { return step_count_; }
    int32_t GetTimer() const { return timer_; }
    void SetTimer(int32_t ms) { timer_ = ms; }
    int32_t GetCooldown() const { return cooldown_; }
    void SetCooldown(int32_t ms) { cooldown_ = ms; }
    int32_t GetTurnFrom() const { return turn_from_; }
    int32_t GetTurnTo() const { return turn_to_; }
    int32_t GetTurnTarget() const { return turn_target_; }
    int32_t GetHomeDirection() const { return home_direction_; }
    void SetHomeDirection(int32_t degrees) { home_direction_ = degrees; }
    int32_t GetPathRetryDelay() const { return path_retry_delay_; }
    CUnit* GetUnit() const { return unit_; }

protected:
    int32_t state_;
    int32_t step_count_;
    int32_t timer_;
    int32_t cooldown_;
    int32_t turn_from_;
    int32_t turn_to_;
    int32_t turn_target_;
    int32_t home_direction_;
    int32_t path_retry_delay_;
    boost::weak_ptr<CUnit> target_;
    Path path_;
    CUnit* unit_;
};

class CAttackerBrain : public CGenericBrain {
public:
    // The keeper of the level's unit list; the spawn point's link number (unit id mod
    // link count) as the first way point; the unit faces the spawn point's direction.
    CAttackerBrain(CUnit* unit, const boost::weak_ptr<CSpawnPoint>& spawnPoint);

    boost::weak_ptr<CUnit> GetTarget() const override;
    boost::weak_ptr<CUnit> GetKeeper() const { return keeper_; }
    boost::weak_ptr<CWayPoint> GetWayPoint() const { return way_point_; }

private:
    boost::weak_ptr<CUnit> keeper_;
    boost::weak_ptr<CWayPoint> way_point_;
};

class CDefenderBrain : public CGenericBrain {
public:
    CDefenderBrain(CUnit* unit, const boost::weak_ptr<CSpawnPoint>& spot, int32_t passive);

    boost::weak_ptr<CSpawnPoint> GetHomeSpot() const { return home_spot_; }
    // The unit has a level and stands on the cell of its home spot.
    int IsAtHome() const;
    int32_t IsPassive() const { return passive_; }

private:
    boost::weak_ptr<CSpawnPoint> home_spot_;
    int32_t passive_;
};
