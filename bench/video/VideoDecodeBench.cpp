// The intro video (the sample data's, or the file given first) decoded frame by frame with
// a plain libtheora loop, each picture converted to R, G, B bytes with the video library's
// mode 1 converter in the same pass; and the same file through the video library's own
// path: a clip without sound on a manager without threads, the worker's turns taken here,
// each decoded and converted frame popped from the queue. Prints milliseconds per frame
// for each, the library's against the plain loop with conversion (the goal: within 10 %)
// and against the plain decoding alone.
#include <benchmark/benchmark.h>
#include <theora/theoradec.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Video/ogv/DecodedVideoFrame.h"
#include "Video/ogv/OgvColourConversion.h"
#include "Video/ogv/OgvDataSource.h"
#include "Video/ogv/OgvFrameQueue.h"
#include "Video/ogv/OgvVideoClip.h"
#include "Video/ogv/OgvVideoManager.h"
#include "Video/ogv/OgvWorkerThread.h"
#include "tests/support/TheoraPictures.h"

namespace {

std::string g_path = DM_BENCH_INTRO;

const std::vector<char>& IntroBytes() {
    static const std::vector<char> bytes = [] {
        std::ifstream in(g_path, std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }();
    return bytes;
}

using Clock = std::chrono::steady_clock;

struct Totals {
    double decodeSeconds = 0;
    double convertSeconds = 0;
    long frames = 0;
};

// One pass over the whole file.
void DecodeAndConvert(Totals& totals, std::vector<uint8_t>& rgb) {
    const std::vector<char>& bytes = IntroBytes();
    Clock::time_point start = Clock::now();
    testsupport::DecodeTheoraPictures(
        reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), -1,
        [&](th_ycbcr_buffer* picture, const th_info& info) {
            if (picture == nullptr) return true;
            rgb.resize(size_t(info.frame_width) * info.frame_height * 3);
            const Clock::time_point decoded = Clock::now();
            totals.decodeSeconds += std::chrono::duration<double>(decoded - start).count();
            GetOgvConverter(OgvOutputRGB)(*picture, rgb.data(), int(info.frame_width));
            benchmark::DoNotOptimize(rgb.data());
            start = Clock::now();
            totals.convertSeconds += std::chrono::duration<double>(start - decoded).count();
            ++totals.frames;
            return true;
        });
}

Totals g_totals;

void BM_IntroDecodeAndConvert(benchmark::State& state) {
    BuildYuvTables();
    std::vector<uint8_t> rgb;
    Totals totals;
    for (auto _ : state) DecodeAndConvert(totals, rgb);
    if (totals.frames > 0) {
        state.counters["decode_ms_per_frame"] = 1000.0 * totals.decodeSeconds / double(totals.frames);
        state.counters["convert_ms_per_frame"] = 1000.0 * totals.convertSeconds / double(totals.frames);
    }
    g_totals = totals;
}

BENCHMARK(BM_IntroDecodeAndConvert)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The file's bytes as the clip reads them.
class MemorySource : public OgvDataSource {
public:
    int32_t Read(void* buffer, int32_t count) override {
        const std::vector<char>& bytes = IntroBytes();
        const size_t n = std::min(size_t(std::max(count, 0)), bytes.size() - std::min(position_, bytes.size()));
        std::copy(bytes.begin() + long(position_), bytes.begin() + long(position_ + n), static_cast<char*>(buffer));
        position_ += n;
        return int32_t(n);
    }
    std::string Name() override { return g_path; }
    void Seek(int32_t offset) override { position_ = size_t(std::max(offset, 0)); }
    int32_t Size() override { return int32_t(IntroBytes().size()); }
    int32_t Tell() override { return int32_t(position_); }

private:
    size_t position_ = 0;
};

void Quiet(const std::string&) {}

struct LibraryTotals {
    double seconds = 0;
    long frames = 0;
};
LibraryTotals g_library;

// One pass over the whole file through a clip.
void PlayThroughLibrary(OgvVideoManager& manager, LibraryTotals& totals) {
    MemorySource source;
    const Clock::time_point start = Clock::now();
    OgvVideoClip* clip = manager.CreateVideoClip(&source, OgvOutputRGB);
    OgvWorkerThread worker;
    for (;;) {
        worker.Step();
        if (clip->GetFrameQueue()->GetFirstAvailableFrame() == nullptr) {
            if (clip->IsEndOfFile()) break;
            continue;
        }
        benchmark::DoNotOptimize(clip->GetFrameQueue()->GetFirstAvailableFrame()->GetPixels());
        clip->PopFrame();
        ++totals.frames;
    }
    manager.DestroyVideoClip(clip);
    totals.seconds += std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_IntroThroughLibrary(benchmark::State& state) {
    ogvLogFunction = &Quiet;
    OgvVideoManager manager(0);
    LibraryTotals totals;
    for (auto _ : state) PlayThroughLibrary(manager, totals);
    if (totals.frames > 0) state.counters["ms_per_frame"] = 1000.0 * totals.seconds / double(totals.frames);
    g_library = totals;
}

BENCHMARK(BM_IntroThroughLibrary)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc > 1) g_path = argv[1];
    if (IntroBytes().empty()) {
        std::fprintf(stderr, "bench_video: cannot read %s\n", g_path.c_str());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    if (g_totals.frames > 0) {
        std::printf("%s: %ld frames; decoding %.3f ms per frame, converting (mode 1) %.3f ms per frame\n",
                    g_path.c_str(), g_totals.frames, 1000.0 * g_totals.decodeSeconds / double(g_totals.frames),
                    1000.0 * g_totals.convertSeconds / double(g_totals.frames));
    }
    if (g_totals.frames > 0 && g_library.frames > 0) {
        const double plainDecode = g_totals.decodeSeconds / double(g_totals.frames);
        const double plain = plainDecode + g_totals.convertSeconds / double(g_totals.frames);
        const double library = g_library.seconds / double(g_library.frames);
        std::printf("library: %.3f ms per frame; %.3f x the plain loop with conversion (goal: at most 1.10), "
                    "%.3f x the plain decoding alone\n",
                    1000.0 * library, library / plain, library / plainDecode);
    }
    return 0;
}
