// The unit's step, effects, range and target tests, queries, strikes, damage and moves.
#include <algorithm>
#include <cstdlib>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/WeaponDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/LevelServices.h"
#include "Core/Service.h"
#include "Game/GameAudio.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/Material.h"
#include "SceneGraph/ModelNode.h"

namespace {

// A brain that stops spending time must not hang the battle step.
const int kMaxBrainStepsPerUpdate = 64;

// The game's int32 arithmetic wraps rather than overflowing.
int32_t Square(int32_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(value) * static_cast<uint32_t>(value));
}

std::string ParticleFolder() { return Service<Config>::Exists() ? Service<Config>::Get()->Paths.ParticlesPath : ""; }

bool Living(const boost::shared_ptr<CUnit>& unit) { return unit && unit->IsAlive(); }

}  // namespace

bool CUnit::Update(int32_t dt) {
    age_ += dt;
    if (sold_ != 0) {
        if (fade_timer_ < 0) return false;
        if (material_) material_->SetOpacity(std::max(0.0f, std::min(1.0f, static_cast<float>(fade_timer_) / 500.0f)));
        fade_timer_ -= dt;
    } else if (IsDefender() && hide_requested_ != 0 && brain_ &&
               static_cast<CDefenderBrain*>(brain_.get())->IsAtHome() && brain_->GetState() == CGenericBrain::kIdle) {
        if (GetThreats().empty()) {
            hidden_ = 1;
            hide_requested_ = 0;
            UpdateMaterial();
            brain_->ClearTarget();
            brain_->ClearPath(1);
            brain_->SetState(CGenericBrain::kIdle);
        }
    }

    UpdateEffects(dt);
    RemoveFinishedEffectNode();
    ShowQueuedEffects();

    if (!brain_) return true;
    bool result = true;
    for (int steps = 0; dt > 0 && steps < kMaxBrainStepsPerUpdate; ++steps) {
        const int32_t before = dt;
        const int32_t state = brain_->GetState();
        brain_->Think(dt);
        result = brain_->Update(dt) != 0;
        // A step that spends nothing and changes nothing would be repeated for ever (a
        // restored brain that moves along an empty path).
        if (dt == before && brain_->GetState() == state) break;
    }
    return result;
}

void CUnit::UpdateEffects(int32_t dt) {
    size_t i = 0;
    while (i < effects_.size()) {
        UnitEffect& effect = effects_[i];
        if (effect.nodePending != 0 && !effect.particle.empty()) {
            if (sg::Group* character = GetCharacterGroup()) {
                boost::shared_ptr<sg::EmitterNode> node(new sg::EmitterNode(ParticleFolder() + effect.particle));
                node->SetName("HitEffectNode");
                node->SetPickGroup(kPickEffect);
                character->AddChild(node);
                effect.node = node;
            }
        }
        effect.nodePending = 0;
        if (effect.timed != 0) {
            effect.remaining -= dt;
            if (effect.remaining < 0) effect.expired = 1;
        }
        if (effect.expired != 0) {
            // Removes the first effect of this kind, so the loop stays where it is.
            RemoveEffect(effect.kind, true, false);
        } else {
            ++i;
        }
    }
}

void CUnit::AddEffect(int32_t kind, int32_t value, int32_t timed, const std::string& particle, int32_t remaining) {
    UnitEffect effect;
    effect.kind = kind;
    effect.value = value;
    effect.timed = timed;
    effect.particle = particle;
    effect.remaining = remaining;
    effects_.push_back(effect);
    if (kind == Slow) UpdateAnimationSpeed();
}

void CUnit::RemoveEffect(int32_t kind, bool now, bool keepHitPoints) {
    if (!now) {
        for (UnitEffect& effect : effects_)
            if (effect.kind == kind) effect.expired = 1;
        return;
    }
    const std::vector<UnitEffect>::iterator found = std::find_if(
        effects_.begin(), effects_.end(), [kind](const UnitEffect& effect) { return effect.kind == kind; });
    if (found == effects_.end()) return;
    const boost::shared_ptr<sg::EmitterNode> node = found->node;
    effects_.erase(found);
    if (kind == Slow) UpdateAnimationSpeed();
    if (kind == Boost && IsAlive() && !keepHitPoints) hit_points_ = std::min(hit_points_, GetMaxHitPoints(true));
    if (node)
        if (sg::Group* character = GetCharacterGroup()) character->RemoveChild(node);
}

UnitEffect* CUnit::FindEffect(int32_t kind) {
    for (UnitEffect& effect : effects_)
        if (effect.kind == kind) return &effect;
    return nullptr;
}

const UnitEffect* CUnit::FindEffect(int32_t kind) const { return const_cast<CUnit*>(this)->FindEffect(kind); }

void CUnit::RemoveSlowEffects() {
    while (FindEffect(Slow) != nullptr) RemoveEffect(Slow, true, false);
}

