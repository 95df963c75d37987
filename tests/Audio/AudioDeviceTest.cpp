// The audio device on the loopback output: entries, groups, states and the streams'
// buffers, read back from OpenAL.
#include "Audio/AudioDevice.h"
#include "Audio/CSSampleHandler.h"
#include "Audio/PlayingSound.h"
#include "Audio/SoundStream.h"
#include "AudioFixtures.h"
#include "Audio/LoopbackAudio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

using namespace audiotest;
using Audio::PlayingSound;
using Loopback = Audio::LoopbackAudio;

namespace {

const boost::shared_ptr<Audio::Sound> kAny;

float GainOf(const PlayingSound* entry) {
    ALfloat gain = -1.0f;
    alGetSourcef(entry->GetSource(), AL_GAIN, &gain);
    return gain;
}

ALint SourceInt(const PlayingSound* entry, ALenum what) {
    ALint value = -1;
    alGetSourcei(entry->GetSource(), what, &value);
    return value;
}

// Frames held by a buffer of 16-bit stereo.
uint32_t FramesIn(ALuint buffer) {
    ALint bytes = 0;
    alGetBufferi(buffer, AL_SIZE, &bytes);
    return static_cast<uint32_t>(bytes) / 4;
}

bool IsListed(const Audio::AudioDevice& device, const PlayingSound* entry) {
    for (const PlayingSound* e = device.GetFirst(); e; e = e->GetNext())
        if (e == entry) return true;
    return false;
}

// Tone k, of 16 + 8k cycles per 1,024 frames, fills chunk k of a stream: the rendered
// output then shows which chunk played when.
constexpr int kWindow = 1024;
constexpr uint32_t kChunk = 16384;

std::vector<float> Tones(int chunks) {
    std::vector<float> stereo(static_cast<size_t>(chunks) * kChunk * 2);
    for (size_t i = 0; i < stereo.size() / 2; ++i) {
        const double cycles = 16 + 8 * static_cast<int>(i / kChunk);
        const float v = static_cast<float>(0.5 * std::sin(2.0 * M_PI * cycles * (i % kChunk) / kWindow));
        stereo[2 * i] = stereo[2 * i + 1] = v;
    }
    return stereo;
}

// The chunks heard, in order, from the left channel: "0 1 2 _ 3" with "_" for silence.
// Each window of 1,024 frames is told by its zero crossings; a tone or silence counts when
// it lasts at least three windows, so the windows across a change are passed over.
std::string Heard(const std::vector<int16_t>& stereo, int chunks) {
    std::vector<int> classes;
    for (size_t start = 0; start + kWindow <= stereo.size() / 2; start += kWindow) {
        int crossings = 0, peak = 0;
        for (size_t i = start; i < start + kWindow; ++i) {
            peak = std::max(peak, std::abs(static_cast<int>(stereo[2 * i])));
            if (i > start && (stereo[2 * i] >= 0) != (stereo[2 * i - 2] >= 0)) ++crossings;
        }
        int k = static_cast<int>(std::lround((crossings / 2.0 - 16) / 8));
        if (peak < 100) k = -1;
        else if (k < 0 || k >= chunks || std::abs(crossings - 2 * (16 + 8 * k)) > 3) k = -2;
        classes.push_back(k);
    }
    std::string heard;
    int last = -3;
    for (size_t i = 0; i < classes.size();) {
        size_t run = i;
        while (run < classes.size() && classes[run] == classes[i]) ++run;
        if (classes[i] != -2 && run - i >= 3 && classes[i] != last) {
            if (!heard.empty()) heard += ' ';
            heard += classes[i] == -1 ? "_" : std::to_string(classes[i]);
            last = classes[i];
        }
        i = run;
    }
    return heard;
}

class AudioDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(device_.IsInitialized()); }
    void TearDown() override {
        device_.Shutdown();
        for (const auto& sound : sounds_) sound->Unload();
        sounds_.clear();
        CSSampleHandler::PurgeUnused();
    }

    // A loaded sound or stream from a WAV file of that many frames.
    boost::shared_ptr<Audio::Sound> Wav(uint32_t frames, bool stream, uint16_t channels = 2, uint16_t bits = 16) {
        WavLayout layout;
        layout.channels = channels;
        layout.bits = bits;
        layout.dataSize = frames * channels * (bits / 8);
        // The handler takes its header from the first 8192 bytes of a file.
        layout.dataBytes = std::max<size_t>(layout.dataSize, 8192);
        const std::string path = dir_.Write("s" + std::to_string(sounds_.size()) + ".wav", MakeWav(layout));
        boost::shared_ptr<Audio::Sound> sound;
        if (stream) sound = Content::CreateAsset<Audio::SoundStream>(path);
        else sound = Content::CreateAsset<Audio::Sound>(path);
        EXPECT_TRUE(sound) << path;
        if (sound) sounds_.push_back(sound);
        return sound;
    }

    // One frame of the game: the reads of the streams finish (a frame lasts long enough for
    // the disk), the mix advances by a frame's samples, then the device's update.
    std::vector<int16_t> Frame(int samples = Loopback::kFrameSamples) {
        for (PlayingSound* e = device_.GetFirst(); e; e = e->GetNext()) {
            if (e->GetPending() != 0) WaitForRequest(e->GetSound()->GetHandler(), e);
        }
        std::vector<int16_t> mix = Loopback::Render(samples);
        device_.Update();
        return mix;
    }

    static int SilentWindows(const std::vector<int16_t>& stereo) {
        int silent = 0;
        for (size_t start = 0; start + kWindow <= stereo.size() / 2; start += kWindow) {
            int peak = 0;
            for (size_t i = start; i < start + kWindow; ++i) peak = std::max(peak, std::abs(int(stereo[2 * i])));
            if (peak < 100) ++silent;
        }
        return silent;
    }

    // A loaded stream of tone chunks, as WAV or as Ogg Vorbis.
    boost::shared_ptr<Audio::Sound> ToneStream(int chunks, bool ogg = false) {
        const std::vector<float> tones = Tones(chunks);
        const std::string name = "t" + std::to_string(sounds_.size());
        const std::string path =
            ogg ? dir_.Write(name + ".ogg",
                             soundenc::EncodeOggVorbis(tones, 2, Loopback::kRate, 0.4f,
                                                       {soundenc::SizeComment(tones.size() / 2, Loopback::kRate)}))
                : dir_.Write(name + ".wav",
                             soundenc::MakeWav(soundenc::QuantisePcm(tones, 16), 2, Loopback::kRate, 16));
        boost::shared_ptr<Audio::Sound> sound = Content::CreateAsset<Audio::SoundStream>(path);
        EXPECT_TRUE(sound) << path;
        if (sound) sounds_.push_back(sound);
        return sound;
    }

    // Frames of the game for the mix's frames, collecting what they render.
    void PlayFrames(uint32_t frames, std::vector<int16_t>& out) {
        for (uint32_t done = 0; done < frames; done += Loopback::kFrameSamples) {
            const std::vector<int16_t> mix = Frame();
            out.insert(out.end(), mix.begin(), mix.end());
        }
    }

    Loopback loopback_;
    TempDir dir_;
    Audio::AudioDevice device_;
    std::vector<boost::shared_ptr<Audio::Sound>> sounds_;
};

