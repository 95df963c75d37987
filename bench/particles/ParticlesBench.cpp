// Particle simulation timings. "allocs" counts operator new calls per step (or per
// birth) once the particles exist; "array_growth" is how much the capacities of the
// library's malloc-family arrays grew meanwhile, which operator new does not see. Both
// should be 0 for the advance. The goal for the budget step: 1500 particles advanced
// 30 times a second cost under 1% of one core ("core_percent", from this thread's CPU
// time).
//
// The batches' frame: 1500 quads (the detail level's budget) spread over six
// batches (three sort keys, alpha-blended and additive), filled, sorted and
// drawn on the recording null device, 256 quads a draw. There "allocs" counts
// operator new in the frame start and the fill (the flush's draws go to the
// recording device, whose log allocates); "capacity_changes" counts frames in
// which any batch's malloc'ed vertex capacity moved. Goal: under 0.5 ms a frame,
// both 0.
//
// The renderer's frame: 1500 camera-facing sprites, or a trail of 1500
// particles, drawn into the batches and flushed on the recording device.
// "allocs" counts operator new in the frame start and the draw after the
// warm-up. Goal: each under 2 ms a frame on one core, without allocation.
//
// A busy battle frame's particles: see BM_BattleFrame below; an instance held at its
// emitter limit: see BM_StepAtTheEmitterLimit.
#include <benchmark/benchmark.h>

#include <boost/make_shared.hpp>

#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "Graphics/GraphicsDevice.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/Scene.h"
#include "particles/CEmiter.h"
#include "particles/CEmiterParams.h"
#include "particles/CParticle.h"
#include "particles/CParticleEmiterParams.h"
#include "particles/CParticleParams.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CParticlesMesh.h"
#include "particles/CSArchive.h"
#include "particles/CSEntityParticle.h"
#include "particles/ParticleBatch.h"
#include "particles/ParticleDetailLevel.h"
#include "particles/ParticleDevice.h"
#include "particles/ParticleFrameState.h"
#include "particles/ParticleHelpers.h"
#include "particles/ParticleRandom.h"
#include "platform/d3d9/Extensions.h"
#include "platform/d3d9/null/NullDevice.h"
#include "tests/support/AllocationCounter.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/GameData.h"
#include "tools/catalogue/ParticleEffects.h"

namespace {

void Constant(CSParamTrack& track, float value) {
    track.m_arrKeys.Free();
    track.m_bConstant = 1;
    track.m_fConstant = value;
}

// An effect of `emitters` entries whose ballistic particles live as long as they may:
// gravity, jitter, speed over life, yaw from the motion, a timed atlas.
struct BallisticEffect {
    explicit BallisticEffect(int emitters, int32_t shape = CEmiterParams::kShapeSphere) {
        CParticleParams* particle = new CParticleParams();
        particle->ParticleKind = 1;
        particle->LifeFrames = 32766;
        particle->StartSpeed = 30.0f;
        particle->Gravity = 90.0f;
        particle->Jitter = 3.0f;
        particle->YawFromVelocity = 1;
        particle->FirstFrame = 0;
        particle->LastFrame = 15;
        particle->AnimMode = 1;
        particle->AnimFps = 12.0f;
        particle->IndependentRandomA = 1;
        for (float key : {1.0f, 0.8f, 0.5f, 0.2f})
            particle->Tracks[CParticleParams::SpeedOverLife].m_arrKeys.Append(key);
        Constant(particle->Tracks[CParticleParams::SpeedOverLifeVar], 0.1f);
        effect.m_arrParticleParams.push_back(particle);
        for (int i = 0; i < emitters; ++i) {
            CEmiterParams* params = new CEmiterParams();
            params->EmitShape = shape;
            params->SphereRadius = 1.0f;
            params->BoxFaceMask = 63;
            params->IndependentSizeRandom = 1;
            Constant(params->Tracks[CEmiterParams::LifeScale], 1.0f);
            Constant(params->Tracks[CEmiterParams::SpeedScale], 1.0f);
            Constant(params->Tracks[CEmiterParams::SpeedScaleVar], 0.3f);
            Constant(params->Tracks[CEmiterParams::SizeScale], 1.0f);
            for (int row = CEmiterParams::ShapeSizeX; row <= CEmiterParams::ShapeSizeZVar; ++row)
                Constant(params->Tracks[row], row % 2 == 0 ? 2.0f : 0.5f);
            Constant(params->Tracks[CEmiterParams::AzimuthTo], 256.0f);
            Constant(params->Tracks[CEmiterParams::ElevationFrom], -64.0f);
            Constant(params->Tracks[CEmiterParams::ElevationTo], 64.0f);
            effect.m_arrEmiterParams.push_back(params);
            CParticleEmiterParams* entry = new CParticleEmiterParams();
            entry->EmiterIndex = i;
            entry->ParticleIndex = 0;
            entry->Counted = 1;
            effect.m_arrEntries.push_back(entry);
        }
        instance.Setup(nullptr, &effect);
    }
    // Every emitter holds `perEmitter` particles.
    void Fill(int perEmitter) {
        for (CEmiter& e : instance.m_arrEmiters)
            while (e.m_nCount < perEmitter) instance.EmitParticle(e);
    }
    // Advances every particle once.
    void Step() {
        for (CEmiter& e : instance.m_arrEmiters) e.AdvanceParticles(instance);
    }
    // The capacities of the library arrays a step could grow.
    int64_t ArrayCapacities() const {
        int64_t sum = PeakScratch().GetCapacity();
        for (const CParticleParams* p : effect.m_arrParticleParams)
            sum += p->TextureList.GetCapacity() + p->ObjectList.GetCapacity();
        return sum;
    }

