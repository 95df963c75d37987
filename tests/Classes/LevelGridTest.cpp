// The level grid: cell look-ups, cell queries, nearest free cell, occupancy and world
// positions.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "Classes/Level/CLevel.h"
#include "LevelFixtures.h"

using namespace levelfixtures;

TEST(LevelGridTest, CellLookupsDivideTowardZeroAndStayInsideTheGrid) {
    CLevel level("");
    ASSERT_EQ(1, level.CreateGrid(4, 3));
    struct Case {
        int32_t x, y;
        int32_t column, row;  // -1: no cell
        int positionValid;
    };
    const Case cases[] = {
        {-250, 250, 0, 0, 0},  // -499..-1 still fall in column 0
        {-500, 0, -1, -1, 0},  {0, -499, 0, 0, 0},        {0, 0, 0, 0, 1},
        {1999, 1499, 3, 2, 1}, {2000, 0, -1, -1, 0},      {0, 1500, -1, -1, 0},
        {750, 1250, 1, 2, 1},  {INT32_MIN, 0, -1, -1, 0}, {INT32_MAX, INT32_MAX, -1, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x << ", " << c.y);
        CLevelNode* cell = level.GetCellAt(c.x, c.y);
        if (c.column < 0) {
            EXPECT_EQ(nullptr, cell);
        } else {
            ASSERT_NE(nullptr, cell);
            EXPECT_EQ(level.GetCell(c.column, c.row), cell);
            EXPECT_EQ(c.column * 500, cell->GetPosition().x);
            EXPECT_EQ(c.row * 500, cell->GetPosition().y);
        }
        EXPECT_EQ(c.positionValid, level.IsPositionValid(c.x, c.y));
    }
    EXPECT_EQ(0, level.IsCellValid(-1, 0));
    EXPECT_EQ(0, level.IsCellValid(4, 0));
    EXPECT_EQ(1, level.IsCellValid(3, 2));
    EXPECT_EQ(level.GetCell(2, 1), level.GetCell(std::make_pair(2, 1)));
}

TEST(LevelGridTest, GridLifetime) {
    CLevel level("");
    EXPECT_EQ(nullptr, level.GetCell(0, 0));  // an empty level answers null everywhere
    EXPECT_EQ(0, level.IsPositionValid(0, 0));

    ASSERT_EQ(1, level.CreateGrid(3, 2));
    level.GetCell(1, 1)->SetObject(750, 750, "tree.pod", 1, 1, 1);
    EXPECT_EQ(0, level.CreateGrid(0, 5));  // a zero side destroys the grid and makes none
    EXPECT_FALSE(level.HasGrid());
    EXPECT_EQ(nullptr, level.GetCell(0, 0));

    // Sides beyond what int32 positions and path costs allow are cut.
    ASSERT_EQ(1, level.CreateGrid(100000, 2));
    EXPECT_EQ(CLevel::kMaxGridSide, level.GetWidth());
    EXPECT_EQ(2u, level.GetHeight());
    const CLevelNode* last = level.GetCell(static_cast<int32_t>(CLevel::kMaxGridSide) - 1, 1);
    ASSERT_NE(nullptr, last);
    EXPECT_EQ(static_cast<int32_t>(CLevel::kMaxGridSide - 1) * 500, last->GetPosition().x);
    EXPECT_FALSE(last->HasObject());
}

TEST(LevelGridTest, CellQueries) {
    CLevel level("");
    level.CreateGrid(3, 3);
    CLevelNode* centre = level.GetCell(1, 1);
    EXPECT_EQ(1, centre->IsAdjacent(centre));
    EXPECT_EQ(1, centre->IsAdjacent(level.GetCell(0, 0)));
    EXPECT_EQ(0, level.GetCell(0, 0)->IsAdjacent(level.GetCell(2, 0)));
    EXPECT_EQ(0, centre->IsAdjacent(nullptr));
    EXPECT_EQ(500.0f, centre->DistanceTo(level.GetCell(1, 0)));
    EXPECT_EQ(707.0f, centre->DistanceTo(level.GetCell(0, 0)));
    EXPECT_EQ(1000.0f, centre->ManhattanDistanceTo(level.GetCell(0, 0)));
    EXPECT_EQ(1000, centre->ManhattanTo(IntVector3(0, 0, 0)));

    struct Case {
        int32_t blocksMovement, blocksSight;
        bool walkable, transparent;
    };
    const Case cases[] = {{0, 0, true, true}, {1, 0, false, true}, {0, 1, true, false}, {1, 1, false, false}};
    for (const Case& c : cases) {
        centre->SetObject(750, 750, "rock.pod", 1, c.blocksMovement, c.blocksSight);
        EXPECT_EQ(c.walkable, centre->IsWalkable());
        EXPECT_EQ(c.transparent, centre->IsTransparent());
    }
    // An invisible object blocks all the same.
    centre->SetObject(750, 750, "", 0, 1, 0);
    EXPECT_FALSE(centre->IsWalkable());
    EXPECT_EQ(0, centre->GetObject()->GetShown());
}

