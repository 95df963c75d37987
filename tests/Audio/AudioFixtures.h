#pragma once
// Fixtures of the audio tests: sound files made in code, a reference decoder, and a
// replaceable read function to delay or fail the overlapped reads.
#include "Audio/CSSampleHandler.h"
#include "Audio/CSSampleHandlerOGG.h"
#include "platform/win32/OverlappedTesting.h"
#include "tools/databuilder/SoundEncoding.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace audiotest {

namespace fs = std::filesystem;

// The sample rate of the tests' own sounds.
constexpr long kRate = 44100;

// Handlers in the sample-handler cache.
inline int CachedCount() {
    int n = 0;
    for (CSSampleHandler* h = CSSampleHandler::GetFirstCached(); h; h = h->GetNextCached()) ++n;
    return n;
}

class TempDir {
public:
    TempDir() {
        static std::atomic<int> counter{0};
        path_ =
            fs::temp_directory_path() / ("dm_audio_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        const std::string p = File(name);
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return p;
    }

private:
    fs::path path_;
};

// Bytes whose value tells their position, so a read shows where it came from.
inline uint8_t PatternByte(size_t offset) { return static_cast<uint8_t>((offset * 7 + offset / 251) & 0xFF); }

// A WAVE file of any layout, for the header tests.
struct WavLayout {
    uint16_t formatTag = 1;
    uint16_t channels = 2;
    uint32_t rate = 44100;
    uint16_t bits = 16;
    uint32_t fmtSize = 16;
    std::vector<uint32_t> padChunks;  // sizes of "PAD " chunks before "data"
    const char* dataTag = "data";
    uint32_t dataSize = 176400;  // as written in the header
    size_t dataBytes = 176400;   // bytes actually present
    bool extensiblePcm = true;   // sub-format of tag 0xFFFE
};

inline std::vector<uint8_t> MakeWav(const WavLayout& l) {
    using namespace soundenc;
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    PutU32(out, 0);  // not read
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, l.fmtSize);
    const size_t fmtStart = out.size();
    PutU16(out, l.formatTag);
    PutU16(out, l.channels);
    PutU32(out, l.rate);
    PutU32(out, l.rate * l.channels * (l.bits / 8));
    PutU16(out, static_cast<uint32_t>(l.channels * (l.bits / 8)));
    PutU16(out, l.bits);
    if (l.fmtSize >= 40) {
        PutU16(out, 22);
        PutU16(out, l.bits);
        PutU32(out, l.channels == 2 ? 3 : 4);
        const uint8_t pcm[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        out.insert(out.end(), pcm, pcm + 16);
        if (!l.extensiblePcm) out[out.size() - 16] = 3;
    }
    out.resize(fmtStart + l.fmtSize, 0);
    for (uint32_t pad : l.padChunks) {
        PutTag(out, "PAD ");
        PutU32(out, pad);
        out.resize(out.size() + pad, 0);
    }
    PutTag(out, l.dataTag);
    PutU32(out, l.dataSize);
    const size_t dataStart = out.size();
    out.resize(dataStart + l.dataBytes);
    for (size_t i = dataStart; i < out.size(); ++i) out[i] = PatternByte(i);
    return out;
}

// Deterministic test music: tones with a little noise, interleaved, in -1 ... 1.
inline std::vector<float> TestSignal(size_t frames, int channels, long rate, uint32_t seed = 7, float noise = 0.05f) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
    std::vector<float> out(frames * channels);
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        for (int c = 0; c < channels; ++c) {
            const double f = 220.0 * (c + 1) * (1.0 + 0.5 * std::sin(2.0 * M_PI * 0.3 * t));
            out[i * channels + c] =
                static_cast<float>(0.5 * std::sin(2.0 * M_PI * f * t) + 0.2 * std::sin(2.0 * M_PI * 3.3 * f * t)) +
                noise * uniform(random);
        }
    }
    return out;
}

