// Path search and line of sight on small drawn grids, and the search checked against a
// literal open-list implementation on random grids.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "Classes/Level/CLevel.h"
#include "LevelFixtures.h"

using namespace levelfixtures;

namespace {

// Units need the game data of their speeds.
class LevelPathTest : public ::testing::Test {
protected:
    LevelPathTest() { data_.Load(); }
    TestData data_;
};

struct Search {
    std::vector<std::string> rows;
    int32_t stopBeforeGoal = 0;
    int32_t ignoreStillUnits = 0;
    int32_t range = 0;
};

// Draws the rows ('S' start, 'G' goal, 'X' both, 'u' a still unit, 'U' one still
// on the goal, 'm' a slow moving unit, 'M' a fast one, '#' 'o' '|' scenery) and searches
// with a walker of speed 200.
struct Result {
    int found;
    std::vector<CLevelNode*> path;
};

Result SearchDrawn(CLevel& level, const Search& search) {
    DrawGrid(level, search.rows);
    for (size_t row = 0; row < search.rows.size(); ++row)
        for (size_t column = 0; column < search.rows[row].size(); ++column) {
            CLevelNode* cell = level.GetCell(static_cast<int32_t>(column), static_cast<int32_t>(row));
            switch (search.rows[row][column]) {
                case 'u':
                case 'U': PlaceUnit(level, cell, 100, false); break;
                case 'm': PlaceUnit(level, cell, 100, true); break;
                case 'M': PlaceUnit(level, cell, 300, true); break;
                default: break;
            }
        }
    const CUnit walker(&level, -1, SpeedUnit(200), CUnit::kAttacker, boost::weak_ptr<CSpawnPoint>());
    Result result;
    CLevelNode* start = Find(level, search.rows, 'S');
    CLevelNode* goal = Find(level, search.rows, 'G');
    if (goal == nullptr) goal = Find(level, search.rows, 'U');
    if (start == nullptr) start = goal = Find(level, search.rows, 'X');
    result.path.assign(3, nullptr);  // whatever the caller's vector held goes
    result.found =
        level.FindPath(&walker, start, goal, result.path, search.stopBeforeGoal, search.ignoreStillUnits, search.range);
    return result;
}

std::vector<std::pair<int32_t, int32_t>> Cells(const std::vector<CLevelNode*>& path) {
    std::vector<std::pair<int32_t, int32_t>> cells;
    for (const CLevelNode* cell : path) cells.push_back({cell->GetPosition().x / 500, cell->GetPosition().y / 500});
    return cells;
}

}  // namespace

