#include <gtest/gtest.h>

#include <algorithm>
#include <boost/make_shared.hpp>
#include <functional>
#include <string>
#include <vector>

#include "Core/Assert.h"
#include "SceneGraph/AppTraverser.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/Light.h"
#include "SceneGraph/Switch.h"

// The game object class comes later; the node only carries a pointer to it.
class CGenericObject {
public:
    int id = 0;
};

namespace {

std::string g_lastAssertion;
void RecordAssertion(const char* condition, const char* message, const char*, int) {
    g_lastAssertion = std::string(condition) + " | " + message;
}

struct RecordingTraverser : sg::NodeTraverser {
    std::string visits;
    void VisitSwitch(sg::Switch&) override { visits += "S"; }
    void VisitEmitterNode(sg::EmitterNode&) override { visits += "E"; }
    void VisitCamera(sg::Camera&) override { visits += "C"; }
    void VisitModelNode(sg::ModelNode&) override { visits += "M"; }
    void VisitLight(sg::Light&) override { visits += "L"; }
    void VisitGroup(sg::Group&) override { visits += "G"; }
    void VisitNode(sg::Node&) override { visits += "N"; }
};

void ExpectMatrixNear(const Matrix4& a, const Matrix4& b) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a[i], b[i], 1e-4f) << "element " << i;
}

}  // namespace

TEST(NodeTypes, ExactClassTestsAndVisits) {
    sg::Node node;
    sg::Group group("g");
    sg::Switch sw;
    sg::Camera camera;
    sg::Light light(0);

    EXPECT_TRUE(group.IsType<sg::Group>());
    EXPECT_FALSE(sw.IsType<sg::Group>());  // exact class only
    EXPECT_TRUE(sw.IsType<sg::Switch>());
    EXPECT_FALSE(node.IsType<sg::Group>());
    EXPECT_EQ(sw.GetType()->parent, &sg::Group::Type);
    EXPECT_EQ(sg::Object3D::Type.parent, nullptr);

    RecordingTraverser t;
    sg::Node* nodes[] = {&node, &group, &sw, &camera, &light};
    for (sg::Node* n : nodes) n->Accept(t);
    EXPECT_EQ(t.visits, "NGSCL");
}

TEST(NodeUserData, CarriesGameObjectAndReportsEmptySlot) {
    CGenericObject object;
    sg::Node node("unit");
    AssertionHandler previous = SetAssertionHandler(&RecordAssertion);
    g_lastAssertion.clear();
    EXPECT_EQ(node.GetUserData(), nullptr);
    EXPECT_EQ(g_lastAssertion, "!user_data_.empty() | User Data is empty");

    node.SetUserData(&object);
    g_lastAssertion.clear();
    EXPECT_EQ(node.GetUserData(), &object);
    EXPECT_TRUE(g_lastAssertion.empty());
    SetAssertionHandler(previous);
}

TEST(NodeFlags, ShadowBit8AndPickPoint) {
    sg::Node node;
    node.SetCastsShadow(true);
    node.SetFlagBit8(true);
    EXPECT_EQ(node.GetFlags(), 0x108);
    node.SetCastsShadow(false);
    EXPECT_EQ(node.GetFlags(), 0x100);

    BoundingSphere sphere;
    sphere.center = Vector3(1, 2, 3);
    node.SetBoundingSphere(sphere);
    node.SetOwnPickPoint(Vector3(7, 8, 9));
    EXPECT_FLOAT_EQ(node.GetPickPoint().x, 1.0f);
    node.SetUseOwnPickPoint(true);
    EXPECT_FLOAT_EQ(node.GetPickPoint().x, 7.0f);

    node.SetCulled(true, 3);
    EXPECT_TRUE(node.IsCulled());
    node.SetFrustumCulling(false);
    EXPECT_FALSE(node.IsCulled());
    EXPECT_EQ(node.GetCulledSide(), 3);
}

TEST(NodeTransform, TranslateAndRotateActInTheNodesOwnFrame) {
    sg::Node node;
    node.RotateZ(90.0f);
    node.Translate(10.0f, 0.0f, 0.0f);  // along the rotated x axis: world +y
    EXPECT_TRUE(node.IsDirty());
    EXPECT_NEAR(node.GetLocalPosition().x, 0.0f, 1e-4f);
    EXPECT_NEAR(node.GetLocalPosition().y, 10.0f, 1e-4f);

    sg::Node r;
    r.RotateX(90.0f);  // row1' = c row1 + s row2: y goes to z
    EXPECT_NEAR(r.GetLocalMatrix()[6], 1.0f, 1e-6f);
    EXPECT_NEAR(r.GetLocalMatrix()[9], -1.0f, 1e-6f);
    sg::Node ry;
    ry.RotateY(90.0f);  // row0' = c row0 - s row2: x goes to -z
    EXPECT_NEAR(ry.GetLocalMatrix()[2], -1.0f, 1e-6f);
}