TEST_F(AudioDeviceTest, StreamsQueueTheirChunksAsTheyPlay) {
    const std::vector<uint32_t> six(6, 16384);
    auto then = [](std::vector<uint32_t> a, std::initializer_list<uint32_t> b) {
        a.insert(a.end(), b);
        return a;
    };
    const struct {
        uint32_t frames;
        bool looped;
        std::vector<uint32_t> uploads;  // the chunks uploaded, priming first, in frames
        bool looping;                   // AL_LOOPING on the source: the stream lives in its buffers
        bool removed;                   // removed once its data has played
    } cases[] = {
        {20000, true, {16384, 3616}, true, false},
        {20000, false, {16384, 3616}, false, true},
        {32768, false, {16384, 16384}, false, true},
        {32768, true, {16384, 16384}, true, false},
        // Chunks up to frame 98,304, then the last 1,696 frames.
        {100000, false, then(six, {1696}), false, true},
        // After the last chunk the stream wraps to frame 0.
        {100000, true, then(six, {1696, 16384, 16384}), false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.frames) + (c.looped ? " looped" : " once"));
        const boost::shared_ptr<Audio::Sound> stream = Wav(c.frames, true);
        ASSERT_TRUE(c.looped ? device_.PlayLooped(stream, 1, -1.0f) : device_.Play(stream, 1, -1.0f));
        const PlayingSound* entry = device_.GetFirst();

        std::vector<uint32_t> uploads;
        const ALint queued = SourceInt(entry, AL_BUFFERS_QUEUED);
        for (int i = 0; i < queued; ++i) uploads.push_back(FramesIn(entry->GetBuffer(i)));
        EXPECT_EQ(c.looping, SourceInt(entry, AL_LOOPING) == AL_TRUE);

        // Three passes' worth of frames, or until the entry goes.
        const uint32_t limit = 3 * c.frames / Loopback::kFrameSamples + 4;
        uint32_t rendered = 0;
        bool removed = false;
        for (uint32_t frame = 0; frame < limit && uploads.size() < c.uploads.size() + 2; ++frame) {
            const int before = entry->GetNextBufferIndex();
            Frame();
            rendered += Loopback::kFrameSamples;
            if (!IsListed(device_, entry)) {
                removed = true;
                // Not before every frame has played.
                EXPECT_GE(rendered, c.frames);
                EXPECT_LE(rendered, c.frames + 2 * Loopback::kFrameSamples);
                break;
            }
            if (entry->GetNextBufferIndex() != before) uploads.push_back(FramesIn(entry->GetBuffer(before)));
            // A long stream keeps one read in flight, until one that does not loop is read out.
            if (c.frames > 32768) {
                EXPECT_EQ(entry->HasScratch(), entry->GetPending() != 0);
            }
            if (entry->GetPending() == 0 && c.frames > 32768) {
                EXPECT_EQ(entry->GetPosition(), c.frames);
            }
        }
        if (c.looped && c.frames > 32768) uploads.resize(std::min(uploads.size(), c.uploads.size()));
        EXPECT_EQ(c.uploads, uploads);
        EXPECT_EQ(c.removed, removed);
        if (!removed) device_.Stop(stream);
        EXPECT_EQ(0, device_.CountAll(kAny));
    }
}

