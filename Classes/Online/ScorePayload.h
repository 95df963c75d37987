#pragma once
// The record a score submission sends: written in this field order, then
// scrambled with a key made from its own length and sent as Base64 text.
#include <cstdint>
#include <string>

class MemoryStream;

struct ScorePayload {
    static constexpr int32_t kTag = 0x53435200;  // the bytes 00 'R' 'C' 'S'
    static constexpr int32_t kVersion = 1001;
    static constexpr int32_t kConstant = 972;

    std::string email;
    std::string playerName;
    std::string mapName;
    int32_t score = 0;
    int32_t wave = 0;
    uint64_t deviceChecksum = 0;
    int32_t time = 0;  // low 32 bits of the calendar time in seconds
    int32_t language = 0;
    int32_t loadCount = 0;
    std::string demo;  // the recording as CInputMonitor::Write makes it

    // The 13 fields in order; -1 once the stream has failed.
    int Write(MemoryStream& out) const;
};

// The request body of a payload: its bytes scrambled with the decimal text of
// their count ("%d", without terminator) and encoded as Base64.
std::string EncodeScorePayload(const ScorePayload& payload);

// The calendar time in seconds since 1970 (UTC), -1 when the clock fails. The
// submission reads it through this hook, which a test may replace; null puts
// the system clock back.
typedef int64_t (*CalendarClock)();
void SetCalendarClock(CalendarClock clock);
int64_t ReadCalendarClock();
