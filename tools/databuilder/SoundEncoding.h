#pragma once
// Writing sound files from PCM: RIFF/WAVE and Ogg Vorbis (libvorbisenc). Used by the sound
// writer of the data builder, and by the audio tests and benchmark to make their fixtures.
// The Ogg stream starts its audio on a fresh page and carries the given comments; the bytes
// are the same for the same input and settings.
#include <ogg/ogg.h>
#include <vorbis/codec.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace soundenc {

inline void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

inline void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

// Samples in -1 ... 1, interleaved, quantised to 8-bit unsigned or 16-bit signed PCM.
inline std::vector<uint8_t> QuantisePcm(const std::vector<float>& samples, int bits) {
    std::vector<uint8_t> data;
    data.reserve(samples.size() * (bits / 8));
    for (float s : samples) {
        const float c = std::max(-1.0f, std::min(1.0f, s));
        if (bits == 8) {
            data.push_back(static_cast<uint8_t>(std::lround(c * 127.0f) + 128));
        } else {
            PutU16(data, static_cast<uint16_t>(static_cast<int16_t>(std::lround(c * 32767.0f))));
        }
    }
    return data;
}

// A canonical WAVE file: 16-byte "fmt " chunk (PCM) and one "data" chunk.
inline std::vector<uint8_t> MakeWav(const std::vector<uint8_t>& pcm, int channels, uint32_t rate, int bits) {
    std::vector<uint8_t> out;
    const uint32_t blockAlign = static_cast<uint32_t>(channels * bits / 8);
    PutTag(out, "RIFF");
    PutU32(out, static_cast<uint32_t>(36 + pcm.size()));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, 16);
    PutU16(out, 1);
    PutU16(out, static_cast<uint32_t>(channels));
    PutU32(out, rate);
    PutU32(out, rate * blockAlign);
    PutU16(out, blockAlign);
    PutU16(out, static_cast<uint32_t>(bits));
    PutTag(out, "data");
    PutU32(out, static_cast<uint32_t>(pcm.size()));
    out.insert(out.end(), pcm.begin(), pcm.end());
    return out;
}

// Encodes interleaved samples in -1 ... 1 as Vorbis packets (variable bit rate at the
// quality), handed in order to onPacket: the three header packets first. False when the
// encoder refuses the settings.
template <typename OnPacket>
bool EncodeVorbisPackets(const std::vector<float>& interleaved, int channels, long rate, float quality,
                         const std::vector<std::string>& comments, OnPacket onPacket) {
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) {
        vorbis_info_clear(&info);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    for (const std::string& c : comments) vorbis_comment_add(&comment, c.c_str());

    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);

    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    onPacket(header);
    onPacket(headerComment);
    onPacket(headerCode);

    const size_t frames = interleaved.size() / static_cast<size_t>(channels);
    constexpr size_t kChunk = 1024;
    ogg_packet packet;
    for (size_t start = 0;; start += kChunk) {
        const size_t n = start < frames ? std::min(kChunk, frames - start) : 0;
        if (n == 0) {
            vorbis_analysis_wrote(&dsp, 0);  // the end of the stream
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
            for (size_t i = 0; i < n; ++i) {
                for (int c = 0; c < channels; ++c) buffer[c][i] = interleaved[(start + i) * channels + c];
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(n));
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) onPacket(packet);
        }
        if (n == 0) break;
    }

    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return true;
}

// Appends an Ogg page's bytes.
inline void AppendPage(std::vector<uint8_t>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

// Encodes interleaved samples in -1 ... 1 as Ogg Vorbis (variable bit rate at the quality).
inline std::vector<uint8_t> EncodeOggVorbis(const std::vector<float>& interleaved, int channels, long rate,
                                            float quality, const std::vector<std::string>& comments,
                                            int serial = 0x44756e6d) {
    std::vector<uint8_t> out;
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);
    ogg_page page;
    int headers = 0;
    EncodeVorbisPackets(interleaved, channels, rate, quality, comments, [&](ogg_packet& packet) {
        ogg_stream_packetin(&stream, &packet);
        if (++headers == 3) {
            while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);
        } else if (headers > 3) {
            while (ogg_stream_pageout(&stream, &page) != 0) AppendPage(out, page);
        }
    });
    while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);
    ogg_stream_clear(&stream);
    return out;
}

// The comment that tells the game the length of a sound in milliseconds.
inline std::string SizeComment(size_t frames, long rate) {
    return "size=" + std::to_string(static_cast<long long>(frames) * 1000 / rate);
}

}  // namespace soundenc
