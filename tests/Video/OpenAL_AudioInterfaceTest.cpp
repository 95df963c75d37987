// A clip's sound on OpenAL Soft's loopback device: the quarter-second buffers and their
// start, the 16-bit samples, the clock read from the source (before any sound, while it
// plays, capped at the duration, after an underrun, after a seek), the release with the
// clip, and clips that sound or play silently. The test renders the mix itself, a 60th of
// a second per simulated frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "Audio/AudioDevice.h"
#include "Video/OpenAL_AudioInterface.h"
#include "Video/ogv/OgvTimer.h"
#include "Video/ogv/OgvVideoClip.h"
#include "Video/ogv/OgvWorkerThread.h"
#include "Video/ogv/VideoFixtures.h"
#include "Audio/LoopbackAudio.h"

namespace {

using namespace videofixtures;
using Audio::LoopbackAudio;

Bytes ClipWithSound(int channels, long rate, int frames = 12) {
    ClipDesc clip;
    clip.channels = channels;
    clip.rate = rate;
    clip.frames = frames;
    return MakeClip(clip);
}

// count samples of value in every channel.
struct Samples {
    Samples(int channels, int count, float value) : data(channels, std::vector<float>(count, value)) {
        for (auto& channel : data) pointers.push_back(channel.data());
    }
    float** get() { return pointers.data(); }
    std::vector<std::vector<float>> data;
    std::vector<float*> pointers;
};

ALint SourceInt(ALuint source, ALenum what) {
    ALint value = 0;
    alGetSourcei(source, what, &value);
    return value;
}

class OpenALAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(device.IsInitialized());
        manager.SetAudioInterfaceFactory(&factory);
        testing::internal::CaptureStdout();
    }
    void TearDown() override {
        const std::string printed = testing::internal::GetCapturedStdout();
        EXPECT_EQ(std::string::npos, printed.find("AL err")) << printed;
    }

    Video::OpenAL_AudioInterface* Open(MemorySource& source) {
        OgvVideoClip* clip = manager.CreateVideoClip(&source, OgvOutputRGB);
        auto* output = dynamic_cast<Video::OpenAL_AudioInterface*>(clip->GetAudioInterface());
        EXPECT_NE(nullptr, output);
        if (output != nullptr) {
            EXPECT_EQ(static_cast<OgvTimer*>(output), clip->GetTimer());
        }
        return output;
    }
    // One simulated frame: the mix rendered, then the clock read.
    static void Frame(Video::OpenAL_AudioInterface* output) {
        LoopbackAudio::Render(LoopbackAudio::kFrameSamples);
        output->Update(1.0f / 60.0f);
    }

    LoopbackAudio loopback;
    Audio::AudioDevice device;
    LogCapture log;
    OgvVideoManager manager{0};
    Video::OpenAL_AudioInterfaceFactory factory;
};

TEST_F(OpenALAudioTest, SamplesTo16Bits) {
    const struct {
        float in;
        int16_t out;
    } cases[] = {{1.5f, 32767}, {-1.5f, -32767}, {0.5f, 16383}, {-0.5f, -16383}, {0.0f, 0}, {1.0f, 32767}};
    for (const auto& c : cases) EXPECT_EQ(c.out, Video::OpenAL_AudioInterface::ToSample(c.in)) << c.in;
    MemorySource source(ClipWithSound(2, 44100));
    Video::OpenAL_AudioInterface* output = Open(source);
    ASSERT_NE(nullptr, output);
    float left[] = {1.5f, 0.5f}, right[] = {-1.5f, 0.0f};
    float* data[] = {left, right};
    output->InsertData(data, 2);
    ASSERT_EQ(4, output->GetNumSamples());
    EXPECT_EQ((std::vector<int16_t>{32767, -32767, 16383, 0}),
              std::vector<int16_t>(output->GetSamples(), output->GetSamples() + 4))
        << "interleaved, left first";
}

