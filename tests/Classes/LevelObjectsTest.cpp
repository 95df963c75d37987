// World objects on the level: node placement and the "World" group, scenery nodes,
// spawn points' selection effects, occupants and save records.
#include <gtest/gtest.h>

#include <cmath>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CLevelObject.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CWayPoint.h"
#include "Core/ContentLoader.h"
#include "Graphics/AnimationClips/AnimationClips.h"
#include "Graphics/Model/Model.h"
#include "IO/MemoryStream.h"
#include "LevelFixtures.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/ModelNode.h"
#include "SceneGraph/Switch.h"

using namespace levelfixtures;

namespace {

Vector3 Apply(const Matrix4& m, const Vector3& p) {
    return Vector3(p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12], p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13],
                   p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14]);
}

// A bare world object with a plain node.
class Thing : public CGenericObject {
public:
    Thing(int32_t x, int32_t y, int32_t direction) : CGenericObject(1, x, y, 0, direction) {
        SetNode(boost::shared_ptr<sg::Node>(new sg::Node("thing")));
    }
};

}  // namespace

TEST(WorldObjectTest, NodeStandsOnTheWorldPointTurnedByDirectionMinus45) {
    BattleScope scope;
    CLevel level("");
    scope.RegisterLevel(&level);
    struct Case {
        int32_t direction;
        Vector3 unitX;  // where the node's own x axis ends up, relative to its origin
    };
    // 45 leaves the model unturned; 135 turns it a quarter about y, taking x onto z.
    const Case cases[] = {{45, Vector3(1.0f, 0.0f, 0.0f)}, {135, Vector3(0.0f, 0.0f, 1.0f)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.direction);
        Thing thing(500, 250, c.direction);
        thing.UpdateNode();
        const Matrix4& local = thing.GetNode()->GetLocalMatrix();
        const Vector3 origin = Apply(local, Vector3());
        EXPECT_FLOAT_EQ(15.0f, origin.x);
        EXPECT_FLOAT_EQ(7.5f, origin.y);
        EXPECT_FLOAT_EQ(0.0f, origin.z);
        const Vector3 x = Apply(local, Vector3(1.0f, 0.0f, 0.0f)) - origin;
        EXPECT_NEAR(c.unitX.x, std::fabs(x.x), 1e-5f);
        EXPECT_NEAR(c.unitX.y, std::fabs(x.y), 1e-5f);
        EXPECT_NEAR(c.unitX.z, std::fabs(x.z), 1e-5f);
    }
}

TEST(WorldObjectTest, MoveByInGridUnitsOrCells) {
    BattleScope scope;
    struct Case {
        IntVector3 from;
        Vector3 offset;
        IntVector3 to;
    };
    const Case cases[] = {
        {{1000, 1000, 0}, {0.5f, -0.25f, 0.0f}, {1250, 875, 0}},
        {{0, 0, 0}, {-0.001f, 0.0f, 0.0f}, {0, 0, 0}},  // truncated toward zero
        {{0, 0, 0}, {0.0f, 0.0f, 1e12f}, {0, 0, INT32_MAX}},
    };
    for (const Case& c : cases) {
        Thing thing(c.from.x, c.from.y, 0);
        thing.MoveBy(c.offset);
        EXPECT_EQ(c.to.x, thing.GetPosition().x);
        EXPECT_EQ(c.to.y, thing.GetPosition().y);
        EXPECT_EQ(c.to.z, thing.GetPosition().z);
    }
    // Without a level the node is not touched.
    Thing thing(0, 0, 0);
    thing.GetNode()->Translate(1.0f, 2.0f, 3.0f);
    thing.MoveBy(IntVector3(10, -20, 5));
    EXPECT_EQ(10, thing.GetPosition().x);
    EXPECT_EQ(-20, thing.GetPosition().y);
    EXPECT_FLOAT_EQ(2.0f, thing.GetNode()->GetLocalMatrix()[13]);
}

