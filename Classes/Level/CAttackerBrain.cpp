#include "Classes/Level/CAttackerBrain.h"

#include <algorithm>

#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/CWayPoint.h"
#include "Classes/Level/UnitSaveRecord.h"
#include "Core/Service.h"

namespace {

// Think calls to wait after a failed path search; longer while many attackers live.
const int32_t kRetryDelay = 15;
const int32_t kCrowdedRetryDelay = 30;
const int32_t kCrowd = 5;

}  // namespace

CAttackerBrain::CAttackerBrain(CUnit* unit, const boost::weak_ptr<CSpawnPoint>& spawnPoint) : CGenericBrain(unit) {
    if (unit != nullptr && unit->GetLevel() != nullptr) keeper_ = unit->GetLevel()->GetUnitList().FindDungeonKeeper();
    const boost::shared_ptr<CSpawnPoint> point = spawnPoint.lock();
    if (!point || unit == nullptr) return;
    if (!point->GetLinks().empty()) way_point_ = point->GetLink(unit->GetId());
    TurnTo(((point->GetDirection() % 360) + 360) % 360, 1);
}

CAttackerBrain::~CAttackerBrain() = default;

int CAttackerBrain::RestoreState(const UnitSaveRecord& record) {
    if (CGenericBrain::RestoreState(record) == 0) return 0;
    CLevel* level = Service<CLevel>::Get();
    keeper_ = record.keeperId != -1 ? level->FindUnit(record.keeperId) : boost::shared_ptr<CUnit>();
    way_point_ = record.wayPointId != -1 ? level->FindWayPoint(record.wayPointId) : boost::shared_ptr<CWayPoint>();
    return 1;
}

boost::weak_ptr<CUnit> CAttackerBrain::GetTarget() const {
    if (!target_.expired()) return target_;
    const boost::shared_ptr<CUnit> keeper = keeper_.lock();
    return keeper && keeper->IsAlive() ? keeper_ : boost::weak_ptr<CUnit>();
}

int CAttackerBrain::IsAtWayPoint() const {
    if (unit_ == nullptr || unit_->GetLevel() == nullptr) return 0;
    const boost::shared_ptr<CWayPoint> point = way_point_.lock();
    if (!point) return 0;
    const CLevelNode* here = unit_->GetCell();
    const CLevelNode* there = unit_->GetLevel()->GetCellOf(point);
    return here != nullptr && there != nullptr && here->IsAdjacent(there) != 0 ? 1 : 0;
}

void CAttackerBrain::Think(int32_t) {
    if (unit_ == nullptr) return;
    if (path_retry_delay_ > 0) --path_retry_delay_;
    if (state_ != kNone && state_ != kIdle) return;
    CLevel* level = unit_->GetLevel();

    if (!target_.expired() && !unit_->IsInViewRange(target_)) {
        ClearTarget();
        ClearPath(1);
    }
    // Attackers of one wave spread over the branches of the route by their ids.
    if (const boost::shared_ptr<CWayPoint> point = way_point_.lock())
        if (IsAtWayPoint()) {
            way_point_ = point->GetLink(unit_->GetId());
            ClearPath(1);
        }
    SearchTarget();

    boost::shared_ptr<CUnit> goalUnit;
    CLevelNode* goal = nullptr;
    if (level != nullptr) {
        if (const boost::shared_ptr<CUnit> target = target_.lock()) {
            goalUnit = target;
            goal = level->GetCellOf(target);
        } else if (const boost::shared_ptr<CWayPoint> point = way_point_.lock()) {
            goal = level->GetCellOf(point);
        } else if (const boost::shared_ptr<CUnit> keeper = GetTarget().lock()) {
            goalUnit = keeper;
            goal = level->GetCellOf(keeper);
        }
    }
    if (goal != nullptr) {
        if (goalUnit && unit_->CanAttack(goalUnit)) {
            if (unit_->CanTarget(goalUnit)) SetState(kAttack);
        } else {
            if (path_retry_delay_ > 0) return;
            if (path_.empty() && PathSearchToken == 1 && FindPathTo(goal, 1, 0) == 0) {
                path_retry_delay_ =
                    level->GetUnitList().CountLivingAttackers() >= kCrowd ? kCrowdedRetryDelay : kRetryDelay;
                if (goalUnit) {
                    ClearPath(1);
                    ClearTarget();
                }
            }
            StepToNextCell();
        }
    }
    if (state_ == kNone) SetState(kIdle);
}

int CAttackerBrain::UpdateTimer(int32_t& dt) {
    timer_ -= dt;
    const float fade = std::max(0.0f, std::min(1.0f, static_cast<float>(timer_) / 2500.0f));
    if (fade < 1.0f && unit_ != nullptr) unit_->SetFade(fade);
    int result = 1;
    if (timer_ < 0) {
        timer_ = 0;
        result = 0;
    }
    dt = 0;
    return result;
}
