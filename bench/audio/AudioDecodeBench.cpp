// Decodes a 60 s stereo 44.1 kHz Ogg Vorbis file (made here with libvorbisenc) through the
// sample handler, in the 16,384-frame chunks a playing stream asks for, and through a plain
// libvorbis loop over the same file, apart and by turns; prints handler time / plain time,
// the median of the turns' ratios being the figure (goal: at most 1.10).
#include "Audio/CSSampleHandlerOGG.h"
#include "bench/support/ByTurns.h"
#include "tools/databuilder/SoundEncoding.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <thread>

namespace {

constexpr long kRate = 44100;
constexpr size_t kSeconds = 60;
constexpr uint32_t kChunk = 16384;

const std::string& MusicFile() {
    static const std::string path = [] {
        std::vector<float> pcm(kRate * kSeconds * 2);
        std::mt19937 random(11);
        std::uniform_real_distribution<float> noise(-0.05f, 0.05f);
        for (size_t i = 0; i < pcm.size() / 2; ++i) {
            const double t = static_cast<double>(i) / kRate;
            const double f = 220.0 * std::pow(2.0, std::floor(std::fmod(t * 2.0, 12.0)) / 12.0);
            pcm[2 * i] = static_cast<float>(0.4 * std::sin(2 * M_PI * f * t)) + noise(random);
            pcm[2 * i + 1] = static_cast<float>(0.4 * std::sin(2 * M_PI * 1.5 * f * t)) + noise(random);
        }
        const std::vector<uint8_t> bytes =
            soundenc::EncodeOggVorbis(pcm, 2, kRate, 0.4f, {soundenc::SizeComment(pcm.size() / 2, kRate)});
        const std::string p =
            (std::filesystem::temp_directory_path() / ("dm_bench_audio_" + std::to_string(::getpid()) + ".ogg"))
                .string();
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return p;
    }();
    return path;
}

// The whole minute through the sample handler.
void DecodeThroughHandler(std::vector<int16_t>& chunk) {
    CSSampleHandler* handler = CSSampleHandler::FindOrCreate(SampleSourceInfo(MusicFile()), 0, 0);
    const SampleFormat* format = nullptr;
    while (!(format = handler->ParseHeader()) && handler->IsOpen()) std::this_thread::yield();
    for (uint32_t first = 0; first < kRate * kSeconds; first += kChunk) {
        handler->RequestRead(chunk.data(), first, kChunk, &chunk);
        benchmark::DoNotOptimize(chunk.data());
    }
    handler->Release();
    CSSampleHandler::PurgeUnused();
}

// The same work without the handler: read the file 4 KiB at a time, decode, convert.
void DecodePlain(std::vector<int16_t>& out) {
    FILE* file = std::fopen(MusicFile().c_str(), "rb");
    ogg_sync_state sync;
    ogg_stream_state stream;
    ogg_page page;
    ogg_packet packet;
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_sync_init(&sync);
    vorbis_info_init(&info);
    vorbis_comment_init(&comment);
    int headers = 0;
    bool started = false, eos = false;
    size_t filled = 0;
    while (!eos) {
        const int result = ogg_sync_pageout(&sync, &page);
        if (result == 0) {
            char* buffer = ogg_sync_buffer(&sync, 4096);
            const size_t n = std::fread(buffer, 1, 4096, file);
            ogg_sync_wrote(&sync, static_cast<long>(n));
            if (n == 0) break;
            continue;
        }
        if (result < 0) continue;
        if (!started) {
            ogg_stream_init(&stream, ogg_page_serialno(&page));
            started = true;
        }
        ogg_stream_pagein(&stream, &page);
        while (ogg_stream_packetout(&stream, &packet) == 1) {
            if (headers < 3) {
                vorbis_synthesis_headerin(&info, &comment, &packet);
                if (++headers == 3) {
                    vorbis_synthesis_init(&dsp, &info);
                    vorbis_block_init(&dsp, &block);
                }
                continue;
            }
            if (vorbis_synthesis(&block, &packet) == 0) vorbis_synthesis_blockin(&dsp, &block);
            float** pcm;
            int samples;
            while ((samples = vorbis_synthesis_pcmout(&dsp, &pcm)) > 0) {
                for (int i = 0; i < samples; ++i) {
                    for (int c = 0; c < 2; ++c) {
                        out[filled++] = CSSampleHandlerOGG::ConvertSample(pcm[c][i]);
                        if (filled == out.size()) filled = 0;
                    }
                }
                vorbis_synthesis_read(&dsp, samples);
            }
        }
        eos = ogg_page_eos(&page) != 0;
    }
    benchmark::DoNotOptimize(out.data());
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    ogg_stream_clear(&stream);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    ogg_sync_clear(&sync);
    std::fclose(file);
}

void BM_SampleHandler(benchmark::State& state) {
    std::vector<int16_t> chunk(kChunk * 2);
    for (auto _ : state) DecodeThroughHandler(chunk);
}

void BM_PlainLibvorbis(benchmark::State& state) {
    std::vector<int16_t> out(kChunk * 2);
    for (auto _ : state) DecodePlain(out);
}

// Both sides by turns within each iteration; the ratio comes from here.
benchsupport::ByTurns g_turns;

void BM_ByTurns(benchmark::State& state) {
    std::vector<int16_t> chunk(kChunk * 2);
    for (auto _ : state) g_turns.Turn([&] { DecodePlain(chunk); }, [&] { DecodeThroughHandler(chunk); });
    state.counters["ratio"] = g_turns.MedianRatio();
}

BENCHMARK(BM_SampleHandler)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PlainLibvorbis)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ByTurns)->Unit(benchmark::kMillisecond)->MinTime(6.0);

// Keeps each benchmark's time per iteration so that main can print the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MusicFile();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto handler = reporter.times.find("BM_SampleHandler/min_time:2.000");
    const auto plain = reporter.times.find("BM_PlainLibvorbis/min_time:2.000");
    if (handler != reporter.times.end() && plain != reporter.times.end() && plain->second > 0) {
        std::printf("handler / plain libvorbis, run apart: %.3f\n", handler->second / plain->second);
    }
    if (g_turns.Turns() > 0) {
        std::printf(
            "handler / plain libvorbis, by turns: median %.3f of %zu turns (%.3f to %.3f; goal: at most 1.10)\n",
            g_turns.MedianRatio(), g_turns.Turns(), g_turns.MinRatio(), g_turns.MaxRatio());
    }
    std::filesystem::remove(MusicFile());
    return 0;
}
