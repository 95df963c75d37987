#pragma once
// Clips made in code with the data builder's encoder, damaged copies of them, a data
// source over bytes that can hold a worker's read until released, and a log that keeps
// the library's lines for the test.
#include <gtest/gtest.h>
#include <theora/theoradec.h>

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Video/ogv/OgvAudioInterface.h"
#include "Video/ogv/OgvColourConversion.h"
#include "Video/ogv/OgvAudioInterfaceFactory.h"
#include "Video/ogv/OgvDataSource.h"
#include "Video/ogv/OgvVideoManager.h"
#include "support/TheoraPictures.h"
#include "tools/databuilder/VideoEncoding.h"

namespace videofixtures {

using Bytes = std::vector<uint8_t>;

// A picture that changes every frame: a gradient that moves, and a square.
inline void PaintMoving(int frame, th_ycbcr_buffer planes) {
    for (int p = 0; p < 3; ++p) {
        for (int y = 0; y < planes[p].height; ++y) {
            for (int x = 0; x < planes[p].width; ++x) {
                const int v = p == 0 ? 40 + (x * 3 + y * 2 + frame * 9) % 160 : 128 + (p == 1 ? 20 : -20);
                planes[p].data[y * planes[p].stride + x] = static_cast<uint8_t>(v);
            }
        }
    }
    const int s = frame % (planes[0].width / 2);
    for (int y = 8; y < 16; ++y)
        for (int x = s; x < s + 8 && x < planes[0].width; ++x) planes[0].data[y * planes[0].stride + x] = 230;
}

// A tone in every channel, -1 ... 1.
inline std::vector<float> Tone(int channels, long rate, double seconds) {
    std::vector<float> pcm(static_cast<size_t>(rate * seconds) * channels);
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = static_cast<float>(0.4 * std::sin(2 * 3.14159265 * 440.0 * double(i / channels) / rate));
    return pcm;
}

// A test clip: picture size, length, keyframe spacing, pixel format and sound.
struct ClipDesc {
    int width = 64;
    int height = 48;
    int frames = 12;
    int keyframeInterval = 4;
    th_pixel_fmt pixelFormat = TH_PF_420;
    int channels = 0;
    long rate = 22050;
};

inline Bytes MakeClip(const ClipDesc& clip) {
    videoenc::VideoFormat format;
    format.width = clip.width;
    format.height = clip.height;
    format.frames = clip.frames;
    format.keyframeInterval = clip.keyframeInterval;
    format.pixelFormat = clip.pixelFormat;
    videoenc::SoundTrack sound;
    sound.channels = clip.channels;
    sound.rate = clip.rate;
    if (clip.channels > 0) sound.interleaved = Tone(clip.channels, clip.rate, double(clip.frames) / format.fps);
    return videoenc::EncodeOgv(format, &PaintMoving, sound);
}

// 64 x 48, 12 frames at 25 per second, a keyframe every 4, no sound.
inline const Bytes& SilentClip() {
    static const Bytes bytes = MakeClip(ClipDesc());
    return bytes;
}

// The same with mono sound at 22050 Hz.
inline const Bytes& MonoClip() {
    static const Bytes bytes = [] {
        ClipDesc clip;
        clip.channels = 1;
        return MakeClip(clip);
    }();
    return bytes;
}

// Sound only.
inline const Bytes& VorbisOnly() {
    static const Bytes bytes = soundenc::EncodeOggVorbis(Tone(2, 22050, 0.5), 2, 22050, 0.2f, {});
    return bytes;
}

// A detailed still picture with a band of fresh detail that moves down every frame: the
// frames between keyframes stay predicted, but each packet is large, so a page holds only
// a few frames.
inline void PaintBusy(int frame, th_ycbcr_buffer planes) {
    for (int p = 0; p < 3; ++p) {
        const int band = planes[p].height / 9;
        const int top = (frame * band) % planes[p].height;
        for (int y = 0; y < planes[p].height; ++y) {
            const bool fresh = y >= top && y < top + band;
            for (int x = 0; x < planes[p].width; ++x) {
                uint32_t h = uint32_t(x) * 2654435761u ^ uint32_t(y * 7 + p + (fresh ? frame * 131 : 0)) * 40503u;
                h ^= h >> 13;
                planes[p].data[y * planes[p].stride + x] = static_cast<uint8_t>(p == 0 ? 32 + h % 192 : 96 + h % 64);
            }
        }
    }
}

// 176 x 144, 100 frames at 25 per second (4 s), a keyframe every 16, no sound; its pages
// hold few frames each, so a seek lands between keyframes.
inline const Bytes& KeyframedClip() {
    static const Bytes bytes = [] {
        videoenc::VideoFormat format;
        format.width = 176;
        format.height = 144;
        format.frames = 100;
        format.keyframeInterval = 16;
        return videoenc::EncodeOgv(format, &PaintBusy);
    }();
    return bytes;
}

// The pictures of the clip's Theora stream in the output mode, in order, decoded with a
// plain libtheora loop; at most limit of them.
inline std::vector<Bytes> ReferencePictures(const Bytes& file, int mode = OgvOutputRGB, size_t limit = SIZE_MAX) {
    std::vector<Bytes> pictures;
    BuildYuvTables();
    testsupport::DecodeTheoraPictures(
        file.data(), file.size(), videoenc::kVideoSerial, [&](th_ycbcr_buffer* picture, const th_info& info) {
            if (pictures.size() >= limit) return false;
            if (picture == nullptr) {
                // A dropped frame repeats the picture before it.
                if (!pictures.empty()) pictures.push_back(Bytes(pictures.back()));
            } else {
                Bytes out(size_t(info.frame_width) * info.frame_height * GetOgvBytesPerPixel(mode), 0xFF);
                GetOgvConverter(mode)(*picture, out.data(), int(info.frame_width));
                pictures.push_back(std::move(out));
            }
            return pictures.size() < limit;
        });
    return pictures;
}

// --- pages ------------------------------------------------------------------------------

struct Page {
    Bytes bytes;
    int serial() const {
        return static_cast<int>(bytes[14] | bytes[15] << 8 | bytes[16] << 16 | uint32_t(bytes[17]) << 24);
    }
    int64_t granule() const {
        int64_t g = 0;
        for (int i = 7; i >= 0; --i) g = g << 8 | bytes[6 + i];
        return g;
    }
    bool bos() const { return (bytes[5] & 2) != 0; }
    size_t headerSize() const { return 27u + bytes[26]; }
};

inline std::vector<Page> SplitPages(const Bytes& file) {
    std::vector<Page> pages;
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char* buffer = ogg_sync_buffer(&sync, static_cast<long>(file.size()));
    std::memcpy(buffer, file.data(), file.size());
    ogg_sync_wrote(&sync, static_cast<long>(file.size()));
    ogg_page page;
    int result;
    while ((result = ogg_sync_pageout(&sync, &page)) != 0) {
        if (result < 0) continue;
        Page p;
        soundenc::AppendPage(p.bytes, page);
        pages.push_back(std::move(p));
    }
    ogg_sync_clear(&sync);
    return pages;
}

inline Bytes JoinPages(const std::vector<Page>& pages) {
    Bytes out;
    for (const Page& p : pages) out.insert(out.end(), p.bytes.begin(), p.bytes.end());
    return out;
}

// Changes a byte of a page's body and makes its checksum fit again, so the page still
// reaches the codec.
inline void ChangeBodyByte(Page& page, size_t offset, uint8_t value) {
    page.bytes[page.headerSize() + offset] = value;
    ogg_page view;
    view.header = page.bytes.data();
    view.header_len = static_cast<long>(page.headerSize());
    view.body = page.bytes.data() + page.headerSize();
    view.body_len = static_cast<long>(page.bytes.size() - page.headerSize());
    ogg_page_checksum_set(&view);
}

// Index of the n-th page (from 0) of the stream with that serial number.
inline size_t PageOf(const std::vector<Page>& pages, int serial, int n) {
    for (size_t i = 0; i < pages.size(); ++i)
        if (pages[i].serial() == serial && n-- == 0) return i;
    ADD_FAILURE() << "no page " << n << " of stream " << serial;
    return 0;
}

// --- data source ------------------------------------------------------------------------

// Bytes in memory. When holding, a read from a thread other than the one that made the
// source waits until Release, so a worker can be caught in the middle of its turn.
class MemorySource : public OgvDataSource {
public:
    explicit MemorySource(Bytes data, std::string sourceName = "memory.ogv", bool hold = false)
        : bytes_(std::move(data)), name_(std::move(sourceName)), owner_(std::this_thread::get_id()), holding_(hold) {}