// A buffer every quarter second of whole frames; the first starts the source at its start.
TEST_F(OpenALAudioTest, QuarterSecondBuffers) {
    const struct {
        const char* name;
        int channels;
        long rate;
        int perBuffer;  // samples per channel
        ALint bytes;
    } cases[] = {
        {"mono 44100", 1, 44100, 11025, 22050},
        {"stereo 44100", 2, 44100, 11025, 44100},
        {"stereo 22050", 2, 22050, 5512, 22048},
    };
    for (const auto& c : cases) {
        MemorySource source(ClipWithSound(c.channels, c.rate));
        Video::OpenAL_AudioInterface* output = Open(source);
        ASSERT_NE(nullptr, output) << c.name;
        Samples one(c.channels, c.perBuffer - 1, 0.25f);
        output->InsertData(one.get(), c.perBuffer - 1);
        EXPECT_EQ(0u, output->GetNumQueuedBuffers()) << c.name;
        EXPECT_EQ(AL_INITIAL, SourceInt(output->GetSource(), AL_SOURCE_STATE)) << c.name;
        Samples last(c.channels, 1, 0.25f);
        output->InsertData(last.get(), 1);
        ASSERT_EQ(1u, output->GetNumQueuedBuffers()) << c.name;
        EXPECT_EQ(c.perBuffer, output->GetQueuedSamples()) << c.name;
        EXPECT_EQ(0, output->GetNumSamples()) << c.name;
        EXPECT_EQ(AL_PLAYING, SourceInt(output->GetSource(), AL_SOURCE_STATE)) << c.name;
        EXPECT_EQ(0, SourceInt(output->GetSource(), AL_SAMPLE_OFFSET)) << c.name;
        ALint bytes = 0;
        alGetBufferi(output->GetQueuedBuffer(0), AL_SIZE, &bytes);
        EXPECT_EQ(c.bytes, bytes) << c.name;
        Samples more(c.channels, 2 * c.perBuffer, 0.25f);
        output->InsertData(more.get(), 2 * c.perBuffer);
        EXPECT_EQ(3u, output->GetNumQueuedBuffers()) << c.name;
        EXPECT_EQ(3, SourceInt(output->GetSource(), AL_BUFFERS_QUEUED)) << c.name;
        manager.DestroyVideoClip(output->GetClip());
    }
}

// Before any sound the clock runs on the frame time; each reading is the time before the
// frame's increase. Playing, it is the source's position, capped at the duration.
TEST_F(OpenALAudioTest, ClockBeforeAndWhilePlaying) {
    MemorySource source(ClipWithSound(1, 44100));
    Video::OpenAL_AudioInterface* output = Open(source);
    ASSERT_NE(nullptr, output);
    ASSERT_FLOAT_EQ(0.48f, output->GetClip()->GetDuration());
    for (float expected : {0.0f, 0.1f, 0.2f}) {
        output->Update(0.1f);
        EXPECT_FLOAT_EQ(expected, output->GetTime());
    }
    output->Seek(0.0f);
    Samples second(1, 44100, 0.1f);
    output->InsertData(second.get(), 44100);
    ASSERT_EQ(4u, output->GetNumQueuedBuffers());
    for (int frame = 0; frame < 15; ++frame) Frame(output);
    EXPECT_NEAR(0.25f, output->GetTime(), 0.001f) << "a quarter second played";
    EXPECT_EQ(11025, output->GetProcessedSamples()) << "the first buffer is done";
    EXPECT_EQ(3u, output->GetNumQueuedBuffers());
    for (int frame = 0; frame < 30; ++frame) Frame(output);
    EXPECT_FLOAT_EQ(0.48f, output->GetTime()) << "0.75 s played, capped at the duration";
}

// A source that ran dry starts again where its sound ended: the clock, which went on
// while the source stood still, holds until the sound passes it.
TEST_F(OpenALAudioTest, ClockNeverGoesBackAfterAnUnderrun) {
    MemorySource source(ClipWithSound(1, 44100, 50));
    Video::OpenAL_AudioInterface* output = Open(source);
    ASSERT_NE(nullptr, output);
    ASSERT_FLOAT_EQ(2.0f, output->GetClip()->GetDuration());
    Samples quarter(1, 11025, 0.1f);
    output->InsertData(quarter.get(), 11025);
    float previous = 0.0f;
    for (int frame = 0; frame < 30; ++frame) {
        Frame(output);
        EXPECT_GE(output->GetTime(), previous) << frame;
        previous = output->GetTime();
    }
    EXPECT_EQ(AL_STOPPED, SourceInt(output->GetSource(), AL_SOURCE_STATE));
    EXPECT_GT(previous, 0.4f) << "on by the frame time";
    output->InsertData(quarter.get(), 11025);
    EXPECT_EQ(AL_PLAYING, SourceInt(output->GetSource(), AL_SOURCE_STATE));
    EXPECT_EQ(0, SourceInt(output->GetSource(), AL_SAMPLE_OFFSET)) << "the new sound from its start";
    for (int frame = 0; frame < 14; ++frame) {
        Frame(output);
        EXPECT_GE(output->GetTime(), previous) << frame;
        previous = output->GetTime();
    }
    EXPECT_GT(previous, 0.48f) << "the sound passed the held reading";
}

