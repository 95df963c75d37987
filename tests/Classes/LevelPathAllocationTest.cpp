// A path search allocates nothing once the caller's path vector and the search's room
// for its open list have grown: brains search every few steps of every battle.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "Classes/Level/CLevel.h"
#include "LevelFixtures.h"

namespace {
std::atomic<long> g_allocations{0};
}

#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

TEST(LevelPathAllocationTest, SearchesAllocateNothingOnceWarm) {
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
    const CUnit walker(&level, -1, 1, "", 0, 0, 10, 100);
    std::vector<CLevelNode*> path;
    ASSERT_EQ(1, level.FindPath(&walker, level.GetCell(0, 0), level.GetCell(19, 5), path, 0, 0, 0));
    const size_t length = path.size();

    const long before = g_allocations.load();
    int found = 0;
    for (int i = 0; i < 50; ++i) {
        found += level.FindPath(&walker, level.GetCell(0, 0), level.GetCell(19, 5), path, 0, 0, 0);
        found += level.FindPath(&walker, level.GetCell(19, 0), level.GetCell(0, 5), path, 1, 1, 4000);
    }
    const long allocations = g_allocations.load() - before;
    EXPECT_EQ(0, allocations);
    EXPECT_GE(found, 50);
    ASSERT_EQ(1, level.FindPath(&walker, level.GetCell(0, 0), level.GetCell(19, 5), path, 0, 0, 0));
    EXPECT_EQ(length, path.size());
}
