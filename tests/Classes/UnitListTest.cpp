// The level's unit list: spawning and numbering, the step with its removals and the
// wave's time-out, the kill handling, the battle-wide orders, look-ups and totals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/UnitSaveRecord.h"
#include "IO/MemoryStream.h"
#include "LevelFixtures.h"
#include "SceneGraph/Material.h"
#include "SceneGraph/ModelNode.h"
#include "UnitFixture.h"

using namespace levelfixtures;

namespace {

class UnitListTest : public UnitFixture {
protected:
    UnitList& List() { return level_.GetUnitList(); }
    CDunmarchGame& Battle() { return scope_.Battle(); }
};

}  // namespace

TEST_F(UnitListTest, CountedUnitsAreNumberedAndShowTheirArrival) {
    const boost::shared_ptr<CUnit> first = Defender("Guard", 0, 0);
    const boost::shared_ptr<CUnit> second = Attacker("Orc", 1, 0);
    spots_.push_back(
        boost::shared_ptr<CSpawnPoint>(new CSpawnPoint(&level_, 0, 99, 1250, 250, 0, CSpawnPoint::kDefenderSlot, 0)));
    const boost::shared_ptr<CUnit> quiet = List().SpawnUnit("Guard", spots_.back(), CUnit::kDefender, false, false);
    EXPECT_EQ(0, first->GetId());
    EXPECT_EQ(1, second->GetId());
    EXPECT_EQ(0, quiet->GetId());
    EXPECT_EQ(2, List().GetNextId());
    EXPECT_EQ(1u, Shown(*first).size());  // "spawn.prt"
    EXPECT_TRUE(Shown(*quiet).empty());
    // The unit stands on its cell, a defender on its spot.
    EXPECT_EQ(quiet, level_.GetCell(2, 0)->GetOccupant().lock());
    EXPECT_TRUE(spots_.back()->IsOccupiedBy(quiet.get()));
    EXPECT_FALSE(spots_[1]->HasOccupant());  // entries take no occupant

    // Look-ups.
    EXPECT_EQ(first, List().GetAt(0));
    EXPECT_FALSE(List().GetAt(3));
    EXPECT_FALSE(List().GetAt(-1));
    EXPECT_EQ(second, List().GetWeakAt(1).lock());
    EXPECT_EQ(quiet, List().FindShared(quiet.get()));
    EXPECT_FALSE(List().FindWeak(nullptr).lock());
    EXPECT_TRUE(List().FindDungeonKeeper().expired());
    const boost::shared_ptr<CUnit> keeper = Defender("Keeper", 4, 4);
    keeper->SetHitPoints(0);
    EXPECT_EQ(keeper, List().FindDungeonKeeper().lock());  // alive or not

    // Without the level service nothing is made.
    Service<CLevel>::Unregister();
    EXPECT_FALSE(List().SpawnUnit("Guard", spots_.back(), CUnit::kDefender, false, true));
    EXPECT_FALSE(List().SpawnUnitAt("Orc", 0, CUnit::kAttacker, false, true));
    scope_.RegisterLevel(&level_);
    EXPECT_EQ(4, List().GetCount());
}

TEST_F(UnitListTest, SpawnUnitAtTheLevelsSpawnPoints) {
    ScratchFolder folder;
    ASSERT_TRUE(level_.ReadLevelFile(
        folder.Write("level.xml",
                     "<level><Grid w=\"8\" h=\"5\"/>"
                     "<Marker id=\"1\" t=\"2\" c=\"1\" r=\"1\" b=\"0\" f=\"0\" defenderId=\"1\"/>"
                     "<Marker id=\"2\" t=\"1\" c=\"6\" r=\"0\" x=\"0\" f=\"0\" attackerId=\"1\"/>"
                     "<Marker id=\"3\" t=\"1\" c=\"7\" r=\"4\" x=\"0\" f=\"0\" attackerId=\"2\"/></level>")));
    const int32_t spotId = level_.GetMarkers()[0]->GetId();
    const boost::shared_ptr<CUnit> guard = List().SpawnUnitAt("Guard", spotId, CUnit::kDefender, false, false);
    ASSERT_TRUE(guard);
    EXPECT_EQ(level_.GetCell(1, 1), guard->GetCell());
    // Attackers come in at the first entry whatever the id.
    for (const int32_t id : {spotId, 12345, -1}) {
        const boost::shared_ptr<CUnit> orc = List().SpawnUnitAt("Orc", id, CUnit::kAttacker, false, false);
        ASSERT_TRUE(orc) << id;
        EXPECT_EQ(level_.GetCell(6, 0), level_.GetCellAt(orc->GetHomePosition().x, orc->GetHomePosition().y));
    }
    EXPECT_FALSE(List().SpawnUnitAt("Guard", 12345, CUnit::kDefender, false, false));
    EXPECT_FALSE(List().SpawnUnitAt("Guard", spotId, 3, false, false));
}

