// The manager with its decoding threads: start-up and shutdown, the pick by urgency, and
// destroying a clip while a worker holds it. With 0 workers the test takes the worker's
// turns itself; with workers, a data source that holds the worker's read shows where it is.
// These tests also run under ThreadSanitizer.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "Video/ogv/DecodedVideoFrame.h"
#include "Video/ogv/OgvColourConversion.h"
#include "Video/ogv/OgvFrameQueue.h"
#include "Video/ogv/OgvVideoClip.h"
#include "Video/ogv/OgvWorkerThread.h"
#include "Video/ogv/VideoFixtures.h"
#include "platform/win32/Time.h"

namespace {

using namespace videofixtures;

// Makes n frames of the clip ready.
void MakeReady(OgvVideoClip* clip, int n) {
    videoenc::Planes picture(clip->GetWidth(), clip->GetHeight(), TH_PF_420);
    for (int i = 0; i < n; ++i) clip->GetFrameQueue()->RequestEmptyFrame()->Decode(picture.buffer);
}

TEST(OgvVideoManagerTest, StartUpAndShutdown) {
    LogCapture log;
    OgvVideoManager* manager = new OgvVideoManager(0);
    EXPECT_EQ(manager, OgvVideoManager::Instance());
    EXPECT_EQ(std::vector<std::string>{"Initializing Ogv Video Library (1.0 RC2)"}, log.Lines());
    int major = 0, minor = 0, revision = 0;
    manager->GetVersion(&major, &minor, &revision);
    EXPECT_EQ(1, major);
    EXPECT_EQ(0, minor);
    EXPECT_EQ(-2, revision);
    EXPECT_TRUE(manager->GetWorkers().empty());
    delete manager;
    EXPECT_EQ(nullptr, OgvVideoManager::Instance());
}

// Lower priority first, ties to the earlier clip, never a clip another worker holds.
TEST(OgvVideoManagerTest, PickByPriority) {
    LogCapture log;
    OgvVideoManager manager(0);
    MemorySource a(SilentClip(), "a"), b(SilentClip(), "b"), c(SilentClip(), "c");
    OgvVideoClip* clipA = manager.CreateVideoClip(&a, OgvOutputRGB);
    OgvVideoClip* clipB = manager.CreateVideoClip(&b, OgvOutputRGB);
    OgvVideoClip* clipC = manager.CreateVideoClip(&c, OgvOutputRGB);
    OgvWorkerThread w1, w2, w3, w4;

    EXPECT_EQ(clipA, manager.PickClipForWorker(&w1));
    EXPECT_EQ(&w1, clipA->GetAssignedWorker());
    EXPECT_EQ(clipB, manager.PickClipForWorker(&w2));
    EXPECT_EQ(clipC, manager.PickClipForWorker(&w3));
    EXPECT_EQ(nullptr, manager.PickClipForWorker(&w4));
    for (OgvVideoClip* clip : {clipA, clipB, clipC}) clip->SetAssignedWorker(nullptr);

    // A has frames waiting, B's clock is paused: C is the most urgent, then A.
    MakeReady(clipA, 3);
    MakeReady(clipB, 2);
    clipB->Pause();
    EXPECT_EQ(3.0f, clipA->GetPriority());
    EXPECT_EQ(2.0f + 8.0f, clipB->GetPriority());
    EXPECT_EQ(0.0f, clipC->GetPriority());
    EXPECT_EQ(clipC, manager.PickClipForWorker(&w1));
    EXPECT_EQ(clipA, manager.PickClipForWorker(&w2));
    EXPECT_EQ(clipB, manager.PickClipForWorker(&w3));
    for (OgvVideoClip* clip : {clipA, clipB, clipC}) clip->SetAssignedWorker(nullptr);
}

TEST(OgvVideoManagerTest, PriorityOfAFullPausedQueue) {
    LogCapture log;
    OgvVideoManager manager(0);
    MemorySource source(SilentClip());
    OgvVideoClip* clip = manager.CreateVideoClip(&source, OgvOutputRGB);
    EXPECT_EQ(16, clip->GetNumPrecachedFrames());
    EXPECT_EQ(0.0f, clip->GetPriority());
    MakeReady(clip, 8);
    clip->Pause();
    EXPECT_EQ(8, clip->GetNumReadyFrames());
    EXPECT_EQ(16.0f, clip->GetPriority());
}

// A turn of a worker the test drives: the clip is held during it and given back after.
TEST(OgvVideoManagerTest, WorkerStepGivesTheClipBack) {
    LogCapture log;
    OgvVideoManager manager(0);
    OgvWorkerThread worker;
    EXPECT_FALSE(worker.Step());
    MemorySource source(SilentClip());
    OgvVideoClip* clip = manager.CreateVideoClip(&source, OgvOutputRGB);
    EXPECT_TRUE(worker.Step());
    EXPECT_FALSE(clip->IsBusy());
    EXPECT_EQ(nullptr, worker.GetCurrentClip());
}

TEST(OgvVideoManagerTest, DestroyingAClipThatNoWorkerHolds) {
    LogCapture log;
    OgvVideoManager manager(0);
    MemorySource source(SilentClip(), "x.ogv");
    OgvVideoClip* clip = manager.CreateVideoClip(&source, OgvOutputRGB);
    log.Clear();
    manager.DestroyVideoClip(clip);
    EXPECT_EQ((std::vector<std::string>{"Destroying video clip: x.ogv", "Destroyed video."}), log.Lines());
    EXPECT_TRUE(manager.GetClips().empty());
    // The data source is its creator's.
    source.Seek(0);
    char byte = 0;
    EXPECT_EQ(1, source.Read(&byte, 1));
    EXPECT_EQ('O', byte);
    manager.DestroyVideoClip(nullptr);
}

// A clip the manager does not list, and a pointer to a clip already destroyed: nothing is
// touched or deleted a second time.
TEST(OgvVideoManagerTest, DestroyingAClipThatIsNotListed) {
    LogCapture log;
    OgvVideoManager manager(0);
    MemorySource source(SilentClip());
    OgvVideoClip outside(&source, OgvOutputRGB, 2, false);
    OgvVideoClip* stale = manager.CreateVideoClip(&source, OgvOutputRGB);
    manager.DestroyVideoClip(stale);
    for (OgvVideoClip* clip : {&outside, stale}) {
        log.Clear();
        manager.DestroyVideoClip(clip);
        EXPECT_EQ(std::vector<std::string>{"Destroying video clip: not a clip of this manager, nothing destroyed"},
                  log.Lines());
    }
    EXPECT_EQ(64, outside.GetWidth());
}

TEST(OgvWorkerThreadTest, DestroyWhileDecoding) {
    LogCapture log;
    OgvVideoManager manager(1);
    MemorySource source(SilentClip(), "held.ogv", true);
    OgvVideoClip* clip = manager.CreateVideoClip(&source, OgvOutputRGB);
    source.AwaitOtherRead();  // the worker is inside its turn on the clip
    EXPECT_TRUE(clip->IsBusy());
    log.Clear();
    std::thread releaser([&] {
        log.AwaitLine("Waiting for WorkerThread to finish decoding in order to destroy");
        source.Release();
    });
    manager.DestroyVideoClip(clip);
    releaser.join();
    EXPECT_EQ((std::vector<std::string>{"Destroying video clip: held.ogv",
                                        "Waiting for WorkerThread to finish decoding in order to destroy",
                                        "WorkerThread done, destroying..", "Destroyed video."}),
              log.Lines());
    EXPECT_TRUE(manager.GetClips().empty());
}

// Joining before the thread's first turn ends it all the same.
TEST(OgvWorkerThreadTest, ManagerDeletedAtOnceReturns) {
    LogCapture log;
    for (int i = 0; i < 20; ++i) delete new OgvVideoManager(2);
    EXPECT_EQ(nullptr, OgvVideoManager::Instance());
}

// Workers busy on several clips are joined before the clips go.
TEST(OgvWorkerThreadTest, ManagerDeletedWhileWorkersDecode) {
    LogCapture log;
    std::vector<std::unique_ptr<MemorySource>> sources;
    for (int i = 0; i < 3; ++i) sources.push_back(std::make_unique<MemorySource>(MonoClip()));
    OgvVideoManager* manager = new OgvVideoManager(2);
    for (auto& source : sources) manager->CreateVideoClip(source.get(), OgvOutputRGB);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    delete manager;
    EXPECT_EQ(nullptr, OgvVideoManager::Instance());
}

// The idle wait is real time: under a fake clock it neither spins nor moves the clock.
TEST(OgvWorkerThreadTest, IdleWorkerLeavesAFakeClockAlone) {
    LogCapture log;
    platform::ScopedFakeClock clock(5000);
    {
        OgvVideoManager manager(1);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    EXPECT_EQ(5000u, platform::MillisecondsSinceStart());
}

}  // namespace
