// The battle's fixed step on the sample map: the start, the wave cycle with its gold and
// summary, victory and defeat, pausing, the debug operations; and the set-up pieces it
// stands on (level, wave runners, camera geometry, the HUD's layout file).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Classes/Battle/BattleMessageBoxes.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CLevelNode.h"
#include "Classes/Level/CLevelObject.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Core/FrameClock.h"
#include "Core/Language.h"
#include "IO/MemoryStream.h"
#include "LevelFixtures.h"
#include "SceneGraph/Group.h"
#include "platform/win32/Time.h"
#include "tools/catalogue/GameData.h"

using namespace levelfixtures;
namespace gd = catalogue::gamedata;

namespace {

// Records what the battle asks of its boxes.
class RecordingBoxes : public BattleMessageBoxes {
public:
    bool ShowSummary() override {
        ++summaries;
        return true;
    }
    void SetSummaryAttackText(const std::wstring& text) override { attack = text; }
    void SetSummaryInfoText(const std::wstring& text) override { info = text; }
    bool ShowWarning(const std::wstring& text) override {
        warning = text;
        return true;
    }
    void Close() override { ++closed; }

    int summaries = 0, closed = 0;
    std::wstring attack, info, warning;
};

// The sample map's battle with its level, and two waves of its own that send nothing:
// wave gold 100 and 0, bonus 10 percent, survival 50 and 0 percent.
class BattleStepTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data_.Read());
        Service<BattleMessageBoxes>::Register(&boxes_);
        scope_.reset(new BattleScope(gd::kMapName));
        ASSERT_EQ(1, Battle().LoadLevel(gd::kMapName));
        ASSERT_EQ(1, Battle().CreateWaveRunners(gd::kMapName));
        EXPECT_FALSE(Battle().GetWaveRunners().empty());
        BattleTestAccess::WaveRunners(Battle()) = {WaveRunner(1, 100, 10, 50, {}), WaveRunner(2, 0, 10, 0, {})};
    }
    void TearDown() override {
        // As the in-game window ends a battle: stopped while it is still the service.
        if (scope_) Battle().Stop();
        scope_.reset();
        Service<BattleMessageBoxes>::Unregister();
    }

    CDunmarchGame& Battle() { return scope_->Battle(); }
    UnitList& Units() { return Battle().GetLevel()->GetUnitList(); }
    void Step(int count = 1, bool last = true) {
        for (int i = 0; i < count; ++i) Battle().Update(33, false, last);
    }
    // A swordman on the first free defender spot.
    boost::shared_ptr<CUnit> Buy() {
        for (const boost::weak_ptr<CSpawnPoint>& spot : Battle().GetLevel()->GetSpawnPoints(CSpawnPoint::kDefenderSlot))
            if (spot.lock()->IsFree()) return Units().SpawnUnit(gd::kSwordman, spot, CUnit::kDefender, false, true);
        return boost::shared_ptr<CUnit>();
    }

    SampleData data_;
    RecordingBoxes boxes_;
    std::unique_ptr<BattleScope> scope_;
};

}  // namespace