TEST_F(AudioDeviceTest, AStreamThatRanDryGoesOnWithItsNextChunkOneBufferPerFrame) {
    const boost::shared_ptr<Audio::Sound> stream = Wav(200000, true);
    ASSERT_TRUE(device_.PlayLooped(stream, 1, -1.0f));
    const PlayingSound* entry = device_.GetFirst();
    // No update while both buffers play out: the source stops, the entry counts as playing.
    WaitForRequest(stream->GetHandler(), entry);
    Loopback::Render(2 * 16384 + 4096);
    EXPECT_EQ(AL_STOPPED, entry->GetSourceState());
    EXPECT_TRUE(entry->IsStalled());
    EXPECT_EQ(AL_PLAYING, entry->GetEffectiveState());
    EXPECT_EQ(1, device_.CountPlaying(stream));
    EXPECT_EQ(2, SourceInt(entry, AL_BUFFERS_PROCESSED));

    // The first update refills one buffer, with the next chunk, and starts the source with it
    // alone; the next update fills the other; then both are queued and nothing is refilled.
    const uint32_t expected[] = {3 * 16384, 4 * 16384, 4 * 16384};
    const ALint queued[] = {1, 2, 2};
    for (int update = 0; update < 3; ++update) {
        SCOPED_TRACE(update);
        device_.Update();
        EXPECT_EQ(expected[update], entry->GetPosition());
        EXPECT_EQ(queued[update], SourceInt(entry, AL_BUFFERS_QUEUED));
        EXPECT_EQ(AL_PLAYING, entry->GetSourceState());
        EXPECT_FALSE(entry->IsStalled());
        WaitForRequest(stream->GetHandler(), entry);
        Loopback::Render(1);
    }
}