TEST(WorldObjectTest, NodesJoinAndLeaveTheWorld) {
    BattleScope scope;
    {
        Thing attached(0, 0, 0);
        attached.AttachNode();
        ASSERT_EQ(1u, scope.World().size());
        EXPECT_EQ(attached.GetNode(), scope.World()[0]);
        Thing other(0, 0, 0);  // never attached: its destruction changes nothing
    }
    EXPECT_TRUE(scope.World().empty());

    CLevelObject object(0, 0, 0, "rock.pod", 1, 0, 0);
    EXPECT_FALSE(object.IsUnit());
    EXPECT_FALSE(object.IsSpawnPoint());
    EXPECT_FALSE(object.IsMissile());
    CSpawnPoint spot(nullptr, 1, 0, 250, 250, 0, CSpawnPoint::kDefenderSlot, 0);
    EXPECT_TRUE(spot.IsSpawnPoint());
    EXPECT_FALSE(CWayPoint(nullptr, 1, 0, 250, 250).IsSpawnPoint());
    EXPECT_TRUE(CUnit(nullptr, 0, "", CUnit::kAttacker, boost::weak_ptr<CSpawnPoint>()).IsUnit());
}

TEST(LevelObjectTest, NodesByTheNameEnding) {
    BattleScope scope;
    Config config;
    config.Paths.ParticlesPath = "res-common/particles/";
    Service<Config>::Register(&config);
    Content::ContentLoader<Graphics::Model> models("no-such-folder/");
    Content::ContentLoader<Graphics::AnimationClips> clips("no-such-folder/");
    AssertionRecorder failedLoads;

    struct Case {
        const char* name;
        int32_t shown;
        bool loaders;
        const sg::NodeType* type;  // null: no node
    };
    const Case cases[] = {
        {"torch.prt", 1, false, &sg::EmitterNode::Type},
        {"torch.prt", 0, false, nullptr},
        {"tree.pod", 1, false, nullptr},              // no model loaders
        {"tree.pod", 1, true, &sg::ModelNode::Type},  // even without the model file
        {"TREE.POD", 1, true, nullptr},
        {"tree.bmp", 1, true, nullptr},
        {"", 1, true, nullptr},
        {"pod", 1, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.loaders) {
            Service<Content::ContentLoader<Graphics::Model>>::Register(&models);
            Service<Content::ContentLoader<Graphics::AnimationClips>>::Register(&clips);
        }
        {
            CLevelObject object(750, 250, 0, c.name, c.shown, 1, 1);
            object.BuildNode(1);
            const boost::shared_ptr<sg::Node>& node = object.GetNode();
            if (c.type == nullptr) {
                EXPECT_FALSE(node);
                EXPECT_TRUE(scope.World().empty());
            } else {
                ASSERT_TRUE(node);
                EXPECT_EQ(c.type, node->GetType());
                EXPECT_EQ("ObjectNode", node->GetName());
                EXPECT_EQ(&object, node->GetUserData());
                EXPECT_TRUE(node->GetUpdateWhilePaused());
                EXPECT_TRUE(node->IsVisible());
                ASSERT_EQ(1u, scope.World().size());
                if (c.type == &sg::EmitterNode::Type) {
                    EXPECT_EQ(6, node->GetPickGroup());
                } else {
                    // Shared material 2 is empty: the model keeps its own.
                    EXPECT_FALSE(static_cast<sg::ModelNode*>(node.get())->GetMaterial());
                }
            }
        }
        EXPECT_TRUE(scope.World().empty());
        if (c.loaders) {
            Service<Content::ContentLoader<Graphics::Model>>::Unregister();
            Service<Content::ContentLoader<Graphics::AnimationClips>>::Unregister();
        }
    }
    Service<Config>::Unregister();
}

TEST(LevelObjectTest, SceneryLeavesTheWorldWithItsCell) {
    BattleScope scope;
    Config config;
    Service<Config>::Register(&config);
    CLevel level("");
    scope.RegisterLevel(&level);
    level.CreateGrid(3, 3);
    level.GetCell(1, 1)->SetObject(750, 750, "torch.prt", 1, 1, 0);
    level.GetCell(2, 2)->SetObject(1250, 1250, "mist.prt", 0, 0, 0);
    level.CreateSceneObjects();
    ASSERT_EQ(1u, scope.World().size());  // the hidden one makes no node
    const Vector3 at = Apply(scope.World()[0]->GetLocalMatrix(), Vector3());
    EXPECT_FLOAT_EQ(22.5f, at.x);
    level.DestroyGrid();
    EXPECT_TRUE(scope.World().empty());

    level.PlaceObjectAtCell(2, 1, "spark.prt", 0);
    ASSERT_EQ(1u, level.GetPlacedObjects().size());
    EXPECT_EQ(1000, level.GetPlacedObjects()[0]->GetPosition().x);
    EXPECT_EQ(500, level.GetPlacedObjects()[0]->GetPosition().y);
    EXPECT_EQ(0, level.GetPlacedObjects()[0]->BlocksWalking());
    EXPECT_EQ(1u, scope.World().size());
    level.Clear();
    EXPECT_TRUE(scope.World().empty());
    Service<Config>::Unregister();
}

