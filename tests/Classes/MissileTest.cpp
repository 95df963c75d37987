// Missiles: timed strikes at the target and flights across the grid, the first enemy in
// reach, damage with splash, heal, slowdown and spells, the nodes and the save record.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CMissile.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/MissileSaveRecord.h"
#include "IO/MemoryStream.h"
#include "LevelFixtures.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/ModelNode.h"
#include "UnitFixture.h"

using namespace levelfixtures;

static bool operator==(const IntVector3& a, const IntVector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
static void PrintTo(const IntVector3& v, std::ostream* out) { *out << "(" << v.x << ", " << v.y << ", " << v.z << ")"; }

namespace {

enum : int32_t { kArrow = 10, kFireStaff = 11, kCurse = 12, kHealing = 13, kBolt = 14, kLightning = 20 };

// Units with a weapon of each kind and class, on an open 8 x 5 level.
class MissileTest : public ::testing::Test {
protected:
    MissileTest() : models_("no-such-folder/"), clips_("no-such-folder/") {
        WeaponSpec& arrow = data_.AddWeapon(kArrow);
        arrow.weaponClass = "MISSILE";
        arrow.range = 4;
        arrow.speed = 10;
        arrow.value = 12;
        arrow.missile = "arrow.pod";
        arrow.particles[2] = "blood.prt";
        arrow.sounds[2] = "arrowhit.wav";
        WeaponSpec& staff = data_.AddWeapon(kFireStaff);
        staff.weaponClass = "DISTANT";
        staff.range = 5;
        staff.value = 40;
        staff.explosionRange = 1;
        staff.explosionPercent = 50;
        staff.particles[2] = "fire.prt";
        WeaponSpec& curse = data_.AddWeapon(kCurse);
        curse.kind = "SLOWDOWN";
        curse.weaponClass = "DISTANT";
        curse.value = 120;
        curse.time = 5;
        curse.particles[3] = "slowed.prt";
        WeaponSpec& healing = data_.AddWeapon(kHealing);
        healing.kind = "HEAL";
        healing.weaponClass = "DISTANT";
        healing.value = 120;
        WeaponSpec& bolt = data_.AddWeapon(kBolt);
        bolt.weaponClass = "MISSILE";
        bolt.range = 6;
        bolt.speed = 5;
        bolt.particles[1] = "bolt.prt";
        data_.AddWeapon(kLightning).value = 77;

        data_.AddDefender("Archer").weapon = kArrow;
        data_.AddDefender("Mage").weapon = kFireStaff;
        data_.AddDefender("Curser").weapon = kCurse;
        data_.AddDefender("Healer").weapon = kHealing;
        data_.AddDefender("Bowman").weapon = kBolt;
        data_.AddDefender("Unarmed").weapon = 0;
        data_.AddDefender("Guard").hp = 300;
        UnitSpec& keeper = data_.AddDefender("Keeper");
        keeper.type = "DungeonKeeper";
        keeper.weapon = 0;
        UnitSpec& orc = data_.AddAttacker("Orc");
        orc.hp = 300;
        orc.gold = 5;
        data_.AddAttacker("Shaman").weapon = kFireStaff;
        data_.GetConfig().Spells[2] = {{kLightning, 50, 10}};
        data_.Load();

        Service<ModelLoader>::Register(&models_);
        Service<ClipLoader>::Register(&clips_);
        scope_.RegisterLevel(&level_);
        DrawGrid(level_, {"........", "........", "........", "........", "........"});
    }
    ~MissileTest() override {
        spots_.clear();
        level_.Clear();
        Service<ClipLoader>::Unregister();
        Service<ModelLoader>::Unregister();
    }

    boost::shared_ptr<CUnit> Spawn(const std::string& name, int32_t side, int32_t column, int32_t row) {
        return SpawnOnCell(level_, spots_, name, side, column, row);
    }
    boost::shared_ptr<CMissile> Fire(const boost::shared_ptr<CUnit>& shooter, const boost::shared_ptr<CUnit>& target,
                                     int32_t spell = -1) {
        return level_.CreateMissile(shooter, target, nullptr, spell);
    }
    // Steps the missile until it is done; the number of steps it took.
    int Run(CMissile& missile, int limit = 1000) {
        int steps = 1;
        while (missile.Update(33, level_.GetUnitList()) && steps < limit) ++steps;
        return steps;
    }

    AssertionRecorder assertions_;  // the loaders find no files
    TestData data_;
    ModelLoader models_;
    ClipLoader clips_;
    BattleScope scope_;
    CLevel level_{""};
    std::vector<boost::shared_ptr<CSpawnPoint>> spots_;
};

}  // namespace

TEST_F(MissileTest, ATimedMissileHitsTheFirstEnemyInReachAndSplashes) {
    const boost::shared_ptr<CUnit> mage = Spawn("Mage", CUnit::kDefender, 0, 0);
    const boost::shared_ptr<CUnit> first = Spawn("Orc", CUnit::kAttacker, 3, 0);  // earlier in the list
    const boost::shared_ptr<CUnit> aimed = Spawn("Orc", CUnit::kAttacker, 4, 2);  // the one aimed at
    first->SetPosition(IntVector3(aimed->GetPosition().x + 100, aimed->GetPosition().y + 100, 0));
    const boost::shared_ptr<CUnit> beside = Spawn("Orc", CUnit::kAttacker, 5, 3);  // 707 away: outside 550
    const boost::shared_ptr<CUnit> next = Spawn("Orc", CUnit::kAttacker, 5, 2);    // 500 away
    const boost::shared_ptr<CMissile> missile = Fire(mage, aimed);
    ASSERT_TRUE(missile);
    EXPECT_TRUE(missile->IsTimed());
    EXPECT_EQ(1300, missile->GetTimer());
    EXPECT_EQ(aimed->GetPosition(), missile->GetPosition());
    EXPECT_EQ(550, missile->GetSplashRadius());

    EXPECT_EQ(missile->GetHitNode() != nullptr && !missile->GetHitNode()->IsFinished(),
              missile->Update(33, level_.GetUnitList()));
    EXPECT_TRUE(missile->HasHit());
    EXPECT_EQ(first, missile->GetTarget());
    EXPECT_EQ(260, first->GetHitPoints());
    EXPECT_EQ(280, aimed->GetHitPoints());  // half, in the splash around the one hit
    EXPECT_EQ(280, next->GetHitPoints());
    EXPECT_EQ(300, beside->GetHitPoints());
    EXPECT_EQ(100, mage->GetHitPoints());
    // The hit effect on the unit hit; the missile ends with it, and by 1300 ms at the latest.
    ASSERT_TRUE(missile->GetHitNode());
    EXPECT_EQ("ParticleHitNode", missile->GetHitNode()->GetName());
    EXPECT_EQ(first->GetActionGroup().get(), missile->GetHitNode()->GetParent());
    EXPECT_EQ(6, missile->GetHitNode()->GetPickGroup());
    EXPECT_EQ(40, 1 + Run(*missile));  // the 40th step of 33 ms passes 1300
}

TEST_F(MissileTest, SplashSparesTheHiddenAndTheShootersSide) {
    const boost::shared_ptr<CUnit> hidden = Spawn("Guard", CUnit::kDefender, 5, 2);
    hidden->ToggleHide();
    level_.GetUnitList().Update(33);  // no enemy yet: it hides
    ASSERT_TRUE(hidden->IsHidden());
    const boost::shared_ptr<CUnit> target = Spawn("Guard", CUnit::kDefender, 4, 2);
    const boost::shared_ptr<CUnit> visible = Spawn("Guard", CUnit::kDefender, 4, 3);
    const boost::shared_ptr<CUnit> shaman = Spawn("Shaman", CUnit::kAttacker, 3, 2);  // 500 from the target
    const boost::shared_ptr<CMissile> missile = Fire(shaman, target);
    ASSERT_TRUE(missile);
    missile->Update(33, level_.GetUnitList());
    EXPECT_EQ(target, missile->GetTarget());
    EXPECT_EQ(260, target->GetHitPoints());
    EXPECT_EQ(280, visible->GetHitPoints());
    EXPECT_EQ(300, hidden->GetHitPoints());
    EXPECT_EQ(100, shaman->GetHitPoints());
}

TEST_F(MissileTest, WeaponKindsAndSpellsApplyTheirValues) {
    const boost::shared_ptr<CUnit> keeper = Spawn("Keeper", CUnit::kDefender, 0, 0);
    const boost::shared_ptr<CUnit> curser = Spawn("Curser", CUnit::kDefender, 1, 0);
    const boost::shared_ptr<CUnit> healer = Spawn("Healer", CUnit::kDefender, 2, 0);
    const boost::shared_ptr<CUnit> guard = Spawn("Guard", CUnit::kDefender, 6, 4);
    const boost::shared_ptr<CUnit> orc = Spawn("Orc", CUnit::kAttacker, 3, 3);
    const boost::shared_ptr<CUnit> other = Spawn("Orc", CUnit::kAttacker, 6, 1);

    // A slowdown of 120 slows by 75; a heal of 120 heals 120 on the shooter's side.
    const boost::shared_ptr<CMissile> curse = Fire(curser, orc);
    EXPECT_EQ(CUnit::kAttacker, curse->GetTargetSide());
    EXPECT_EQ(75, curse->GetEffectValue());
    curse->Update(33, level_.GetUnitList());
    ASSERT_NE(nullptr, orc->FindEffect(Slow));
    EXPECT_EQ(75, orc->FindEffect(Slow)->value);
    EXPECT_EQ(5000, orc->FindEffect(Slow)->remaining);
    EXPECT_EQ("slowed.prt", orc->FindEffect(Slow)->particle);
    guard->SetHitPoints(150);
    const boost::shared_ptr<CMissile> heal = Fire(healer, guard);
    EXPECT_EQ(CUnit::kDefender, heal->GetTargetSide());
    heal->Update(33, level_.GetUnitList());
    EXPECT_EQ(270, guard->GetHitPoints());

    // A spell deals the battle's value of the spell, the keeper's weapon level's entry.
    const boost::shared_ptr<CMissile> spell =
        level_.CreateMissile(keeper, other, CDunmarchGame::FindWeaponDefinition(kLightning), 2);
    ASSERT_TRUE(spell);
    EXPECT_EQ(77, scope_.Battle().GetSpellValue(2));
    EXPECT_EQ(0, scope_.Battle().GetSpellValue(1));
    spell->Update(33, level_.GetUnitList());
    EXPECT_EQ(223, other->GetHitPoints());

    // No weapon, no missile; a hit without shooter applies nothing.
    EXPECT_FALSE(Fire(Spawn("Unarmed", CUnit::kDefender, 7, 0), orc));
    const size_t count = level_.GetMissiles().size();
    CMissile stray(&level_, boost::shared_ptr<CUnit>(), orc, CDunmarchGame::FindWeaponDefinition(kFireStaff), -1);
    stray.Hit(orc);
    EXPECT_EQ(300, orc->GetHitPoints());
    EXPECT_EQ(orc, stray.GetTarget());
    EXPECT_EQ(count, level_.GetMissiles().size());
}

TEST_F(MissileTest, AFlightCoversItsLengthAlongItsHeading) {
    const boost::shared_ptr<CUnit> archer = Spawn("Archer", CUnit::kDefender, 0, 2);
    const boost::shared_ptr<CUnit> far = Spawn("Orc", CUnit::kAttacker, 7, 2);
    const boost::shared_ptr<CMissile> arrow = Fire(archer, far);
    ASSERT_TRUE(arrow);
    EXPECT_FALSE(arrow->IsTimed());
    EXPECT_EQ(2250, arrow->GetFlightLength());  // range 4
    EXPECT_EQ(5000, arrow->GetSpeed());         // speed 10
    EXPECT_EQ(IntVector3(100, 0, 0), arrow->GetHeading());
    EXPECT_FALSE(arrow->GetNode());  // built at the first update

    ASSERT_TRUE(arrow->Update(33, level_.GetUnitList()));
    EXPECT_EQ(IntVector3(415, 1250, 0), arrow->GetPosition());
    EXPECT_EQ(165, arrow->GetTravelled());
    ASSERT_TRUE(arrow->GetNode());
    EXPECT_EQ("MissileGroup", arrow->GetNode()->GetName());
    EXPECT_EQ(arrow->GetNode().get(), arrow->GetMissileNode()->GetParent());
    EXPECT_EQ("MeshMissileNode", arrow->GetMissileNode()->GetName());
    EXPECT_EQ(5, arrow->GetMissileNode()->GetPickGroup());
    EXPECT_FALSE(arrow->GetMissileNode()->CastsShadow());
    EXPECT_EQ(arrow.get(), arrow->GetMissileNode()->GetUserData());
    EXPECT_EQ(scope_.Battle().GetWorldGroup().get(), arrow->GetNode()->GetParent());
    // 13 more steps pass 2250: 14 x 165 = 2310; the orc 3750 away is never reached.
    EXPECT_EQ(14, 1 + Run(*arrow));
    EXPECT_EQ(300, far->GetHitPoints());

    // Without target the flight follows the shooter's facing; a wall stops it.
    DrawGrid(level_, {"........", "........", "...#....", "........", "........"});
    archer->SetDirection(90);
    const boost::shared_ptr<CMissile> blind = Fire(archer, boost::shared_ptr<CUnit>());
    EXPECT_EQ(IntVector3(100, 0, 0), blind->GetHeading());
    // The line is walked from the start in steps of 500: at the 10th step (1900) it meets
    // the wall's cell at 1750.
    EXPECT_EQ(10, Run(*blind));
}

TEST_F(MissileTest, TheLevelStepsItsMissiles) {
    const boost::shared_ptr<CUnit> archer = Spawn("Archer", CUnit::kDefender, 0, 0);
    const boost::shared_ptr<CUnit> bowman = Spawn("Bowman", CUnit::kDefender, 1, 0);
    const boost::shared_ptr<CUnit> orc = Spawn("Orc", CUnit::kAttacker, 1, 4);
    const boost::shared_ptr<CMissile> arrow = Fire(archer, boost::shared_ptr<CUnit>());  // off the map
    const boost::shared_ptr<CMissile> bolt = Fire(bowman, orc);
    ASSERT_EQ(2u, level_.GetMissiles().size());
    level_.Update(33, 1, 0);  // frozen: nothing moves
    EXPECT_FALSE(bolt->GetNode());
    EXPECT_EQ(0, bolt->GetTravelled());
    // The arrow leaves the list in the step it ends; the bolt behind it still moves then.
    int32_t travelled = 0;
    while (level_.GetMissiles().size() == 2u) {
        travelled = bolt->GetTravelled();
        level_.Update(33, 0, 0);
    }
    ASSERT_EQ(1u, level_.GetMissiles().size());
    EXPECT_EQ(bolt, level_.GetMissiles()[0]);
    EXPECT_EQ(travelled + 82, bolt->GetTravelled());  // speed 5: 2500 a second
    ASSERT_TRUE(bolt->GetMissileNode());
    EXPECT_EQ("ParticleMissileNode", bolt->GetMissileNode()->GetName());
    EXPECT_EQ(6, bolt->GetMissileNode()->GetPickGroup());
    EXPECT_TRUE(bolt->GetMissileNode()->IsType<sg::EmitterNode>());
    while (!level_.GetMissiles().empty()) level_.Update(33, 0, 0);
    EXPECT_TRUE(bolt->HasHit());
    EXPECT_EQ(290, orc->GetHitPoints());
    EXPECT_FALSE(bolt->GetMissileNode());         // the flight's node goes at the hit
    EXPECT_FALSE(arrow->GetNode()->GetParent());  // out of the world once done
}

TEST_F(MissileTest, AFlyingMissileSavedAndLoadedFliesOn) {
    const boost::shared_ptr<CUnit> bowman = Spawn("Bowman", CUnit::kDefender, 0, 0);
    const boost::shared_ptr<CUnit> orc = Spawn("Orc", CUnit::kAttacker, 7, 4);
    const boost::shared_ptr<CMissile> bolt = Fire(bowman, orc);
    for (int step = 0; step < 5; ++step) ASSERT_TRUE(bolt->Update(33, level_.GetUnitList()));
    MemoryStream stream;
    ASSERT_EQ(1, bolt->Save(stream));

    MissileSaveRecord record;
    ASSERT_EQ(1, record.Read(stream));
    EXPECT_EQ(0, stream.GetBytesLeft());
    EXPECT_EQ(bowman->GetId(), record.shooterId);
    EXPECT_EQ(orc->GetId(), record.targetId);
    EXPECT_EQ(kBolt, record.weaponId);
    EXPECT_TRUE(record.pendingEffectPath.empty());  // the node was built
    CMissile loaded(&level_, level_.FindUnit(record.shooterId), level_.FindUnit(record.targetId),
                    CDunmarchGame::FindWeaponDefinition(record.weaponId), record.spell);
    loaded.Restore(record);
    EXPECT_EQ(bolt->GetPosition(), loaded.GetPosition());
    EXPECT_EQ(bolt->GetHeading(), loaded.GetHeading());
    EXPECT_EQ(bolt->GetTravelled(), loaded.GetTravelled());
    for (int step = 0; step < 10; ++step) {
        EXPECT_EQ(bolt->Update(33, level_.GetUnitList()), loaded.Update(33, level_.GetUnitList()));
        EXPECT_EQ(bolt->GetPosition(), loaded.GetPosition());
    }
    // The flight's node is built again.
    ASSERT_TRUE(loaded.GetMissileNode());
    EXPECT_EQ("ParticleMissileNode", loaded.GetMissileNode()->GetName());

    // Without its shooter it flies on and applies nothing.
    CMissile orphan(&level_, boost::shared_ptr<CUnit>(), orc, CDunmarchGame::FindWeaponDefinition(kBolt), -1);
    record.travelled = 0;
    record.position = IntVector3(orc->GetPosition().x - 300, orc->GetPosition().y, 0);
    orphan.Restore(record);
    const int32_t hitPoints = orc->GetHitPoints();
    Run(orphan);
    EXPECT_EQ(hitPoints, orc->GetHitPoints());
}

TEST_F(MissileTest, DamagedRecordsAreRefused) {
    MissileSaveRecord record;
    record.pendingEffectPath = "particles/bolt.prt";
    record.pendingMeshName = "";  // an empty text: length 0, no bytes
    MemoryStream stream;
    ASSERT_EQ(1, record.Write(stream));
    EXPECT_EQ(104 + 4 + 18 + 4, stream.GetSize());
    int length = 0;
    const char* bytes = stream.GetBuffer(length);
    const std::string whole(bytes, static_cast<size_t>(length));
    // Cut short, or the path's length made negative or larger than what is left.
    std::string negative = whole;
    negative[104] = '\xff', negative[105] = '\xff', negative[106] = '\xff', negative[107] = '\xff';
    std::string oversized = whole;
    oversized[107] = '\x10';
    for (const std::string& bad : {whole.substr(0, whole.size() - 3), negative, oversized}) {
        MemoryStream damaged;
        damaged.Write(bad.data(), static_cast<int>(bad.size()));
        MissileSaveRecord read;
        EXPECT_NE(1, read.Read(damaged));
    }
    MemoryStream again;
    again.Write(whole.data(), static_cast<int>(whole.size()));
    MissileSaveRecord read;
    ASSERT_EQ(1, read.Read(again));
    EXPECT_EQ("particles/bolt.prt", read.pendingEffectPath);
    EXPECT_EQ("", read.pendingMeshName);
}
