#include "platform/win32/Time.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point ProcessStart() {
    static const Clock::time_point start = Clock::now();
    return start;
}
// Pin the start while static objects are built, before main.
const Clock::time_point g_pinStart = ProcessStart();

std::atomic<bool> g_fake{false};
std::atomic<uint64_t> g_fakeMs{0};
// The thread that set the fake clock drives the frames: only its Sleep moves it.
std::atomic<std::thread::id> g_fakeDriver{};

// What a thread other than the driver really waits under the fake clock.
constexpr DWORD kOtherThreadsWaitMs = 5;

}  // namespace

uint64_t MillisecondsSinceStart() {
    if (g_fake.load()) return g_fakeMs.load();
    auto elapsed = Clock::now() - ProcessStart();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

long ProcessClock() { return static_cast<long>(MillisecondsSinceStart()); }

void SetFakeClock(uint64_t ms) {
    g_fakeMs.store(ms);
    g_fakeDriver.store(std::this_thread::get_id());
    g_fake.store(true);
}

void AdvanceFakeClock(uint64_t ms) { g_fakeMs.fetch_add(ms); }

void ClearFakeClock() { g_fake.store(false); }

bool IsFakeClockSet() { return g_fake.load(); }

}  // namespace platform

DWORD GetTickCount() { return static_cast<DWORD>(platform::MillisecondsSinceStart()); }

void Sleep(DWORD ms) {
    if (platform::IsFakeClockSet()) {
        if (std::this_thread::get_id() == platform::g_fakeDriver.load()) {
            platform::AdvanceFakeClock(ms);
            std::this_thread::yield();
            return;
        }
        // A worker's poll: a real wait, kept short so that tests stay quick.
        ms = std::min(ms, platform::kOtherThreadsWaitMs);
    }
    if (ms == 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
