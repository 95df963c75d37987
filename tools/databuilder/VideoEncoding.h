#pragma once
// Writing Ogg files with a Theora video stream and an optional Vorbis sound stream
// (libtheoraenc, libvorbisenc). Used by the intro writer of the data builder and by the
// video tests to make their fixtures. Pages are interleaved by time; the last video frame
// has a page of its own at the very end, so the stream's length can be read from the last
// few kilobytes. Serial numbers are fixed: the bytes are the same for the same input.
#include <theora/theoraenc.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/databuilder/SoundEncoding.h"

namespace videoenc {

inline constexpr int kVideoSerial = 0x566964;  // "Vid"
inline constexpr int kSoundSerial = 0x536e64;  // "Snd"

struct VideoFormat {
    int width = 64;   // frame and picture, a multiple of 16
    int height = 48;  // a multiple of 16
    int fps = 25;
    int frames = 8;
    th_pixel_fmt pixelFormat = TH_PF_420;
    int keyframeInterval = 64;  // at most 64
    int quality = 40;           // 0 ... 63
};

struct SoundTrack {
    int channels = 0;  // 0: no sound stream
    long rate = 44100;
    float quality = 0.2f;
    std::vector<float> interleaved;  // -1 ... 1
};

// Fills the planes of frame i (their sizes follow the pixel format).
using FramePainter = std::function<void(int frame, th_ycbcr_buffer planes)>;

// A plane's bytes and its description for libtheora.
struct Planes {
    std::vector<uint8_t> data[3];
    th_ycbcr_buffer buffer;

    Planes(int width, int height, th_pixel_fmt format) {
        const int cw = format == TH_PF_444 ? width : width / 2;
        const int ch = format == TH_PF_420 ? height / 2 : height;
        const int sizes[3][2] = {{width, height}, {cw, ch}, {cw, ch}};
        for (int p = 0; p < 3; ++p) {
            data[p].assign(static_cast<size_t>(sizes[p][0]) * sizes[p][1], p == 0 ? 16 : 128);
            buffer[p].width = sizes[p][0];
            buffer[p].height = sizes[p][1];
            buffer[p].stride = sizes[p][0];
            buffer[p].data = data[p].data();
        }
    }
    Planes(const Planes&) = delete;
    Planes& operator=(const Planes&) = delete;
};

// Studio-range BT.601 of one RGB colour, in 16.16 fixed point (integer, so every build
// gives the same bytes).
inline uint8_t LumaOf(int r, int g, int b) {
    return static_cast<uint8_t>(((16 << 16) + 16829 * r + 33039 * g + 6416 * b + 32768) >> 16);
}
inline uint8_t CbOf(int r, int g, int b) {
    return static_cast<uint8_t>(((128 << 16) - 9714 * r - 19070 * g + 28784 * b + 32768) >> 16);
}
inline uint8_t CrOf(int r, int g, int b) {
    return static_cast<uint8_t>(((128 << 16) + 28784 * r - 24103 * g - 4681 * b + 32768) >> 16);
}

// An RGB picture (3 bytes a pixel, rows of width pixels) into 4:2:0 planes; each chroma
// sample is that of the 2 x 2 block's mean colour.
inline void RgbTo420(const uint8_t* rgb, th_ycbcr_buffer planes) {
    const int width = planes[0].width, height = planes[0].height;
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = rgb + static_cast<size_t>(y) * width * 3;
        uint8_t* out = planes[0].data + y * planes[0].stride;
        for (int x = 0; x < width; ++x, in += 3) out[x] = LumaOf(in[0], in[1], in[2]);
    }
    for (int y = 0; y < height / 2; ++y) {
        const uint8_t* top = rgb + static_cast<size_t>(2 * y) * width * 3;
        const uint8_t* bottom = top + static_cast<size_t>(width) * 3;
        uint8_t* cb = planes[1].data + y * planes[1].stride;
        uint8_t* cr = planes[2].data + y * planes[2].stride;
        for (int x = 0; x < width / 2; ++x) {
            int sum[3];
            for (int c = 0; c < 3; ++c)
                sum[c] = top[6 * x + c] + top[6 * x + 3 + c] + bottom[6 * x + c] + bottom[6 * x + 3 + c];
            cb[x] = CbOf((sum[0] + 2) / 4, (sum[1] + 2) / 4, (sum[2] + 2) / 4);
            cr[x] = CrOf((sum[0] + 2) / 4, (sum[1] + 2) / 4, (sum[2] + 2) / 4);
        }
    }
}

namespace detail {

struct TimedPage {
    double time;  // end time of the last packet finished on the page
    std::vector<uint8_t> bytes;
};

// Takes the stream's pages (all of them when flushing), timing each by its granule
// position; a page on which no packet ends keeps the time before it.
template <typename TimeOf>
void TakePages(ogg_stream_state& stream, bool flush, double& lastTime, TimeOf timeOf, std::vector<TimedPage>& into) {
    ogg_page page;
    while ((flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) != 0) {
        const ogg_int64_t granule = ogg_page_granulepos(&page);
        if (granule >= 0) lastTime = timeOf(granule);
        TimedPage timed{lastTime, {}};
        soundenc::AppendPage(timed.bytes, page);
        into.push_back(std::move(timed));
    }
}

}  // namespace detail

