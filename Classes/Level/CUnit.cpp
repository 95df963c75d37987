// The unit's data, construction and scene; its update and combat are in CUnitCombat.cpp.
#include "Classes/Level/CUnit.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Dictionary/GameDictionary/UnitDefinition.h"
#include "Classes/Dictionary/GameDictionary/WeaponDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/AnimationClips/AnimationClips.h"
#include "Graphics/Model/Model.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/Material.h"
#include "SceneGraph/ModelNode.h"

namespace {

typedef Content::ContentLoader<Graphics::Model> ModelLoader;
typedef Content::ContentLoader<Graphics::AnimationClips> ClipLoader;

const char kWeaponsModel[] = "WEAPONS_ALL_001.pod";
const char kRightForeArm[] = "RightForeArm";
const char kLeftForeArm[] = "LeftForeArm";

// The attack clips the brains play, in their order.
const char* const kAttackAnimations[] = {"strike_1", "strike_2", "bow_shoot", "castsmall", "castbig"};

// value x (100 + percent) / 100, truncated and held to int32.
int32_t WithPercent(int32_t value, int32_t percent) {
    const int64_t result = static_cast<int64_t>(value) * (100 + static_cast<int64_t>(percent)) / 100;
    return static_cast<int32_t>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, result)));
}

IntVector3 CellCentre(const CLevelNode* cell) {
    const IntVector3& corner = cell->GetPosition();
    return IntVector3(corner.x + 250, corner.y + 250, 0);
}

void StrikeFrame(void* unit) { static_cast<CUnit*>(unit)->OnStrikeFrame(); }
void AttackEnd(void* unit) { static_cast<CUnit*>(unit)->OnAttackEnd(); }
void DeathEnd(void* unit) { static_cast<CUnit*>(unit)->OnDeathEnd(); }

}  // namespace

const char CUnit::kBoostEffectFile[] = "boost.prt";
const char CUnit::kAutoHealEffectFile[] = "HealingAuto.prt";

CUnit::CUnit(CLevel* level, int32_t id, const std::string& name, int32_t side,
             const boost::weak_ptr<CSpawnPoint>& spawnPoint)
    : CGenericObject(id, 0, 0, 0, 0),
      name_(name),
      side_(side),
      hit_points_(0),
      sold_(0),
      hidden_(0),
      hide_requested_(0),
      hide_order_step_(-1),
      fade_timer_(0),
      auto_heal_timer_(0),
      age_(0),
      attack_counter_(0),
      dying_(0),
      invested_(0),
      invested_in_hit_points_(0),
      upgrade_levels_{0, 0},
      weapon_(nullptr),
      kind_(kFighter),
      level_(level),
      definition_(nullptr) {
    if (side == kAttacker) definition_ = CDunmarchGame::FindAttackerDefinition(name);
    else if (side == kDefender) definition_ = CDunmarchGame::FindDefenderDefinition(name);
    if (definition_ == nullptr) return;

    if (definition_->weapon > 0) {
        weapon_ = CDunmarchGame::FindWeaponDefinition(definition_->weapon);
        if (weapon_ == nullptr) {
            std::printf("weapon ID = %d not found\n", definition_->weapon);
            return;
        }
    }
    kind_ = definition_->type == kUnitHero            ? kHero
            : definition_->type == kUnitDungeonKeeper ? kDungeonKeeper
                                                      : kFighter;
    if (const DefenderDefinition* defender = GetDefenderDefinition()) {
        invested_ = defender->prices[DefenderDefinition::kPricePurchase];
        invested_in_hit_points_ = invested_;
    }

    const boost::shared_ptr<CSpawnPoint> point = spawnPoint.lock();
    if (!point) return;
    hit_points_ = GetMaxHitPoints(false);
    age_ = 0;

    // On the spawn point's cell, or beside it when that is taken; the home stays the
    // spawn point's own cell.
    CLevelNode* spawnCell = level_ != nullptr ? level_->GetCellOf(point) : nullptr;
    CLevelNode* cell = spawnCell;
    if (cell != nullptr && cell->HasOccupant()) cell = level_->FindNearestFreeCell(cell);
    position_ = cell != nullptr ? CellCentre(cell) : IntVector3();
    previous_position_ = position_;
    home_position_ = spawnCell != nullptr ? CellCentre(spawnCell) : IntVector3();
    direction_ = 0;

    if (side_ == kAttacker) {
        brain_.reset(new CAttackerBrain(this, point));
    } else {
        brain_.reset(new CDefenderBrain(this, point, definition_->flags & kDummyBrain));
    }
    BuildScene();
}

