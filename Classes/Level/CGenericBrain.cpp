#include "Classes/Level/CGenericBrain.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "Classes/Dictionary/GameDictionary/UnitDefinition.h"
#include "Classes/Dictionary/GameDictionary/WeaponDefinition.h"
#include "Classes/Level/CDefenderBrain.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/UnitSaveRecord.h"
#include "Core/Service.h"
#include "Game/GameAudio.h"
#include "Maths/FixedTrig.h"

namespace {

const char* const kStateNames[] = {"none", "idle", "turn", "move", "attack", "dead"};
const char* const kAttackAnimations[] = {"strike_1", "strike_2", "bow_shoot", "castsmall", "castbig"};
const int kAttackAnimationCount = 5;

// Farthest a path search looks, in level units of summed step costs.
const int32_t kPathRange = 7500;

int32_t Reduce(int32_t degrees) {
    int32_t a = degrees % 360;
    if (a < 0) a += 360;
    return a;
}

IntVector3 CellCentreOf(const IntVector3& point) {
    return IntVector3(point.x / 500 * 500 + 250, point.y / 500 * 500 + 250, 0);
}

int64_t Length(const IntVector3& v) {
    const double x = v.x, y = v.y, z = v.z;
    return static_cast<int64_t>(std::sqrt(x * x + y * y + z * z));
}

// Each component x length / |v|, truncated toward zero; a zero vector stays.
IntVector3 Normalised(const IntVector3& v, int64_t length) {
    const int64_t current = Length(v);
    if (current == 0) return v;
    return IntVector3(static_cast<int32_t>(v.x * length / current), static_cast<int32_t>(v.y * length / current),
                      static_cast<int32_t>(v.z * length / current));
}

int64_t DistanceSquared(const IntVector3& a, const IntVector3& b) {
    const int64_t dx = static_cast<int64_t>(a.x) - b.x;
    const int64_t dy = static_cast<int64_t>(a.y) - b.y;
    const int64_t dz = static_cast<int64_t>(a.z) - b.z;
    return dx * dx + dy * dy + dz * dz;
}

// One candidate group of the target search.
struct Candidates {
    std::vector<boost::weak_ptr<CUnit>> units;
    std::vector<int64_t> distances;
    std::vector<int32_t> health;
    std::vector<int32_t> rates;

    void Clear() {
        units.clear();
        distances.clear();
        health.clear();
        rates.clear();
    }
    void Add(const boost::shared_ptr<CUnit>& unit, int64_t distance) {
        units.push_back(unit);
        distances.push_back(distance);
        health.push_back(unit->GetHitPointPercent());
        const WeaponDefinition* weapon = unit->GetWeapon();
        rates.push_back(weapon != nullptr && weapon->kind == kWeaponDamage ? unit->GetDamageRate() : 0);
    }
    void Swap(Candidates& other) {
        units.swap(other.units);
        distances.swap(other.distances);
        health.swap(other.health);
        rates.swap(other.rates);
    }
};

}  // namespace

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

const char* CGenericBrain::GetStateName(int32_t state) {
    return state >= kNone && state <= kDead ? kStateNames[state] : "unknown";
}

int CGenericBrain::GetAttackAnimationCount() { return kAttackAnimationCount; }

const char* CGenericBrain::GetAttackAnimationName(int index) {
    return index >= 0 && index < kAttackAnimationCount ? kAttackAnimations[index] : nullptr;
}

int CGenericBrain::RestoreState(const UnitSaveRecord& record) {
    if (!Service<CLevel>::Exists()) return 0;
    CLevel* level = Service<CLevel>::Get();
    int32_t* const fields[UnitSaveRecord::kBrainFieldCount] = {&state_,       &step_count_,     &timer_,
                                                               &cooldown_,    &turn_from_,      &turn_to_,
                                                               &turn_target_, &home_direction_, &path_retry_delay_};
    for (int i = 0; i < UnitSaveRecord::kBrainFieldCount; ++i) *fields[i] = record.brainFields[i];
    target_.reset();
    if (record.targetId != -1) target_ = level->FindUnit(record.targetId);
    path_.clear();
    for (const std::pair<int32_t, int32_t>& cell : record.path)
        if (CLevelNode* node = level->GetCellAt(cell.first, cell.second)) path_.push_back(node);
    return 1;
}

boost::weak_ptr<CUnit> CGenericBrain::GetTarget() const { return target_; }

