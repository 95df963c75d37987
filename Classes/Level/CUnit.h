#pragma once
// One fighter of the battle: an attacker (side 1) or a defender (side 2), made by the
// level's unit list from its definition and weapon in the game dictionary. It owns its
// brain and its scene ("CharacterGroup" with the animated model and the "ActionGroup" of
// attached effects), carries timed effects, and supplies the range, target and query
// tests with which the brains decide, the strikes its attack clips trigger, damage and
// healing.
//
// Distances are level units (500 per cell); every getter is integer arithmetic that
// truncates.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "Classes/Level/CGenericObject.h"
#include "Classes/Level/CAttackerBrain.h"
#include "Classes/Level/CDefenderBrain.h"

class CLevel;
class CLevelNode;
class CSpawnPoint;
class MemoryStream;
struct AttackerDefinition;
struct UnitSaveRecord;
struct DefenderDefinition;
struct UnitDefinition;
struct WeaponDefinition;

namespace Graphics {
class AnimationClips;
}

namespace sg {
class EmitterNode;
class Group;
class Material;
class ModelNode;
}  // namespace sg

enum UnitEffectKind : int32_t { Slow = 1, AutoHeal = 2, Boost = 3 };

// One timed or lasting effect on a unit.
struct UnitEffect {
    int32_t kind = 0;       // UnitEffectKind
    int32_t value = 0;      // percent: slow-down, or bonus on hit points and weapon value
    int32_t timed = 0;      // non-zero: runs out once remaining falls below 0
    std::string particle;   // effect file shown on the unit while it lasts; empty for none
    int32_t remaining = 0;  // milliseconds
    boost::shared_ptr<sg::EmitterNode> node;
    int32_t nodePending = 1;  // the particle node is made at the next effects update
    int32_t expired = 0;      // removed at the next effects update
};

class CUnit : public CGenericObject {
public:
    enum Side { kAttacker = 1, kDefender = 2 };
    enum Kind { kFighter = 1, kHero = 2, kDungeonKeeper = 3 };
    // Pick groups of the unit's nodes.
    enum PickGroup { kPickLiving = 1, kPickDeadDefender = 2, kPickDeadAttacker = 3, kPickEffect = 6 };
    typedef std::vector<boost::weak_ptr<CUnit>> UnitRefs;
    // The effect files of a spot's boost and of self-healing.
    static const char kBoostEffectFile[];
    static const char kAutoHealEffectFile[];

    // Without a spawn point the unit keeps its definition's stats but has no hit points,
    // brain or scene; an unknown name or weapon leaves it so too (a dead unit).
    CUnit(CLevel* level, int32_t id, const std::string& name, int32_t side,
          const boost::weak_ptr<CSpawnPoint>& spawnPoint);
    // The brain first; the node leaves the world last.
    ~CUnit() override;

    bool IsUnit() const override { return true; }

    // ---- state ----
    const std::string& GetDefinitionName() const { return name_; }
    int32_t GetSide() const { return side_; }
    bool IsAttacker() const { return side_ == kAttacker; }
    bool IsDefender() const { return side_ == kDefender; }
    int32_t GetKind() const { return kind_; }
    bool IsHero() const { return kind_ == kHero; }
    bool IsDungeonKeeper() const { return kind_ == kDungeonKeeper; }
    bool IsAlive() const { return hit_points_ > 0; }
    int32_t GetHitPoints() const { return hit_points_; }
    // Stores max(0, hitPoints) and returns it.
    int32_t SetHitPoints(int32_t hitPoints);
    // Hit points x 100 / maximum; 0 without a maximum.
    int32_t GetHitPointPercent() const;
    bool IsSold() const { return sold_ != 0; }
    bool IsHidden() const { return hidden_ != 0; }
    bool IsHideRequested() const { return hide_requested_ != 0; }
    bool IsDying() const { return dying_ != 0; }
    int32_t GetAge() const { return age_; }
    int32_t GetAttackCounter() const { return attack_counter_; }
    void IncrementAttackCounter() { ++attack_counter_; }
    int32_t GetInvested() const { return invested_; }
    int32_t GetInvestedInHitPoints() const { return invested_in_hit_points_; }
    const IntVector3& GetPreviousPosition() const { return previous_position_; }
    // The centre of the spawn point's cell at creation, then of every cell reached.
    const IntVector3& GetHomePosition() const { return home_position_; }
    void SetHomePosition(const IntVector3& position) { home_position_ = position; }
    // 0 hit points, 1 weapon; each 0 to 4.
    int32_t GetUpgradeLevel(int32_t kind) const;
    void SetUpgradeLevel(int32_t kind, int32_t level);
    // Reduced into 0..359; the node follows.
    void SetDirection(int32_t degrees);
    // The previous position keeps the one left; the node follows.
    void MoveTo(const IntVector3& position, int32_t flag);
    // The opacity of the unit's material, held to 0..1.
    void SetFade(float alpha);