TEST_F(BattleStepTest, TheFirstWaveBeginsAfterASecondAndPaysAtItsEnd) {
    Step();  // the starting step: the keeper comes
    EXPECT_TRUE(Battle().IsRunning());
    ASSERT_FALSE(Units().FindDungeonKeeper().expired());
    EXPECT_TRUE(boxes_.warning.empty());
    Step(30);
    EXPECT_EQ(10, Battle().GetWaveStartDelay());
    Step();  // step counter 31: 1000 ms of running battle
    EXPECT_EQ(0, Battle().GetWaveStartDelay());
    EXPECT_EQ(1, Battle().GetWaveStepCounter());

    // 250 gold, a living and a dead swordman (worth 60 and 30), the keeper left out.
    const boost::shared_ptr<CUnit> living = Buy();
    const boost::shared_ptr<CUnit> dead = Buy();
    ASSERT_TRUE(living && dead);
    dead->Damage(dead, dead->GetHitPoints(), 0);
    BattleTestAccess::SetGold(Battle(), 250);
    Battle().UpdateScore();
    EXPECT_EQ(340, Battle().GetScore());
    Step();  // nothing to send, no attacker: the wave is over
    EXPECT_EQ(100, Battle().GetWaveGold());
    EXPECT_EQ(25, Battle().GetBonusGold());
    EXPECT_EQ(30, Battle().GetSurvivalGold());  // the living only
    EXPECT_EQ(405, Battle().GetGold());
    EXPECT_TRUE(dead->IsAlive());  // healed for the next wave
    EXPECT_EQ(1, Battle().GetWaveIndex());
    EXPECT_EQ(1000, Battle().GetWaveStartDelay());
    ASSERT_TRUE(Battle().IsSummaryShown());
    EXPECT_EQ(1, boxes_.summaries);
    EXPECT_EQ(GetLocalizedText("TextAttack") + L"  1", boxes_.attack);
    EXPECT_EQ(GetLocalizedText("TextAttack"), boxes_.info);

    // The summary's 30 s run on the frame's last sub-step only.
    Step(10, false);
    EXPECT_EQ(30000, Battle().GetSummaryTimeout());
    Step(910);
    EXPECT_EQ(-30, Battle().GetSummaryTimeout());
    EXPECT_TRUE(Battle().IsSummaryShown());
    Step();
    EXPECT_FALSE(Battle().IsSummaryShown());
    EXPECT_EQ(1, boxes_.closed);

    // Gold 5 brings no bonus.
    BattleTestAccess::SetGold(Battle(), 5);
    Battle().EndWave(1);
    EXPECT_EQ(0, Battle().GetBonusGold());
}

TEST_F(BattleStepTest, VictoryNamesTheLastWaveAndDefeatComesFirst) {
    Step(1 + 31 + 1);  // the first wave over
    ASSERT_EQ(1, Battle().GetWaveIndex());
    Battle().CloseSummary(0);
    Step(31);
    EXPECT_TRUE(Battle().IsRunning());
    Step();  // the second wave over: victory
    EXPECT_TRUE(Battle().IsOver());
    EXPECT_EQ(CDunmarchGame::kVictory, Battle().GetResult());
    EXPECT_EQ(1, Battle().GetWaveIndex());  // the last wave played
    EXPECT_EQ(1, boxes_.summaries);         // none after the last wave
    EXPECT_EQ(3000, Battle().GetEndDelay());
    Step(1, false);
    EXPECT_EQ(3000, Battle().GetEndDelay());
    Step();
    EXPECT_EQ(2967, Battle().GetEndDelay());

    // The keeper dying in the step the last wave ends (the wave's end heals the defenders
    // first; a strike still in flight kills it after): defeat, the wave index as it is.
    Battle().Stop();
    scope_.reset();
    scope_.reset(new BattleScope(gd::kMapName));
    ASSERT_EQ(1, Battle().LoadLevel(gd::kMapName));
    BattleTestAccess::WaveRunners(Battle()) = {WaveRunner(1, 100, 10, 50, {})};
    Step(1 + 31);
    const boost::shared_ptr<CUnit> keeper = Units().FindDungeonKeeper().lock();
    const boost::shared_ptr<CUnit> orc = Units().SpawnUnitAt(gd::kOrcWarrior, -1, CUnit::kAttacker, false, true);
    ASSERT_TRUE(keeper && orc);
    orc->AddEffect(Boost, 1000000, 0, "", 0);
    ASSERT_TRUE(Battle().GetLevel()->CreateMissile(orc, keeper, keeper->GetWeapon(), -1));
    orc->Damage(orc, orc->GetHitPoints(), 0);
    Step();
    EXPECT_FALSE(keeper->IsAlive());
    EXPECT_EQ(CDunmarchGame::kDefeat, Battle().GetResult());
    EXPECT_EQ(1, Battle().GetWaveIndex());
}

