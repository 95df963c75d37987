// Taps and hovering on the map of a battle set up on the sample data, on the recording
// device: spots, defenders and attackers are found by picks through the battle's scene
// at the pointer, and select, deselect or end the teleport targeting.
#include <gtest/gtest.h>

#include <cmath>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Core/Service.h"
#include "GameFixture.h"
#include "App/e2e/FlowScript.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/ModelNode.h"
#include "SceneGraph/Scene.h"
#include "SceneGraph/Switch.h"
#include "shell/PointerState.h"
#include "tools/catalogue/GameData.h"

namespace {

namespace gd = catalogue::gamedata;

class MapInputTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        game_->RunInitialize();
        RunLoading();
        battle_.reset(new CDunmarchGame(gd::kMapName));
        Service<CDunmarchGame>::Register(battle_.get());
        ASSERT_EQ(1, battle_->Init(false));
        battle_->Update(33, false, true);  // the first step builds the scene objects
        level_ = battle_->GetLevel().get();
        // Three spots far enough apart on the screen that one pick rectangle holds one.
        Refresh();
        std::vector<Vector2> places;
        for (const boost::weak_ptr<CSpawnPoint>& candidate : level_->GetSpawnPoints(CSpawnPoint::kDefenderSlot)) {
            const boost::shared_ptr<CSpawnPoint> spot = candidate.lock();
            const Vector2 place = ScreenOf(*spot);
            bool apart = place.x > 100.0f && place.y > 100.0f;
            for (const Vector2& other : places)
                apart = apart && (std::fabs(other.x - place.x) > 120.0f || std::fabs(other.y - place.y) > 120.0f);
            if (!apart || spots_.size() == 3) continue;
            spots_.push_back(spot);
            places.push_back(place);
        }
        ASSERT_EQ(3u, spots_.size());
    }
    void TearDown() override {
        if (battle_) {
            battle_->Stop();
            Service<CDunmarchGame>::Unregister();
            battle_.reset();
        }
        GetPointerState().position = Vector2();
        GameTest::TearDown();
    }

    // The scene's passes that picking reads: world places, then what is drawn.
    void Refresh() {
        battle_->GetScene()->Update(0.0f);
        battle_->GetScene()->Cull();
    }
    void PointAt(const Vector3& world) {
        Refresh();
        Vector3 screen;
        ASSERT_TRUE(battle_->GetCamera()->WorldToScreen(world, screen));
        GetPointerState().position = Vector2(screen.x, screen.y);
    }
    static const Vector3& PickPointOf(const CSpawnPoint& spot) {
        const sg::Switch& node = static_cast<const sg::Switch&>(*spot.GetNode());
        return static_cast<const sg::EmitterNode&>(*node.GetChildren()[0]).GetEmitterPickPoint();
    }
    Vector2 ScreenOf(const CSpawnPoint& spot) {
        Vector3 screen;
        battle_->GetCamera()->WorldToScreen(PickPointOf(spot), screen);
        return Vector2(screen.x, screen.y);
    }
    void PointAt(const CSpawnPoint& spot) {
        Refresh();
        PointAt(PickPointOf(spot));
    }
    void PointAt(const CUnit& unit) {
        Refresh();
        PointAt(unit.GetModelNode()->GetBoundingSphere().center);
    }
    int Tap() { return level_->OnMapInput(0, GetPointerState().position); }
    boost::shared_ptr<CUnit> Buy(const std::string& name, const boost::shared_ptr<CSpawnPoint>& spot) {
        return level_->GetUnitList().SpawnUnit(name, spot, CUnit::kDefender, false, true);
    }

    std::unique_ptr<CDunmarchGame> battle_;
    CLevel* level_ = nullptr;
    std::vector<boost::shared_ptr<CSpawnPoint>> spots_;
};

}  // namespace

TEST_F(MapInputTest, PickAreasFromTheMapViewTimesTheZoom) {
    const float zoom = battle_->GetZoomFactor();
    EXPECT_FLOAT_EQ(70.0f * zoom, level_->GetPickArea(4).x);
    EXPECT_FLOAT_EQ(90.0f * zoom, level_->GetPickArea(1).y);
    EXPECT_FLOAT_EQ(40.0f * zoom, level_->GetPickArea(2).y);
    EXPECT_FLOAT_EQ(0.0f, level_->GetPickArea(3).x);
}

