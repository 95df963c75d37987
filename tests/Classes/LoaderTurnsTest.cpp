// The main thread's half of the loading turns (what the loading window does each
// frame) against a loader of the test's own that takes its turns as the real one
// does: exactly one of the two threads runs at any time, a turn handed over before
// the other side waits is not lost, a loader that ends early leaves nothing waiting,
// and giving up on the loading stops the loader at its next turn.
//
// Both sides write one plain record without a lock: ThreadSanitizer reports it as
// soon as the two threads ever run at once.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "Classes/Loading/LoaderHandover.h"
#include "Classes/Loading/PreloadAssets.h"
#include "platform/win32/Interlocked.h"
#include "platform/win32/ThreadTurns.h"
#include "platform/win32/Time.h"

namespace {

struct FakeLoader {
    int steps = 0;
    bool endsEarly = false;  // ends after its preparation (a missing service)
    // Written by whichever thread has the turn: "L" a loading step, "M" a main frame.
    std::string order;
    int stepsDone = 0;
    std::atomic<int> resumesKept{0};  // the main thread had not waited yet
    std::atomic<int> running{0};
    std::atomic<int> overlaps{0};
};

FakeLoader* g_loader = nullptr;

// A stretch of work during which the other side must not run.
void Work(char who) {
    if (g_loader->running.fetch_add(1) != 0) g_loader->overlaps.fetch_add(1);
    g_loader->order += who;
    for (volatile int i = 0; i < 2000; i = i + 1) {
    }
    g_loader->running.fetch_sub(1);
}

// The loader's hand-over: the turn to the main thread, wait for it to come back.
bool HandBack() {
    if (ResumeThread(MainThreadHandle.load()) == 0) g_loader->resumesKept.fetch_add(1);
    SuspendThread(GetCurrentThread());
    return !LoaderStopRequested.load();
}

}  // namespace

// The loader thread's work in this program.
void PreloadAssets() {
    HANDLE own = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &own, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    LoaderThreadHandle = own;
    struct Exit {
        bool finished = false;
        ~Exit() {
            if (finished) InterlockedIncrement(&LoadingFinished);
            CloseHandle(LoaderThreadHandle.exchange(nullptr));
            ResumeThread(MainThreadHandle.load());
        }
    } exit;
    if (g_loader->endsEarly || !HandBack()) return;
    for (int step = 0; step < g_loader->steps; ++step) {
        Work('L');
        ++g_loader->stepsDone;
        InterlockedExchange(&LoadingProgress, (step + 1) * 100 / g_loader->steps);
        if (!HandBack()) return;
    }
    exit.finished = true;
}

namespace {

class LoaderTurnsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_loader = &loader_;
        LoadingProgress = 0;
        LoadingFinished = 0;
    }
    void TearDown() override { g_loader = nullptr; }

    // The main thread's frames until the loader has no more turns to take.
    int Frames(LoaderTurns& turns, int limit) {
        int frames = 0;
        while (frames < limit) {
            Work('M');
            const LoaderTurns::Result result = turns.Turn();
            if (result != LoaderTurns::kTurnTaken) {
                EXPECT_EQ(result, LoaderTurns::kLoaderEnded);
                break;
            }
            ++frames;
        }
        return frames;
    }

    // The main thread's sleeps take no time.
    platform::ScopedFakeClock clock_{1000};
    FakeLoader loader_;
};

TEST_F(LoaderTurnsTest, OneLoadingStepAgainstOneFrameStrictlyByTurns) {
    loader_.steps = 200;
    LoaderTurns turns;
    ASSERT_EQ(turns.Start(), LoaderTurns::kTurnTaken);
    const HANDLE main = MainThreadHandle.load();
    ASSERT_NE(main, nullptr);
    // The main thread sleeps 20 ms once the turn is back.
    const DWORD before = GetTickCount();
    Work('M');
    ASSERT_EQ(turns.Turn(), LoaderTurns::kTurnTaken);
    EXPECT_EQ(GetTickCount() - before, 20u);
    // The last turn lets the loader end, the next finds it gone.
    EXPECT_EQ(Frames(turns, 1000), 200);
    EXPECT_EQ(loader_.overlaps.load(), 0);
    std::string expected;
    for (int i = 0; i < 200; ++i) expected += "ML";
    EXPECT_EQ(loader_.order, expected + "MM");
    EXPECT_EQ(LoadingFinished.load(), 1);
    EXPECT_EQ(LoadingProgress.load(), 100);
    EXPECT_EQ(LoaderThreadHandle.load(), nullptr);
    // The loader hands its turns back at once, so some reach the main thread
    // before it waits: none of them may be lost (the frame count above).
    RecordProperty("resumes before the wait", loader_.resumesKept.load());

    // A second loading reuses the main thread's handle.
    turns.Stop();
    loader_.order.clear();
    loader_.steps = 3;
    LoadingFinished = 0;
    LoaderTurns again;
    ASSERT_EQ(again.Start(), LoaderTurns::kTurnTaken);
    EXPECT_EQ(MainThreadHandle.load(), main);
    EXPECT_EQ(Frames(again, 10), 4);
    EXPECT_EQ(LoadingFinished.load(), 1);
}

