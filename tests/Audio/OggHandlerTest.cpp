#include "Audio/CSSampleHandlerOGG.h"
#include "AudioFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace audiotest;

namespace {

std::vector<uint8_t> Encode(const std::vector<float>& pcm, int channels, long rate, std::vector<std::string> comments,
                            float quality = 0.3f) {
    return soundenc::EncodeOggVorbis(pcm, channels, rate, quality, comments);
}

// About 100,000 bytes: above the whole-file limit, below the limit with the priority byte.
const std::vector<uint8_t>& MediumFile() {
    static const std::vector<uint8_t> file =
        Encode(TestSignal(kRate * 5, 2, kRate, 7, 0.1f), 2, kRate, {"size=5000"}, 0.4f);
    return file;
}

// Well under 65,536 bytes.
const std::vector<uint8_t>& SmallFile() {
    static const std::vector<uint8_t> file = Encode(TestSignal(kRate, 1, kRate), 1, kRate, {"size=1000"});
    return file;
}

// Reads frames through the handler in chunks as a playing stream does; `failed` tells
// whether any of the chunks was reported failed.
std::vector<int16_t> ReadFrames(CSSampleHandler* handler, uint32_t first, uint32_t count, uint32_t chunk = 16384,
                                bool* failed = nullptr) {
    const uint32_t channels = handler->ParseHeader()->channels;
    std::vector<int16_t> out(static_cast<size_t>(count) * channels, 0x5A5A);
    if (failed) *failed = false;
    for (uint32_t done = 0; done < count;) {
        const uint32_t n = std::min(chunk, count - done);
        handler->RequestRead(out.data() + static_cast<size_t>(done) * channels, first + done, n, &out);
        if (failed && handler->HasRequestFailed(&out)) *failed = true;
        done += n;
    }
    return out;
}

std::vector<int16_t> Slice(const std::vector<int16_t>& pcm, size_t firstFrame, size_t frames, int channels) {
    std::vector<int16_t> out(frames * channels, 0);
    for (size_t i = 0; i < frames * channels; ++i) {
        const size_t at = firstFrame * channels + i;
        if (at < pcm.size()) out[i] = pcm[at];
    }
    return out;
}

}  // namespace

TEST(OggHandler, SamplesAreScaledTruncatedAndClamped) {
    const struct {
        float in;
        int16_t out;
    } cases[] = {{1.0f, 32765},
                 {-1.0f, -32765},
                 {1.5f, 32766},
                 {-1.5f, -32767},
                 {0.0f, 0},
                 {0.5f, 16382},
                 {-0.5f, -16382},
                 {std::numeric_limits<float>::infinity(), 32766},
                 {std::numeric_limits<float>::quiet_NaN(), 0}};
    for (const auto& c : cases) EXPECT_EQ(c.out, CSSampleHandlerOGG::ConvertSample(c.in)) << c.in;
}

TEST(OggHandler, SmallFilesAreReadWholeAndLargerOnesThroughTwoBuffers) {
    ASSERT_LT(SmallFile().size(), 65536u);
    ASSERT_GT(MediumFile().size(), 65536u);
    ASSERT_LE(MediumFile().size(), 131072u);
    TempDir dir;
    int channels = 0;
    const std::vector<int16_t> reference = ReferenceDecode(MediumFile(), &channels);
    const size_t frames = reference.size() / 2;

    const struct {
        const std::vector<uint8_t>* file;
        uint8_t priority;
        bool whole;
    } cases[] = {{&SmallFile(), 0, true}, {&MediumFile(), 0, false}, {&MediumFile(), 1, true}};
    for (const auto& c : cases) {
        HandlerRef handler(dir.Write("m.ogg", *c.file), c.priority);
        const SampleFormat* format = WaitForHeader(handler.get());
        ASSERT_NE(nullptr, format);
        auto* ogg = static_cast<CSSampleHandlerOGG*>(handler.get());
        EXPECT_EQ(c.whole, ogg->IsWholeFile());
        if (c.file != &MediumFile()) continue;

        // The whole stream, then silence for every frame requested after it.
        EXPECT_EQ(2u, format->channels);
        EXPECT_EQ(16u, format->bitsPerSample);
        EXPECT_EQ(static_cast<uint32_t>(kRate / 2 + 5 * kRate), format->frameCount);
        const std::vector<int16_t> pcm = ReadFrames(handler.get(), 0, format->frameCount);
        EXPECT_EQ(Slice(reference, 0, format->frameCount, 2), pcm) << "priority " << int(c.priority);
        EXPECT_LT(frames, format->frameCount);
        EXPECT_TRUE(handler->IsAtEnd());
    }
}

