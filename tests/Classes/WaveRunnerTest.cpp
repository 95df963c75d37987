// The runtime wave: entries sent at their seconds, one a step, the wave over when nothing
// is left to send and no attacker lives, the gold threshold, and the save record.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/WaveRunner.h"
#include "IO/MemoryStream.h"
#include "LevelFixtures.h"
#include "UnitFixture.h"

using namespace levelfixtures;

namespace {

WaveEntry Entry(const std::string& name, int32_t time, int32_t count, int32_t spawnPoint, int32_t gold = 0) {
    WaveEntry entry;
    entry.name = name;
    entry.time = time;
    entry.count = count;
    entry.spawnPoint = spawnPoint;
    entry.goldThreshold = gold;
    return entry;
}

// The unit fixture's level read from a level file with attacker entries 1 and 2.
class WaveRunnerTest : public UnitFixture {
protected:
    WaveRunnerTest() {
        EXPECT_TRUE(level_.ReadLevelFile(
            folder_.Write("level.xml",
                          "<level><Grid w=\"8\" h=\"5\"/>"
                          "<Marker id=\"1\" t=\"1\" c=\"0\" r=\"0\" x=\"0\" f=\"0\" attackerId=\"1\"/>"
                          "<Marker id=\"2\" t=\"1\" c=\"7\" r=\"4\" x=\"0\" f=\"0\" attackerId=\"2\"/></level>")));
    }
    UnitList& List() { return level_.GetUnitList(); }
    // The names of the units in the list, each with the column of its spawn point.
    std::vector<std::string> Sent() {
        std::vector<std::string> sent;
        for (const boost::shared_ptr<CUnit>& unit : List().GetUnits())
            sent.push_back(unit->GetDefinitionName() + "@" + std::to_string(unit->GetHomePosition().x / 500));
        return sent;
    }

    ScratchFolder folder_;
};

}  // namespace

TEST_F(WaveRunnerTest, EntriesLeaveOneAStepAtTheirSeconds) {
    WaveRunner wave(7, 100, 10, 20, {Entry("Orc", 0, 3, 1), Entry("Shaman", 0, 2, 2), Entry("Orc", 2, 1, 2)});
    EXPECT_EQ(7, wave.GetWaveId());
    EXPECT_EQ(6u, wave.GetTotalCount());
    EXPECT_EQ(3000, wave.GetBannerCountdown());
    EXPECT_TRUE(wave.Update(33));
    EXPECT_EQ((std::vector<std::string>{"Orc@0", "Orc@0", "Orc@0"}), Sent());
    EXPECT_EQ(3, wave.GetSpawnedCount());
    EXPECT_TRUE(wave.Update(33));
    EXPECT_EQ(5, List().GetCount());
    EXPECT_EQ("Shaman@7", Sent()[4]);
    // Each sent with a new id.
    EXPECT_EQ(4, List().GetAt(4)->GetId());
    // Second 2: not at 1999 ms, at 2000.
    while (wave.GetElapsed() + 33 < 1999) wave.Update(33);
    wave.Update(1999 - wave.GetElapsed());
    EXPECT_EQ(1999, wave.GetElapsed());
    EXPECT_EQ(5, List().GetCount());
    wave.Update(1);
    EXPECT_EQ(6, List().GetCount());
    EXPECT_EQ(6, wave.GetSpawnedCount());
    // Over once no entry is left and every attacker is dead.
    EXPECT_TRUE(wave.Update(33));
    for (const boost::shared_ptr<CUnit>& unit : List().GetUnits()) unit->SetHitPoints(0);
    EXPECT_FALSE(wave.Update(33));
    // The banner stops a little below 0.
    WaveRunner banner(1, 0, 0, 0, {});
    for (int step = 0; step < 91; ++step) banner.Update(33);
    EXPECT_EQ(-3, banner.GetBannerCountdown());
    banner.Update(33);
    EXPECT_EQ(-3, banner.GetBannerCountdown());
}