TEST_F(UnitListTest, RemovalInTheStepGoesOnWithTheNextUnit) {
    const boost::shared_ptr<CUnit> sold = Defender("Guard", 0, 0);
    const boost::shared_ptr<CUnit> next = Defender("Guard", 2, 0);
    const boost::shared_ptr<CUnit> last = Attacker("Orc", 4, 0);
    level_.AddSelectedDefender(sold);
    sold->Sell();
    for (int step = 0; step < 16; ++step) List().Update(33);
    EXPECT_EQ(3, List().GetCount());
    EXPECT_EQ(2, List().Update(33));
    EXPECT_EQ(next, List().GetAt(0));
    // The unit that moved into the freed place was stepped in the same step.
    EXPECT_EQ(17 * 33, next->GetAge());
    EXPECT_EQ(17 * 33, last->GetAge());
    // The removed defender left its spot and the selection.
    EXPECT_TRUE(spots_[0]->IsFree());
    EXPECT_TRUE(level_.GetSelectedDefenders().empty());
    EXPECT_FALSE(List().RemoveAt(2));
    EXPECT_FALSE(List().RemoveAt(-1));
    EXPECT_TRUE(List().RemoveAt(1));
    EXPECT_EQ(1, List().GetCount());
}

TEST_F(UnitListTest, AWaveTooLongKillsItsAttackersAndPaysForThem) {
    BattleTestAccess::SetState(Battle(), CDunmarchGame::kRunning);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 0, 0);
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 4, 4);
    struct Step {
        int32_t waveSteps;
        int32_t state;
        int32_t living, gold;
    };
    const Step steps[] = {
        {180000, CDunmarchGame::kRunning, 1, 0},
        {180001, CDunmarchGame::kOver, 1, 0},  // an ended battle kills no one
        {180001, CDunmarchGame::kRunning, 0, 12},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.waveSteps);
        BattleTestAccess::SetWaveStepCounter(Battle(), s.waveSteps);
        BattleTestAccess::SetState(Battle(), s.state);
        List().Update(33);
        EXPECT_EQ(s.living, List().CountLivingAttackers());
        EXPECT_EQ(s.gold, Battle().GetGold());
    }
    EXPECT_TRUE(guard->IsAlive());
    // Every step, until the next wave begins.
    const boost::shared_ptr<CUnit> late = Attacker("Orc", 1, 0);
    List().Update(33);
    EXPECT_FALSE(late->IsAlive());
    EXPECT_EQ(24, Battle().GetGold());
}

TEST_F(UnitListTest, AKilledAttackerPaysAndFalls) {
    BattleTestAccess::SetState(Battle(), CDunmarchGame::kRunning);
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    const boost::shared_ptr<CUnit> archer = Defender("Archer", 1, 3);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 2, 1);
    guard->GetBrain()->SetTarget(orc);
    guard->GetBrain()->GetPath() = {level_.GetCell(2, 2), level_.GetCell(2, 1)};
    archer->GetBrain()->SetTarget(orc);
    orc->GetBrain()->SetTarget(guard);
    orc->AddEffect(Slow, 30, 1, "", 5000);
    level_.SetSelectedAttacker(orc);

    guard->Damage(orc, 1000, -1);
    EXPECT_EQ(12, Battle().GetGold());
    ASSERT_EQ(1u, Battle().GetFloatingTexts().size());
    EXPECT_EQ("12", Battle().GetFloatingTexts()[0].GetText());
    EXPECT_EQ(Color(255, 255, 255, 255), Battle().GetFloatingTexts()[0].GetColor());
    EXPECT_EQ(orc->GetPosition().x, Battle().GetFloatingTexts()[0].GetPosition().x);
    EXPECT_EQ(CUnit::kPickDeadAttacker, orc->GetModelNode()->GetPickGroup());
    EXPECT_TRUE(orc->GetMaterial()->IsBlending());
    EXPECT_EQ(CGenericBrain::kDead, orc->GetBrain()->GetState());
    EXPECT_TRUE(orc->GetBrain()->GetCurrentTarget().expired());
    EXPECT_EQ(1, orc->FindEffect(Slow)->expired);
    EXPECT_TRUE(level_.GetSelectedAttacker().expired());
    // The killer and its melee fellows give up the target and shorten their paths;
    // a ranged pursuer keeps aiming at the corpse.
    EXPECT_TRUE(guard->GetBrain()->GetCurrentTarget().expired());
    EXPECT_EQ(1u, guard->GetBrain()->GetPath().size());
    EXPECT_EQ(orc, archer->GetBrain()->GetCurrentTarget().lock());

    // Once the battle is over kills pay nothing, but still show what they were worth.
    BattleTestAccess::SetState(Battle(), CDunmarchGame::kOver);
    const boost::shared_ptr<CUnit> other = Attacker("Orc", 3, 1);
    guard->Damage(other, 1000, 0);
    EXPECT_EQ(12, Battle().GetGold());
    EXPECT_EQ(2u, Battle().GetFloatingTexts().size());
}

