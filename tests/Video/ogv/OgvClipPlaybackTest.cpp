// A clip playing: the worker's decoding into the queue (late frames dropped unconverted),
// the frame due on the clock, the loop's wrap, the end without looping, and seeks. The
// test takes the worker's turns itself (0 workers) and moves the clock by hand, except in
// the last test, where a real worker decodes while the main thread plays.
// These tests also run under ThreadSanitizer.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "Video/ogv/DecodedVideoFrame.h"
#include "Video/ogv/OgvFrameQueue.h"
#include "Video/ogv/OgvTimer.h"
#include "Video/ogv/OgvVideoClip.h"
#include "Video/ogv/OgvWorkerThread.h"
#include "Video/ogv/VideoFixtures.h"

namespace {

using namespace videofixtures;

// 64 x 48, 250 frames at 25 per second: 10 s, no sound.
const Bytes& TenSecondClip() {
    static const Bytes bytes = [] {
        ClipDesc clip;
        clip.frames = 250;
        clip.keyframeInterval = 64;
        return MakeClip(clip);
    }();
    return bytes;
}

// The frame index whose end time a frame carries (frame k is timed (k + 1) / 25).
int IndexOf(float time) { return static_cast<int>(std::lround(time * 25.0f)) - 1; }

Bytes PixelsOf(const DecodedVideoFrame* frame) {
    return Bytes(frame->GetPixels(), frame->GetPixels() + frame->GetSize());
}

class OgvClipTest : public ::testing::Test {
protected:
    OgvVideoClip* Open(MemorySource& source, bool loop = false) {
        OgvVideoClip* clip = manager.CreateVideoClip(&source, OgvOutputRGB);
        clip->SetAutoRestart(loop);
        return clip;
    }
    // Worker turns until the queue is full or nothing more comes.
    void Fill(OgvVideoClip* clip) {
        for (int turn = 0; turn < 64 && clip->GetNumReadyFrames() < clip->GetNumPrecachedFrames(); ++turn) {
            worker.Step();
            if (clip->IsEndOfFile()) break;
        }
    }
    // The frame due now must be the picture of frame index at that time; it is popped.
    void ExpectShown(OgvVideoClip* clip, float time, const Bytes& picture, const char* what) {
        DecodedVideoFrame* frame = clip->GetNextFrame();
        ASSERT_NE(nullptr, frame) << what;
        EXPECT_FLOAT_EQ(time, frame->GetTime()) << what;
        EXPECT_TRUE(picture == PixelsOf(frame)) << what;
        clip->PopFrame();
    }
    // The clip's own clock set exactly, where sums of frame times would round.
    static void SetClock(OgvVideoClip* clip, float seconds) { clip->GetTimer()->Seek(seconds); }