TEST(NodeTransform, WorldIsLocalTimesParentWorldUnlessAbsolute) {
    boost::shared_ptr<sg::Group> root = boost::make_shared<sg::Group>("root");
    boost::shared_ptr<sg::Group> arm = boost::make_shared<sg::Group>("arm");
    boost::shared_ptr<sg::Node> hand = boost::make_shared<sg::Node>("hand");
    boost::shared_ptr<sg::Node> fixed = boost::make_shared<sg::Node>("fixed");
    root->AddChild(arm);
    arm->AddChild(hand);
    arm->AddChild(fixed);

    root->Translate(100, 0, 0);
    arm->RotateZ(90.0f);
    hand->Translate(5, 0, 0);
    fixed->Translate(5, 0, 0);
    fixed->SetAbsolute(true);

    root->Refresh(nullptr);
    arm->Refresh(nullptr);
    hand->Refresh(nullptr);
    fixed->Refresh(nullptr);

    // hand: 5 along x, turned to +y by the arm, then moved by the root
    EXPECT_NEAR(hand->GetWorldPosition().x, 100.0f, 1e-4f);
    EXPECT_NEAR(hand->GetWorldPosition().y, 5.0f, 1e-4f);
    EXPECT_NEAR(hand->GetBoundingSphere().center.y, 5.0f, 1e-4f);
    ExpectMatrixNear(fixed->GetWorldMatrix(), fixed->GetLocalMatrix());
}

TEST(NodeTransform, UpdateCallbacksRunFirst) {
    sg::Node node;
    int calls = 0;
    node.AddUpdateCallback({&calls, [](void* user, sg::Node* n, sg::NodeTraverser*) {
                                ++*static_cast<int*>(user);
                                n->Translate(1, 2, 3);
                            }});
    node.Refresh(nullptr);
    EXPECT_EQ(calls, 1);
    EXPECT_FLOAT_EQ(node.GetWorldPosition().z, 3.0f);
}

TEST(Group, AddAndRemoveChildren) {
    boost::shared_ptr<sg::Node> a = boost::make_shared<sg::Node>("a");
    boost::shared_ptr<sg::Node> b = boost::make_shared<sg::Node>("b");
    boost::shared_ptr<sg::Node> stranger = boost::make_shared<sg::Node>("s");
    {
        sg::Group g("g");
        g.AddChild(a);
        g.AddChild(b);
        EXPECT_EQ(a->GetParent(), &g);
        EXPECT_FALSE(g.RemoveChild(stranger));
        EXPECT_EQ(g.GetChildCount(), 2u);
        EXPECT_TRUE(g.RemoveChild(a));
        EXPECT_EQ(a->GetParent(), nullptr);
        ASSERT_EQ(g.GetChildCount(), 1u);
        EXPECT_EQ(g.GetChildren()[0], b);
        EXPECT_FALSE(g.RemoveChild(a));
    }
    // the group is gone; its surviving child no longer points at it
    EXPECT_EQ(b->GetParent(), nullptr);
    EXPECT_EQ(b.use_count(), 1);
}

namespace {
// A group of children a, b, c, d whose frame callbacks note each visit and let
// one child edit the group when its turn comes.
struct EditingPass {
    sg::Group group{"g"};
    std::vector<boost::shared_ptr<sg::Node>> nodes;
    std::string visits;
    std::function<void(EditingPass&)> edit;  // once, on the editor's first turn
    int editor = -1;

    EditingPass() {
        for (char name : std::string("abcd")) {
            nodes.push_back(boost::make_shared<sg::Node>(std::string(1, name)));
            nodes.back()->AddUpdateCallback({this, [](void* user, sg::Node* n, sg::NodeTraverser*) {
                                                 auto* pass = static_cast<EditingPass*>(user);
                                                 pass->visits += n->GetName();
                                                 if (n->GetName()[0] - 'a' == pass->editor && pass->edit) {
                                                     const auto edit = std::move(pass->edit);
                                                     pass->edit = nullptr;
                                                     edit(*pass);
                                                 }
                                             }});
            group.AddChild(nodes.back());
        }
    }
};
}  // namespace