TEST(LevelGridTest, NearestFreeCellSearchesGrowingSquares) {
    TestData data;
    data.Load();
    CLevel level("");
    level.CreateGrid(7, 7);
    CLevelNode* centre = level.GetCell(3, 3);
    // The given cell itself never counts, free or not.
    EXPECT_EQ(level.GetCell(2, 2), level.FindNearestFreeCell(centre));

    for (int32_t row = 2; row <= 4; ++row)
        for (int32_t column = 2; column <= 4; ++column)
            if (column != 3 || row != 3) PlaceUnit(level, level.GetCell(column, row), 0, false);
    // Radius 2, first row, first column.
    EXPECT_EQ(level.GetCell(1, 1), level.FindNearestFreeCell(centre));
    level.GetCell(1, 1)->SetObject(750, 750, "tree.pod", 1, 1, 1);
    EXPECT_EQ(level.GetCell(2, 1), level.FindNearestFreeCell(centre));
    EXPECT_EQ(nullptr, level.FindNearestFreeCell(nullptr));

    CLevel full("");
    full.CreateGrid(5, 5);
    for (int32_t row = 0; row < 5; ++row)
        for (int32_t column = 0; column < 5; ++column)
            if ((column + row) % 2) {
                PlaceUnit(full, full.GetCell(column, row), 0, false);
            } else {
                full.GetCell(column, row)->SetObject(0, 0, "", 0, 1, 0);
            }
    EXPECT_EQ(nullptr, full.FindNearestFreeCell(full.GetCell(0, 0)));
}

TEST(LevelGridTest, OccupancyFollowsLivingUnits) {
    TestData data;
    data.AddDefender("Guard");
    data.Load();
    CLevel level("");
    level.CreateGrid(4, 4);
    CLevelNode* a = level.GetCell(0, 0);
    CLevelNode* b = level.GetCell(1, 0);
    boost::shared_ptr<CUnit> unit = PlaceUnit(level, a, 0, false);
    std::vector<boost::shared_ptr<CSpawnPoint>> spots;
    const boost::shared_ptr<CUnit> pursuer = SpawnOnCell(level, spots, "Guard", CUnit::kDefender, 3, 3);
    pursuer->GetBrain()->SetTarget(unit);
    pursuer->GetBrain()->SetState(CGenericBrain::kMove);
    pursuer->GetBrain()->GetPath() = {level.GetCell(1, 1), level.GetCell(2, 2)};

    level.SetUnitCell(unit, a, b);
    EXPECT_FALSE(a->HasOccupant());
    EXPECT_EQ(unit, b->GetOccupant().lock());
    // Both cells given: the list hears of it, and a moving pursuer drops its goal cell.
    const std::vector<CLevelNode*> shortened = {level.GetCell(2, 2)};
    EXPECT_EQ(shortened, pursuer->GetBrain()->GetPath());
    pursuer->GetBrain()->GetPath().insert(pursuer->GetBrain()->GetPath().begin(), level.GetCell(1, 1));
    level.SetUnitCell(unit, nullptr, a);
    EXPECT_EQ(2u, pursuer->GetBrain()->GetPath().size());

    // A dead unit leaves its old cell and takes no new one.
    unit->SetHitPoints(0);
    level.SetUnitCell(unit, b, level.GetCell(2, 0));
    EXPECT_FALSE(b->HasOccupant());
    EXPECT_FALSE(level.GetCell(2, 0)->HasOccupant());

    // An expired unit changes nothing.
    boost::weak_ptr<CUnit> gone;
    {
        boost::shared_ptr<CUnit> temporary(new CUnit(&level, 99, "", CUnit::kAttacker, boost::weak_ptr<CSpawnPoint>()));
        gone = temporary;
    }
    a->SetOccupant(unit);
    level.SetUnitCell(gone, a, b);
    EXPECT_TRUE(a->HasOccupant());
}