TEST_F(BattleStepTest, WithoutWavesTheFirstRunningStepDecides) {
    BattleTestAccess::WaveRunners(Battle()).clear();
    Step();
    EXPECT_TRUE(Battle().IsRunning());
    Step();
    EXPECT_EQ(CDunmarchGame::kVictory, Battle().GetResult());

    // No keeper: defeat.
    Battle().Stop();
    scope_.reset();
    scope_.reset(new BattleScope(gd::kMapName));
    ASSERT_EQ(1, Battle().LoadLevel(gd::kMapName));
    Step();
    const boost::shared_ptr<CUnit> keeper = Units().FindDungeonKeeper().lock();
    keeper->Damage(keeper, keeper->GetHitPoints(), 0);
    Step();
    EXPECT_EQ(CDunmarchGame::kDefeat, Battle().GetResult());

    // No level: nothing happens.
    CDunmarchGame empty(gd::kMapName);
    empty.Update(33, false, true);
    EXPECT_EQ(0u, empty.GetStepCounter());
    EXPECT_EQ(0, empty.LoadLevel("no such map"));
    EXPECT_EQ(0, empty.LoadLevel(""));
    EXPECT_EQ(0, empty.CreateWaveRunners("no such map"));
}

// A map without waves won and saved holds the wave index -1: the section loads. An
// index outside -1 .. the runner count does not.
TEST_F(BattleStepTest, AVictoryWithoutWavesIsSavedAndLoaded) {
    BattleTestAccess::WaveRunners(Battle()).clear();
    Step(2);
    ASSERT_EQ(CDunmarchGame::kVictory, Battle().GetResult());
    ASSERT_EQ(-1, Battle().GetWaveIndex());
    MemoryStream saved;
    ASSERT_EQ(1, Battle().Save(saved));
    int length = 0;
    const char* bytes = saved.GetBuffer(length);
    const std::string section(bytes, static_cast<size_t>(length));
    const size_t waveIndexAt = 4 + std::strlen(gd::kMapName) + 6 * 4;
    Battle().Stop();
    scope_.reset();

    for (const int32_t index : {-1, -2, 1}) {
        scope_.reset(new BattleScope(gd::kMapName));
        ASSERT_EQ(1, Battle().LoadLevel(gd::kMapName));
        std::string changed = section;
        std::memcpy(&changed[waveIndexAt], &index, sizeof index);
        MemoryStream stream;
        stream.Write(changed.data(), static_cast<int>(changed.size()));
        EXPECT_EQ(index == -1 ? 1 : 0, Battle().Load(stream)) << index;
        if (index == -1) {
            EXPECT_TRUE(Battle().IsOver());
            EXPECT_EQ(CDunmarchGame::kVictory, Battle().GetResult());
            EXPECT_EQ(-1, Battle().GetWaveIndex());
            EXPECT_EQ(1, Battle().GetLoadCount());
        }
        Battle().Stop();
        scope_.reset();
    }
}

