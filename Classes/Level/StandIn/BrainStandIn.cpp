// Stand-in until the unit brains exist (see BrainStandIn.h).
#include "Classes/Level/StandIn/BrainStandIn.h"

#include "Classes/Dictionary/GameDictionary/UnitDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/CWayPoint.h"

CGenericBrain::CGenericBrain(CUnit* unit)
    : state_(kIdle),
      step_count_(0),
      timer_(0),
      cooldown_(0),
      turn_from_(0),
      turn_to_(0),
      turn_target_(0),
      home_direction_(0),
      path_retry_delay_(0),
      unit_(unit) {}

CGenericBrain::~CGenericBrain() = default;

void CGenericBrain::Think(int32_t) {}

int CGenericBrain::Update(int32_t& dt) {
    dt = 0;
    ++step_count_;
    return 1;
}

boost::weak_ptr<CUnit> CGenericBrain::GetTarget() const { return target_; }

void CGenericBrain::SetState(int32_t state, CLevelNode*, CLevelNode*) {
    if (state == state_) return;
    state_ = state;
    step_count_ = 0;
    if (unit_ == nullptr) return;
    if (state == kIdle) {
        if (!unit_->IsPlayingAnimation("idle")) unit_->PlayAnimation("idle", true);
    } else if (state == kDead) {
        unit_->PlayAnimation("death", false);
        const DefenderDefinition* defender = unit_->GetDefenderDefinition();
        timer_ = unit_->IsAttacker() ? 10000 : defender != nullptr ? defender->timeAutoResurect * 1000 : 0;
    }
}

void CGenericBrain::ClearPath(int whole, int) {
    if (whole != 0) path_.clear();
    else if (path_.size() > 1) path_.erase(path_.begin(), path_.end() - 1);
    turn_from_ = -1;
    turn_to_ = -1;
}

void CGenericBrain::TurnTo(int32_t degrees, int immediate) {
    if (unit_ == nullptr) return;
    if (immediate != 0) {
        unit_->SetDirection(degrees);
        return;
    }
    turn_target_ = ((degrees % 360) + 360) % 360;
    SetState(kTurn);
}

CAttackerBrain::CAttackerBrain(CUnit* unit, const boost::weak_ptr<CSpawnPoint>& spawnPoint) : CGenericBrain(unit) {
    if (unit != nullptr && unit->GetLevel() != nullptr) keeper_ = unit->GetLevel()->GetUnitList().FindDungeonKeeper();
    const boost::shared_ptr<CSpawnPoint> point = spawnPoint.lock();
    if (!point || unit == nullptr) return;
    if (!point->GetLinks().empty()) way_point_ = point->GetLink(unit->GetId());
    TurnTo(point->GetDirection(), 1);
}

boost::weak_ptr<CUnit> CAttackerBrain::GetTarget() const {
    if (!target_.expired()) return target_;
    const boost::shared_ptr<CUnit> keeper = keeper_.lock();
    return keeper && keeper->IsAlive() ? keeper_ : boost::weak_ptr<CUnit>();
}

CDefenderBrain::CDefenderBrain(CUnit* unit, const boost::weak_ptr<CSpawnPoint>& spot, int32_t passive)
    : CGenericBrain(unit), home_spot_(spot), passive_(passive) {}

int CDefenderBrain::IsAtHome() const {
    if (unit_ == nullptr || unit_->GetLevel() == nullptr) return 0;
    const CLevel* level = unit_->GetLevel();
    const CLevelNode* here = level->GetCellOf(unit_);
    return here != nullptr && here == level->GetCellOf(home_spot_) ? 1 : 0;
}
