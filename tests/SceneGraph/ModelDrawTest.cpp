// Model drawing on the recording null device: techniques, declarations, the
// transform prefix, materials, strips and bone batches.
#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include "Graphics/Model/Model.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Material.h"
#include "support/WorldFixtures.h"

namespace {

using worldfixture::Layout;

class ModelDrawTest : public worldfixture::WorldDeviceTest {
protected:
    void SetUp() override {
        WorldDeviceTest::SetUp();
        camera.SetLookAt(Vector3(0, -100, 50), Vector3(0, 0, 0), Vector3(0, 0, 1));
        camera.SetPerspective(45.0f, 4.0f / 3.0f, 10.0f, 10000.0f);
        world.Translate(5.0f, 6.0f, 0.0f);
        world.RotateZ(0.5f);
    }

    void Draw(Graphics::Model& model, float frame = 0.0f, const sg::Material* material = nullptr) {
        null->ClearLog();
        model.SetEffect(graphics->GetEffect().get());
        model.Draw(&camera, world, frame, material);
        EXPECT_TRUE(d3d9::GetErrors(device).empty()) << d3d9::GetErrors(device)[0];
    }

    // Technique names selected, in order.
    std::vector<std::string> Techniques() { return LogLines({"ID3DXEffect::SetTechnique"}); }

    // The prefix of every mesh draw: a turn of 180 radians about y, then the node's world.
    Matrix4 Prefix() const {
        Matrix4 turn;
        turn.RotateY(180.0f);
        return world * turn;
    }