int CGenericBrain::Update(int32_t& dt) {
    if (unit_ == nullptr) return 1;
    int result = 1;
    if (cooldown_ > 0) {
        int64_t factor = 100;
        if (const UnitEffect* slow = unit_->FindEffect(Slow)) factor = 100 - std::min<int64_t>(100, slow->value);
        const int64_t left = cooldown_ - static_cast<int64_t>(dt) * factor / 100;
        cooldown_ = static_cast<int32_t>(std::max<int64_t>(0, std::min<int64_t>(left, INT32_MAX)));
    }
    switch (state_) {
        case kIdle:
            IdleStep(dt);
            dt = 0;
            break;
        case kTurn: TurnStep(dt); break;
        case kMove: MoveStep(dt); break;
        case kAttack: AttackStep(dt); break;
        case kDead: result = UpdateTimer(dt); break;
        default: dt = 0; break;
    }
    ++step_count_;
    return result;
}

void CGenericBrain::IdleStep(int32_t dt) {
    if (!unit_->IsDefender()) return;
    const CDefenderBrain* defender = dynamic_cast<const CDefenderBrain*>(this);
    if (step_count_ > 0 && defender != nullptr && defender->IsAtHome()) unit_->AutoHealStep(dt);
    // The enemies' view is the costly test: last.
    if (!IsFacing(home_direction_) && cooldown_ <= 0 && unit_->GetThreats().empty()) TurnTo(home_direction_, 0);
}

int CGenericBrain::UpdateTimer(int32_t& dt) {
    dt = 0;
    return 1;
}

void CGenericBrain::SetState(int32_t state, CLevelNode* from, CLevelNode* to) {
    if (unit_ == nullptr) return;
    if (state == kIdle && state_ == kTurn) {
        turn_from_ = -1;
        turn_to_ = -1;
    } else if (state == kAttack) {
        if (cooldown_ > 0) return;
        if (const boost::shared_ptr<CUnit> target = GetTarget().lock()) {
            const int32_t angle = AngleTo(target->GetPosition(), 0);
            if (!IsFacing(angle)) {
                TurnTo(angle, 0);
                return;
            }
        }
    } else if (state == kMove) {
        const UnitDefinition* definition = unit_->GetDefinition();
        if (definition == nullptr || definition->speed <= 0) return;
        if (to != nullptr) {
            turn_from_ = -1;
            turn_to_ = -1;
            const int32_t angle = AngleTo(to->GetPosition(), 1);
            if (state_ == kIdle) {
                if (!IsFacing(angle)) {
                    TurnTo(angle, 0);
                    return;
                }
            } else {
                int32_t d = std::abs(Reduce(unit_->GetDirection()) - Reduce(angle));
                if (d >= 180) d = 360 - d;
                if (d > 60) {
                    TurnTo(angle, 0);
                    return;
                }
                if (d > 0) {
                    turn_from_ = unit_->GetDirection();
                    turn_to_ = angle;
                }
            }
        }
    }

    if (unit_->IsDefender() && state_ == kIdle && state != kIdle) unit_->SetAutoHeal(false);
    if (state == state_) return;
    const int32_t previous = state_;
    state_ = state;
    step_count_ = 0;

    switch (state) {
        case kIdle:
            if (!unit_->IsPlayingAnimation("idle")) unit_->PlayAnimation("idle", true);
            break;
        case kMove:
            if (previous == kNone && to != nullptr) FaceTowards(to->GetPosition(), 1, 1);
            if (!unit_->IsPlayingAnimation("walk")) unit_->PlayAnimation("walk", true);
            if (CLevel* level = unit_->GetLevel()) level->SetUnitCell(unit_->GetWeakPtr(), from, to);
            break;
        case kAttack: {
            const UnitDefinition* definition = unit_->GetDefinition();
            if (definition != nullptr && !definition->attackAnimations.empty()) {
                const size_t count = definition->attackAnimations.size();
                const size_t index = static_cast<uint32_t>(unit_->GetAttackCounter()) % count;
                unit_->PlayAnimation(definition->attackAnimations[index], false);
            } else {
                unit_->PlayAnimation("idle", true);
            }
            timer_ = 0;
            path_.clear();
            // No weapon, or one that never hits, waits as long as one hit in ten seconds.
            const int32_t hitRate = unit_->GetHitRate();
            cooldown_ = hitRate > 0 ? 10000 / hitRate : 10000;
            unit_->IncrementAttackCounter();
            if (const WeaponDefinition* weapon = unit_->GetWeapon()) {
                const std::vector<std::string>& sounds = weapon->sounds.lists[WeaponSounds::kUnit];
                if (!sounds.empty()) PlaySound(sounds[static_cast<size_t>(std::rand()) % sounds.size()], true);
            }
            break;
        }
        case kDead: {
            unit_->PlayAnimation("death", false);
            const DefenderDefinition* defender = unit_->GetDefenderDefinition();
            timer_ = unit_->IsAttacker() ? 10000 : defender != nullptr ? defender->timeAutoResurect * 1000 : 0;
            break;
        }
        default: break;
    }
}

