// Sound resources: their handlers, their samples, and their release from a playing device.
#include "Audio/AudioDevice.h"
#include "Audio/CSSampleHandler.h"
#include "Audio/SoundStream.h"
#include "AudioFixtures.h"
#include "Core/Service.h"
#include "Audio/LoopbackAudio.h"

#include <gtest/gtest.h>

using namespace audiotest;

namespace {

boost::shared_ptr<Audio::Sound> Load(const std::string& path, bool stream) {
    if (stream) return Content::CreateAsset<Audio::SoundStream>(path);
    return Content::CreateAsset<Audio::Sound>(path);
}

std::vector<uint8_t> Ogg(uint32_t frames) {
    return soundenc::EncodeOggVorbis(TestSignal(frames, 1, kRate), 1, kRate, 0.3f,
                                     {soundenc::SizeComment(frames, kRate)});
}

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0, CachedCount()); }
    void TearDown() override {
        for (const auto& sound : held_) sound->Unload();
        held_.clear();
        CSSampleHandler::PurgeUnused();
        EXPECT_EQ(0, CachedCount());
    }
    boost::shared_ptr<Audio::Sound> Hold(const boost::shared_ptr<Audio::Sound>& sound) {
        if (sound) held_.push_back(sound);
        return sound;
    }

    TempDir dir_;
    std::vector<boost::shared_ptr<Audio::Sound>> held_;
};

TEST_F(SoundTest, AFailedLoadLeavesNoHandlerInTheCache) {
    WavLayout broken;
    broken.fmtSize = 8;  // a "fmt " chunk too short to hold a format
    WavLayout huge;      // 70 MiB of samples by its header: too much to decode into memory
    huge.dataSize = 70u << 20;
    std::vector<uint8_t> notOgg(20000, 'x');
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;  // empty: no file
        bool stream;
        uint64_t failFrom;  // reads from this byte on fail
        bool loads;
    } cases[] = {
        {"btnpress.wav", {}, false, UINT64_MAX, false},
        {"btnpress.wav", {}, true, UINT64_MAX, false},
        {"broken.wav", MakeWav(broken), false, UINT64_MAX, false},
        {"broken.wav", MakeWav(broken), true, UINT64_MAX, false},
        {"notogg.ogg", notOgg, true, UINT64_MAX, false},
        {"huge.wav", MakeWav(huge), false, UINT64_MAX, false},
        {"huge.wav", MakeWav(huge), true, UINT64_MAX, true},  // a stream decodes nothing ahead
        {"failing.wav", MakeWav(WavLayout()), false, 100000, false},
        {"failing.wav", MakeWav(WavLayout()), true, 100000, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.stream ? " as stream" : " as sound"));
        const std::string path = c.bytes.empty() ? dir_.File(c.name) : dir_.Write(c.name, c.bytes);
        ReadControl control(c.failFrom);
        boost::shared_ptr<Audio::Sound> sound = Hold(Load(path, c.stream));
        EXPECT_EQ(c.loads, sound != nullptr);
        EXPECT_EQ(c.loads ? 1 : 0, CachedCount());
        if (sound) {
            EXPECT_TRUE(sound->IsLoaded());
            sound->Unload();
            CSSampleHandler::PurgeUnused();
        }
    }
}

TEST_F(SoundTest, AWavPathSharesItsHandlerAnOggPathGetsASecond) {
    const std::string wav = dir_.Write("a.wav", MakeWav(WavLayout()));
    auto sound = Hold(Load(wav, false));
    auto stream = Hold(Load(wav, true));
    ASSERT_TRUE(sound && stream);
    EXPECT_EQ(sound->GetHandler(), stream->GetHandler());
    EXPECT_EQ(2, sound->GetHandler()->GetRefCount());
    EXPECT_EQ(Graphics::ResourceSound, sound->GetTypeId());
    EXPECT_EQ(wav, sound->GetName());

    const std::string ogg = dir_.Write("m.ogg", Ogg(kRate / 2));
    auto oggSound = Hold(Load(ogg, false));
    auto oggStream = Hold(Load(ogg, true));
    ASSERT_TRUE(oggSound && oggStream);
    EXPECT_NE(oggSound->GetHandler(), oggStream->GetHandler());
    EXPECT_EQ(3, CachedCount());
}

