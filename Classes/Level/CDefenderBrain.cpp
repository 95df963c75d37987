#include "Classes/Level/CDefenderBrain.h"

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Dictionary/GameDictionary/UnitDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/LevelServices.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/UnitSaveRecord.h"
#include "Core/Service.h"

namespace {

const int32_t kPathRetryDelay = 15;

}  // namespace

CDefenderBrain::CDefenderBrain(CUnit* unit, const boost::weak_ptr<CSpawnPoint>& spot, int32_t passive)
    : CGenericBrain(unit), home_spot_(spot), passive_(passive) {
    home_direction_ = 0;
}

CDefenderBrain::~CDefenderBrain() = default;

int CDefenderBrain::RestoreState(const UnitSaveRecord& record) {
    if (CGenericBrain::RestoreState(record) == 0) return 0;
    home_spot_ = record.homeSpawnPointId != -1 ? Service<CLevel>::Get()->FindMarker(record.homeSpawnPointId)
                                               : boost::shared_ptr<CSpawnPoint>();
    return 1;
}

int CDefenderBrain::IsAtHome() const {
    if (unit_ == nullptr || unit_->GetLevel() == nullptr) return 0;
    const CLevel* level = unit_->GetLevel();
    const CLevelNode* here = level->GetCellOf(unit_);
    return here != nullptr && here == level->GetCellOf(home_spot_) ? 1 : 0;
}

void CDefenderBrain::Think(int32_t) {
    if (unit_ == nullptr) return;
    if (passive_ != 0) {
        if (state_ != kIdle) SetState(kIdle);
        return;
    }
    if (path_retry_delay_ > 0) --path_retry_delay_;
    if (state_ == kTurn || state_ == kMove || state_ == kDead) return;
    if (state_ == kAttack) {
        if (unit_->IsHidden()) ClearTarget();
        return;
    }
    if (unit_->IsHidden()) return;

    if (unit_->IsMelee()) {
        if (!ThinkMelee()) return;
    } else {
        // Never walks: shoots what is in range.
        SearchTarget();
        if (!target_.expired()) {
            if (unit_->IsInAttackRange(target_)) SetState(kAttack);
            else ClearTarget();
        }
    }
    if (state_ == kNone) SetState(kIdle);
}

bool CDefenderBrain::ThinkMelee() {
    CLevel* level = unit_->GetLevel();
    if (!target_.expired() && !unit_->IsInGuardArea(target_)) {
        ClearTarget();
        ClearPath(1);
    }
    SearchTarget(home_spot_, unit_->GetGuardRange());

    boost::shared_ptr<CUnit> goalUnit;
    CLevelNode* goal = nullptr;
    if (const boost::shared_ptr<CUnit> target = GetTarget().lock()) {
        goalUnit = target;
        goal = level != nullptr ? level->GetCellOf(target) : nullptr;
    } else if (IsAtHome()) {
        path_.clear();
    } else if (cooldown_ <= 0 && level != nullptr) {
        goal = level->GetCellOf(home_spot_);
    }
    if (goal == nullptr) return true;

    if (goalUnit && unit_->CanAttack(goalUnit)) {
        // Arrived beside the target: idle first, attack at the next decision.
        if (state_ == kNone) SetState(kIdle);
        else if (state_ == kIdle) SetState(kAttack);
        return true;
    }
    if (path_retry_delay_ > 0) return false;
    if (path_.empty() && PathSearchToken == 1 && FindPathTo(goal, goalUnit ? 1 : 0, 0) == 0) {
        path_retry_delay_ = kPathRetryDelay;
        if (goalUnit) {
            ClearPath(1);
            ClearTarget();
        }
    }
    StepToNextCell();
    return true;
}

int CDefenderBrain::UpdateTimer(int32_t& dt) {
    const CDunmarchGame* battle = Battle();
    const DefenderDefinition* definition = unit_ != nullptr ? unit_->GetDefenderDefinition() : nullptr;
    if ((battle == nullptr || !battle->IsOver()) && definition != nullptr && definition->timeAutoResurect != 0) {
        timer_ -= dt;
        if (timer_ < 0) {
            timer_ = 0;
            unit_->Heal(true, false, false);
        }
    }
    dt = 0;
    return 1;
}
