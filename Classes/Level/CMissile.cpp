#include "Classes/Level/CMissile.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/WeaponDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/LevelServices.h"
#include "Classes/Level/MissileSaveRecord.h"
#include "Classes/Level/UnitList.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Game/GameAudio.h"
#include "Graphics/Model/Model.h"
#include "Maths/FixedTrig.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/ModelNode.h"

namespace {

typedef Content::ContentLoader<Graphics::Model> ModelLoader;

// A missile hits a unit closer than this.
const int64_t kHitRadius = 250;
// Pick groups of the flying nodes and of the hit effect.
const int32_t kPickMeshMissile = 5;
const int32_t kPickParticleMissile = 6;
// Height of the flying node over the ground, in world units.
const float kFlightHeight = 14.5f;

int64_t DistanceSquared(const IntVector3& a, const IntVector3& b) {
    const int64_t x = static_cast<int64_t>(a.x) - b.x;
    const int64_t y = static_cast<int64_t>(a.y) - b.y;
    const int64_t z = static_cast<int64_t>(a.z) - b.z;
    return x * x + y * y + z * z;
}

int32_t Length(int64_t x, int64_t y, int64_t z) {
    return static_cast<int32_t>(std::sqrt(static_cast<double>(x * x + y * y + z * z)));
}

bool IsEmitter(const boost::shared_ptr<sg::Node>& node) { return node && node->IsType<sg::EmitterNode>(); }

}  // namespace

CMissile::CMissile(CLevel* level, const boost::shared_ptr<CUnit>& shooter, const boost::shared_ptr<CUnit>& target,
                   const WeaponDefinition* weapon, int32_t spell)
    : CGenericObject(-1, 0, 0, 0, 0),
      shooter_(shooter),
      target_(target),
      weapon_(weapon),
      spell_(spell),
      shooter_side_(0),
      target_side_(0),
      travelled_(0),
      flight_length_(0),
      timer_(0),
      hit_(0),
      speed_(1),
      pending_age_(-1.0f),
      level_(level) {
    if (weapon_ == nullptr && shooter_) weapon_ = shooter_->GetWeapon();
    if (shooter_) direction_ = shooter_->GetDirection();
    if (weapon_ != nullptr) {
        const std::string& flight = weapon_->particles.names[WeaponParticles::kFlight];
        if (flight.empty()) pending_mesh_name_ = weapon_->meshes.third;
        else if (Service<Config>::Exists()) pending_effect_path_ = Service<Config>::Get()->Paths.ParticlesPath + flight;
        else pending_effect_path_ = flight;
    }
    if (shooter_ && weapon_ != nullptr) {
        flight_length_ = GetFlightLengthOf(weapon_);
        speed_ = GetSpeedOf(weapon_);
        shooter_side_ = shooter_->GetSide();
        target_side_ = weapon_->kind == kWeaponHeal ? shooter_side_ : GetOppositeSide(shooter_side_);
        if (flight_length_ == 0) {
            if (target_) position_ = target_->GetPosition();
            timer_ = kTimedMissileTime;
        } else {
            position_ = shooter_->GetPosition();
            if (target_) {
                const IntVector3& aim = target_->GetPosition();
                heading_ = IntVector3(aim.x - position_.x, aim.y - position_.y, aim.z);
            } else {
                heading_ = IntVector3(FixedSin(direction_), -FixedCos(direction_), 0);
            }
            const int32_t length = Length(heading_.x, heading_.y, heading_.z);
            if (length > 0)
                heading_ = IntVector3(heading_.x * 100 / length, heading_.y * 100 / length, heading_.z * 100 / length);
            start_ = position_;
            previous_ = position_;
        }
    }
    AttachNode();
    UpdateNode();
}

int32_t CMissile::GetFlightLengthOf(const WeaponDefinition* weapon) {
    return weapon != nullptr && weapon->weaponClass == kWeaponMissile ? weapon->range * 500 + 250 : 0;
}

int32_t CMissile::GetSpeedOf(const WeaponDefinition* weapon) { return weapon != nullptr ? weapon->speed * 500 : 0; }

int32_t CMissile::GetSplashRadiusOf(const WeaponDefinition* weapon) {
    return weapon != nullptr && weapon->explosionRange != 0 ? weapon->explosionRange * 500 + 50 : 0;
}