boost::shared_ptr<sg::EmitterNode> CUnit::AddParticleEffect(const std::string& file, bool attach, const char* nodeName,
                                                            CGenericObject* userObject, int32_t pickGroup) {
    if (!action_group_) return boost::shared_ptr<sg::EmitterNode>();
    boost::shared_ptr<sg::EmitterNode> node(new sg::EmitterNode(ParticleFolder() + file));
    if (nodeName != nullptr && *nodeName != 0) node->SetName(nodeName);
    if (userObject != nullptr) node->SetUserData(userObject);
    node->SetPickGroup(pickGroup);
    if (attach) action_group_->AddChild(node);
    else if (level_ != nullptr) level_->PlaceObject(position_, file, 0);
    return node;
}

void CUnit::QueueEffect(const std::string& file) { queued_effects_.push_back(file); }

void CUnit::ShowQueuedEffects() {
    while (!queued_effects_.empty()) {
        const std::string file = queued_effects_.front();
        queued_effects_.erase(queued_effects_.begin());
        AddParticleEffect(file, true);
    }
}

void CUnit::RemoveFinishedEffectNode() {
    if (!action_group_) return;
    for (const boost::shared_ptr<sg::Node>& child : action_group_->GetChildren())
        if (child->IsType<sg::EmitterNode>() && static_cast<const sg::EmitterNode*>(child.get())->IsFinished()) {
            const boost::shared_ptr<sg::Node> finished = child;
            action_group_->RemoveChild(finished);
            return;
        }
}

bool CUnit::IsInViewRange(const boost::weak_ptr<CUnit>& target) const {
    const boost::shared_ptr<CUnit> other = target.lock();
    return other && IntVector3DistanceSquared(position_, other->GetPosition()) < Square(GetViewRange());
}

bool CUnit::IsInAttackRange(const boost::weak_ptr<CUnit>& target) const {
    const boost::shared_ptr<CUnit> other = target.lock();
    return other && IntVector3DistanceSquared(position_, other->GetPosition()) <= Square(GetAttackRange());
}

bool CUnit::IsInGuardArea(const boost::weak_ptr<CUnit>& target) const {
    if (IsAttacker()) return true;
    const boost::shared_ptr<CUnit> other = target.lock();
    if (!other) return false;
    const boost::shared_ptr<CSpawnPoint> home =
        IsDefender() && brain_ ? static_cast<const CDefenderBrain*>(brain_.get())->GetHomeSpot().lock()
                               : boost::shared_ptr<CSpawnPoint>();
    if (!home) return true;
    return IntVector3DistanceSquared(home->GetPosition(), other->GetPosition()) < Square(GetGuardRange());
}

bool CUnit::HasLineOfSightTo(const boost::weak_ptr<CUnit>& target) const {
    const boost::shared_ptr<CUnit> other = target.lock();
    if (!other || level_ == nullptr) return false;
    return level_->HasLineOfSight(GetCell(), other->GetCell()) != 0;
}

bool CUnit::CanAttack(const boost::weak_ptr<CUnit>& target) const {
    const boost::shared_ptr<CUnit> other = target.lock();
    if (!other || other->IsHidden()) return false;
    if (IsMelee()) {
        const CLevelNode* mine = GetCell();
        const CLevelNode* theirs = other->GetCell();
        return mine != nullptr && theirs != nullptr && mine->IsAdjacent(theirs) != 0;
    }
    return IsInViewRange(target) && IsInAttackRange(target);
}

bool CUnit::CanTarget(const boost::weak_ptr<CUnit>& target) const {
    const boost::shared_ptr<CUnit> other = target.lock();
    // A unit without weapon has nothing to use on anyone.
    if (!other || weapon_ == nullptr) return false;
    if (weapon_->weaponClass != kWeaponMissile && !other->IsAlive()) return false;
    switch (weapon_->kind) {
        case kWeaponDamage: return true;
        case kWeaponHeal: return other->GetHitPoints() != other->GetMaxHitPoints(false);
        case kWeaponSlowdown: return !other->IsSlowed();
        default: return true;
    }
}

const CUnit::UnitRefs& CUnit::GetPursuers() const {
    static UnitRefs pursuers;
    pursuers.clear();
    if (level_ == nullptr) return pursuers;
    for (const boost::shared_ptr<CUnit>& unit : level_->GetUnitList().GetUnits())
        if (Living(unit) && unit->GetSide() == GetOppositeSide(side_) && unit->GetBrain() != nullptr &&
            unit->GetBrain()->GetCurrentTarget().lock().get() == this)
            pursuers.push_back(unit);
    return pursuers;
}

const CUnit::UnitRefs& CUnit::GetThreats() const {
    static UnitRefs threats;
    threats.clear();
    if (level_ == nullptr) return threats;
    const boost::weak_ptr<CUnit> self = GetWeakPtr();
    for (const boost::shared_ptr<CUnit>& unit : level_->GetUnitList().GetUnits())
        if (Living(unit) && unit->GetSide() == GetOppositeSide(side_) && unit->GetBrain() != nullptr &&
            unit->IsInViewRange(self) && unit->HasLineOfSightTo(self))
            threats.push_back(unit);
    return threats;
}

