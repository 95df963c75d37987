// The sample map's level, read from the generated data as the game reads it (through
// config.xml and the game dictionary): its grid and markers, and every defender spot,
// spawn point and route connected to the keeper.
#include <gtest/gtest.h>

#include <iterator>
#include <set>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CWayPoint.h"
#include "LevelFixtures.h"
#include "tools/catalogue/GameData.h"
#include "tools/catalogue/Level.h"

using namespace levelfixtures;
namespace cl = catalogue::level;
namespace gd = catalogue::gamedata;

namespace {

class LevelSampleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data_.Read());
        level_.reset(new CLevel(gd::kMapName));
    }
    void TearDown() override { level_.reset(); }

    CLevelNode* Cell(const cl::Cell& cell) const { return level_->GetCell(cell.column, cell.row); }

    // Every branch from the point reaches, leg by leg, a way point without links from
    // which the keeper can be walked to; no branch loops.
    void FollowRoutes(const CLevelPoint& point, CLevelNode* keeper, std::set<const CLevelPoint*>& onRoute, int& ends) {
        std::vector<CLevelNode*> path;
        if (point.GetLinks().empty()) {
            ++ends;
            EXPECT_EQ(1, level_->FindPath(nullptr, level_->GetCellOf(&point), keeper, path, 1, 0, 0));
            return;
        }
        onRoute.insert(&point);
        for (const boost::shared_ptr<CWayPoint>& next : point.GetLinks()) {
            ASSERT_EQ(0u, onRoute.count(next.get())) << "route loops at way point " << next->GetId();
            EXPECT_EQ(1, level_->FindPath(nullptr, level_->GetCellOf(&point), level_->GetCellOf(next), path, 0, 0, 0))
                << point.GetId() << " -> " << next->GetId();
            FollowRoutes(*next, keeper, onRoute, ends);
        }
        onRoute.erase(&point);
    }

    SampleData data_;
    std::unique_ptr<CLevel> level_;
};

}  // namespace

TEST_F(LevelSampleTest, GridAndMarkersAsCatalogued) {
    AssertionRecorder assertions;
    ASSERT_NE(nullptr, level_->GetMapDefinition());
    ASSERT_TRUE(level_->HasGrid());
    EXPECT_EQ(static_cast<uint32_t>(cl::kGridColumns), level_->GetWidth());
    EXPECT_EQ(static_cast<uint32_t>(cl::kGridRows), level_->GetHeight());
    EXPECT_EQ(cl::kCellScale, level_->GetCellScale());

    const std::vector<boost::weak_ptr<CSpawnPoint>>& keepers = level_->GetSpawnPoints(CSpawnPoint::kKeeperPlace);
    ASSERT_EQ(1u, keepers.size());
    EXPECT_EQ(Cell(cl::kKeeperPlace), level_->GetCellOf(keepers[0]));
    for (const cl::Entry& entry : cl::kEntries) {
        const boost::shared_ptr<CSpawnPoint> point =
            level_->FindSpawnPoint(CSpawnPoint::kAttackerEntry, entry.attackerId).lock();
        ASSERT_TRUE(point) << entry.attackerId;
        EXPECT_EQ(Cell(entry.cell), level_->GetCellOf(point));
    }
    for (const cl::Spot& spot : cl::kDefenderSpots) {
        const boost::shared_ptr<CSpawnPoint> point =
            level_->FindSpawnPoint(CSpawnPoint::kDefenderSlot, spot.defenderId).lock();
        ASSERT_TRUE(point) << spot.defenderId;
        EXPECT_EQ(Cell(spot.cell), level_->GetCellOf(point));
        EXPECT_EQ(spot.variant, point->GetVariant());
        EXPECT_TRUE(level_->GetCellOf(point)->IsWalkable());
    }
    EXPECT_EQ(1 + std::size(cl::kEntries) + std::size(cl::kDefenderSpots), level_->GetMarkers().size());
    // Scenery of every kind: blocking both, movement only, and models as well as effects.
    int both = 0, movementOnly = 0, models = 0, effects = 0;
    for (uint32_t row = 0; row < level_->GetHeight(); ++row)
        for (uint32_t column = 0; column < level_->GetWidth(); ++column) {
            const CLevelNode* cell = level_->GetCell(static_cast<int32_t>(column), static_cast<int32_t>(row));
            if (!cell->HasObject()) continue;
            both += !cell->IsWalkable() && !cell->IsTransparent();
            movementOnly += !cell->IsWalkable() && cell->IsTransparent();
            const std::string& name = cell->GetObject()->GetName();
            models += name.size() > 4 && name.compare(name.size() - 4, 4, ".pod") == 0;
            effects += name.size() > 4 && name.compare(name.size() - 4, 4, ".prt") == 0;
        }
    EXPECT_GT(both, 0);
    EXPECT_GT(movementOnly, 0);
    EXPECT_GT(models, 0);
    EXPECT_GT(effects, 0);
    EXPECT_TRUE(assertions.Messages().empty());
}

TEST_F(LevelSampleTest, EverySpotAndRouteConnectsToTheKeeper) {
    level_->ComputeReachability();
    CLevelNode* keeper = Cell(cl::kKeeperPlace);
    std::vector<CLevelNode*> path;
    for (const boost::shared_ptr<CSpawnPoint>& point : level_->GetMarkers()) {
        SCOPED_TRACE(point->GetId());
        if (point->IsDefenderSpot()) {
            EXPECT_TRUE(point->IsReachable());
        }
        if (point->GetKind() != CSpawnPoint::kKeeperPlace) {
            EXPECT_EQ(1, level_->FindPath(nullptr, level_->GetCellOf(point), keeper, path, 1, 0, 0));
        }
    }
    int ends = 0;
    std::set<const CLevelPoint*> onRoute;
    for (const boost::shared_ptr<CSpawnPoint>& point : level_->GetMarkers())
        if (point->GetKind() == CSpawnPoint::kAttackerEntry) {
            // Routes branch: an entry offers more than one way.
            EXPECT_GT(point->GetLinks().size(), 1u);
            FollowRoutes(*point, keeper, onRoute, ends);
        }
    EXPECT_GT(ends, 2);
}

TEST_F(LevelSampleTest, SceneObjectsAndTheKeeper) {
    BattleScope scope(gd::kMapName);
    scope.RegisterLevel(level_.get());
    level_->CreateSceneObjects();
    // The map's particle entries are placed as objects at their cells.
    EXPECT_EQ(level_->GetMapDefinition()->particles.size(), level_->GetPlacedObjects().size());
    EXPECT_FALSE(scope.World().empty());
    EXPECT_EQ(1, level_->SpawnKeeper());
    EXPECT_EQ(1, level_->IsKeeperAlive());
    const boost::shared_ptr<CUnit> keeper = level_->GetUnitList().FindDungeonKeeper().lock();
    ASSERT_TRUE(keeper);
    EXPECT_EQ(gd::kKeeper, keeper->GetDefinitionName());
    EXPECT_EQ(keeper, Cell(cl::kKeeperPlace)->GetOccupant().lock());
    level_->Clear();
    EXPECT_TRUE(scope.World().empty());
}