TEST_F(AudioDeviceTest, GroupGainsApplyToPlaysAtTheGroupGainAndToEveryEntryWhenSet) {
    const boost::shared_ptr<Audio::Sound> sound = Wav(4000, false);
    EXPECT_FALSE(device_.SetVolume(1, 0.8f));  // no entry of the group: stored only
    ASSERT_TRUE(device_.Play(sound, 1, 0.5f));
    PlayingSound* given = device_.GetFirst();
    ASSERT_TRUE(device_.Play(sound, 1, -1.0f));
    PlayingSound* music = device_.GetFirst();
    ASSERT_TRUE(device_.Play(sound, 0, -1.0f));
    PlayingSound* effect = device_.GetFirst();
    EXPECT_EQ(0.5f, GainOf(given));
    EXPECT_EQ(0.8f, GainOf(music));
    EXPECT_EQ(1.0f, GainOf(effect));

    EXPECT_TRUE(device_.SetVolume(1, 0.3f));
    EXPECT_EQ(0.3f, GainOf(given));
    EXPECT_EQ(0.3f, GainOf(music));
    EXPECT_EQ(1.0f, GainOf(effect));

    // Only the two groups exist.
    for (int32_t group : {-1, 2, 13}) {
        EXPECT_FALSE(device_.SetVolume(group, 0.1f));
        EXPECT_FALSE(device_.Play(sound, group, -1.0f));
    }
    EXPECT_EQ(0.3f, device_.GetVolume(1));
    EXPECT_EQ(1.0f, device_.GetVolume(0));
    EXPECT_EQ(3, device_.CountAll(kAny));
}

TEST_F(AudioDeviceTest, FindStopPauseAndResumeTakeTheNewestEntryFirst) {
    const boost::shared_ptr<Audio::Sound> sound = Wav(40000, false);
    const boost::shared_ptr<Audio::Sound> other = Wav(40000, false);
    ASSERT_TRUE(device_.Play(sound, 0, -1.0f));
    PlayingSound* older = device_.GetFirst();
    ASSERT_TRUE(device_.Play(other, 0, -1.0f));
    ASSERT_TRUE(device_.Play(sound, 0, -1.0f));
    PlayingSound* newer = device_.GetFirst();
    ASSERT_TRUE(device_.Play(other, 0, -1.0f));

    EXPECT_EQ(newer, device_.FindPlaying(sound, AL_PLAYING));
    EXPECT_EQ(newer, device_.FindBySound(sound));
    EXPECT_TRUE(device_.Pause(sound));
    EXPECT_EQ(AL_PAUSED, newer->GetSourceState());
    EXPECT_EQ(older, device_.FindPlaying(sound, AL_PLAYING));
    EXPECT_EQ(newer, device_.FindPlaying(sound, AL_PAUSED));

    // Counts over every sound for null: three playing, one paused.
    EXPECT_EQ(3, device_.CountPlaying(kAny));
    EXPECT_EQ(1, device_.CountPaused(kAny));
    EXPECT_EQ(4, device_.CountAll(kAny));
    EXPECT_EQ(1, device_.CountPlaying(sound));
    EXPECT_EQ(2, device_.CountAll(other));

    // Stop takes a playing entry before a paused one.
    EXPECT_TRUE(device_.Stop(sound));
    EXPECT_FALSE(IsListed(device_, older));
    EXPECT_TRUE(device_.Resume(sound));
    EXPECT_EQ(AL_PLAYING, newer->GetSourceState());
    EXPECT_FALSE(device_.Resume(sound));
    EXPECT_TRUE(device_.Stop(sound));
    EXPECT_FALSE(device_.Stop(sound));
    EXPECT_EQ(nullptr, device_.FindBySound(sound));
    EXPECT_FALSE(device_.Remove(newer));
    EXPECT_EQ(2, device_.CountPlaying(other));
}