void CGenericBrain::ClearPath(int whole, int) {
    if (whole != 0) path_.clear();
    else if (path_.size() > 1) path_.erase(path_.begin(), path_.end() - 1);
    turn_from_ = -1;
    turn_to_ = -1;
}

int32_t CGenericBrain::AngleTo(const IntVector3& point, int snap) const {
    if (unit_ == nullptr) return 0;
    const IntVector3 origin = CellCentreOf(unit_->GetPosition());
    const IntVector3 to = snap != 0 ? CellCentreOf(point) : point;
    const IntVector3 v = Normalised(IntVector3(to.x - origin.x, to.y - origin.y, 0), 100);
    const IntVector3 north = Normalised(IntVector3(0, -500, 0), 100);
    const int32_t c = (v.x * north.x + v.y * north.y) * 1000 / 10000;
    int32_t angle = FixedAcos(c);
    if (v.x < 0) angle = -angle;
    return angle / 1000;
}

int CGenericBrain::IsFacing(int32_t degrees) const {
    return unit_ != nullptr && Reduce(unit_->GetDirection()) == Reduce(degrees) ? 1 : 0;
}

void CGenericBrain::TurnTo(int32_t degrees, int immediate) {
    if (unit_ == nullptr) return;
    if (immediate != 0) {
        unit_->SetDirection(degrees);
        return;
    }
    turn_target_ = Reduce(degrees);
    SetState(kTurn);
}

void CGenericBrain::FaceTowards(const IntVector3& point, int immediate, int snap) {
    TurnTo(AngleTo(point, snap), immediate);
}

void CGenericBrain::TurnStep(int32_t& dt) {
    if (unit_ == nullptr) return;
    const int32_t current = Reduce(unit_->GetDirection());
    const int32_t target = Reduce(turn_target_);
    if (current == target) {
        SetState(kIdle);
        return;
    }
    const int32_t step = static_cast<int32_t>(static_cast<int64_t>(dt) * 360 / 1000);
    const int32_t d = std::abs(target - current);
    int32_t direction;
    if (step < d) {
        const bool up = (current < target && target - current < 180) || (current > target && current - target >= 180);
        direction = up ? current + step : current - step;
        dt = 0;
    } else {
        direction = target;
        dt = (step - d) * 1000 / 360;
    }
    unit_->SetDirection(direction);
}

void CGenericBrain::TurnWhileMoving() {
    if (turn_from_ == -1 || turn_to_ == -1 || turn_from_ == turn_to_ || path_.empty()) return;
    const IntVector3& last = unit_->GetHomePosition();
    const IntVector3 next = CellCentreOf(path_.back()->GetPosition());
    const int64_t total = Length(IntVector3(next.x - last.x, next.y - last.y, 0));
    if (total == 0) return;
    const IntVector3& position = unit_->GetPosition();
    const int64_t done = Length(IntVector3(position.x - last.x, position.y - last.y, 0));
    int32_t from = turn_from_;
    int32_t to = turn_to_;
    if (std::abs(from - to) > 180) {
        if (from > to) from -= 360;
        else to -= 360;
    }
    const int32_t direction = done > 150 ? to : from + static_cast<int32_t>((to - from) * (done * 100 / 150) / 100);
    unit_->SetDirection(direction);
}

void CGenericBrain::MoveStep(int32_t& dt) {
    if (unit_ == nullptr || unit_->GetLevel() == nullptr || path_.empty()) return;
    const IntVector3 target = CellCentreOf(path_.back()->GetPosition());
    IntVector3 position = unit_->GetPosition();
    const int64_t dd = DistanceSquared(position, target);
    const IntVector3 direction =
        Normalised(IntVector3(target.x - position.x, target.y - position.y, target.z - position.z), 100);
    const int64_t speed = unit_->GetSpeed();
    const int64_t step = speed * dt / 1000;
    if (dd >= step * step) {
        position = IntVector3(position.x + static_cast<int32_t>(direction.x * step / 100),
                              position.y + static_cast<int32_t>(direction.y * step / 100),
                              position.z + static_cast<int32_t>(direction.z * step / 100));
        unit_->MoveTo(position, 0);
        dt = 0;
        TurnWhileMoving();
        return;
    }
    position = CellCentreOf(position);
    unit_->MoveTo(position, 0);
    // Level units over units per second: what a frame under a second gives back is 0.
    dt -= static_cast<int32_t>(static_cast<int64_t>(std::sqrt(static_cast<double>(dd))) / speed);
    unit_->SetHomePosition(position);
    path_.pop_back();
    SetState(kNone);
}

void CGenericBrain::AttackStep(int32_t& dt) {
    if (const boost::shared_ptr<CUnit> target = GetTarget().lock()) FaceTowards(target->GetPosition(), 1, 0);
    dt = 0;
}

