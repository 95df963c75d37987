// The unit's savegame record: written from the unit and its brain, restored onto a unit
// made again from the record's name and side.
#include <algorithm>
#include <utility>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Dictionary/GameDictionary/WeaponDefinition.h"
#include "Classes/Level/CLevelNode.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/CWayPoint.h"
#include "Classes/Level/LevelServices.h"
#include "Classes/Level/UnitSaveRecord.h"
#include "Graphics/AnimationClips/AnimationClips.h"
#include "Graphics/Model/Model.h"
#include "SceneGraph/ModelNode.h"

int CUnit::Save(MemoryStream& stream) const {
    UnitSaveRecord record;
    record.position = position_;
    record.direction = direction_;
    record.id = id_;
    record.name = name_;
    record.side = side_;
    record.hitPoints = hit_points_;
    record.sold = sold_;
    record.hidden = hidden_;
    record.hideRequested = hide_requested_;
    record.hideOrderStep = hide_order_step_;
    record.fadeTimer = fade_timer_;
    record.autoHealTimer = auto_heal_timer_;
    record.age = age_;
    record.attackCounter = attack_counter_;
    record.dying = dying_;
    record.invested = invested_;
    record.investedInHitPoints = invested_in_hit_points_;
    record.previousPosition = previous_position_;
    record.homePosition = home_position_;
    record.upgradeLevels[0] = upgrade_levels_[0];
    record.upgradeLevels[1] = upgrade_levels_[1];
    record.weaponId = weapon_ != nullptr ? weapon_->id : -1;
    for (const UnitEffect& effect : effects_) {
        record.effects.push_back(effect);
        record.effects.back().node.reset();
    }
    record.queuedEffects = queued_effects_;
    if (model_node_) {
        record.clipName = model_node_->GetClipName();
        record.clipFrame = model_node_->GetFrame();
        record.animationSpeed = model_node_->GetSpeed();
        record.clipLoops = model_node_->GetPlayMode();
    }
    // A unit without brain writes the fields of none: zeros and no references.
    if (brain_) {
        const CGenericBrain& brain = *brain_;
        const int32_t fields[UnitSaveRecord::kBrainFieldCount] = {
            brain.GetState(),      brain.GetStepCount(),     brain.GetTimer(),
            brain.GetCooldown(),   brain.GetTurnFrom(),      brain.GetTurnTo(),
            brain.GetTurnTarget(), brain.GetHomeDirection(), brain.GetPathRetryDelay()};
        std::copy(fields, fields + UnitSaveRecord::kBrainFieldCount, record.brainFields);
        record.targetId = IdOf(brain.GetCurrentTarget());
        for (const CLevelNode* cell : brain.GetPath())
            record.path.push_back(std::make_pair(cell->GetPosition().x, cell->GetPosition().y));
        if (IsAttacker()) {
            const CAttackerBrain& attacker = static_cast<const CAttackerBrain&>(brain);
            record.keeperId = IdOf(attacker.GetKeeper());
            record.wayPointId = IdOf(attacker.GetWayPoint());
        } else if (IsDefender()) {
            record.homeSpawnPointId = IdOf(static_cast<const CDefenderBrain&>(brain).GetHomeSpot());
        }
    }
    return record.Write(stream);
}

void CUnit::Restore(const UnitSaveRecord& record) {
    position_ = record.position;
    direction_ = record.direction;
    id_ = record.id;
    UpdateNode();
    hit_points_ = record.hitPoints;
    sold_ = record.sold;
    hidden_ = record.hidden;
    hide_requested_ = record.hideRequested;
    hide_order_step_ = record.hideOrderStep;
    fade_timer_ = record.fadeTimer;
    auto_heal_timer_ = record.autoHealTimer;
    age_ = record.age;
    attack_counter_ = record.attackCounter;
    invested_ = record.invested;
    invested_in_hit_points_ = record.investedInHitPoints;
    previous_position_ = record.previousPosition;
    home_position_ = record.homePosition;
    upgrade_levels_[0] = record.upgradeLevels[0];
    upgrade_levels_[1] = record.upgradeLevels[1];
    weapon_ = record.weaponId >= 0 ? CDunmarchGame::FindWeaponDefinition(record.weaponId) : nullptr;
    AttachWeaponModel();
    for (const UnitEffect& effect : record.effects)
        AddEffect(effect.kind, effect.value, effect.timed, effect.particle, effect.remaining);
    UpdateEffects(0);
    queued_effects_ = record.queuedEffects;

    // Only a clip of the model's table is played: the look-up of any other fails.
    const boost::shared_ptr<Graphics::AnimationClips> clips = model_node_ && model_node_->GetModel()
                                                                  ? model_node_->GetModel()->GetAnimationClips()
                                                                  : boost::shared_ptr<Graphics::AnimationClips>();
    if (clips && clips->HasClip(record.clipName)) {
        PlayAnimation(record.clipName, record.clipLoops != 0);
        // The node takes a frame only inside its clip, first and last included.
        model_node_->SetFrame(record.clipFrame);
        model_node_->SetSpeed(record.animationSpeed);
        model_node_->SetPlayMode(record.clipLoops);
    }
    // Playing "death" marks a unit dying: the saved flag holds, the corpse may be past it.
    dying_ = record.dying;

    // The look of a fresh unit would show a hidden defender plainly and a corpse as living.
    UpdateMaterial();
    if (model_node_) {
        model_node_->SetPickGroup(IsAlive() ? kPickLiving : IsAttacker() ? kPickDeadAttacker : kPickDeadDefender);
        model_node_->SetCastsShadow(IsAlive());
    }
}