    CLevel* GetLevel() const { return level_; }
    CGenericBrain* GetBrain() const { return brain_.get(); }
    // The brain is in the move or the attack state.
    bool IsMoving() const;
    bool IsAttacking() const;
    const UnitDefinition* GetDefinition() const { return definition_; }
    // Null unless the unit is of that side and has a definition.
    const AttackerDefinition* GetAttackerDefinition() const;
    const DefenderDefinition* GetDefenderDefinition() const;
    const WeaponDefinition* GetWeapon() const { return weapon_; }

    const boost::shared_ptr<sg::ModelNode>& GetModelNode() const { return model_node_; }
    const boost::shared_ptr<sg::Group>& GetActionGroup() const { return action_group_; }
    const boost::shared_ptr<Graphics::AnimationClips>& GetAnimationClips() const { return clips_; }
    const boost::shared_ptr<sg::EmitterNode>& GetSelectionEffect() const { return selection_effect_; }
    const boost::shared_ptr<sg::Material>& GetMaterial() const { return material_; }

    // ---- stats ----
    // Attackers: the definition's; defenders: by hit-point level, with the boost unless
    // ignoreBoost. 0 without definition or above level 4.
    int32_t GetMaxHitPoints(bool ignoreBoost) const;
    // The same for a unit of that definition and side at that hit-point level with a
    // boost of that percent.
    static int32_t MaxHitPointsOf(const UnitDefinition* definition, int32_t side, int32_t level, int32_t boostPercent);
    // Level units per second, slowed by a Slow effect.
    int32_t GetSpeed() const;
    int32_t GetViewRange() const;
    // Defenders: how far from their spot they fight.
    int32_t GetGuardRange() const;
    // 750 for close combat; 0 without weapon.
    int32_t GetAttackRange() const;
    int32_t GetHitRate() const;
    // The weapon's value with the boost; a slowdown at most 75.
    int32_t GetEffectValue() const;
    // 0 for heal and slowdown weapons.
    int32_t GetDamageRate() const;
    int32_t GetGold() const;
    int32_t GetPrice() const;
    int32_t GetHealSpotValue() const;
    int32_t GetTeleportPrice() const;
    // Percent of a dead defender's waiting time for its resurrection that has passed.
    int32_t GetResurrectProgress() const;
    bool IsMelee() const;

    // ---- cells and pointers ----
    CLevelNode* GetCell() const;
    // The cell of the 3 x 3 block around the unit's cell whose occupant is this unit.
    CLevelNode* FindOwnCell() const;
    // The unit list's pointers to this unit; empty when it is not listed.
    boost::shared_ptr<CUnit> GetSharedPtr() const;
    boost::weak_ptr<CUnit> GetWeakPtr() const;

    // ---- per step ----
    // False asks the unit list to remove the unit.
    bool Update(int32_t dt);

    // ---- effects ----
    void AddEffect(int32_t kind, int32_t value, int32_t timed, const std::string& particle, int32_t remaining);
    // Without now the effects of that kind go at the next effects update; with now the
    // first of that kind goes at once.
    void RemoveEffect(int32_t kind, bool now, bool keepHitPoints);
    UnitEffect* FindEffect(int32_t kind);
    const UnitEffect* FindEffect(int32_t kind) const;
    void RemoveSlowEffects();
    bool IsSlowed() const { return FindEffect(Slow) != nullptr; }
    const std::vector<UnitEffect>& GetEffects() const { return effects_; }
    // attach: a child of the action group; otherwise the level shows the effect at the
    // unit's position and the returned node stays unused. Empty without action group.
    boost::shared_ptr<sg::EmitterNode> AddParticleEffect(const std::string& file, bool attach,
                                                         const char* nodeName = nullptr,
                                                         CGenericObject* userObject = nullptr, int32_t pickGroup = 0);
    // Shown attached at the next update.
    void QueueEffect(const std::string& file);
    const std::vector<std::string>& GetQueuedEffects() const { return queued_effects_; }
    // The effects update of one step, also run by a restore with dt 0.
    void UpdateEffects(int32_t dt);

    // ---- tests and queries of the brains ----
    bool CanAttack(const boost::weak_ptr<CUnit>& target) const;
    bool CanTarget(const boost::weak_ptr<CUnit>& target) const;
    bool IsInAttackRange(const boost::weak_ptr<CUnit>& target) const;
    bool IsInViewRange(const boost::weak_ptr<CUnit>& target) const;
    bool IsInGuardArea(const boost::weak_ptr<CUnit>& target) const;
    bool HasLineOfSightTo(const boost::weak_ptr<CUnit>& target) const;
    // Living enemies whose brain targets this unit. One list per query, refilled by
    // every call of it.
    const UnitRefs& GetPursuers() const;
    // Living enemies with a brain that see this unit with a clear line to it.
    const UnitRefs& GetThreats() const;
    // Living units of that side, other than this one, within the radius.
    const UnitRefs& GetUnitsNear(int32_t side, int32_t radius) const;

