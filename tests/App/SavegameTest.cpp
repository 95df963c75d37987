// The savegame inside the game: a battle written to "savegame.dat" and continued from
// it keeps its state; saving again at once gives the same section but the load count;
// a paused battle keeps its pause time-out; a replay is saved as a live battle; and a
// file that cannot be used is refused, stays where it is and leaves no battle. The game
// runs in a scratch game folder (links to the sample data).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/GameWindow.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CMissile.h"
#include "Classes/Level/CUnit.h"
#include "Core/FrameClock.h"
#include "Core/Service.h"
#include "GameFixture.h"
#include "IO/MemoryStream.h"
#include "platform/win32/Time.h"
#include "support/AssertionRecorder.h"

namespace {

namespace fs = std::filesystem;

struct UnitState {
    int32_t id, hitPoints, x, y, levels[2];
    bool operator==(const UnitState& o) const {
        return id == o.id && hitPoints == o.hitPoints && x == o.x && y == o.y && levels[0] == o.levels[0] &&
               levels[1] == o.levels[1];
    }
};

std::vector<UnitState> Units(const CDunmarchGame& battle) {
    std::vector<UnitState> units;
    for (const boost::shared_ptr<CUnit>& unit : battle.GetLevel()->GetUnitList().GetUnits())
        units.push_back(UnitState{unit->GetId(),
                                  unit->GetHitPoints(),
                                  unit->GetPosition().x,
                                  unit->GetPosition().y,
                                  {unit->GetUpgradeLevel(0), unit->GetUpgradeLevel(1)}});
    return units;
}

std::string Section(const CDunmarchGame& battle) {
    MemoryStream stream;
    battle.Save(stream);
    int length = 0;
    const char* bytes = stream.GetBuffer(length);
    return std::string(bytes, static_cast<size_t>(length));
}

class SavegameTest : public ScratchGameTest {
protected:
    void SetUp() override {
        ScratchGameTest::SetUp();
        ResetFrameClock();
    }

    // A new battle run for that many steps, the first wave's attackers on their way.
    CDunmarchGame& Battle(int steps) {
        EXPECT_EQ(1, window_->StartGame(0));
        CDunmarchGame& battle = *window_->GetBattle();
        for (int i = 0; i < steps; ++i) battle.Update(CDunmarchGame::kStepTime, false, true);
        return battle;
    }