    int32_t Read(void* buffer, int32_t count) override {
        if (std::this_thread::get_id() != owner_) {
            std::unique_lock<std::mutex> lock(mutex_);
            ++other_reads_;
            changed_.notify_all();
            changed_.wait(lock, [this] { return !holding_; });
        }
        const size_t n =
            std::min(static_cast<size_t>(std::max(count, 0)), bytes_.size() - std::min(position_, bytes_.size()));
        if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return static_cast<int32_t>(n);
    }
    std::string Name() override { return name_; }
    void Seek(int32_t offset) override { position_ = static_cast<size_t>(std::max(offset, 0)); }
    int32_t Size() override { return static_cast<int32_t>(bytes_.size()); }
    int32_t Tell() override { return static_cast<int32_t>(position_); }

    // Waits until another thread has asked for data.
    void AwaitOtherRead() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return other_reads_ > 0; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex_);
        holding_ = false;
        changed_.notify_all();
    }

private:
    Bytes bytes_;
    std::string name_;
    size_t position_ = 0;
    std::thread::id owner_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool holding_;
    int other_reads_ = 0;
};

// --- audio ------------------------------------------------------------------------------

class NullOutput : public OgvAudioInterface {
public:
    using OgvAudioInterface::OgvAudioInterface;
    void InsertData(float**, int) override {}
    void Destroy() override { ++destroyed; }
    static inline int destroyed = 0;
};