    CParticlesMesh effect;
    CParticlesEmiter instance;
};

// CPU time of this thread: the machine may be busy with other work.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Steps through `effect`, counting allocations and array growth after one warm-up step.
void RunSteps(benchmark::State& state, BallisticEffect& effect, int particles) {
    effect.Step();
    long allocations = 0;
    const int64_t capacities = effect.ArrayCapacities();
    const size_t emitterCapacity = effect.instance.m_arrEmiters.capacity();
    const double start = ThreadSeconds();
    for (auto _ : state) {
        const long before = testsupport::Allocations();
        effect.Step();
        allocations += testsupport::Allocations() - before;
        benchmark::ClobberMemory();
    }
    const double seconds = ThreadSeconds() - start;
    const double steps = static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations() * particles);
    state.counters["allocs"] = static_cast<double>(allocations) / steps;
    state.counters["array_growth"] = static_cast<double>(effect.ArrayCapacities() - capacities) +
                                     static_cast<double>(effect.instance.m_arrEmiters.capacity() - emitterCapacity);
    state.counters["core_percent"] = seconds / steps * 30.0 * 100.0;
}

// Advances per second ("items_per_second") of 10,000 ballistic particles.
void BM_Advance10000Ballistic(benchmark::State& state) {
    BallisticEffect effect(1);
    effect.Fill(10000);
    RunSteps(state, effect, 10000);
}
BENCHMARK(BM_Advance10000Ballistic)->Unit(benchmark::kMicrosecond);

// One 30 Hz step of the 1500-particle budget, spread over 10 emitters.
void BM_BudgetStep1500(benchmark::State& state) {
    BallisticEffect effect(10);
    effect.Fill(150);
    RunSteps(state, effect, 1500);
}
BENCHMARK(BM_BudgetStep1500)->Unit(benchmark::kMicrosecond);

// Births per second of one shape (0 sphere, 1 box, 2 rectangle, 3 point); the particles
// are cleared every 1000 births outside the timing.
void BM_Births(benchmark::State& state) {
    BallisticEffect effect(1, static_cast<int32_t>(state.range(0)));
    CEmiter& e = effect.instance.m_arrEmiters[0];
    long allocations = 0;
    for (auto _ : state) {
        const long before = testsupport::Allocations();
        effect.instance.EmitParticle(e);
        allocations += testsupport::Allocations() - before;
        if (e.m_nCount >= 1000) {
            state.PauseTiming();
            e.DeleteParticles();
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["allocs"] = static_cast<double>(allocations) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Births)->ArgName("shape")->DenseRange(0, 3)->Unit(benchmark::kNanosecond);

constexpr int kBatchQuads = 1500;
constexpr int kBatchCount = 6;

struct RecordingDevice {
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    std::unique_ptr<Graphics::GraphicsDevice> graphics;
    boost::shared_ptr<sg::Camera> camera = boost::make_shared<sg::Camera>();
    sg::Scene scene;

    RecordingDevice() {
        d3d9::SetBackend(d3d9::Backend::Null);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS params = {};
        params.BackBufferWidth = 1024;
        params.BackBufferHeight = 768;
        params.BackBufferFormat = D3DFMT_X8R8G8B8;
        params.SwapEffect = D3DSWAPEFFECT_DISCARD;
        params.Windowed = TRUE;
        params.EnableAutoDepthStencil = TRUE;
        params.AutoDepthStencilFormat = D3DFMT_D24S8;
        if (d3d == nullptr ||
            d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, 0, &params, &device) != D3D_OK)
            return;
        BindParticleHooks();
        graphics.reset(new Graphics::GraphicsDevice(d3d, device));
        camera->SetLookAt(Vector3(0.0f, -20.0f, 10.0f), Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f));
        camera->SetPerspective(60.0f, 4.0f / 3.0f, 1.0f, 1000.0f);
        scene.SetCamera(camera);
        graphics->SetScene(&scene);
    }
    ~RecordingDevice() {
        ParticlesReleaseView();
        graphics.reset();
        UnbindParticleHooks();
        if (device != nullptr) device->Release();
        if (d3d != nullptr) d3d->Release();
    }
};

