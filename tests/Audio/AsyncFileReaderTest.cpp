#include "Audio/AsyncFileReader.h"
#include "Audio/SampleSourceInfo.h"
#include "AudioFixtures.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace audiotest;

namespace {

std::vector<uint8_t> PatternFile(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = PatternByte(i);
    return bytes;
}

int64_t PollUntilDone(AsyncFileReader& reader, uint32_t id) {
    for (int i = 0; i < 2000; ++i) {
        const int64_t n = reader.Poll(id);
        if (n >= 0) return n;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return -2;
}

}  // namespace

TEST(AsyncFileReader, ReadsAreCutAtTheEndOfTheFile) {
    TempDir dir;
    const std::vector<uint8_t> file = PatternFile(5000);
    AsyncFileReader reader(SampleSourceInfo(dir.Write("a.wav", file)));
    ASSERT_TRUE(reader.IsOpen());
    EXPECT_EQ(5000u, reader.GetFileSize());

    std::vector<uint8_t> buffer(8192, 0xEE);
    const int64_t whole = reader.Read(buffer.data(), 0, 8192);
    ASSERT_GT(whole, 0);
    EXPECT_EQ(5000, PollUntilDone(reader, static_cast<uint32_t>(whole)));
    EXPECT_TRUE(std::equal(file.begin(), file.end(), buffer.begin()));
    EXPECT_EQ(0xEE, buffer[5000]);
    // An id already reported finished is unknown.
    EXPECT_EQ(-1, reader.Poll(static_cast<uint32_t>(whole)));

    const int64_t tail = reader.Read(buffer.data(), 4990, 100);
    EXPECT_EQ(10, PollUntilDone(reader, static_cast<uint32_t>(tail)));
    const int64_t beyond = reader.Read(buffer.data(), 6000, 100);
    ASSERT_GT(beyond, 0);
    EXPECT_EQ(0, PollUntilDone(reader, static_cast<uint32_t>(beyond)));
}

TEST(AsyncFileReader, IdsOnlyGrowAndSixteenReadsFillTheSlots) {
    TempDir dir;
    std::vector<uint8_t> buffer(20 * 100);  // one region per read; outlives the reader
    AsyncFileReader reader(SampleSourceInfo(dir.Write("a.wav", PatternFile(20000))));
    ReadControl control(UINT64_MAX, 1000);  // reads from offset 1000 on wait for Release

    EXPECT_EQ(1, reader.Read(buffer.data(), 0, 100));
    EXPECT_EQ(2, reader.Read(buffer.data() + 100, 1000, 100));
    EXPECT_EQ(3, reader.Read(buffer.data() + 200, 1100, 100));
    EXPECT_EQ(100, PollUntilDone(reader, 1));
    EXPECT_EQ(-1, reader.Poll(2));  // still in flight

    // Slot 0 is free again: 14 more reads fill the 16 slots; the next one is refused
    // without using an id.
    for (int64_t expected = 4; expected <= 17; ++expected) {
        EXPECT_EQ(expected, reader.Read(buffer.data() + 100 * expected, 2000, 10));
    }
    EXPECT_EQ(-1, reader.Read(buffer.data() + 1800, 3000, 10));
    control.Release();
    EXPECT_EQ(100, PollUntilDone(reader, 2));
    EXPECT_EQ(18, reader.Read(buffer.data() + 1800, 0, 10));
}

TEST(AsyncFileReader, DeletingWaitsForTheReadsInFlight) {
    TempDir dir;
    const std::vector<uint8_t> file = PatternFile(4096);
    auto buffer = std::make_unique<std::vector<uint8_t>>(4096, 0);
    {
        ReadControl control(UINT64_MAX, 0);
        auto reader = std::make_unique<AsyncFileReader>(SampleSourceInfo(dir.Write("a.wav", file)));
        ASSERT_GT(reader->Read(buffer->data(), 0, 4096), 0);
        std::thread releaser([&control] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            control.Release();
        });
        reader.reset();  // returns only once the read has written the buffer
        releaser.join();
    }
    EXPECT_EQ(file, *buffer);
}

TEST(AsyncFileReader, AFailedReadIsReportedFinishedWithTheBytesItDelivered) {
    TempDir dir;
    AsyncFileReader reader(SampleSourceInfo(dir.Write("a.wav", PatternFile(10000))));
    ReadControl control(4096);
    std::vector<uint8_t> buffer(8192);

    const int64_t id = reader.Read(buffer.data(), 0, 8192);
    EXPECT_EQ(4096, PollUntilDone(reader, static_cast<uint32_t>(id)));
    EXPECT_EQ(-1, reader.Poll(static_cast<uint32_t>(id)));  // its slot is free

    const int64_t failed = reader.Read(buffer.data(), 5000, 100);
    reader.Wait(static_cast<uint32_t>(failed));  // returns, and frees the slot
    EXPECT_EQ(-1, reader.Poll(static_cast<uint32_t>(failed)));
}

TEST(AsyncFileReader, WithoutAFileNothingIsRead) {
    TempDir dir;
    AsyncFileReader reader(SampleSourceInfo(dir.File("missing.wav")));
    uint8_t buffer[16];
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(-1, reader.Read(buffer, 0, 16));
    EXPECT_EQ(0, reader.Poll(1));
    reader.Wait(1);

    AsyncFileReader folder(SampleSourceInfo(dir.File("")));
    EXPECT_FALSE(folder.IsOpen());
}
