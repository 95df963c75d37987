// The graphics device on the recording null device: its declarations, the
// light and light-map uploads, the debug axes and the order of the scene draw.
#include "Graphics/GraphicsDevice.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>

#include "Graphics/Draw2D.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/Texture2D.h"
#include "GraphicsDeviceFixture.h"
#include "SceneGraph/ModelNode.h"
#include "SceneGraph/Scene.h"

namespace {

using Graphics::GraphicsDevice;

class Recorder : public Graphics::standin::Observer {
public:
    explicit Recorder(d3d9::DeviceBase* base) : base_(base) { Graphics::standin::SetObserver(this); }
    ~Recorder() override { Graphics::standin::SetObserver(nullptr); }
    void ParticleBuffersCreated() override { ++created; }
    void ParticleBuffersReleased() override { ++released; }
    void ParticlesFlushed() override { base_->Record("ParticlesFlush"); }
    int created = 0;
    int released = 0;

private:
    d3d9::DeviceBase* base_;
};

class RecordingNode : public sg::ModelNode {
public:
    RecordingNode(d3d9::DeviceBase* base, const char* name)
        : sg::ModelNode(boost::shared_ptr<Graphics::Model>()), base_(base) {
        SetName(name);
    }
    void Draw(sg::Camera* /*camera*/) override {
        base_->Record("ModelNode::Draw(%s, effect %s)", GetName().c_str(), GetEffect() != nullptr ? "set" : "none");
    }

private:
    d3d9::DeviceBase* base_;
};

class RecordingShadows : public sg::ShadowCaster {
public:
    explicit RecordingShadows(d3d9::DeviceBase* base) : base_(base) {}
    void Draw(sg::RenderLists& lists) override {
        base_->Record("ShadowCaster::Draw(%u models)", static_cast<unsigned>(lists.models.size()));
    }

private:
    d3d9::DeviceBase* base_;
};

class GraphicsDeviceTest : public NullDeviceTest {
protected:
    void SetUp() override {
        NullDeviceTest::SetUp();
        folder.WriteShippedEffects();
        recorder.reset(new Recorder(base));
        graphics.reset(new GraphicsDevice(d3d, device));
        camera.reset(new sg::Camera());
        camera->SetLookAt(Vector3(10.0f, 20.0f, 30.0f), Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f));
        camera->SetPerspective(60.0f, 4.0f / 3.0f, 10.0f, 10000.0f);
        scene.SetCamera(camera);
        null->ClearLog();
    }
    void TearDown() override {
        graphics.reset();
        recorder.reset();
        NullDeviceTest::TearDown();
    }

    std::unique_ptr<Recorder> recorder;
    std::unique_ptr<GraphicsDevice> graphics;
    boost::shared_ptr<sg::Camera> camera;
    sg::Scene scene;
};

TEST_F(GraphicsDeviceTest, StartsWithTheVirtualScreenAndSevenDeclarations) {
    EXPECT_EQ(graphics->GetScreenSize().x, 1024.0f);
    EXPECT_EQ(graphics->GetScreenSize().y, 768.0f);
    const D3DVIEWPORT9& viewport = graphics->GetViewport();
    EXPECT_EQ(viewport.Width, 1u);
    EXPECT_EQ(viewport.Height, 1u);
    EXPECT_EQ(viewport.MaxZ, 0.0f);
    EXPECT_EQ(graphics->GetEffectFlags(), 0x412u);
    EXPECT_EQ(recorder->created, 1);

    // usage, type and offset of each element, then the vertex size
    struct Expected {
        IDirect3DVertexDeclaration9* declaration;
        std::vector<std::array<int, 4>> elements;  // usage, usage index, type, offset
        size_t size;
    } declarations[] = {
        {graphics->GetScreenVertexDeclaration(), {{9, 0, 3, 0}, {5, 0, 1, 16}}, sizeof(Graphics::ScreenVertex)},
        {graphics->GetLineVertexDeclaration(), {{0, 0, 2, 0}, {10, 0, 4, 12}}, sizeof(Graphics::LineVertex)},
        {graphics->GetParticleQuadVertexDeclaration(),
         {{0, 0, 3, 0}, {10, 0, 4, 16}, {5, 0, 1, 20}},
         sizeof(Graphics::ParticleQuadVertex)},
        {graphics->GetBlobShadowVertexDeclaration(), {{0, 0, 2, 0}, {5, 0, 1, 12}}, sizeof(Graphics::BlobShadowVertex)},
        {graphics->GetModelVertexDeclaration(),
         {{0, 0, 2, 0}, {3, 0, 2, 12}, {6, 0, 2, 24}, {7, 0, 2, 36}, {5, 0, 1, 48}},
         sizeof(Graphics::ModelVertex)},
        {graphics->GetModelVertexLMDeclaration(),
         {{0, 0, 2, 0}, {3, 0, 2, 12}, {6, 0, 2, 24}, {7, 0, 2, 36}, {5, 0, 1, 48}, {5, 1, 1, 56}},
         sizeof(Graphics::ModelVertexLM)},
        {graphics->GetSkinnedModelVertexDeclaration(),
         {{0, 0, 2, 0}, {3, 0, 2, 12}, {6, 0, 2, 24}, {7, 0, 2, 36}, {5, 0, 1, 48}, {1, 0, 1, 56}, {2, 0, 5, 64}},
         sizeof(Graphics::SkinnedModelVertex)},
    };
    for (const Expected& expected : declarations) {
        ASSERT_NE(expected.declaration, nullptr);
        const auto& elements = static_cast<d3d9::VertexDeclaration*>(expected.declaration)->Elements();
        ASSERT_EQ(elements.size(), expected.elements.size());
        for (size_t i = 0; i < elements.size(); ++i) {
            EXPECT_EQ(elements[i].Stream, 0);
            EXPECT_EQ(
                (std::array<int, 4>{elements[i].Usage, elements[i].UsageIndex, elements[i].Type, elements[i].Offset}),
                expected.elements[i]);
        }
        EXPECT_EQ(static_cast<d3d9::VertexDeclaration*>(expected.declaration)->StreamExtent(0), expected.size);
    }

    graphics.reset();
    EXPECT_EQ(recorder->released, 1);
}

