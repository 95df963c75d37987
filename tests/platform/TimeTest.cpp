#include "platform/win32/Time.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

TEST(TimeTest, RealClockFollowsSleep) {
    ASSERT_FALSE(platform::IsFakeClockSet());
    auto before = std::chrono::steady_clock::now();
    DWORD start = GetTickCount();
    Sleep(30);
    DWORD elapsed = GetTickCount() - start;
    auto real = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - before);
    EXPECT_GE(elapsed, 29u);
    EXPECT_LE(static_cast<long long>(elapsed), real.count() + 1);
}

TEST(TimeTest, FakeClockStopsTimeAndSleepAdvancesIt) {
    {
        platform::ScopedFakeClock clock(1000);
        EXPECT_EQ(1000u, GetTickCount());
        EXPECT_EQ(1000, platform::ProcessClock());
        auto before = std::chrono::steady_clock::now();
        Sleep(60000);  // returns at once
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
        EXPECT_EQ(61000u, GetTickCount());
        clock.Advance(5);
        EXPECT_EQ(61005u, platform::MillisecondsSinceStart());
    }
    EXPECT_FALSE(platform::IsFakeClockSet());
    EXPECT_LT(GetTickCount(), 60000u);
}

TEST(TimeTest, TickCountWrapsAt32Bits) {
    platform::ScopedFakeClock clock((1ull << 32) + 7);
    EXPECT_EQ(7u, GetTickCount());
    EXPECT_EQ((1ull << 32) + 7, platform::MillisecondsSinceStart());
}

TEST(TimeTest, UnderTheFakeClockOnlyTheFrameThreadMovesIt) {
    platform::ScopedFakeClock clock(1000);
    // A worker polling with long sleeps, as the sound and video workers do.
    std::atomic<bool> stop{false};
    std::atomic<int> polls{0};
    std::thread worker([&] {
        while (!stop) {
            Sleep(250);
            ++polls;
        }
    });
    const auto before = std::chrono::steady_clock::now();
    while (polls < 5) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(1000)) << "its waits are short";
    EXPECT_EQ(1000u, GetTickCount()) << "and leave the game's time alone";
    Sleep(40);  // the thread that set the clock drives it
    EXPECT_EQ(1040u, GetTickCount());
    stop = true;
    worker.join();
}