    // ---- combat ----
    void StrikeClose(const boost::weak_ptr<CUnit>& target);
    void StrikeRanged(const boost::weak_ptr<CUnit>& target);
    // credit -1: this unit is the killer when the target's hit points reach 0.
    void Damage(const boost::weak_ptr<CUnit>& target, int32_t amount, int32_t credit);
    void HealTarget(const boost::weak_ptr<CUnit>& target, int32_t amount);
    // Only when the target has no effect of that kind: a running one is not renewed.
    void ApplyTimedEffect(const boost::weak_ptr<CUnit>& target, int32_t kind, int32_t value, int32_t timed,
                          const std::string& particle, int32_t remaining);

    // ---- scene ----
    void PlayAnimation(const std::string& name, bool loop);
    bool IsPlayingAnimation(const std::string& name) const;
    // From shared material 1 while hidden, else 0; dead units are white and blended.
    void UpdateMaterial();
    // The weapon's hand meshes on the model's forearm bones.
    void AttachWeaponModel();
    void MoveToCell(CLevelNode* from, CLevelNode* to, bool force);
    // A defender back onto its home spot's cell.
    void ReturnHome();

    // Animation-frame callbacks: an attack clip's event frame, its end, the end of "death".
    void OnStrikeFrame();
    void OnAttackEnd();
    void OnDeathEnd();

    // ---- selection ----
    // An attacker is the level's selected attacker; a defender is among its selected
    // defenders. False without level.
    bool IsSelected() const;
    // The level's hovered unit.
    bool IsHighlighted() const;
    // Shows "selected.prt" on the unit while it is selected (then it casts no shadow).
    void UpdateSelectionEffect();

    // ---- the player's orders; prices in gold, unsigned arithmetic that truncates ----
    // Fades out over 500 ms; the update then asks for removal.
    void Sell();
    // Living defenders refund price 1 percent of the investment, dead ones price 2 percent.
    int32_t GetSellValue() const;
    // Full hit points; a dead unit is resurrected onto a free cell and its brain idles.
    void Heal(bool silent, bool noHealParticle, bool noResurrectParticle);
    void Resurrect(bool silent, bool noParticle);
    // Living: price 4 percent of the hit-point investment; dead: price 5 percent of all of it.
    int32_t GetHealCost() const;
    // Defenders: unhides, cancels a waiting hide order, or orders a hide that takes
    // effect once the unit stands idle on its spot and no enemy sees it.
    void ToggleHide();
    // Price 6 for a defender neither hidden nor waiting to hide; 0 otherwise.
    int32_t GetHidePrice() const;
    int32_t GetHideOrderStep() const { return hide_order_step_; }
    int32_t GetFadeTimer() const { return fade_timer_; }
    int32_t GetAutoHealTimer() const { return auto_heal_timer_; }
    // Kind 0 hit points, 1 weapon: the next level, healing the unit; the price paid.
    // Another kind, or a unit at level 4 already, changes nothing and pays 0.
    int32_t Upgrade(int32_t kind);
    // The price of the next level; 0 at level 4 or for another kind.
    int32_t GetUpgradePrice(int32_t kind) const;
    // A defender placed on a spot: a bonus spot adds a Boost; it takes the spot's direction.
    void ApplySpawnPointBonus(CSpawnPoint* spawnPoint, int32_t apply);
    // remove: the Boost goes at once, and unless keepHitPoints the hit points follow.
    void RemoveSpawnPointBonus(int32_t remove, int32_t keepHitPoints);
    void SetAutoHeal(bool on);
    // Self-healing of a defender idle on its spot, healspotval percent a second.
    void AutoHealStep(int32_t dt);

    // ---- savegame ----
    // Writes the unit's record (its brain's part included); 1 done, -1 once failed.
    int Save(MemoryStream& stream) const;
    // The unit part of a record, on a unit just made from the record's name and side.
    void Restore(const UnitSaveRecord& record);

private:
    void BuildScene();
    void RegisterAnimationCallbacks();
    void UpdateAnimationSpeed();
    void ShowQueuedEffects();
    void RemoveFinishedEffectNode();
    sg::Group* GetCharacterGroup() const;

    std::string name_;
    int32_t side_;
    int32_t hit_points_;
    int32_t sold_;
    int32_t hidden_;
    int32_t hide_requested_;
    int32_t hide_order_step_;
    int32_t fade_timer_;
    int32_t auto_heal_timer_;
    int32_t age_;
    int32_t attack_counter_;
    int32_t dying_;
    int32_t invested_;
    int32_t invested_in_hit_points_;
    IntVector3 previous_position_;
    IntVector3 home_position_;
    int32_t upgrade_levels_[2];
    const WeaponDefinition* weapon_;
    std::vector<UnitEffect> effects_;
    std::vector<std::string> queued_effects_;
    std::unique_ptr<CGenericBrain> brain_;
    int32_t kind_;
    CLevel* level_;
    const UnitDefinition* definition_;
    boost::shared_ptr<sg::ModelNode> model_node_;
    boost::shared_ptr<sg::Group> action_group_;
    boost::shared_ptr<Graphics::AnimationClips> clips_;
    boost::shared_ptr<sg::EmitterNode> selection_effect_;
    boost::shared_ptr<sg::Material> material_;
};
