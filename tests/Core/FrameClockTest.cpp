#include "Core/FrameClock.h"

#include <gtest/gtest.h>

#include "platform/win32/Time.h"

TEST(FrameClockTest, TickMeasuresWholeMillisecondsSinceTheLastTick) {
    platform::ScopedFakeClock clock(500);
    ResetFrameClock();
    clock.Advance(33);
    EXPECT_EQ(33, TickFrameClock());
    EXPECT_FLOAT_EQ(0.033f, GetFrameDelta());

    // Two ticks within the same millisecond.
    EXPECT_EQ(0, TickFrameClock());
    EXPECT_EQ(0.0f, GetFrameDelta());

    clock.Advance(1500);
    EXPECT_EQ(1500, TickFrameClock());
    EXPECT_FLOAT_EQ(1.5f, GetFrameDelta());
    EXPECT_FLOAT_EQ(2033.0f, GetClockMilliseconds());
    EXPECT_EQ(2033u, GetTickCountMs());
}

TEST(FrameClockTest, FirstDeltaIncludesEverythingSinceTheReset) {
    platform::ScopedFakeClock clock(0);
    ResetFrameClock();
    clock.Advance(2750);  // start-up
    TickFrameClock();
    EXPECT_FLOAT_EQ(2.75f, GetFrameDelta());
}

TEST(FrameClockTest, ElapsedSecondsCutsToWholeMilliseconds) {
    EXPECT_FLOAT_EQ(1.234f, ElapsedSeconds(100.0f, 1334.9f));
    EXPECT_FLOAT_EQ(0.0f, ElapsedSeconds(5.0f, 5.9f));
}