int32_t CMissile::GetSplashPercent() const { return weapon_ != nullptr ? weapon_->explosionPercent : 0; }

int32_t CMissile::GetEffectValue() const {
    if (weapon_ == nullptr) return 0;
    int32_t value = weapon_->value;
    if (shooter_) {
        if (const UnitEffect* boost = shooter_->FindEffect(Boost))
            value = static_cast<int32_t>(static_cast<int64_t>(value) * (boost->value + 100) / 100);
        const WeaponDefinition* own = shooter_->GetWeapon();
        if (own != nullptr && own->kind == kWeaponSlowdown && value > 75) value = 75;
    }
    return value;
}

void CMissile::BuildNodes() {
    boost::shared_ptr<sg::Group> group(new sg::Group("MissileGroup"));
    node_ = group;
    if (!pending_effect_path_.empty()) {
        boost::shared_ptr<sg::EmitterNode> effect(new sg::EmitterNode(pending_effect_path_));
        effect->SetName("ParticleMissileNode");
        effect->SetUserData(this);
        effect->SetPickGroup(kPickParticleMissile);
        group->AddChild(effect);
        missile_node_ = effect;
        pending_effect_path_.clear();
        // A restored flight goes on from the saved age of its effect.
        if (pending_age_ > 0.0f) effect->AdvanceTo(pending_age_);
    }
    if (!pending_mesh_name_.empty() && Service<ModelLoader>::Exists()) {
        boost::shared_ptr<sg::ModelNode> mesh(new sg::ModelNode(Service<ModelLoader>::Get()->Load(pending_mesh_name_)));
        mesh->SetName("MeshMissileNode");
        mesh->SetCastsShadow(false);
        mesh->SetUserData(this);
        mesh->SetPickGroup(kPickMeshMissile);
        group->AddChild(mesh);
        missile_node_ = mesh;
        pending_mesh_name_.clear();
    }
    pending_age_ = -1.0f;
    AttachNode();
    UpdateNode();
}

bool CMissile::Update(int32_t dt, UnitList& units) {
    if (!pending_effect_path_.empty() || !pending_mesh_name_.empty()) BuildNodes();

    if (IsTimed()) {
        timer_ -= dt;
        if (timer_ < 0) return false;
    } else if (hit_ == 0) {
        previous_ = position_;
        const int64_t step = static_cast<int64_t>(speed_) * dt;
        const int32_t dx = static_cast<int32_t>(heading_.x * step / 1000 / 100);
        const int32_t dy = static_cast<int32_t>(heading_.y * step / 1000 / 100);
        position_.x += dx;
        position_.y += dy;
        travelled_ += Length(dx, dy, 0);
        if (travelled_ >= flight_length_) return false;
        if (level_ != nullptr && level_->IsLineClear(start_, position_) == 0) return false;
    }

    if (hit_ == 0) {
        for (const boost::shared_ptr<CUnit>& unit : units.GetUnits())
            if (unit && unit->GetHitPoints() > 0 && !unit->IsHidden() && unit->GetSide() == target_side_ &&
                DistanceSquared(unit->GetPosition(), position_) < kHitRadius * kHitRadius) {
                // The list may change under the hit (a kill, a removal): keep the unit.
                const boost::shared_ptr<CUnit> struck = unit;
                Hit(struck);
                hit_ = 1;
                break;
            }
    }

    if (hit_ != 0 && (!hit_node_ || hit_node_->IsFinished())) return false;
    UpdateNode();
    return true;
}