    std::string FileBytes() const {
        std::ifstream in("savegame.dat", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    platform::ScopedFakeClock clock_{1000};
};

}  // namespace

TEST_F(SavegameTest, AContinuedBattleIsTheSavedOne) {
    EXPECT_EQ(0, window_->SavegameExists());
    EXPECT_EQ("", window_->ReadSavegameMap());
    EXPECT_EQ(0, window_->StartGame(1));

    CDunmarchGame& saved = Battle(120);
    saved.AddGold(55);
    saved.PanCamera(Vector3(30.0f, 0.0f, 0.0f));
    saved.CloseSummary(1);  // one recorded input
    const std::vector<UnitState> units = Units(saved);
    ASSERT_GE(units.size(), 2u);  // the keeper and attackers
    const uint32_t steps = saved.GetStepCounter();
    const int32_t elapsed = saved.GetElapsedTime(), gold = saved.GetGold(), score = saved.GetScore();
    const int32_t wave = saved.GetWaveIndex(), loads = saved.GetLoadCount();
    const Vector3 eye = saved.GetCameraEye();
    const std::string map = saved.GetMapName();
    const std::string section = Section(saved);
    ASSERT_EQ(1, window_->WriteSavegame(0));
    EXPECT_EQ(1, window_->SavegameExists());
    EXPECT_EQ(map, window_->ReadSavegameMap());
    EXPECT_FALSE(fs::exists("savegame.dat.new"));

    ASSERT_EQ(1, window_->StartGame(1));
    EXPECT_FALSE(fs::exists("savegame.dat"));
    const CDunmarchGame& loaded = *window_->GetBattle();
    EXPECT_EQ(steps, loaded.GetStepCounter());
    EXPECT_EQ(elapsed, loaded.GetElapsedTime());
    EXPECT_EQ(gold, loaded.GetGold());
    EXPECT_EQ(score, loaded.GetScore());
    EXPECT_EQ(wave, loaded.GetWaveIndex());
    EXPECT_EQ(loads + 1, loaded.GetLoadCount());
    EXPECT_EQ(1, loaded.IsRestored());
    EXPECT_FALSE(loaded.IsPlayingDemo());
    EXPECT_EQ(units, Units(loaded));
    EXPECT_FLOAT_EQ(eye.x, loaded.GetCameraEye().x);
    EXPECT_FLOAT_EQ(eye.y, loaded.GetCameraEye().y);
    EXPECT_FLOAT_EQ(eye.z, loaded.GetCameraEye().z);
    ASSERT_TRUE(loaded.GetInputMonitor());
    EXPECT_EQ(1u, loaded.GetInputMonitor()->GetRecords().size());
    EXPECT_EQ(0, loaded.GetLevel()->GetSpotHighlightMode());

    // Saved again at once: the same section but for the load count after the map name.
    std::string again = Section(loaded);
    ASSERT_EQ(section.size(), again.size());
    const size_t loadCountAt = 4 + map.size() + 8;
    EXPECT_EQ(loads + 1, static_cast<int32_t>(static_cast<unsigned char>(again[loadCountAt])));
    again[loadCountAt] = section[loadCountAt];
    EXPECT_TRUE(section == again);

    // The restored battle plays on.
    CDunmarchGame& running = *window_->GetBattle();
    for (int i = 0; i < 30; ++i) running.Update(CDunmarchGame::kStepTime, false, true);
    EXPECT_EQ(steps + 30, running.GetStepCounter());
}

TEST_F(SavegameTest, APausedBattleKeepsItsPauseTimeOut) {
    CDunmarchGame& saved = Battle(40);
    saved.Pause();
    ResetFrameClock();
    clock_.Advance(1800000);
    TickFrameClock();
    saved.TickPauseTimeout();
    ASSERT_EQ(1000, saved.GetPauseTimeout());
    ASSERT_EQ(1, window_->WriteSavegame(0));

    ASSERT_EQ(1, window_->StartGame(1));
    CDunmarchGame& loaded = *window_->GetBattle();
    EXPECT_EQ(0, loaded.GetSpeedMode());
    EXPECT_EQ(1000, loaded.GetPauseTimeout());
    ResetFrameClock();
    clock_.Advance(1000);
    TickFrameClock();
    loaded.TickPauseTimeout();
    EXPECT_EQ(1, loaded.GetSpeedMode());
}

TEST_F(SavegameTest, AReplayIsSavedAsALiveBattle) {
    CInputMonitor demo(Battle(0).GetMapName().c_str());
    demo.Add(DemoInput(500, 10, -1, -1));
    MemoryStream stream;
    demo.Write(stream);
    int length = 0;
    const char* bytes = stream.GetBuffer(length);
    std::ofstream("test.dem", std::ios::binary).write(bytes, length);
    window_->SetDemoPlayback(1);
    ASSERT_EQ(1, window_->StartGame(0));
    ASSERT_TRUE(window_->GetBattle()->IsPlayingDemo());
    for (int i = 0; i < 10; ++i) window_->GetBattle()->Update(CDunmarchGame::kStepTime, false, true);
    ASSERT_EQ(1, window_->WriteSavegame(0));

    window_->SetDemoPlayback(0);
    ASSERT_EQ(1, window_->StartGame(1));
    const CDunmarchGame& loaded = *window_->GetBattle();
    EXPECT_FALSE(loaded.IsPlayingDemo());
    ASSERT_TRUE(loaded.GetInputMonitor());
    EXPECT_TRUE(loaded.GetInputMonitor()->GetRecords().empty());
    EXPECT_EQ(10u, loaded.GetStepCounter());
}

TEST_F(SavegameTest, AFileThatCannotBeUsedIsRefusedAndStays) {
    const std::string map = Battle(100).GetMapName();
    ASSERT_EQ(1, window_->WriteSavegame(0));
    const std::string whole = FileBytes();
    ASSERT_GT(whole.size(), 12u);

    // Every cut of the battle section, read into one battle set up to continue: each is
    // refused before anything is rebuilt.
    ASSERT_EQ(1, window_->CreateGame(map.c_str(), 1));
    CDunmarchGame& target = *window_->GetBattle();
    const std::string section = whole.substr(12);
    for (size_t cut = 0; cut < section.size(); ++cut) {
        MemoryStream stream;
        stream.Write(section.data(), static_cast<int>(cut));
        ASSERT_EQ(0, target.Load(stream)) << "cut at " << cut << " of " << section.size();
    }
    EXPECT_TRUE(target.GetLevel()->GetUnitList().GetUnits().empty());

    // Whole files: a cut one, another head, a huge count, a state out of range.
    std::string hugeCount = whole;
    const size_t runnersAt = 12 + 4 + map.size() + 7 * 4;
    hugeCount[runnersAt + 3] = 0x7f;
    std::string badState = whole;
    badState[12 + 4 + map.size()] = 3;
    std::string otherHead = whole;
    otherHead[0] = 'X';
    for (const std::string& damaged : {whole.substr(0, whole.size() / 2), otherHead, hugeCount, badState}) {
        std::ofstream("savegame.dat", std::ios::binary | std::ios::trunc) << damaged;
        EXPECT_EQ(0, window_->StartGame(1));
        EXPECT_FALSE(window_->GetBattle());
        EXPECT_FALSE(Service<CDunmarchGame>::Exists());
        EXPECT_EQ(damaged, FileBytes());
    }
}

// A file that reads whole but holds a name the data does not give or a number the game
// could not have written is refused as a whole, before anything is built of it: no
// failed assertion, the file kept, and no battle.
TEST_F(SavegameTest, AFileWithAWrongNameOrNumberIsRefusedBeforeAnythingIsBuilt) {
    Battle(100);
    ASSERT_EQ(1, window_->WriteSavegame(0));
    const std::string whole = FileBytes();
    // The keeper's entry: its name, then side, hit points ... weapon id (19 numbers on).
    const std::string keeperName = std::string("\x06\0\0\0Keeper", 10);
    const size_t keeper = whole.find(keeperName);
    ASSERT_NE(std::string::npos, keeper);
    const size_t keeperSide = keeper + keeperName.size(), keeperHitPoints = keeperSide + 4;
    const size_t keeperWeapon = keeperSide + 19 * 4;
    const std::string idle = std::string("\x04\0\0\0idle", 8);
    const size_t clip = whole.find(idle);
    ASSERT_NE(std::string::npos, clip);
    // A wave entry still waiting: its name, time, then the count still to send.
    const std::string warrior = std::string("\x0b\0\0\0Orc Warrior", 15);
    const size_t entry = whole.find(warrior);
    ASSERT_NE(std::string::npos, entry);

    auto with = [&](size_t at, const std::string& bytes) {
        std::string damaged = whole;
        damaged.replace(at, bytes.size(), bytes);
        return damaged;
    };
    auto number = [](int32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); };
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"a clip name with one bit flipped", with(clip + 4, "Idle")},
        {"the keeper's hit points at 0x10000000", with(keeperHitPoints, number(0x10000000))},
        {"the keeper's side an attacker's", with(keeperSide, number(1))},
        {"a unit definition no data gives", with(keeper + 4, "Keepex")},
        {"a weapon no data gives", with(keeperWeapon, number(123456))},
        {"a wave entry sending 0x10000000 attackers", with(entry + warrior.size() + 4, number(0x10000000))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NE(whole, c.bytes);
        std::ofstream("savegame.dat", std::ios::binary | std::ios::trunc) << c.bytes;
        AssertionRecorder assertions;
        EXPECT_EQ(0, window_->StartGame(1));
        EXPECT_TRUE(assertions.Messages().empty()) << assertions.Last();
        EXPECT_FALSE(window_->GetBattle());
        EXPECT_EQ(c.bytes, FileBytes());
    }
    // The file as written still continues.
    std::ofstream("savegame.dat", std::ios::binary | std::ios::trunc) << whole;
    EXPECT_EQ(1, window_->StartGame(1));
}

