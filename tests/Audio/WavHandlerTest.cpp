#include "Audio/CSSampleHandlerWAV.h"
#include "AudioFixtures.h"

#include <gtest/gtest.h>

using namespace audiotest;

namespace {

struct Parsed {
    const SampleFormat* format;
    uint32_t dataOffset;
};

Parsed Parse(const HandlerRef& handler) {
    const SampleFormat* format = WaitForHeader(handler.get());
    return {format, static_cast<CSSampleHandlerWAV*>(handler.get())->GetDataOffset()};
}

}  // namespace

TEST(WavHandler, HeaderGivesFormatAndDataOffset) {
    TempDir dir;
    const struct {
        const char* name;
        WavLayout layout;
        uint32_t channels, bits, frames, dataOffset;
    } cases[] = {
        {"16-byte format chunk", WavLayout(), 2, 16, 44100, 44},
        {"18-byte format chunk",
         [] {
             WavLayout l;
             l.fmtSize = 18;
             return l;
         }(),
         2, 16, 44100, 46},
        {"one PAD chunk",
         [] {
             WavLayout l;
             l.padChunks = {4000};
             return l;
         }(),
         2, 16, 44100, 4052},
        {"8-bit mono",
         [] {
             WavLayout l;
             l.channels = 1;
             l.bits = 8;
             l.dataSize = l.dataBytes = 9000;
             return l;
         }(),
         1, 8, 9000, 44},
        {"extensible PCM",
         [] {
             WavLayout l;
             l.formatTag = 0xFFFE;
             l.fmtSize = 40;
             return l;
         }(),
         2, 16, 44100, 68},
    };
    for (const auto& c : cases) {
        HandlerRef handler(dir.Write("a.wav", MakeWav(c.layout)));
        const Parsed parsed = Parse(handler);
        ASSERT_NE(nullptr, parsed.format) << c.name;
        EXPECT_EQ(c.channels, parsed.format->channels) << c.name;
        EXPECT_EQ(44100u, parsed.format->rate) << c.name;
        EXPECT_EQ(c.bits, parsed.format->bitsPerSample) << c.name;
        EXPECT_EQ(c.frames, parsed.format->frameCount) << c.name;
        EXPECT_EQ(c.dataOffset, parsed.dataOffset) << c.name;
        EXPECT_EQ(parsed.format, handler->ParseHeader());  // parsed once, then kept
    }
}

TEST(WavHandler, UnacceptableHeadersCloseTheFile) {
    TempDir dir;
    auto with = [](auto change) {
        WavLayout l;
        change(l);
        return MakeWav(l);
    };
    auto tagged = [](size_t at, const char* tag) {
        std::vector<uint8_t> bytes = MakeWav(WavLayout());
        std::memcpy(bytes.data() + at, tag, 4);
        return bytes;
    };
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"two PAD chunks", with([](WavLayout& l) {
             l.padChunks = {100, 100};
         })},
        {"shorter than 8192 bytes", with([](WavLayout& l) { l.dataSize = l.dataBytes = 5000 - 44; })},
        {"empty file", {}},
        {"no RIFF", tagged(0, "RIFX")},
        {"no WAVE", tagged(8, "AVI ")},
        {"no fmt", tagged(12, "fmt_")},
        {"format chunk of 15 bytes", with([](WavLayout& l) { l.fmtSize = 15; })},
        {"format chunk of 4097 bytes", with([](WavLayout& l) { l.fmtSize = 4097; })},
        {"no channels", with([](WavLayout& l) { l.channels = 0; })},
        {"4 bits", with([](WavLayout& l) { l.bits = 4; })},
        {"ADPCM", with([](WavLayout& l) { l.formatTag = 2; })},
        {"float", with([](WavLayout& l) {
             l.formatTag = 3;
             l.bits = 32;
         })},
        {"extensible float", with([](WavLayout& l) {
             l.formatTag = 0xFFFE;
             l.fmtSize = 40;
             l.extensiblePcm = false;
         })},
        {"24 bits", with([](WavLayout& l) { l.bits = 24; })},
        {"3 channels", with([](WavLayout& l) { l.channels = 3; })},
        {"rate 0", with([](WavLayout& l) { l.rate = 0; })},
        {"LIST instead of data", with([](WavLayout& l) { l.dataTag = "LIST"; })},
        {"PAD running past the header", with([](WavLayout& l) { l.padChunks = {8192}; })},
    };
    for (const auto& c : cases) {
        HandlerRef handler(dir.Write("a.wav", c.bytes));
        EXPECT_EQ(nullptr, WaitForHeader(handler.get())) << c.name;
        EXPECT_FALSE(handler->IsOpen()) << c.name;
        EXPECT_EQ(nullptr, handler->ParseHeader()) << c.name;
        EXPECT_TRUE(handler->IsRequestDone(&c)) << c.name;
    }
}

TEST(WavHandler, FramesAreReadStraightFromTheFile) {
    TempDir dir;
    WavLayout layout;
    layout.channels = 1;
    const std::vector<uint8_t> file = MakeWav(layout);
    HandlerRef handler(dir.Write("a.wav", file));
    ASSERT_NE(nullptr, Parse(handler).format);

    // 1,000 frames from frame 500 of 16-bit mono: bytes 1,044 to 3,043 of the file.
    std::vector<uint8_t> frames(2000);
    handler->RequestRead(frames.data(), 500, 1000, &frames);
    ASSERT_TRUE(WaitForRequest(handler.get(), &frames));
    EXPECT_TRUE(std::equal(frames.begin(), frames.end(), file.begin() + 1044));
    EXPECT_EQ(1234u, handler->SeekTo(1234));
    EXPECT_FALSE(handler->IsAtEnd());
    EXPECT_FALSE(handler->IsBusy());
}

