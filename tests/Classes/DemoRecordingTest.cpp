// The battle's recording and its data stamp: the body format, the due records of a
// replay, the ".dem" file name and file, and the stamp's checksums and round trip.
// Files go to a scratch folder made the current one.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/DataStamp.h"
#include "IO/ContentChecksums.h"
#include "IO/MemoryStream.h"
#include "support/ScratchDir.h"

namespace {

namespace fs = std::filesystem;

// The test's current folder for its life.
class InScratch {
public:
    InScratch() : previous_(fs::current_path()) { fs::current_path(scratch_.Folder()); }
    ~InScratch() { fs::current_path(previous_); }
    const ScratchDir& Dir() const { return scratch_; }

private:
    ScratchDir scratch_;
    fs::path previous_;
};

std::vector<uint32_t> Frames(const std::vector<DemoInput>& inputs) {
    std::vector<uint32_t> frames;
    for (const DemoInput& input : inputs) frames.push_back(input.frame);
    return frames;
}

CInputMonitor Recorded(const char* map, std::initializer_list<uint32_t> frames) {
    CInputMonitor monitor(map);
    int32_t type = 0;
    for (uint32_t frame : frames) {
        monitor.Add(DemoInput(frame, type, 10 * (type + 1), -1));
        ++type;
    }
    return monitor;
}

std::string StreamBytes(MemoryStream& stream) {
    int length = 0;
    const char* bytes = stream.GetBuffer(length);
    return std::string(bytes != nullptr ? bytes : "", static_cast<size_t>(length));
}

}  // namespace

TEST(DemoRecordingTest, AnEmptyMonitorWritesStampNameAndThreeNumbers) {
    CInputMonitor written("Harrowmere");
    MemoryStream stamp;
    written.GetStamp().Write(stamp);
    MemoryStream body;
    written.WriteBody(body);
    EXPECT_EQ(stamp.GetSize() + 4 + 10 + 12, body.GetSize());
    EXPECT_EQ(10 + 12, written.ByteSize());

    CInputMonitor read(nullptr);
    read.ReadBody(body);
    EXPECT_STREQ("Harrowmere", read.GetMapName());
    EXPECT_TRUE(read.GetRecords().empty());
}

TEST(DemoRecordingTest, AFileRoundTripKeepsEverythingAndReadingAppends) {
    CInputMonitor written = Recorded("Harrowmere", {3, 3, 40});
    written.SetResult(900, 1234);
    written.GetStamp().AddFile("Config.XML");
    MemoryStream stream;
    written.Write(stream);
    int length = 0;
    const char* bytes = stream.GetBuffer(length);
    ASSERT_GE(length, 4);
    EXPECT_EQ(0, std::memcmp(bytes, "DEM", 4));
    EXPECT_EQ(10 + 3 * 16 + 12, written.ByteSize());

    CInputMonitor read(nullptr);
    read.Add(DemoInput(1, 6, 7, -1));
    read.Read(stream);
    EXPECT_STREQ("Harrowmere", read.GetMapName());
    EXPECT_EQ(1234, read.GetScore());
    EXPECT_EQ(900, read.GetLastFrame());
    ASSERT_EQ(4u, read.GetRecords().size());
    EXPECT_EQ((std::vector<uint32_t>{1, 3, 3, 40}), Frames(read.GetRecords()));
    EXPECT_EQ(2, read.GetRecords()[3].type);
    EXPECT_EQ(30, read.GetRecords()[3].x);
    ASSERT_EQ(1u, read.GetStamp().GetEntries().size());
    EXPECT_EQ("config.xml", read.GetStamp().GetEntries()[0].name);
}

