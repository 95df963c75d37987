// The scene draw the graphics device runs, on the recording null device: the
// light upload, the debug axes, the order of the scene draw, and the renderer
// drawing a frame into the back buffer or through its post-processing chain.
#include "SceneGraph/Scene.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>

#include "Graphics/Draw2D.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/GraphicsDeviceFixture.h"
#include "Graphics/Renderer.h"
#include "Graphics/SpriteFont.h"
#include "Graphics/Texture2D.h"
#include "SceneGraph/ModelNode.h"
#include "platform/win32/MessageBox.h"

namespace {

using Graphics::GraphicsDevice;

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

class SceneDrawTest : public NullDeviceTest {
protected:
    void SetUp() override {
        NullDeviceTest::SetUp();
        folder.WriteShippedEffects();
        recorder.reset(new ParticleRecorder(base));
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

    std::unique_ptr<ParticleRecorder> recorder;
    std::unique_ptr<GraphicsDevice> graphics;
    boost::shared_ptr<sg::Camera> camera;
    sg::Scene scene;
};

TEST_F(SceneDrawTest, LightsOfTypeZeroReachTheEffect) {
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

TEST_F(SceneDrawTest, SceneDrawsInOrder) {
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

TEST_F(SceneDrawTest, SceneWithoutClearOrCameraDrawsNothingOfItsOwn) {
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

TEST_F(SceneDrawTest, DebugAxesDrawThreeColouredLines) {
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

using Graphics::Renderer;

class RendererFrameTest : public NullDeviceTest {};

TEST_F(RendererFrameTest, EveryFrameDrawsIntoTheBackBuffer) {
    folder.WriteShippedEffects();
    Renderer renderer(d3d, device);
    boost::shared_ptr<sg::Camera> camera(new sg::Camera());
    sg::Scene scene;
    scene.SetCamera(camera);
    // something else left bound, as a render-to-texture would
    IDirect3DSurface9* other = renderer.GetRenderTarget(4)->GetSurface();
    device->SetRenderTarget(0, other);
    other->Release();
    null->ClearLog();
    renderer.Draw(&scene);
    char bind[64];
    std::snprintf(bind, sizeof(bind), "SetRenderTarget(0, %p)", static_cast<void*>(base->BackBufferSurface()));
    EXPECT_EQ(LogLines({"SetRenderTarget", "Clear"}),
              (std::vector<std::string>{bind, "Clear(0, 0x7, 0xff000000, 1, 0)"}));
    EXPECT_EQ(base->RenderTarget(0), base->BackBufferSurface());
}

// The post-processing path has no switch in the game; a subclass turns it on.
class PostProcessingRenderer : public Renderer {
public:
    PostProcessingRenderer(IDirect3D9* d3d, IDirect3DDevice9* device) : Renderer(d3d, device) {
        post_processing_ = true;
        post_process_chain_.reset(new Graphics::PostProcessChain{
            {{Graphics::PostProcessGaussFilter}, {Graphics::PostProcessColorInverse, 9}}});
    }
};

TEST_F(RendererFrameTest, PostProcessingAlternatesTargetsAndEndsInTheBackBuffer) {
    folder.WriteShippedEffects();
    PostProcessingRenderer renderer(d3d, device);
    boost::shared_ptr<sg::Camera> camera(new sg::Camera());
    sg::Scene scene;
    scene.SetCamera(camera);
    null->ClearLog();
    renderer.Draw(&scene);
    EXPECT_EQ(LogLines({"ID3DXEffect::SetTechnique", "Clear", "DrawPrimitive("}),
              (std::vector<std::string>{
                  "Clear(0, 0x7, 0xff000000, 1, 0)",  // the scene, into target 5
                  "Clear(0, 0x3, 0xffffffff, 1, 0)",
                  "ID3DXEffect::SetTechnique(GaussFilter)",
                  "DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2)",
                  "Clear(0, 0x3, 0xffffffff, 1, 0)",
                  "ID3DXEffect::SetTechnique(ColorInverse)",
                  "DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2)",
                  // step 9 selects no technique: the effect keeps the one it had
                  "Clear(0, 0x3, 0xffffffff, 1, 0)",
                  "DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2)",
                  "Clear(0, 0x3, 0xffffffff, 1, 0)",
                  "ID3DXEffect::SetTechnique(DebugShow)",
                  "DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2)",
              }));
    EXPECT_EQ(base->RenderTarget(0), base->BackBufferSurface());
    // the final copy reads the last image written: the scene went to target 5,
    // the three steps to 6, 5 and 6
    const d3d9::DrawRecord& last = null->Draws().back();
    EXPECT_EQ(last.renderTarget0, base->BackBufferSurface());
    EXPECT_EQ(last.textures[0], static_cast<IDirect3DBaseTexture9*>(renderer.GetRenderTarget(5)->GetTexture()));
}

}  // namespace