TEST_F(LevelPathTest, FindsOrRefusesAsTheGridAllows) {
    struct Case {
        const char* what;
        Search search;
        int found;
        size_t length;
    };
    const Case cases[] = {
        {"straight line", {{"S....G"}}, 1, 5},
        {"start is the goal", {{"..", ".X"}}, 1, 0},
        {"corner between two blocked cells", {{"S#", "#G"}}, 0, 0},
        {"corner past one blocked cell goes round", {{"S.", "#G"}}, 1, 2},
        {"scenery blocking sight only is walkable", {{"S|G"}}, 1, 2},
        {"scenery blocking movement only is not", {{"SoG"}}, 0, 0},
        {"units on the side cells do not stop a diagonal", {{"Su", "uG"}}, 1, 1},
        {"a still unit blocks", {{"S.u.G"}}, 0, 0},
        {"unless still units are ignored", {{"S.u.G"}, 0, 1}, 1, 4},
        {"a still unit on the goal blocks it", {{"S..U"}}, 0, 0},
        {"stopping before it ends next to it", {{"S..U"}, 1}, 1, 2},
        {"ignoring still units reaches it", {{"S..U"}, 0, 1}, 1, 3},
        {"stopping before a free goal leaves it out too", {{"S..G"}, 1}, 1, 2},
        {"a slower mover next to the start blocks", {{"Sm..G"}}, 0, 0},
        {"a faster mover next to the start does not", {{"SM..G"}}, 1, 4},
        {"a slower mover further away does not", {{"S.m.G"}}, 1, 4},
        {"range 7500: 15 cells ahead is found", {{"S..............G"}, 0, 0, 7500}, 1, 15},
        {"range 7500: 16 cells ahead is not", {{"S...............G"}, 0, 0, 7500}, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CLevel level("");
        const Result result = SearchDrawn(level, c.search);
        EXPECT_EQ(c.found, result.found);
        EXPECT_EQ(c.length, result.path.size());
    }
    // A cell past this grid's edges (of a larger grid) is refused, not searched from.
    CLevel small(""), large("");
    small.CreateGrid(3, 3);
    large.CreateGrid(40, 40);
    std::vector<CLevelNode*> path;
    EXPECT_EQ(0, small.FindPath(nullptr, large.GetCell(30, 30), small.GetCell(0, 0), path, 0, 0, 0));
    EXPECT_EQ(0, small.FindPath(nullptr, small.GetCell(0, 0), large.GetCell(3, 0), path, 0, 0, 0));
}

TEST_F(LevelPathTest, PathRunsFromTheGoalBackAndLeavesTheStartOut) {
    CLevel level("");
    const Result result = SearchDrawn(level, {{"S..", "##.", "G.."}});
    ASSERT_EQ(1, result.found);
    // No corner is cut past the blocked row: the path turns in the last column.
    const std::vector<std::pair<int32_t, int32_t>> expected = {{0, 2}, {1, 2}, {2, 2}, {2, 1}, {2, 0}, {1, 0}};
    EXPECT_EQ(expected, Cells(result.path));
    // Each cell's parent is the next one of the path; the start has none.
    EXPECT_EQ(result.path[1], result.path[0]->GetParent());
    EXPECT_EQ(level.GetCell(0, 0), result.path.back()->GetParent());
    EXPECT_EQ(nullptr, level.GetCell(0, 0)->GetParent());

    std::vector<CLevelNode*> path(2, nullptr);
    EXPECT_EQ(0, level.FindPath(nullptr, nullptr, level.GetCell(0, 0), path, 0, 0, 0));
    EXPECT_EQ(0, level.FindPath(nullptr, level.GetCell(0, 0), nullptr, path, 0, 0, 0));
}

TEST_F(LevelPathTest, EqualCostsGoToTheCellOpenedFirst) {
    // Round the blocked middle both ways cost the same; the neighbour order opens the
    // upper cell (row 0) first, so the path takes that side.
    CLevel level("");
    const Result result = SearchDrawn(level, {{"...", "S#G", "..."}});
    ASSERT_EQ(1, result.found);
    const std::vector<std::pair<int32_t, int32_t>> expected = {{2, 1}, {2, 0}, {1, 0}, {0, 0}};
    EXPECT_EQ(expected, Cells(result.path));
}

namespace {

// The values a search leaves in a cell it reached.
struct Values {
    int32_t g = 0, h = 0, f = 0;
    CLevelNode* parent = nullptr;
    bool closed = false;
};

// The search as a plain insertion-ordered open list scanned for the smallest f, with a
// closed set: the behaviour the heap in the level must reproduce exactly. `reached`
// receives the values of every cell the search reached.
int ReferenceFindPath(CLevel& level, const CUnit* unit, CLevelNode* start, CLevelNode* goal,
                      std::vector<CLevelNode*>& path, int32_t stop, int32_t ignore, int32_t range,
                      std::map<CLevelNode*, Values>* reached = nullptr) {
    static const int32_t kOffsets[8][2] = {{-500, -500}, {0, -500},   {500, -500}, {-500, 0},
                                           {500, 0},     {-500, 500}, {0, 500},    {500, 500}};
    path.clear();
    if (start == nullptr || goal == nullptr) return 0;
    std::map<CLevelNode*, Values> own;
    std::map<CLevelNode*, Values>& values = reached != nullptr ? *reached : own;
    values.clear();
    values[start] = Values();
    std::vector<CLevelNode*> open{start};
    std::set<CLevelNode*> closed;
    const int32_t speed = unit != nullptr ? unit->GetSpeed() : 0;
    while (!open.empty()) {
        auto best = open.begin();
        for (auto it = open.begin(); it != open.end(); ++it)
            if (values[*it].f < values[*best].f) best = it;
        CLevelNode* current = *best;
        open.erase(best);
        closed.insert(current);
        values[current].closed = true;
        if (current == goal) {
            for (CLevelNode* cell = goal; values[cell].parent != nullptr; cell = values[cell].parent)
                if (!(stop && cell == goal)) path.push_back(cell);
            return 1;
        }
        const IntVector3 at = current->GetPosition();
        for (const auto& offset : kOffsets) {
            CLevelNode* candidate = level.GetCellAt(at.x + offset[0], at.y + offset[1]);
            if (candidate == nullptr || !candidate->IsWalkable()) continue;
            if (range > 0 && start->ManhattanTo(candidate->GetPosition()) > range) continue;
            if (candidate->HasOccupant()) {
                const boost::shared_ptr<CUnit> occupant = candidate->GetOccupant().lock();
                if (occupant->IsMoving() && candidate->IsAdjacent(start) && occupant->GetSpeed() < speed) continue;
                if (!occupant->IsMoving() && !ignore && !(stop && candidate == goal)) continue;
            }
            if (offset[0] != 0 && offset[1] != 0) {
                const CLevelNode* a = level.GetCellAt(at.x + offset[0], at.y);
                const CLevelNode* b = level.GetCellAt(at.x, at.y + offset[1]);
                if (a == nullptr || !a->IsWalkable() || b == nullptr || !b->IsWalkable()) continue;
            }
            if (closed.count(candidate)) continue;
            const int32_t g = static_cast<int32_t>(values[current].g + current->DistanceTo(candidate));
            Values& v = values[candidate];
            if (std::find(open.begin(), open.end(), candidate) == open.end()) {
                v.g = g;
                v.h = static_cast<int32_t>(candidate->DistanceTo(goal));
                v.f = v.g + v.h;
                v.parent = current;
                open.push_back(candidate);
            } else if (g < v.g) {
                v.g = g;
                v.f = g + v.h;
                v.parent = current;
            }
        }
    }
    return 0;
}

}  // namespace

TEST_F(LevelPathTest, MatchesTheOpenListSearchOnRandomGrids) {
    std::mt19937 random(20240607);
    int found = 0;
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        CLevel level("");
        const int32_t width = 4 + static_cast<int32_t>(random() % 14);
        const int32_t height = 4 + static_cast<int32_t>(random() % 10);
        level.CreateGrid(static_cast<uint32_t>(width), static_cast<uint32_t>(height));
        for (int32_t row = 0; row < height; ++row)
            for (int32_t column = 0; column < width; ++column) {
                CLevelNode* cell = level.GetCell(column, row);
                const unsigned roll = random() % 100;
                if (roll < 22) {
                    cell->SetObject(0, 0, "", 0, 1, 1);
                } else if (roll < 30) {
                    PlaceUnit(level, cell, static_cast<int32_t>(random() % 8) * 50, (random() % 2) != 0);
                }
            }
        const CUnit walker(&level, -1, SpeedUnit(static_cast<int32_t>(random() % 8) * 50), CUnit::kAttacker,
                           boost::weak_ptr<CSpawnPoint>());
        CLevelNode* start =
            level.GetCell(static_cast<int32_t>(random() % width), static_cast<int32_t>(random() % height));
        CLevelNode* goal =
            level.GetCell(static_cast<int32_t>(random() % width), static_cast<int32_t>(random() % height));
        const int32_t stop = static_cast<int32_t>(random() % 2);
        const int32_t ignore = static_cast<int32_t>(random() % 2);
        const int32_t range = random() % 3 == 0 ? static_cast<int32_t>(random() % 6000) : 0;
        std::vector<CLevelNode*> expected;
        std::vector<CLevelNode*> actual;
        const int reference = ReferenceFindPath(level, &walker, start, goal, expected, stop, ignore, range);
        EXPECT_EQ(reference, level.FindPath(&walker, start, goal, actual, stop, ignore, range));
        EXPECT_EQ(Cells(expected), Cells(actual));
        found += reference;
    }
    // Enough of both outcomes for the comparison to mean something.
    EXPECT_GT(found, 100);
    EXPECT_LT(found, 290);
}