// A count beyond the bytes left keeps the records there are and stops.
TEST(DemoRecordingTest, ADamagedCountStopsAtTheEndOfTheData) {
    CInputMonitor written = Recorded("m", {1, 2});
    MemoryStream body;
    written.WriteBody(body);
    std::string bytes = StreamBytes(body);
    // The record count sits before the two 16-byte records.
    const size_t countAt = bytes.size() - 2 * 16 - 4;
    for (const int32_t count : {1000000, 0x7fffffff}) {
        std::memcpy(&bytes[countAt], &count, 4);
        MemoryStream damaged;
        damaged.Write(bytes.data(), static_cast<int>(bytes.size() - 5));  // the last record cut short
        CInputMonitor read(nullptr);
        read.ReadBody(damaged);
        EXPECT_EQ((std::vector<uint32_t>{1}), Frames(read.GetRecords())) << count;
    }
    // The stamp's entry count likewise.
    DataStamp stamp;
    stamp.AddFile("a.xml");
    MemoryStream block;
    stamp.Write(block);
    bytes = StreamBytes(block);
    const int32_t huge = 50000000;
    std::memcpy(&bytes[16], &huge, 4);
    MemoryStream damaged;
    damaged.Write(bytes.data(), static_cast<int>(bytes.size()));
    DataStamp read;
    read.Read(damaged);
    ASSERT_EQ(1u, read.GetEntries().size());
    EXPECT_EQ("a.xml", read.GetEntries()[0].name);
}

TEST(DemoRecordingTest, RecordsAreHandedOutWhenDue) {
    CInputMonitor monitor = Recorded("m", {5, 5, 7});
    EXPECT_TRUE(monitor.RecordsDueAt(4).empty());
    EXPECT_EQ((std::vector<uint32_t>{5, 5}), Frames(monitor.RecordsDueAt(5)));
    EXPECT_EQ(2, monitor.GetReadIndex());
    EXPECT_TRUE(monitor.RecordsDueAt(6).empty());
    EXPECT_EQ((std::vector<uint32_t>{7}), Frames(monitor.RecordsDueAt(7)));
    EXPECT_TRUE(monitor.RecordsDueAt(8).empty());

    // Out of order, or at a frame the replay passed: handed out late, never holding
    // back the ones after it.
    CInputMonitor disordered = Recorded("m", {5, 3, 9, 12});
    EXPECT_EQ((std::vector<uint32_t>{5, 3}), Frames(disordered.RecordsDueAt(5)));
    EXPECT_EQ((std::vector<uint32_t>{9}), Frames(disordered.RecordsDueAt(10)));
    EXPECT_EQ((std::vector<uint32_t>{12}), Frames(disordered.RecordsDueAt(12)));
}

TEST(DemoRecordingTest, EndAndNextInput) {
    CInputMonitor monitor = Recorded("m", {5, 5, 9});
    monitor.SetResult(100, 0);
    EXPECT_FALSE(monitor.IsPastEnd(100));
    EXPECT_TRUE(monitor.IsPastEnd(101));
    EXPECT_EQ(4, monitor.FramesToNextInput(1));
    EXPECT_EQ(4, monitor.FramesToNextInput(5));  // the records at 5 itself do not count
    monitor.RecordsDueAt(5);
    EXPECT_EQ(3, monitor.FramesToNextInput(6));
    EXPECT_EQ(-1, monitor.FramesToNextInput(9));
    EXPECT_EQ(-1, monitor.FramesToNextInput(101));
}

TEST(DemoRecordingTest, FileNamesKeepToTheCurrentFolder) {
    std::tm when = {};
    when.tm_year = 2011 - 1900;
    when.tm_mon = 2;
    when.tm_mday = 3;
    when.tm_hour = 9;
    when.tm_min = 5;
    when.tm_sec = 7;
    const struct {
        const char* map;
        const char* name;
    } cases[] = {
        {"Harrowmere", "2011-03-03 - 09.05.07 - Harrowmere (1234).dem"},
        {"../../etc/x", "2011-03-03 - 09.05.07 - etcx (1234).dem"},
        {"Old_Fort - 2", "2011-03-03 - 09.05.07 - Old_Fort - 2 (1234).dem"},
    };
    for (const auto& c : cases) {
        CInputMonitor monitor(c.map);
        monitor.SetResult(50, 1234);
        EXPECT_STREQ(c.name, monitor.MakeFileName(when)) << c.map;
    }
}

