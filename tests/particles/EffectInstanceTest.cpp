// The effect instance an emitter node runs: its fixed steps from frame time and
// from the wall clock, its box, its camera test and what it does while visible,
// and the emitter node over it.
#include "particles/CSEffectInstance.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>

#include "Core/FrameClock.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/GraphicsDeviceFixture.h"
#include "GoldenTrace.h"
#include "RunningEffectFixtures.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/Scene.h"
#include "particles/CSEntityParticle.h"
#include "particles/ParticleBatch.h"
#include "particles/ParticleDevice.h"
#include "particles/ParticleEffectCache.h"
#include "particles/ParticleLightSlots.h"
#include "particles/ParticleDetailLevel.h"
#include "particles/ParticleRandom.h"
#include "platform/win32/Time.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/GameData.h"
#include "tools/catalogue/ParticleEffects.h"

namespace {

using effectfixtures::SetConstant;

// An effect of one emitter playing `frames` steps, emitting nothing; looping or not.
std::string WriteEffect(const ScratchFolder& folder, const std::string& name, int32_t frames, bool looping,
                        int32_t kind = 1, bool light = false, bool flatBox = false) {
    runfixtures::PlainEmitter design;
    design.emiter->DurationFrames = frames;
    design.emiter->Duration = float(frames) / 30.0f;
    design.particle->ParticleKind = kind;
    if (looping) design.entry->RepeatMode = 2;
    if (light) {
        design.emiter->EmitsLight = 1;
        for (int row : {CEmiterParams::LightRange, CEmiterParams::LightRed, CEmiterParams::LightGreen,
                        CEmiterParams::LightBlue, CEmiterParams::LightIntensity})
            SetConstant(design.emiter->Tracks[row], 1.0f);
    }
    design.built.m_vBoxMin = CSVector4(-1.0f, -2.0f, 0.0f, 0.0f);
    design.built.m_vBoxMax = flatBox ? design.built.m_vBoxMin : CSVector4(1.0f, 2.0f, 3.0f, 0.0f);
    return effectfixtures::WriteEffect(folder, name, design.built, 5);
}

::testing::AssertionResult Box(CSEffectInstance& instance, CSVector4 min, CSVector4 max) {
    const CSVector4& a = instance.GetBoxMin();
    const CSVector4& b = instance.GetBoxMax();
    if (a.x == min.x && a.y == min.y && a.z == min.z && b.x == max.x && b.y == max.y && b.z == max.z)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ")-(" << b.x << ", " << b.y
                                         << ", " << b.z << ")";
}

class EffectInstanceTest : public NullDeviceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(NullDeviceTest::SetUp());
        folder.WriteShippedEffects();
        BindParticleHooks();
        graphics.reset(new Graphics::GraphicsDevice(d3d, device));
        camera = boost::make_shared<sg::Camera>();
        Look(0.0f);
        camera->SetPerspective(60.0f, 4.0f / 3.0f, 1.0f, 1000.0f);
        scene.SetCamera(camera);
        scene.SetRoot(boost::make_shared<sg::Group>());
        graphics->SetScene(&scene);
        ParticlesUpdateCamera();
        node.SetWorldMatrix(Placed(10.0f, 0.0f, 5.0f));
    }
    void TearDown() override {
        ParticlesReleaseView();
        graphics.reset();
        UnbindParticleHooks();
        NullDeviceTest::TearDown();
    }
    static Matrix4 Placed(float x, float y, float z) {
        Matrix4 m;
        m.m[12] = x, m.m[13] = y, m.m[14] = z;
        return m;
    }
    // The camera 20 units south of the node's place, looking north (or away).
    void Look(float turn) {
        const Vector3 eye(10.0f, -20.0f, 5.0f);
        const Vector3 at = turn == 0.0f ? Vector3(10.0f, 0.0f, 5.0f) : Vector3(10.0f, -40.0f, 5.0f);
        camera->SetLookAt(eye, at, Vector3(0.0f, 0.0f, 1.0f));
    }

    ScratchFolder effects;
    std::unique_ptr<Graphics::GraphicsDevice> graphics;
    boost::shared_ptr<sg::Camera> camera;
    sg::Scene scene;
    sg::Group node;
    CSEntityParticle host{&node};
};

