// The particle detail level: the level a frame's particle count computes, the
// vote that keeps it from flickering, and which particles each level draws.
#include "particles/ParticleDetailLevel.h"

#include <gtest/gtest.h>

#include "particles/ParticleFrameState.h"

namespace {

class ParticleDetailLevelTest : public ::testing::Test {
protected:
    void SetUp() override { ResetParticleDetailLevel(); }
    void TearDown() override { ResetParticleDetailLevel(); }

    // One frame that counted this many hosted particles.
    static void Frame(int32_t counted) {
        ParticleDrawCounters.hosted = counted;
        UpdateParticleDetailLevel();
    }
};

TEST_F(ParticleDetailLevelTest, LoadsGiveTheirLevel) {
    const struct {
        int32_t counted;
        int32_t level;
    } cases[] = {{0, 0}, {1499, 0}, {1500, 1}, {1700, 2}, {7500, 9}, {15000, 9}};
    for (const auto& c : cases) {
        ResetParticleDetailLevel();
        Frame(c.counted);  // from level 0 a jump of 2 or more is taken at once
        if (c.level >= 2) {
            EXPECT_EQ(GetParticleDetailLevel(), c.level) << c.counted;
        }
        // A single step needs the vote: 30 frames of the same load settle it.
        for (int i = 0; i < kParticleDetailHistory; ++i) Frame(c.counted);
        EXPECT_EQ(GetParticleDetailLevel(), c.level) << c.counted;
    }
    // Unhosted particles do not count, and the counters are cleared each frame.
    ResetParticleDetailLevel();
    ParticleDrawCounters.unhosted = 100000;
    UpdateParticleDetailLevel();
    EXPECT_EQ(GetParticleDetailLevel(), 0);
    EXPECT_EQ(ParticleDrawCounters.unhosted, 0);
}

TEST_F(ParticleDetailLevelTest, AStepOfOneWaitsForMoreThanTwentyOfThirtyVotes) {
    Frame(1700);  // 0 -> 2 at once
    ASSERT_EQ(GetParticleDetailLevel(), 2);
    for (int i = 0; i < kParticleDetailHistory; ++i) Frame(1500);  // level 1 settles
    ASSERT_EQ(GetParticleDetailLevel(), 1);

    // Alternating 1 and 2: at most 15 votes for 2, the level stays 1.
    for (int i = 0; i < 2 * kParticleDetailHistory; ++i) Frame(i % 2 ? 1500 : 1700);
    EXPECT_EQ(GetParticleDetailLevel(), 1);

    // 20 of the last 30 frames at 2 are not enough; the 21st is.
    for (int i = 0; i < 10; ++i) Frame(1500);
    for (int i = 0; i < 20; ++i) Frame(1700);
    EXPECT_EQ(GetParticleDetailLevel(), 1);
    Frame(1700);
    EXPECT_EQ(GetParticleDetailLevel(), 2);

    // Down by one the same way; the reset starts over at 0.
    for (int i = 0; i < 20; ++i) Frame(1500);
    EXPECT_EQ(GetParticleDetailLevel(), 2);
    Frame(1500);
    EXPECT_EQ(GetParticleDetailLevel(), 1);
    ResetParticleDetailLevel();
    EXPECT_EQ(GetParticleDetailLevel(), 0);
}

TEST_F(ParticleDetailLevelTest, EachLevelKeepsItsShareOfSerials) {
    // At level 0 and for small or unhosted emitters every particle is drawn.
    for (uint16_t serial = 0; serial < 10; ++serial) EXPECT_TRUE(IsParticleDrawnAtDetailLevel(true, 100, serial));
    for (int i = 0; i < 2; ++i) Frame(7500);
    ASSERT_EQ(GetParticleDetailLevel(), 9);
    for (uint16_t serial = 0; serial < 20; ++serial) {
        EXPECT_EQ(IsParticleDrawnAtDetailLevel(true, 5, serial), serial % 10 == 2) << serial;
        EXPECT_TRUE(IsParticleDrawnAtDetailLevel(true, 4, serial)) << serial;
        EXPECT_TRUE(IsParticleDrawnAtDetailLevel(false, 100, serial)) << serial;
    }
    // Level L keeps 10 - L of every 10 serials, each level a subset of the one below.
    int kept[kMaxParticleDetailLevel + 1] = {};
    bool previous[10];
    for (int level = 0; level <= kMaxParticleDetailLevel; ++level) {
        SetForcedParticleDetailLevel(level);
        // The forced level is the computed one; a step of one is voted in.
        for (int i = 0; i <= kParticleDetailHistory; ++i) Frame(0);
        ASSERT_EQ(GetParticleDetailLevel(), level);
        for (uint16_t serial = 0; serial < 10; ++serial) {
            const bool drawn = IsParticleDrawnAtDetailLevel(true, 50, serial);
            kept[level] += drawn;
            if (level > 0 && drawn) {
                EXPECT_TRUE(previous[serial]) << level << " " << serial;
            }
            previous[serial] = drawn;
        }
        EXPECT_EQ(kept[level], 10 - level);
    }
    // A serial that wrapped negative in a 16-bit counter takes its unsigned
    // value's column (level 8 keeps columns 2 and 8).
    SetForcedParticleDetailLevel(8);
    for (int i = 0; i <= kParticleDetailHistory; ++i) Frame(0);
    ASSERT_EQ(GetParticleDetailLevel(), 8);
    SetForcedParticleDetailLevel(-1);
    EXPECT_EQ(IsParticleDrawnAtDetailLevel(true, 50, static_cast<uint16_t>(int16_t(-8))), true);   // 65528: column 8
    EXPECT_EQ(IsParticleDrawnAtDetailLevel(true, 50, static_cast<uint16_t>(int16_t(-9))), false);  // 65527: column 7
}

}  // namespace
