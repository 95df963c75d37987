// The model node: clip playback, frame callbacks in playback order, frame
// bounds, bone attachments; and the emitter node's age and culled updates.
#include <gtest/gtest.h>

#include <boost/make_shared.hpp>
#include <filesystem>
#include <fstream>

#include "Core/FrameClock.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/ModelNode.h"
#include "support/WorldFixtures.h"

namespace {

using worldfixture::Layout;

// Records which frame callbacks fired, in order.
struct Fired {
    std::vector<int> frames;
};
struct Hook {
    Fired* fired;
    int frame;
};
void Record(void* user) {
    Hook* hook = static_cast<Hook*>(user);
    hook->fired->frames.push_back(hook->frame);
}

class ModelNodeTest : public worldfixture::WorldDeviceTest {
protected:
    // A skinned model with per-frame bounds and a clip table at 10 frames a second:
    // "walk" plays frames 10 to 19, "still" only frame 5.
    boost::shared_ptr<Graphics::Model> Unit() {
        podwriter::Scene s;
        s.frames = 24;
        podwriter::Mesh mesh = worldfixture::Triangles(1, Layout::Skinned);
        mesh.batches = {3};
        mesh.batchBoneCounts = {1};
        mesh.batchOffsets = {0};
        mesh.batchBoneMax = 1;
        s.meshes = {mesh};
        s.nodes = {worldfixture::MeshNode(0, "Body", 0), worldfixture::Bone("Armature", -1),
                   worldfixture::Bone("Hips", 1), worldfixture::Bone("RightForeArm", 2)};
        s.nodes[3].position = {0.0f, 0.0f, 9.0f};
        s.meshNodeCount = 1;
        s.textures = {"unit.png"};
        s.materials = {{"unit", 0, -1}};
        boost::shared_ptr<Graphics::Model> model = Load("unit", s, worldfixture::Bvh(24));
        std::ofstream("unit.xml") << "<animation fps=\"10\"/>\n<clip name=\"walk\" a=\"10\" b=\"20\"/>\n"
                                     "<clip name=\"still\" a=\"5\" b=\"6\"/>\n";
        if (model) model->SetAnimationClips(Graphics::AnimationClips::LoadFromFile("unit.xml"));
        return model;
    }

    // A callback on each frame number; they fire into `fired`.
    void Hooks(sg::ModelNode& node, std::initializer_list<int> frames) {
        for (int f : frames) {
            hooks.push_back(std::unique_ptr<Hook>(new Hook{&fired, f}));
            node.AddFrameCallback(uint32_t(f), sg::FrameCallback{hooks.back().get(), &Record});
        }
    }

