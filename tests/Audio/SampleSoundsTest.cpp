// Every sound of the sample data decodes through its handler.
#include "Audio/CSSampleHandler.h"
#include "AudioFixtures.h"
#include "tools/catalogue/Sounds.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace audiotest;

namespace {

std::string SoundPath(const char* name) {
    const char* build = std::getenv("DM_BUILD_DIR");
    // Tests run in the build folder's tests/ folder when DM_BUILD_DIR is not given.
    return std::string(build ? build : "..") + "/game/" + catalogue::sounds::FolderPath() + name;
}

// Decodes the whole sound as a sound load does; false when anything is missing.
void ExpectDecodes(const char* name, bool music) {
    SCOPED_TRACE(name);
    const std::string path = SoundPath(name);
    ASSERT_TRUE(fs::exists(path)) << path;
    EXPECT_GE(fs::file_size(path), catalogue::sounds::kMinimumFileSize);

    HandlerRef handler(path);
    const SampleFormat* format = WaitForHeader(handler.get());
    ASSERT_NE(nullptr, format);
    EXPECT_TRUE(format->channels == 1 || format->channels == 2);
    EXPECT_TRUE(format->bitsPerSample == 8 || format->bitsPerSample == 16);
    // Music lasts at least a minute, and its "size=" comment says how long: the handler adds
    // half a second to it, and assumes an hour without it.
    if (music) {
        const uint32_t stated = format->frameCount - format->rate / 2;
        EXPECT_GE(stated, format->rate * 60);
        EXPECT_LT(format->frameCount, format->rate * 3600);
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const size_t decoded = ReferenceDecode(file).size() / format->channels;
        EXPECT_NEAR(static_cast<double>(decoded), stated, format->rate / 100.0);
    }
    const double seconds = static_cast<double>(format->frameCount) / format->rate;
    EXPECT_GT(seconds, 0.1);

    const size_t bytes = static_cast<size_t>(format->frameCount) * format->channels * (format->bitsPerSample / 8);
    std::vector<uint8_t> samples(bytes, 0xA5);
    handler->RequestRead(samples.data(), 0, format->frameCount, &samples);
    ASSERT_TRUE(WaitForRequest(handler.get(), &samples));

    // A designed sound, not silence: the samples move well away from the rest level.
    int peak = 0;
    for (size_t i = 0; i + 1 < bytes; i += format->bitsPerSample / 8) {
        const int v = format->bitsPerSample == 8 ? (samples[i] - 128) * 256
                                                 : static_cast<int16_t>(samples[i] | (samples[i + 1] << 8));
        peak = std::max(peak, std::abs(v));
    }
    EXPECT_GT(peak, 8000);
}

}  // namespace

TEST(SampleSounds, EveryEffectDecodes) {
    for (const char* name : catalogue::sounds::kEffects) ExpectDecodes(name, false);
}

TEST(SampleSounds, MusicDecodes) {
    for (const char* name : catalogue::sounds::kMusic) ExpectDecodes(name, true);
}
