// Every render kind drawn side by side through the scene draw on the OpenGL
// device, each by an effect of its own written with the effect writer: sprites,
// free, flat and line quads, the motion-aligned sprite, a ribbon, a trail, a beam
// aimed at a set offset point and an object particle showing a sample model. The
// frame is kept as $DM_BUILD_DIR/screenshots/particle_kinds.png.
#include <gtest/gtest.h>

#include <SDL.h>
#include <boost/make_shared.hpp>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../RunningEffectFixtures.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Model/Model.h"
#include "Graphics/Texture2D.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/Scene.h"
#include "particles/ParticleBatch.h"
#include "particles/ParticleDevice.h"
#include "particles/ParticleMatrixStack.h"
#include "support/GLDeviceFixture.h"
#include "support/Screenshot.h"
#include "tools/catalogue/Config.h"

namespace {

using effectfixtures::SetConstant;
using P = CParticleParams;

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
const DWORD kClear = 0x00202020u;

struct Kind {
    const char* name;
    int32_t kind, chainMode;
    float x;  // where along the row its particles stand
    DWORD colour;
};

// An effect of one emitter whose block draws the kind in one opaque colour,
// untextured; its particles are placed by hand.
struct KindEffect : runfixtures::PlainEmitter {
    explicit KindEffect(const Kind& k) {
        particle->ParticleKind = k.kind;
        particle->ChainMode = k.chainMode;
        particle->ParticleSpace = 1;
        particle->Width = particle->Height = 2.0f;
        particle->StripWidth = 1.0f;
        particle->AlphaBlended = 1;
        particle->SheetColumns = particle->AtlasRows = 1;
        if (k.kind == 0) particle->ModelName = "rock.pod?Object";
        const float size = k.kind == 0 ? 0.2f : 1.0f;  // the rock is modelled a cell wide
        if (k.kind == 8) particle->OwnMatrix = 1;      // its rows drive it: still, it faces up
        for (uint8_t& flag : particle->NoVariation) flag = 1;
        SetConstant(particle->Tracks[P::Red], float((k.colour >> 16) & 0xFF) / 255.0f);
        SetConstant(particle->Tracks[P::Green], float((k.colour >> 8) & 0xFF) / 255.0f);
        SetConstant(particle->Tracks[P::Blue], float(k.colour & 0xFF) / 255.0f);
        SetConstant(particle->Tracks[P::Alpha], 1.0f);
        for (int row : {P::SizeX, P::SizeY, P::SizeZ}) SetConstant(particle->Tracks[row], size);
        entry->RepeatMode = 2;
    }
};

using runfixtures::PlaceParticle;

class ParticleKindsPixelTest : public testsupport::GLDeviceTest {
protected:
    ParticleKindsPixelTest()
        : GLDeviceTest({"particle_kinds", kScreenWidth, kScreenHeight, 1, D3DCREATE_HARDWARE_VERTEXPROCESSING}) {}

    void SetUp() override {
        const char* build = std::getenv("DM_BUILD_DIR");
        ASSERT_NE(build, nullptr);
        oldDir = std::filesystem::current_path();
        std::filesystem::current_path(std::string(build) + "/game");
        ASSERT_NO_FATAL_FAILURE(GLDeviceTest::SetUp());
        BindParticleHooks();
        graphics.reset(new Graphics::GraphicsDevice(d3d, device));
        ASSERT_TRUE(graphics->GetEffect()->IsLoaded());
        Service<Graphics::GraphicsDevice>::Register(graphics.get());
        graphics->SetViewport(Viewport(0, 0, kScreenWidth, kScreenHeight, 0.0f, 1.0f));
        textures.reset(new Content::ContentLoader<Graphics::Texture2D>(catalogue::config::kTextures.Path()));
        Service<Content::ContentLoader<Graphics::Texture2D>>::Register(textures.get());
        models.reset(new Content::ContentLoader<Graphics::Model>(catalogue::config::kMeshes.Path()));
        Service<Content::ContentLoader<Graphics::Model>>::Register(models.get());

        // From above and in front, so that flat quads show too.
        camera = boost::make_shared<sg::Camera>();
        camera->SetLookAt(Vector3(0.0f, -24.0f, 18.0f), Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f));
        camera->SetPerspective(60.0f, float(kScreenWidth) / kScreenHeight, 1.0f, 200.0f);
        root = boost::make_shared<sg::Group>("World");
        root->AddChild(camera);
        scene.SetCamera(camera);
        scene.SetRoot(root);
        scene.SetClearColor(Color(0x20, 0x20, 0x20, 0xFF));
        graphics->SetScene(&scene);
    }
    void TearDown() override {
        ExpectNoDeviceErrors();
        ParticlesReleaseView();
        runs.clear();
        Service<Content::ContentLoader<Graphics::Model>>::Unregister();
        models.reset();
        Service<Content::ContentLoader<Graphics::Texture2D>>::Unregister();
        textures.reset();
        Service<Graphics::GraphicsDevice>::Unregister();
        graphics.reset();
        UnbindParticleHooks();
        GLDeviceTest::TearDown();
        std::filesystem::current_path(oldDir);
    }

