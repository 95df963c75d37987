#pragma once
// The description of one sound file: the key of the sample handler cache.
#include <cstdint>
#include <string>

enum SampleSourceFormat : int32_t {
    SAMPLE_FORMAT_WAV = 0,  // every ending but the two below
    SAMPLE_FORMAT_OGG = 1,
    SAMPLE_FORMAT_MP3 = 2,  // recognised, but only the WAV handler takes it (and rejects it)
};

struct SampleSourceInfo {
    explicit SampleSourceInfo(const std::string& path);

    uint64_t checksum;  // of the path, terminating zero included
    std::string path;
    int32_t format;  // SampleSourceFormat
};

// The format a handler reports once it has parsed its file's header; all zero before.
struct SampleFormat {
    uint32_t channels;
    uint32_t rate;  // frames per second
    uint32_t bitsPerSample;
    uint32_t frameCount;
};

// False for a null or empty text or an empty suffix; otherwise the end of the text (all of it
// when shorter than the suffix) compared with the suffix without regard to case.
bool EndsWithNoCase(const char* text, const char* suffix);
