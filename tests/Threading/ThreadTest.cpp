#include "Threading/QThread.h"
#include "Threading/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Time.h"

namespace {

using namespace std::chrono_literals;

// Polls like the owners do; false when the flag did not drop within 10 s.
bool WaitUntilStopped(const Threading::Thread& thread) {
    auto until = std::chrono::steady_clock::now() + 10s;
    while (thread.IsRunning()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// A gate the test opens while a worker waits at it.
class Gate {
public:
    void Wait() {
        std::unique_lock<std::mutex> lock(m_);
        waiting_ = true;
        cv_.notify_all();
        cv_.wait(lock, [&] { return open_; });
    }
    void WaitForWaiter() {
        std::unique_lock<std::mutex> lock(m_);
        cv_.wait(lock, [&] { return waiting_; });
    }
    void Open() {
        std::lock_guard<std::mutex> lock(m_);
        open_ = true;
        cv_.notify_all();
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool waiting_ = false, open_ = false;
};

struct Work {
    std::atomic<int> runs{0};
    Gate* gate = nullptr;
    std::chrono::milliseconds pause{0};
    void Do() {
        if (gate != nullptr) gate->Wait();
        std::this_thread::sleep_for(pause);
        runs.fetch_add(1);
    }
    Delegate<> AsDelegate() { return Delegate<>::FromMethod<&Work::Do>(this); }
};

}  // namespace

TEST(ThreadTest, WorkThatReturnsAtOnceIsNeverSeenRunningAfterwards) {
    for (int i = 0; i < 200; ++i) {
        Work work;
        auto thread = Threading::QThread::Create(work.AsDelegate(), true, true);
        ASSERT_TRUE(WaitUntilStopped(*thread)) << "iteration " << i;
        EXPECT_EQ(1, work.runs.load());
        EXPECT_FALSE(thread->IsRunning());
    }
}

TEST(ThreadTest, SecondStartWhileRunningOnlyWritesALine) {
    Gate gate;
    Work work;
    work.gate = &gate;
    auto thread = Threading::QThread::Create(work.AsDelegate(), true, true);
    gate.WaitForWaiter();
    testing::internal::CaptureStdout();
    thread->Start();
    EXPECT_EQ("(TThread) create : thread is already running\n", testing::internal::GetCapturedStdout());
    EXPECT_TRUE(thread->IsRunning());
    gate.Open();
    thread->Join();
    EXPECT_FALSE(thread->IsRunning());
    EXPECT_EQ(1, work.runs.load());

    // Once finished it may run again.
    thread->Start();
    thread->Join();
    EXPECT_EQ(2, work.runs.load());
}

TEST(ThreadTest, JoinOnDestroyWaitsForTheWork) {
    Work work;
    work.pause = 50ms;
    { auto thread = Threading::QThread::Create(work.AsDelegate(), true, true); }
    EXPECT_EQ(1, work.runs.load());
}

TEST(ThreadTest, ReleasedRightAfterStartStillRunsItsWork) {
    // Without join-on-destroy the owner's release returns at once; each
    // thread keeps its object until its work is done (the sanitizers watch).
    static Work work;  // outlives every thread
    const int rounds = 200;
    for (int i = 0; i < rounds; ++i) Threading::QThread::Create(work.AsDelegate(), true, false);
    auto until = std::chrono::steady_clock::now() + 10s;
    while (work.runs.load() < rounds && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(rounds, work.runs.load());
}

namespace {
// What the test sees of a thread object, kept apart from it.
struct Probe {
    std::atomic<bool> started{false}, released{false}, destroyed{false};
    std::atomic<bool> sawRelease{false}, destroyedAfterRun{false};
    std::atomic<int> finishedRuns{0};
};

// A plainly written subclass: Run writes its members all along, the
// destructor checks them, and nothing in it knows about releases.
class Recorder : public Threading::Thread {
public:
    explicit Recorder(std::shared_ptr<Probe> probe) : probe_(std::move(probe)) {}
    ~Recorder() override {
        probe_->destroyedAfterRun = probe_->finishedRuns.load() == 1 && samples_.size() == kSamples && text_ == "done";
        probe_->destroyed = true;
    }
    void Run() override {
        probe_->started = true;
        // Long enough to be released while running; a release that waited
        // for the run would keep it here for 10 s.
        auto until = std::chrono::steady_clock::now() + 10s;
        while (!probe_->released && std::chrono::steady_clock::now() < until) {
            samples_.push_back(0);
            std::this_thread::sleep_for(1ms);
        }
        probe_->sawRelease = probe_->released.load();
        samples_.assign(kSamples, 7);  // written after the owner let go
        text_ = "done";
        probe_->finishedRuns.fetch_add(1);
    }

private:
    static constexpr size_t kSamples = 4096;
    std::shared_ptr<Probe> probe_;
    std::vector<int> samples_;
    std::string text_;
};
}  // namespace

TEST(ThreadTest, ReleasedWhileRunningNeitherBlocksNorFreesWhatTheRunUses) {
    for (bool detached : {false, true}) {
        auto probe = std::make_shared<Probe>();
        auto thread = std::make_shared<Recorder>(probe);
        thread->Start(detached);
        auto until = std::chrono::steady_clock::now() + 10s;
        while (!probe->started && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(1ms);
        ASSERT_TRUE(probe->started);

        auto before = std::chrono::steady_clock::now();
        thread.reset();  // the owner lets go while the run goes on
        EXPECT_LT(std::chrono::steady_clock::now() - before, 2s) << "detached " << detached;
        EXPECT_FALSE(probe->destroyed) << "the running thread still holds it";
        probe->released = true;

        until = std::chrono::steady_clock::now() + 10s;
        while (!probe->destroyed && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(1ms);
        ASSERT_TRUE(probe->destroyed) << "detached " << detached;
        EXPECT_TRUE(probe->sawRelease) << "detached " << detached;
        EXPECT_TRUE(probe->destroyedAfterRun) << "detached " << detached;
    }
}

namespace {
struct Counter : Threading::Thread {
    std::atomic<int> runs{0};
    void Run() override { runs.fetch_add(1); }
};
}  // namespace

TEST(ThreadTest, AnObjectNotHeldByASharedPointerIsNeverStarted) {
    Counter counter;
    testing::internal::CaptureStderr();
    counter.Start();
    EXPECT_NE(std::string::npos, testing::internal::GetCapturedStderr().find("(TThread) create : "));
    EXPECT_FALSE(counter.IsRunning());
    EXPECT_EQ(0, counter.runs.load());
}

namespace {
struct Exiter : Threading::Thread {
    std::atomic<bool> afterExit{false};
    void Run() override {
        Exit();
        afterExit = true;
    }
};
struct Looper : Threading::Thread {
    std::atomic<bool> started{false};
    void Run() override {
        started = true;
        for (;;) std::this_thread::sleep_for(1ms);  // sleeping is a cancellation point
    }
};
}  // namespace

TEST(ThreadTest, ExitLowersTheFlag) {
    auto exiter = std::make_shared<Exiter>();
    exiter->Start();
    exiter->Join();
    EXPECT_FALSE(exiter->IsRunning());
    EXPECT_FALSE(exiter->afterExit.load());
    exiter->Exit();  // not its thread: nothing
}

TEST(ThreadTest, CancelStopsJoinableAndDetachedThreads) {
#ifdef __SANITIZE_ADDRESS__
    // AddressSanitizer misreads the stack of a cancelled thread as it
    // unwinds; the ThreadSanitizer build runs this.
    GTEST_SKIP();
#endif
    for (bool detached : {false, true}) {
        auto looper = std::make_shared<Looper>();
        looper->Start(detached);
        while (!looper->started.load()) std::this_thread::sleep_for(1ms);
        looper->Cancel();
        EXPECT_TRUE(WaitUntilStopped(*looper)) << "detached " << detached;
        looper->Join();
        EXPECT_FALSE(looper->IsRunning());
        looper->Cancel();  // finished: nothing is sent
    }
}

TEST(ThreadTest, SleepTimes) {
    platform::ScopedFakeClock clock(0);
    struct Case {
        float seconds;
        uint64_t ms;
    } cases[] = {{0.0f, 0}, {-1.0f, 0}, {0.001f, 1}, {0.005f, 5}, {1.25f, 1250}};
    for (const Case& c : cases) {
        uint64_t before = platform::MillisecondsSinceStart();
        SleepSeconds(c.seconds);
        EXPECT_EQ(c.ms, platform::MillisecondsSinceStart() - before) << c.seconds;
    }
    uint64_t before = platform::MillisecondsSinceStart();
    SleepTimespec({1, 500000});
    EXPECT_EQ(1500u, platform::MillisecondsSinceStart() - before);

    // Thread::Sleep sleeps only while its thread runs.
    Work work;
    auto idle = Threading::QThread::Create(work.AsDelegate(), false, true);
    before = platform::MillisecondsSinceStart();
    idle->Sleep(2.0f);
    EXPECT_EQ(0u, platform::MillisecondsSinceStart() - before);
}
