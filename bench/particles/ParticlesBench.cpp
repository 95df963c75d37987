// Particle simulation timings. "allocs" counts operator new calls per step (or per
// birth) once the particles exist; "array_growth" is how much the capacities of the
// library's malloc-family arrays grew meanwhile, which operator new does not see. Both
// should be 0 for the advance. The goal for the budget step: 1500 particles advanced
// 30 times a second cost under 1% of one core ("core_percent", from this thread's CPU
// time).
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdint>

#include "particles/CEmiter.h"
#include "particles/CEmiterParams.h"
#include "particles/CParticle.h"
#include "particles/CParticleEmiterParams.h"
#include "particles/CParticleParams.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CParticlesMesh.h"
#include "particles/ParticleHelpers.h"
#include "tests/support/AllocationCounter.h"

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

}  // namespace

BENCHMARK_MAIN();