TEST_F(MapInputTest, SpotTapsToggleAndReplaceTheSelection) {
    PointAt(*spots_[0]);
    EXPECT_EQ(1, Tap());
    EXPECT_EQ(spots_[0], level_->GetSelectedSpot().lock());
    EXPECT_EQ(1, Tap());  // the same spot again
    EXPECT_TRUE(level_->GetSelectedSpot().expired());

    const boost::shared_ptr<CUnit> archer = Buy(gd::kArcher, spots_[1]);
    level_->SelectDefender(archer);
    PointAt(*spots_[2]);
    EXPECT_EQ(1, Tap());
    EXPECT_EQ(spots_[2], level_->GetSelectedSpot().lock());
    EXPECT_TRUE(level_->GetSelectedDefenders().empty());

    // A release or a move is not a tap.
    EXPECT_EQ(0, level_->OnMapInput(1, GetPointerState().position));
    EXPECT_EQ(0, level_->OnMapInput(2, GetPointerState().position));
    EXPECT_EQ(spots_[2], level_->GetSelectedSpot().lock());
}

// The end-to-end runs buy a defender on the free spot they tap at this place.
TEST_F(MapInputTest, TheRunsTapAtTheStartSelectsAFreeSpot) {
    Refresh();
    GetPointerState().position = Vector2(flowscript::kFreeSpotX, flowscript::kFreeSpotY);
    EXPECT_EQ(1, Tap());
    const boost::shared_ptr<CSpawnPoint> spot = level_->GetSelectedSpot().lock();
    ASSERT_TRUE(spot);
    EXPECT_TRUE(spot->IsFree());
}

TEST_F(MapInputTest, UnitTapsSelectAndDeselect) {
    const boost::shared_ptr<CUnit> archer = Buy(gd::kArcher, spots_[0]);
    PointAt(*archer);
    EXPECT_EQ(1, Tap());
    ASSERT_EQ(1u, level_->GetSelectedDefenders().size());
    EXPECT_EQ(archer, level_->GetSelectedDefenders()[0].lock());
    EXPECT_EQ(1, Tap());  // the only selected defender: deselected
    EXPECT_TRUE(level_->GetSelectedDefenders().empty());

    // A dying attacker still in the living group takes the tap and is not selected.
    const boost::shared_ptr<CUnit> orc =
        level_->GetUnitList().SpawnUnitAt(gd::kOrcWarrior, 0, CUnit::kAttacker, false, true);
    ASSERT_TRUE(orc);
    // Beside a spot, in the camera's view.
    CLevelNode* spot = level_->GetCellOf(spots_[1]);
    orc->MoveToCell(orc->GetCell(), level_->GetCellAt(spot->GetPosition().x + 750, spot->GetPosition().y + 250), true);
    orc->SetHitPoints(0);
    PointAt(*orc);
    EXPECT_EQ(1, Tap());
    EXPECT_TRUE(level_->GetSelectedAttacker().expired());
    orc->SetHitPoints(50);
    EXPECT_EQ(1, Tap());
    EXPECT_EQ(orc, level_->GetSelectedAttacker().lock());

    // Empty ground clears the selection and is not used.
    GetPointerState().position = Vector2(2.0f, 2.0f);
    EXPECT_EQ(0, Tap());
    EXPECT_TRUE(level_->GetSelectedAttacker().expired());
}