TEST(WavHandler, DataPastTheEndOfTheFileIsSilence) {
    TempDir dir;
    for (uint16_t bits : {8, 16}) {
        WavLayout layout;
        layout.channels = 1;
        layout.bits = bits;
        layout.dataSize = 100000;
        layout.dataBytes = 9000;  // the file ends long before the data the header announces
        const std::vector<uint8_t> file = MakeWav(layout);
        HandlerRef handler(dir.Write("a.wav", file));
        const SampleFormat* format = Parse(handler).format;
        ASSERT_NE(nullptr, format);
        ASSERT_EQ(100000u / (bits / 8), format->frameCount);

        std::vector<uint8_t> all(100000, 0xAA);
        handler->RequestRead(all.data(), 0, format->frameCount, &all);
        ASSERT_TRUE(WaitForRequest(handler.get(), &all));
        EXPECT_TRUE(std::equal(file.begin() + 44, file.end(), all.begin()));
        const uint8_t silence = bits == 8 ? 0x80 : 0x00;
        EXPECT_TRUE(std::all_of(all.begin() + 9000, all.end(), [&](uint8_t b) { return b == silence; })) << bits;
    }
}

TEST(WavHandler, RequestersSeeOnlyTheirOwnReads) {
    TempDir dir;
    WavLayout layout;
    layout.channels = 1;
    // The buffers outlive the handler, which waits for its reads when it is deleted.
    std::vector<uint8_t> early(200), late(200), refused(200, 0x33), filler(15 * 200);
    HandlerRef handler(dir.Write("a.wav", MakeWav(layout)));
    ASSERT_NE(nullptr, Parse(handler).format);

    ReadControl control(UINT64_MAX, 100000);  // reads from byte 100,000 on wait for Release
    const int keyEarly = 0, keyLate = 0, keyFiller = 0, keyRefused = 0;
    handler->RequestRead(late.data(), 60000, 100, &keyLate);
    handler->RequestRead(early.data(), 0, 100, &keyEarly);
    EXPECT_TRUE(WaitForRequest(handler.get(), &keyEarly));
    EXPECT_FALSE(handler->IsRequestDone(&keyLate));
    EXPECT_TRUE(handler->IsRequestDone(&early));  // a key with nothing in flight

    // With all 16 reader slots busy a read is refused: done at once, destination unchanged.
    for (int i = 0; i < 15; ++i) handler->RequestRead(filler.data() + 200 * i, 60000, 100, &keyFiller);
    handler->RequestRead(refused.data(), 0, 100, &keyRefused);
    EXPECT_TRUE(handler->IsRequestDone(&keyRefused));
    EXPECT_EQ(std::vector<uint8_t>(200, 0x33), refused);
    // Also one that runs past the end of the data, whose tail would be silence.
    std::vector<uint8_t> refusedTail(200, 0x33);
    handler->RequestRead(refusedTail.data(), 88150, 100, &keyRefused);
    EXPECT_TRUE(handler->IsRequestDone(&keyRefused));
    EXPECT_EQ(std::vector<uint8_t>(200, 0x33), refusedTail);
    EXPECT_FALSE(handler->IsRequestDone(&keyFiller));

    control.Release();
    handler->FinishRequest(&keyLate);
    EXPECT_TRUE(handler->IsRequestDone(&keyLate));
    EXPECT_EQ(PatternByte(44 + 120000), late[0]);
}

TEST(WavHandler, FailedReadsEndTheWait) {
    TempDir dir;
    WavLayout layout;
    layout.channels = 1;
    const std::vector<uint8_t> file = MakeWav(layout);
    {
        // The header read itself fails after it was issued.
        ReadControl control(0);
        HandlerRef handler(dir.Write("a.wav", file));
        EXPECT_EQ(nullptr, WaitForHeader(handler.get()));
        EXPECT_FALSE(handler->IsOpen());
    }
    HandlerRef handler(dir.Write("b.wav", file));
    ASSERT_NE(nullptr, Parse(handler).format);
    ReadControl control(50000);
    std::vector<uint8_t> frames(40000);
    handler->RequestRead(frames.data(), 10000, 20000, &frames);
    EXPECT_TRUE(WaitForRequest(handler.get(), &frames));
    handler->RequestRead(frames.data(), 30000, 20000, &frames);
    handler->FinishRequest(&frames);
    EXPECT_TRUE(handler->IsRequestDone(&frames));
}

TEST(WavHandler, AReadThatDeliversLessThanTheFileHoldsIsMarkedFailed) {
    TempDir dir;
    WavLayout layout;
    layout.channels = 1;
    layout.dataSize = 400000;  // runs 223,600 bytes past the end of the file: silence, not a failure
    HandlerRef handler(dir.Write("c.wav", MakeWav(layout)));
    ASSERT_NE(nullptr, Parse(handler).format);
    ReadControl control(100000);  // reads fail from byte 100,000 on
    const struct {
        uint32_t firstFrame;
        uint32_t frames;
        bool failed;
    } cases[] = {
        {0, 20000, false},       // before the failing bytes
        {40000, 20000, true},    // runs into them
        {60000, 100, true},      // starts in them
        {0, 100, false},         // a further request clears the mark
        {100000, 50000, false},  // wholly past the end of the file: nothing to read
    };
    std::vector<uint8_t> frames(100000);
    int other;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.firstFrame);
        handler->RequestRead(frames.data(), c.firstFrame, c.frames, &frames);
        ASSERT_TRUE(WaitForRequest(handler.get(), &frames));
        EXPECT_EQ(c.failed, handler->HasRequestFailed(&frames));
        EXPECT_FALSE(handler->HasRequestFailed(&other));
    }
}
