#pragma once
// The fixture of the unit tests: units made by the level's list from game data written by
// the test, on small drawn levels.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Core/ContentLoader.h"
#include "Graphics/AnimationClips/AnimationClips.h"
#include "Graphics/Model/Model.h"
#include "LevelFixtures.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/Group.h"

namespace levelfixtures {

typedef Content::ContentLoader<Graphics::Model> ModelLoader;
typedef Content::ContentLoader<Graphics::AnimationClips> ClipLoader;

// Game data of a few attackers and defenders with weapons of every kind, a battle, a small
// open level as the level service, and loaders that find no files (units get their scene
// groups without a model).
class UnitFixture : public ::testing::Test {
protected:
    UnitFixture() : models_("no-such-folder/"), clips_("no-such-folder/") {
        WeaponSpec& bow = data_.AddWeapon(2);
        bow.weaponClass = "MISSILE";
        bow.range = 5;
        bow.value = 12;
        bow.particles[0] = "shot.prt";
        WeaponSpec& curse = data_.AddWeapon(3);
        curse.kind = "SLOWDOWN";
        curse.weaponClass = "DISTANT";
        curse.range = 5;
        curse.value = 50;
        curse.time = 5;
        WeaponSpec& sword = data_.AddWeapon(4);
        sword.range = 9;  // close combat all the same
        sword.sounds[1] = "swordhit.wav";
        sword.value = 20;
        sword.hitRate = 8;
        sword.particles[2] = "blood.prt";
        WeaponSpec& heal = data_.AddWeapon(5);
        heal.kind = "HEAL";
        heal.weaponClass = "DISTANT";
        heal.range = 4;
        heal.value = 18;
        WeaponSpec& staff = data_.AddWeapon(6);
        staff.weaponClass = "DISTANT";
        staff.range = 4;
        staff.value = 14;

        UnitSpec& guard = data_.AddDefender("Guard");
        guard.hp = 105;
        guard.speed = 3;
        guard.weapon = 4;
        guard.timeAutoResurect = 10;
        const int32_t levels[4] = {150, 200, 250, 300};
        const int32_t hpPrices[4] = {50, 60, 70, 80};
        // Level 3 names a weapon the game data lacks.
        const int32_t weapons[4] = {7, 7, 77, 7};
        const int32_t weaponPrices[4] = {80, 90, 100, 110};
        std::copy(levels, levels + 4, guard.hpLevels);
        std::copy(hpPrices, hpPrices + 4, guard.hpPrices);
        std::copy(weapons, weapons + 4, guard.weaponLevels);
        std::copy(weaponPrices, weaponPrices + 4, guard.weaponPrices);
        data_.AddWeapon(7).value = 30;
        UnitSpec& medic = data_.AddDefender("Medic");
        medic.healSpotVal = 10;
        medic.sounds = "death1.wav";
        data_.AddDefender("Champion").type = "Hero";
        data_.AddDefender("Archer").weapon = 2;
        data_.AddDefender("Curser").weapon = 3;
        data_.AddDefender("Healer").weapon = 5;
        data_.AddDefender("Unarmed").weapon = 0;
        data_.AddDefender("Broken").weapon = 77;
        data_.AddDefender("Dummy").flags = "DummyBrain";
        UnitSpec& keeper = data_.AddDefender("Keeper");
        keeper.type = "DungeonKeeper";
        keeper.weapon = 0;
        UnitSpec& orc = data_.AddAttacker("Orc");
        orc.hp = 110;
        orc.gold = 12;
        data_.AddAttacker("Shaman").weapon = 6;
        data_.AddAttacker("Warlord").type = "Hero";
        data_.Load();

        Service<ModelLoader>::Register(&models_);
        Service<ClipLoader>::Register(&clips_);
        scope_.RegisterLevel(&level_);
        Draw({"........", "........", "........", "........", "........"});
    }
    ~UnitFixture() override {
        spots_.clear();
        level_.Clear();
        Service<ClipLoader>::Unregister();
        Service<ModelLoader>::Unregister();
    }

    void Draw(const std::vector<std::string>& rows) {
        rows_ = rows;
        DrawGrid(level_, rows);
    }

    // A unit of that definition made by the list at a spawn point on the cell.
    boost::shared_ptr<CUnit> Spawn(const std::string& name, int32_t side, int32_t column, int32_t row) {
        return SpawnOnCell(level_, spots_, name, side, column, row);
    }
    boost::shared_ptr<CUnit> Defender(const std::string& name, int32_t column, int32_t row) {
        return Spawn(name, CUnit::kDefender, column, row);
    }
    boost::shared_ptr<CUnit> Attacker(const std::string& name, int32_t column, int32_t row) {
        return Spawn(name, CUnit::kAttacker, column, row);
    }

    // The effect files shown on the unit's action group, in order.
    static std::vector<std::string> Shown(const CUnit& unit) {
        std::vector<std::string> files;
        for (const boost::shared_ptr<sg::Node>& child : unit.GetActionGroup()->GetChildren())
            if (child->IsType<sg::EmitterNode>())
                files.push_back(static_cast<sg::EmitterNode&>(*child).GetEffectName());
        return files;
    }

    // The children of the unit's "CharacterGroup" that are emitter nodes named so.
    static int CountNamed(const CUnit& unit, const std::string& name) {
        int count = 0;
        for (const boost::shared_ptr<sg::Node>& child : static_cast<sg::Group*>(unit.GetNode().get())->GetChildren())
            count += child->IsType<sg::EmitterNode>() && child->GetName() == name;
        return count;
    }

    AssertionRecorder assertions_;  // the loaders find no files
    TestData data_;
    ModelLoader models_;
    ClipLoader clips_;
    BattleScope scope_;
    CLevel level_{""};
    std::vector<std::string> rows_;
    std::vector<boost::shared_ptr<CSpawnPoint>> spots_;
};

}  // namespace levelfixtures