// The source is emptied and the counts start again at whole seconds; the clock is there
// at once.
TEST_F(OpenALAudioTest, SeekEmptiesTheSource) {
    MemorySource source(ClipWithSound(2, 44100, 100));
    Video::OpenAL_AudioInterface* output = Open(source);
    ASSERT_NE(nullptr, output);
    Samples second(2, 44100, 0.1f);
    output->InsertData(second.get(), 44100);
    Samples rest(2, 100, 0.1f);
    output->InsertData(rest.get(), 100);
    for (int frame = 0; frame < 10; ++frame) Frame(output);
    const std::vector<ALuint> buffers = {output->GetQueuedBuffer(0), output->GetQueuedBuffer(1)};
    output->Seek(2.7f);
    EXPECT_EQ(88200, output->GetQueuedSamples());
    EXPECT_EQ(88200, output->GetProcessedSamples());
    EXPECT_EQ(0, output->GetNumSamples());
    EXPECT_EQ(0u, output->GetNumQueuedBuffers());
    EXPECT_EQ(0, SourceInt(output->GetSource(), AL_BUFFERS_QUEUED));
    EXPECT_EQ(AL_STOPPED, SourceInt(output->GetSource(), AL_SOURCE_STATE));
    for (ALuint buffer : buffers) EXPECT_FALSE(alIsBuffer(buffer));
    EXPECT_FLOAT_EQ(2.0f, output->GetTime());
    output->Seek(0.0f);
    EXPECT_EQ(0.0f, output->GetTime());
}

// The clip's sound goes with it: source and queued buffers are deleted.
TEST_F(OpenALAudioTest, ReleasedWithTheClip) {
    MemorySource source(ClipWithSound(1, 44100));
    Video::OpenAL_AudioInterface* output = Open(source);
    ASSERT_NE(nullptr, output);
    Samples half(1, 22050, 0.1f);
    output->InsertData(half.get(), 22050);
    const ALuint sourceName = output->GetSource();
    const std::vector<ALuint> buffers = {output->GetQueuedBuffer(0), output->GetQueuedBuffer(1)};
    ASSERT_TRUE(alIsSource(sourceName));
    manager.DestroyVideoClip(output->GetClip());
    EXPECT_FALSE(alIsSource(sourceName));
    for (ALuint buffer : buffers) EXPECT_FALSE(alIsBuffer(buffer));
}

// A stereo clip at 22050 Hz played as the game plays it: decoded sound reaches the mix.
// More than two channels play silently on the clip's own clock.
TEST_F(OpenALAudioTest, ClipsThatSoundAndClipsThatDoNot) {
    MemorySource stereo(ClipWithSound(2, 22050));
    OgvVideoClip* clip = manager.CreateVideoClip(&stereo, OgvOutputRGB);
    ASSERT_NE(nullptr, clip->GetAudioInterface());
    OgvWorkerThread worker;
    int loudest = 0;
    for (int frame = 0; frame < 30; ++frame) {
        worker.Step();
        manager.Update(1.0f / 60.0f);
        for (int16_t sample : LoopbackAudio::Render(LoopbackAudio::kFrameSamples))
            loudest = std::max(loudest, std::abs(int(sample)));
    }
    EXPECT_GT(loudest, 4000) << "a tone of 0.4";
    EXPECT_GT(clip->GetTimePosition(), 0.1f);
    manager.DestroyVideoClip(clip);

    MemorySource surround(ClipWithSound(3, 22050));
    clip = manager.CreateVideoClip(&surround, OgvOutputRGB);
    EXPECT_EQ(3, clip->GetVorbisHeaders());
    EXPECT_EQ(nullptr, clip->GetAudioInterface());
    manager.Update(0.25f);
    EXPECT_FLOAT_EQ(0.25f, clip->GetTimePosition());
}

}  // namespace
