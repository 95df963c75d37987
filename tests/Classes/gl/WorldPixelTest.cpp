// The scene drawn on the OpenGL device and read back: a static, a light-mapped
// and a skinned model in three animation frames, and the sample battlefield
// (the map, the six defenders with their weapons and blob shadows) seen
// through the sample map view's camera, kept as $DM_BUILD_DIR/screenshots/world.png
// for a person to look at.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Model/Model.h"
#include "Graphics/Texture2D.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/Light.h"
#include "SceneGraph/ModelNode.h"
#include "SceneGraph/Scene.h"
#include "platform/d3d9/Extensions.h"
#include "support/GLDeviceFixture.h"
#include "support/SampleBattlefield.h"
#include "support/Screenshot.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/GameData.h"
#include "tools/catalogue/Models.h"
#include "tools/databuilder/PodWriter.h"

namespace {

namespace cm = catalogue::models;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// A frame read back: A8R8G8B8, top row first.
struct Image {
    std::vector<DWORD> pixels;
    DWORD At(int x, int y) const { return pixels[size_t(y) * kWidth + size_t(x)] & 0x00FFFFFFu; }
    static int Channel(DWORD p, int shift) { return int((p >> shift) & 0xFF); }
    static int Brightness(DWORD p) { return Channel(p, 16) + Channel(p, 8) + Channel(p, 0); }
};

// Pixels of the square of half size r around (x, y) that differ from `other`
// (or from the colour when other is null).
int Differing(const Image& image, int x, int y, int r, DWORD colour, const Image* other = nullptr) {
    int count = 0;
    for (int py = std::max(0, y - r); py <= std::min(kHeight - 1, y + r); ++py)
        for (int px = std::max(0, x - r); px <= std::min(kWidth - 1, x + r); ++px)
            if (image.At(px, py) != (other != nullptr ? other->At(px, py) : colour)) ++count;
    return count;
}

class WorldPixelTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* build = std::getenv("DM_BUILD_DIR");
        ASSERT_NE(build, nullptr);
        buildDir = build;
        oldDir = std::filesystem::current_path();
        std::filesystem::current_path(buildDir + "/game");

        window = testsupport::CreateGLWindow("world", kWidth, kHeight);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        ASSERT_EQ(testsupport::CreateGLDevice(window, testsupport::WindowedParameters(kWidth, kHeight, 1),
                                              D3DCREATE_HARDWARE_VERTEXPROCESSING, &d3d, &device),
                  D3D_OK);
        graphics.reset(new Graphics::GraphicsDevice(d3d, device));
        ASSERT_TRUE(graphics->GetEffect()->IsLoaded());
        Service<Graphics::GraphicsDevice>::Register(graphics.get());
        graphics->SetViewport(Viewport(0, 0, kWidth, kHeight, 0.0f, 1.0f));

        textures.reset(new Content::ContentLoader<Graphics::Texture2D>(catalogue::config::kTextures.Path()));
        Service<Content::ContentLoader<Graphics::Texture2D>>::Register(textures.get());
        models.reset(new Content::ContentLoader<Graphics::Model>(catalogue::config::kMeshes.Path()));
        clips.reset(new Content::ContentLoader<Graphics::AnimationClips>(catalogue::config::kAnims.Path()));
    }

    void TearDown() override {
        if (device != nullptr && !HasFailure()) {
            const std::vector<std::string> errors = d3d9::GetErrors(device);
            EXPECT_TRUE(errors.empty()) << errors.front();
        }
        scene.reset();
        world.reset();
        clips.reset();
        models.reset();
        if (Service<Content::ContentLoader<Graphics::Texture2D>>::Exists())
            Service<Content::ContentLoader<Graphics::Texture2D>>::Unregister();
        textures.reset();
        if (Service<Graphics::GraphicsDevice>::Exists()) Service<Graphics::GraphicsDevice>::Unregister();
        graphics.reset();
        if (device != nullptr) device->Release();
        if (d3d != nullptr) d3d->Release();
        if (window != nullptr) SDL_DestroyWindow(window);
        d3d9::SetWindowResolver(nullptr);
        std::filesystem::current_path(oldDir);
    }

    void MakeScene(const boost::shared_ptr<sg::Camera>& camera, const Color& clear) {
        world.reset(new sg::Group("World"));
        world->AddChild(camera);
        scene.reset(new sg::Scene());
        scene->SetCamera(camera);
        scene->SetRoot(world);
        scene->SetClearColor(clear);
        graphics->SetScene(scene.get());
        drawn = scene.get();
    }

    // One frame: the scene's update, cull and sort, then the device's draw.
    Image Frame(float dt = 0.0f) {
        Image image;
        drawn->Update(dt);
        drawn->Cull();
        drawn->Sort();
        EXPECT_EQ(device->BeginScene(), D3D_OK);
        graphics->Draw(drawn);
        device->EndScene();
        UINT width = 0, height = 0;
        EXPECT_EQ(d3d9::ReadBackBuffer(device, &image.pixels, &width, &height), D3D_OK);
        EXPECT_EQ(width, UINT(kWidth));
        EXPECT_EQ(height, UINT(kHeight));
        return image;
    }

    bool Screen(sg::Camera& camera, const Vector3& p, int& x, int& y) {
        Vector3 s;
        if (!camera.WorldToScreen(p, s)) return false;
        x = int(s.x);
        y = int(s.y);
        return x >= 0 && x < kWidth && y >= 0 && y < kHeight;
    }

    boost::shared_ptr<Graphics::Model> Humanoid(const std::string& mesh, const std::string& clipTable) {
        boost::shared_ptr<Graphics::Model> model = models->Load(mesh);
        EXPECT_TRUE(model) << mesh;
        boost::shared_ptr<Graphics::AnimationClips> table = clips->Load(clipTable);
        EXPECT_TRUE(table) << clipTable;
        if (model && table) model->SetAnimationClips(table);
        return model;
    }

    std::string buildDir;
    std::filesystem::path oldDir;
    SDL_Window* window = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    std::unique_ptr<Graphics::GraphicsDevice> graphics;
    std::unique_ptr<Content::ContentLoader<Graphics::Texture2D>> textures;
    std::unique_ptr<Content::ContentLoader<Graphics::Model>> models;
    std::unique_ptr<Content::ContentLoader<Graphics::AnimationClips>> clips;
    boost::shared_ptr<sg::Group> world;
    std::unique_ptr<sg::Scene> scene;
    sg::Scene* drawn = nullptr;  // the scene Frame draws
};