TEST(OggHandler, LengthComesFromTheLastSizeComment) {
    TempDir dir;
    const std::vector<float> mono = TestSignal(2000, 1, kRate);
    const struct {
        std::vector<std::string> comments;
        long rate;
        uint8_t looping;
        uint32_t frames;
    } cases[] = {
        {{"size=12000"}, 44100, 0, 551250}, {{"size=12000"}, 44100, 1, 529200},
        {{}, 22050, 0, 79380000},           {{"TITLE=x", "size=500", "size=12000"}, 44100, 0, 551250},
        {{"size=abc"}, 22050, 0, 79380000}, {{"Size=12000"}, 22050, 0, 79380000},
    };
    for (const auto& c : cases) {
        HandlerRef handler(dir.Write("l.ogg", Encode(mono, 1, c.rate, c.comments)), 0, c.looping);
        const SampleFormat* format = WaitForHeader(handler.get());
        ASSERT_NE(nullptr, format);
        EXPECT_EQ(c.frames, format->frameCount) << (c.comments.empty() ? "" : c.comments.back());
        EXPECT_EQ(static_cast<uint32_t>(c.rate), format->rate);
    }
}

TEST(OggHandler, RequestForFrameZeroRestartsOthersContinue) {
    TempDir dir;
    const std::vector<int16_t> reference = ReferenceDecode(MediumFile());
    for (uint8_t looping : {0, 1}) {
        HandlerRef handler(dir.Write("m.ogg", MediumFile()), 0, looping);
        ASSERT_NE(nullptr, WaitForHeader(handler.get()));
        EXPECT_EQ(Slice(reference, 0, 2000, 2), ReadFrames(handler.get(), 0, 2000));
        // Not frame 0: continues where decoding stands, whatever frame was asked for.
        EXPECT_EQ(Slice(reference, 2000, 3000, 2), ReadFrames(handler.get(), 5000, 3000));
        ReadControl control;
        EXPECT_EQ(Slice(reference, 0, 2000, 2), ReadFrames(handler.get(), 0, 2000));
        // A looping handler keeps the first 32 KiB and does not read them again.
        EXPECT_EQ(looping ? 0 : 1, ReadControl::ReadsAtZero()) << int(looping);
    }
}

TEST(OggHandler, SeekDecodesForwardWithoutOutputOrStartsOver) {
    TempDir dir;
    const std::vector<int16_t> reference = ReferenceDecode(MediumFile());
    HandlerRef handler(dir.Write("m.ogg", MediumFile()));
    ASSERT_NE(nullptr, WaitForHeader(handler.get()));
    auto* ogg = static_cast<CSSampleHandlerOGG*>(handler.get());

    EXPECT_EQ(1000u, handler->SeekTo(1000));
    EXPECT_EQ(1000u, ogg->GetDecodedFrames());
    EXPECT_EQ(1000u, handler->SeekTo(1000));
    EXPECT_EQ(Slice(reference, 1000, 500, 2), ReadFrames(handler.get(), 1000, 500));
    EXPECT_EQ(0u, handler->SeekTo(0));
    EXPECT_EQ(Slice(reference, 0, 500, 2), ReadFrames(handler.get(), 0, 500));
    // Past the end: stops where the stream ends.
    EXPECT_EQ(reference.size() / 2, handler->SeekTo(50000000));
}

TEST(OggHandler, TwoRequestersShareOneDecodingPosition) {
    TempDir dir;
    const std::vector<int16_t> reference = ReferenceDecode(MediumFile());
    HandlerRef handler(dir.Write("m.ogg", MediumFile()));
    ASSERT_NE(nullptr, WaitForHeader(handler.get()));
    const int first = 0, second = 0;
    std::vector<int16_t> a(2000 * 2), b(2000 * 2);
    handler->RequestRead(a.data(), 0, 2000, &first);
    handler->RequestRead(b.data(), 0, 2000, &second);  // restarts decoding under the first
    handler->RequestRead(a.data(), 2000, 2000, &first);
    EXPECT_TRUE(handler->IsRequestDone(&first));
    EXPECT_EQ(Slice(reference, 0, 2000, 2), b);
    EXPECT_EQ(Slice(reference, 2000, 2000, 2), a);
}

TEST(OggHandler, LongSilenceThatOverflowsTheRingLosesNothing) {
    // Digital silence encodes into tiny packets: one 4 KiB feed decodes to more frames than
    // the ring holds.
    std::vector<float> pcm(static_cast<size_t>(kRate) * 2 * 12, 0.0f);
    const std::vector<float> tone = TestSignal(kRate, 2, kRate);
    std::copy(tone.begin(), tone.end(), pcm.begin() + kRate * 2 * 6);
    const std::vector<uint8_t> file = Encode(pcm, 2, kRate, {"size=12000"});
    const std::vector<int16_t> reference = ReferenceDecode(file);
    TempDir dir;
    HandlerRef handler(dir.Write("s.ogg", file));
    const SampleFormat* format = WaitForHeader(handler.get());
    ASSERT_NE(nullptr, format);
    const uint32_t frames = static_cast<uint32_t>(reference.size() / 2);
    for (uint32_t chunk : {16384u, 100000u}) {
        EXPECT_EQ(reference, ReadFrames(handler.get(), 0, frames, chunk)) << chunk;
    }
}