CUnit::~CUnit() {
    brain_.reset();
    material_.reset();
    selection_effect_.reset();
    clips_.reset();
    action_group_.reset();
    model_node_.reset();
}

void CUnit::BuildScene() {
    if (!Service<ModelLoader>::Exists() || !Service<ClipLoader>::Exists()) return;
    const boost::shared_ptr<Graphics::Model> model = Service<ModelLoader>::Get()->Load(definition_->mesh);
    if (!definition_->animation.empty()) {
        clips_ = Service<ClipLoader>::Get()->Load(definition_->animation);
        if (model) model->SetAnimationClips(clips_);
    }
    model_node_.reset(new sg::ModelNode(model));
    model_node_->SetUserData(this);
    model_node_->SetPickGroup(kPickLiving);
    if (model && model->GetAnimationClips()) PlayAnimation("idle", true);

    boost::shared_ptr<sg::Group> character(new sg::Group("CharacterGroup"));
    node_ = character;
    character->AddChild(model_node_);
    action_group_.reset(new sg::Group("ActionGroup"));
    character->AddChild(action_group_);

    if (weapon_ != nullptr) AttachWeaponModel();
    AttachNode();
    UpdateMaterial();
    UpdateNode();
    if (model && model->GetAnimationClips() && clips_) RegisterAnimationCallbacks();
}

void CUnit::RegisterAnimationCallbacks() {
    for (const char* name : kAttackAnimations) {
        if (!clips_->HasClip(name)) continue;
        const Graphics::AnimationClip& clip = clips_->GetClip(name);
        if (clip.last - 1 >= 0) model_node_->AddFrameCallback(static_cast<uint32_t>(clip.last - 1), {this, &AttackEnd});
        if (clip.extra >= 0) model_node_->AddFrameCallback(static_cast<uint32_t>(clip.extra), {this, &StrikeFrame});
    }
    // A table without "death" fails the look-up's assertion: the data must have it.
    const Graphics::AnimationClip& death = clips_->GetClip("death");
    if (death.last - 2 >= 0) model_node_->AddFrameCallback(static_cast<uint32_t>(death.last - 2), {this, &DeathEnd});
}

void CUnit::AttachWeaponModel() {
    if (weapon_ == nullptr || !Service<ModelLoader>::Exists()) return;
    const boost::shared_ptr<Graphics::Model> weapons = Service<ModelLoader>::Get()->Load(kWeaponsModel);
    if (!model_node_) return;
    model_node_->DetachFromBone(kRightForeArm);
    model_node_->DetachFromBone(kLeftForeArm);
    const boost::shared_ptr<Graphics::Model>& model = model_node_->GetModel();
    if (!model || model->GetNodeCount() == 0) return;
    const std::string reference = model->GetNodeName(0);
    if (!weapon_->meshes.first.empty())
        model_node_->AttachToBone(reference, kRightForeArm, weapons, weapon_->meshes.first);
    if (!weapon_->meshes.second.empty())
        model_node_->AttachToBone(reference, kLeftForeArm, weapons, weapon_->meshes.second);
}

int32_t CUnit::SetHitPoints(int32_t hitPoints) {
    hit_points_ = std::max(0, hitPoints);
    return hit_points_;
}

int32_t CUnit::GetHitPointPercent() const {
    const int32_t maximum = GetMaxHitPoints(false);
    return maximum > 0 ? static_cast<int32_t>(static_cast<int64_t>(hit_points_) * 100 / maximum) : 0;
}

int32_t CUnit::GetUpgradeLevel(int32_t kind) const { return kind == 0 || kind == 1 ? upgrade_levels_[kind] : 0; }