TEST_F(EffectInstanceTest, StepsFromFrameTimeAndTheWallClock) {
    platform::ScopedFakeClock clock(5000);
    const std::string path = WriteEffect(effects, "loop.prt", 10, true);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* name;
        float first;  // the first call's dt
        std::initializer_list<float> dts;
        std::initializer_list<uint32_t> steps;  // after each call of dts
        uint32_t advance;                       // ms of the clock before each call of dts
    } cases[] = {
        {"dt 0 does nothing, even first", 0.0f, {0.0f, 0.5f}, {0, 1}, 0},
        {"alternating at 0.05", 5.0f, {0.05f, 0.05f, 0.05f, 0.05f}, {1, 2, 1, 2}, 0},
        {"at most 16", 5.0f, {1.0f}, {16}, 0},
        {"the wall clock", 5.0f, {-1.0f, -1.0f}, {3, 3}, 100},
        {"negative or not finite: nothing", 5.0f, {-0.5f, nan, std::numeric_limits<float>::infinity()}, {0, 0, 0}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CSEffectInstance instance(&host, path);
        instance.Update(c.first);
        const uint32_t first = instance.GetStepCount();
        if (c.first != 0.0f) {
            EXPECT_EQ(first, 1u);
            EXPECT_EQ(instance.GetLastTick(), GetTickCountMs());
            EXPECT_EQ(instance.GetAccumulator(), 0.0f);
        }
        uint32_t before = first;
        auto step = c.steps.begin();
        for (float dt : c.dts) {
            clock.Advance(c.advance);
            const uint32_t tick = instance.GetLastTick();
            instance.Update(dt);
            EXPECT_EQ(instance.GetStepCount() - before, *step) << dt;
            if (dt == 1.0f) {
                EXPECT_EQ(instance.GetLastTick(), GetTickCountMs());
            }
            if (dt == -1.0f) {
                EXPECT_EQ(instance.GetLastTick(), tick + 99u);
            }
            before = instance.GetStepCount();
            ++step;
        }
    }
}

TEST_F(EffectInstanceTest, AnEndInTheMiddleOfAnUpdateStopsItsSteps) {
    platform::ScopedFakeClock clock(0);  // the tick count at 0 is an ordinary time
    const std::string path = WriteEffect(effects, "short.prt", 4, false);
    // How many steps the effect runs until its end, stepped alone.
    CParticlesMesh* effect = LoadParticleEffect(path.c_str());
    CParticlesEmiter reference;
    reference.Setup(nullptr, effect);
    effect->Release();
    uint32_t toEnd = 1;
    while (reference.Step(true) && toEnd < 100) ++toEnd;
    ASSERT_LT(toEnd, 16u);

    CSEffectInstance instance(&host, path);
    EXPECT_FALSE(instance.IsLooping());
    instance.Update(0.1f);
    EXPECT_EQ(instance.GetStepCount(), 1u);
    EXPECT_FALSE(instance.HasEnded());
    instance.Update(1.0f);
    EXPECT_TRUE(instance.HasEnded());
    EXPECT_EQ(instance.GetStepCount(), toEnd);
}

