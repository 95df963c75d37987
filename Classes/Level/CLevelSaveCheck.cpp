// The level's section of a savegame, checked against this level, the game data and the
// battle's own section before anything is rebuilt from it: every name must be one the
// data gives (definitions, weapons, effect files, animation clips), every id one the
// section or the level holds, every number one the game could have written.
#include <algorithm>
#include <initializer_list>
#include <set>
#include <string>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Classes/Dictionary/GameDictionary/UnitDefinition.h"
#include "Classes/Dictionary/GameDictionary/WeaponDefinition.h"
#include "Classes/Level/CGenericBrain.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CMissile.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/LevelSaveRecord.h"
#include "Classes/Level/SaveCheck.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/AnimationClips/AnimationClips.h"
#include "SceneGraph/ModelNode.h"

namespace {

using namespace savecheck;

typedef Content::ContentLoader<Graphics::AnimationClips> SavedClipLoader;

// More than any unit carries: one effect of each kind, a few queued hits.
const size_t kMaxUnitEffects = 16;
const size_t kMaxQueuedEffects = 256;
const size_t kMaxSelection = 4096;
// A sold unit fades out over this long.
const int32_t kSellFadeTime = 500;
// The effects of a missile live at most this much longer than the battle has run.
const float kEffectAgeSlack = 60.0f;
const float kMaxAnimationSpeed = 4.0f;

// A point of the grid, in world units.
bool OnGrid(const CLevel& level, int32_t x, int32_t y) { return x >= 0 && y >= 0 && level.GetCellAt(x, y) != nullptr; }

// One of the effect files the weapons name in any of those slots.
bool IsWeaponEffect(const std::string& name, std::initializer_list<int> slots) {
    if (name.empty() || !Service<GameDictionary>::Exists()) return false;
    for (const auto& entry : Service<GameDictionary>::Get()->GetWeapons())
        for (const int slot : slots)
            if (entry.second.particles.names[slot] == name) return true;
    return false;
}

// The boost a spot of any type gives, at least 0.
int32_t LargestSpotBoost() {
    int32_t largest = 0;
    if (Service<Config>::Exists())
        for (const SpawnPointType& type : Service<Config>::Get()->SpawnPointTypes)
            largest = std::max(largest, type.value);
    return largest;
}

bool IsSpotBoost(int32_t value) {
    if (!Service<Config>::Exists()) return false;
    for (const SpawnPointType& type : Service<Config>::Get()->SpawnPointTypes)
        if (type.value == value) return true;
    return false;
}

bool CheckUnitEffect(const UnitEffect& effect) {
    SaveCheck check;
    switch (effect.kind) {
        case Slow:
            check.In(effect.value, 0, 100)
                .That(effect.particle.empty() || IsWeaponEffect(effect.particle, {WeaponParticles::kSlowdown}));
            break;
        case AutoHeal: check.In(effect.value, 0, 0).That(effect.particle == CUnit::kAutoHealEffectFile); break;
        case Boost: check.That(IsSpotBoost(effect.value)).That(effect.particle == CUnit::kBoostEffectFile); break;
        default: return false;
    }
    return check.Flag(effect.timed)
        .In(effect.remaining, -kStepOvershoot, kMaxTime)
        .Flag(effect.nodePending)
        .Flag(effect.expired)
        .Passed();
}

// The clip must be one of the unit's clip table, the frame inside it; a unit whose
// table cannot be had plays no saved clip.
bool CheckUnitClip(const UnitSaveRecord& unit, const UnitDefinition& definition) {
    SaveCheck check;
    check.Within(unit.clipFrame, -1e9f, 1e9f)
        .Within(unit.animationSpeed, 0.0f, kMaxAnimationSpeed)
        .In(unit.clipLoops, sg::ModelNode::kPlayClamp, sg::ModelNode::kPlayLoop);
    if (!check.Passed()) return false;
    if (unit.clipName.empty() || definition.animation.empty() || !Service<SavedClipLoader>::Exists()) return true;
    const boost::shared_ptr<Graphics::AnimationClips> clips =
        Service<SavedClipLoader>::Get()->Load(definition.animation);
    if (!clips) return true;
    if (!clips->HasClip(unit.clipName)) return false;
    const Graphics::AnimationClip& clip = clips->GetClip(unit.clipName);
    // As the model's node holds it: from the first frame (at least 0) to the last, a
    // clip shorter than a frame at its first.
    const float first = static_cast<float>(std::max(clip.first, 0));
    const float last = std::max(first, static_cast<float>(clip.last));
    return unit.clipFrame >= first && unit.clipFrame <= last;
}

class SavedIds {
public:
    // False when an id repeats or lies outside 0 .. next id - 1.
    bool Add(int32_t id, int32_t nextId) {
        if (id < 0 || id >= nextId) return false;
        return ids_.insert(id).second;
    }
    // -1 or an id of the section.
    bool Names(int32_t id) const { return id == -1 || ids_.count(id) != 0; }

private:
    std::set<int32_t> ids_;
};

bool CheckUnitRecord(const CLevel& level, const UnitSaveRecord& unit, const SavedIds& ids, const SaveLimits& limits) {
    const UnitDefinition* definition = nullptr;
    if (unit.side == CUnit::kAttacker) definition = CDunmarchGame::FindAttackerDefinition(unit.name);
    else if (unit.side == CUnit::kDefender) definition = CDunmarchGame::FindDefenderDefinition(unit.name);
    if (definition == nullptr) return false;
    SaveCheck check;
    check.That(OnGrid(level, unit.position.x, unit.position.y))
        .In(unit.position.z, -kMaxCoordinate, kMaxCoordinate)
        .In(unit.direction, 0, 359)
        .In(unit.upgradeLevels[0], 0, 4)
        .In(unit.upgradeLevels[1], 0, 4);
    if (!check.Passed()) return false;
    // A boost may have left with its spot while the hit points it gave stayed.
    const int32_t most = CUnit::MaxHitPointsOf(definition, unit.side, unit.upgradeLevels[0], LargestSpotBoost());
    check.In(unit.hitPoints, 0, most)
        .Flag(unit.sold)
        .Flag(unit.hidden)
        .Flag(unit.hideRequested)
        .In(unit.hideOrderStep, -1, limits.steps)
        .In(unit.fadeTimer, -kStepOvershoot, kSellFadeTime)
        .In(unit.autoHealTimer, 0, kMaxTime)
        .In(unit.age, 0, kMaxTime)
        .In(unit.attackCounter, 0, kMaxTime)
        .Flag(unit.dying)
        .In(unit.invested, 0, kMaxGold)
        .In(unit.investedInHitPoints, 0, kMaxGold)
        .That(OnGrid(level, unit.previousPosition.x, unit.previousPosition.y))
        .That(OnGrid(level, unit.homePosition.x, unit.homePosition.y))
        .That(unit.weaponId == -1 || CDunmarchGame::FindWeaponDefinition(unit.weaponId) != nullptr)
        .That(unit.effects.size() <= kMaxUnitEffects)
        .That(unit.queuedEffects.size() <= kMaxQueuedEffects);
    for (const UnitEffect& effect : unit.effects) check.That(CheckUnitEffect(effect));
    for (const std::string& queued : unit.queuedEffects)
        check.That(IsWeaponEffect(queued, {WeaponParticles::kShot, WeaponParticles::kHit}));
    check.That(CheckUnitClip(unit, *definition));

    // The brain: state, steps, timer, cooldown, turn from and to (-1 for none; an angle
    // toward a target counts from -180), turn target, rest direction, path retry delay.
    const int32_t* brain = unit.brainFields;
    check.In(brain[0], CGenericBrain::kNone, CGenericBrain::kDead)
        .In(brain[1], 0, kMaxTime)
        .In(brain[2], -kStepOvershoot, kMaxTime)
        .In(brain[3], 0, kMaxTime)
        .In(brain[4], -360, 359)
        .In(brain[5], -360, 359)
        .In(brain[6], 0, 359)
        .In(brain[7], 0, 359)
        .In(brain[8], 0, kMaxTime)
        .That(ids.Names(unit.targetId))
        .That(unit.path.size() <= static_cast<size_t>(level.GetWidth()) * level.GetHeight())
        .That(ids.Names(unit.keeperId))
        .That(unit.wayPointId == -1 || level.FindWayPoint(unit.wayPointId))
        .That(unit.homeSpawnPointId == -1 || level.FindMarker(unit.homeSpawnPointId));
    for (const std::pair<int32_t, int32_t>& cell : unit.path) check.That(OnGrid(level, cell.first, cell.second));
    return check.Passed();
}

bool InWorld(SaveCheck& check, const IntVector3& point) {
    return check.In(point.x, -kMaxCoordinate, kMaxCoordinate)
        .In(point.y, -kMaxCoordinate, kMaxCoordinate)
        .In(point.z, -kMaxCoordinate, kMaxCoordinate)
        .Passed();
}

bool CheckMissileRecord(const MissileSaveRecord& missile, const SavedIds& ids, const SaveLimits& limits) {
    const WeaponDefinition* weapon = CDunmarchGame::FindWeaponDefinition(missile.weaponId);
    if (weapon == nullptr) return false;
    const std::string& flight = weapon->particles.names[WeaponParticles::kFlight];
    const std::string particles = Service<Config>::Exists() ? Service<Config>::Get()->Paths.ParticlesPath : "";
    const float oldest = static_cast<float>(limits.elapsedMs) / 1000.0f + kEffectAgeSlack;
    const int32_t flightLength = CMissile::GetFlightLengthOf(weapon);
    const int32_t speed = CMissile::GetSpeedOf(weapon);
    SaveCheck check;
    InWorld(check, missile.position);
    InWorld(check, missile.start);
    InWorld(check, missile.previous);
    check.In(missile.id, -1, kMaxTime)
        .In(missile.direction, 0, 359)
        .That(ids.Names(missile.shooterId))
        .That(ids.Names(missile.targetId))
        .In(missile.spell, -1, Config::kSpellKinds - 1)
        .In(missile.heading.x, -100, 100)
        .In(missile.heading.y, -100, 100)
        .In(missile.heading.z, -100, 100)
        .In(missile.shooterSide, 0, CUnit::kDefender)
        .In(missile.targetSide, 0, CUnit::kDefender)
        .In(missile.travelled, 0, kMaxCoordinate)
        .That(missile.flightLength == 0 || missile.flightLength == flightLength)
        .In(missile.timer, -kStepOvershoot, CMissile::kTimedMissileTime)
        .Flag(missile.hit)
        .That(missile.speed == 1 || missile.speed == speed)
        .That(missile.effectAge == -1.0f || (missile.effectAge >= 0.0f && missile.effectAge <= oldest))
        .That(missile.pendingEffectPath.empty() ||
              (!flight.empty() &&
               (missile.pendingEffectPath == flight || missile.pendingEffectPath == particles + flight)))
        .That(missile.pendingMeshName.empty() || missile.pendingMeshName == weapon->meshes.third);
    return check.Passed();
}

}  // namespace

int CLevel::CheckState(const LevelSaveRecord& record, const SaveLimits& limits) const {
    SavedIds ids;
    for (const UnitSaveRecord& unit : record.units)
        if (!ids.Add(unit.id, unit_list_.GetNextId())) return 0;
    for (const UnitSaveRecord& unit : record.units)
        if (!CheckUnitRecord(*this, unit, ids, limits)) return 0;
    for (const MissileSaveRecord& missile : record.missiles)
        if (!CheckMissileRecord(missile, ids, limits)) return 0;

    SaveCheck check;
    for (const SpawnPointSaveRecord& spot : record.spots)
        check.Flag(spot.moveTarget).That(ids.Names(spot.occupantId)).Flag(spot.pathValue);
    for (const int32_t occupant : record.occupants) check.That(ids.Names(occupant));
    check.Flag(record.highlightMode).That(record.selectedDefenders.size() <= kMaxSelection);
    for (const int32_t defender : record.selectedDefenders) check.That(ids.Names(defender));
    check.That(ids.Names(record.selectedAttacker)).That(record.selectedSpot == -1 || FindMarker(record.selectedSpot));
    return check.Passed() ? 1 : 0;
}