void CUnit::SetUpgradeLevel(int32_t kind, int32_t level) {
    if (kind == 0 || kind == 1) upgrade_levels_[kind] = level;
}

void CUnit::SetDirection(int32_t degrees) {
    direction_ = ((degrees % 360) + 360) % 360;
    UpdateNode();
}

void CUnit::MoveTo(const IntVector3& position, int32_t) {
    previous_position_ = position_;
    position_ = position;
    UpdateNode();
}

void CUnit::SetFade(float alpha) {
    if (material_) material_->SetOpacity(std::max(0.0f, std::min(1.0f, alpha)));
}

bool CUnit::IsMoving() const { return brain_ && brain_->GetState() == CGenericBrain::kMove; }

bool CUnit::IsAttacking() const { return brain_ && brain_->GetState() == CGenericBrain::kAttack; }

const AttackerDefinition* CUnit::GetAttackerDefinition() const {
    return side_ == kAttacker ? static_cast<const AttackerDefinition*>(definition_) : nullptr;
}

const DefenderDefinition* CUnit::GetDefenderDefinition() const {
    return side_ == kDefender ? static_cast<const DefenderDefinition*>(definition_) : nullptr;
}

int32_t CUnit::GetMaxHitPoints(bool ignoreBoost) const {
    const UnitEffect* boost = ignoreBoost ? nullptr : FindEffect(Boost);
    return MaxHitPointsOf(definition_, side_, upgrade_levels_[0], boost != nullptr ? boost->value : 0);
}

int32_t CUnit::MaxHitPointsOf(const UnitDefinition* definition, int32_t side, int32_t level, int32_t boostPercent) {
    if (definition == nullptr) return 0;
    if (side == kAttacker) return definition->hp;
    if (side != kDefender) return 0;
    const DefenderDefinition* defender = static_cast<const DefenderDefinition*>(definition);
    if (level == 0) return WithPercent(defender->hp, boostPercent);
    if (level >= 1 && level <= 4)
        return WithPercent(defender->upgrades[DefenderDefinition::kUpgradeHitPoints].values[level - 1], boostPercent);
    return 0;
}

int32_t CUnit::GetSpeed() const {
    if (definition_ == nullptr) return 0;
    int32_t speed = static_cast<int32_t>(static_cast<int64_t>(definition_->speed) * 500 / 10);
    if (const UnitEffect* slow = FindEffect(Slow))
        speed = static_cast<int32_t>(static_cast<int64_t>(speed) * (100 - static_cast<int64_t>(slow->value)) / 100);
    return speed;
}

int32_t CUnit::GetViewRange() const { return definition_ != nullptr ? definition_->viewRange * 500 + 100 : 0; }

int32_t CUnit::GetGuardRange() const {
    const DefenderDefinition* defender = GetDefenderDefinition();
    return defender != nullptr ? defender->moveRange * 500 + 100 : 0;
}

int32_t CUnit::GetAttackRange() const {
    if (weapon_ == nullptr) return 0;
    return weapon_->weaponClass == kWeaponClose ? 750 : weapon_->range * 500 + 100;
}

int32_t CUnit::GetHitRate() const { return weapon_ != nullptr ? weapon_->hitRate : 0; }

int32_t CUnit::GetEffectValue() const {
    if (weapon_ == nullptr) return 0;
    int32_t value = weapon_->value;
    if (const UnitEffect* boost = FindEffect(Boost)) value = WithPercent(value, boost->value);
    if (weapon_->kind == kWeaponSlowdown) value = std::min(75, value);
    return value;
}

int32_t CUnit::GetDamageRate() const {
    if (weapon_ == nullptr || weapon_->kind == kWeaponHeal || weapon_->kind == kWeaponSlowdown) return 0;
    return static_cast<int32_t>(static_cast<int64_t>(GetEffectValue()) * weapon_->hitRate / 10);
}

int32_t CUnit::GetGold() const {
    const AttackerDefinition* attacker = GetAttackerDefinition();
    return attacker != nullptr ? attacker->gold : 0;
}

