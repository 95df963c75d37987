#include "Core/FrameClock.h"

#include "platform/win32/Time.h"

FrameClock& GetFrameClock() {
    static FrameClock clock;
    return clock;
}

void ResetFrameClock() { GetFrameClock().last = platform::ProcessClock(); }

long TickFrameClock() {
    FrameClock& clock = GetFrameClock();
    long now = platform::ProcessClock();
    long difference = now - clock.last;
    clock.delta = static_cast<float>(difference) / 1000.0f;
    clock.last = now;
    return difference;
}

float GetFrameDelta() { return GetFrameClock().delta; }

float GetClockMilliseconds() { return static_cast<float>(platform::ProcessClock()); }

float ElapsedSeconds(float startMs, float endMs) {
    return static_cast<float>(static_cast<long>(endMs - startMs)) / 1000.0f;
}

uint32_t GetTickCountMs() { return GetTickCount(); }
