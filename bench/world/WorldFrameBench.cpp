// The world frame against the comparison quad, drawn by turns on one device at
// 1024 x 768: the sample map seen through its view's camera with the six defenders,
// their weapons and blob shadows (the scene a battle draws before any attacker, HUD
// or particle), against a frame of one full-screen blended textured quad. Each side
// draws kFrames frames and reads the last one back, so all its drawing is finished
// inside the measurement. Prints the median of the turns' world / quad ratios (goal:
// at most 1.5) and the heap allocations a world frame makes once the first has been
// drawn (goal: none; they are counted at the global operator new). Run with
// SDL_VIDEODRIVER=offscreen when there is no display.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"
#include "bench/support/BenchWindow.h"
#include "bench/support/ByTurns.h"
#include "bench/support/QuadFrame.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/GLDevice.h"
#include "tests/support/SampleBattlefield.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kFrames = 20;

class World {
public:
    // False with the reason in `error`.
    bool Open(SDL_Window* window, std::string& error) {
        if (testsupport::CreateGLDevice(window, testsupport::WindowedParameters(kWidth, kHeight, 2),
                                        D3DCREATE_HARDWARE_VERTEXPROCESSING, &d3d_, &device_) != D3D_OK) {
            error = "no Direct3D device";
            return false;
        }
        graphics_.reset(new Graphics::GraphicsDevice(d3d_, device_));
        if (!graphics_->GetEffect()->IsLoaded()) {
            error = "the effect does not load";
            return false;
        }
        Service<Graphics::GraphicsDevice>::Register(graphics_.get());
        graphics_->SetViewport(Viewport(0, 0, kWidth, kHeight, 0.0f, 1.0f));
        textures_.reset(new Content::ContentLoader<Graphics::Texture2D>(catalogue::config::kTextures.Path()));
        Service<Content::ContentLoader<Graphics::Texture2D>>::Register(textures_.get());
        models_.reset(new Content::ContentLoader<Graphics::Model>(catalogue::config::kMeshes.Path()));
        clips_.reset(new Content::ContentLoader<Graphics::AnimationClips>(catalogue::config::kAnims.Path()));
        if (!battlefield_.BuildMap(*graphics_, {textures_.get(), models_.get(), clips_.get()}, kWidth, kHeight) ||
            !battlefield_.AddDefenders()) {
            error = battlefield_.Error();
            return false;
        }
        if (!quad_.Open(device_, kWidth, kHeight)) {
            error = "the quad's program does not build";
            return false;
        }
        // The first frames make what the draw makes on first use, and the software
        // renderer compiles its shader variants (through LLVM, whose allocations the
        // counter would see too) for both kinds of frame.
        for (int frame = 0; frame < 3; ++frame) {
            Frame(nullptr);
            quad_.Frame();
        }
        return true;
    }

    // One frame of the world scene as the game draws it: update, cull, sort, draw,
    // present; with `pixels`, read back before it is presented.
    void Frame(std::vector<DWORD>* pixels) {
        sg::Scene& scene = battlefield_.Scene();
        scene.Update(1.0f / 60.0f);
        scene.Cull();
        scene.Sort();
        device_->BeginScene();
        graphics_->Draw(&scene);
        device_->EndScene();
        if (pixels != nullptr) d3d9::ReadBackBuffer(device_, pixels, nullptr, nullptr);
        device_->Present(nullptr, nullptr, nullptr, nullptr);
    }

    void WorldFrames() {
        const long before = testsupport::Allocations();
        for (int frame = 0; frame < kFrames; ++frame) Frame(frame + 1 == kFrames ? &pixels_ : nullptr);
        allocations_ += testsupport::Allocations() - before;
        world_frames_ += kFrames;
        benchmark::DoNotOptimize(pixels_.data());
    }

    void QuadFrames() {
        for (int frame = 0; frame < kFrames; ++frame) quad_.Frame(frame + 1 == kFrames ? &pixels_ : nullptr);
        benchmark::DoNotOptimize(pixels_.data());
    }

    std::string Error() const {
        const std::vector<std::string> errors = d3d9::GetErrors(device_);
        return errors.empty() ? std::string() : errors.front();
    }

    // Heap allocations per world frame after the first frame.
    double AllocationsPerFrame() const {
        return world_frames_ > 0 ? double(allocations_) / double(world_frames_) : 0.0;
    }

private:
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    std::unique_ptr<Graphics::GraphicsDevice> graphics_;
    std::unique_ptr<Content::ContentLoader<Graphics::Texture2D>> textures_;
    std::unique_ptr<Content::ContentLoader<Graphics::Model>> models_;
    std::unique_ptr<Content::ContentLoader<Graphics::AnimationClips>> clips_;
    testsupport::SampleBattlefield battlefield_;
    benchsupport::QuadFrame quad_;
    std::vector<DWORD> pixels_;
    long allocations_ = 0;
    long world_frames_ = 0;
};

// Made once by main; the program ends without taking it down (the driver and the
// services stay until exit).
World* g_world = nullptr;
benchsupport::ByTurns g_turns;

void BM_WorldFrames(benchmark::State& state) {
    for (auto _ : state) g_world->WorldFrames();
    state.counters["frames"] = kFrames;
}

void BM_QuadFrames(benchmark::State& state) {
    for (auto _ : state) g_world->QuadFrames();
    state.counters["frames"] = kFrames;
}

// Both by turns within each iteration; the ratio comes from here.
void BM_ByTurns(benchmark::State& state) {
    for (auto _ : state) g_turns.Turn([] { g_world->QuadFrames(); }, [] { g_world->WorldFrames(); });
    state.counters["ratio"] = g_turns.MedianRatio();
}

BENCHMARK(BM_QuadFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WorldFrames)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ByTurns)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(5.0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (chdir(DM_BENCH_GAME_DIR) != 0) {
        std::fprintf(stderr, "no game folder %s (build the sample_data target)\n", DM_BENCH_GAME_DIR);
        return 1;
    }
    SDL_Window* window = benchsupport::OpenBenchWindow("bench_world", kWidth, kHeight);
    if (window == nullptr) return 1;
    g_world = new World();
    std::string error;
    if (!g_world->Open(window, error)) {
        std::fprintf(stderr, "bench_world: %s\n", error.c_str());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    if (!g_world->Error().empty()) {
        std::fprintf(stderr, "bench_world: %s\n", g_world->Error().c_str());
        return 1;
    }
    if (g_turns.Turns() > 0) {
        std::printf("world frame / quad frame, by turns: median %.3f of %zu turns (%.3f to %.3f; goal: at most 1.5)\n",
                    g_turns.MedianRatio(), g_turns.Turns(), g_turns.MinRatio(), g_turns.MaxRatio());
        std::printf("world frame / quad frame, CPU time of the process by turns: median %.3f\n",
                    g_turns.MedianCpuRatio());
        std::printf("world frame %.2f ms, quad frame %.2f ms (means of the turns)\n",
                    g_turns.SecondSeconds() * 1000.0 / kFrames, g_turns.FirstSeconds() * 1000.0 / kFrames);
    }
    std::printf("heap allocations per world frame after the first: %.2f (goal: 0)\n", g_world->AllocationsPerFrame());
    return 0;
}
