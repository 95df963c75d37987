#include "Audio/CSSampleHandler.h"
#include "Audio/SampleSourceInfo.h"
#include "AudioFixtures.h"

#include <gtest/gtest.h>

using namespace audiotest;

namespace {

bool IsCached(const CSSampleHandler* handler) {
    for (CSSampleHandler* h = CSSampleHandler::GetFirstCached(); h; h = h->GetNextCached()) {
        if (h == handler) return true;
    }
    return false;
}

class SampleHandlerCache : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0, CachedCount()); }
    void TearDown() override {
        for (CSSampleHandler* h : held_) h->Release();
        CSSampleHandler::PurgeUnused();
        EXPECT_EQ(0, CachedCount());
    }
    CSSampleHandler* Take(const SampleSourceInfo& info, uint8_t priority = 0, uint8_t looping = 0) {
        CSSampleHandler* h = CSSampleHandler::FindOrCreate(info, priority, looping);
        held_.push_back(h);
        return h;
    }
    void GiveBack(CSSampleHandler* h) {
        h->Release();
        held_.erase(std::find(held_.begin(), held_.end(), h));
    }

    TempDir dir_;
    std::vector<CSSampleHandler*> held_;
};

}  // namespace

TEST(SampleSourceInfo, FormatCodeFollowsTheEndingWithoutRegardToCase) {
    const struct {
        const char* path;
        int32_t format;
    } cases[] = {
        {"sounds/MainMenuOGG.ogg", SAMPLE_FORMAT_OGG},
        {"sounds/mainmenuogg.OGG", SAMPLE_FORMAT_OGG},
        {".ogg", SAMPLE_FORMAT_OGG},
        {"a.MP3", SAMPLE_FORMAT_MP3},
        {"btnpress.wav", SAMPLE_FORMAT_WAV},
        {"ogg", SAMPLE_FORMAT_WAV},
        {"noending", SAMPLE_FORMAT_WAV},
        {"", SAMPLE_FORMAT_WAV},
    };
    for (const auto& c : cases) {
        const SampleSourceInfo info(c.path);
        EXPECT_EQ(c.format, info.format) << c.path;
        EXPECT_EQ(c.path, info.path);
    }
    EXPECT_FALSE(EndsWithNoCase(nullptr, ".ogg"));
    EXPECT_FALSE(EndsWithNoCase("a.ogg", ""));
    EXPECT_FALSE(EndsWithNoCase("a.ogg", nullptr));
}

TEST_F(SampleHandlerCache, AWavHandlerIsSharedAndStaysCachedWhenReleased) {
    const SampleSourceInfo info(dir_.Write("a.wav", MakeWav(WavLayout())));
    CSSampleHandler* first = Take(info);
    CSSampleHandler* second = Take(info);
    ASSERT_EQ(first, second);
    EXPECT_EQ(2, first->GetRefCount());

    GiveBack(first);
    GiveBack(second);
    EXPECT_EQ(0, first->GetRefCount());
    EXPECT_TRUE(IsCached(first));
    EXPECT_TRUE(first->IsOpen());  // the file stays open

    CSSampleHandler* third = Take(info);
    EXPECT_EQ(first, third);
    EXPECT_EQ(1, third->GetRefCount());
    EXPECT_EQ(1, CachedCount());
}

TEST_F(SampleHandlerCache, KeysDifferBySourceAndOptions) {
    const SampleSourceInfo wav(dir_.Write("a.wav", MakeWav(WavLayout())));
    CSSampleHandler* plain = Take(wav);
    EXPECT_NE(plain, Take(wav, 1, 0));
    EXPECT_NE(plain, Take(wav, 0, 1));

    // An OGG handler in use is busy: the same path gives a second handler.
    const SampleSourceInfo ogg(dir_.File("music.ogg"));
    CSSampleHandler* music = Take(ogg);
    EXPECT_TRUE(music->IsBusy());
    EXPECT_NE(music, Take(ogg));

    // Equal checksums of different paths do not share a handler.
    SampleSourceInfo other(dir_.Write("b.wav", MakeWav(WavLayout())));
    other.checksum = wav.checksum;
    CSSampleHandler* b = Take(other);
    EXPECT_NE(plain, b);
    EXPECT_EQ(other.path, b->GetInfo().path);
    EXPECT_EQ(6, CachedCount());
}

TEST_F(SampleHandlerCache, PurgeDeletesOnlyUnreferencedHandlers) {
    CSSampleHandler* a = Take(SampleSourceInfo(dir_.Write("a.wav", MakeWav(WavLayout()))));
    CSSampleHandler* b = Take(SampleSourceInfo(dir_.Write("b.wav", MakeWav(WavLayout()))));
    CSSampleHandler* c = Take(SampleSourceInfo(dir_.Write("c.wav", MakeWav(WavLayout()))));
    Take(b->GetInfo());
    GiveBack(a);
    GiveBack(c);  // counts 0, 2, 0

    CSSampleHandler::PurgeUnused();
    EXPECT_EQ(1, CachedCount());
    EXPECT_TRUE(IsCached(b));
    EXPECT_EQ(2, b->GetRefCount());
}