    // The pixel of a world point through the camera's view-projection.
    bool Screen(float x, float y, float z, int& px, int& py) {
        const Matrix4& vp = camera->GetViewProjection();
        float clip[4];
        for (int c = 0; c < 4; ++c) clip[c] = x * vp.m[c] + y * vp.m[4 + c] + z * vp.m[8 + c] + vp.m[12 + c];
        if (clip[3] <= 0.0f) return false;
        px = int((clip[0] / clip[3] + 1.0f) * 0.5f * kScreenWidth);
        py = int((1.0f - clip[1] / clip[3]) * 0.5f * kScreenHeight);
        return px >= 0 && px < kScreenWidth && py >= 0 && py < kScreenHeight;
    }
    // Pixels of the square of half size r around (x, y) that are not the clear colour.
    int Drawn(int x, int y, int r) const {
        int count = 0;
        for (int py = std::max(0, y - r); py <= std::min(kScreenHeight - 1, y + r); ++py)
            for (int px = std::max(0, x - r); px <= std::min(kScreenWidth - 1, x + r); ++px)
                if (At(px, py) != kClear) ++count;
        return count;
    }

    std::filesystem::path oldDir;
    std::unique_ptr<Graphics::GraphicsDevice> graphics;
    std::unique_ptr<Content::ContentLoader<Graphics::Texture2D>> textures;
    std::unique_ptr<Content::ContentLoader<Graphics::Model>> models;
    boost::shared_ptr<sg::Camera> camera;
    boost::shared_ptr<sg::Group> root;
    sg::Scene scene;
    std::vector<std::unique_ptr<runfixtures::SetUpInstance>> runs;
};

TEST_F(ParticleKindsPixelTest, EveryRenderKindShowsWhereItsParticlesAre) {
    const Kind kinds[] = {
        {"object", 0, 0, -13.0f, 0},          {"sprite", 1, 0, -10.0f, 0xFF4040},
        {"free quad", 2, 0, -7.0f, 0x40FF40}, {"flat quad", 3, 0, -4.0f, 0x4040FF},
        {"hidden", 4, 0, -1.0f, 0xFFFFFF},    {"ribbon", 5, 1, 1.0f, 0xFFFF40},
        {"trail", 5, 0, 4.0f, 0x40FFFF},      {"beam", 6, 0, 7.0f, 0xFF40FF},
        {"line", 7, 0, 10.0f, 0xFF8000},      {"motion-aligned", 8, 0, 13.0f, 0x8080FF},
    };
    scene.Update(0.0f);  // the particle camera and an empty frame
    for (const Kind& k : kinds) {
        KindEffect design(k);
        runs.emplace_back(new runfixtures::SetUpInstance(design.built));
        runfixtures::SetUpInstance& run = *runs.back();
        if (k.kind == 0) run.Effect().SetUpTextures();
        CEmiter& emitter = run.Emitter(0);
        if (k.kind == 5) {
            PlaceParticle(emitter, k.x - 1.0f, 0.0f, -2.0f);
            PlaceParticle(emitter, k.x, 0.0f, 0.0f);
            PlaceParticle(emitter, k.x + 0.5f, 0.0f, 2.0f);
        } else if (k.kind == 6) {
            // The beam runs from the emitter frame's origin, below the row, up to
            // the offset point above it, where its particle stands.
            run.instance.m_vPos = CSVector4(k.x, 0.0f, -3.0f, 0.0f);
            run.instance.m_vSpare[0] = k.x;
            run.instance.m_vSpare[2] = 3.0f;
            emitter.m_pParticleParams->ParticleSpace = 0;
            emitter.m_vPos = ParticleFloat3{};
            emitter.m_vAngles = ParticleFloat3{};
            PlaceParticle(emitter, 0.0f, 0.0f, 0.0f);
        } else {
            PlaceParticle(emitter, k.x, 0.0f, 0.0f);
        }
        CParticlesMesh::PlaceObjectParticles(run.instance);
        CParticlesMesh::Draw(run.instance);
    }
    ASSERT_EQ(ParticleMatrixStack::g_State.m_nDepth, 0);

    ASSERT_EQ(device->BeginScene(), D3D_OK);
    graphics->Draw(&scene);
    device->EndScene();
    ASSERT_NO_FATAL_FAILURE(ReadBack());
    testsupport::SaveScreenshot(pixels, kScreenWidth, kScreenHeight, "particle_kinds.png");

    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.name);
        int x = 0, y = 0;
        ASSERT_TRUE(Screen(k.x, 0.0f, 0.0f, x, y));
        if (k.kind == 4) {
            EXPECT_EQ(Drawn(x, y, 6), 0);
        } else {
            EXPECT_GT(Drawn(x, y, 6), 20);
        }
    }
    // Between the columns the clear colour shows.
    int x = 0, y = 0;
    ASSERT_TRUE(Screen(-2.5f, 0.0f, -6.0f, x, y));
    EXPECT_EQ(Drawn(x, y, 3), 0);
}

}  // namespace
