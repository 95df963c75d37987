// Keys and the game's events around a battle on the sample map: the number keys press
// the button group the HUD offers, Space cycles the speed, Esc opens the in-game menu,
// and the in-game window leaves the key-up list with its destruction. A purchase button
// needs the defender's availability wave.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Classes/Battle/BattleEvents.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/GameWindow.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Classes/LevelFixtures.h"
#include "Classes/PostedBattleEvents.h"
#include "Core/Service.h"
#include "GameFixture.h"
#include "shell/KeyHandlers.h"
#include "tools/catalogue/GameData.h"
#include "tools/catalogue/Level.h"

namespace {

namespace gd = catalogue::gamedata;
namespace cl = catalogue::level;

const int32_t kSpace = 57, kEscape = 56;

class BattleKeysTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        game_->RunInitialize();
        // Every data file read first, so the data stamp raises no warning that would hold the speed keys.
        RunLoading();
        window_ = game_->GetGameWindow();
        ASSERT_NE(nullptr, window_);
        SelectedMapIndex = 0;
        ASSERT_EQ(1, window_->StartGame(0));
        battle_ = window_->GetBattle().get();
        battle_->Update(33, false, true);  // the keeper comes
        sink_.reset(new PostedBattleEvents(&gamefixture::Forward));
    }
    void TearDown() override {
        sink_.reset();
        GameTest::TearDown();
    }
    CLevel& Level() { return *battle_->GetLevel(); }
    boost::shared_ptr<CSpawnPoint> Spot(int index) {
        return Level().FindSpawnPoint(CSpawnPoint::kDefenderSlot, cl::kDefenderSpots[index].defenderId).lock();
    }
    size_t Records() const { return battle_->GetInputMonitor()->GetRecords().size(); }

    Morvane::GameWindow* window_ = nullptr;
    CDunmarchGame* battle_ = nullptr;
    std::unique_ptr<PostedBattleEvents> sink_;
};

TEST_F(BattleKeysTest, NumberKeysPressTheOfferedGroup) {
    const boost::shared_ptr<CSpawnPoint> spot = Spot(0);
    ASSERT_TRUE(spot);
    Level().SelectSpot(spot);
    // Key 4 buys the fourth purchase button's defender, a necromancer, available from the
    // third wave (index 2) on.
    ASSERT_EQ(gd::kNecromancer, std::string(gd::kPurchasableDefenders[3]));
    BattleTestAccess::SetGold(*battle_, 1000);
    BattleTestAccess::SetWaveIndex(*battle_, 1);
    EXPECT_EQ(0, battle_->CanBuy(gd::kNecromancer, spot, nullptr));
    KeyUpListeners.Fire(4);
    EXPECT_EQ(0u, Records());
    BattleTestAccess::SetWaveIndex(*battle_, 2);
    KeyUpListeners.Fire(4);
    ASSERT_EQ(1u, Records());
    const DemoInput& bought = battle_->GetInputMonitor()->GetRecords()[0];
    EXPECT_EQ(0, bought.type);
    EXPECT_EQ(spot->GetId(), bought.x);
    EXPECT_EQ(3, bought.y);
    const boost::shared_ptr<CUnit> necromancer = spot->GetOccupant().lock();
    ASSERT_TRUE(necromancer);
    EXPECT_EQ(gd::kNecromancer, necromancer->GetDefinitionName());

    // Now the action buttons: key 6 sells it.
    ASSERT_TRUE(battle_->HasSelectedDefenders());
    KeyUpListeners.Fire(6);
    EXPECT_TRUE(necromancer->IsSold());

    // Only an attacker selected: key 4 is no spell.
    const boost::shared_ptr<CUnit> orc =
        Level().GetUnitList().SpawnUnitAt(gd::kOrcWarrior, 0, CUnit::kAttacker, false, true);
    ASSERT_TRUE(orc);
    Level().ClearSelection();
    Level().SelectAttacker(orc);
    const size_t before = Records();
    KeyUpListeners.Fire(4);
    EXPECT_EQ(before, Records());
    KeyUpListeners.Fire(3);  // lightning
    EXPECT_EQ(before + 1, Records());
}

TEST_F(BattleKeysTest, SpaceCyclesAndEscOpensTheMenu) {
    ASSERT_EQ(1, BattleActive);
    KeyUpListeners.Fire(kSpace);
    EXPECT_EQ(2, battle_->GetSpeedMode());
    KeyUpListeners.Fire(kEscape);
    EXPECT_EQ(std::vector<std::string>{"EvInGameMenuPressed"}, sink_->posted);
    EXPECT_EQ(0, BattleActive);
    // With the menu open the battle hears no key.
    KeyUpListeners.Fire(kSpace);
    EXPECT_EQ(2, battle_->GetSpeedMode());
    // Losing the focus pauses the battle.
    BattleActive = 1;
    game_->OnEvent(2);
    EXPECT_EQ(0, battle_->GetSpeedMode());
}

TEST_F(BattleKeysTest, NoKeyReachesADestroyedWindow) {
    const size_t listeners = KeyUpListeners.Count();
    {
        Morvane::GameWindow other;
        EXPECT_EQ(listeners + 1, KeyUpListeners.Count());
    }
    EXPECT_EQ(listeners, KeyUpListeners.Count());
    KeyUpListeners.Fire(kSpace);  // under ASan: no call into the destroyed window
    EXPECT_EQ(2, battle_->GetSpeedMode());
}

}  // namespace