TEST_F(MapInputTest, TargetingTapsAndHighlights) {
    const boost::shared_ptr<CUnit> archer = Buy(gd::kArcher, spots_[0]);
    const boost::shared_ptr<CUnit> swordman = Buy(gd::kSwordman, spots_[1]);
    level_->SelectDefender(archer);
    level_->SetSpotHighlightMode(1);
    level_->Update(33, 1, 0);
    // Free spots and the one whose own defender stands on it are offered; the home is not.
    EXPECT_EQ(0, spots_[0]->IsHighlighted());
    EXPECT_EQ(1, spots_[1]->IsHighlighted());
    EXPECT_EQ(1, spots_[2]->IsHighlighted());

    // Empty ground changes nothing.
    GetPointerState().position = Vector2(2.0f, 2.0f);
    EXPECT_EQ(0, Tap());
    EXPECT_EQ(1, level_->GetSpotHighlightMode());
    // The defender being moved ends the targeting.
    PointAt(*archer);
    EXPECT_EQ(1, Tap());
    EXPECT_EQ(0, level_->GetSpotHighlightMode());
    EXPECT_EQ(0, spots_[2]->IsHighlighted());
    // The offered spots show again as free or taken: the free one its marker, the taken one nothing.
    EXPECT_TRUE(spots_[2]->GetNode()->IsVisible());
    EXPECT_FALSE(spots_[1]->GetNode()->IsVisible());

    // The other defender stands on an offered spot: the spot takes the tap, they swap.
    const int32_t gold = battle_->GetGold();
    level_->SetSpotHighlightMode(1);
    level_->Update(33, 1, 0);
    PointAt(*swordman);
    EXPECT_EQ(1, Tap());
    EXPECT_EQ(level_->GetCellOf(spots_[1]), archer->GetCell());
    EXPECT_EQ(level_->GetCellOf(spots_[0]), swordman->GetCell());
    EXPECT_EQ(gold - archer->GetTeleportPrice(), battle_->GetGold());
    EXPECT_EQ(0, level_->GetSpotHighlightMode());

    // A free offered spot: the defender goes there.
    level_->SetSpotHighlightMode(1);
    level_->Update(33, 1, 0);
    PointAt(*spots_[2]);
    EXPECT_EQ(1, Tap());
    EXPECT_EQ(level_->GetCellOf(spots_[2]), archer->GetCell());
    EXPECT_FALSE(spots_[1]->HasOccupant());
    EXPECT_EQ(0, level_->GetSpotHighlightMode());
}

TEST_F(MapInputTest, FrozenStepsStillHover) {
    const boost::shared_ptr<CUnit> archer = Buy(gd::kArcher, spots_[0]);
    const boost::shared_ptr<CUnit> orc =
        level_->GetUnitList().SpawnUnitAt(gd::kOrcWarrior, 0, CUnit::kAttacker, false, true);
    const IntVector3 start = orc->GetPosition();
    PointAt(*archer);
    for (int step = 0; step < 30; ++step) level_->Update(33, 1, 1);
    EXPECT_EQ(archer, level_->GetHoveredUnit().lock());
    EXPECT_EQ(start.x, orc->GetPosition().x);
    EXPECT_EQ(start.y, orc->GetPosition().y);
    // Over a free spot nothing is hovered.
    PointAt(*spots_[2]);
    level_->Update(33, 1, 1);
    EXPECT_TRUE(level_->GetHoveredUnit().expired());
}

// The sample balance's first half with the real brains: the first wave's attackers walk
// their routes to an undefended keeper and kill it.
TEST_F(MapInputTest, TheFirstWaveKillsAnUndefendedKeeper) {
    const boost::shared_ptr<CUnit> keeper = level_->GetUnitList().FindDungeonKeeper().lock();
    ASSERT_TRUE(keeper);
    const int32_t full = keeper->GetHitPoints();
    bool walked = false;
    bool hurt = false;
    for (int step = 0; step < 20000 && !battle_->IsOver(); ++step) {
        battle_->Update(33, false, true);
        for (const boost::shared_ptr<CUnit>& unit : level_->GetUnitList().GetUnits())
            walked = walked || (unit->IsAttacker() && unit->IsMoving());
        hurt = hurt || keeper->GetHitPoints() < full;
    }
    EXPECT_TRUE(walked);
    EXPECT_TRUE(hurt);
    ASSERT_TRUE(battle_->IsOver());
    EXPECT_EQ(CDunmarchGame::kDefeat, battle_->GetResult());
    EXPECT_FALSE(keeper->IsAlive());
}