// A light-mapped panel upright in the model's x-y plane, 16 x 16 units, seen
// from both sides, with the sample ground texture and light map.
std::vector<uint8_t> LightMappedPanel() {
    podwriter::Mesh m;
    m.stride = 64;
    m.numUVW = 2;
    m.attributes = {{6006, 1, 3, 0},  {6007, 1, 3, 12}, {6008, 1, 3, 24},
                    {6009, 1, 3, 36}, {6010, 1, 2, 48}, {6010, 1, 2, 56}};
    const float corners[4][2] = {{-8, 0}, {8, 0}, {8, 16}, {-8, 16}};
    for (int c = 0; c < 4; ++c) {
        const float u = corners[c][0] > 0 ? 1.0f : 0.0f, v = corners[c][1] > 0 ? 0.0f : 1.0f;
        const float vertex[16] = {corners[c][0], corners[c][1], 0, 0, 0, 1, 1, 0, 0, 0, 1, 0, u, v, u, v};
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(vertex);
        m.interleaved.insert(m.interleaved.end(), bytes, bytes + sizeof(vertex));
    }
    m.numVertex = 4;
    m.faces = {0, 1, 2, 0, 2, 3, 0, 2, 1, 0, 3, 2};
    podwriter::Scene s;
    s.meshes = {m};
    podwriter::Node node;
    node.index = 0;
    node.name = "Panel";
    node.material = 0;
    s.nodes = {node};
    s.meshNodeCount = 1;
    s.textures = {"harrowmere_ground.png", "harrowmere_lightmap.png"};
    s.materials = {{"panel", 0, 1}};
    return podwriter::WritePod(s);
}