TEST(Group, UpdatePassVisitsEachChildOnceWhileCallbacksEditTheGroup) {
    struct Case {
        const char* what;
        int editor;
        std::function<void(EditingPass&)> edit;
        std::string first, second;
    } cases[] = {
        {"c removes an earlier sibling", 2, [](EditingPass& p) { p.group.RemoveChild(p.nodes[0]); }, "abcd", "bcd"},
        {"b removes a later sibling", 1, [](EditingPass& p) { p.group.RemoveChild(p.nodes[2]); }, "abd", "abd"},
        {"a removes itself and adds e", 0,
         [](EditingPass& p) {
             p.group.RemoveChild(p.nodes[0]);
             p.nodes.push_back(boost::make_shared<sg::Node>("e"));
             p.nodes.back()->AddUpdateCallback(p.nodes[1]->GetUpdateCallbacks()[0]);
             p.group.AddChild(p.nodes.back());
         },
         "abcd", "bcde"},
        {"d removes a and b", 3,
         [](EditingPass& p) {
             p.group.RemoveChild(p.nodes[0]);
             p.group.RemoveChild(p.nodes[1]);
         },
         "abcd", "cd"},
        {"b runs a pass over another group", 1,
         [](EditingPass& p) {
             sg::Group other("o");
             for (const char* name : {"x", "y"}) {
                 boost::shared_ptr<sg::Node> node = boost::make_shared<sg::Node>(name);
                 node->AddUpdateCallback(p.nodes[0]->GetUpdateCallbacks()[0]);
                 other.AddChild(node);
             }
             sg::AppTraverser inner;
             other.Accept(inner);
         },
         "abxycd", "abcd"},
    };
    for (const Case& c : cases) {
        EditingPass pass;
        pass.editor = c.editor;
        pass.edit = c.edit;
        sg::AppTraverser traverser;
        pass.group.Accept(traverser);
        EXPECT_EQ(c.first, pass.visits) << c.what;
        pass.visits.clear();
        pass.group.Accept(traverser);
        EXPECT_EQ(c.second, pass.visits) << c.what;
        // The pass holds on to no node once it is over.
        for (const boost::shared_ptr<sg::Node>& node : pass.nodes) {
            const auto& now = pass.group.GetChildren();
            EXPECT_EQ(node.use_count(), 1 + std::count(now.begin(), now.end(), node)) << c.what;
        }
    }
}

TEST(Switch, MaskFollowsChildren) {
    sg::Switch sw("sw");
    boost::shared_ptr<sg::Node> n[3] = {boost::make_shared<sg::Node>(), boost::make_shared<sg::Node>(),
                                        boost::make_shared<sg::Node>()};
    EXPECT_EQ(sw.AddChild(n[0], true), 1);
    EXPECT_EQ(sw.AddChild(n[1], false), 2);
    EXPECT_EQ(sw.AddChild(n[2], true), 3);
    EXPECT_FALSE(sw.IsChildVisible(n[1].get()));

    EXPECT_TRUE(sw.SetChildVisible(n[1].get(), true));
    EXPECT_TRUE(sw.IsChildVisible(n[1].get()));
    sg::Node stranger;
    EXPECT_FALSE(sw.SetChildVisible(&stranger, true));
    EXPECT_FALSE(sw.IsChildVisible(&stranger));

    EXPECT_TRUE(sw.ShowOnly(2));
    EXPECT_EQ(sw.GetMask(), (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(sw.HideOnly(0));
    EXPECT_EQ(sw.GetMask(), (std::vector<bool>{false, true, true}));
    // an index equal to the child count changes nothing
    EXPECT_FALSE(sw.ShowOnly(3));
    EXPECT_FALSE(sw.HideOnly(3));
    EXPECT_EQ(sw.GetMask(), (std::vector<bool>{false, true, true}));
    sw.HideAll();
    EXPECT_EQ(sw.GetMask(), (std::vector<bool>{false, false, false}));
    sw.ShowAll();
    EXPECT_EQ(sw.GetMask(), (std::vector<bool>{true, true, true}));
}

TEST(Switch, ReplaceAndRemoveByIndex) {
    sg::Switch sw;
    boost::shared_ptr<sg::Node> a = boost::make_shared<sg::Node>("a");
    boost::shared_ptr<sg::Node> b = boost::make_shared<sg::Node>("b");
    boost::shared_ptr<sg::Node> c = boost::make_shared<sg::Node>("c");
    sw.AddChild(a, false);
    sw.AddChild(b, true);

    EXPECT_FALSE(sw.ReplaceChild(2, c));
    EXPECT_TRUE(sw.ReplaceChild(0, c));
    EXPECT_EQ(a->GetParent(), nullptr);
    EXPECT_EQ(c->GetParent(), &sw);
    EXPECT_FALSE(sw.IsChildVisible(c.get()));  // the mask entry stays

    EXPECT_FALSE(sw.RemoveChild(size_t(2)));
    EXPECT_TRUE(sw.RemoveChild(size_t(0)));
    EXPECT_EQ(c->GetParent(), nullptr);
    ASSERT_EQ(sw.GetChildCount(), 1u);
    EXPECT_EQ(sw.GetChildren()[0], b);
    EXPECT_EQ(sw.GetMask(), (std::vector<bool>{true}));
}