void FillBatches() {
    static const float kUvs[8] = {0, 0, 0, 1, 1, 0, 1, 1};
    for (int k = 0; k < kBatchQuads; ++k) {
        const float x = float(k % 50) * 0.3f, z = float(k / 50) * 0.3f;
        const CSVector4 corners[4] = {
            {x, 0, z + 0.25f, 0.01f}, {x, 0, z, 0.01f}, {x + 0.25f, 0, z + 0.25f, 0.01f}, {x + 0.25f, 0, z, 0.01f}};
        const int batch = k % kBatchCount;
        AddParticleQuad(nullptr, corners, CSVector4(255, 200, 100, 180), CSVector4(255, 120, 40, 90), kUvs,
                        batch % 2 == 0, true, batch / 2);
    }
}

std::vector<uint32_t> BatchCapacities() {
    std::vector<uint32_t> capacities;
    for (uint32_t i = 0; i < ParticleBatches().GetCount(); ++i)
        capacities.push_back(ParticleBatches()[i]->m_arrVertices.GetCapacity());
    return capacities;
}

void BM_BatchesFillAndFlush(benchmark::State& state) {
    RecordingDevice recording;
    if (!recording.graphics) {
        state.SkipWithError("no recording device");
        return;
    }
    d3d9::NullDevice* null = d3d9::AsNullDevice(recording.device);
    for (int warm = 0; warm < 3; ++warm) {
        ParticlesBeginFrame();
        FillBatches();
        ParticlesFlush();
    }
    const std::vector<uint32_t> warmCapacities = BatchCapacities();
    null->ClearLog();
    long allocations = 0, capacityChanges = 0, draws = 0;
    for (auto _ : state) {
        const long before = testsupport::Allocations();
        ParticlesBeginFrame();
        FillBatches();
        allocations += testsupport::Allocations() - before;
        ParticlesFlush();
        state.PauseTiming();
        draws += long(null->Draws().size());
        null->ClearLog();
        if (BatchCapacities() != warmCapacities) ++capacityChanges;
        state.ResumeTiming();
    }
    const double frames = double(state.iterations());
    state.counters["allocs"] = double(allocations) / frames;
    state.counters["capacity_changes"] = double(capacityChanges);
    state.counters["draws"] = double(draws) / frames;
}
BENCHMARK(BM_BatchesFillAndFlush)->Unit(benchmark::kMicrosecond);

// One running effect of a single emitter holding `count` particles of `kind`
// (chain mode 0 for kind 5: a trail), built in memory, drawn each frame.
struct DrawnEffect {
    DrawnEffect(int32_t kind, int count) {
        block.ParticleKind = kind;
        block.ChainMode = 0;
        block.Width = block.Height = 0.4f;
        block.StripWidth = 0.4f;
        block.AlphaBlended = 1;
        block.SheetColumns = block.AtlasRows = 1;
        for (uint8_t& flag : block.NoVariation) flag = 1;
        for (int row : {CParticleParams::Red, CParticleParams::Green, CParticleParams::Blue, CParticleParams::Alpha,
                        CParticleParams::SizeX, CParticleParams::SizeY})
            Constant(block.Tracks[row], 1.0f);
        instance.m_arrEmiters.emplace_back();
        CEmiter& e = instance.m_arrEmiters.back();
        e.m_pEmiterParams = &emitter;
        e.m_pParticleParams = &block;
        for (int k = 0; k < count; ++k) {
            CParticle* p = new CParticle();
            p->m_nLife = 30;
            p->m_nAge = int16_t(k % 30);
            // A spiral in front of the camera: the trail turns at every particle.
            const float a = float(k) * 0.05f;
            p->m_vPos = ParticleFloat3{std::cos(a) * (2.0f + float(k) * 0.005f), std::sin(a) * 3.0f,
                                       float(k % 100) * 0.05f};
            p->m_fSizeScale = 1.0f;
            p->m_fSpeedScale = 1.0f;
            p->m_dwColor = 0xFFFFFFFFu;
            p->m_nSequence = int16_t(k);
            e.Append(p);
        }
    }
    CEmiterParams emitter;
    CParticleParams block;
    CParticlesEmiter instance;
};

