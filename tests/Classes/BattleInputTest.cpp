// Pointer events into a battle on a small drawn level: the HUD strip, the buttons' press
// and release, the boxes, one button at a time, the speed modes and leaving a finished
// battle, with the events it posts. Without a scene, a tap that reaches the map picks
// nothing and clears the selection: that is how these tests see the map's share.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Classes/Battle/BattleEvents.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/DataStamp.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Core/FrameClock.h"
#include "Core/Service.h"
#include "IO/MemoryStream.h"
#include "LevelFixtures.h"
#include "PostedBattleEvents.h"
#include "UnitFixture.h"
#include "platform/win32/Time.h"
#include "shell/TouchEvent.h"

using namespace levelfixtures;

namespace {

// The HUD tables as the test lays them out, put back afterwards: purchase, action and
// spell buttons in a row at y 80 (the strip reaches to 80 + 64 + 32 = 176), speed buttons
// at the bottom right.
class HudLayoutScope {
public:
    HudLayoutScope() {
        std::copy(DefenderButtons, DefenderButtons + kPurchaseButtonCount, defenders_);
        std::copy(ActionButtons, ActionButtons + kActionButtonCount, actions_);
        std::copy(SpellButtons, SpellButtons + kSpellButtonCount, spells_);
        std::copy(SpeedButtons, SpeedButtons + kSpeedButtonCount, speeds_);
        for (HudButton* table : {DefenderButtons, ActionButtons, SpellButtons})
            for (int i = 0; i < 6 && (table != SpellButtons || i < 3); ++i) Place(table[i], 8 + 72 * i, 80, 64);
        for (int i = 0; i < kSpeedButtonCount; ++i) Place(SpeedButtons[i], 800 + 52 * i, 700, 48);
        DefenderButtons[0].unitId = "Guard";
    }
    ~HudLayoutScope() {
        std::copy(defenders_, defenders_ + kPurchaseButtonCount, DefenderButtons);
        std::copy(actions_, actions_ + kActionButtonCount, ActionButtons);
        std::copy(spells_, spells_ + kSpellButtonCount, SpellButtons);
        std::copy(speeds_, speeds_ + kSpeedButtonCount, SpeedButtons);
    }

private:
    static void Place(HudButton& button, int32_t x, int32_t y, int32_t size) {
        button.x = x;
        button.y = y;
        button.tw = button.th = size;
        button.pressed = button.highlight = 0;
    }
    HudButton defenders_[kPurchaseButtonCount], actions_[kActionButtonCount], spells_[kSpellButtonCount],
        speeds_[kSpeedButtonCount];
};

class BattleInputTest : public UnitFixture {
protected:
    BattleInputTest() : recorder_(new CInputMonitor) {
        BattleTestAccess::SetLevel(Battle(), &level_);
        BattleTestAccess::SetRecorder(Battle(), recorder_);
        BattleTestAccess::SetState(Battle(), CDunmarchGame::kRunning);
        BattleTestAccess::SetGold(Battle(), 1000);
        spot_ = boost::shared_ptr<CSpawnPoint>(new CSpawnPoint(&level_, 0, 77, 3 * 500 + 250, 2 * 500 + 250, 0,
                                                               CSpawnPoint::kDefenderSlot, 0));
    }
    ~BattleInputTest() override { BattleTestAccess::SetLevel(Battle(), nullptr); }
    CDunmarchGame& Battle() { return scope_.Battle(); }

    // An event at the screen point (x, y) of the 1024 x 768 screen.
    void Event(int32_t phase, float x, float y, int32_t button = kTouchLeft) {
        TouchEvent event = {};
        event.position = Vector2(x / 1024.0f, y / 768.0f);
        event.phase = phase;
        event.button = button;
        Battle().OnPointerInput(event, demo_);
    }
    void Tap(float x, float y, int32_t button = kTouchLeft) {
        Event(kTouchPress, x, y, button);
        Event(kTouchRelease, x, y, button);
    }
    static float CentreX(const HudButton& b) { return static_cast<float>(b.x + b.tw / 2); }
    static float CentreY(const HudButton& b) { return static_cast<float>(b.y + b.th / 2); }
    bool SpotSelected() { return level_.GetSelectedSpot().lock() == spot_; }