    Fired fired;
    std::vector<std::unique_ptr<Hook>> hooks;
};

TEST_F(ModelNodeTest, CallbacksFireInPlaybackOrderAcrossTheLoop) {
    boost::shared_ptr<Graphics::Model> model = Unit();
    ASSERT_TRUE(model);
    sg::ModelNode node(model);
    node.SetClip("walk");
    node.SetPlayMode(sg::ModelNode::kPlayLoop);
    EXPECT_EQ(node.GetFrame(), 10.0f);
    // Registered out of order: a hash map's order would differ from the playback's.
    Hooks(node, {20, 10, 13, 19, 12, 15, 16, 11});

    node.Animate(0.45f);  // 10 -> 14.5
    EXPECT_FLOAT_EQ(node.GetFrame(), 14.5f);
    EXPECT_EQ(fired.frames, (std::vector<int>{11, 12, 13}));

    fired.frames.clear();
    node.SetFrame(18.5f);
    node.Animate(0.1f);  // 18.5 -> 19.5, past the last frame played: 19.5 - 9 = 10.5
    EXPECT_FLOAT_EQ(node.GetFrame(), 10.5f);
    EXPECT_FLOAT_EQ(node.GetPreviousFrame(), 18.5f);
    EXPECT_EQ(fired.frames, (std::vector<int>{19, 20, 10}));
}

TEST_F(ModelNodeTest, PlayModesPausesAndSpeed) {
    boost::shared_ptr<Graphics::Model> model = Unit();
    ASSERT_TRUE(model);
    struct Case {
        const char* what;
        int32_t mode;
        float speed;
        float start;
        float dt;
        float frame;    // after the step
        bool callback;  // the hook on frame 19 fired
    } cases[] = {
        {"clamp stops at last - 1", sg::ModelNode::kPlayClamp, 1.0f, 18.0f, 0.5f, 19.0f, true},
        {"clamp stays there", sg::ModelNode::kPlayClamp, 1.0f, 19.0f, 0.5f, 19.0f, false},
        {"no limit", 2, 1.0f, 18.0f, 0.5f, 23.0f, true},
        {"paused", sg::ModelNode::kPlayLoop, 1.0f, 18.0f, 0.0f, 18.0f, false},
        {"speed doubles", sg::ModelNode::kPlayLoop, 2.0f, 11.0f, 0.2f, 15.0f, false},
        {"speed 0 holds", sg::ModelNode::kPlayLoop, 0.0f, 18.0f, 0.5f, 18.0f, false},
        {"frame delta, no callbacks", sg::ModelNode::kPlayLoop, 1.0f, 18.0f, -1.0f, 19.0f, false},
        {"long step wraps many laps", sg::ModelNode::kPlayLoop, 1.0f, 10.0f, 900.5f, 15.0f, false},
    };
    GetFrameClock().delta = 0.1f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sg::ModelNode node(model);
        node.SetClip("walk");
        node.SetPlayMode(c.mode);
        node.SetSpeed(c.speed);
        node.SetFrame(c.start);
        fired.frames.clear();
        Hooks(node, {19});
        node.Animate(c.dt);
        EXPECT_NEAR(node.GetFrame(), c.frame, 1e-3f);
        EXPECT_EQ(!fired.frames.empty(), c.callback);
    }

    // A one-frame clip cannot loop: it holds its frame.
    sg::ModelNode still(model);
    still.SetClip("still");
    still.SetPlayMode(sg::ModelNode::kPlayLoop);
    still.Animate(1.0f);
    EXPECT_EQ(still.GetFrame(), 5.0f);
    // No clip set: the frame stays at 0 in either mode.
    sg::ModelNode idle(model);
    idle.Animate(1.0f);
    EXPECT_EQ(idle.GetFrame(), 0.0f);
}

TEST_F(ModelNodeTest, SetFrameOnlyInsideTheClipOfASkinnedModel) {
    boost::shared_ptr<Graphics::Model> model = Unit();
    ASSERT_TRUE(model);
    sg::ModelNode node(model);
    node.SetClip("walk");
    node.SetFrame(20.0f);
    EXPECT_EQ(node.GetFrame(), 20.0f);
    node.SetFrame(9.0f);
    node.SetFrame(21.0f);
    EXPECT_EQ(node.GetFrame(), 20.0f);

    boost::shared_ptr<Graphics::Model> crate = Load("crate", worldfixture::OneMesh(1, Layout::Static));
    sg::ModelNode plain(crate);
    plain.SetFrame(0.0f);
    plain.SetFrame(0.5f);
    EXPECT_EQ(plain.GetFrame(), 0.0f);
    plain.Animate(1.0f);  // no clip table: never animated
    EXPECT_EQ(plain.GetFrame(), 0.0f);
}