TEST_F(UnitListTest, AKilledDefenderStaysSelectedWhenAlone) {
    const boost::shared_ptr<CUnit> first = Defender("Guard", 1, 1);
    const boost::shared_ptr<CUnit> second = Defender("Guard", 3, 1);
    const boost::shared_ptr<CUnit> third = Defender("Guard", 5, 1);
    level_.AddSelectedDefender(first);
    level_.SetSpotHighlightMode(1);
    first->Damage(first, 1000, 0);
    EXPECT_TRUE(first->IsSelected());
    EXPECT_EQ(0, level_.GetSpotHighlightMode());
    EXPECT_EQ(CUnit::kPickDeadDefender, first->GetModelNode()->GetPickGroup());
    EXPECT_FALSE(first->GetMaterial()->IsBlending());  // only attackers turn pale

    level_.AddSelectedDefender(second);
    level_.AddSelectedDefender(third);
    second->Damage(second, 1000, 0);
    EXPECT_FALSE(second->IsSelected());
    EXPECT_EQ(2u, level_.GetSelectedDefenders().size());
}

TEST_F(UnitListTest, OrdersToEveryDefender) {
    BattleTestAccess::SetState(Battle(), CDunmarchGame::kRunning);
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    const boost::shared_ptr<CUnit> fallen = Defender("Guard", 3, 1);
    const boost::shared_ptr<CUnit> champion = Defender("Champion", 5, 1);
    const boost::shared_ptr<CUnit> keeper = Defender("Keeper", 7, 4);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 7, 0);
    guard->Upgrade(0);  // invested 150
    fallen->Damage(fallen, 1000, 0);
    struct Total {
        bool dead, keeper;
        int32_t value;
    };
    // Alive 50 %, dead 25 % of what was put in; the keeper and the hero are worth 50.
    const Total totals[] = {{false, false, 75 + 50}, {true, false, 75 + 25 + 50}, {true, true, 75 + 25 + 50 + 50}};
    for (const Total& t : totals) EXPECT_EQ(t.value, List().GetTotalSellValue(t.dead, t.keeper)) << t.dead << t.keeper;
    champion->Sell();
    EXPECT_EQ(75, List().GetTotalSellValue(false, false));
    EXPECT_EQ(1, List().CountLivingAttackers());
    EXPECT_EQ(2, List().CountLivingDefenders());  // the sold hero still stands

    guard->MoveToCell(guard->GetCell(), level_.GetCell(1, 3), false);
    guard->GetBrain()->SetState(CGenericBrain::kMove);
    guard->GetBrain()->GetPath() = {level_.GetCell(1, 2)};
    guard->AddEffect(Slow, 20, 1, "", 5000);
    guard->SetHitPoints(5);
    List().SendDefendersHome();
    EXPECT_EQ(level_.GetCell(1, 1), guard->GetCell());
    EXPECT_EQ(CGenericBrain::kIdle, guard->GetBrain()->GetState());
    EXPECT_TRUE(guard->GetBrain()->GetPath().empty());

    const size_t shownBefore = Shown(*fallen).size();
    List().HealAllDefenders();
    EXPECT_EQ(150, guard->GetHitPoints());
    EXPECT_FALSE(guard->IsSlowed());
    EXPECT_TRUE(fallen->IsAlive());
    EXPECT_EQ(shownBefore, Shown(*fallen).size());  // silent and without particles

    List().RemoveHeroes();
    EXPECT_FALSE(List().FindShared(champion.get()));
    EXPECT_EQ(4, List().GetCount());
    List().RemoveAllButDungeonKeepers();
    ASSERT_EQ(1, List().GetCount());
    EXPECT_EQ(keeper, List().GetAt(0));
}

TEST_F(UnitListTest, AnEmptyListSavesTwelveBytes) {
    PathSearchToken = 1;
    MemoryStream stream;
    EXPECT_TRUE(List().Save(stream));
    EXPECT_EQ(12, stream.GetSize());
    PathSearchToken = 0;
    std::vector<UnitSaveRecord> records;
    ASSERT_TRUE(List().Load(records, stream));
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(1, PathSearchToken);
    PathSearchToken = 0;
}