// The whole stream decoded by a plain libvorbis loop, each sample converted as the handler does.
inline std::vector<int16_t> ReferenceDecode(const std::vector<uint8_t>& file, int* channelsOut = nullptr) {
    std::vector<int16_t> pcmOut;
    ogg_sync_state sync;
    ogg_stream_state stream;
    ogg_page page;
    ogg_packet packet;
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_sync_init(&sync);
    char* buffer = ogg_sync_buffer(&sync, static_cast<long>(file.size()));
    std::memcpy(buffer, file.data(), file.size());
    ogg_sync_wrote(&sync, static_cast<long>(file.size()));
    vorbis_info_init(&info);
    vorbis_comment_init(&comment);
    int headers = 0;
    bool started = false, synthesis = false, eos = false;
    while (!eos && ogg_sync_pageout(&sync, &page) == 1) {
        if (!started) {
            ogg_stream_init(&stream, ogg_page_serialno(&page));
            started = true;
        }
        ogg_stream_pagein(&stream, &page);
        while (ogg_stream_packetout(&stream, &packet) == 1) {
            if (headers < 3) {
                if (vorbis_synthesis_headerin(&info, &comment, &packet) != 0) {
                    eos = true;
                    break;
                }
                if (++headers == 3) {
                    vorbis_synthesis_init(&dsp, &info);
                    vorbis_block_init(&dsp, &block);
                    synthesis = true;
                }
                continue;
            }
            if (vorbis_synthesis(&block, &packet) == 0) vorbis_synthesis_blockin(&dsp, &block);
            float** pcm;
            int n;
            while ((n = vorbis_synthesis_pcmout(&dsp, &pcm)) > 0) {
                for (int i = 0; i < n; ++i) {
                    for (int c = 0; c < info.channels; ++c)
                        pcmOut.push_back(CSSampleHandlerOGG::ConvertSample(pcm[c][i]));
                }
                vorbis_synthesis_read(&dsp, n);
            }
        }
        eos = eos || ogg_page_eos(&page) != 0;
    }
    if (channelsOut) *channelsOut = synthesis ? info.channels : 0;
    if (synthesis) {
        vorbis_block_clear(&block);
        vorbis_dsp_clear(&dsp);
    }
    if (started) ogg_stream_clear(&stream);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    ogg_sync_clear(&sync);
    return pcmOut;
}

// Sets the channel count of a Vorbis stream's identification header (the first page) and
// mends that page's checksum. libvorbisenc leaks when it encodes more than two channels, so
// tests that need such a file patch a mono one.
inline std::vector<uint8_t> WithChannelCount(std::vector<uint8_t> file, uint8_t channels) {
    ogg_page page;
    page.header = file.data();
    page.header_len = 27 + file[26];
    page.body = file.data() + page.header_len;
    page.body_len = 0;
    for (int i = 0; i < file[26]; ++i) page.body_len += file[27 + i];
    page.body[11] = channels;
    ogg_page_checksum_set(&page);
    return file;
}

// Polls the header as the sound load does, for at most two seconds.
inline const SampleFormat* WaitForHeader(CSSampleHandler* handler) {
    for (int i = 0; i < 2000; ++i) {
        if (const SampleFormat* format = handler->ParseHeader()) return format;
        if (!handler->IsOpen()) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return nullptr;
}

// True once the key's read is done, polled for at most two seconds.
inline bool WaitForRequest(CSSampleHandler* handler, const void* key) {
    for (int i = 0; i < 2000; ++i) {
        if (handler->IsRequestDone(key)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// A handler reference that is given back, and the cache emptied, at the end of the test.
class HandlerRef {
public:
    HandlerRef(const std::string& path, uint8_t priority = 0, uint8_t looping = 0)
        : handler_(CSSampleHandler::FindOrCreate(SampleSourceInfo(path), priority, looping)) {}
    ~HandlerRef() {
        if (handler_) handler_->Release();
        CSSampleHandler::PurgeUnused();
    }
    HandlerRef(const HandlerRef&) = delete;
    HandlerRef& operator=(const HandlerRef&) = delete;
    CSSampleHandler* operator->() const { return handler_; }
    CSSampleHandler* get() const { return handler_; }

private:
    CSSampleHandler* handler_;
};

// Replaces the positional read of the overlapped reads for a test: reads at or past
// failFrom fail (after delivering what lies before it); reads at or past holdFrom wait
// until Release. Counts the reads that start at offset 0.
class ReadControl {
public:
    explicit ReadControl(uint64_t failFrom = UINT64_MAX, uint64_t holdFrom = UINT64_MAX) {
        State& s = Get();
        s.failFrom = failFrom;
        s.holdFrom = holdFrom;
        s.held = holdFrom != UINT64_MAX;
        s.readsAtZero = 0;
        SetOverlappedReadFunction(&Read);
    }
    ~ReadControl() {
        Release();
        SetOverlappedReadFunction(nullptr);
    }
    void Release() {
        State& s = Get();
        std::lock_guard<std::mutex> lock(s.mutex);
        s.held = false;
        s.wake.notify_all();
    }
    static int ReadsAtZero() { return Get().readsAtZero; }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable wake;
        bool held = false;
        uint64_t failFrom = UINT64_MAX;
        uint64_t holdFrom = UINT64_MAX;
        std::atomic<int> readsAtZero{0};
    };
    static State& Get() {
        static State state;
        return state;
    }
    static int64_t Read(int fd, void* buffer, uint32_t count, uint64_t offset) {
        State& s = Get();
        if (offset == 0) ++s.readsAtZero;
        if (offset >= s.holdFrom) {
            std::unique_lock<std::mutex> lock(s.mutex);
            s.wake.wait(lock, [&s] { return !s.held; });
        }
        if (offset >= s.failFrom) return -EIO;
        const uint64_t allowed = s.failFrom - offset;
        const ssize_t n = ::pread(fd, buffer, count < allowed ? count : allowed, static_cast<off_t>(offset));
        return n < 0 ? -errno : n;
    }
};

}  // namespace audiotest