TEST_F(AudioDeviceTest, StopMusicStopsTheMusicGroupAndTheNextUpdateRemovesIt) {
    const boost::shared_ptr<Audio::Sound> stream = Wav(100000, true);
    const boost::shared_ptr<Audio::Sound> whole = Wav(4000, false);
    const boost::shared_ptr<Audio::Sound> effect = Wav(40000, false);
    EXPECT_FALSE(device_.StopMusic());
    ASSERT_TRUE(device_.PlayLooped(stream, 1, -1.0f));
    ASSERT_TRUE(device_.PlayLooped(whole, 1, -1.0f));
    ASSERT_TRUE(device_.Play(effect, 0, -1.0f));
    Frame();
    EXPECT_EQ(3, device_.CountPlaying(kAny));

    EXPECT_TRUE(device_.StopMusic());
    EXPECT_EQ(1, device_.CountPlaying(kAny));
    EXPECT_EQ(3, device_.CountAll(kAny));
    Frame();
    EXPECT_EQ(1, device_.CountAll(kAny));
    EXPECT_EQ(effect, device_.GetFirst()->GetSound());

    // Pausing and resuming a group leaves the other alone.
    ASSERT_TRUE(device_.PlayLooped(stream, 1, -1.0f));
    EXPECT_TRUE(device_.PauseEffects());
    EXPECT_EQ(1, device_.CountPaused(kAny));
    EXPECT_TRUE(device_.ResumeEffects());
    EXPECT_EQ(2, device_.CountPlaying(kAny));
    EXPECT_TRUE(device_.StopEffects());
    // Only paused entries start again: a stopped one waiting for its removal stays stopped.
    EXPECT_TRUE(device_.ResumeEffects());
    EXPECT_EQ(1, device_.CountPlaying(kAny));
    Frame();
    EXPECT_EQ(stream, device_.GetFirst()->GetSound());
    EXPECT_EQ(1, device_.CountAll(kAny));
}

TEST_F(AudioDeviceTest, ASoundPlayedOnceIsRemovedWhenItHasPlayed) {
    // Every buffer format, and a looped one that stays.
    const struct {
        uint16_t channels, bits;
        ALenum format;
    } formats[] = {
        {2, 16, AL_FORMAT_STEREO16},
        {1, 16, AL_FORMAT_MONO16},
        {2, 8, AL_FORMAT_STEREO8},
        {1, 8, AL_FORMAT_MONO8},
    };
    for (const auto& f : formats) {
        ASSERT_TRUE(device_.Play(Wav(3000, false, f.channels, f.bits), 0, -1.0f));
        EXPECT_EQ(f.format, device_.GetFirst()->GetBufferFormat());
    }
    ASSERT_TRUE(device_.PlayLooped(Wav(3000, false), 0, -1.0f));
    EXPECT_EQ(AL_TRUE, SourceInt(device_.GetFirst(), AL_LOOPING));
    Frame(2900);
    EXPECT_EQ(5, device_.CountPlaying(kAny));
    Frame(200);
    EXPECT_EQ(1, device_.CountAll(kAny));
    EXPECT_TRUE(device_.GetFirst()->IsLooped());
}

TEST_F(AudioDeviceTest, MoreSoundsThanTheContextAdmitsDoNotStart) {
    const boost::shared_ptr<Audio::Sound> sound = Wav(40000, false);
    int started = 0;
    for (int i = 0; i < 300; ++i) started += device_.Play(sound, 0, -1.0f) ? 1 : 0;
    EXPECT_GE(started, 64);
    EXPECT_LT(started, 300);
    EXPECT_EQ(started, device_.CountAll(kAny));
    Frame();
    EXPECT_EQ(started, device_.CountPlaying(kAny));
    // A freed source serves the next sound.
    ASSERT_TRUE(device_.Stop(sound));
    EXPECT_TRUE(device_.Play(sound, 0, -1.0f));
}