void CGenericBrain::SearchTarget(const boost::weak_ptr<CGenericObject>& anchor, int32_t anchorRange) {
    const boost::shared_ptr<CUnit> current = target_.lock();
    if (current && current->IsAlive()) return;
    if (unit_ == nullptr || unit_->GetLevel() == nullptr) return;
    CLevel* level = unit_->GetLevel();

    static Candidates primary;
    static Candidates secondary;
    primary.Clear();
    secondary.Clear();

    const WeaponDefinition* weapon = unit_->GetWeapon();
    const int32_t kind = weapon != nullptr ? weapon->kind : -1;
    const bool melee = unit_->IsMelee();
    const int32_t side = unit_->GetSide();
    // The anchor limits this unit, not the candidates: out of range, none is kept.
    if (const boost::shared_ptr<CGenericObject> fixed = anchor.lock()) {
        const int64_t range = anchorRange;
        if (DistanceSquared(unit_->GetPosition(), fixed->GetPosition()) > range * range) {
            if (current && !current->IsAlive()) ClearTarget();
            return;
        }
    }
    const CLevelNode* here = unit_->GetCell();

    for (const boost::shared_ptr<CUnit>& other : level->GetUnitList().GetUnits()) {
        if (!other || other.get() == unit_ || !other->IsAlive() || other->IsHidden()) continue;
        const bool sameSide = other->GetSide() == side;
        if (kind == kWeaponDamage && (sameSide || other->IsDungeonKeeper())) continue;
        if (kind == kWeaponHeal &&
            (!sameSide || other->GetHitPoints() >= other->GetMaxHitPoints(false) || other->IsDungeonKeeper()))
            continue;
        if (kind == kWeaponSlowdown && (sameSide || other->IsSlowed())) continue;
        if (unit_->IsAttacker() && melee && other->IsDefender() && other->GetBrain() != nullptr) {
            const CDefenderBrain* brain = dynamic_cast<const CDefenderBrain*>(other->GetBrain());
            const boost::shared_ptr<CSpawnPoint> home =
                brain != nullptr ? brain->GetHomeSpot().lock() : boost::shared_ptr<CSpawnPoint>();
            if (home && !home->IsReachable()) continue;
        }
        if (!unit_->IsInViewRange(other) || !unit_->HasLineOfSightTo(other)) continue;
        if (unit_->IsDefender() && melee && !unit_->IsInGuardArea(other) &&
            (here == nullptr || here->IsAdjacent(other->GetCell()) == 0))
            continue;
        Candidates& group = melee && other->GetPursuers().size() >= 4 ? secondary : primary;
        group.Add(other, DistanceSquared(unit_->GetPosition(), other->GetPosition()));
    }
    if (unit_->IsDefender() && primary.units.empty()) primary.Swap(secondary);

    if (!primary.units.empty()) {
        size_t best = 0;
        for (size_t i = 1; i < primary.units.size(); ++i) {
            if (kind == kWeaponDamage) {
                // A nearer candidate replaces a better-rated one too.
                if (primary.rates[i] > primary.rates[best] || primary.distances[i] < primary.distances[best]) best = i;
            } else if (kind == kWeaponHeal) {
                if (primary.health[i] < primary.health[best]) best = i;
            } else if (kind == kWeaponSlowdown) {
                if (primary.rates[i] > primary.rates[best]) best = i;
            }
        }
        if (primary.units[best].lock() != current) {
            target_ = primary.units[best];
            ClearPath(1);
        }
    }
    const boost::shared_ptr<CUnit> chosen = target_.lock();
    if (chosen && !chosen->IsAlive()) ClearTarget();
    primary.Clear();
    secondary.Clear();
}

int CGenericBrain::FindPathTo(CLevelNode* goal, int32_t stopBeforeGoal, int32_t ignoreStillUnits) {
    if (unit_ == nullptr || goal == nullptr || unit_->GetLevel() == nullptr) return 0;
    CLevel* level = unit_->GetLevel();
    CLevelNode* start = unit_->GetCell();
    if (start == nullptr) return 0;
    PathSearchToken = 0;
    return level->FindPath(unit_, start, goal, path_, stopBeforeGoal, ignoreStillUnits, kPathRange);
}

void CGenericBrain::StepToNextCell() {
    if (path_.empty() || unit_ == nullptr || unit_->GetLevel() == nullptr) return;
    CLevel* level = unit_->GetLevel();
    CLevelNode* current = unit_->GetCell();
    CLevelNode* next = level->GetCellAtPoint(path_.back()->GetPosition());
    if (next == nullptr) return;
    const boost::shared_ptr<CUnit> occupant = next->GetOccupant().lock();
    if (!occupant) SetState(kMove, current, next);
    else if (!occupant->IsMoving() || occupant->GetSpeed() < unit_->GetSpeed()) ClearPath(1);
}