void RunDrawn(benchmark::State& state, int32_t kind) {
    RecordingDevice recording;
    if (!recording.graphics) {
        state.SkipWithError("no recording device");
        return;
    }
    DrawnEffect effect(kind, 1500);
    d3d9::NullDevice* null = d3d9::AsNullDevice(recording.device);
    ParticlesUpdateCamera();
    for (int warm = 0; warm < 3; ++warm) {
        ParticlesBeginFrame();
        CParticlesMesh::Draw(effect.instance);
        ParticlesFlush();
    }
    null->ClearLog();
    long allocations = 0, quads = 0;
    for (auto _ : state) {
        const long before = testsupport::Allocations();
        ParticlesBeginFrame();
        CParticlesMesh::Draw(effect.instance);
        allocations += testsupport::Allocations() - before;
        ParticlesFlush();
        state.PauseTiming();
        for (uint32_t i = 0; i < ParticleBatches().GetCount(); ++i)
            quads += long(ParticleBatches()[i]->m_arrVertices.GetCount() / 4);
        null->ClearLog();
        state.ResumeTiming();
    }
    const double frames = double(state.iterations());
    state.counters["allocs"] = double(allocations) / frames;
    state.counters["quads"] = double(quads) / frames;
}

void BM_Draw1500Sprites(benchmark::State& state) { RunDrawn(state, 1); }
BENCHMARK(BM_Draw1500Sprites)->Unit(benchmark::kMicrosecond);

void BM_Draw1500ParticleTrail(benchmark::State& state) { RunDrawn(state, 5); }
BENCHMARK(BM_Draw1500ParticleTrail)->Unit(benchmark::kMicrosecond);


// The particle part of a busy battle frame on the recording device: emitter nodes
// of the sample effects (selection markers, unit effects, missiles' trails and
// hits, scenery) in a scene, updated, drawn and flushed a frame at a time after
// they have filled up. "particles" is what the renderer counted in the frame,
// "drawn" the quads that reached the batches. Goal: the 1500-particle frame under
// 3 ms on one core; at 3000 the detail level draws no more than 1500.
struct BattleParticles {
    explicit BattleParticles(int copies) {
        // The effects' files are read relative to the game folder; the benchmark itself
        // may have been started anywhere.
        std::error_code error;
        oldDir = std::filesystem::current_path(error);
        if (!error) std::filesystem::current_path(DM_BENCH_GAME_DIR, error);
        if (error) return;
        inGameFolder = true;
        BindEmitterNodeHosts();
        world = boost::make_shared<sg::Group>("World");
        recording.scene.SetRoot(world);
        const std::string folder = catalogue::config::kParticles.Path();
        namespace cp = catalogue::particles;
        namespace gd = catalogue::gamedata;
        const struct {
            const char* name;
            int count;
        } kinds[] = {
            {cp::kSelection1, 6}, {cp::kSelected, 2}, {cp::kHealingAuto, 4}, {cp::kBoost, 4}, {gd::kSlowed, 4},
            {gd::kTorch, 6},      {gd::kCampfire, 2}, {gd::kMist, 1},        {gd::kHitFire, 2}, {gd::kCastFire, 2},
        };
        int k = 0;
        for (int copy = 0; copy < copies; ++copy)
            for (const auto& kind : kinds)
                for (int i = 0; i < kind.count; ++i, ++k) {
                    boost::shared_ptr<sg::EmitterNode> node(new sg::EmitterNode(folder + kind.name));
                    node->Translate(float(k % 16) * 8.0f - 60.0f, float(k / 16) * 4.0f, 0.0f);
                    world->AddChild(node);
                    nodes.push_back(node);
                }
    }
    ~BattleParticles() {
        nodes.clear();
        recording.scene.SetRoot(boost::make_shared<sg::Group>());
        world.reset();
        sg::SetEffectHostFunctions(nullptr, nullptr);
        sg::SetEffectInstanceMaker(nullptr);
        std::error_code error;
        if (inGameFolder) std::filesystem::current_path(oldDir, error);
    }
    int Drawn() const {
        int quads = 0;
        for (uint32_t i = 0; i < ParticleBatches().GetCount(); ++i)
            quads += int(ParticleBatches()[i]->m_arrVertices.GetCount() / 4);
        return quads;
    }