TEST_F(BattleStepTest, PausesWarningsAndThePauseTimeOut) {
    BattleTestAccess::SetWarningPending(Battle(), 1);
    Step();
    EXPECT_EQ(GetLocalizedText("TextGameMod") + L"\n\n" + GetLocalizedText("TextClickContinue"), boxes_.warning);
    // The warning holds the battle: neither time nor counters advance.
    Step(5);
    EXPECT_EQ(1u, Battle().GetStepCounter());
    EXPECT_EQ(33, Battle().GetElapsedTime());
    BattleTestAccess::SetWarningPending(Battle(), 0);
    Battle().Update(33, true, true);  // paused
    EXPECT_EQ(1u, Battle().GetStepCounter());
    Step();
    EXPECT_EQ(2u, Battle().GetStepCounter());

    Battle().Pause();
    EXPECT_EQ(0, Battle().GetSpeedMode());
    EXPECT_EQ(1, SpeedButtons[0].pressed);
    EXPECT_EQ(0, SpeedButtons[1].pressed);
    platform::ScopedFakeClock clock(1000);
    ResetFrameClock();
    clock.Advance(1800000);
    TickFrameClock();
    Battle().TickPauseTimeout();
    EXPECT_EQ(0, Battle().GetSpeedMode());
    EXPECT_EQ(1000, Battle().GetPauseTimeout());
    clock.Advance(1000);
    TickFrameClock();
    Battle().TickPauseTimeout();
    EXPECT_EQ(1, Battle().GetSpeedMode());
    EXPECT_EQ(1, SpeedButtons[1].pressed);
    Battle().PlayDouble();
    Battle().TickPauseTimeout();  // counts only while paused
    EXPECT_EQ(2, Battle().GetSpeedMode());
}

// A replay notes the tick count of its first step, and keeps it; without a player, or
// on a paused step, nothing is noted.
TEST_F(BattleStepTest, AReplayNotesTheTickCountOfItsFirstStep) {
    platform::ScopedFakeClock clock(5000);
    BattleTestAccess::SetDemoPlayback(Battle(), 1);
    Step();
    EXPECT_EQ(0u, Battle().GetDemoStartTime());

    boost::shared_ptr<CInputMonitor> demo(new CInputMonitor());
    demo->SetResult(2, 0);
    BattleTestAccess::SetPlayer(Battle(), demo);
    BattleTestAccess::SetStepCounter(Battle(), 0);
    Battle().Update(33, true, true);
    EXPECT_EQ(0u, Battle().GetDemoStartTime());
    Step();
    EXPECT_EQ(5000u, Battle().GetDemoStartTime());
    clock.Advance(1000);
    Step(3);  // through the last frame and past it
    EXPECT_EQ(5000u, Battle().GetDemoStartTime());
    EXPECT_EQ(4u, Battle().GetStepCounter());
}