// One level searched again and again: every search starts from cleared cells, and the
// cells hold the values of the last search only (zero where it did not reach).
TEST_F(LevelPathTest, RepeatedSearchesOnOneLevelLeaveOnlyTheLastSearchInTheCells) {
    std::mt19937 random(1207);
    CLevel level("");
    const int32_t width = 16, height = 11;
    level.CreateGrid(width, height);
    for (int32_t row = 0; row < height; ++row)
        for (int32_t column = 0; column < width; ++column) {
            const unsigned roll = random() % 100;
            if (roll < 18) {
                level.GetCell(column, row)->SetObject(0, 0, "", 0, 1, 1);
            } else if (roll < 24) {
                PlaceUnit(level, level.GetCell(column, row), static_cast<int32_t>(random() % 8) * 50,
                          (random() % 2) != 0);
            }
        }
    const CUnit walker(&level, -1, SpeedUnit(200), CUnit::kAttacker, boost::weak_ptr<CSpawnPoint>());
    std::vector<CLevelNode*> expected;
    std::vector<CLevelNode*> actual;
    // Searches on another level come between, and now and then a cell is blocked.
    CLevel other("");
    other.CreateGrid(5, 7);
    int found = 0;
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        other.FindPath(nullptr, other.GetCell(0, 0), other.GetCell(4, 6), actual, 0, 0, 0);
        if (round % 10 == 9)
            level.GetCell(static_cast<int32_t>(random() % width), static_cast<int32_t>(random() % height))
                ->SetObject(0, 0, "", 0, 1, 1);
        CLevelNode* start =
            level.GetCell(static_cast<int32_t>(random() % width), static_cast<int32_t>(random() % height));
        CLevelNode* goal =
            level.GetCell(static_cast<int32_t>(random() % width), static_cast<int32_t>(random() % height));
        const int32_t stop = static_cast<int32_t>(random() % 2);
        const int32_t ignore = static_cast<int32_t>(random() % 2);
        const int32_t range = random() % 3 == 0 ? static_cast<int32_t>(random() % 5000) : 0;
        std::map<CLevelNode*, Values> reached;
        const int reference = ReferenceFindPath(level, &walker, start, goal, expected, stop, ignore, range, &reached);
        ASSERT_EQ(reference, level.FindPath(&walker, start, goal, actual, stop, ignore, range));
        ASSERT_EQ(Cells(expected), Cells(actual));
        found += reference;
        int mismatches = 0;
        for (int32_t row = 0; row < height; ++row)
            for (int32_t column = 0; column < width; ++column) {
                const CLevelNode* cell = level.GetCell(column, row);
                const auto it = reached.find(const_cast<CLevelNode*>(cell));
                const Values want = it != reached.end() ? it->second : Values();
                if (cell->GetG() != want.g || cell->GetH() != want.h || cell->GetF() != want.f ||
                    cell->GetParent() != want.parent || cell->IsClosed() != want.closed)
                    ++mismatches;
            }
        EXPECT_EQ(0, mismatches);
    }
    EXPECT_GT(found, 15);
    EXPECT_LT(found, 55);
}