TEST(LevelGridTest, MoveUnitToCellFindsTheOldCellAroundTheHint) {
    TestData data;
    data.Load();
    CLevel level("");
    level.CreateGrid(4, 4);
    boost::shared_ptr<CUnit> unit = PlaceUnit(level, level.GetCell(2, 1), 0, false);
    level.MoveUnitToCell(unit, level.GetCell(1, 1), level.GetCell(3, 3));
    EXPECT_FALSE(level.GetCell(2, 1)->HasOccupant());
    EXPECT_EQ(unit, level.GetCell(3, 3)->GetOccupant().lock());
    // Nothing held by the unit around the hint: only the new cell changes.
    level.MoveUnitToCell(unit, level.GetCell(0, 0), level.GetCell(0, 3));
    EXPECT_TRUE(level.GetCell(3, 3)->HasOccupant());
    EXPECT_EQ(unit, level.GetCell(0, 3)->GetOccupant().lock());
}

TEST(LevelGridTest, RebuildOccupancyLetsTheLaterLivingUnitWin) {
    TestData data;
    data.Load();
    CLevel level("");
    level.CreateGrid(4, 4);
    CLevelNode* cell = level.GetCell(1, 1);
    boost::shared_ptr<CUnit> first = PlaceUnit(level, cell, 0, false);
    boost::shared_ptr<CUnit> second = PlaceUnit(level, cell, 0, false);
    boost::shared_ptr<CUnit> dead = PlaceUnit(level, level.GetCell(2, 2), 0, false, 0);
    boost::shared_ptr<CUnit> outside = PlaceUnit(level, level.GetCell(0, 3), 0, false);
    level.GetCell(0, 3)->SetOccupant(boost::weak_ptr<CUnit>());
    outside->SetPosition(IntVector3(-600, 0, 0));
    level.GetCell(3, 3)->SetOccupant(first);  // stale entry

    level.RebuildOccupancy();
    EXPECT_EQ(second, cell->GetOccupant().lock());
    EXPECT_FALSE(level.GetCell(2, 2)->HasOccupant());
    EXPECT_FALSE(level.GetCell(3, 3)->HasOccupant());
    EXPECT_EQ(second, level.FindUnit(second->GetId()));
    EXPECT_EQ(nullptr, level.FindUnit(1234).get());
}

TEST(LevelGridTest, WorldPositionsFollowTheCellScale) {
    CLevel level("");
    const Vector3 world = level.ToWorld(IntVector3(500, 250, -1000));
    EXPECT_FLOAT_EQ(15.0f, world.x);
    EXPECT_FLOAT_EQ(7.5f, world.y);
    EXPECT_FLOAT_EQ(-30.0f, world.z);
    EXPECT_FLOAT_EQ(15.0f, CLevel::LevelToWorld(500));
    EXPECT_FLOAT_EQ(7.5f, CLevel::LevelToWorld(250));

    level.AdjustCellScale(100);
    EXPECT_EQ(30, level.GetCellScale());
    EXPECT_FLOAT_EQ(30.0f, level.ToWorld(Vector3(500.0f, 0.0f, 0.0f)).x);
    level.AdjustCellScale(INT32_MIN);
    EXPECT_EQ(1, level.GetCellScale());
}

TEST(LevelGridTest, KeeperAliveAsksTheUnitList) {
    TestData data;
    data.AddDefender("Keeper").type = "DungeonKeeper";
    data.AddDefender("Guard");
    data.Load();
    CLevel level("");
    level.CreateGrid(2, 2);
    const LevelInService service(level);
    EXPECT_EQ(0, level.IsKeeperAlive());
    const boost::shared_ptr<CSpawnPoint> place(
        new CSpawnPoint(&level, 0, 0, 250, 250, 0, CSpawnPoint::kKeeperPlace, 0));
    level.GetUnitList().SpawnUnit("Guard", place, CUnit::kDefender, false, true);
    EXPECT_EQ(0, level.IsKeeperAlive());
    const boost::shared_ptr<CUnit> keeper =
        level.GetUnitList().SpawnUnit("Keeper", place, CUnit::kDefender, false, true);
    EXPECT_EQ(1, level.IsKeeperAlive());
    keeper->SetHitPoints(0);
    EXPECT_EQ(0, level.IsKeeperAlive());
}