// The debug operations nothing calls: the living attackers and the recording printed, a
// demo saved once into the current folder (not while one plays), and each switch flipped
// alone, the occupancy layer hiding the scenery while it is on.
TEST_F(BattleStepTest, DebugOperationsPrintSaveAndToggle) {
    Step();
    std::vector<boost::shared_ptr<CUnit>> orcs;
    for (int i = 0; i < 3; ++i) orcs.push_back(Units().SpawnUnitAt(gd::kOrcWarrior, -1, CUnit::kAttacker, false, true));
    ASSERT_TRUE(orcs[0] && orcs[1] && orcs[2]);
    orcs[1]->Damage(orcs[1], orcs[1]->GetHitPoints(), 0);
    testing::internal::CaptureStdout();
    Battle().PrintAttackers();
    EXPECT_EQ("--------------------\n" + std::to_string(orcs[0]->GetId()) + " " + std::to_string(orcs[2]->GetId()) +
                  " \n--------------------\n",
              testing::internal::GetCapturedStdout());

    boost::shared_ptr<CInputMonitor> recorder(new CInputMonitor(gd::kMapName));
    recorder->Add(DemoInput(7, 10, -1, -1));
    BattleTestAccess::SetRecorder(Battle(), recorder);
    testing::internal::CaptureStdout();
    Battle().DumpInputs();
    EXPECT_EQ("===== INPUT =====\n       7 10   -1   -1\n=================\n", testing::internal::GetCapturedStdout());

    ScratchFolder folder;
    const std::filesystem::path game = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    testing::internal::CaptureStdout();
    BattleTestAccess::SetDemoPlayback(Battle(), 1);
    Battle().SaveDemoOnce();
    BattleTestAccess::SetDemoPlayback(Battle(), 0);
    Battle().SaveDemoOnce();
    Battle().SaveDemoOnce();
    const std::string printed = testing::internal::GetCapturedStdout();
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        files.push_back(entry.path().filename().string());
    std::filesystem::current_path(game);
    ASSERT_EQ(1u, files.size());
    EXPECT_NE(std::string::npos, files[0].find(std::string(" - ") + gd::kMapName + " (0).dem"));
    EXPECT_EQ(0u, printed.find("Demo saved to " + files[0]));
    EXPECT_EQ(std::string::npos, printed.find("Demo saved", 1));

    CLevelObject* scenery = nullptr;
    for (int32_t row = 0; row < static_cast<int32_t>(Battle().GetLevel()->GetHeight()) && !scenery; ++row)
        for (int32_t column = 0; column < static_cast<int32_t>(Battle().GetLevel()->GetWidth()) && !scenery; ++column)
            scenery = Battle().GetLevel()->GetCell(column, row)->GetObject();
    ASSERT_NE(nullptr, scenery);
    if (!scenery->GetNode()) scenery->SetNode(boost::shared_ptr<sg::Node>(new sg::Group("ObjectNode")));
    using Switch = int32_t BattleDebugSwitches::*;
    const Switch all[] = {&BattleDebugSwitches::text,      &BattleDebugSwitches::viewPoints,
                          &BattleDebugSwitches::axes,      &BattleDebugSwitches::gridMode,
                          &BattleDebugSwitches::occupancy, &BattleDebugSwitches::brains,
                          &BattleDebugSwitches::pickFrames};
    const struct {
        void (CDunmarchGame::*toggle)();
        Switch flipped;
        std::vector<int32_t> values;
    } cases[] = {
        {&CDunmarchGame::ToggleDebugText, &BattleDebugSwitches::text, {1, 0}},
        {&CDunmarchGame::ToggleViewPointsDebug, &BattleDebugSwitches::viewPoints, {1, 0}},
        {&CDunmarchGame::ToggleAxesDebug, &BattleDebugSwitches::axes, {1, 0}},
        {&CDunmarchGame::CycleGridDebug, &BattleDebugSwitches::gridMode, {1, 2, 0}},
        {&CDunmarchGame::ToggleOccupancyDebug, &BattleDebugSwitches::occupancy, {1, 0}},
        {&CDunmarchGame::ToggleBrainsDebug, &BattleDebugSwitches::brains, {1, 0}},
        {&CDunmarchGame::TogglePickFramesDebug, &BattleDebugSwitches::pickFrames, {1, 0}},
    };
    for (const auto& c : cases)
        for (const int32_t value : c.values) {
            (Battle().*c.toggle)();
            for (const Switch s : all) EXPECT_EQ(s == c.flipped ? value : 0, DebugSwitches.*s);
            EXPECT_EQ(DebugSwitches.occupancy == 0, scenery->GetNode()->IsVisible());
        }
}

TEST_F(BattleStepTest, StopLetsTheLevelGo) {
    BattleActive = 1;
    ASSERT_TRUE(Service<CLevel>::Exists());
    Step();
    EXPECT_GT(Units().GetCount(), 0);
    Battle().Stop();
    EXPECT_EQ(0, BattleActive);
    EXPECT_FALSE(Service<CLevel>::Exists());
    EXPECT_EQ(0, Units().GetCount());
}