TEST_F(EffectInstanceTest, BoxesOfBeamsFileBoxesAndMissingFiles) {
    const struct {
        const char* name;
        std::string path;
        CSVector4 min, max;
    } cases[] = {
        // The beam reaches the offset point (0, 0, 0), whatever the file's box.
        {"beam", WriteEffect(effects, "beam.prt", 10, true, 6), {0, 0, 0, 0}, {10, 0, 5, 0}},
        {"file box moved to the place", WriteEffect(effects, "box.prt", 10, true), {9, -2, 5, 0}, {11, 2, 8, 0}},
        {"degenerate file box: the place alone", WriteEffect(effects, "flat.prt", 10, true, 1, false, true),
         {10, 0, 5, 0}, {10, 0, 5, 0}},
        {"missing file: the default box", effects.Path() + "/none.prt", {5, -5, 5, 0}, {15, 5, 15, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CSEffectInstance instance(&host, c.path);
        instance.Update(0.1f);
        EXPECT_TRUE(Box(instance, c.min, c.max));
    }
}

TEST_F(EffectInstanceTest, LightsOnlyWhileTheCameraSeesTheEffect) {
    const std::string path = WriteEffect(effects, "lamp.prt", 10, true, 1, true);
    for (float turn : {1.0f, 0.0f}) {
        SCOPED_TRACE(turn);
        Look(turn);
        ParticlesUpdateCamera();
        CSEffectInstance instance(&host, path);
        instance.Update(0.1f);
        EXPECT_EQ(instance.IsVisible(), turn == 0.0f);
        EXPECT_EQ(GetParticleLightCount(), turn == 0.0f ? 1 : 0);
    }
    // Without a scene camera nothing is visible.
    graphics->SetScene(nullptr);
    CSEffectInstance instance(&host, path);
    instance.Update(0.1f);
    EXPECT_FALSE(instance.IsVisible());
}

TEST_F(EffectInstanceTest, EmitterNodesAgeLoopAndFinish) {
    BindEmitterNodeHosts();
    WriteEffect(effects, "fire.prt", 10, true);
    WriteEffect(effects, "spark.prt", 4, false);
    GetFrameClock().delta = 0.25f;
    // Nodes lower-case their names: the effects are found from their folder.
    const std::filesystem::path oldDir = std::filesystem::current_path();
    std::filesystem::current_path(effects.Path());

    sg::EmitterNode endless("Fire.PRT");
    ASSERT_NE(endless.GetInstance(), nullptr);
    EXPECT_TRUE(endless.IsEndless());
    EXPECT_EQ(endless.GetAge(), -1.0f);
    endless.UpdateCulled(0.1f);
    EXPECT_EQ(endless.GetAge(), -1.0f);
    for (int i = 0; i < 10; ++i) endless.Update(1.0f);
    EXPECT_FALSE(endless.HasEnded());
    EXPECT_FALSE(endless.IsFinished());

    sg::EmitterNode spark("spark.prt");
    auto steps = [&] { return static_cast<CSEffectInstance*>(spark.GetInstance())->GetStepCount(); };
    EXPECT_FALSE(spark.IsEndless());
    EXPECT_EQ(spark.GetAge(), 0.0f);
    spark.SetCulled(true, 2);  // frustum-culled: no update, the age still counts
    spark.UpdateCulled(0.1f);
    EXPECT_EQ(steps(), 0u);
    EXPECT_EQ(spark.GetAge(), 0.25f);
    // Brought to a saved age: a new node takes the first update's one step.
    spark.AdvanceTo(1.5f);
    EXPECT_EQ(spark.GetAge(), 1.5f);
    EXPECT_EQ(steps(), 1u);
    EXPECT_TRUE(spark.IsRunning());
    spark.Update(1.0f);
    EXPECT_TRUE(spark.HasEnded());
    EXPECT_TRUE(spark.IsFinished());

    std::filesystem::current_path(oldDir);
    sg::SetEffectHostFunctions(nullptr, nullptr);
    sg::SetEffectInstanceMaker(nullptr);
    GetFrameClock().delta = 0.0f;
}

// Two sample effects in a scene on the recording device, 60 frames of 1/30 s from
// the reset of the particle stream: the draws of each frame and their quads.
TEST_F(EffectInstanceTest, SceneOfSampleEffectsDrawsAsItsTraceSays) {
    const char* build = std::getenv("DM_BUILD_DIR");
    ASSERT_NE(build, nullptr);
    const std::filesystem::path oldDir = std::filesystem::current_path();
    std::filesystem::current_path(std::string(build) + "/game");
    platform::ScopedFakeClock clock(1000);
    BindEmitterNodeHosts();
    ResetParticleSeed();
    ResetParticleDetailLevel();

    boost::shared_ptr<sg::Group> world = boost::make_shared<sg::Group>("World");
    world->AddChild(camera);
    scene.SetRoot(world);
    const std::string folder = catalogue::config::kParticles.Path();
    boost::shared_ptr<sg::EmitterNode> torch(new sg::EmitterNode(folder + catalogue::gamedata::kTorch));
    torch->Translate(8.0f, 0.0f, 0.0f);
    boost::shared_ptr<sg::EmitterNode> marker(new sg::EmitterNode(folder + catalogue::particles::kSelected));
    marker->Translate(12.0f, 0.0f, 0.0f);
    world->AddChild(torch);
    world->AddChild(marker);

    std::string trace;
    for (int frame = 0; frame < 60; ++frame) {
        null->ClearLog();
        clock.Advance(33);
        scene.Update(1.0f / 30.0f);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        graphics->Draw(&scene);
        device->EndScene();
        int draws = 0;
        UINT quads = 0;
        for (const d3d9::DrawRecord& draw : null->Draws()) {
            if (draw.call != "DrawIndexedPrimitive") continue;
            ++draws;
            quads += draw.primitiveCount / 2;
        }
        trace += "frame " + std::to_string(frame) + ": draws " + std::to_string(draws) + " quads " +
                 std::to_string(quads) + "\n";
    }
    goldentrace::ExpectGolden("scene.txt", trace);

    world.reset();
    torch.reset();
    marker.reset();
    scene.SetRoot(boost::make_shared<sg::Group>());
    std::filesystem::current_path(oldDir);
    sg::SetEffectHostFunctions(nullptr, nullptr);
    sg::SetEffectInstanceMaker(nullptr);
}

}  // namespace
