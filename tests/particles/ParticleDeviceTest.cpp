// The particle library bound to a graphics device on the recording null
// device: its buffers made and released with the device, the draw of a batch
// (states, index pattern, runs of 256 quads), the flush after the scene's blob
// shadows, the frame start that each scene update makes, and the camera set-up.
#include "particles/ParticleDevice.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>
#include <cmath>
#include <cstring>
#include <memory>

#include "Graphics/GraphicsDevice.h"
#include "Graphics/GraphicsDeviceFixture.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/Scene.h"
#include "SceneGraph/ShadowCaster.h"
#include "particles/CSMatrix.h"
#include "particles/ParticleBatch.h"
#include "particles/ParticleDetailLevel.h"
#include "particles/ParticleEffectCache.h"
#include "particles/ParticleFrameState.h"
#include "particles/ParticleLightSlots.h"
#include "particles/ParticleMatrixStack.h"

namespace {

const float kQuadUvs[8] = {0, 0, 0, 1, 1, 0, 1, 1};

// n quads of one batch, quad k at x = k.
void Quads(int n, bool alphaBlended, int32_t sortKey = 0) {
    for (int k = 0; k < n; ++k) {
        const float x = float(k);
        const CSVector4 corners[4] = {{x, 0, 1, 0.01f}, {x, 0, 0, 0.01f}, {x + 1, 0, 1, 0.01f}, {x + 1, 0, 0, 0.01f}};
        AddParticleQuad(nullptr, corners, CSVector4(255, 0, 0, 255), CSVector4(0, 0, 255, 255), kQuadUvs, alphaBlended,
                        false, sortKey);
    }
}

class RecordingShadows : public sg::ShadowCaster {
public:
    explicit RecordingShadows(d3d9::DeviceBase* base) : base_(base) {}
    void Draw(sg::RenderLists& /*lists*/) override { base_->Record("ShadowCaster::Draw"); }

private:
    d3d9::DeviceBase* base_;
};

class ParticleDeviceTest : public NullDeviceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(NullDeviceTest::SetUp());
        folder.WriteShippedEffects();
        BindParticleHooks();
        graphics.reset(new Graphics::GraphicsDevice(d3d, device));
        camera = boost::make_shared<sg::Camera>();
        camera->SetLookAt(Vector3(0.0f, -10.0f, 0.0f), Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f));
        camera->SetPerspective(60.0f, 4.0f / 3.0f, 1.0f, 1000.0f);
        scene.SetCamera(camera);
        scene.SetRoot(boost::make_shared<sg::Group>());
        graphics->SetScene(&scene);
        null->ClearLog();
    }
    void TearDown() override {
        ParticlesReleaseView();
        graphics.reset();
        UnbindParticleHooks();
        NullDeviceTest::TearDown();
    }

    const d3d9::DrawRecord* LastDraw() const { return null->Draws().empty() ? nullptr : &null->Draws().back(); }

    std::unique_ptr<Graphics::GraphicsDevice> graphics;
    boost::shared_ptr<sg::Camera> camera;
    sg::Scene scene;
};

TEST_F(ParticleDeviceTest, BuffersComeAndGoWithTheDevice) {
    graphics.reset();
    const UINT before = null->LiveDefaultPoolResources();
    null->ClearLog();
    graphics.reset(new Graphics::GraphicsDevice(d3d, device));
    EXPECT_EQ(
        LogLines({"CreateVertexBuffer", "CreateIndexBuffer"}),
        (std::vector<std::string>{"CreateVertexBuffer(28672, 0x208, 0x0, 0)",
                                  "CreateVertexBuffer(28672, 0x208, 0x0, 0)", "CreateIndexBuffer(3072, 0x8, 101, 0)"}));
    EXPECT_EQ(null->LiveDefaultPoolResources(), before + 3);
    graphics.reset();
    EXPECT_EQ(null->LiveDefaultPoolResources(), before);
    // Without a device nothing is drawn and nothing breaks.
    Quads(1, true);
    ParticlesFlush();
    EXPECT_TRUE(null->Draws().empty());
}