TEST(BattleCameraTest, GroundDistanceAndZoom) {
    CDunmarchGame battle("");
    // From (0, -100, 100) toward (0, 0, 0): 141 to the ground.
    BattleTestAccess::SetCamera(battle, Vector3(0.0f, -100.0f, 100.0f), 0.0f, 70.0f);
    battle.UpdateViewDirection();
    EXPECT_NEAR(0.0f, battle.GetViewDirection().x, 1e-6f);
    EXPECT_NEAR(0.7071f, battle.GetViewDirection().y, 1e-4f);
    EXPECT_NEAR(-0.7071f, battle.GetViewDirection().z, 1e-4f);
    EXPECT_NEAR(141.42f, battle.GetGroundDistance(), 0.01f);
    EXPECT_NEAR(70.0f / 141.42f, battle.GetZoomFactor(), 1e-4f);
    // Parallel to the ground: distance 1, zoom the reference distance.
    BattleTestAccess::SetCamera(battle, Vector3(0.0f, 0.0f, 0.0f), 100.0f, 70.0f);
    battle.UpdateViewDirection();
    EXPECT_FLOAT_EQ(1.0f, battle.GetGroundDistance());
    EXPECT_FLOAT_EQ(70.0f, battle.GetZoomFactor());
}

TEST(HudLayoutTest, ItemsShiftAndCoordsFromTheLayoutFile) {
    const HudButton swordman = DefenderButtons[0], pause = SpeedButtons[0];
    const HudInfoItem wave = InfoItems[1];
    const HudShiftRecord shift = HudShift;
    const HudCoords digit = HudCoordsTable[0];
    ScratchFolder folder;
    Config config;
    config.Paths.UiPath = folder.Path() + "/";
    Service<Config>::Register(&config);
    CDunmarchGame battle("");

    battle.ReadHudLayout();  // no file: nothing changes
    EXPECT_EQ(swordman.x, DefenderButtons[0].x);
    folder.Write("ingame.xml",
                 "<window><item name=\"Swordsman\" x=\"9\"/>"
                 "<item name=\"Swordman\" x=\"1\" y=\"2\" tx=\"3\" ty=\"4\" tw=\"5\" th=\"6\"/>"
                 "<item name=\"Pause\" x=\"7\" ox=\"8\" oy=\"9\"/><item name=\"Pause\" x=\"70\"/>"
                 "<item name=\"Wave\" y=\"11\"/><shift ox=\"1\" oy=\"2\"/><shift ox=\"3\" oy=\"4\"/>"
                 "<coords name=\"Digit0\" tx=\"5\" ty=\"6\" tw=\"7\" th=\"8\"/></window>");
    battle.ReadHudLayout();
    EXPECT_EQ(1, DefenderButtons[0].x);  // "Swordsman" moves nothing
    EXPECT_EQ(6, DefenderButtons[0].th);
    EXPECT_EQ(70, SpeedButtons[0].x);  // a later item replaces an earlier one
    EXPECT_EQ(0, SpeedButtons[0].ox);
    EXPECT_EQ(11, InfoItems[1].y);
    EXPECT_EQ(3, HudShift.ox);  // the second shift wins
    EXPECT_EQ(4, HudShift.oy);
    EXPECT_EQ(7, HudCoordsTable[0].tw);

    // Written and read again, the tables stay as they are.
    const std::string written = folder.Path() + "/written.xml";
    ASSERT_EQ(1, battle.WriteHudLayout(written));
    DefenderButtons[0].x = SpeedButtons[0].x = InfoItems[1].y = HudCoordsTable[0].tw = HudShift.ox = 0;
    std::rename(written.c_str(), (folder.Path() + "/ingame.xml").c_str());
    battle.ReadHudLayout();
    EXPECT_EQ(1, DefenderButtons[0].x);
    EXPECT_EQ(70, SpeedButtons[0].x);
    EXPECT_EQ(11, InfoItems[1].y);
    EXPECT_EQ(7, HudCoordsTable[0].tw);
    EXPECT_EQ(3, HudShift.ox);
    EXPECT_EQ(0, battle.WriteHudLayout(folder.Path() + "/no-such-folder/ingame.xml"));

    Service<Config>::Unregister();
    DefenderButtons[0] = swordman, SpeedButtons[0] = pause, InfoItems[1] = wave, HudShift = shift;
    HudCoordsTable[0] = digit;
}