    RecordingDevice recording;
    std::filesystem::path oldDir;
    bool inGameFolder = false;
    boost::shared_ptr<sg::Group> world;
    std::vector<boost::shared_ptr<sg::EmitterNode>> nodes;
};

void RunBattle(benchmark::State& state) {
    BattleParticles battle(int(state.range(0)));
    if (!battle.inGameFolder) {
        state.SkipWithError("no game folder " DM_BENCH_GAME_DIR " (build the sample_data target)");
        return;
    }
    if (!battle.recording.graphics) {
        state.SkipWithError("no recording device");
        return;
    }
    battle.recording.camera->SetLookAt(Vector3(0.0f, -60.0f, 70.0f), Vector3(0.0f, 30.0f, 0.0f),
                                      Vector3(0.0f, 0.0f, 1.0f));
    d3d9::NullDevice* null = d3d9::AsNullDevice(battle.recording.device);
    for (int warm = 0; warm < 120; ++warm) {
        battle.recording.scene.Update(1.0f / 30.0f);
        ParticlesFlush();
        null->ClearLog();
    }
    long drawn = 0, counted = 0;
    for (auto _ : state) {
        battle.recording.scene.Update(1.0f / 30.0f);
        state.PauseTiming();
        drawn += battle.Drawn();
        counted += ParticleDrawCounters.hosted + ParticleDrawCounters.unhosted;
        state.ResumeTiming();
        ParticlesFlush();
        state.PauseTiming();
        null->ClearLog();
        state.ResumeTiming();
    }
    const double frames = double(state.iterations());
    state.counters["drawn"] = double(drawn) / frames;
    state.counters["particles"] = double(counted) / frames;
    state.counters["detail_level"] = double(GetParticleDetailLevel());
}
BENCHMARK(RunBattle)->Name("BM_BattleFrame")->ArgName("copies")->Arg(7)->Arg(14)->Unit(benchmark::kMicrosecond);

// An emission rate beyond all use: the sample firestorm with one rate key of its storm
// emitter at the largest float fills its instance to its limits (32,767 emitters and
// as many particles) within a step, and its children then finish by the thousand.
// Timed: the steps from that one to the effect's end, on this thread's CPU clock;
// "ms_per_step" is their mean. Goal: a few ms a step on one core, finished children
// dropped in one pass (one erase each: about 240 ms a step).
void BM_StepAtTheEmitterLimit(benchmark::State& state) {
    CParticlesMesh effect;
    const std::string path = std::string(DM_BENCH_GAME_DIR) + "/" + catalogue::config::kParticles.Path() +
                             catalogue::gamedata::kSpellFirestorm;
    CSArchive archive(path.c_str());
    if (!effect.Read(archive)) {
        state.SkipWithError(("cannot read " + path + " (build the sample_data target)").c_str());
        return;
    }
    effect.SetUpMaskEntry();
    effect.m_arrEmiterParams.at(0)->Tracks[CEmiterParams::EmitRate].m_arrKeys[20] = std::numeric_limits<float>::max();
    double seconds = 0.0, steps = 0.0;
    size_t peak = 0;
    for (auto _ : state) {
        ResetParticleSeed();
        auto instance = std::make_unique<CParticlesEmiter>();
        instance->Setup(nullptr, &effect);
        bool alive = true;
        while (alive && instance->m_arrEmiters.size() < static_cast<size_t>(CParticlesEmiter::kMaxEmiters))
            alive = instance->Step(true);
        peak = std::max(peak, instance->m_arrEmiters.size());
        const double start = ThreadSeconds();
        for (; alive; steps += 1.0) alive = instance->Step(true);
        seconds += ThreadSeconds() - start;
    }
    state.counters["ms_per_step"] = steps > 0.0 ? seconds / steps * 1000.0 : 0.0;
    state.counters["emitters_peak"] = static_cast<double>(peak);
}
BENCHMARK(BM_StepAtTheEmitterLimit)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