TEST(DemoRecordingTest, SavedAndLoadedThroughAFile) {
    InScratch scratch;
    CInputMonitor monitor = Recorded("Harrowmere", {2, 8});
    monitor.SetResult(77, 310);
    testing::internal::CaptureStdout();
    ASSERT_EQ(1, monitor.SaveToFile());
    const std::string said = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, said.find(" - Harrowmere (310).dem (map: Harrowmere, score: 310, last frame: 77)\n"))
        << said;

    std::vector<fs::path> saved;
    for (const auto& entry : fs::directory_iterator(".")) saved.push_back(entry.path());
    ASSERT_EQ(1u, saved.size());
    CInputMonitor loaded(nullptr);
    ASSERT_EQ(1, loaded.LoadFromFile(saved[0].string().c_str()));
    EXPECT_STREQ("Harrowmere", loaded.GetMapName());
    EXPECT_EQ((std::vector<uint32_t>{2, 8}), Frames(loaded.GetRecords()));

    // No name, no file, an empty file: 0 and no records.
    std::ofstream("empty.dem").close();
    for (const char* name : {static_cast<const char*>(nullptr), "", "missing.dem", "empty.dem"}) {
        CInputMonitor again = Recorded("m", {1});
        EXPECT_EQ(0, again.LoadFromFile(name)) << (name ? name : "null");
        EXPECT_TRUE(again.GetRecords().empty());
    }
}

TEST(DemoRecordingTest, TheStampCombinesTheRecordedChecksums) {
    EXPECT_EQ(1, DataStamp().IsModified());  // a new stamp

    ContentChecksums::Store("data/Weapons.xml", "<weapons/>");
    const uint64_t weapons = ContentChecksums::Find("weapons.xml");
    ASSERT_NE(0u, weapons);
    DataStamp stamp;
    stamp.AddFile("WEAPONS.xml");
    stamp.AddFile("never-read.xml");
    ASSERT_EQ(2u, stamp.GetEntries().size());
    EXPECT_EQ("weapons.xml", stamp.GetEntries()[0].name);
    EXPECT_EQ(weapons, stamp.GetEntries()[0].checksum);
    EXPECT_EQ(0u, stamp.GetEntries()[1].checksum);
    EXPECT_EQ(0u, stamp.GetDataChecksum());  // adding leaves it

    // Computed: the exclusive-or of all fourteen, whatever their order; a file never
    // read adds nothing.
    DataStamp computed;
    computed.Compute();
    ASSERT_EQ(14u, computed.GetEntries().size());
    uint64_t forward = 0, backward = 0;
    for (const DataStampEntry& entry : computed.GetEntries()) forward ^= entry.checksum;
    for (auto entry = computed.GetEntries().rbegin(); entry != computed.GetEntries().rend(); ++entry)
        backward ^= entry->checksum;
    EXPECT_EQ(forward, computed.GetDataChecksum());
    EXPECT_EQ(backward, computed.GetDataChecksum());
    EXPECT_EQ("weapons.xml", computed.GetEntries()[9].name);
    EXPECT_EQ("harrowmere.xml", computed.GetEntries()[10].name);
    EXPECT_NE(0u, computed.GetProgramChecksum());  // the test program itself

    MemoryStream stream;
    computed.Write(stream);
    const std::string bytes = StreamBytes(stream);
    EXPECT_EQ(std::string::npos, bytes.find("weapons.xml"));  // names travel scrambled
    DataStamp read;
    read.AddFile("left-over.xml");
    read.Read(stream);
    EXPECT_EQ(computed.GetProgramChecksum(), read.GetProgramChecksum());
    EXPECT_EQ(computed.GetDataChecksum(), read.GetDataChecksum());
    ASSERT_EQ(14u, read.GetEntries().size());
    for (size_t i = 0; i < 14; ++i) {
        EXPECT_EQ(computed.GetEntries()[i].name, read.GetEntries()[i].name);
        EXPECT_EQ(computed.GetEntries()[i].checksum, read.GetEntries()[i].checksum);
    }
}
