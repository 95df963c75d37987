#pragma once
// Millisecond time since process start on the steady clock, in place of
// GetTickCount, Sleep and the C runtime's clock() (which on Windows counts
// milliseconds of wall time; on Linux clock() is processor time).
#include <cstdint>

#include "platform/win32/Types.h"

// Milliseconds since process start; wraps after about 49.7 days.
DWORD GetTickCount();
// Blocks the calling thread for at least ms milliseconds; 0 gives up the
// rest of the time slice.
void Sleep(DWORD ms);

namespace platform {

// The game's clock, read where C code would call clock(): milliseconds since
// process start.
long ProcessClock();
// The same time as a 64-bit count that never wraps.
uint64_t MillisecondsSinceStart();

// Tests can stop time: while a fake clock is set, every reading above gives
// its value. The thread that set it drives the frames: its Sleep advances the
// clock by the requested time and only yields instead of blocking. Any other
// thread's Sleep leaves the clock alone and really waits, at most 5 ms.
// Thread-safe.
void SetFakeClock(uint64_t ms);
void AdvanceFakeClock(uint64_t ms);
void ClearFakeClock();
bool IsFakeClockSet();

// Sets a fake clock for its lifetime (starting at the given time).
class ScopedFakeClock {
public:
    explicit ScopedFakeClock(uint64_t startMs = 0) { SetFakeClock(startMs); }
    ~ScopedFakeClock() { ClearFakeClock(); }
    ScopedFakeClock(const ScopedFakeClock&) = delete;
    ScopedFakeClock& operator=(const ScopedFakeClock&) = delete;
    void Advance(uint64_t ms) { AdvanceFakeClock(ms); }
};

}  // namespace platform
