// The scene's passes: update (pause, time scale, emitters), cull (frustum,
// hidden subtrees, counters), picking (drawn lists, traversal, ray) and the
// geometric tests behind them.
#include <gtest/gtest.h>

#include <boost/make_shared.hpp>
#include <boost/weak_ptr.hpp>
#include <fstream>

#include "Graphics/GraphicsDeviceFixture.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/ModelNode.h"
#include "SceneGraph/Picking.h"
#include "SceneGraph/Scene.h"
#include "SceneGraph/StatsTraverser.h"
#include "SceneGraph/Switch.h"
#include "support/RecordingEffects.h"
#include "support/WorldFixtures.h"

namespace {

using worldfixture::Layout;

TEST(Picking, RaySphereAndPointInRect) {
    const BoundingSphere sphere{Vector3(10, 0, 0), 2.0f};
    struct Case {
        const char* what;
        sg::Ray ray;
        bool hit;
    } cases[] = {
        {"straight at it", {Vector3(0, 0, 0), Vector3(1, 0, 0)}, true},
        {"unnormalised direction", {Vector3(0, 0, 0), Vector3(5, 0, 0)}, true},
        {"grazing the edge", {Vector3(0, 2, 0), Vector3(1, 0, 0)}, true},
        {"passing beside", {Vector3(0, 2.1f, 0), Vector3(1, 0, 0)}, false},
        {"behind the origin", {Vector3(20, 0, 0), Vector3(1, 0, 0)}, false},
        {"origin inside, centre behind", {Vector3(11, 0, 0), Vector3(1, 0, 0)}, true},
    };
    for (const Case& c : cases) EXPECT_EQ(sg::RayIntersectsSphere(c.ray, sphere), c.hit) << c.what;

    EXPECT_TRUE(sg::IsPointInRect(0, 0, 10, 10, 10, 10));
    EXPECT_TRUE(sg::IsPointInRect(0, 0, 10, 10, 0, 0));
    EXPECT_FALSE(sg::IsPointInRect(0, 0, 10, 10, 10.01f, 5));
    EXPECT_FALSE(sg::IsPointInRect(0, 0, 10, 10, 5, -0.01f));
}

class SceneTest : public worldfixture::WorldDeviceTest {
protected:
    void SetUp() override {
        WorldDeviceTest::SetUp();
        crate = Load("crate", worldfixture::OneMesh(4, Layout::Static));
        ASSERT_TRUE(crate);
        // Looking down on the ground from 200 units up, y up on the screen.
        camera.reset(new sg::Camera());
        camera->SetViewport(Viewport(0, 0, 800, 600, 0.0f, 1.0f));
        camera->SetLookAt(Vector3(0, 0, 200), Vector3(0, 0, 0), Vector3(0, 1, 0));
        camera->SetPerspective(60.0f, 800.0f / 600.0f, 10.0f, 10000.0f);
        world.reset(new sg::Group("World"));
        world->AddChild(camera);
        scene.SetCamera(camera);
        scene.SetRoot(world);
    }

    boost::shared_ptr<sg::ModelNode> Place(float x, float y, const boost::shared_ptr<sg::Group>& group) {
        boost::shared_ptr<sg::ModelNode> node(new sg::ModelNode(crate));
        node->Translate(x, y, 0.0f);
        group->AddChild(node);
        return node;
    }

    Vector3 Screen(const Vector3& p) {
        Vector3 s;
        EXPECT_TRUE(camera->WorldToScreen(p, s));
        return s;
    }