TEST_F(SoundTest, AStreamHoldsOnlyItsHandlerUntilUnloaded) {
    const std::string wav = dir_.Write("a.wav", MakeWav(WavLayout()));
    auto stream = Hold(Load(wav, true));
    ASSERT_TRUE(stream);
    EXPECT_TRUE(stream->IsStream());
    EXPECT_EQ(nullptr, stream->GetSamples());
    CSSampleHandler* handler = stream->GetHandler();
    ASSERT_NE(nullptr, handler);

    EXPECT_TRUE(stream->Unload());
    EXPECT_FALSE(stream->IsLoaded());
    EXPECT_EQ(nullptr, stream->GetHandler());
    EXPECT_EQ(nullptr, stream->GetFormat());
    // The handler stays cached, its file open, and the next load takes it again.
    EXPECT_EQ(0, handler->GetRefCount());
    EXPECT_TRUE(handler->IsOpen());
    EXPECT_TRUE(Content::ReloadAsset<Audio::SoundStream>(boost::static_pointer_cast<Audio::SoundStream>(stream)));
    EXPECT_EQ(handler, stream->GetHandler());
    EXPECT_EQ(1, handler->GetRefCount());
    // Loaded already: nothing more.
    EXPECT_TRUE(Content::ReloadAsset<Audio::SoundStream>(boost::static_pointer_cast<Audio::SoundStream>(stream)));
    EXPECT_EQ(1, handler->GetRefCount());
    EXPECT_TRUE(stream->Unload());
    EXPECT_TRUE(stream->Unload());
}

// A sound whose last reference goes without an unload gives its handler back (the
// purge of the tear-down can then close the file).
TEST_F(SoundTest, ASoundDroppedWithoutAnUnloadGivesItsHandlerBack) {
    boost::shared_ptr<Audio::Sound> sound = Load(dir_.Write("a.wav", MakeWav(WavLayout())), false);
    ASSERT_TRUE(sound);
    CSSampleHandler* handler = sound->GetHandler();
    ASSERT_EQ(1, handler->GetRefCount());
    sound.reset();
    EXPECT_EQ(0, handler->GetRefCount());
}

TEST_F(SoundTest, AWholeSoundHoldsItsDecodedSamples) {
    WavLayout mono8;
    mono8.channels = 1;
    mono8.bits = 8;
    mono8.dataSize = 1000;
    mono8.dataBytes = 8192;  // the file must hold the header buffer
    auto wav = Hold(Load(dir_.Write("m8.wav", MakeWav(mono8)), false));
    ASSERT_TRUE(wav);
    ASSERT_EQ(1000u, wav->GetFormat()->frameCount);
    std::vector<uint8_t> expected(1000);
    for (size_t i = 0; i < expected.size(); ++i) expected[i] = PatternByte(44 + i);
    EXPECT_EQ(expected, std::vector<uint8_t>(wav->GetSamples(), wav->GetSamples() + 1000));

    // An Ogg sound is decoded whole: the stream, then silence to its stated length.
    const std::vector<uint8_t> file = Ogg(kRate / 2);
    auto ogg = Hold(Load(dir_.Write("m.ogg", file), false));
    ASSERT_TRUE(ogg);
    const uint32_t frames = ogg->GetFormat()->frameCount;
    std::vector<int16_t> reference = ReferenceDecode(file);
    ASSERT_LT(reference.size(), frames);
    reference.resize(frames, 0);
    const int16_t* samples = reinterpret_cast<const int16_t*>(ogg->GetSamples());
    EXPECT_EQ(reference, std::vector<int16_t>(samples, samples + frames));
}

TEST_F(SoundTest, ReleaseRemovesEveryPlayingEntryThenUnloads) {
    Audio::LoopbackAudio output;
    Audio::AudioDevice device;
    Service<Audio::AudioDevice>::Register(&device);
    auto sound = Hold(Load(dir_.Write("a.wav", MakeWav(WavLayout())), false));
    auto other = Hold(Load(dir_.Write("b.wav", MakeWav(WavLayout())), false));
    ASSERT_TRUE(sound && other);
    ASSERT_TRUE(device.Play(sound, 0, -1.0f));
    ASSERT_TRUE(device.Play(sound, 0, -1.0f));
    ASSERT_TRUE(device.Pause(sound));
    ASSERT_TRUE(device.PlayLooped(sound, 1, -1.0f));
    ASSERT_TRUE(device.Play(other, 0, -1.0f));
    device.StopMusic();  // an entry in state AL_STOPPED, not yet removed

    EXPECT_TRUE(Content::ReleaseAsset<Audio::Sound>(sound));
    EXPECT_EQ(0, device.CountAll(sound));
    EXPECT_EQ(1, device.CountPlaying(other));
    EXPECT_FALSE(sound->IsLoaded());
    EXPECT_EQ(nullptr, sound->GetSamples());
    Service<Audio::AudioDevice>::Unregister();

    // Without an audio device only the unload remains.
    EXPECT_TRUE(Content::ReleaseAsset<Audio::Sound>(other));
    EXPECT_FALSE(other->IsLoaded());
    EXPECT_EQ(1, device.CountAll(other));
}

}  // namespace