namespace {

int32_t ShownChild(const CSpawnPoint& point) {
    const sg::Switch* selection = static_cast<const sg::Switch*>(point.GetNode().get());
    for (size_t i = 0; i < selection->GetChildCount(); ++i)
        if (selection->IsChildOn(i)) return static_cast<int32_t>(i);
    return -1;
}

}  // namespace

TEST(SpawnPointTest, SelectionEffectFollowsTheSlotsState) {
    BattleScope scope;
    CLevel level("");
    scope.RegisterLevel(&level);
    CSpawnPoint slot(&level, 1, 0, 250, 250, 0, CSpawnPoint::kDefenderSlot, 0);
    slot.BuildNode();
    ASSERT_TRUE(slot.GetNode()->IsType<sg::Switch>());
    const sg::Switch* selection = static_cast<const sg::Switch*>(slot.GetNode().get());
    ASSERT_EQ(3u, selection->GetChildCount());
    for (const boost::shared_ptr<sg::Node>& child : selection->GetChildren()) {
        EXPECT_EQ("SpawnPointNode", child->GetName());
        EXPECT_EQ(&slot, child->GetUserData());
        EXPECT_EQ(4, child->GetPickGroup());
        EXPECT_TRUE(child->GetUpdateWhilePaused());
        EXPECT_TRUE(child->IsType<sg::EmitterNode>());
    }
    EXPECT_EQ(1u, scope.World().size());
    EXPECT_EQ(0, ShownChild(slot));
    EXPECT_TRUE(slot.GetNode()->IsVisible());

    // The level's selected point shows child 1; a move target child 2 whatever the selection.
    boost::shared_ptr<CSpawnPoint> selected(new CSpawnPoint(&level, 2, 1, 750, 250, 0, 2, 0));
    level.SelectSpot(selected);
    slot.ShowSelection();
    EXPECT_EQ(0, ShownChild(slot));
    EXPECT_FALSE(slot.IsSelected());
    selected->BuildNode();
    EXPECT_TRUE(selected->IsSelected());
    EXPECT_EQ(1, ShownChild(*selected));
    selected->SetHighlighted(1);
    EXPECT_EQ(2, ShownChild(*selected));
    selected->SetHighlighted(0);
    EXPECT_EQ(1, ShownChild(*selected));

    // A defender on the slot hides it; selling it shows it again.
    boost::shared_ptr<CUnit> defender(new CUnit(&level, 5, "", CUnit::kDefender, boost::weak_ptr<CSpawnPoint>()));
    slot.SetOccupant(defender, 1, 1);
    EXPECT_FALSE(slot.GetNode()->IsVisible());
    EXPECT_FALSE(slot.GetNode()->IsInView());
    defender.reset();
    EXPECT_TRUE(slot.IsFree());
    slot.UpdateVisibility();
    EXPECT_TRUE(slot.GetNode()->IsVisible());

    // Entries and the keeper's place never show; another variant has no effects.
    CSpawnPoint entry(&level, 1, 3, 250, 250, 0, CSpawnPoint::kAttackerEntry, 0);
    entry.BuildNode();
    EXPECT_FALSE(entry.GetNode()->IsVisible());
    CSpawnPoint keeper(&level, -1, 4, 250, 250, 0, CSpawnPoint::kKeeperPlace, 0);
    keeper.BuildNode();
    EXPECT_FALSE(keeper.GetNode()->IsVisible());
    CSpawnPoint odd(&level, 1, 5, 250, 250, 0, CSpawnPoint::kDefenderSlot, 2);
    odd.BuildNode();
    EXPECT_EQ(0u, static_cast<const sg::Switch*>(odd.GetNode().get())->GetChildCount());
    EXPECT_EQ(5u, scope.World().size());
    // A second build replaces the first switch in the world.
    odd.BuildNode();
    EXPECT_EQ(5u, scope.World().size());
}