// The level's part: a cell saved empty stays empty under a unit, a selected dead
// defender stays selected, a missile in flight flies on, and teleport targeting is off.
TEST_F(SavegameTest, TheLevelComesBackAsItWasSaved) {
    CDunmarchGame& saved = Battle(150);
    CLevel& level = *saved.GetLevel();
    const boost::shared_ptr<CUnit> keeper = level.GetUnitList().FindDungeonKeeper().lock();
    ASSERT_TRUE(keeper);
    boost::shared_ptr<CUnit> attacker;
    for (const boost::shared_ptr<CUnit>& unit : level.GetUnitList().GetUnits())
        if (!unit->IsDefender() && unit->GetHitPoints() > 0) attacker = unit;
    ASSERT_TRUE(attacker);
    ASSERT_TRUE(level.CreateMissile(keeper, attacker, keeper->GetWeapon(), -1));
    level.GetCellOf(keeper)->SetOccupant(boost::weak_ptr<CUnit>());
    keeper->SetHitPoints(0);
    level.ClearSelection();
    level.AddSelectedDefender(keeper);
    level.SetSpotHighlightMode(1);
    const int32_t keeperId = keeper->GetId(), attackerId = attacker->GetId();
    const IntVector3 missileAt = level.GetMissiles().front()->GetPosition();
    ASSERT_EQ(1, window_->WriteSavegame(0));

    ASSERT_EQ(1, window_->StartGame(1));
    CDunmarchGame& loaded = *window_->GetBattle();
    CLevel& restored = *loaded.GetLevel();
    const boost::shared_ptr<CUnit> dead = restored.FindUnit(keeperId);
    ASSERT_TRUE(dead);
    EXPECT_EQ(0, dead->GetHitPoints());
    EXPECT_TRUE(restored.GetCellOf(dead)->GetOccupant().expired());
    ASSERT_EQ(1u, restored.GetSelectedDefenders().size());
    EXPECT_EQ(dead, restored.GetSelectedDefenders()[0].lock());
    EXPECT_EQ(0, restored.GetSpotHighlightMode());
    ASSERT_EQ(1u, restored.GetMissiles().size());
    const IntVector3 restoredAt = restored.GetMissiles().front()->GetPosition();
    EXPECT_EQ(missileAt.x, restoredAt.x);
    EXPECT_EQ(missileAt.y, restoredAt.y);
    EXPECT_EQ(missileAt.z, restoredAt.z);
    EXPECT_TRUE(restored.FindUnit(attackerId));
    // It goes on: it moves, or (a timed one) runs out, within two seconds.
    bool live = false;
    for (int i = 0; i < 60 && !live; ++i) {
        restored.Update(CDunmarchGame::kStepTime, 0, 1);
        const IntVector3 now =
            restored.GetMissiles().empty() ? missileAt : restored.GetMissiles().front()->GetPosition();
        live = restored.GetMissiles().empty() || now.x != missileAt.x || now.y != missileAt.y || now.z != missileAt.z;
    }
    EXPECT_TRUE(live);
}