TEST_F(ParticleDeviceTest, ABatchDrawsWithItsStatesIndicesAndEffect) {
    for (const bool alphaBlended : {true, false}) {
        SCOPED_TRACE(alphaBlended ? "alpha-blended" : "additive");
        ParticlesBeginFrame();
        Quads(2, alphaBlended);
        null->ClearLog();
        ParticlesFlush();
        ASSERT_EQ(null->Draws().size(), 1u);
        const d3d9::DrawRecord& draw = null->Draws()[0];
        EXPECT_EQ(draw.call, "DrawIndexedPrimitive");
        EXPECT_EQ(draw.type, D3DPT_TRIANGLELIST);
        EXPECT_EQ(draw.primitiveCount, 4u);
        EXPECT_EQ(draw.stream0Stride, 28u);
        EXPECT_EQ(draw.declaration, graphics->GetParticleQuadVertexDeclaration());
        EXPECT_EQ(draw.RenderState(D3DRS_ZWRITEENABLE), DWORD(FALSE));
        EXPECT_EQ(draw.RenderState(D3DRS_ZENABLE), DWORD(TRUE));
        EXPECT_EQ(draw.RenderState(D3DRS_CULLMODE), DWORD(D3DCULL_NONE));
        EXPECT_EQ(draw.RenderState(D3DRS_ALPHABLENDENABLE), DWORD(TRUE));
        EXPECT_EQ(draw.RenderState(D3DRS_BLENDOP), DWORD(D3DBLENDOP_ADD));
        EXPECT_EQ(draw.RenderState(D3DRS_SRCBLEND), DWORD(alphaBlended ? D3DBLEND_SRCALPHA : D3DBLEND_ONE));
        EXPECT_EQ(draw.RenderState(D3DRS_DESTBLEND), DWORD(alphaBlended ? D3DBLEND_INVSRCALPHA : D3DBLEND_ONE));
        // The shared pattern: quad k is 4k, 4k+1, 4k+2, 4k+1, 4k+3, 4k+2, for 256 quads.
        auto* indexBuffer = static_cast<d3d9::IndexBuffer*>(draw.indices);
        ASSERT_NE(indexBuffer, nullptr);
        ASSERT_EQ(indexBuffer->Bytes().size(), 3072u);
        std::vector<uint16_t> indices(1536);
        std::memcpy(indices.data(), indexBuffer->Bytes().data(), indexBuffer->Bytes().size());
        EXPECT_EQ(std::vector<uint16_t>(indices.begin(), indices.begin() + 12),
                  (std::vector<uint16_t>{0, 1, 2, 1, 3, 2, 4, 5, 6, 5, 7, 6}));
        EXPECT_EQ(indices[1535], 255 * 4 + 2);
        // Clamped addressing, the untextured white texel, the camera, the technique; blending off afterwards.
        EXPECT_TRUE(null->Contains("SetSamplerState(0, D3DSAMP_ADDRESSU, 3)"));
        EXPECT_TRUE(null->Contains("SetSamplerState(0, D3DSAMP_ADDRESSW, 3)"));
        EXPECT_NE(draw.textures[0], nullptr);
        EXPECT_EQ(null->Count("ID3DXEffect::SetTechnique(Particles)"), 1u);
        EXPECT_EQ(null->Count("ID3DXEffect::SetMatrixArray(g_WVPXf, 1)"), 1u);
        EXPECT_EQ(null->CurrentRenderState(D3DRS_ALPHABLENDENABLE), DWORD(FALSE));
    }
}

