#pragma once
// The codec state of one clip, all of it the codec libraries' own types. Every field is
// zero while not in use, which the libraries' clear functions accept.
#include <ogg/ogg.h>
#include <theora/theoradec.h>
#include <vorbis/codec.h>

struct OgvStreams {
    ogg_sync_state sync;
    ogg_page page;
    ogg_stream_state vorbisStream;
    ogg_stream_state theoraStream;
    th_info theoraInfo;
    th_comment theoraComment;
    th_setup_info* theoraSetup;
    th_dec_ctx* theoraDecoder;
    vorbis_info vorbisInfo;
    vorbis_dsp_state vorbisDsp;
    vorbis_block vorbisBlock;
    vorbis_comment vorbisComment;
};