// The whole Ogg file; empty when an encoder refuses the settings.
inline std::vector<uint8_t> EncodeOgv(const VideoFormat& format, const FramePainter& paint,
                                      const SoundTrack& sound = SoundTrack(),
                                      const std::vector<std::string>& comments = {}) {
    using detail::TimedPage;
    std::vector<uint8_t> out;

    th_info info;
    th_info_init(&info);
    info.frame_width = info.pic_width = static_cast<ogg_uint32_t>(format.width);
    info.frame_height = info.pic_height = static_cast<ogg_uint32_t>(format.height);
    info.pic_x = info.pic_y = 0;
    info.colorspace = TH_CS_ITU_REC_470BG;
    info.pixel_fmt = format.pixelFormat;
    info.target_bitrate = 0;
    info.quality = format.quality;
    info.fps_numerator = static_cast<ogg_uint32_t>(format.fps);
    info.fps_denominator = 1;
    info.aspect_numerator = info.aspect_denominator = 1;
    info.keyframe_granule_shift = 6;
    th_enc_ctx* encoder = th_encode_alloc(&info);
    th_info_clear(&info);
    if (encoder == nullptr) return out;
    ogg_uint32_t keyframes = static_cast<ogg_uint32_t>(format.keyframeInterval);
    th_encode_ctl(encoder, TH_ENCCTL_SET_KEYFRAME_FREQUENCY_FORCE, &keyframes, sizeof(keyframes));
    int speed = 0;
    if (th_encode_ctl(encoder, TH_ENCCTL_GET_SPLEVEL_MAX, &speed, sizeof(speed)) == 0)
        th_encode_ctl(encoder, TH_ENCCTL_SET_SPLEVEL, &speed, sizeof(speed));

    // Header pages: each stream's first header alone on its start page, both start pages
    // ahead of the other headers.
    ogg_stream_state video, audio;
    ogg_stream_init(&video, kVideoSerial);
    ogg_stream_init(&audio, kSoundSerial);
    std::vector<uint8_t> videoHeaders, audioHeaders;
    ogg_page page;
    th_comment comment;
    th_comment_init(&comment);
    for (const std::string& c : comments) th_comment_add(&comment, const_cast<char*>(c.c_str()));
    ogg_packet packet;
    for (int n = 0; th_encode_flushheader(encoder, &comment, &packet) > 0; ++n) {
        ogg_stream_packetin(&video, &packet);
        while (ogg_stream_flush(&video, &page) != 0) soundenc::AppendPage(n == 0 ? out : videoHeaders, page);
    }
    th_comment_clear(&comment);

    std::vector<TimedPage> videoPages, audioPages;
    double videoTime = 0.0, audioTime = 0.0;
    if (sound.channels > 0) {
        int n = 0;
        bool encoded = soundenc::EncodeVorbisPackets(
            sound.interleaved, sound.channels, sound.rate, sound.quality, {}, [&](ogg_packet& p) {
                ogg_stream_packetin(&audio, &p);
                if (n++ < 3) {
                    while (ogg_stream_flush(&audio, &page) != 0)
                        soundenc::AppendPage(n == 1 ? out : audioHeaders, page);
                } else {
                    detail::TakePages(
                        audio, false, audioTime, [&](ogg_int64_t g) { return double(g) / sound.rate; }, audioPages);
                }
            });
        if (!encoded) {
            th_encode_free(encoder);
            ogg_stream_clear(&video);
            ogg_stream_clear(&audio);
            return {};
        }
        detail::TakePages(
            audio, true, audioTime, [&](ogg_int64_t g) { return double(g) / sound.rate; }, audioPages);
    }
    out.insert(out.end(), videoHeaders.begin(), videoHeaders.end());
    out.insert(out.end(), audioHeaders.begin(), audioHeaders.end());

    auto videoTimeOf = [&](ogg_int64_t g) { return th_granule_time(encoder, g); };
    Planes planes(format.width, format.height, format.pixelFormat);
    for (int i = 0; i < format.frames; ++i) {
        paint(i, planes.buffer);
        th_encode_ycbcr_in(encoder, planes.buffer);
        const bool last = i == format.frames - 1;
        // The last frame's packet on a page of its own.
        if (last) detail::TakePages(video, true, videoTime, videoTimeOf, videoPages);
        while (th_encode_packetout(encoder, last ? 1 : 0, &packet) > 0) ogg_stream_packetin(&video, &packet);
        detail::TakePages(video, last, videoTime, videoTimeOf, videoPages);
    }

    // Data pages by time, sound first at equal times; the last video page at the end.
    const size_t lastVideo = videoPages.empty() ? 0 : videoPages.size() - 1;
    size_t v = 0, a = 0;
    while (v < lastVideo || a < audioPages.size()) {
        const bool takeAudio = a < audioPages.size() && (v >= lastVideo || audioPages[a].time <= videoPages[v].time);
        const TimedPage& next = takeAudio ? audioPages[a++] : videoPages[v++];
        out.insert(out.end(), next.bytes.begin(), next.bytes.end());
    }
    if (!videoPages.empty()) out.insert(out.end(), videoPages.back().bytes.begin(), videoPages.back().bytes.end());

    th_encode_free(encoder);
    ogg_stream_clear(&video);
    ogg_stream_clear(&audio);
    return out;
}

}  // namespace videoenc
