// A battle's recording inside the game: a live battle records with the data stamp of
// the data it runs on and notes its end; modified data holds the battle behind a
// warning; demo playback replays "test.dem" of the current folder on the demo's map.
// The game runs in a scratch game folder (links to the sample data), as "test.dem"
// must never land in the build's game folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "App/MessageBoxes.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/DataStamp.h"
#include "Classes/Battle/GameWindow.h"
#include "GameFixture.h"
#include "IO/ContentChecksums.h"
#include "IO/MemoryStream.h"
#include "IO/XmlReader.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/GameData.h"

namespace {

namespace fs = std::filesystem;
namespace gd = catalogue::gamedata;

class BattleRecordingTest : public ScratchGameTest {
protected:
    static void WriteDemo(const CInputMonitor& demo) {
        MemoryStream stream;
        demo.Write(stream);
        int length = 0;
        const char* bytes = stream.GetBuffer(length);
        std::ofstream("test.dem", std::ios::binary).write(bytes, length);
    }

};

}  // namespace

TEST_F(BattleRecordingTest, ALiveBattleRecordsOnItsStampedData) {
    ASSERT_EQ(1, window_->StartGame(0));
    CDunmarchGame& battle = *window_->GetBattle();
    ASSERT_TRUE(battle.GetInputMonitor());
    EXPECT_FALSE(battle.GetDemoPlayer());
    EXPECT_FALSE(battle.IsPlayingDemo());
    const CInputMonitor& recorder = *battle.GetInputMonitor();
    EXPECT_STREQ(gd::kMapName, recorder.GetMapName());
    EXPECT_EQ(14u, recorder.GetStamp().GetEntries().size());
    for (const DataStampEntry& entry : recorder.GetStamp().GetEntries()) EXPECT_NE(0u, entry.checksum) << entry.name;
    EXPECT_EQ(ShippedDataChecksum, recorder.GetStamp().GetDataChecksum());
    EXPECT_EQ(0, recorder.GetStamp().IsModified());

    for (int i = 0; i < 5; ++i) battle.Update(33, false, true);
    EXPECT_EQ(nullptr, GetMessageBox());  // no warning
    EXPECT_EQ(5u, battle.GetStepCounter());

    // The player's closing of a summary is recorded, the time-out's is not.
    battle.CloseSummary(1);
    battle.CloseSummary(0);
    ASSERT_EQ(1u, recorder.GetRecords().size());
    EXPECT_EQ(5u, recorder.GetRecords()[0].frame);
    EXPECT_EQ(10, recorder.GetRecords()[0].type);

    // The end notes the last step and the score; nothing is recorded after it.
    battle.EndBattle();
    EXPECT_EQ(5, recorder.GetLastFrame());
    EXPECT_EQ(battle.GetScore(), recorder.GetScore());
    battle.CloseSummary(1);
    EXPECT_EQ(1u, recorder.GetRecords().size());
}

TEST_F(BattleRecordingTest, ModifiedDataHoldsTheBattleBehindAWarning) {
    ContentChecksums::Store(gd::kWeaponsFile, "<weapons edited=\"1\"/>");
    ASSERT_EQ(1, window_->StartGame(0));
    CDunmarchGame& battle = *window_->GetBattle();
    EXPECT_EQ(1, battle.GetInputMonitor()->GetStamp().IsModified());
    for (int i = 0; i < 5; ++i) battle.Update(33, false, true);
    EXPECT_EQ(CDunmarchGame::kRunning, battle.GetState());
    EXPECT_EQ(1u, battle.GetStepCounter());  // only the first step ran
    EXPECT_NE(nullptr, GetMessageBox());
    CloseMessageBox();
    // The weapons file's own checksum again, for the tests after this one.
    delete CreateXmlReader(catalogue::config::kWeapons.Path() + gd::kWeaponsFile);
}

TEST_F(BattleRecordingTest, PlaybackReplaysTheDemoFileOnItsMap) {
    window_->SetDemoPlayback(1);
    EXPECT_EQ(0, window_->StartGame(0));  // no "test.dem"
    std::ofstream("test.dem").close();
    EXPECT_EQ(0, window_->StartGame(0));  // an empty one

    CInputMonitor demo(gd::kMapName);
    demo.Add(DemoInput(40, 10, -1, -1));
    demo.SetResult(300, 1234);
    WriteDemo(demo);
    SelectedMapIndex = 0;
    ASSERT_EQ(1, window_->StartGame(0));
    const CDunmarchGame& battle = *window_->GetBattle();
    EXPECT_TRUE(battle.IsPlayingDemo());
    EXPECT_FALSE(battle.GetInputMonitor());  // nothing records a replay
    EXPECT_EQ(gd::kMapName, battle.GetMapName());
    ASSERT_TRUE(battle.GetDemoPlayer());
    EXPECT_EQ(1u, battle.GetDemoPlayer()->GetRecords().size());
    EXPECT_EQ(300, battle.GetDemoPlayer()->GetLastFrame());

    // A demo names its own map: one unknown to the data sets nothing up.
    WriteDemo(CInputMonitor("Nowhere"));
    EXPECT_EQ(0, window_->StartGame(0));
}