TEST_F(GraphicsDeviceTest, LightsOfTypeZeroReachTheEffect) {
    sg::Light sun(0);
    sun.SetAmbient(Color(64, 32, 0, 255));
    sun.SetSpecular(Color(128, 128, 128, 40));
    sun.SetDirection(Vector3(0.0f, 1.0f, -1.0f));
    graphics->SetLight(&sun);
    EXPECT_EQ(
        LogLines({"ID3DXEffect::"}),
        (std::vector<std::string>{"ID3DXEffect::SetValue(g_LightAmbient, [0.25, 0.125, 0, 0.996094])",
                                  "ID3DXEffect::SetValue(g_LightDiffuse, [0.996094, 0.996094, 0.996094, 0.996094])",
                                  "ID3DXEffect::SetValue(g_LightSpecular, [0.5, 0.5, 0.5, 40])",
                                  "ID3DXEffect::SetValue(g_LightDir, [0, 1, -1])"}));

    null->ClearLog();
    sg::Light lamp(1);
    graphics->SetLight(&lamp);
    graphics->SetLight(nullptr);
    EXPECT_TRUE(LogLines({"ID3DXEffect::"}).empty());

    graphics->SetLightMapFactor(2.0f, 0.5f);
    EXPECT_TRUE(null->Contains("ID3DXEffect::SetValue(g_LMFactor, [2, 2, 2, 0.5])"));
}

TEST_F(GraphicsDeviceTest, ViewportGoesToTheDevice) {
    EXPECT_EQ(graphics->SetViewport(Viewport(0, 0, 1024, 768, 0.0f, 1.0f)), D3D_OK);
    EXPECT_EQ(graphics->GetViewport().Width, 1024u);
    EXPECT_EQ(graphics->GetViewport().MaxZ, 1.0f);
    EXPECT_EQ(base->Viewport().Height, 768u);
}