TEST_F(ModelNodeTest, BoundsFollowTheFrameAndTheWorld) {
    boost::shared_ptr<Graphics::Model> model = Unit();
    ASSERT_TRUE(model);
    sg::ModelNode node(model);
    EXPECT_TRUE(node.CastsShadow());
    EXPECT_EQ(node.GetBoundingSphere().radius, model->sphere_.radius);
    node.SetClip("walk");
    node.SetFrame(12.7f);
    node.Translate(100.0f, 0.0f, 0.0f);
    node.Refresh(nullptr);
    // frame 12's sphere: centre (12, 0, 0), radius 13
    EXPECT_FLOAT_EQ(node.GetBoundingSphere().center.x, 112.0f);
    EXPECT_FLOAT_EQ(node.GetBoundingSphere().radius, 13.0f);

    boost::shared_ptr<Graphics::Model> crate = Load("crate", worldfixture::OneMesh(1, Layout::Static));
    sg::ModelNode plain(crate);
    plain.Translate(0.0f, 50.0f, 0.0f);
    plain.Refresh(nullptr);
    EXPECT_FLOAT_EQ(plain.GetBoundingSphere().center.y, 50.0f + crate->sphere_.center.y);
    EXPECT_FLOAT_EQ(plain.GetBoundingSphere().radius, crate->sphere_.radius);
}

TEST_F(ModelNodeTest, AttachmentsDrawOnTheirBone) {
    boost::shared_ptr<Graphics::Model> model = Unit();
    ASSERT_TRUE(model);
    podwriter::Scene weapons;
    weapons.meshes = {worldfixture::Triangles(1, Layout::Static), worldfixture::Triangles(2, Layout::Static)};
    weapons.nodes = {worldfixture::MeshNode(0, "sword", 0), worldfixture::MeshNode(1, "shield", 0)};
    weapons.meshNodeCount = 2;
    weapons.textures = {"weapons.png"};
    weapons.materials = {{"weapons", 0, -1}};
    boost::shared_ptr<Graphics::Model> arms = Load("weapons", weapons);
    ASSERT_TRUE(arms);

    sg::ModelNode node(model);
    EXPECT_TRUE(node.AttachToBone("Body", "RightForeArm", arms, "sword"));
    EXPECT_TRUE(node.AttachToBone("Body", "RightForeArm", arms, "shield"));
    EXPECT_FALSE(node.AttachToBone("Body", "Tail", arms, "sword"));
    EXPECT_FALSE(node.AttachToBone("Body", "RightForeArm", arms, "axe"));
    ASSERT_EQ(node.GetAttachments().size(), 2u);

    sg::Camera camera;
    camera.SetLookAt(Vector3(0, -100, 50), Vector3(0, 0, 0), Vector3(0, 0, 1));
    camera.SetPerspective(45.0f, 4.0f / 3.0f, 10.0f, 10000.0f);
    node.SetEffect(graphics->GetEffect().get());
    null->ClearLog();
    node.Draw(&camera);
    EXPECT_EQ(LogLines({"ID3DXEffect::SetTechnique"}),
              (std::vector<std::string>{"ID3DXEffect::SetTechnique(RenderSkinned)",
                                        "ID3DXEffect::SetTechnique(RenderStatic)"}));
    ASSERT_EQ(null->Draws().size(), 3u);
    EXPECT_EQ(null->Draws()[1].stream0, arms->GetVertexBuffer(0));
    EXPECT_EQ(null->Draws()[2].primitiveCount, 2u);
    // The sword sits on the forearm: 9 units up its parent chain, then the node's prefix.
    Matrix4 bone;
    model->GetPod().GetWorldMatrix(bone, 3);
    EXPECT_FLOAT_EQ(bone[14], 9.0f);
    worldfixture::ExpectMatrixNear(Uniform(null->Draws()[2], "g_WorldXf"), Graphics::ModelWorldTransform * bone);

    EXPECT_TRUE(node.DetachFromBone("RightForeArm"));  // the first of the two
    ASSERT_EQ(node.GetAttachments().size(), 1u);
    EXPECT_EQ(node.GetAttachments()[0].mesh_node, 1u);
    EXPECT_FALSE(node.DetachFromBone("Tail"));
}

}  // namespace
