// A clip's set-up on fixtures made with the builder's encoder: the headers of both
// streams, the decoder, size and stride, the duration read from the end of the data, the
// second header pass, the audio output, and the exceptions of damaged files.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "Video/ogv/DecodedVideoFrame.h"
#include "Video/ogv/OgvColourConversion.h"
#include "Video/ogv/OgvFile.h"
#include "Video/ogv/OgvFrameQueue.h"
#include "Video/ogv/OgvGenericException.h"
#include "Video/ogv/OgvVideoClip.h"
#include "Video/ogv/OgvWorkerThread.h"
#include "Video/ogv/VideoFixtures.h"

namespace {

using namespace videofixtures;

class OgvVideoClipTest : public ::testing::Test {
protected:
    // The clip, or the text of the exception its set-up threw.
    std::string Fails(const Bytes& bytes, int mode = OgvOutputRGB) {
        MemorySource source(bytes);
        try {
            manager.DestroyVideoClip(manager.CreateVideoClip(&source, mode));
        } catch (_OgvGenericException& error) {
            return error.GetText();
        }
        return "";
    }

    LogCapture log;
    OgvVideoManager manager{0};
};

TEST_F(OgvVideoClipTest, SetUpReadsHeadersSizeAndDuration) {
    MemorySource source(SilentClip(), "silent.ogv");
    OgvVideoClip* clip = manager.CreateVideoClip(&source, OgvOutputRGBX, 6);
    EXPECT_EQ(3, clip->GetTheoraHeaders());
    EXPECT_EQ(0, clip->GetVorbisHeaders());
    EXPECT_TRUE(clip->HasDecoder());
    EXPECT_EQ("silent.ogv", clip->GetName());
    EXPECT_EQ(64, clip->GetWidth());
    EXPECT_EQ(48, clip->GetHeight());
    EXPECT_EQ(64, clip->GetStride());
    EXPECT_FLOAT_EQ(12 / 25.0f, clip->GetDuration());
    EXPECT_EQ(12, clip->GetNumFrames());
    EXPECT_EQ(nullptr, clip->GetAudioInterface());
    EXPECT_EQ(0.0f, clip->GetTimePosition());
    // The queue: six buffers of the mode's size, every byte 0xFF, none ready.
    EXPECT_EQ(6, clip->GetNumPrecachedFrames());
    EXPECT_EQ(0, clip->GetNumReadyFrames());
    DecodedVideoFrame* frame = clip->GetFrameQueue()->RequestEmptyFrame();
    ASSERT_NE(nullptr, frame);
    ASSERT_EQ(64u * 48 * 4, frame->GetSize());
    EXPECT_EQ(std::vector<uint8_t>(frame->GetSize(), 0xFF),
              std::vector<uint8_t>(frame->GetPixels(), frame->GetPixels() + frame->GetSize()));
    EXPECT_EQ((std::vector<std::string>{"Initializing Ogv Video Library (1.0 RC2)",
                                        "Creating video from data source: silent.ogv",
                                        "silent.ogv: file duration is 0.480 seconds"}),
              log.Lines());
}

// The pass over the headers runs twice; the second must find all of them again.
TEST_F(OgvVideoClipTest, SecondHeaderPassOnEveryFixture) {
    NullOutputFactory sound;
    manager.SetAudioInterfaceFactory(&sound);
    ClipDesc keyframesOnly;
    keyframesOnly.keyframeInterval = 1;
    ClipDesc stereo;
    stereo.channels = 2;
    stereo.rate = 44100;
    const struct {
        const char* name;
        Bytes bytes;
        int theora, vorbis, channels, rate;
    } cases[] = {
        {"silent", SilentClip(), 3, 0, 0, 0},         {"mono", MonoClip(), 3, 3, 1, 22050},
        {"stereo", MakeClip(stereo), 3, 3, 2, 44100}, {"keyframes only", MakeClip(keyframesOnly), 3, 0, 0, 0},
        {"sound only", VorbisOnly(), 0, 3, 2, 22050},
    };
    for (const auto& c : cases) {
        MemorySource source(c.bytes);
        OgvVideoClip* clip = manager.CreateVideoClip(&source, OgvOutputRGB);
        EXPECT_EQ(c.theora, clip->GetTheoraHeaders()) << c.name;
        EXPECT_EQ(c.vorbis, clip->GetVorbisHeaders()) << c.name;
        EXPECT_EQ(c.theora != 0, clip->HasDecoder()) << c.name;
        OgvAudioInterface* output = clip->GetAudioInterface();
        ASSERT_EQ(c.channels != 0, output != nullptr) << c.name;
        if (output != nullptr) {
            EXPECT_EQ(c.channels, output->GetChannels()) << c.name;
            EXPECT_EQ(c.rate, output->GetFrequency()) << c.name;
            EXPECT_EQ(clip, output->GetClip()) << c.name;
        }
        const int destroyed = NullOutput::destroyed;
        manager.DestroyVideoClip(clip);
        EXPECT_EQ(destroyed + (output != nullptr ? 1 : 0), NullOutput::destroyed) << c.name;
    }
    EXPECT_EQ(3, sound.made);
}

// Without a factory the sound stream is not looked for.
TEST_F(OgvVideoClipTest, NoFactoryNoSound) {
    MemorySource source(MonoClip());
    OgvVideoClip* clip = manager.CreateVideoClip(&source, OgvOutputRGB);
    EXPECT_EQ(0, clip->GetVorbisHeaders());
    EXPECT_EQ(nullptr, clip->GetAudioInterface());
    EXPECT_EQ(12, clip->GetNumFrames());
}

TEST_F(OgvVideoClipTest, PowerOfTwoStride) {
    ClipDesc wide;
    wide.width = 320;
    wide.height = 16;
    wide.frames = 2;
    const Bytes bytes = MakeClip(wide);
    for (bool power2 : {false, true}) {
        MemorySource source(bytes);
        OgvVideoClip* clip = manager.CreateVideoClip(&source, OgvOutputRGB, 2, power2);
        EXPECT_EQ(320, clip->GetWidth());
        EXPECT_EQ(power2 ? 512 : 320, clip->GetStride());
        EXPECT_EQ(size_t(clip->GetStride()) * 16 * 3, clip->GetFrameQueue()->RequestEmptyFrame()->GetSize());
    }
}

// The last Theora page in the last 4096 bytes, further back (pages of another stream
// appended), and beyond the tenth window.
TEST_F(OgvVideoClipTest, DurationFromTheEndOfTheData) {
    ClipDesc longer;
    longer.frames = 50;
    const Bytes clip = MakeClip(longer);
    ASSERT_GT(clip.size(), 4096u) << "the first window should not reach the start";
    auto withTail = [&](size_t bytes) {
        Bytes file = clip;
        static const std::vector<float> noise = [] {
            std::vector<float> v(100000);
            uint32_t state = 7;
            for (float& s : v) s = float((state = state * 1664525u + 1013904223u) >> 8) / 8388608.0f - 1.0f;
            return v;
        }();
        static const Bytes tail = soundenc::EncodeOggVorbis(noise, 1, 44100, 0.9f, {}, 1234);
        size_t used = 0;
        for (const Page& page : SplitPages(tail)) {
            if (used >= bytes) break;
            file.insert(file.end(), page.bytes.begin(), page.bytes.end());
            used += page.bytes.size();
        }
        return std::make_pair(file, used);
    };
    const auto near = withTail(0);
    const auto further = withTail(12000);
    const auto beyond = withTail(41000);
    ASSERT_GT(further.second, 8192u);
    ASSERT_LT(further.second, 40960u - 4096u);
    ASSERT_GT(beyond.second, 40960u);
    const struct {
        const char* name;
        const Bytes& bytes;
        float duration;
        int frames;
    } cases[] = {
        {"in the first window", near.first, 2.0f, 50},
        {"in a larger window", further.first, 2.0f, 50},
        {"beyond the windows", beyond.first, -1.0f, 0},
        {"shorter than a window", SilentClip(), 0.48f, 12},
    };
    for (const auto& c : cases) {
        MemorySource source(c.bytes);
        OgvVideoClip* clip = manager.CreateVideoClip(&source, OgvOutputRGB);
        EXPECT_FLOAT_EQ(c.duration, clip->GetDuration()) << c.name;
        EXPECT_EQ(c.frames, clip->GetNumFrames()) << c.name;
        manager.DestroyVideoClip(clip);
    }
    EXPECT_NE(log.Lines().end(),
              std::find(log.Lines().begin(), log.Lines().end(), "memory.ogv: unable to determine file duration!"));
}

// Nothing to show, and nothing breaks: the clip is made without a decoder or a duration.
TEST_F(OgvVideoClipTest, NoTheoraStream) {
    OgvFile missing;
    EXPECT_FALSE(missing.Open("no/such/intro.ogv"));
    MemorySource empty(Bytes{});
    MemorySource sound(VorbisOnly());
    MemorySource noise(Bytes(10000, 0x5A));
    for (OgvDataSource* source : std::initializer_list<OgvDataSource*>{&missing, &empty, &sound, &noise}) {
        log.Clear();
        OgvVideoClip* clip = manager.CreateVideoClip(source, OgvOutputRGB);
        EXPECT_FALSE(clip->HasDecoder()) << source->Name();
        EXPECT_EQ(0, clip->GetWidth()) << source->Name();
        EXPECT_EQ(-1.0f, clip->GetDuration()) << source->Name();
        EXPECT_EQ(0, clip->GetNumFrames()) << source->Name();
        EXPECT_EQ(source->Name() + ": unable to determine file duration!", log.Lines().back());
        manager.DestroyVideoClip(clip);
    }
}

TEST_F(OgvVideoClipTest, DamagedHeadersThrow) {
    NullOutputFactory sound;
    manager.SetAudioInterfaceFactory(&sound);
    const std::vector<Page> silent = SplitPages(SilentClip());
    const std::vector<Page> mono = SplitPages(MonoClip());
    const int video = videoenc::kVideoSerial, audio = videoenc::kSoundSerial;
    auto without = [](std::vector<Page> pages, size_t index) {
        pages.erase(pages.begin() + long(index));
        return JoinPages(pages);
    };
    auto changed = [](std::vector<Page> pages, size_t index, size_t offset, uint8_t value) {
        ChangeBodyByte(pages[index], offset, value);
        return JoinPages(pages);
    };
    ClipDesc fourFourFour;
    fourFourFour.pixelFormat = TH_PF_444;
    ClipDesc tooWide;
    tooWide.width = 4112;
    tooWide.height = 16;
    tooWide.frames = 1;
    const struct {
        const char* name;
        Bytes bytes;
        std::string text;
    } cases[] = {
        {"Theora comment page missing", without(silent, PageOf(silent, video, 1)),
         "OgvGenericException: [OgvVideoClip:580] - Error parsing Theora stream headers."},
        {"Theora comment not a header", changed(silent, PageOf(silent, video, 1), 1, 'T'),
         "OgvGenericException: [OgvVideoClip:583] - invalid theora stream"},
        {"Theora setup damaged", changed(silent, PageOf(silent, video, 2), 7, 0xFF),
         "OgvGenericException: [OgvVideoClip:583] - invalid theora stream"},
        {"Vorbis comment page missing", without(mono, PageOf(mono, audio, 1)),
         "OgvGenericException: [OgvVideoClip:594] - Error parsing vorbis stream headers"},
        {"Vorbis comment not a header", changed(mono, PageOf(mono, audio, 1), 2, 'V'),
         "OgvGenericException: [OgvVideoClip:597] - invalid stream"},
        {"only the first page", JoinPages({silent[0]}),
         "OgvGenericException: [OgvVideoClip:617] - End of file found prematurely"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, Fails(c.bytes)) << c.name;
        EXPECT_TRUE(manager.GetClips().empty()) << c.name;
    }
    // Streams and modes the converters cannot serve.
    EXPECT_NE(std::string::npos, Fails(MakeClip(fourFourFour)).find("] - Theora pixel format is not 4:2:0"));
    EXPECT_NE(std::string::npos, Fails(MakeClip(tooWide)).find("] - Theora frame side above 4096"));
    EXPECT_NE(std::string::npos, Fails(SilentClip(), 0).find("] - output mode 0 is not one of 1 to 13"));
    EXPECT_NE(std::string::npos, Fails(SilentClip(), 14).find("] - output mode 14 is not one of 1 to 13"));
    EXPECT_EQ(0, sound.made);

    // The manager's lock was let go: another thread can take it.
    OgvWorkerThread worker;
    std::thread([&] { EXPECT_EQ(nullptr, manager.PickClipForWorker(&worker)); }).join();
}

TEST(OgvGenericExceptionTest, FileIsCutBehindSrc) {
    const struct {
        std::string file;
        std::string kept;
    } cases[] = {
        {"OgvVideoClip", "OgvVideoClip"},
        {"Video/ogv/OgvVideoClip", "Video/ogv/OgvVideoClip"},
        {"c:/work/src/ogv/OgvVideoClip.cpp", "ogv/OgvVideoClip.cpp"},
        {"src/a/src/b.cpp", "a/src/b.cpp"},
        {"src", ""},
        {std::string(1500, 'x'), std::string(1000, 'x')},
    };
    for (const auto& c : cases) {
        _OgvGenericException error("went wrong", "Kind", c.file, 12);
        EXPECT_EQ(c.kept, error.GetFile()) << c.file;
    }
    _OgvGenericException noFile("went wrong", "Kind", "", 3);
    EXPECT_EQ("Kind: went wrong", noFile.GetText());
    _OgvGenericException noType("went wrong", "", "a.cpp", 3);
    EXPECT_EQ("[a.cpp:3] - went wrong", noType.GetText());
    _OgvGenericException copy(noType);
    EXPECT_EQ("went wrong", copy.GetErrorText());
}

}  // namespace