TEST_F(GraphicsDeviceTest, SceneDrawsInOrder) {
    RecordingNode castle(base, "castle");
    RecordingNode archer(base, "archer");
    boost::shared_ptr<sg::Light> sun(new sg::Light(0));
    sg::Light listed(0);
    listed.SetDirection(Vector3(1.0f, 0.0f, 0.0f));
    scene.SetLight(sun);
    scene.GetRenderLists().lights.push_back(&listed);
    scene.GetRenderLists().models = {&castle, &archer};
    scene.SetShadowCaster(std::unique_ptr<sg::ShadowCaster>(new RecordingShadows(base)));
    scene.SetClearColor(Color(255, 128, 0, 255));
    scene.SetShowStatistics(true);
    // a font whose only glyph is 'C', two pixels below the pen
    boost::shared_ptr<Graphics::SpriteFont> font(new Graphics::SpriteFont("stats.fnt"));
    font->line_height_ = 18;
    font->page_width_ = 64;
    font->page_height_ = 64;
    font->default_width_ = 5;
    font->page_texture_.reset(new Graphics::Texture2D(graphics.get(), 64, 64, 1, Graphics::SurfaceFormatA8R8G8B8));
    font->glyphs_['C'] = Graphics::SpriteFontGlyph{0, 0, 8, 10, 0, 2, 9, 0};
    scene.SetStatisticsFont(font);
    sg::CullTraverser& stats = scene.GetCullTraverser();
    stats.culled_nodes = 3;
    stats.passed_nodes = 7;
    stats.culled_triangles = 120;
    stats.passed_triangles = 480;
    Graphics::Draw2D::Init(graphics.get());
    null->ClearLog();

    graphics->Draw(&scene);
    EXPECT_EQ(graphics->GetScene(), &scene);
    EXPECT_EQ(LogLines({"Clear", "ID3DXEffect::SetValue(g_CamPos", "ID3DXEffect::SetValue(g_LightDir", "ModelNode",
                        "ShadowCaster", "ParticlesFlush", "ID3DXEffect::SetTechnique", "DrawPrimitive(",
                        "ID3DXEffect::End()"}),
              (std::vector<std::string>{
                  "Clear(0, 0x7, 0xffff8000, 1, 0)",
                  "ID3DXEffect::SetValue(g_CamPos, [10, 20, 30])",
                  "ID3DXEffect::SetValue(g_LightDir, [0, 0, -1])",
                  "ID3DXEffect::SetValue(g_LightDir, [1, 0, 0])",
                  "ModelNode::Draw(castle, effect set)",
                  "ModelNode::Draw(archer, effect set)",
                  "ShadowCaster::Draw(2 models)",
                  "ParticlesFlush",
                  // the statistics: "CULLING STATS [CULLED ..." has two C's, "CULLED TRIS ..." one
                  "ID3DXEffect::SetTechnique(Render2D)",
                  "DrawPrimitive(D3DPT_TRIANGLELIST, 0, 4)",
                  "DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2)",
                  "ID3DXEffect::End()",
              }));
    // the second line's 'C' sits one font line (18) below the first
    auto* text = static_cast<d3d9::VertexBuffer*>(Graphics::GetDraw2DState().text_buffer);
    ASSERT_NE(text, nullptr);
    Graphics::ScreenVertex corner;
    std::memcpy(&corner, text->Bytes().data(), sizeof(corner));
    EXPECT_EQ(corner.x, -0.5f);
    EXPECT_EQ(corner.y, 18.0f + 2.0f - 0.5f);
    Graphics::Draw2D::Shutdown();
}

TEST_F(GraphicsDeviceTest, SceneWithoutClearOrCameraDrawsNothingOfItsOwn) {
    scene.SetClearTarget(false);
    scene.SetClearDepth(false);
    graphics->Draw(&scene);
    EXPECT_EQ(null->Count("Clear"), 0u);
    EXPECT_EQ(null->Count("ParticlesFlush"), 1u);

    scene.SetClearDepth(true);
    null->ClearLog();
    graphics->Draw(&scene);
    EXPECT_TRUE(null->Contains("Clear(0, 0x6, 0xff000000, 1, 0)"));

    null->ClearLog();
    sg::Scene empty;
    graphics->Draw(&empty);
    graphics->Draw(nullptr);
    EXPECT_TRUE(null->Log().empty());
}

TEST_F(GraphicsDeviceTest, DebugAxesDrawThreeColouredLines) {
    graphics->SetDrawAxes(true);
    graphics->Draw(&scene);
    ASSERT_EQ(null->Draws().size(), 1u);
    const d3d9::DrawRecord& draw = null->Draws()[0];
    EXPECT_EQ(draw.type, D3DPT_LINELIST);
    EXPECT_EQ(draw.primitiveCount, 3u);
    EXPECT_EQ(draw.declaration, graphics->GetLineVertexDeclaration());
    ASSERT_EQ(draw.vertices.size(), 6 * sizeof(Graphics::LineVertex));
    Graphics::LineVertex lines[6];
    std::memcpy(lines, draw.vertices.data(), sizeof(lines));
    EXPECT_EQ(lines[1].x, 100.0f);
    EXPECT_EQ(lines[1].color, 0xFFFF0000u);
    EXPECT_EQ(lines[3].y, 100.0f);
    EXPECT_EQ(lines[3].color, 0xFF00FF00u);
    EXPECT_EQ(lines[5].z, 100.0f);
    EXPECT_EQ(lines[5].color, 0xFF0000FFu);
    EXPECT_EQ(LogLines({"ID3DXEffect::SetMatrix", "ID3DXEffect::SetTechnique", "ID3DXEffect::BeginPass",
                        "ID3DXEffect::End()", "DrawPrimitiveUP"}),
              (std::vector<std::string>{"ID3DXEffect::SetMatrixArray(g_WVPXf, 1)",
                                        "ID3DXEffect::SetTechnique(RenderColor)", "ID3DXEffect::BeginPass(0)",
                                        "DrawPrimitiveUP(D3DPT_LINELIST, 3, 16)", "ID3DXEffect::End()"}));
    // the program drew with the camera's view-projection
    const d3d9::UniformValue* wvp = static_cast<d3d9::ProgramBase*>(draw.program)->Uniform("g_WVPXf");
    ASSERT_NE(wvp, nullptr);
    EXPECT_EQ(0, std::memcmp(wvp->floats.data(), camera->GetViewProjection().m, 16 * sizeof(float)));
}

}  // namespace
