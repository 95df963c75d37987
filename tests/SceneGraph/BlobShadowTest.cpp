// Blob shadows on the recording null device: buffer layout, the squares
// written per caster, the one draw with its parameters, and the caster limit.
#include <gtest/gtest.h>

#include <cstring>

#include "Graphics/Texture2D.h"
#include "SceneGraph/BlobShadowCaster.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/ModelNode.h"
#include "SceneGraph/Scene.h"
#include "platform/d3d9/common/Resources.h"
#include "support/WorldFixtures.h"

namespace {

using worldfixture::Layout;

class BlobShadowTest : public worldfixture::WorldDeviceTest {
protected:
    void SetUp() override {
        WorldDeviceTest::SetUp();
        crate = Load("crate", worldfixture::OneMesh(1, Layout::Static));
        ASSERT_TRUE(crate);
        texture.reset(new Graphics::Texture2D(graphics.get(), 256, 128, 1, Graphics::SurfaceFormatA8R8G8B8));
        camera.reset(new sg::Camera());
        camera->SetLookAt(Vector3(0, -100, 100), Vector3(0, 0, 0), Vector3(0, 0, 1));
        camera->SetPerspective(45.0f, 4.0f / 3.0f, 10.0f, 10000.0f);
        lists.camera = camera.get();
    }

    // A node at (x, y, z) with the given sphere radius.
    sg::ModelNode* Node(float x, float y, float z, float radius) {
        nodes.push_back(boost::shared_ptr<sg::ModelNode>(new sg::ModelNode(crate)));
        sg::ModelNode* node = nodes.back().get();
        node->Translate(x, y, z);
        node->Refresh(nullptr);
        node->SetBoundingSphere(BoundingSphere{node->GetWorldPosition(), radius});
        lists.models.push_back(node);
        return node;
    }

    std::vector<Graphics::BlobShadowVertex> Vertices(const sg::BlobShadowCaster& caster, size_t count) {
        const std::vector<uint8_t>& bytes = static_cast<d3d9::VertexBuffer*>(caster.GetVertexBuffer())->Bytes();
        std::vector<Graphics::BlobShadowVertex> out(count);
        std::memcpy(out.data(), bytes.data(), count * sizeof(Graphics::BlobShadowVertex));
        return out;
    }

