#include "Audio/SampleSourceInfo.h"

#include "IO/ContentChecksums.h"

#include <cctype>
#include <cstring>

bool EndsWithNoCase(const char* text, const char* suffix) {
    if (!text || !*text || !suffix || !*suffix) return false;
    const size_t textLength = std::strlen(text);
    const size_t suffixLength = std::strlen(suffix);
    const size_t compared = textLength < suffixLength ? textLength : suffixLength;
    const char* a = text + (textLength - compared);
    for (size_t i = 0; i < suffixLength; ++i) {
        // a shorter text ends before the suffix does: its terminator never matches
        const unsigned char x = i < compared ? static_cast<unsigned char>(a[i]) : 0;
        const unsigned char y = static_cast<unsigned char>(suffix[i]);
        if (std::tolower(x) != std::tolower(y)) return false;
    }
    return true;
}

SampleSourceInfo::SampleSourceInfo(const std::string& p)
    : checksum(ComputeChecksum64(p.c_str(), -1)), path(p), format(SAMPLE_FORMAT_WAV) {
    if (EndsWithNoCase(p.c_str(), ".ogg")) format = SAMPLE_FORMAT_OGG;
    else if (EndsWithNoCase(p.c_str(), ".mp3")) format = SAMPLE_FORMAT_MP3;
}
