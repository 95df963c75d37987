// Units on the sample level: the keeper and one of each defender the player can buy,
// upgraded, hidden, killed and sold, written as the unit list's savegame section and
// made again on a fresh level from the records, as a continued battle makes them.
#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/UnitSaveRecord.h"
#include "IO/MemoryStream.h"
#include "LevelFixtures.h"
#include "tools/catalogue/GameData.h"
#include "tools/catalogue/Level.h"

using namespace levelfixtures;
namespace cl = catalogue::level;
namespace gd = catalogue::gamedata;

namespace {

class LevelSampleUnitsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data_.Read());
        scope_.reset(new BattleScope(gd::kMapName));
    }
    void TearDown() override { scope_.reset(); }

    SampleData data_;
    std::unique_ptr<BattleScope> scope_;
};

}  // namespace

TEST_F(LevelSampleUnitsTest, UnitsComeBackFromTheirRecords) {
    CLevel level(gd::kMapName);
    MemoryStream stream;
    std::vector<boost::shared_ptr<CUnit>> saved;
    {
        const LevelInService service(level);
        ASSERT_EQ(1, level.SpawnKeeper());
        UnitList& units = level.GetUnitList();
        for (size_t i = 0; i < std::size(gd::kPurchasableDefenders); ++i) {
            const boost::weak_ptr<CSpawnPoint> spot =
                level.FindSpawnPoint(CSpawnPoint::kDefenderSlot, cl::kDefenderSpots[i].defenderId);
            ASSERT_TRUE(units.SpawnUnit(gd::kPurchasableDefenders[i], spot, CUnit::kDefender, true, true));
        }
        const boost::shared_ptr<CUnit> orc = units.SpawnUnitAt(gd::kOrcWarrior, -1, CUnit::kAttacker, true, true);
        ASSERT_TRUE(orc);
        const boost::shared_ptr<CUnit> keeper = units.FindDungeonKeeper().lock();
        ASSERT_TRUE(keeper);
        // Swordman, Archer, Priest, Necromancer, Heavy Warrior, Mage after the keeper.
        const UnitList::Units& all = units.GetUnits();
        keeper->Upgrade(1);
        all[1]->Upgrade(0);
        all[1]->Upgrade(0);
        all[2]->Upgrade(1);
        all[3]->ToggleHide();
        units.Update(33);  // the priest hides
        all[5]->Damage(all[5], 10000, 0);
        all[1]->Damage(orc, 10000, -1);
        all[6]->Sell();
        units.Update(33);
        all[4]->ToggleHide();  // the necromancer's order waits for the next step
        ASSERT_TRUE(all[3]->IsHidden());
        ASSERT_TRUE(all[4]->IsHideRequested());
        EXPECT_TRUE(units.Save(stream));
        saved = all;
    }

    // A fresh level of the map, as a continued battle builds it.
    CLevel fresh(gd::kMapName);
    const LevelInService service(fresh);
    std::vector<UnitSaveRecord> records;
    ASSERT_TRUE(fresh.GetUnitList().Load(records, stream));
    ASSERT_EQ(saved.size(), records.size());
    for (const UnitSaveRecord& record : records) {
        const int32_t spot = record.side == CUnit::kDefender ? record.homeSpawnPointId : -1;
        const boost::shared_ptr<CUnit> unit =
            fresh.GetUnitList().SpawnUnitAt(record.name, spot, record.side, false, false);
        ASSERT_TRUE(unit) << record.name;
        unit->Restore(record);
    }
    EXPECT_EQ(level.GetUnitList().GetNextId(), fresh.GetUnitList().GetNextId());
    for (size_t i = 0; i < saved.size(); ++i) {
        const CUnit& before = *saved[i];
        const CUnit& after = *fresh.GetUnitList().GetAt(static_cast<int32_t>(i));
        SCOPED_TRACE(before.GetDefinitionName());
        EXPECT_EQ(before.GetDefinitionName(), after.GetDefinitionName());
        EXPECT_EQ(before.GetSide(), after.GetSide());
        EXPECT_EQ(before.GetId(), after.GetId());
        EXPECT_EQ(before.GetHitPoints(), after.GetHitPoints());
        EXPECT_EQ(before.GetMaxHitPoints(false), after.GetMaxHitPoints(false));  // the spot's boost too
        EXPECT_EQ(before.GetUpgradeLevel(0), after.GetUpgradeLevel(0));
        EXPECT_EQ(before.GetUpgradeLevel(1), after.GetUpgradeLevel(1));
        EXPECT_EQ(before.GetWeapon(), after.GetWeapon());
        EXPECT_EQ(before.GetInvested(), after.GetInvested());
        EXPECT_EQ(before.IsHidden(), after.IsHidden());
        EXPECT_EQ(before.IsHideRequested(), after.IsHideRequested());
        EXPECT_EQ(before.IsSold(), after.IsSold());
        EXPECT_EQ(before.GetFadeTimer(), after.GetFadeTimer());
        EXPECT_EQ(before.IsDying(), after.IsDying());
        EXPECT_EQ(before.GetPosition().x, after.GetPosition().x);
        EXPECT_EQ(before.GetPosition().y, after.GetPosition().y);
        EXPECT_EQ(before.GetDirection(), after.GetDirection());
        EXPECT_EQ(before.GetHomePosition().x, after.GetHomePosition().x);
        EXPECT_EQ(before.GetHomePosition().y, after.GetHomePosition().y);
        EXPECT_EQ(before.GetEffects().size(), after.GetEffects().size());
    }
}