TEST_F(ParticleDeviceTest, ThreeHundredQuadsDrawAs256And44) {
    Quads(300, true);
    ParticlesFlush();
    ASSERT_EQ(null->Draws().size(), 2u);
    EXPECT_EQ(null->Draws()[0].primitiveCount, 512u);
    EXPECT_EQ(null->Draws()[1].primitiveCount, 88u);
    // The buffer holds the last run: quads 256 to 299, never more than 0x7000 bytes.
    auto* buffer = static_cast<d3d9::VertexBuffer*>(null->Draws()[1].stream0);
    ASSERT_NE(buffer, nullptr);
    ASSERT_EQ(buffer->Bytes().size(), 0x7000u);
    Graphics::ParticleQuadVertex first, last;
    std::memcpy(&first, buffer->Bytes().data(), sizeof(first));
    std::memcpy(&last, buffer->Bytes().data() + (44 * 4 - 1) * sizeof(last), sizeof(last));
    EXPECT_EQ(first.x, 256.0f);
    EXPECT_EQ(last.x, 300.0f);
}

TEST_F(ParticleDeviceTest, TrianglesDrawFromTheirOwnBufferAndSingleVerticesNever) {
    // 400 triangles: 341 fill the buffer, 59 follow.
    std::vector<Graphics::ParticleQuadVertex> vertices(3 * 400);
    for (size_t i = 0; i < vertices.size(); ++i) vertices[i].x = float(i);
    DrawParticleTriangleList(vertices.data(), nullptr, 400, true, false);
    ASSERT_EQ(null->Draws().size(), 2u);
    for (const d3d9::DrawRecord& draw : null->Draws()) {
        EXPECT_EQ(draw.call, "DrawPrimitive");
        EXPECT_EQ(draw.type, D3DPT_TRIANGLELIST);
        EXPECT_EQ(draw.startVertex, 0u);
        EXPECT_EQ(draw.stream0Stride, 28u);
        EXPECT_EQ(draw.RenderState(D3DRS_SRCBLEND), DWORD(D3DBLEND_ONE));
        EXPECT_EQ(draw.RenderState(D3DRS_ZWRITEENABLE), DWORD(FALSE));
    }
    EXPECT_EQ(null->Draws()[0].primitiveCount, 341u);
    EXPECT_EQ(null->Draws()[1].primitiveCount, 59u);
    // The second draw read the 342nd triangle first.
    const std::vector<uint8_t>& read = null->Draws()[1].vertices;
    ASSERT_GE(read.size(), sizeof(Graphics::ParticleQuadVertex));
    Graphics::ParticleQuadVertex first;
    std::memcpy(&first, read.data(), sizeof first);
    EXPECT_EQ(first.x, float(3 * 341));
    EXPECT_EQ(null->CurrentRenderState(D3DRS_ALPHABLENDENABLE), DWORD(FALSE));
    IDirect3DVertexBuffer9* triangleBuffer = null->Draws()[0].stream0;

    null->ClearLog();
    for (int i = 0; i < 6; ++i) AddParticleTriangleVertex(vertices[size_t(i)], nullptr, false, false);
    EXPECT_TRUE(null->Draws().empty());
    // Quads have a buffer of their own.
    Quads(1, true);
    ParticlesFlush();
    ASSERT_EQ(null->Draws().size(), 1u);
    EXPECT_NE(null->Draws()[0].stream0, triangleBuffer);
}