TEST_F(AudioDeviceTest, OpeningAndClosingHappenOnce) {
    EXPECT_FALSE(device_.Initialize());
    // The process has one output: a second device stays silent.
    Audio::AudioDevice second;
    EXPECT_FALSE(second.IsInitialized());
    EXPECT_FALSE(second.Play(Wav(100, false), 0, -1.0f));
    EXPECT_FALSE(second.Shutdown());

    ASSERT_TRUE(device_.Play(Wav(40000, true), 1, -1.0f));
    EXPECT_TRUE(device_.Shutdown());
    EXPECT_EQ(nullptr, device_.GetFirst());
    EXPECT_EQ(nullptr, alcGetCurrentContext());
    EXPECT_FALSE(device_.Shutdown());
    // Opened again, with both group gains back at 1.
    EXPECT_TRUE(device_.Initialize());
    EXPECT_EQ(1.0f, device_.GetVolume(0));
}

TEST_F(AudioDeviceTest, ALoopedStreamWrapsToItsFirstChunkWithoutAGap) {
    ASSERT_TRUE(device_.PlayLooped(ToneStream(5), 1, -1.0f));
    std::vector<int16_t> out;
    PlayFrames(7 * kChunk + kChunk / 2, out);
    EXPECT_EQ("0 1 2 3 4 0 1 2", Heard(out, 5));
    EXPECT_EQ(0, SilentWindows(out));
}

TEST_F(AudioDeviceTest, AfterAnUnderrunAStreamGoesOnWithItsNextChunk) {
    const struct {
        bool looped;
        const char* heard;
    } cases[] = {
        {true, "0 1 2 _ 3 4 0 1 2"},
        // Started again too, and removed only once its data has played.
        {false, "0 1 2 _ 3 4 _"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.looped);
        const boost::shared_ptr<Audio::Sound> stream = ToneStream(5);
        ASSERT_TRUE(c.looped ? device_.PlayLooped(stream, 1, -1.0f) : device_.Play(stream, 1, -1.0f));
        const PlayingSound* entry = device_.GetFirst();
        std::vector<int16_t> out;
        while (entry->GetPosition() < 3 * kChunk) PlayFrames(1, out);
        // The game stalls for longer than its queued buffers last.
        WaitForRequest(stream->GetHandler(), entry);
        const std::vector<int16_t> dry = Loopback::Render(3 * kChunk);
        out.insert(out.end(), dry.begin(), dry.end());
        EXPECT_EQ(1, device_.CountPlaying(stream));
        PlayFrames(4 * kChunk + kChunk / 2, out);
        EXPECT_EQ(c.heard, Heard(out, 5));
        EXPECT_EQ(c.looped ? 1 : 0, device_.CountAll(stream));
        device_.Stop(stream);
    }
}

TEST_F(AudioDeviceTest, AnOggStreamDecodesFromItsStartAgainAtTheWrap) {
    // Its length is what its "size=" comment says and half a second of silence.
    ASSERT_TRUE(device_.PlayLooped(ToneStream(4, true), 1, -1.0f));
    std::vector<int16_t> out;
    PlayFrames(4 * kChunk + Loopback::kRate / 2 + 2 * kChunk, out);
    EXPECT_EQ("0 1 2 3 _ 0 1", Heard(out, 4));
}

TEST_F(AudioDeviceTest, AFailedReadEndsTheStreamsDataThere) {
    const uint64_t chunkThree = 44 + 3 * 4 * kChunk;  // a canonical WAV's data starts at byte 44
    const struct {
        bool looped;
        const char* heard;
    } cases[] = {
        {true, "0 1 2 0 1 2 0"},
        {false, "0 1 2 _"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.looped);
        const boost::shared_ptr<Audio::Sound> stream = ToneStream(5);
        ReadControl control(chunkThree);
        ASSERT_TRUE(c.looped ? device_.PlayLooped(stream, 1, -1.0f) : device_.Play(stream, 1, -1.0f));
        std::vector<int16_t> out;
        PlayFrames(7 * kChunk, out);
        EXPECT_EQ(c.heard, Heard(out, 5));
        EXPECT_EQ(c.looped ? 1 : 0, device_.CountAll(stream));
        if (c.looped) {
            EXPECT_EQ(0, SilentWindows(out));
        }
        device_.Stop(stream);
    }
    // Nothing to play when the first chunk cannot be read.
    const boost::shared_ptr<Audio::Sound> stream = ToneStream(5);
    ReadControl control(10000);
    EXPECT_FALSE(device_.PlayLooped(stream, 1, -1.0f));
    EXPECT_EQ(0, device_.CountAll(kAny));
}

