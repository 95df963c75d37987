// A battle set up on the sample map inside the game on the recording device: its level,
// waves, camera and boundary, scene, map models, light and the battle flag.
#include <gtest/gtest.h>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Dictionary/GameDictionary/MapDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Core/Service.h"
#include "GameFixture.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/ModelNode.h"
#include "SceneGraph/Scene.h"
#include "tools/catalogue/GameData.h"

namespace {

namespace gd = catalogue::gamedata;

class BattleInitTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        game_->RunInitialize();
        RunLoading();
    }
    void TearDown() override {
        if (battle_) {
            battle_->Stop();
            Service<CDunmarchGame>::Unregister();
            battle_.reset();
        }
        GameTest::TearDown();
    }
    CDunmarchGame& Make(const std::string& map) {
        battle_.reset(new CDunmarchGame(map));
        Service<CDunmarchGame>::Register(battle_.get());
        return *battle_;
    }

    std::unique_ptr<CDunmarchGame> battle_;
};

}  // namespace

TEST_F(BattleInitTest, TheSampleMapsBattleIsSetUp) {
    CDunmarchGame& battle = Make(gd::kMapName);
    BattleActive = 0;
    ASSERT_EQ(1, battle.Init(false));
    EXPECT_EQ(1, BattleActive);
    const MapDefinition* map = CDunmarchGame::FindMapDefinition(gd::kMapName);
    ASSERT_NE(nullptr, map);
    ASSERT_TRUE(battle.GetLevel());
    EXPECT_EQ(battle.GetLevel().get(), Service<CLevel>::Get());
    EXPECT_EQ(map->stats.gold, battle.GetGold());
    EXPECT_EQ(map->waves.size(), battle.GetWaveRunners().size());
    EXPECT_TRUE(battle.GetInterfaceTexture());

    ASSERT_TRUE(battle.GetScene() && battle.GetCamera() && battle.GetWorldGroup());
    EXPECT_EQ("Camera0", battle.GetCamera()->GetName());
    EXPECT_EQ("World", battle.GetWorldGroup()->GetName());
    EXPECT_EQ(battle.GetWorldGroup().get(), battle.GetCamera()->GetParent());
    EXPECT_EQ(battle.GetScene().get(), Service<sg::Scene>::Get());
    EXPECT_EQ(6u, battle.GetCameraBoundary().GetPlanes().size());
    // The camera looks down onto the map and stands inside its boundary.
    EXPECT_LT(battle.GetViewDirection().z, 0.0f);
    EXPECT_GT(battle.GetZoomFactor(), 0.99f);
    EXPECT_TRUE(battle.GetCameraBoundary().Contains(battle.GetCameraEye()));
    int models = 0;
    for (const boost::shared_ptr<sg::Node>& child : battle.GetWorldGroup()->GetChildren())
        models += child->IsType<sg::ModelNode>();
    EXPECT_EQ(map->files.meshA.empty() ? 1 : 2, models);

    // Its steps run: the keeper comes at the first.
    battle.Update(33, false, true);
    EXPECT_TRUE(battle.IsRunning());
    EXPECT_FALSE(battle.GetLevel()->GetUnitList().FindDungeonKeeper().expired());
}

TEST_F(BattleInitTest, AnUnknownMapBuildsNoScene) {
    CDunmarchGame& battle = Make("Nowhere");
    BattleActive = 0;
    EXPECT_EQ(0, battle.Init(false));
    EXPECT_FALSE(battle.GetLevel());
    EXPECT_FALSE(battle.GetScene());
    EXPECT_EQ(0, BattleActive);
    battle.Update(33, false, true);  // later calls do nothing
    EXPECT_EQ(0u, battle.GetStepCounter());
}