TEST_F(ParticleDeviceTest, AFilledBatchIsDrawnAfterTheBlobShadows) {
    scene.SetShadowCaster(std::unique_ptr<sg::ShadowCaster>(new RecordingShadows(base)));
    Quads(1, false, 3);
    Quads(1, true, 3);
    graphics->Draw(&scene);
    EXPECT_EQ(LogLines({"ShadowCaster", "DrawIndexedPrimitive"}),
              (std::vector<std::string>{"ShadowCaster::Draw", "DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2)",
                                        "DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2)"}));
    // Alpha-blended before additive within one sort key.
    ASSERT_EQ(null->Draws().size(), 2u);
    EXPECT_EQ(null->Draws()[0].RenderState(D3DRS_DESTBLEND), DWORD(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(null->Draws()[1].RenderState(D3DRS_DESTBLEND), DWORD(D3DBLEND_ONE));
}

TEST_F(ParticleDeviceTest, EachSceneUpdateEmptiesTheBatchesAndSweepsTheCaches) {
    CParticlesMesh* effect = LoadParticleEffect("nothing.prt");
    effect->Release();  // cached, unreferenced: each sweep ages it
    ASSERT_EQ(effect->m_nAge, 0);
    Quads(2, true);
    const float matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    AddParticleLight(reinterpret_cast<const CParticlesEmiter*>(&matrix), matrix, 1, 1, 1, 1, 0, matrix);
    ParticleDrawCounters.hosted = 7500;

    scene.Update(0.1f);
    EXPECT_EQ(ParticleBatches()[0]->m_bActive, 0);
    EXPECT_EQ(ParticleBatches()[0]->m_arrVertices.GetCount(), 0u);
    EXPECT_EQ(effect->m_nAge, 1);
    EXPECT_EQ(GetParticleLightCount(), 0);
    EXPECT_EQ(GetParticleDetailLevel(), 9);
    EXPECT_EQ(ParticleDrawCounters.hosted, 0);
    scene.Update(0.1f);
    EXPECT_EQ(effect->m_nAge, 2);

    // Without a scene on the device the camera set-up waits; the batches still empty.
    graphics->SetScene(nullptr);
    Quads(1, true);
    scene.Update(0.1f);
    EXPECT_EQ(effect->m_nAge, 2);
    EXPECT_EQ(ParticleBatches()[0]->m_bActive, 0);
}

// The projection state for known cameras, all looking at the origin with z up.
TEST_F(ParticleDeviceTest, CameraSetUpTakesYawPitchAndFacingFromTheSceneCamera) {
    const float r = 0.70710677f;
    const struct {
        Vector3 eye;
        float yaw, pitch;  // 256ths of a turn
        float facing[9];   // upper 3 x 3, rows
    } cases[] = {
        {{0, -10, 0}, 192, 64, {1, 0, 0, 0, 1, 0, 0, 0, 1}},  // looking along +y: the library's own axes
        // Along -x: a quarter turn about z; the sine of -1 is clamped to -0.999 first.
        {{10, 0, 0}, 129.822f, 64, {0, 1, 0, -1, 0, 0, 0, 0, 1}},
        {{0, -10, 10}, 192, 64, {1, 0, 0, 0, r, -r, 0, r, r}},  // 45 degrees down
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.eye.x + c.eye.y * 100 + c.eye.z * 10000);
        camera->SetLookAt(c.eye, Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f));
        ParticlesUpdateCamera();
        const ParticleMatrixStack::State& state = ParticleMatrixStack::g_State;
        EXPECT_NEAR(state.m_fCameraYaw, c.yaw, 0.01f);
        EXPECT_NEAR(state.m_fCameraPitch, c.pitch, 0.01f);
        for (int i = 0; i < 9; ++i) EXPECT_NEAR(state.m_mFacing.m[4 * (i / 3) + i % 3], c.facing[i], 1e-5f) << i;
        for (int i = 12; i < 15; ++i) EXPECT_NEAR(state.m_mFacing.m[i], 0.0f, 1e-5f);
        EXPECT_EQ(state.m_afCameraPos[0], c.eye.x);
        EXPECT_EQ(state.m_afCameraPos[2], c.eye.z);
        EXPECT_EQ(state.m_afViewRect[2], 512.0f);
        // The facing angles come from the library's constant direction: the same every frame.
        EXPECT_EQ(ParticleFacingAngles.yaw, 128);
        EXPECT_EQ(ParticleFacingAngles.pitch, uint8_t(-400));
    }
}

}  // namespace