TEST_F(LevelPathTest, LineOfSight) {
    CLevel level("");
    DrawGrid(level, {"......", ".|..#.", "......", "o....."});
    struct Case {
        const char* what;
        IntVector3 p, q;
        int clear;
    };
    const Case cases[] = {
        {"same row, open", {250, 250, 0}, {2750, 250, 0}, 1},
        {"same row, a sight blocker between", {250, 750, 0}, {2750, 750, 0}, 0},
        {"same column through a sight blocker", {750, 250, 0}, {750, 1750, 0}, 0},
        {"movement-only scenery lets sight through", {250, 1750, 0}, {2750, 1750, 0}, 1},
        {"diagonal past the blockers", {250, 1250, 0}, {1750, 1750, 0}, 1},
        {"diagonal over a blocker", {1250, 250, 0}, {2750, 1250, 0}, 0},
        {"a blocker at the end cell blocks", {2250, 250, 0}, {2250, 750, 0}, 0},
        {"one point is clear even on a blocker", {2250, 750, 0}, {2250, 750, 0}, 1},
        {"a line leaving the grid is not clear", {250, 250, 0}, {3250, 250, 0}, 0},
        {"far points do not overflow", {INT32_MIN, INT32_MIN, 0}, {INT32_MAX, INT32_MAX, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.clear, level.IsLineClear(c.p, c.q));
    }
    EXPECT_EQ(1, level.HasLineOfSight(level.GetCell(0, 2), level.GetCell(3, 3)));
    EXPECT_EQ(0, level.HasLineOfSight(level.GetCell(0, 0), level.GetCell(3, 2)));  // crosses (1, 1)
    EXPECT_EQ(0, level.HasLineOfSight(level.GetCell(0, 1), level.GetCell(5, 1)));
    EXPECT_EQ(0, level.HasLineOfSight(nullptr, level.GetCell(0, 0)));
}