TEST(OggHandler, UnusableFilesCloseTheHandler) {
    TempDir dir;
    std::mt19937 random(3);
    std::vector<uint8_t> noise(100000);
    for (uint8_t& b : noise) b = static_cast<uint8_t>(random());
    const std::vector<uint8_t> sixChannels = WithChannelCount(SmallFile(), 6);
    int channels = 0;
    ReferenceDecode(sixChannels, &channels);
    ASSERT_EQ(6, channels);  // libvorbis accepts its headers
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"random bytes", noise},
        {"random small file", std::vector<uint8_t>(noise.begin(), noise.begin() + 3000)},
        {"cut inside the headers", std::vector<uint8_t>(MediumFile().begin(), MediumFile().begin() + 1500)},
        {"six channels", sixChannels},
    };
    for (const auto& c : cases) {
        HandlerRef handler(dir.Write("bad.ogg", c.bytes));
        EXPECT_EQ(nullptr, WaitForHeader(handler.get())) << c.name;
        EXPECT_FALSE(handler->IsOpen()) << c.name;
        std::vector<int16_t> pcm(100, 7);
        handler->RequestRead(pcm.data(), 0, 50, &pcm);
        EXPECT_EQ(std::vector<int16_t>(100, 7), pcm) << c.name;
    }
}

TEST(OggHandler, DamagedStreamsEndWithoutHanging) {
    TempDir dir;
    const std::vector<uint8_t>& file = MediumFile();
    const std::vector<int16_t> reference = ReferenceDecode(file);
    const uint32_t frames = static_cast<uint32_t>(reference.size() / 2);

    // Cut in the middle: what is there, then silence. The file ends; no read failed.
    bool failed = true;
    {
        const std::vector<uint8_t> cut(file.begin(), file.begin() + 80000);
        const std::vector<int16_t> partial = ReferenceDecode(cut);
        HandlerRef handler(dir.Write("cut.ogg", cut));
        ASSERT_NE(nullptr, WaitForHeader(handler.get()));
        const std::vector<int16_t> pcm = ReadFrames(handler.get(), 0, frames, 16384, &failed);
        EXPECT_EQ(Slice(partial, 0, frames, 2), pcm);
        EXPECT_TRUE(handler->IsAtEnd());
        EXPECT_FALSE(failed);
    }
    // A page missing in the middle: the handler closes during the request.
    {
        std::vector<uint8_t> gap = file;
        size_t page = 60000;
        while (std::memcmp(&gap[page], "OggS", 4) != 0) ++page;
        size_t next = page + 4;
        while (std::memcmp(&gap[next], "OggS", 4) != 0) ++next;
        gap.erase(gap.begin() + page, gap.begin() + next);
        HandlerRef handler(dir.Write("gap.ogg", gap));
        ASSERT_NE(nullptr, WaitForHeader(handler.get()));
        ReadFrames(handler.get(), 0, frames, 16384, &failed);
        EXPECT_FALSE(handler->IsOpen());
        EXPECT_TRUE(failed);
    }
    // A file read that fails after it was issued ends the stream.
    {
        ReadControl control(70000);
        HandlerRef handler(dir.Write("fail.ogg", file));
        ASSERT_NE(nullptr, WaitForHeader(handler.get()));
        const std::vector<int16_t> pcm = ReadFrames(handler.get(), 0, frames, 16384, &failed);
        EXPECT_TRUE(handler->IsAtEnd());
        EXPECT_EQ(Slice(reference, 0, 1000, 2), Slice(pcm, 0, 1000, 2));
        EXPECT_TRUE(failed);
        // Decoding from the start again begins a new pass: the failure is behind it.
        std::vector<int16_t> first(2000);
        handler->RequestRead(first.data(), 0, 1000, &first);
        EXPECT_FALSE(handler->HasRequestFailed(&first));
        EXPECT_EQ(Slice(reference, 0, 1000, 2), first);
    }
}

TEST(OggHandler, DecodingWaitsForTheNextBufferStillInFlight) {
    TempDir dir;
    const std::vector<int16_t> reference = ReferenceDecode(MediumFile());
    ReadControl control(UINT64_MAX, 32768);  // the second buffer and all later ones are held
    HandlerRef handler(dir.Write("m.ogg", MediumFile()));
    ASSERT_NE(nullptr, WaitForHeader(handler.get()));
    std::thread releaser([&control] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        control.Release();
    });
    const uint32_t frames = static_cast<uint32_t>(reference.size() / 2);
    const std::vector<int16_t> pcm = ReadFrames(handler.get(), 0, frames);
    releaser.join();
    EXPECT_EQ(reference, pcm);
}
