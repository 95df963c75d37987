#pragma once
// One use of a weapon carried from a shooter to a target: an arrow or bolt that flies
// across the map (missile class), or an effect that shows on the target at once (timed,
// 1300 ms). It hits the first unit of the target side it comes within 250 units of,
// applies the weapon (damage with splash, heal or slowdown), shows the hit effect and
// plays a hit sound. The level keeps it in its missile list and steps it each battle
// step until its update answers false.
#include <cstdint>
#include <string>

#include <boost/shared_ptr.hpp>

#include "Classes/Level/CGenericObject.h"

class CLevel;
class CUnit;
class MemoryStream;
class UnitList;
struct MissileSaveRecord;
struct WeaponDefinition;

namespace sg {
class EmitterNode;
}

class CMissile : public CGenericObject {
public:
    // Without weapon the shooter's current one. A timed missile starts at the target; a
    // flying one at the shooter, heading for the target or, without one, the shooter's
    // facing. The nodes are built at the first update. spell: -1 for a unit's attack.
    CMissile(CLevel* level, const boost::shared_ptr<CUnit>& shooter, const boost::shared_ptr<CUnit>& target,
             const WeaponDefinition* weapon, int32_t spell);

    bool IsMissile() const override { return true; }

    // False when the missile is done: timed out, flown its length, stopped by a blocked
    // line, or hit and its hit effect finished.
    bool Update(int32_t dt, UnitList& units);
    // Applies the weapon to the target; nothing without target or shooter.
    void Hit(const boost::shared_ptr<CUnit>& target);
    // The flying node goes; the target shows the weapon's hit effect.
    void ShowHitEffect(const boost::shared_ptr<CUnit>& target);
    static constexpr int32_t kTimedMissileTime = 1300;  // ms

    // At the position's world point, 14.5 high, turned by (direction - 54) about y.
    void UpdateNode() override;

    // 1 done, -1 once the stream has failed.
    int Save(MemoryStream& stream) const;
    // On a missile just made from the record's shooter, target, weapon and spell.
    void Restore(const MissileSaveRecord& record);

    // ---- derived from the weapon; 0 without ----
    // Level units a missile of the weapon flies; 0 for a timed one (not missile class).
    static int32_t GetFlightLengthOf(const WeaponDefinition* weapon);
    // Level units a second.
    static int32_t GetSpeedOf(const WeaponDefinition* weapon);
    static int32_t GetSplashRadiusOf(const WeaponDefinition* weapon);
    int32_t GetSplashRadius() const { return GetSplashRadiusOf(weapon_); }
    int32_t GetSplashPercent() const;
    // The weapon's value, raised by the shooter's boost; a slowing shooter's at most 75.
    int32_t GetEffectValue() const;

    const boost::shared_ptr<CUnit>& GetShooter() const { return shooter_; }
    const boost::shared_ptr<CUnit>& GetTarget() const { return target_; }
    const WeaponDefinition* GetWeapon() const { return weapon_; }
    int32_t GetSpell() const { return spell_; }
    const IntVector3& GetStart() const { return start_; }
    const IntVector3& GetHeading() const { return heading_; }
    int32_t GetTargetSide() const { return target_side_; }
    int32_t GetTravelled() const { return travelled_; }
    int32_t GetFlightLength() const { return flight_length_; }
    bool IsTimed() const { return flight_length_ == 0; }
    int32_t GetTimer() const { return timer_; }
    bool HasHit() const { return hit_ != 0; }
    int32_t GetSpeed() const { return speed_; }
    const boost::shared_ptr<sg::Node>& GetMissileNode() const { return missile_node_; }
    const boost::shared_ptr<sg::EmitterNode>& GetHitNode() const { return hit_node_; }

private:
    void BuildNodes();

    boost::shared_ptr<CUnit> shooter_;
    boost::shared_ptr<CUnit> target_;
    const WeaponDefinition* weapon_;
    int32_t spell_;
    IntVector3 start_;
    IntVector3 heading_;
    IntVector3 previous_;
    int32_t shooter_side_;
    int32_t target_side_;
    int32_t travelled_;
    int32_t flight_length_;
    int32_t timer_;
    int32_t hit_;
    int32_t speed_;
    std::string pending_effect_path_;
    std::string pending_mesh_name_;
    // A restored flying effect's age, given to the effect when it is built again.
    float pending_age_;
    CLevel* level_;
    boost::shared_ptr<sg::Node> missile_node_;
    boost::shared_ptr<sg::EmitterNode> hit_node_;
};