TEST_F(WaveRunnerTest, EntriesThatSendNothing) {
    // An unknown spawn point, a count of 0 and a negative count: each leaves at its step.
    WaveRunner wave(1, 0, 0, 0, {Entry("Orc", 0, 2, 9), Entry("Orc", 0, 0, 1), Entry("Orc", 0, -5, 1)});
    EXPECT_EQ(2u, wave.GetTotalCount());
    for (int step = 0; step < 3; ++step) EXPECT_TRUE(wave.Update(33));
    EXPECT_EQ(0, List().GetCount());
    EXPECT_TRUE(wave.GetEntries().empty());
    EXPECT_FALSE(wave.Update(33));

    // Every entry above the gold: dropped, counted as sent, and the wave over at once.
    WaveRunner rich(2, 0, 0, 0, {Entry("Orc", 0, 2, 1, 500), Entry("Orc", 0, 1, 1, 100), Entry("Orc", 5, 4, 2, 300)});
    EXPECT_EQ(2, rich.DropEntriesAboveGold(299));
    ASSERT_EQ(1u, rich.GetEntries().size());
    EXPECT_EQ(100, rich.GetEntries()[0].goldThreshold);
    EXPECT_EQ(6, rich.GetSpawnedCount());
    EXPECT_EQ(1, rich.DropEntriesAboveGold(0));
    EXPECT_EQ(7, rich.GetSpawnedCount());
    EXPECT_FALSE(rich.Update(33));
}

TEST_F(WaveRunnerTest, SaveAndLoad) {
    WaveRunner wave(7, 100, 10, 20, {Entry("Orc", 0, 3, 1), Entry("Shaman", 4, 2, 2, 50), Entry("", 9, 1, 2)});
    wave.Update(33);
    MemoryStream stream;
    ASSERT_TRUE(wave.Save(stream));
    EXPECT_EQ(7 * 4 + 4 + (4 + 6 + 16) + (4 + 16), stream.GetSize());
    WaveRunner loaded;
    EXPECT_EQ(0u, loaded.GetTotalCount());
    EXPECT_EQ(0, loaded.GetBannerCountdown());
    ASSERT_TRUE(loaded.Load(stream));
    EXPECT_EQ(7, loaded.GetWaveId());
    EXPECT_EQ(100, loaded.GetWaveGold());
    EXPECT_EQ(10, loaded.GetBonusPercent());
    EXPECT_EQ(20, loaded.GetSurvivalPercent());
    EXPECT_EQ(33, loaded.GetElapsed());
    EXPECT_EQ(2967, loaded.GetBannerCountdown());
    EXPECT_EQ(6u, loaded.GetTotalCount());
    ASSERT_EQ(2u, loaded.GetEntries().size());
    EXPECT_EQ("Shaman", loaded.GetEntries()[0].name);
    EXPECT_EQ(4, loaded.GetEntries()[0].time);
    EXPECT_EQ(2, loaded.GetEntries()[0].count);
    EXPECT_EQ(2, loaded.GetEntries()[0].spawnPoint);
    EXPECT_EQ(50, loaded.GetEntries()[0].goldThreshold);
    EXPECT_EQ("", loaded.GetEntries()[1].name);
    EXPECT_EQ(3, loaded.GetSpawnedCount());

    // Damaged: cut short, an entry count beyond what is left, a negative one. The
    // runner stays as it was.
    int length = 0;
    const char* bytes = stream.GetBuffer(length);
    const std::string whole(bytes, static_cast<size_t>(length));
    std::string beyond = whole;
    beyond[28] = 3;
    std::string negative = whole;
    negative[31] = '\x80';
    for (const std::string& bad : {whole.substr(0, whole.size() - 1), beyond, negative}) {
        MemoryStream damaged;
        damaged.Write(bad.data(), static_cast<int>(bad.size()));
        EXPECT_FALSE(loaded.Load(damaged));
        EXPECT_EQ(7, loaded.GetWaveId());
        EXPECT_EQ(2u, loaded.GetEntries().size());
    }
}