    LogCapture log;
    OgvVideoManager manager{0};
    OgvWorkerThread worker;
};

// Frames decoded ahead carry their times; shown in turn, each is the picture of its frame.
TEST_F(OgvClipTest, SilentClipFrameTimesAndCounts) {
    const std::vector<Bytes> reference = ReferencePictures(SilentClip());
    ASSERT_EQ(12u, reference.size());
    MemorySource source(SilentClip());
    OgvVideoClip* clip = Open(source);
    Fill(clip);
    EXPECT_EQ(12, clip->GetNumReadyFrames());
    EXPECT_TRUE(clip->IsEndOfFile());
    for (int k = 0; k < 12; ++k) {
        SetClock(clip, (k + 1) / 25.0f);
        ASSERT_NO_FATAL_FAILURE(ExpectShown(clip, (k + 1) / 25.0f, reference[k], "in turn"));
        EXPECT_EQ(nullptr, clip->GetNextFrame()) << "the next is not due yet";
    }
    EXPECT_EQ(12, clip->GetNumDisplayedFrames());
    EXPECT_EQ(0, clip->GetNumDroppedFrames());
}

// A small queue drained and refilled by turns: freed buffers are filled again while others
// still wait, and every frame still comes out in decoding order with its own picture.
TEST_F(OgvClipTest, RefilledQueueKeepsTheOrder) {
    const std::vector<Bytes> reference = ReferencePictures(SilentClip());
    MemorySource source(SilentClip());
    OgvVideoClip* clip = manager.CreateVideoClip(&source, OgvOutputRGB, 4);
    struct Turn {
        int steps, shown;
    };
    int k = 0;
    for (const Turn turn : {Turn{3, 2}, Turn{3, 3}, Turn{2, 1}, Turn{3, 4}, Turn{4, 2}}) {
        for (int i = 0; i < turn.steps; ++i) worker.Step();
        for (int i = 0; i < turn.shown; ++i, ++k) {
            SetClock(clip, (k + 1) / 25.0f);
            ASSERT_NO_FATAL_FAILURE(ExpectShown(clip, (k + 1) / 25.0f, reference[k], "in turn"));
        }
    }
    EXPECT_EQ(12, k);
    EXPECT_EQ(0, clip->GetNumReadyFrames());
}

// Frames already late when decoded are counted and never reach the queue.
TEST_F(OgvClipTest, LateFramesAreDroppedWhenDecoded) {
    const std::vector<Bytes> reference = ReferencePictures(SilentClip());
    MemorySource source(SilentClip());
    OgvVideoClip* clip = Open(source);
    clip->Update(0.2f);
    worker.Step();
    EXPECT_EQ(4, clip->GetNumDroppedFrames()) << "0.04 ... 0.16";
    EXPECT_EQ(4, clip->GetNumDisplayedFrames());
    ASSERT_NO_FATAL_FAILURE(ExpectShown(clip, 0.2f, reference[4], "the first on time"));
}

TEST_F(OgvClipTest, FrameDueOnTheClock) {
    const struct {
        const char* name;
        int popped;  // frames taken before the clock is set
        float clock;
        float shown;  // 0: nothing shown
        int dropped;
    } cases[] = {
        {"due now", 0, 0.04f, 0.04f, 0},
        {"0.05 s late", 0, 0.09f, 0.04f, 0},
        {"0.15 s late: dropped, the next two looked at", 0, 0.19f, 0.12f, 2},
        {"0.05 s early", 1, 0.03f, 0.0f, 0},
    };
    for (const auto& c : cases) {
        MemorySource source(SilentClip());
        OgvVideoClip* clip = Open(source);
        Fill(clip);
        for (int i = 0; i < c.popped; ++i) clip->PopFrame();
        clip->Update(c.clock);
        DecodedVideoFrame* frame = clip->GetNextFrame();
        if (c.shown == 0.0f) {
            EXPECT_EQ(nullptr, frame) << c.name;
        } else {
            ASSERT_NE(nullptr, frame) << c.name;
            EXPECT_FLOAT_EQ(c.shown, frame->GetTime()) << c.name;
        }
        EXPECT_EQ(c.dropped, clip->GetNumDroppedFrames()) << c.name;
        EXPECT_EQ(c.popped + c.dropped, clip->GetNumDisplayedFrames()) << c.name;
        manager.DestroyVideoClip(clip);
    }
}

// At the end of a looping clip the worker rewinds and decodes the next loop's frames while
// the clock is still at the end; the clock wraps when it reaches the duration.
TEST_F(OgvClipTest, LoopWrapKeepsOneEndFrame) {
    const std::vector<Bytes> reference = ReferencePictures(TenSecondClip());
    ASSERT_EQ(250u, reference.size());
    MemorySource source(TenSecondClip());
    OgvVideoClip* clip = Open(source, true);
    EXPECT_FLOAT_EQ(10.0f, clip->GetDuration());
    clip->Update(9.93f);
    Fill(clip);
    // Queued: the end frames at 9.96 and 10.0, then the next loop from 0.04.
    EXPECT_EQ(248, clip->GetNumDroppedFrames());
    EXPECT_TRUE(clip->IsRestarted());
    EXPECT_FALSE(clip->IsEndOfFile());
    EXPECT_EQ(16, clip->GetNumReadyFrames());
    EXPECT_EQ(nullptr, clip->GetNextFrame()) << "9.96 is not due at 9.93";

    log.Clear();
    clip->Update(0.1f);
    EXPECT_FALSE(clip->IsRestarted());
    EXPECT_NEAR(0.03f, clip->GetTimePosition(), 1e-4);
    EXPECT_EQ(std::vector<std::string>{"dropped 2 end frames"}, log.Lines());
    // The first end frame, retimed to the overshoot, is shown at once; then the new loop.
    ASSERT_NO_FATAL_FAILURE(ExpectShown(clip, clip->GetTimePosition(), reference[248], "end frame"));
    EXPECT_EQ(nullptr, clip->GetNextFrame());
    clip->Update(0.01f);
    ASSERT_NO_FATAL_FAILURE(ExpectShown(clip, 0.04f, reference[0], "first of the new loop"));
    EXPECT_EQ(248 + 2 + 1, clip->GetNumDisplayedFrames());
}

TEST_F(OgvClipTest, NewLoopFramesWaitForTheWrap) {
    MemorySource source(TenSecondClip());
    OgvVideoClip* clip = Open(source, true);
    clip->Update(9.9f);
    Fill(clip);
    ASSERT_TRUE(clip->IsRestarted());
    // 9.92, 9.96 and 10.0 taken: the front is the next loop's first frame.
    for (int i = 0; i < 3; ++i) clip->PopFrame();
    const int dropped = clip->GetNumDroppedFrames();
    EXPECT_EQ(nullptr, clip->GetNextFrame());
    EXPECT_EQ(dropped, clip->GetNumDroppedFrames());
    EXPECT_EQ(13, clip->GetNumReadyFrames());
    // Paused, the clock neither moves nor wraps.
    clip->Pause();
    clip->Update(1.0f);
    EXPECT_FLOAT_EQ(9.9f, clip->GetTimePosition());
    EXPECT_TRUE(clip->IsRestarted());
    clip->Play();
    clip->Update(0.15f);
    EXPECT_FALSE(clip->IsRestarted());
    DecodedVideoFrame* frame = clip->GetNextFrame();
    ASSERT_NE(nullptr, frame);
    EXPECT_FLOAT_EQ(0.04f, frame->GetTime());
}

// Without looping the last frames are shown as they fall due, then nothing; looping
// switched on afterwards lets the decoding go on from the start.
TEST_F(OgvClipTest, EndWithoutLoopingThenAutoRestart) {
    MemorySource source(SilentClip());
    OgvVideoClip* clip = Open(source);
    Fill(clip);
    ASSERT_TRUE(clip->IsEndOfFile());
    SetClock(clip, 0.48f);
    for (float time : {0.40f, 0.44f, 0.48f}) {
        ASSERT_NE(nullptr, clip->GetNextFrame());
        EXPECT_FLOAT_EQ(time, clip->GetNextFrame()->GetTime()) << "the earlier ones too late";
        clip->PopFrame();
    }
    EXPECT_EQ(9, clip->GetNumDroppedFrames());
    for (int i = 0; i < 3; ++i) {
        worker.Step();
        clip->Update(0.04f);
        EXPECT_EQ(nullptr, clip->GetNextFrame());
    }
    EXPECT_EQ(0, clip->GetNumReadyFrames());

    clip->SetAutoRestart(true);
    EXPECT_FALSE(clip->IsEndOfFile());
    Fill(clip);
    EXPECT_TRUE(clip->IsRestarted());
    EXPECT_EQ(16, clip->GetNumReadyFrames()) << "and on into the loop after";
}

// --- seeking ----------------------------------------------------------------------------

// A seek to 0 rewinds: queue emptied, clock at 0, and no loop pending any more, so the
// frames that follow are shown at their own times.
TEST_F(OgvClipTest, SeekToTheStart) {
    const std::vector<Bytes> reference = ReferencePictures(SilentClip());
    MemorySource source(SilentClip());
    OgvVideoClip* clip = Open(source, true);
    clip->Update(0.3f);
    Fill(clip);
    ASSERT_TRUE(clip->IsRestarted());
    clip->Seek(0.0f);
    EXPECT_EQ(0.0f, clip->GetSeekTime());
    worker.Step();
    EXPECT_EQ(OgvVideoClip::kNoSeek, clip->GetSeekTime());
    EXPECT_FALSE(clip->IsRestarted());
    EXPECT_EQ(0.0f, clip->GetTimePosition());
    EXPECT_EQ(1, clip->GetNumReadyFrames());
    Fill(clip);
    for (int k = 0; k < 3; ++k) {
        SetClock(clip, (k + 1) / 25.0f);
        ASSERT_NO_FATAL_FAILURE(ExpectShown(clip, (k + 1) / 25.0f, reference[k], "after the seek"));
    }
}

// Into the middle of a clip with a keyframe every 16 frames: the data is positioned before
// the keyframe the target depends on, the packets before it are skipped with a log line,
// the clock is set to the target's time, and the frames that follow carry their own
// numbers: each shown picture is that of its time.
TEST_F(OgvClipTest, SeekIntoTheKeyframedClip) {
    const std::vector<Bytes> reference = ReferencePictures(KeyframedClip());
    ASSERT_EQ(100u, reference.size());
    // Few frames a page: the bisection can stop within 10 frames of its target.
    int64_t previous = -1;
    for (const Page& page : SplitPages(KeyframedClip())) {
        if (page.serial() != videoenc::kVideoSerial || page.granule() <= 0 || page.bos()) continue;
        const int64_t frame = (page.granule() >> 6) + (page.granule() & 63) - 1;
        EXPECT_LT(frame - previous, 5);
        previous = frame;
    }

    for (float seconds : {2.5f, 1.1f, 3.3f}) {
        MemorySource source(KeyframedClip(), "keyframed.ogv");
        OgvVideoClip* clip = Open(source);
        clip->Update(0.5f);
        Fill(clip);
        log.Clear();
        clip->Seek(seconds);
        worker.Step();
        const int target = static_cast<int>(100.0f * seconds / 4.0f);
        const float clock = static_cast<float>(target) / 100.0f * 4.0f;
        EXPECT_FLOAT_EQ(clock, clip->GetTimePosition()) << seconds;
        Fill(clip);
        EXPECT_EQ(OgvVideoClip::kNoSeek, clip->GetSeekTime()) << seconds;
        const std::vector<std::string> lines = log.Lines();
        ASSERT_EQ(1u, lines.size()) << seconds;
        const std::string prefix = "keyframed.ogv[seek]: skipped ";
        EXPECT_EQ(prefix, lines[0].substr(0, prefix.size())) << seconds;
        EXPECT_NE(std::string::npos, lines[0].find(" frames while searching for keyframe")) << lines[0];
        EXPECT_NE(prefix + "0", lines[0].substr(0, prefix.size() + 1)) << lines[0];

        DecodedVideoFrame* first = clip->GetFrameQueue()->GetFirstAvailableFrame();
        ASSERT_NE(nullptr, first) << seconds;
        EXPECT_GE(first->GetTime(), clock) << "earlier frames were dropped as late";
        EXPECT_LT(first->GetTime(), clock + 0.05f) << seconds;
        for (int index = IndexOf(first->GetTime()); index < IndexOf(first->GetTime()) + 4; ++index) {
            SetClock(clip, (index + 1) / 25.0f);
            DecodedVideoFrame* frame = clip->GetNextFrame();
            ASSERT_NE(nullptr, frame) << seconds;
            EXPECT_FLOAT_EQ((index + 1) / 25.0f, frame->GetTime()) << seconds;
            EXPECT_TRUE(reference[IndexOf(frame->GetTime())] == PixelsOf(frame))
                << "frame " << IndexOf(frame->GetTime()) << " after a seek to " << seconds;
            clip->PopFrame();
        }
        manager.DestroyVideoClip(clip);
    }
}

// While the length is unknown a seek can only rewind.
TEST_F(OgvClipTest, SeekBeforeTheDurationIsKnownRewinds) {
    const std::vector<Bytes> reference = ReferencePictures(SilentClip());
    Bytes bytes = SilentClip();
    bytes.insert(bytes.end(), 41000, 0x5A);
    MemorySource source(bytes);
    OgvVideoClip* clip = Open(source);
    ASSERT_EQ(-1.0f, clip->GetDuration());
    clip->Update(0.2f);
    Fill(clip);
    clip->Seek(0.3f);
    worker.Step();
    EXPECT_EQ(0.0f, clip->GetTimePosition());
    EXPECT_EQ(OgvVideoClip::kNoSeek, clip->GetSeekTime());
    SetClock(clip, 0.04f);
    ASSERT_NO_FATAL_FAILURE(ExpectShown(clip, 0.04f, reference[0], "from the start"));
}

// --- with a worker thread ---------------------------------------------------------------

// A real worker decodes while the main thread moves the clock, takes frames and wraps:
// every picture shown is the one of its time.
TEST(OgvClipThreadTest, LoopsWithAWorkerThread) {
    // 1.6 s: a loop's end frames lie after the next loop's first half second.
    ClipDesc desc;
    desc.frames = 40;
    const Bytes bytes = MakeClip(desc);
    const std::vector<Bytes> reference = ReferencePictures(bytes);
    LogCapture log;
    MemorySource source(bytes);
    OgvVideoManager manager(1);
    OgvVideoClip* clip = manager.CreateVideoClip(&source, OgvOutputRGB);
    clip->SetAutoRestart(true);
    int wraps = 0;
    int shown = 0;
    float last = 0.0f;
    for (int turn = 0; turn < 5000 && wraps < 3; ++turn) {
        if (clip->GetNumReadyFrames() > 0 || clip->IsRestarted()) clip->Update(0.02f);
        const float now = clip->GetTimePosition();
        if (now < last) ++wraps;
        last = now;
        if (DecodedVideoFrame* frame = clip->GetNextFrame()) {
            // A retimed end frame carries the overshoot, the others their own time.
            if (frame->GetTime() >= 0.039f) {
                EXPECT_TRUE(reference[IndexOf(frame->GetTime())] == PixelsOf(frame)) << frame->GetTime();
                ++shown;
            }
            clip->PopFrame();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(3, wraps);
    EXPECT_GE(shown, 40);
}

}  // namespace
