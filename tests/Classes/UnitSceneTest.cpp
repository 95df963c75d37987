// Units with their scene, on the sample models and clip tables over the recording null
// device: the groups, the weapon on the forearm bones, and the strike, attack-end and
// death-end callbacks fired by the animation.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/UnitSaveRecord.h"
#include "Core/ContentLoader.h"
#include "Graphics/AnimationClips/AnimationClips.h"
#include "Graphics/Model/Model.h"
#include "IO/MemoryStream.h"
#include "LevelFixtures.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/ModelNode.h"
#include "support/WorldFixtures.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/Models.h"

using namespace levelfixtures;

namespace {

namespace cfg = catalogue::config;
namespace cm = catalogue::models;

typedef Content::ContentLoader<Graphics::Model> ModelLoader;
typedef Content::ContentLoader<Graphics::AnimationClips> ClipLoader;

class UnitSceneTest : public worldfixture::WorldDeviceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(WorldDeviceTest::SetUp());
        const std::string game = std::string(DM_TEST_BUILD_DIR) + "/game/";
        // Clip tables in the test's game folder: two of the sample's and one without "death".
        std::filesystem::create_directories("anims");
        for (const char* table : {cm::kDefenders[0].clips, cm::kAttackers[0].clips})
            std::filesystem::copy_file(game + cfg::kAnims.Path() + table, std::string("anims/") + table);
        folder.Write("anims/nodeath.xml",
                     "<animation fps=\"15\"><clip name=\"idle\" first=\"0\" last=\"12\"/></animation>");

        WeaponSpec& sword = data_.AddWeapon(10);
        sword.right = "sword";
        sword.left = "shield";
        data_.AddWeapon(2);  // no hand meshes
        UnitSpec& swordman = data_.AddDefender("Swordman");
        swordman.mesh = cm::kDefenders[0].mesh;
        swordman.animation = cm::kDefenders[0].clips;
        swordman.attackAnimation = "strike_1";
        swordman.weapon = 10;
        UnitSpec& bare = data_.AddDefender("Bare");
        bare.mesh = cm::kDefenders[1].mesh;
        bare.weapon = 2;
        UnitSpec& broken = data_.AddDefender("NoDeath");
        broken.mesh = cm::kDefenders[2].mesh;
        broken.animation = "nodeath.xml";
        UnitSpec& orc = data_.AddAttacker("Orc");
        orc.mesh = cm::kAttackers[0].mesh;
        orc.animation = cm::kAttackers[0].clips;
        data_.Load();

        models_.reset(new ModelLoader(game + cfg::kMeshes.Path()));
        clips_.reset(new ClipLoader("anims/"));
        Service<ModelLoader>::Register(models_.get());
        Service<ClipLoader>::Register(clips_.get());
        scope_.reset(new BattleScope());
        level_.reset(new CLevel(""));
        scope_->RegisterLevel(level_.get());
        DrawGrid(*level_, {"....", "....", "...."});
    }
    void TearDown() override {
        // Units hold models, and models hold buffers of the device.
        spots_.clear();
        level_.reset();
        scope_.reset();
        Service<ClipLoader>::Unregister();
        Service<ModelLoader>::Unregister();
        clips_.reset();
        models_.reset();
        WorldDeviceTest::TearDown();
    }

    boost::shared_ptr<CUnit> Spawn(const std::string& name, int32_t side, int32_t column, int32_t row) {
        return SpawnOnCell(*level_, spots_, name, side, column, row);
    }

    // Plays the clip and steps its animation a frame at a time, 20 frames.
    static void Play(CUnit& unit, const char* clip, bool loop) {
        unit.PlayAnimation(clip, loop);
        for (int frame = 0; frame < 20; ++frame) unit.GetModelNode()->Animate(1.0f / 15.0f);
    }

    static std::vector<std::string> AttachedBones(const CUnit& unit) {
        std::vector<std::string> bones;
        for (const sg::BoneAttachment& attachment : unit.GetModelNode()->GetAttachments())
            bones.push_back(unit.GetModelNode()->GetModel()->GetNodeName(attachment.bone));
        return bones;
    }

    TestData data_;
    std::unique_ptr<ModelLoader> models_;
    std::unique_ptr<ClipLoader> clips_;
    std::unique_ptr<BattleScope> scope_;
    std::unique_ptr<CLevel> level_;
    std::vector<boost::shared_ptr<CSpawnPoint>> spots_;
};

}  // namespace

