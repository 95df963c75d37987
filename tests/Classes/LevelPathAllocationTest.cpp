// A path search allocates nothing once the caller's path vector and the search's room
// for its open list have grown: brains search every few steps of every battle.
#include <gtest/gtest.h>

#include "Classes/Level/CLevel.h"
#include "LevelFixtures.h"
#include "support/AllocationCounter.h"

TEST(LevelPathAllocationTest, SearchesAllocateNothingOnceWarm) {
    levelfixtures::TestData data;
    data.Load();
    CLevel level("");
    levelfixtures::DrawGrid(level, {
                                       "..........#.........",
                                       ".######...#..#####..",
                                       "......#...#......#..",
                                       "..u...#......m...#..",
                                       "......######.....#..",
                                       "..............#.....",
                                   });
    levelfixtures::PlaceUnit(level, level.GetCell(2, 3), 0, false);
    levelfixtures::PlaceUnit(level, level.GetCell(13, 3), 50, true);
    const CUnit walker(&level, -1, levelfixtures::SpeedUnit(100), CUnit::kAttacker, boost::weak_ptr<CSpawnPoint>());
    std::vector<CLevelNode*> path;
    ASSERT_EQ(1, level.FindPath(&walker, level.GetCell(0, 0), level.GetCell(19, 5), path, 0, 0, 0));
    const size_t length = path.size();

    const long before = testsupport::Allocations();
    int found = 0;
    for (int i = 0; i < 50; ++i) {
        found += level.FindPath(&walker, level.GetCell(0, 0), level.GetCell(19, 5), path, 0, 0, 0);
        found += level.FindPath(&walker, level.GetCell(19, 0), level.GetCell(0, 5), path, 1, 1, 4000);
    }
    const long allocations = testsupport::Allocations() - before;
    EXPECT_EQ(0, allocations);
    EXPECT_GE(found, 50);
    ASSERT_EQ(1, level.FindPath(&walker, level.GetCell(0, 0), level.GetCell(19, 5), path, 0, 0, 0));
    EXPECT_EQ(length, path.size());
}