    HudLayoutScope layout_;
    PostedBattleEvents sink_;
    boost::shared_ptr<CInputMonitor> recorder_;
    boost::shared_ptr<CSpawnPoint> spot_;
    bool demo_ = false;
};

TEST_F(BattleInputTest, WhereALeftPressGoes) {
    struct Case {
        const char* what;
        float x, y;
        bool reachesMap;
    };
    const Case cases[] = {
        {"empty HUD strip", 700.0f, 100.0f, false},
        {"strip's lowest line", 700.0f, 175.0f, false},
        {"below the strip", 700.0f, 176.0f, true},
        {"unavailable purchase button edge", 8.0f + 72.0f * 5.0f, 80.0f, false},
        {"speed button", CentreX(SpeedButtons[3]), CentreY(SpeedButtons[3]), false},
    };
    for (const Case& c : cases) {
        level_.SelectSpot(spot_);
        Tap(c.x, c.y);
        EXPECT_EQ(c.reachesMap, !SpotSelected()) << c.what;
    }
    EXPECT_EQ(std::vector<std::string>{"EvInGameMenuPressed"}, sink_.posted);
}

TEST_F(BattleInputTest, ABoughtDefenderNeedsPressAndReleaseOnOneButton) {
    level_.SelectSpot(spot_);
    EXPECT_EQ(1000, DefenderButtons[0].highlight);  // the purchase buttons flash
    EXPECT_EQ(0, ActionButtons[0].highlight);
    // Released over another button: nothing bought, and the press is over.
    Event(kTouchPress, CentreX(DefenderButtons[0]), CentreY(DefenderButtons[0]));
    EXPECT_EQ(1, DefenderButtons[0].pressed);
    Event(kTouchRelease, CentreX(DefenderButtons[1]), CentreY(DefenderButtons[1]));
    EXPECT_EQ(0, DefenderButtons[0].pressed);
    EXPECT_EQ(0, level_.GetUnitList().GetCount());

    Tap(CentreX(DefenderButtons[0]), CentreY(DefenderButtons[0]));
    ASSERT_EQ(1, level_.GetUnitList().GetCount());
    EXPECT_EQ(900, Battle().GetGold());
    EXPECT_FALSE(Battle().HasSelectedSpot());
    ASSERT_TRUE(Battle().HasSelectedDefenders());
    EXPECT_EQ(1000, ActionButtons[5].highlight);
    ASSERT_EQ(1u, recorder_->GetRecords().size());
    EXPECT_EQ(0, recorder_->GetRecords()[0].type);
    EXPECT_EQ(77, recorder_->GetRecords()[0].x);
    EXPECT_EQ(0, recorder_->GetRecords()[0].y);

    // The sell button acts on the new defender.
    Tap(CentreX(ActionButtons[5]), CentreY(ActionButtons[5]));
    EXPECT_TRUE(level_.GetUnitList().GetAt(0)->IsSold());
    EXPECT_EQ(2u, recorder_->GetRecords().size());
}

TEST_F(BattleInputTest, TheSummaryTakesTheFirstPressAndRecordsIt) {
    level_.SelectSpot(spot_);
    BattleTestAccess::SetSummaryShown(Battle(), 1);
    Tap(500.0f, 500.0f);
    EXPECT_FALSE(Battle().IsSummaryShown());
    EXPECT_TRUE(SpotSelected());
    ASSERT_EQ(1u, recorder_->GetRecords().size());
    EXPECT_EQ(10, recorder_->GetRecords()[0].type);
    Tap(500.0f, 500.0f);
    EXPECT_FALSE(SpotSelected());
}

TEST_F(BattleInputTest, PlaybackLeavesTheSpeedButtonsAndLiveInputOnlyMovesTheCamera) {
    BattleTestAccess::SetDemoPlayback(Battle(), 1);
    level_.SelectSpot(spot_);
    Tap(CentreX(SpeedButtons[0]), CentreY(SpeedButtons[0]));
    EXPECT_EQ(1, Battle().GetSpeedMode());
    EXPECT_FALSE(SpotSelected());  // passed on to the map

    // With the demo driving, a live click reaches neither the HUD nor the map.
    demo_ = true;
    level_.SelectSpot(spot_);
    Tap(500.0f, 500.0f);
    EXPECT_TRUE(SpotSelected());
}

TEST_F(BattleInputTest, OneButtonAtATimeAndRepeatedPressesDropped) {
    level_.SelectSpot(spot_);
    Event(kTouchPress, 500.0f, 500.0f, kTouchRight);
    Tap(500.0f, 500.0f);  // blocked by the right button
    EXPECT_TRUE(SpotSelected());
    Event(kTouchRelease, 500.0f, 500.0f, kTouchRight);
    Event(kTouchPress, CentreX(DefenderButtons[0]), CentreY(DefenderButtons[0]));
    // A second press without a release is dropped; a drag whose press was lost is one.
    Event(kTouchPress, 500.0f, 500.0f);
    EXPECT_TRUE(SpotSelected());
    Event(kTouchRelease, CentreX(DefenderButtons[0]), CentreY(DefenderButtons[0]));
    EXPECT_EQ(1, level_.GetUnitList().GetCount());
    level_.SelectSpot(spot_);
    Event(kTouchDrag, 500.0f, 500.0f);
    EXPECT_FALSE(SpotSelected());
}

TEST_F(BattleInputTest, SpeedButtonsAndPauseWhilePaused) {
    platform::ScopedFakeClock clock(1000);
    ResetFrameClock();
    Tap(CentreX(SpeedButtons[0]), CentreY(SpeedButtons[0]));
    EXPECT_EQ(0, Battle().GetSpeedMode());
    EXPECT_EQ(1801000, Battle().GetPauseTimeout());
    EXPECT_EQ((std::vector<int32_t>{1, 0, 0, 0}), (std::vector<int32_t>{SpeedButtons[0].pressed, SpeedButtons[1].pressed,
                                                                       SpeedButtons[2].pressed, SpeedButtons[3].pressed}));
    clock.Advance(500);
    TickFrameClock();
    Battle().TickPauseTimeout();
    Tap(CentreX(SpeedButtons[0]), CentreY(SpeedButtons[0]));
    EXPECT_EQ(1800500, Battle().GetPauseTimeout());  // still running down
    Battle().CycleSpeed();
    EXPECT_EQ(1, Battle().GetSpeedMode());
    Tap(CentreX(SpeedButtons[2]), CentreY(SpeedButtons[2]));
    EXPECT_EQ(2, Battle().GetSpeedMode());
    EXPECT_EQ(1, SpeedButtons[2].pressed);
    Battle().CycleSpeed();
    EXPECT_EQ(0, Battle().GetSpeedMode());
    Battle().ReapplySpeedMode();
    EXPECT_EQ(0, Battle().GetSpeedMode());
    // Not with the summary up.
    BattleTestAccess::SetSummaryShown(Battle(), 1);
    Battle().CycleSpeed();
    EXPECT_EQ(0, Battle().GetSpeedMode());
}

TEST_F(BattleInputTest, AFinishedBattleIsLeftByAClickAfterItsDelay) {
    struct Case {
        int32_t restored;
        uint64_t dataChecksum;
        const char* event;
    };
    for (const Case& c : {Case{0, ShippedDataChecksum, "EvGameOver"}, Case{1, ShippedDataChecksum, "EvBackPressed"},
                          Case{0, ShippedDataChecksum ^ 1, "EvBackPressed"}}) {
        sink_.posted.clear();
        BattleTestAccess::SetState(Battle(), CDunmarchGame::kOver);
        BattleTestAccess::SetRestored(Battle(), c.restored);
        // The recorder's stamp: the shipped data's checksum, or another (modified data).
        MemoryStream stamp;
        stamp.WriteUInt64(0);
        stamp.WriteUInt64(c.dataChecksum);
        stamp.WriteInt32(0);
        recorder_->GetStamp().Read(stamp);
        BattleTestAccess::SetEndDelay(Battle(), 100);
        Tap(500.0f, 500.0f);
        EXPECT_TRUE(sink_.posted.empty());
        BattleTestAccess::SetEndDelay(Battle(), 0);
        Event(kTouchPress, 500.0f, 500.0f);
        EXPECT_TRUE(sink_.posted.empty());
        Event(kTouchRelease, 500.0f, 500.0f);
        EXPECT_EQ(std::vector<std::string>{c.event}, sink_.posted);
    }
}

TEST_F(BattleInputTest, SelectButtonActsWithoutPressState) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 5, 3);
    Battle().SelectButton(1, 0);  // nothing selected
    Battle().SelectButton(12, 0);
    EXPECT_TRUE(recorder_->GetRecords().empty());
    level_.SelectDefender(guard);
    Battle().SelectButton(6, 0);
    EXPECT_TRUE(guard->IsSold());
    EXPECT_EQ(0, ActionButtons[5].pressed);
    level_.ClearSelection();
    level_.SelectSpot(spot_);
    Battle().SelectButton(0, 0);
    EXPECT_EQ(2u, recorder_->GetRecords().size());
    (void)orc;
}

}  // namespace