TEST_F(AudioDeviceTest, ALoopedStreamWhoseDecoderBreaksDownIsRemoved) {
    // A page missing in the middle: the Ogg handler closes its file where decoding breaks.
    // Decoding runs ahead of the requests by up to a second and a half: the gap lies well
    // after the priming.
    const uint32_t frames = 8 * Loopback::kRate;
    std::vector<uint8_t> file = soundenc::EncodeOggVorbis(TestSignal(frames, 2, Loopback::kRate), 2, Loopback::kRate,
                                                          0.4f, {soundenc::SizeComment(frames, Loopback::kRate)});
    size_t page = file.size() * 3 / 4;
    while (std::memcmp(&file[page], "OggS", 4) != 0) ++page;
    size_t next = page + 4;
    while (std::memcmp(&file[next], "OggS", 4) != 0) ++next;
    file.erase(file.begin() + page, file.begin() + next);
    boost::shared_ptr<Audio::Sound> stream = Content::CreateAsset<Audio::SoundStream>(dir_.Write("gap.ogg", file));
    ASSERT_TRUE(stream);
    sounds_.push_back(stream);

    ASSERT_TRUE(device_.PlayLooped(stream, 1, -1.0f));
    std::vector<int16_t> out;
    PlayFrames(frames, out);
    EXPECT_FALSE(stream->GetHandler()->IsOpen());
    EXPECT_EQ(0, device_.CountAll(kAny));
}

TEST_F(AudioDeviceTest, ARefillWaitsForItsReadAndRemoveFinishesIt) {
    const boost::shared_ptr<Audio::Sound> stream = ToneStream(5);
    ReadControl control(UINT64_MAX, 44 + 2 * 4 * kChunk);  // the prefetch of chunk 2 is held
    ASSERT_TRUE(device_.PlayLooped(stream, 1, -1.0f));
    PlayingSound* entry = device_.GetFirst();
    Loopback::Render(kChunk + 100);
    device_.Update();
    EXPECT_EQ(2 * kChunk, entry->GetPosition());  // the next frame tries again
    EXPECT_EQ(1, SourceInt(entry, AL_BUFFERS_PROCESSED));

    std::thread releaser([&control] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        control.Release();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(device_.Remove(entry));
    const auto waited = std::chrono::steady_clock::now() - start;
    releaser.join();
    EXPECT_GE(waited, std::chrono::milliseconds(90));
    EXPECT_EQ(0, device_.CountAll(kAny));
}

TEST(AudioDeviceWithoutOutput, RunsSilent) {
    TempDir dir;
    Audio::AudioDevice::SetOutputOpener([](const ALCint*, ALCdevice**, ALCcontext**) { return false; });
    {
        Audio::AudioDevice device;
        EXPECT_FALSE(device.IsInitialized());
        EXPECT_EQ(nullptr, alcGetCurrentContext());
        WavLayout layout;
        boost::shared_ptr<Audio::Sound> sound = Content::CreateAsset<Audio::Sound>(dir.Write("a.wav", MakeWav(layout)));
        ASSERT_TRUE(sound);
        EXPECT_FALSE(device.Play(sound, 0, -1.0f));
        EXPECT_FALSE(device.PlayLooped(sound, 1, -1.0f));
        EXPECT_FALSE(device.SetVolume(1, 0.5f));
        EXPECT_EQ(0.5f, device.GetVolume(1));
        device.Update();
        EXPECT_FALSE(device.StopMusic());
        EXPECT_EQ(0, device.CountAll(boost::shared_ptr<Audio::Sound>()));
        EXPECT_FALSE(device.Shutdown());
        sound->Unload();
    }
    Audio::AudioDevice::SetOutputOpener(nullptr);
    CSSampleHandler::PurgeUnused();
}

}  // namespace
