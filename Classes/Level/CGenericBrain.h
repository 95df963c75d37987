#pragma once
// What every unit's brain shares: the state machine (idle, turn, move, attack, dead)
// with its per-state steps, turning and walking at the unit's speed, the choice of a
// target among the level's units, the path to walk and its restoration from a savegame.
// The decision itself (Think) is the attacker's or the defender's.
//
// Time is whole milliseconds, positions level units (500 a cell), directions whole
// degrees, 0 facing -y and 90 facing +x.
#include <cstdint>
#include <vector>

#include <boost/weak_ptr.hpp>

#include "Maths/IntVector3.h"

class CGenericObject;
class CLevelNode;
class CUnit;
struct UnitSaveRecord;

class CGenericBrain {
public:
    // "none" is transient: a step that ends (a cell reached) leaves the next Think to decide.
    enum State { kNone = 0, kIdle = 1, kTurn = 2, kMove = 3, kAttack = 4, kDead = 5 };
    // Goal first, the next cell last.
    typedef std::vector<CLevelNode*> Path;

    explicit CGenericBrain(CUnit* unit);
    virtual ~CGenericBrain();
    CGenericBrain(const CGenericBrain&) = delete;
    CGenericBrain& operator=(const CGenericBrain&) = delete;

    // The common fields of the record's brain section; 0 when no level is registered.
    virtual int RestoreState(const UnitSaveRecord& record);
    virtual void Think(int32_t dt) = 0;
    // One step of the current state, spending dt (a turn or a reached cell may give some
    // back); 0 asks the unit list to remove the unit.
    virtual int Update(int32_t& dt);
    // The target; an attacker without one falls back to the living keeper.
    virtual boost::weak_ptr<CUnit> GetTarget() const;
    virtual void TurnStep(int32_t& dt);
    virtual void MoveStep(int32_t& dt);
    virtual void AttackStep(int32_t& dt);
    // The dead step: spends dt; 1.
    virtual int UpdateTimer(int32_t& dt);

    // A state change with its checks (an attack or a move may start a turn instead) and
    // its entry actions.
    void SetState(int32_t state, CLevelNode* from = nullptr, CLevelNode* to = nullptr);
    int32_t GetState() const { return state_; }
    static const char* GetStateName(int32_t state);
    static int GetAttackAnimationCount();
    // Null outside 0..4.
    static const char* GetAttackAnimationName(int index);

    boost::weak_ptr<CUnit> GetCurrentTarget() const { return target_; }
    void SetTarget(const boost::weak_ptr<CUnit>& target) { target_ = target; }
    void ClearTarget() { target_.reset(); }
    // whole: empty the path; otherwise keep only the next cell (the last one).
    void ClearPath(int whole, int ignored = 0);
    Path& GetPath() { return path_; }
    const Path& GetPath() const { return path_; }

    // From the centre of the unit's cell to the point (snap: to the centre of its cell).
    int32_t AngleTo(const IntVector3& point, int snap) const;
    int IsFacing(int32_t degrees) const;
    // immediate: the unit faces the direction at once; otherwise the brain turns.
    void TurnTo(int32_t degrees, int immediate);
    void FaceTowards(const IntVector3& point, int immediate, int snap);

    // Chooses a target among the level's units; a living target is kept. With an anchor,
    // a unit farther than the range from it finds none.
    void SearchTarget(const boost::weak_ptr<CGenericObject>& anchor, int32_t anchorRange);
    void SearchTarget() { SearchTarget(boost::weak_ptr<CGenericObject>(), 0); }
    // The level's search from the unit's cell into the path (range 7500); takes the
    // level update's path-search token. 0 when nothing is found.
    int FindPathTo(CLevelNode* goal, int32_t stopBeforeGoal, int32_t ignoreStillUnits);

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
    void SetPathRetryDelay(int32_t calls) { path_retry_delay_ = calls; }
    CUnit* GetUnit() const { return unit_; }

protected:
    // The next cell of the path: walk into it when free; a still or slower occupant
    // makes the next search go round it, a faster moving one is waited for.
    void StepToNextCell();

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

private:
    void IdleStep(int32_t dt);
    // Turns the unit part of the way from turnFrom to turnTo while it walks a cell.
    void TurnWhileMoving();
};