const CUnit::UnitRefs& CUnit::GetUnitsNear(int32_t side, int32_t radius) const {
    static UnitRefs near;
    near.clear();
    if (level_ == nullptr) return near;
    for (const boost::shared_ptr<CUnit>& unit : level_->GetUnitList().GetUnits())
        if (Living(unit) && unit.get() != this && unit->GetSide() == side &&
            IntVector3DistanceSquared(position_, unit->GetPosition()) <= Square(radius))
            near.push_back(unit);
    return near;
}

void CUnit::OnStrikeFrame() {
    if (!brain_) return;
    const boost::weak_ptr<CUnit> target = brain_->GetTarget();
    if (!CanAttack(target) || !CanTarget(target)) return;
    if (IsMelee()) StrikeClose(target);
    else if (weapon_->weaponClass == kWeaponMissile || weapon_->weaponClass == kWeaponDistant) StrikeRanged(target);
    const std::string& shot = weapon_->particles.names[WeaponParticles::kShot];
    if (!shot.empty()) QueueEffect(shot);
}

void CUnit::StrikeClose(const boost::weak_ptr<CUnit>& target) {
    const boost::shared_ptr<CUnit> other = target.lock();
    if (!other) return;
    Damage(target, GetEffectValue(), -1);
    if (weapon_ == nullptr) return;
    const std::string& hit = weapon_->particles.names[WeaponParticles::kHit];
    if (!hit.empty()) other->QueueEffect(hit);
    PlayRandomSound(weapon_->sounds.lists[WeaponSounds::kCloseHit]);
}

void CUnit::StrikeRanged(const boost::weak_ptr<CUnit>& target) {
    if (target.expired() || weapon_ == nullptr || level_ == nullptr) return;
    // A missile-class shot flies to where it was aimed and hits what it meets.
    const boost::weak_ptr<CUnit> aim = weapon_->weaponClass == kWeaponDistant ? target : boost::weak_ptr<CUnit>();
    level_->CreateMissile(GetWeakPtr(), aim, weapon_, -1);
    PlayRandomSound(weapon_->sounds.lists[WeaponSounds::kCloseHit]);
}

void CUnit::Damage(const boost::weak_ptr<CUnit>& target, int32_t amount, int32_t credit) {
    const boost::shared_ptr<CUnit> victim = target.lock();
    if (!victim) return;
    const int64_t left = static_cast<int64_t>(victim->GetHitPoints()) - amount;
    const int32_t stored =
        victim->SetHitPoints(static_cast<int32_t>(std::min<int64_t>(INT32_MAX, std::max<int64_t>(0, left))));
    if (stored == 0 && level_ != nullptr)
        level_->GetUnitList().OnUnitKilled(target, credit == -1 ? GetWeakPtr() : boost::weak_ptr<CUnit>());
}

void CUnit::HealTarget(const boost::weak_ptr<CUnit>& target, int32_t amount) {
    const boost::shared_ptr<CUnit> other = target.lock();
    if (!other) return;
    const int64_t healed = static_cast<int64_t>(other->GetHitPoints()) + amount;
    other->SetHitPoints(static_cast<int32_t>(std::min<int64_t>(healed, other->GetMaxHitPoints(false))));
}

void CUnit::ApplyTimedEffect(const boost::weak_ptr<CUnit>& target, int32_t kind, int32_t value, int32_t timed,
                             const std::string& particle, int32_t remaining) {
    const boost::shared_ptr<CUnit> other = target.lock();
    if (other && other->FindEffect(kind) == nullptr) other->AddEffect(kind, value, timed, particle, remaining);
}

void CUnit::MoveToCell(CLevelNode* from, CLevelNode* to, bool force) {
    if (level_ != nullptr) level_->MoveUnitToCell(GetWeakPtr(), from, to);
    if (to == nullptr || !(IsAlive() || force)) return;
    previous_position_ = position_;
    const IntVector3& corner = to->GetPosition();
    position_ = IntVector3(corner.x / 500 * 500 + 250, corner.y / 500 * 500 + 250, 0);
    UpdateNode();
}

void CUnit::ReturnHome() {
    if (!IsDefender() || !brain_ || level_ == nullptr) return;
    const boost::shared_ptr<CSpawnPoint> home = static_cast<const CDefenderBrain*>(brain_.get())->GetHomeSpot().lock();
    if (home) MoveToCell(GetCell(), level_->GetCellOf(home), false);
}

void CUnit::OnAttackEnd() {
    if (!brain_) return;
    if (weapon_ != nullptr && (weapon_->kind == kWeaponHeal || weapon_->kind == kWeaponSlowdown ||
                               weapon_->weaponClass == kWeaponMissile || weapon_->weaponClass == kWeaponDistant))
        brain_->ClearTarget();
    brain_->SetState(CGenericBrain::kIdle);
}

void CUnit::OnDeathEnd() {
    if (dying_ == 0) return;
    if (IsAttacker() && brain_) brain_->SetTimer(5000);
    if (level_ != nullptr) level_->MoveUnitToCell(GetWeakPtr(), GetCell(), nullptr);
    dying_ = 0;
}