class NullOutputFactory : public OgvAudioInterfaceFactory {
public:
    OgvAudioInterface* CreateInstance(OgvVideoClip* clip, int channels, int frequency) override {
        ++made;
        return new NullOutput(clip, channels, frequency);
    }
    int made = 0;
};

// --- log --------------------------------------------------------------------------------

// The library's lines, kept while the object lives.
class LogCapture {
public:
    LogCapture() { ogvLogFunction = &Keep; }
    ~LogCapture() {
        ogvLogFunction = previous_;
        std::lock_guard<std::mutex> lock(mutex());
        lines().clear();
    }
    std::vector<std::string> Lines() const {
        std::lock_guard<std::mutex> lock(mutex());
        return lines();
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex());
        lines().clear();
    }
    void AwaitLine(const std::string& line) const {
        std::unique_lock<std::mutex> lock(mutex());
        cv().wait(lock, [&] { return std::find(lines().begin(), lines().end(), line) != lines().end(); });
    }

private:
    static void Keep(const std::string& line) {
        std::lock_guard<std::mutex> lock(mutex());
        lines().push_back(line);
        cv().notify_all();
    }
    static std::mutex& mutex() {
        static std::mutex m;
        return m;
    }
    static std::condition_variable& cv() {
        static std::condition_variable c;
        return c;
    }
    static std::vector<std::string>& lines() {
        static std::vector<std::string> l;
        return l;
    }
    OgvLogFunction previous_ = ogvLogFunction;
};

}  // namespace videofixtures
