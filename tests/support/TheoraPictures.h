#pragma once
// The pictures of an Ogg file's Theora stream decoded with a plain libtheora loop, with
// none of the video library's code in the way: what the video tests compare the library
// against and what the decoding benchmark times it against. Header only: its users link
// libtheoradec and libogg themselves.
#include <ogg/ogg.h>
#include <theora/theoradec.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace testsupport {

// Decodes the Theora stream with that serial number (with serial < 0, the stream of the
// first page that begins one) from the file's bytes. Each decoded picture goes to
// onPicture(&picture, info), each frame the encoder dropped to onPicture(nullptr, info)
// (it repeats the picture before it); the decoding stops once onPicture returns false.
template <typename OnPicture>
void DecodeTheoraPictures(const uint8_t* data, size_t size, int serial, OnPicture&& onPicture) {
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char* buffer = ogg_sync_buffer(&sync, static_cast<long>(size));
    std::memcpy(buffer, data, size);
    ogg_sync_wrote(&sync, static_cast<long>(size));
    th_info info;
    th_info_init(&info);
    th_comment comment;
    th_comment_init(&comment);
    th_setup_info* setup = nullptr;
    th_dec_ctx* decoder = nullptr;
    ogg_stream_state stream;
    bool haveStream = false;
    if (serial >= 0) {
        ogg_stream_init(&stream, serial);
        haveStream = true;
    }
    int headers = 0;
    bool more = true;
    ogg_page page;
    ogg_packet packet;
    while (more && ogg_sync_pageout(&sync, &page) == 1) {
        if (!haveStream && ogg_page_bos(&page)) {
            ogg_stream_init(&stream, ogg_page_serialno(&page));
            haveStream = true;
        }
        if (!haveStream || ogg_stream_pagein(&stream, &page) != 0) continue;
        while (more && ogg_stream_packetout(&stream, &packet) == 1) {
            if (headers < 3) {
                if (th_decode_headerin(&info, &comment, &setup, &packet) > 0) ++headers;
                if (headers == 3) decoder = th_decode_alloc(&info, setup);
                continue;
            }
            ogg_int64_t granule;
            const int result = th_decode_packetin(decoder, &packet, &granule);
            if (result == TH_DUPFRAME) {
                more = onPicture(static_cast<th_ycbcr_buffer*>(nullptr), static_cast<const th_info&>(info));
                continue;
            }
            if (result != 0) continue;
            th_ycbcr_buffer picture;
            th_decode_ycbcr_out(decoder, picture);
            more = onPicture(&picture, static_cast<const th_info&>(info));
        }
    }
    if (decoder != nullptr) th_decode_free(decoder);
    th_setup_free(setup);
    th_comment_clear(&comment);
    th_info_clear(&info);
    if (haveStream) ogg_stream_clear(&stream);
    ogg_sync_clear(&sync);
}

}  // namespace testsupport