    boost::shared_ptr<Graphics::Model> crate;
    boost::shared_ptr<sg::Camera> camera;
    boost::shared_ptr<sg::Group> world;
    sg::Scene scene;
};

TEST_F(SceneTest, CullFillsTheListsInTreeOrderAndCounts) {
    boost::shared_ptr<sg::ModelNode> near = Place(0, 0, world);
    boost::shared_ptr<sg::ModelNode> far = Place(5000, 0, world);  // far outside the view
    boost::shared_ptr<sg::ModelNode> always = Place(-5000, 0, world);
    always->SetFrustumCulling(false);
    boost::shared_ptr<sg::Group> hidden(new sg::Group("Hidden"));
    world->AddChild(hidden);
    boost::shared_ptr<sg::ModelNode> inside = Place(10, 0, hidden);
    boost::shared_ptr<sg::Light> light(new sg::Light(0));
    world->AddChild(light);
    boost::shared_ptr<sg::EmitterNode> smoke(new sg::EmitterNode("smoke.prt"));
    smoke->SetFrustumCulling(false);
    world->AddChild(smoke);
    boost::shared_ptr<sg::Switch> lever(new sg::Switch("Lever"));
    world->AddChild(lever);
    boost::shared_ptr<sg::ModelNode> off(new sg::ModelNode(crate));
    lever->AddChild(off, false);

    scene.Update(0.0f);
    hidden->SetVisible(false);
    scene.Cull();
    scene.Sort();
    sg::RenderLists& lists = scene.GetRenderLists();
    EXPECT_EQ(lists.models, (std::vector<sg::ModelNode*>{near.get(), always.get()}));
    EXPECT_EQ(lists.lights, std::vector<sg::Light*>{light.get()});
    EXPECT_EQ(lists.emitters, std::vector<sg::EmitterNode*>{smoke.get()});
    EXPECT_EQ(lists.camera, camera.get());

    const sg::CullTraverser& counts = scene.GetCullTraverser();
    EXPECT_EQ(counts.passed_nodes, 2);
    EXPECT_EQ(counts.culled_nodes, 1);
    EXPECT_EQ(counts.passed_triangles, 8);
    EXPECT_EQ(counts.culled_triangles, 4);
    EXPECT_EQ(counts.passed_emitters, 1);
    EXPECT_FALSE(far->IsInView());
    EXPECT_TRUE(far->IsCulled());
    EXPECT_NE(far->GetCulledSide(), 0);
    EXPECT_TRUE(always->IsInView());
    EXPECT_TRUE(inside->IsInView());  // the hidden group's subtree was not visited

    // A second pass starts from empty lists and zeroed counters.
    scene.Cull();
    EXPECT_EQ(lists.models.size(), 2u);
    EXPECT_EQ(counts.passed_nodes, 2);

    sg::StatsTraverser stats;
    stats.Collect(*world);
    EXPECT_EQ(stats.nodes, 10);  // hidden nodes count; the switched-off child does not
    EXPECT_EQ(stats.model_nodes, 4);
    EXPECT_EQ(stats.lights, 1);
    EXPECT_EQ(stats.emitter_nodes, 1);
}

TEST_F(SceneTest, PausedSceneUpdatesOnlyWhatMayUpdateWhilePaused) {
    testsupport::RecordingEffects effects;
    std::ofstream("crate.xml") << "<animation fps=\"10\"/><clip name=\"spin\" a=\"0\" b=\"100\"/>";
    crate->SetAnimationClips(Graphics::AnimationClips::LoadFromFile("crate.xml"));
    boost::shared_ptr<sg::ModelNode> node = Place(0, 0, world);
    node->SetClip("spin");
    node->SetPlayMode(2);
    camera->SetUpdateWhilePaused(true);
    boost::shared_ptr<sg::EmitterNode> smoke(new sg::EmitterNode("smoke.prt"));
    world->AddChild(smoke);

    ParticleRecorder particles(nullptr);
    scene.SetTimeScale(true, 0.5f);
    scene.Update(0.2f);  // running: half the time
    EXPECT_FLOAT_EQ(node->GetFrame(), 1.0f);
    EXPECT_FLOAT_EQ(testsupport::RecordingEffects::Of(*smoke).dts.back(), 0.1f);
    // The particle camera set-up and the batches' reset once per update, before the effects run.
    EXPECT_EQ(particles.calls, (std::vector<std::string>{"ParticlesUpdateCamera", "ParticlesBeginFrame"}));

    scene.Pause();
    camera->Translate(0.0f, 0.0f, 5.0f);
    node->Translate(7.0f, 0.0f, 0.0f);
    smoke->SetUpdateWhilePaused(true);
    scene.Update(0.2f);  // paused: dt unscaled, only the allowed nodes advance
    EXPECT_FLOAT_EQ(node->GetFrame(), 1.0f);
    EXPECT_FLOAT_EQ(camera->GetWorldPosition().z, 5.0f);
    EXPECT_FLOAT_EQ(node->GetWorldPosition().x, 7.0f);  // model nodes refresh always
    EXPECT_FLOAT_EQ(testsupport::RecordingEffects::Of(*smoke).dts.back(), 0.2f);
    EXPECT_EQ(particles.calls.size(), 4u);  // paused too

    node->SetUpdateWhilePaused(true);
    scene.Update(0.2f);
    EXPECT_FLOAT_EQ(node->GetFrame(), 3.0f);
    scene.Resume();
    EXPECT_TRUE(scene.IsRunning());
}

TEST_F(SceneTest, PicksFromTheDrawnListsAndByTraversal) {
    // The crate's sphere is centred on (3.5, 0.5, 0) of the model: a's sits on the origin.
    boost::shared_ptr<sg::ModelNode> a = Place(-3.5f, -0.5f, world);
    boost::shared_ptr<sg::ModelNode> b = Place(60, 0, world);
    boost::shared_ptr<sg::ModelNode> other = Place(-3.5f, -0.5f, world);
    other->SetPickGroup(1);
    boost::shared_ptr<sg::EmitterNode> smoke(new sg::EmitterNode("smoke.prt"));
    smoke->Translate(-60.0f, 0.0f, 0.0f);
    world->AddChild(smoke);

    sg::PickResult before;
    EXPECT_FALSE(scene.Pick(0, 0, 0, 800, 600, before, true));  // nothing drawn yet

    scene.Update(0.0f);
    scene.Cull();
    const Vector3 pa = Screen(a->GetPickPoint());
    const Vector3 pb = Screen(b->GetPickPoint());
    ASSERT_GT(pb.x, pa.x + 20.0f);

    sg::PickResult around;
    EXPECT_TRUE(scene.Pick(0, pa.x - 5.0f, pa.y - 5.0f, 10.0f, 10.0f, around, true));
    EXPECT_EQ(around.GetHits(), std::vector<sg::Node*>{a.get()});
    EXPECT_EQ(around.GetFirstHit(), a.get());

    // Emitters come after the models; the result is appended to.
    const Vector3 ps = Screen(smoke->GetEmitterPickPoint());
    EXPECT_TRUE(scene.Pick(0, ps.x - 5.0f, ps.y - 5.0f, 10.0f, 10.0f, around, true));
    EXPECT_EQ(around.GetHits(), (std::vector<sg::Node*>{a.get(), smoke.get()}));

    // Own pick point.
    b->SetOwnPickPoint(a->GetPickPoint());
    b->SetUseOwnPickPoint(true);
    sg::PickResult both;
    scene.Pick(0, int32_t(pa.x) - 5, int32_t(pa.y) - 5, 10, 10, both, true);
    EXPECT_EQ(both.GetHits(), (std::vector<sg::Node*>{a.get(), b.get()}));
    b->SetUseOwnPickPoint(false);

    // Traversal: bounding-sphere centres, only in-view and visible nodes of the group.
    sg::PickResult walked;
    EXPECT_TRUE(scene.Pick(1, pa.x - 5.0f, pa.y - 5.0f, 10.0f, 10.0f, walked, false));
    EXPECT_EQ(walked.GetHits(), std::vector<sg::Node*>{other.get()});
    other->SetVisible(false);
    sg::PickResult none;
    EXPECT_FALSE(scene.Pick(1, pa.x - 5.0f, pa.y - 5.0f, 10.0f, 10.0f, none, false));
    EXPECT_TRUE(none.GetHits().empty());
    EXPECT_FALSE(scene.Pick(0, 0, 0, 10, 10, none, false));  // a miss

    // A ray through the middle of the screen hits the node under it.
    EXPECT_TRUE(scene.PickRay(0, 0.5f, 0.5f));
    EXPECT_EQ(scene.GetPickTraverser().GetResult().GetHits(), std::vector<sg::Node*>{a.get()});
    EXPECT_FALSE(scene.PickRay(2, 0.5f, 0.5f));
}

TEST_F(SceneTest, FloatRectanglesAreTruncated) {
    sg::PickResult result;
    scene.Pick(0, 10.9f, 20.2f, 5.7f, 5.1f, result, false);
    const sg::PickRect& rect = scene.GetPickTraverser().GetRect();
    EXPECT_EQ(rect.x, 10);
    EXPECT_EQ(rect.y, 20);
    EXPECT_EQ(rect.width, 5);
    EXPECT_EQ(rect.height, 5);
}

}  // namespace

