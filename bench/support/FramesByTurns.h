#pragma once
// A frame of the game against the comparison quad (QuadFrame.h), drawn by turns on one
// OpenGL device of the Direct3D 9 substitute. Each side draws a run of frames and reads
// the last one back, so all its drawing is finished inside the measurement. A benchmark
// derives from FramesByTurns, makes its scene in Build and draws one frame in Frame;
// Main runs each side alone, then both by turns, and prints the median of the turns'
// frame / quad ratios beside the goal and the heap allocations a frame makes once the
// first has been drawn (counted at the global operator new, whose replacement this
// header brings: include it in the one source file of a program). Run with
// SDL_VIDEODRIVER=offscreen when there is no display.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/support/BenchWindow.h"
#include "bench/support/ByTurns.h"
#include "bench/support/QuadFrame.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/GLDevice.h"

namespace benchsupport {

struct FramesByTurnsSetup {
    const char* program;    // the window's title and the prefix of error lines
    const char* gameDir;    // the folder the program runs in
    const char* frameName;  // what the printed figures call a frame, such as "world frame"
    const char* benchmark;  // the name of the benchmark of the frames alone
    double goal;            // the median ratio is to be at most this
    int frames;             // frames a side draws in one run
    int width;
    int height;
};

class FramesByTurns {
public:
    explicit FramesByTurns(const FramesByTurnsSetup& setup) : setup_(setup) {}
    virtual ~FramesByTurns() = default;

    // The program's main. The caller leaves the object alive until exit (the game's
    // services it registers stay until then).
    int Main(int argc, char** argv) {
        benchmark::Initialize(&argc, argv);
        if (chdir(setup_.gameDir) != 0) {
            std::fprintf(stderr, "no game folder %s (build the sample_data target)\n", setup_.gameDir);
            return 1;
        }
        SDL_Window* window = OpenBenchWindow(setup_.program, setup_.width, setup_.height);
        if (window == nullptr) return 1;
        std::string error;
        if (!Open(window, error)) {
            std::fprintf(stderr, "%s: %s\n", setup_.program, error.c_str());
            return 1;
        }
        Register();
        benchmark::RunSpecifiedBenchmarks();
        if (!Error().empty()) {
            std::fprintf(stderr, "%s: %s\n", setup_.program, Error().c_str());
            return 1;
        }
        const char* frame = setup_.frameName;
        if (turns_.Turns() > 0) {
            std::printf("%s / quad frame, by turns: median %.3f of %zu turns (%.3f to %.3f; goal: at most %g)\n", frame,
                        turns_.MedianRatio(), turns_.Turns(), turns_.MinRatio(), turns_.MaxRatio(), setup_.goal);
            std::printf("%s / quad frame, CPU time of the process by turns: median %.3f\n", frame,
                        turns_.MedianCpuRatio());
            std::printf("%s %.2f ms, quad frame %.2f ms (means of the turns)\n", frame,
                        turns_.SecondSeconds() * 1000.0 / setup_.frames,
                        turns_.FirstSeconds() * 1000.0 / setup_.frames);
        }
        const double allocations = frames_ > 0 ? double(allocations_) / double(frames_) : 0.0;
        std::printf("heap allocations per %s after the first: %.2f (goal: 0)\n", frame, allocations);
        return 0;
    }

protected:
    // The scene to draw, on device(); false with the reason in `error`.
    virtual bool Build(std::string& error) = 0;
    // One frame as the game draws it, presented; with `pixels`, read back first.
    virtual void Frame(std::vector<DWORD>* pixels) = 0;

    IDirect3D9* d3d() const { return d3d_; }
    IDirect3DDevice9* device() const { return device_; }

private:
    bool Open(SDL_Window* window, std::string& error) {
        if (testsupport::CreateGLDevice(window, testsupport::WindowedParameters(setup_.width, setup_.height, 2),
                                        D3DCREATE_HARDWARE_VERTEXPROCESSING, &d3d_, &device_) != D3D_OK) {
            error = "no Direct3D device";
            return false;
        }
        if (!Build(error)) return false;
        if (!quad_.Open(device_, setup_.width, setup_.height)) {
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

    void Register() {
        const double frames = setup_.frames;
        benchmark::RegisterBenchmark("BM_QuadFrames",
                                     [this, frames](benchmark::State& state) {
                                         for (auto _ : state) QuadFrames();
                                         state.counters["frames"] = frames;
                                     })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(setup_.benchmark,
                                     [this, frames](benchmark::State& state) {
                                         for (auto _ : state) SubjectFrames();
                                         state.counters["frames"] = frames;
                                     })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        // Both by turns within each iteration; the ratio comes from here.
        benchmark::RegisterBenchmark("BM_ByTurns",
                                     [this](benchmark::State& state) {
                                         for (auto _ : state)
                                             turns_.Turn([this] { QuadFrames(); }, [this] { SubjectFrames(); });
                                         state.counters["ratio"] = turns_.MedianRatio();
                                     })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(5.0);
    }

    void SubjectFrames() {
        const long before = testsupport::Allocations();
        for (int frame = 0; frame < setup_.frames; ++frame) Frame(frame + 1 == setup_.frames ? &pixels_ : nullptr);
        allocations_ += testsupport::Allocations() - before;
        frames_ += setup_.frames;
        benchmark::DoNotOptimize(pixels_.data());
    }

    void QuadFrames() {
        for (int frame = 0; frame < setup_.frames; ++frame)
            quad_.Frame(frame + 1 == setup_.frames ? &pixels_ : nullptr);
        benchmark::DoNotOptimize(pixels_.data());
    }

    std::string Error() const {
        const std::vector<std::string> errors = d3d9::GetErrors(device_);
        return errors.empty() ? std::string() : errors.front();
    }

    FramesByTurnsSetup setup_;
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    QuadFrame quad_;
    ByTurns turns_;
    std::vector<DWORD> pixels_;
    long allocations_ = 0;
    long frames_ = 0;
};

}  // namespace benchsupport