    sg::Camera camera;
    Matrix4 world;
};

TEST_F(ModelDrawTest, StaticMeshDrawsInTheNodesWorld) {
    boost::shared_ptr<Graphics::Model> model = Load("crate", worldfixture::OneMesh(2, Layout::Static));
    ASSERT_TRUE(model);
    // The camera node's own placement is in the view, never in the model's world transform.
    camera.SetWorldMatrix(Matrix4::Translation(0.0f, 0.0f, 30.0f));
    Draw(*model);

    EXPECT_EQ(Techniques(), std::vector<std::string>{"ID3DXEffect::SetTechnique(RenderStatic)"});
    ASSERT_EQ(null->Draws().size(), 1u);
    const d3d9::DrawRecord& draw = null->Draws()[0];
    EXPECT_EQ(draw.call, "DrawIndexedPrimitive");
    EXPECT_EQ(draw.type, D3DPT_TRIANGLELIST);
    EXPECT_EQ(draw.primitiveCount, 2u);
    EXPECT_EQ(draw.declaration, graphics->GetModelVertexDeclaration());
    EXPECT_EQ(draw.stream0, model->GetVertexBuffer(0));
    EXPECT_EQ(draw.stream0Stride, 56u);
    EXPECT_EQ(draw.indices, model->GetIndexBuffer(0));

    const Matrix4 prefix = Prefix();
    Matrix4 clip;
    Matrix4Multiply(clip, prefix, camera.GetViewProjection());
    worldfixture::ExpectMatrixNear(Uniform(draw, "g_WorldXf"), prefix);
    worldfixture::ExpectMatrixNear(Uniform(draw, "g_WVPXf"), clip, 1e-3f);
    worldfixture::ExpectMatrixNear(
        std::vector<float>(Graphics::ModelWorldTransform.m, Graphics::ModelWorldTransform.m + 16), prefix);
    EXPECT_EQ(model->GetCamera(), &camera);
}

TEST_F(ModelDrawTest, MaterialSetsTintBlendAndDepth) {
    boost::shared_ptr<Graphics::Model> model = Load("crate", worldfixture::OneMesh(1, Layout::Static));
    ASSERT_TRUE(model);

    // Without a material: the defaults.
    Draw(*model);
    const d3d9::DrawRecord plain = null->Draws().at(0);
    EXPECT_EQ(plain.RenderState(D3DRS_ALPHABLENDENABLE), FALSE);
    EXPECT_EQ(plain.RenderState(D3DRS_ZENABLE), TRUE);
    EXPECT_EQ(plain.RenderState(D3DRS_ZWRITEENABLE), TRUE);
    EXPECT_TRUE(null->Contains("ID3DXEffect::SetFloat(g_Opacity, 1)"));
    EXPECT_TRUE(null->Contains("ID3DXEffect::SetBool(g_Selected, 0)"));
    EXPECT_TRUE(null->Contains("ID3DXEffect::SetBool(g_FakeHDR, 0)"));

    sg::Material glass;
    glass.SetColor(Color(128, 64, 0, 255));
    glass.SetBlending(true);
    glass.SetBlendMode(3);
    glass.SetDepthWrite(false);
    glass.SetSelected(true);
    glass.SetOpacity(0.5f);
    glass.SetReflectance(0.25f);
    Draw(*model, 0.0f, &glass);
    const d3d9::DrawRecord& blended = null->Draws().at(0);
    EXPECT_EQ(blended.RenderState(D3DRS_ALPHABLENDENABLE), TRUE);
    EXPECT_EQ(blended.RenderState(D3DRS_SRCBLEND), DWORD(D3DBLEND_SRCALPHA));
    EXPECT_EQ(blended.RenderState(D3DRS_DESTBLEND), DWORD(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(blended.RenderState(D3DRS_ZENABLE), TRUE);
    EXPECT_EQ(blended.RenderState(D3DRS_ZWRITEENABLE), FALSE);
    EXPECT_EQ(
        LogLines({"ID3DXEffect::SetValue(g_TintColor", "ID3DXEffect::SetFloat", "ID3DXEffect::SetBool"}),
        (std::vector<std::string>{"ID3DXEffect::SetValue(g_TintColor, [0.5, 0.25, 0, 0.996094])",
                                  "ID3DXEffect::SetFloat(g_Opacity, 0.5)", "ID3DXEffect::SetBool(g_Selected, 1)",
                                  "ID3DXEffect::SetFloat(g_Reflectance, 0.25)", "ID3DXEffect::SetBool(g_FakeHDR, 0)"}));
}

TEST_F(ModelDrawTest, LightMappedMaterialsDrawWithTheLightMapTechnique) {
    boost::shared_ptr<Graphics::Model> model = Load("ground", worldfixture::OneMesh(1, Layout::LightMapped));
    ASSERT_TRUE(model);
    EXPECT_EQ(model->IsLightMapped(), 1);
    Draw(*model);
    EXPECT_EQ(Techniques(), std::vector<std::string>{"ID3DXEffect::SetTechnique(RenderStaticLM)"});
    ASSERT_EQ(null->Draws().size(), 1u);
    EXPECT_EQ(null->Draws()[0].declaration, graphics->GetModelVertexLMDeclaration());
    EXPECT_EQ(null->Draws()[0].stream0Stride, 64u);
    EXPECT_TRUE(null->Contains("ID3DXEffect::SetBool(g_FakeHDR, 1)"));
    EXPECT_EQ(null->Count("ID3DXEffect::SetTexture(g_TexLightMap"), 1u);
}

TEST_F(ModelDrawTest, NodeWithoutMaterialUsesTheFirstTwoSlots) {
    podwriter::Scene scene = worldfixture::OneMesh(1, Layout::Static);
    scene.nodes[0].material = -1;
    boost::shared_ptr<Graphics::Model> model = Load("bare", scene);
    ASSERT_TRUE(model);
    Draw(*model);
    char diffuse[96], normal[96];
    std::snprintf(diffuse, sizeof(diffuse), "ID3DXEffect::SetTexture(g_TexDiffuse, %p)",
                  static_cast<void*>(model->GetTextures()[0]));
    std::snprintf(normal, sizeof(normal), "ID3DXEffect::SetTexture(g_TexNormalMap, %p)",
                  static_cast<void*>(model->GetTextures()[1]));
    EXPECT_EQ(LogLines({"ID3DXEffect::SetTexture", "ID3DXEffect::SetBool(g_FakeHDR"}),
              (std::vector<std::string>{diffuse, normal, "ID3DXEffect::SetBool(g_FakeHDR, 0)"}));
}

TEST_F(ModelDrawTest, StripsStartAfterTheEarlierStripsIndices) {
    boost::shared_ptr<Graphics::Model> model = Load("strips", worldfixture::OneMesh(5, Layout::Static));
    ASSERT_TRUE(model);
    PodMesh& mesh = model->GetPod().pMesh[0];
    mesh.nNumStrips = 2;
    mesh.pnStripLength = {4, 6};
    Draw(*model);
    EXPECT_EQ(LogLines({"DrawIndexedPrimitive"}),
              (std::vector<std::string>{"DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 0, 0, 15, 0, 4)",
                                        "DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 0, 0, 15, 6, 6)"}));
}

// Two triangles in two bone batches: batch 0 uses bones 2 and 3, batch 1 bone 3.
podwriter::Scene SkinnedScene(uint32_t frames) {
    podwriter::Scene s;
    s.frames = frames;
    podwriter::Mesh mesh = worldfixture::Triangles(2, Layout::Skinned, {0, 0});
    mesh.batches = {2, 3, 3, 0};
    mesh.batchBoneCounts = {2, 1};
    mesh.batchOffsets = {0, 1};
    mesh.batchBoneMax = 2;
    s.meshes = {mesh};
    s.nodes = {worldfixture::MeshNode(0, "Body", 0), worldfixture::Bone("Armature", -1), worldfixture::Bone("Hips", 1),
               worldfixture::Bone("Spine", 2)};
    s.meshNodeCount = 1;
    s.textures = {"skin.png"};
    s.materials = {{"skin", 0, -1}};
    return s;
}

TEST_F(ModelDrawTest, SkinnedMeshDrawsEachBoneBatchWithItsPalette) {
    boost::shared_ptr<Graphics::Model> model = Load("unit", SkinnedScene(4), worldfixture::Bvh(4));
    ASSERT_TRUE(model);
    Draw(*model, 2.0f);  // skinned without a clip table: the vertex data decides
    EXPECT_EQ(Techniques(), std::vector<std::string>{"ID3DXEffect::SetTechnique(RenderSkinned)"});
    EXPECT_EQ(LogLines({"ID3DXEffect::SetInt(g_BoneCount", "ID3DXEffect::SetMatrixArray(g_BoneMatrixArray",
                        "DrawIndexedPrimitive"}),
              (std::vector<std::string>{
                  "ID3DXEffect::SetInt(g_BoneCount, 2)", "ID3DXEffect::SetMatrixArray(g_BoneMatrixArray, 2)",
                  "DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 6, 0, 1)", "ID3DXEffect::SetInt(g_BoneCount, 2)",
                  "ID3DXEffect::SetMatrixArray(g_BoneMatrixArray, 1)",
                  "DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 6, 3, 1)"}));
    ASSERT_EQ(null->Draws().size(), 2u);
    EXPECT_EQ(null->Draws()[0].declaration, graphics->GetSkinnedModelVertexDeclaration());
    EXPECT_EQ(null->Draws()[0].stream0Stride, 68u);
    EXPECT_FLOAT_EQ(model->GetPod().pAnimCache->fFrame, 2.0f);
}

TEST_F(ModelDrawTest, SkinnedMeshWithoutBatchesDrawsNothing) {
    podwriter::Scene scene = SkinnedScene(2);
    scene.meshes[0].batches.clear();
    scene.meshes[0].batchBoneCounts.clear();
    scene.meshes[0].batchOffsets.clear();
    boost::shared_ptr<Graphics::Model> model = Load("nobatch", scene, worldfixture::Bvh(2));
    ASSERT_TRUE(model);
    Draw(*model);
    EXPECT_TRUE(null->Draws().empty());
}

TEST_F(ModelDrawTest, ClipTableDoesNotTurnStaticMeshesSkinned) {
    boost::shared_ptr<Graphics::Model> model = Load("door", worldfixture::OneMesh(1, Layout::Static));
    ASSERT_TRUE(model);
    model->SetAnimationClips(boost::make_shared<Graphics::AnimationClips>("door.xml"));
    Draw(*model);
    EXPECT_EQ(Techniques(), std::vector<std::string>{"ID3DXEffect::SetTechnique(RenderStatic)"});
    ASSERT_EQ(null->Draws().size(), 1u);
    EXPECT_EQ(null->Draws()[0].declaration, graphics->GetModelVertexDeclaration());
}

TEST_F(ModelDrawTest, ExtraMatrixAppliesAfterTheMeshNode) {
    boost::shared_ptr<Graphics::Model> model = Load("sword", worldfixture::OneMesh(1, Layout::Static));
    ASSERT_TRUE(model);
    Draw(*model);  // sets the prefix
    null->ClearLog();
    const Matrix4 bone = Matrix4::Translation(0.0f, 0.0f, 7.0f);
    Graphics::GDEffect& effect = *graphics->GetEffect();
    effect.technique_ = effect.static_technique_;
    effect.Begin();
    model->DrawMeshWithMatrix(0, bone);
    effect.End();
    ASSERT_EQ(null->Draws().size(), 1u);
    worldfixture::ExpectMatrixNear(Uniform(null->Draws()[0], "g_WorldXf"), Prefix() * bone);
}

}  // namespace