// Every frame of the main thread hands the turn over while the loader still runs:
// a loader that does nothing in between hands it straight back, and the resume often
// arrives before the main thread waits. Many loadings of a few turns each.
TEST_F(LoaderTurnsTest, ATurnHandedBackBeforeTheMainThreadWaitsIsKept) {
    loader_.steps = 2;
    for (int run = 0; run < 100; ++run) {
        loader_.order.clear();
        LoaderTurns turns;
        ASSERT_EQ(turns.Start(), LoaderTurns::kTurnTaken);
        ASSERT_EQ(Frames(turns, 10), 3) << "run " << run;
        ASSERT_EQ(loader_.order, "MLMLMM");
    }
    EXPECT_EQ(loader_.overlaps.load(), 0);
    RecordProperty("resumes before the wait", loader_.resumesKept.load());
}

TEST_F(LoaderTurnsTest, ALoaderThatEndsEarlyLeavesNothingWaiting) {
    loader_.endsEarly = true;
    LoaderTurns turns;
    // Its end hands the turn back as its first hand-over would have.
    ASSERT_EQ(turns.Start(), LoaderTurns::kTurnTaken);
    EXPECT_EQ(LoaderThreadHandle.load(), nullptr);
    // The frames go on without a turn: nothing waits for the ended loader.
    for (int frame = 0; frame < 3; ++frame) EXPECT_EQ(turns.Turn(), LoaderTurns::kLoaderEnded);
    EXPECT_EQ(LoadingFinished.load(), 0);
    EXPECT_EQ(loader_.stepsDone, 0);
}

TEST_F(LoaderTurnsTest, GivingUpStopsTheLoaderAtItsNextTurnAndJoinsIt) {
    loader_.steps = 1000;
    {
        LoaderTurns turns;
        ASSERT_EQ(turns.Start(), LoaderTurns::kTurnTaken);
        for (int frame = 0; frame < 3; ++frame) ASSERT_EQ(turns.Turn(), LoaderTurns::kTurnTaken);
        // The program ends: the loader is waiting for its turn.
    }
    EXPECT_EQ(loader_.stepsDone, 3);
    EXPECT_EQ(loader_.overlaps.load(), 0);
    EXPECT_EQ(LoadingFinished.load(), 0);
    EXPECT_EQ(LoaderThreadHandle.load(), nullptr);
    EXPECT_FALSE(LoaderStopRequested.load());

    // The stop's hand-back was taken: a later loading waits for its own loader.
    loader_.steps = 2;
    loader_.stepsDone = 0;
    loader_.order.clear();
    LoaderTurns next;
    ASSERT_EQ(next.Start(), LoaderTurns::kTurnTaken);
    EXPECT_EQ(Frames(next, 10), 3);
    EXPECT_EQ(loader_.order, "MLMLMM");
    EXPECT_EQ(LoadingFinished.load(), 1);
}

// A loader that cannot be given the turn would never hand it back: the main
// thread does not wait for it.
TEST_F(LoaderTurnsTest, ARefusedTurnIsNotWaitedFor) {
    LoaderTurns turns;
    LoaderThreadHandle = GetCurrentProcess();  // no thread
    EXPECT_EQ(turns.Turn(), LoaderTurns::kTurnFailed);
    LoaderThreadHandle = nullptr;
    EXPECT_EQ(turns.Turn(), LoaderTurns::kLoaderEnded);
}

// Stopping once the loader has ended only joins it.
TEST_F(LoaderTurnsTest, StoppingAFinishedLoaderJoinsIt) {
    loader_.steps = 1;
    LoaderTurns turns;
    ASSERT_EQ(turns.Start(), LoaderTurns::kTurnTaken);
    EXPECT_EQ(Frames(turns, 10), 2);
    turns.Stop();
    turns.Stop();
    EXPECT_EQ(LoadingFinished.load(), 1);
    EXPECT_EQ(loader_.stepsDone, 1);
}

}  // namespace
