#include "Classes/Online/ScorePayload.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "IO/MemoryStream.h"
#include "Net/Base64.h"

namespace {

int64_t SystemCalendarClock() { return static_cast<int64_t>(std::time(nullptr)); }

CalendarClock g_clock = &SystemCalendarClock;

}  // namespace

int ScorePayload::Write(MemoryStream& out) const {
    out.WriteInt32(kTag);
    out.WriteInt32(kVersion);
    out.WriteString(email);
    out.WriteString(playerName);
    out.WriteString(mapName);
    out.WriteInt32(score);
    out.WriteInt32(wave);
    out.WriteInt32(kConstant);
    out.WriteUInt64(deviceChecksum);
    out.WriteInt32(time);
    out.WriteInt32(language);
    out.WriteInt32(loadCount);
    return out.WriteString(demo);
}

std::string EncodeScorePayload(const ScorePayload& payload) {
    MemoryStream stream;
    if (payload.Write(stream) < 0) return std::string();
    char key[32] = {};
    std::snprintf(key, sizeof(key), "%d", stream.GetSize());
    stream.Scramble(key, static_cast<int>(std::strlen(key)));
    int length = 0;
    const char* bytes = stream.GetBuffer(length);
    std::string body;
    Net::Base64 codec;
    codec.Encode(body, reinterpret_cast<const unsigned char*>(bytes), length);
    return body;
}

void SetCalendarClock(CalendarClock clock) { g_clock = clock != nullptr ? clock : &SystemCalendarClock; }

int64_t ReadCalendarClock() { return g_clock(); }
