#pragma once
// The frame clock: the duration of the last frame, ticked once per frame from
// the process clock (milliseconds since process start on the steady clock).
#include <cstdint>

struct FrameClock {
    long last = 0;    // process clock at the last reset or tick, ms
    float delta = 0;  // last frame, seconds
};

// The one frame clock of the process.
FrameClock& GetFrameClock();

// last = process clock. Called once before the game exists.
void ResetFrameClock();
// delta = (now - last) / 1000 s; last = now. Returns the difference in ms.
long TickFrameClock();
// The last frame's duration in seconds.
float GetFrameDelta();

// The process clock in milliseconds, as a float.
float GetClockMilliseconds();
// (end - start) cut to whole milliseconds, in seconds.
float ElapsedSeconds(float startMs, float endMs);
// The system tick count in milliseconds (wraps after about 49.7 days).
uint32_t GetTickCountMs();