    boost::shared_ptr<Graphics::Model> crate;
    boost::shared_ptr<Graphics::Texture2D> texture;
    boost::shared_ptr<sg::Camera> camera;
    std::vector<boost::shared_ptr<sg::ModelNode>> nodes;
    sg::RenderLists lists;
};

TEST_F(BlobShadowTest, BuffersAndTextureRectangle) {
    sg::BlobShadowCaster caster(texture, 64.0f, 32.0f, 128.0f, 64.0f, 3);
    EXPECT_FLOAT_EQ(caster.GetUL(), 0.25f);
    EXPECT_FLOAT_EQ(caster.GetUR(), 0.75f);
    EXPECT_FLOAT_EQ(caster.GetVT(), 0.75f);  // v counts from the bottom
    EXPECT_FLOAT_EQ(caster.GetVB(), 0.25f);

    const d3d9::VertexBuffer* vertices = static_cast<d3d9::VertexBuffer*>(caster.GetVertexBuffer());
    EXPECT_EQ(vertices->Length(), 3u * 80u);
    EXPECT_EQ(vertices->Usage(), DWORD(D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY));
    EXPECT_EQ(vertices->Pool(), D3DPOOL_DEFAULT);
    const d3d9::IndexBuffer* indices = static_cast<d3d9::IndexBuffer*>(caster.GetIndexBuffer());
    EXPECT_EQ(indices->Length(), 3u * 12u);
    EXPECT_EQ(indices->Usage(), DWORD(D3DUSAGE_WRITEONLY));
    EXPECT_EQ(indices->Format(), D3DFMT_INDEX16);
    const std::vector<uint8_t>& bytes = indices->Bytes();
    std::vector<uint16_t> written(18);
    std::memcpy(written.data(), bytes.data(), 36);
    EXPECT_EQ(written, (std::vector<uint16_t>{0, 1, 2, 1, 3, 2, 4, 5, 6, 5, 7, 6, 8, 9, 10, 9, 11, 10}));

    sg::BlobShadowCaster whole(texture, 3);
    EXPECT_EQ(whole.GetUL(), 0.0f);
    EXPECT_EQ(whole.GetVT(), 0.0f);
    EXPECT_EQ(whole.GetUR(), 1.0f);
    EXPECT_EQ(whole.GetVB(), 1.0f);
}

TEST_F(BlobShadowTest, OneSquarePerCasterInOneDraw) {
    sg::BlobShadowCaster caster(texture, 0.0f, 0.0f, 256.0f, 128.0f, 50);
    caster.SetGraphicsDevice(graphics.get());
    caster.SetOpacity(0.5f);
    Node(10, 20, 3, 4.0f);
    Node(0, 0, 0, 8.0f)->SetCastsShadow(false);  // a missile: no blob
    Node(-5, 0, 1, 0.0f);                        // radius 0: a degenerate blob

    null->ClearLog();
    caster.Draw(lists);
    ASSERT_EQ(null->Draws().size(), 1u);
    const d3d9::DrawRecord& draw = null->Draws()[0];
    EXPECT_EQ(draw.call, "DrawIndexedPrimitive");
    EXPECT_EQ(draw.type, D3DPT_TRIANGLELIST);
    EXPECT_EQ(draw.primitiveCount, 4u);
    EXPECT_EQ(draw.declaration, graphics->GetBlobShadowVertexDeclaration());
    EXPECT_EQ(draw.stream0, caster.GetVertexBuffer());
    EXPECT_EQ(draw.stream0Stride, 20u);
    EXPECT_EQ(draw.indices, caster.GetIndexBuffer());
    EXPECT_TRUE(null->Contains("DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 8, 0, 4)"));
    char tex[96];
    std::snprintf(tex, sizeof(tex), "ID3DXEffect::SetTexture(g_TexDiffuse, %p)",
                  static_cast<void*>(texture->GetTexture()));
    EXPECT_EQ(LogLines({"ID3DXEffect::SetTechnique", "ID3DXEffect::SetTexture", "ID3DXEffect::SetFloat",
                        "ID3DXEffect::SetValue(g_TintColor"}),
              (std::vector<std::string>{tex, "ID3DXEffect::SetFloat(g_Opacity, 0.5)",
                                        "ID3DXEffect::SetValue(g_TintColor, [0, 0, 0, 0.996094])",
                                        "ID3DXEffect::SetTechnique(RenderBlob)"}));
    worldfixture::ExpectMatrixNear(Uniform(draw, "g_WVPXf"), camera->GetViewProjection());

    // (cx + s, cy - s), (cx - s, cy - s), (cx + s, cy + s), (cx - s, cy + s) at the node's height, s = 0.75 r
    const std::vector<Graphics::BlobShadowVertex> v = Vertices(caster, 8);
    const float expected[8][5] = {{13, 17, 3, 1, 0}, {7, 17, 3, 0, 0}, {13, 23, 3, 1, 1}, {7, 23, 3, 0, 1},
                                  {-5, 0, 1, 1, 0},  {-5, 0, 1, 0, 0}, {-5, 0, 1, 1, 1},  {-5, 0, 1, 0, 1}};
    for (int i = 0; i < 8; ++i) {
        const float got[5] = {v[i].x, v[i].y, v[i].z, v[i].u, v[i].v};
        for (int k = 0; k < 5; ++k) EXPECT_FLOAT_EQ(got[k], expected[i][k]) << "vertex " << i << " value " << k;
    }

    // The next frame starts afresh.
    null->ClearLog();
    caster.Draw(lists);
    EXPECT_TRUE(null->Contains("DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 8, 0, 4)"));
}

TEST_F(BlobShadowTest, CastersBeyondTheLimitGetNoBlob) {
    sg::BlobShadowCaster caster(texture, 2);
    caster.SetGraphicsDevice(graphics.get());
    for (int i = 0; i < 5; ++i) Node(float(10 * i), 0, 0, 1.0f);
    caster.Draw(lists);
    EXPECT_TRUE(d3d9::GetErrors(device).empty());
    ASSERT_EQ(null->Draws().size(), 1u);
    EXPECT_EQ(null->Draws()[0].primitiveCount, 4u);
    EXPECT_FLOAT_EQ(Vertices(caster, 8)[4].x, 10.75f);  // the second caster is the last one drawn
}

TEST_F(BlobShadowTest, NothingToDrawDrawsNothing) {
    sg::BlobShadowCaster caster(texture, 4);
    caster.Draw(lists);  // no device
    caster.SetGraphicsDevice(graphics.get());
    caster.Draw(lists);  // no nodes
    Node(0, 0, 0, 1.0f)->SetCastsShadow(false);
    caster.Draw(lists);  // no caster
    EXPECT_TRUE(null->Draws().empty());
}

TEST_F(BlobShadowTest, SceneOwnsAndRunsItsCaster) {
    boost::shared_ptr<sg::Group> world(new sg::Group("World"));
    world->AddChild(camera);
    boost::shared_ptr<sg::ModelNode> node(new sg::ModelNode(crate));
    world->AddChild(node);
    sg::Scene scene;
    scene.SetRoot(world);
    scene.SetCamera(camera);
    scene.SetBlobShadows(graphics.get(), texture, 0.0f, 0.0f, 128.0f, 128.0f, 50);
    sg::ShadowCaster* first = scene.GetShadowCaster();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetGraphicsDevice(), graphics.get());
    scene.SetBlobShadows(graphics.get(), texture, 0.0f, 0.0f, 128.0f, 128.0f, 10);
    EXPECT_EQ(static_cast<sg::BlobShadowCaster*>(scene.GetShadowCaster())->GetMaxCasters(), 10);

    scene.Update(0.0f);
    scene.Cull();
    null->ClearLog();
    scene.DrawShadows();
    EXPECT_EQ(null->Count("DrawIndexedPrimitive"), 1u);
    scene.SetShadowsEnabled(false);
    scene.DrawShadows();
    EXPECT_EQ(null->Count("DrawIndexedPrimitive"), 1u);
}

}  // namespace