TEST_F(UnitSceneTest, ModelIdleLoopAndWeaponOnTheForearms) {
    AssertionRecorder assertions;
    const boost::shared_ptr<CUnit> unit = Spawn("Swordman", CUnit::kDefender, 1, 1);
    const boost::shared_ptr<sg::ModelNode>& model = unit->GetModelNode();
    ASSERT_TRUE(model && model->GetModel());
    EXPECT_EQ(unit->GetAnimationClips(), model->GetModel()->GetAnimationClips());
    EXPECT_EQ("idle", model->GetClipName());
    EXPECT_EQ(sg::ModelNode::kPlayLoop, model->GetPlayMode());
    EXPECT_TRUE(unit->IsPlayingAnimation("idle"));
    EXPECT_EQ((std::vector<std::string>{cm::kRightForeArm, cm::kLeftForeArm}), AttachedBones(*unit));
    EXPECT_EQ(1u, scope_->World().size());
    // Attaching again replaces what hangs on the bones.
    unit->AttachWeaponModel();
    EXPECT_EQ(2u, model->GetAttachments().size());

    // A weapon without hand meshes attaches nothing but takes off what hung there.
    const boost::shared_ptr<CUnit> bare = Spawn("Bare", CUnit::kDefender, 2, 1);
    EXPECT_TRUE(bare->GetModelNode()->GetAttachments().empty());
    ASSERT_TRUE(bare->GetModelNode()->AttachToBone("", cm::kRightForeArm, models_->Load(cm::kWeaponsMesh), "sword"));
    bare->AttachWeaponModel();
    EXPECT_TRUE(bare->GetModelNode()->GetAttachments().empty());

    // A Slow slows the animation as much as the walk.
    unit->AddEffect(Slow, 30, 1, "", 1000);
    EXPECT_FLOAT_EQ(0.7f, model->GetSpeed());
    unit->PlayAnimation("walk", true);
    EXPECT_FLOAT_EQ(0.7f, model->GetSpeed());
    unit->RemoveSlowEffects();
    EXPECT_FLOAT_EQ(1.0f, model->GetSpeed());
    EXPECT_TRUE(assertions.Messages().empty());
}

TEST_F(UnitSceneTest, AttackClipStrikesAtItsEventAndEndsIdle) {
    const boost::shared_ptr<CUnit> swordman = Spawn("Swordman", CUnit::kDefender, 1, 1);
    const boost::shared_ptr<CUnit> orc = Spawn("Orc", CUnit::kAttacker, 2, 1);
    swordman->GetBrain()->SetTarget(orc);
    swordman->GetBrain()->SetState(CGenericBrain::kAttack);
    Play(*swordman, "strike_1", false);
    // One blow, then back to idle with the target kept for the next attack.
    EXPECT_EQ(90, orc->GetHitPoints());
    EXPECT_EQ(CGenericBrain::kIdle, swordman->GetBrain()->GetState());
    EXPECT_TRUE(swordman->IsPlayingAnimation("idle"));
    EXPECT_EQ(orc, swordman->GetBrain()->GetCurrentTarget().lock());

    // Looping the idle clip passes no event: nothing more happens.
    Play(*swordman, "idle", true);
    EXPECT_EQ(90, orc->GetHitPoints());
}

TEST_F(UnitSceneTest, DeathClipEndsTheDying) {
    const boost::shared_ptr<CUnit> swordman = Spawn("Swordman", CUnit::kDefender, 1, 1);
    const boost::shared_ptr<CUnit> orc = Spawn("Orc", CUnit::kAttacker, 2, 1);
    swordman->Damage(orc, 1000, -1);
    EXPECT_TRUE(orc->IsPlayingAnimation("death"));
    EXPECT_TRUE(orc->IsDying());
    EXPECT_EQ(orc, level_->GetCell(2, 1)->GetOccupant().lock());
    Play(*orc, "death", false);
    EXPECT_FALSE(orc->IsDying());
    EXPECT_EQ(5000, orc->GetBrain()->GetTimer());
    EXPECT_FALSE(level_->GetCell(2, 1)->HasOccupant());
}

TEST_F(UnitSceneTest, ATableWithoutDeathFailsItsAssertion) {
    AssertionRecorder assertions;
    const boost::shared_ptr<CUnit> unit = Spawn("NoDeath", CUnit::kDefender, 1, 1);
    ASSERT_TRUE(unit->GetModelNode());
    ASSERT_EQ(1u, assertions.Messages().size());
    EXPECT_EQ("Could not find specified anim clip", assertions.Messages()[0]);
}

TEST_F(UnitSceneTest, RestorePlaysTheSavedClipAtItsFrame) {
    const boost::shared_ptr<CUnit> unit = Spawn("Swordman", CUnit::kDefender, 1, 1);
    unit->PlayAnimation("walk", true);
    unit->GetModelNode()->Animate(5.0f / 15.0f);
    unit->AddEffect(Slow, 40, 1, "", 1000);
    MemoryStream stream;
    ASSERT_EQ(1, unit->Save(stream));
    UnitSaveRecord record;
    ASSERT_EQ(1, record.Read(stream));
    EXPECT_EQ("walk", record.clipName);
    EXPECT_NEAR(17.0f, record.clipFrame, 1e-3f);
    EXPECT_FLOAT_EQ(0.6f, record.animationSpeed);
    EXPECT_EQ(sg::ModelNode::kPlayLoop, record.clipLoops);

    // The walk clip runs from frame 12 to 24; a frame outside it leaves the clip's first.
    struct Case {
        float saved, expected;
    };
    const Case cases[] = {{record.clipFrame, record.clipFrame}, {24.0f, 24.0f}, {500.0f, 12.0f}, {3.0f, 12.0f}};
    int32_t column = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.saved);
        record.clipFrame = c.saved;
        const boost::shared_ptr<CUnit> again = Spawn("Swordman", CUnit::kDefender, column++, 2);
        again->Restore(record);
        EXPECT_TRUE(again->IsPlayingAnimation("walk"));
        EXPECT_FLOAT_EQ(c.expected, again->GetModelNode()->GetFrame());
        EXPECT_FLOAT_EQ(0.6f, again->GetModelNode()->GetSpeed());
        EXPECT_EQ(sg::ModelNode::kPlayLoop, again->GetModelNode()->GetPlayMode());
    }
}