TEST_F(WorldPixelTest, StaticLightMappedAndSkinnedModelsInThreeFrames) {
    boost::shared_ptr<sg::Camera> camera(new sg::Camera());
    camera->SetViewport(Viewport(0, 0, kWidth, kHeight, 0.0f, 1.0f));
    // The models stand with their up axis along world y here (no map rotation).
    camera->SetLookAt(Vector3(0, 12, 120), Vector3(0, 12, 0), Vector3(0, 1, 0));
    camera->SetPerspective(60.0f, float(kWidth) / kHeight, 10.0f, 10000.0f);
    const DWORD background = 0x141E5A;
    MakeScene(camera, Color(0x14, 0x1E, 0x5A, 255));
    boost::shared_ptr<sg::Light> sun(new sg::Light(0));
    sun->SetAmbient(Color(90, 90, 90));
    sun->SetDiffuse(Color(200, 200, 200));
    sun->SetDirection(Vector3(0.3f, -0.5f, -0.8f));
    scene->SetLight(sun);
    graphics->SetLightMapFactor(1.0f, 1.0f);

    const std::string panelPath = (std::filesystem::temp_directory_path() / "dm-world-panel.pod").string();
    {
        const std::vector<uint8_t> bytes = LightMappedPanel();
        std::ofstream(panelPath, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    boost::shared_ptr<Graphics::Model> panel = Graphics::Model::LoadFromFile(panelPath);
    std::filesystem::remove(panelPath);
    ASSERT_TRUE(panel);
    ASSERT_EQ(panel->IsLightMapped(), 1);
    boost::shared_ptr<Graphics::Model> crate = models->Load(cm::kScenery[2]);
    ASSERT_TRUE(crate);
    boost::shared_ptr<Graphics::Model> swordsman = Humanoid(cm::kDefenders[0].mesh, cm::kDefenders[0].clips);
    ASSERT_TRUE(swordsman);
    ASSERT_TRUE(swordsman->IsSkinned());

    boost::shared_ptr<sg::ModelNode> skinned(new sg::ModelNode(swordsman));
    skinned->Translate(-40, 0, 0);
    skinned->SetClip("strike_1");
    boost::shared_ptr<sg::ModelNode> still(new sg::ModelNode(crate));
    still->Translate(0, 0, 0);
    boost::shared_ptr<sg::ModelNode> lit(new sg::ModelNode(panel));
    lit->Translate(40, 0, 0);
    for (const auto& node : {skinned, still, lit}) world->AddChild(node);

    // Where each stands: its origin on the ground and a point a few units up.
    struct Spot {
        const char* what;
        Vector3 at;
    } spots[] = {{"skinned", Vector3(-40, 8, 0)}, {"static", Vector3(0, 4, 0)}, {"light-mapped", Vector3(40, 8, 0)}};

    std::vector<Image> frames;
    const sg::ModelNode::Clip clip = skinned->GetClip();
    for (float f : {float(clip.first), float(clip.first + 4), float(clip.first + 6)}) {
        skinned->SetFrame(f);
        frames.push_back(Frame());
        for (const Spot& spot : spots) {
            int x = 0, y = 0;
            ASSERT_TRUE(Screen(*camera, spot.at, x, y)) << spot.what;
            EXPECT_GT(Differing(frames.back(), x, y, 3, background), 40) << spot.what << " at frame " << f;
        }
        // Nothing far from the models.
        EXPECT_EQ(Differing(frames.back(), 20, 20, 10, background), 0);
    }
    // The skinned model moves between the frames; the others stay as they were.
    int x = 0, y = 0;
    ASSERT_TRUE(Screen(*camera, Vector3(-40, 12, 0), x, y));
    EXPECT_GT(Differing(frames[0], x, y, 60, 0, &frames[2]), 200);
    ASSERT_TRUE(Screen(*camera, Vector3(0, 4, 0), x, y));
    EXPECT_EQ(Differing(frames[0], x, y, 30, 0, &frames[2]), 0);
    // The light map brightens the panel beyond the flat ground texture's own colour.
    ASSERT_TRUE(Screen(*camera, Vector3(40, 8, 0), x, y));
    EXPECT_GT(Image::Brightness(frames[0].At(x, y)), 60);
}

TEST_F(WorldPixelTest, DefendersStandOnTheMapWithBlobShadows) {
    testsupport::SampleBattlefield battlefield;
    ASSERT_TRUE(battlefield.BuildMap(*graphics, {textures.get(), models.get(), clips.get()}, kWidth, kHeight))
        << battlefield.Error();
    ASSERT_EQ(battlefield.Map().view.points.size(), 6u);
    drawn = &battlefield.Scene();
    sg::Camera& camera = battlefield.Camera();

    const Image empty = Frame();

    ASSERT_TRUE(battlefield.AddDefenders()) << battlefield.Error();
    const std::vector<boost::shared_ptr<sg::ModelNode>>& units = battlefield.Units();
    const std::vector<Vector3>& feet = battlefield.Feet();

    drawn->SetShadowsEnabled(false);
    const Image unshadowed = Frame(0.2f);
    drawn->SetShadowsEnabled(true);
    const Image shot = Frame(0.0f);
    testsupport::SaveScreenshot(shot.pixels, kWidth, kHeight, "world.png");

    EXPECT_EQ(drawn->GetRenderLists().models.size(), 7u);  // the map and six units in view
    for (size_t i = 0; i < units.size(); ++i) {
        SCOPED_TRACE(catalogue::gamedata::kPurchasableDefenders[i]);
        int x = 0, y = 0;
        // Upright: the body shows a unit's height above its feet, where the empty map shows ground.
        ASSERT_TRUE(Screen(camera, feet[i] + Vector3(0, 0, 14), x, y));
        EXPECT_GT(Differing(shot, x, y, 2, 0, &empty), 15);
        // Above its head there is only the map.
        ASSERT_TRUE(Screen(camera, feet[i] + Vector3(0, 0, 45), x, y));
        EXPECT_EQ(Differing(shot, x, y, 2, 0, &empty), 0);
        // The blob darkens the ground beside the feet (s: its half size).
        const float s = units[i]->GetBoundingSphere().radius * 0.75f;
        ASSERT_TRUE(Screen(camera, feet[i] + Vector3(-0.45f * s, -0.3f * s, 0), x, y));
        EXPECT_LT(Image::Brightness(shot.At(x, y)), Image::Brightness(unshadowed.At(x, y))) << x << ", " << y;
    }

    // A closer look at the row for a person to check faces, weapons and shadows.
    const Vector3 middle = (feet[0] + feet[1]) * 0.5f;
    camera.SetLookAt(middle + Vector3(0, -100, 50), middle + Vector3(0, 0, 12), Vector3(0, 0, 1));
    testsupport::SaveScreenshot(Frame(0.0f).pixels, kWidth, kHeight, "world_closeup.png");
}

}  // namespace