void CMissile::Hit(const boost::shared_ptr<CUnit>& target) {
    target_ = target;
    if (!target_ || !shooter_ || weapon_ == nullptr) return;
    if (weapon_->kind == kWeaponDamage) {
        int32_t amount = shooter_->GetEffectValue();
        if (spell_ != -1) amount = Battle() != nullptr ? Battle()->GetSpellValue(spell_) : 0;
        shooter_->Damage(target_, amount, spell_);
        const int32_t radius = GetSplashRadius();
        if (radius > 0) {
            // A copy: the kills below run queries that refill the shared list.
            const CUnit::UnitRefs near = target_->GetUnitsNear(GetOppositeSide(shooter_->GetSide()), radius);
            const int32_t splash = static_cast<int32_t>(static_cast<int64_t>(GetSplashPercent()) * amount / 100);
            for (const boost::weak_ptr<CUnit>& ref : near) {
                const boost::shared_ptr<CUnit> unit = ref.lock();
                if (unit && unit->IsAlive() && !unit->IsHidden()) shooter_->Damage(unit, splash, -1);
            }
        }
    } else if (weapon_->kind == kWeaponHeal) {
        shooter_->HealTarget(target_, GetEffectValue());
    } else if (weapon_->kind == kWeaponSlowdown) {
        int32_t amount = GetEffectValue();
        if (spell_ != -1) amount = Battle() != nullptr ? Battle()->GetSpellValue(spell_) : 0;
        shooter_->ApplyTimedEffect(target_, Slow, amount, 1, weapon_->particles.names[WeaponParticles::kSlowdown],
                                   weapon_->time * 1000);
    }
    ShowHitEffect(target_);
    PlayRandomSound(weapon_->sounds.lists[WeaponSounds::kMissileHit]);
}

void CMissile::ShowHitEffect(const boost::shared_ptr<CUnit>& target) {
    if (missile_node_) {
        if (node_ && node_->IsType<sg::Group>()) static_cast<sg::Group*>(node_.get())->RemoveChild(missile_node_);
        missile_node_.reset();
    }
    if (!target || weapon_ == nullptr) return;
    const std::string& effect = weapon_->particles.names[WeaponParticles::kHit];
    if (!effect.empty())
        hit_node_ = target->AddParticleEffect(effect, true, "ParticleHitNode", this, kPickParticleMissile);
}

void CMissile::UpdateNode() {
    if (!node_ || level_ == nullptr) return;
    const Vector3 world = level_->ToWorld(position_);
    node_->ResetTransform();
    node_->Translate(world.x, world.y, kFlightHeight);
    node_->RotateX(static_cast<float>(MapTransform.rx));
    // The missile models point along +x: 54 where other objects turn by 45.
    node_->RotateY(static_cast<float>(direction_ - 54));
    node_->RotateZ(static_cast<float>(MapTransform.rz));
}

int CMissile::Save(MemoryStream& stream) const {
    MissileSaveRecord record;
    record.id = id_;
    record.position = position_;
    record.direction = direction_;
    record.shooterId = shooter_ ? shooter_->GetId() : -1;
    record.targetId = target_ ? target_->GetId() : -1;
    record.weaponId = weapon_ != nullptr ? weapon_->id : -1;
    record.spell = spell_;
    record.start = start_;
    record.heading = heading_;
    record.previous = previous_;
    record.shooterSide = shooter_side_;
    record.targetSide = target_side_;
    record.travelled = travelled_;
    record.flightLength = flight_length_;
    record.timer = timer_;
    record.hit = hit_;
    record.speed = speed_;
    if (IsEmitter(missile_node_)) record.effectAge = static_cast<const sg::EmitterNode*>(missile_node_.get())->GetAge();
    else if (hit_node_) record.effectAge = hit_node_->GetAge();
    record.pendingEffectPath = pending_effect_path_;
    record.pendingMeshName = pending_mesh_name_;
    return record.Write(stream);
}

void CMissile::Restore(const MissileSaveRecord& record) {
    id_ = record.id;
    position_ = record.position;
    direction_ = record.direction;
    start_ = record.start;
    heading_ = record.heading;
    previous_ = record.previous;
    shooter_side_ = record.shooterSide;
    target_side_ = record.targetSide;
    travelled_ = record.travelled;
    flight_length_ = record.flightLength;
    timer_ = record.timer;
    hit_ = record.hit;
    speed_ = record.speed;
    if (hit_ != 0) {
        // No flight is shown after the hit.
        pending_effect_path_.clear();
        pending_mesh_name_.clear();
        ShowHitEffect(target_);
        if (record.effectAge > 0.0f && hit_node_) hit_node_->AdvanceTo(record.effectAge);
        return;
    }
    // A flight saved after its first update has its node built and no names pending:
    // the names this missile took from its weapon build it again at the next update,
    // which brings the effect to the saved age.
    if (!record.pendingEffectPath.empty() || !record.pendingMeshName.empty()) {
        pending_effect_path_ = record.pendingEffectPath;
        pending_mesh_name_ = record.pendingMeshName;
    }
    pending_age_ = record.effectAge;
    UpdateNode();
}