int32_t CUnit::GetPrice() const {
    const DefenderDefinition* defender = GetDefenderDefinition();
    return defender != nullptr ? defender->prices[DefenderDefinition::kPricePurchase] : 0;
}

int32_t CUnit::GetHealSpotValue() const {
    const DefenderDefinition* defender = GetDefenderDefinition();
    return defender != nullptr ? defender->healSpotVal : 0;
}

int32_t CUnit::GetTeleportPrice() const {
    const DefenderDefinition* defender = GetDefenderDefinition();
    return defender != nullptr ? defender->prices[DefenderDefinition::kPriceTeleport] : 0;
}

int32_t CUnit::GetResurrectProgress() const {
    const DefenderDefinition* defender = GetDefenderDefinition();
    if (defender == nullptr || IsAlive() || defender->timeAutoResurect == 0 || !brain_) return 0;
    const uint32_t total = static_cast<uint32_t>(defender->timeAutoResurect) * 1000u;
    const uint32_t remaining = static_cast<uint32_t>(brain_->GetTimer());
    return static_cast<int32_t>((total - remaining) * 100u / total);
}

bool CUnit::IsMelee() const { return weapon_ != nullptr && weapon_->weaponClass == kWeaponClose; }

CLevelNode* CUnit::GetCell() const { return level_ != nullptr ? level_->GetCellOf(this) : nullptr; }

CLevelNode* CUnit::FindOwnCell() const {
    if (level_ == nullptr) return nullptr;
    const int32_t column = position_.x / 500;
    const int32_t row = position_.y / 500;
    for (int32_t dy = -1; dy <= 1; ++dy)
        for (int32_t dx = -1; dx <= 1; ++dx) {
            CLevelNode* cell = level_->GetCell(column + dx, row + dy);
            if (cell != nullptr && cell->GetOccupant().lock().get() == this) return cell;
        }
    return nullptr;
}

boost::shared_ptr<CUnit> CUnit::GetSharedPtr() const {
    return level_ != nullptr ? level_->GetUnitList().FindShared(this) : boost::shared_ptr<CUnit>();
}

boost::weak_ptr<CUnit> CUnit::GetWeakPtr() const { return GetSharedPtr(); }

void CUnit::PlayAnimation(const std::string& name, bool loop) {
    if (name == "death") dying_ = 1;
    if (name.empty() || !model_node_) return;
    const boost::shared_ptr<Graphics::Model>& model = model_node_->GetModel();
    if (!model || !model->GetAnimationClips()) return;
    model_node_->SetClip(name);
    model_node_->SetPlayMode(loop ? sg::ModelNode::kPlayLoop : sg::ModelNode::kPlayClamp);
    UpdateAnimationSpeed();
}

bool CUnit::IsPlayingAnimation(const std::string& name) const {
    return model_node_ && model_node_->GetClipName() == name;
}

void CUnit::UpdateAnimationSpeed() {
    if (!model_node_) return;
    const UnitEffect* slow = FindEffect(Slow);
    model_node_->SetSpeed(slow != nullptr ? static_cast<float>(100 - slow->value) / 100.0f : 1.0f);
}

void CUnit::UpdateMaterial() {
    const boost::shared_ptr<sg::Material> preset = GetSharedMaterial(hidden_ != 0 ? 1 : 0);
    if (!preset) return;
    material_.reset(new sg::Material());
    if (!IsAlive()) {
        material_->SetBlending(true);
        material_->SetBlendMode(2);
        material_->SetColor(Color(255, 255, 255, 255));
        material_->SetOpacity(1.0f);
        if (model_node_) model_node_->SetCastsShadow(false);
    } else {
        material_->SetBlending(preset->IsBlending());
        material_->SetBlendMode(preset->GetBlendMode());
        material_->SetColor(preset->GetColor());
        material_->SetOpacity(preset->GetOpacity());
    }
    material_->SetSelected(preset->IsSelected());
    material_->SetReflectance(preset->GetReflectance());
    if (model_node_) model_node_->SetMaterial(material_);
}

sg::Group* CUnit::GetCharacterGroup() const {
    return node_ && node_->IsType<sg::Group>() ? static_cast<sg::Group*>(node_.get()) : nullptr;
}