TEST(SpawnPointTest, OccupantsTakeAndDropTheSlotsBonus) {
    TestData data;
    data.AddDefender("Guard");
    data.GetConfig().SpawnPointTypes = {{0, 0}, {1, 20}};
    data.Load();
    BattleScope scope;
    CLevel level("");
    scope.RegisterLevel(&level);
    level.CreateGrid(3, 3);
    std::vector<boost::shared_ptr<CSpawnPoint>> spots;
    const boost::shared_ptr<CUnit> first = SpawnOnCell(level, spots, "Guard", CUnit::kDefender, 0, 0);
    const boost::shared_ptr<CUnit> second = SpawnOnCell(level, spots, "Guard", CUnit::kDefender, 2, 2);
    EXPECT_EQ(nullptr, first->FindEffect(Boost));  // its own spot is a plain one

    CSpawnPoint slot(&level, 1, 9, 750, 250, 450, CSpawnPoint::kDefenderSlot, 1);
    EXPECT_TRUE(slot.IsFree());
    EXPECT_FALSE(slot.IsOccupiedBy(nullptr));
    slot.SetOccupant(first, 0, 1);
    EXPECT_TRUE(slot.IsOccupiedBy(first.get()));
    ASSERT_NE(nullptr, first->FindEffect(Boost));
    EXPECT_EQ(120, first->GetMaxHitPoints(false));
    EXPECT_EQ(90, first->GetDirection());  // the spot's direction, brought into 0..359
    EXPECT_EQ(90, first->GetBrain()->GetHomeDirection());
    ASSERT_EQ(1u, scope.Battle().GetFloatingTexts().size());
    EXPECT_EQ("+20%", scope.Battle().GetFloatingTexts()[0].GetText());
    EXPECT_EQ(Color(255, 165, 0, 255), scope.Battle().GetFloatingTexts()[0].GetColor());
    // Each placement adds a boost; the first counts.
    slot.SetOccupant(first, 0, 1);
    EXPECT_EQ(2u, first->GetEffects().size());
    first->SetHitPoints(120);

    slot.SetOccupant(second, 1, 1);  // the first leaves and loses a boost
    EXPECT_EQ(1u, first->GetEffects().size());
    EXPECT_EQ(100, first->GetHitPoints());  // held to the maximum without any boost
    EXPECT_TRUE(slot.IsOccupiedBy(second.get()));
    first->SetHitPoints(120);
    first->RemoveSpawnPointBonus(1, 1);  // kept hit points
    EXPECT_EQ(nullptr, first->FindEffect(Boost));
    EXPECT_EQ(120, first->GetHitPoints());
    second->SetHitPoints(120);
    slot.Release(1, 0);
    EXPECT_TRUE(slot.IsFree());
    EXPECT_EQ(nullptr, second->FindEffect(Boost));
    EXPECT_EQ(100, second->GetHitPoints());
    // Placed without reason: no bonus.
    slot.SetOccupant(second, 0, 0);
    EXPECT_EQ(nullptr, second->FindEffect(Boost));
    EXPECT_EQ(nullptr, CSpawnPoint(nullptr, 0, 0, 0, 0, 0, CSpawnPoint::kAttackerEntry, 0).GetShared().get());
    EXPECT_EQ(1, CSpawnPoint(nullptr, 0, 0, 0, 0, 0, CSpawnPoint::kAttackerEntry, 0).GetSide());
    EXPECT_EQ(2, slot.GetSide());
}

TEST(SpawnPointTest, SaveRecordRoundTrip) {
    boost::shared_ptr<CUnit> defender(new CUnit(nullptr, 42, "", CUnit::kDefender, boost::weak_ptr<CSpawnPoint>()));
    CSpawnPoint occupied(nullptr, 1, 0, 250, 250, 0, CSpawnPoint::kDefenderSlot, 0);
    occupied.SetOccupant(defender, 0, 0);
    occupied.SetHighlighted(1);
    occupied.SetPathValue(0);
    CSpawnPoint free(nullptr, 2, 1, 750, 250, 0, CSpawnPoint::kDefenderSlot, 0);

    MemoryStream stream;
    ASSERT_EQ(1, occupied.Save(stream));
    ASSERT_EQ(1, free.Save(stream));
    EXPECT_EQ(24, stream.GetSize());
    SpawnPointSaveRecord records[2];
    ASSERT_EQ(1, records[0].Read(stream));
    ASSERT_EQ(1, records[1].Read(stream));
    EXPECT_EQ(1, records[0].moveTarget);
    EXPECT_EQ(42, records[0].occupantId);
    EXPECT_EQ(0, records[0].pathValue);
    EXPECT_EQ(0, records[1].moveTarget);
    EXPECT_EQ(-1, records[1].occupantId);
    EXPECT_EQ(1, records[1].pathValue);
    SpawnPointSaveRecord past;
    EXPECT_NE(1, past.Read(stream));  // nothing left
}
