#include "platform/win32/ThreadTurns.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/win32/Time.h"

namespace {

const DWORD kFailed = static_cast<DWORD>(-1);

HANDLE OwnHandle() {
    HANDLE handle = nullptr;
    EXPECT_TRUE(DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &handle, 0, TRUE,
                                DUPLICATE_SAME_ACCESS));
    return handle;
}

// Counts the threads inside their turn; more than one at a time is the fault.
struct TurnWatch {
    std::atomic<int> inside{0};
    std::atomic<int> overlaps{0};
    void Enter() {
        if (inside.fetch_add(1) != 0) overlaps.fetch_add(1);
    }
    void Leave() { inside.fetch_sub(1); }
};

}  // namespace

// Two threads hand the turn to each other many times: exactly one runs at a time and
// the log they share without a lock (ThreadSanitizer watches it) strictly alternates.
TEST(ThreadTurnsTest, TwoThreadsStrictlyAlternate) {
    const int kRounds = 200;
    HANDLE main = OwnHandle();
    std::string log;  // written by both, ordered only by the turns
    TurnWatch watch;
    std::atomic<HANDLE> partner{nullptr};
    std::thread other([&] {
        partner = OwnHandle();
        for (int i = 0; i < kRounds; ++i) {
            watch.Enter();
            log += 'L';
            watch.Leave();
            ResumeThread(main);
            EXPECT_EQ(0u, SuspendThread(GetCurrentThread()));
        }
        ResumeThread(main);  // the last turn goes back as the thread ends
    });
    EXPECT_EQ(0u, SuspendThread(main));
    for (int i = 0; i < kRounds; ++i) {
        watch.Enter();
        log += 'M';
        watch.Leave();
        ResumeThread(partner);
        EXPECT_EQ(0u, SuspendThread(main));
    }
    other.join();
    EXPECT_EQ(0, watch.overlaps.load());
    std::string expected;
    for (int i = 0; i < kRounds; ++i) expected += "LM";
    EXPECT_EQ(expected, log);
    EXPECT_TRUE(CloseHandle(partner));
    EXPECT_TRUE(CloseHandle(main));
}

// A resume sent before the thread parks is kept, also from a thread that has ended;
// resumes do not add up: a second suspension waits for a new one.
TEST(ThreadTurnsTest, ResumeBeforeTheWaitIsKeptButNotCounted) {
    HANDLE main = OwnHandle();
    DWORD early = kFailed;
    std::thread([&] {
        early = ResumeThread(main);
        ResumeThread(main);
    }).join();
    EXPECT_EQ(0u, early);  // not parked: kept
    EXPECT_EQ(0u, SuspendThread(main));

    std::atomic<bool> resumed{false};
    std::thread late([&] {
        Sleep(50);
        resumed = true;
        ResumeThread(main);
    });
    EXPECT_EQ(0u, SuspendThread(GetCurrentThread()));
    EXPECT_TRUE(resumed.load());
    late.join();
    EXPECT_TRUE(CloseHandle(main));
}

// A handle outlives its thread; bad handles fail with Win32's answers and crash nothing.
TEST(ThreadTurnsTest, HandlesAndTheirErrors) {
    HANDLE ended = nullptr;
    std::thread([&] { ended = OwnHandle(); }).join();
    ASSERT_NE(nullptr, ended);
    EXPECT_EQ(0u, ResumeThread(ended));
    EXPECT_EQ(kFailed, SuspendThread(ended));  // never another thread's
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());

    HANDLE copy = nullptr;
    EXPECT_TRUE(DuplicateHandle(GetCurrentProcess(), ended, GetCurrentProcess(), &copy, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    EXPECT_TRUE(CloseHandle(ended));
    EXPECT_EQ(0u, ResumeThread(copy));  // the copy still names the thread
    EXPECT_TRUE(CloseHandle(copy));

    for (HANDLE bad : {static_cast<HANDLE>(nullptr), GetCurrentProcess()}) {
        EXPECT_EQ(kFailed, ResumeThread(bad));
        EXPECT_EQ(kFailed, SuspendThread(bad));
        EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
    }
    EXPECT_FALSE(CloseHandle(GetCurrentThread()));  // a pseudo handle is not closed
    HANDLE target = nullptr;
    EXPECT_FALSE(DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), nullptr, 0, FALSE,
                                 DUPLICATE_SAME_ACCESS));
    EXPECT_FALSE(
        DuplicateHandle(GetCurrentProcess(), nullptr, GetCurrentProcess(), &target, 0, FALSE, DUPLICATE_SAME_ACCESS));
    EXPECT_EQ(nullptr, target);
}