namespace {

// Drops its group's emitter when the update pass reaches it, as a unit's death drops its
// selection effect from inside a model's frame callback.
class EmitterDropper : public sg::Node {
public:
    void Accept(sg::NodeTraverser& traverser) override {
        if (group && victim) {
            group->RemoveChild(victim);
            victim.reset();
        }
        sg::Node::Accept(traverser);
    }
    sg::Group* group = nullptr;  // not owned: the group owns this node
    boost::shared_ptr<sg::EmitterNode> victim;
};

}  // namespace

TEST_F(SceneTest, AnEmitterDroppedLaterInThePassIsAdvancedThenReleased) {
    testsupport::RecordingEffects effects;
    boost::shared_ptr<EmitterDropper> dropper(new EmitterDropper);
    dropper->group = world.get();
    dropper->victim.reset(new sg::EmitterNode("smoke.prt"));
    const boost::weak_ptr<sg::EmitterNode> smoke = dropper->victim;
    world->AddChild(dropper->victim);
    world->AddChild(dropper);
    scene.Update(0.1f);  // under ASan: no use of the dropped emitter after it was freed
    ASSERT_FALSE(smoke.expired());
    EXPECT_FLOAT_EQ(testsupport::RecordingEffects::Of(*smoke.lock()).dts.back(), 0.1f);
    scene.Update(0.1f);
    EXPECT_TRUE(smoke.expired());
}
