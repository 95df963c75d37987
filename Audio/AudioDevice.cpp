#include "Audio/AudioDevice.h"

#include <cstdio>
#include <memory>
#include <new>

#include "Audio/PlayingSound.h"
#include "Audio/Sound.h"
#include "platform/Trace.h"

namespace Audio {

namespace {

// One output device and one context per process; every OpenAL user works in it.
ALCdevice* g_device = nullptr;
ALCcontext* g_context = nullptr;
AudioDevice::OutputOpener g_opener = nullptr;

bool OpenDefaultOutput(const ALCint* attributes, ALCdevice** device, ALCcontext** context) {
    ALCdevice* opened = alcOpenDevice(nullptr);
    if (!opened) return false;
    ALCcontext* created = alcCreateContext(opened, attributes);
    if (!created || !alcMakeContextCurrent(created)) {
        if (created) alcDestroyContext(created);
        alcCloseDevice(opened);
        return false;
    }
    *device = opened;
    *context = created;
    return true;
}

}  // namespace

void AudioDevice::SetOutputOpener(OutputOpener opener) { g_opener = opener; }

AudioDevice::AudioDevice() : playing_(nullptr), initialized_(false), volumes_{1.0f, 1.0f} { Initialize(); }

AudioDevice::~AudioDevice() {
    if (initialized_) Shutdown();
}

bool AudioDevice::Initialize() {
    if (initialized_ || g_device) return false;
    const ALCint attributes[] = {ALC_FREQUENCY, 44100, ALC_MONO_SOURCES, 64, ALC_STEREO_SOURCES, 64, 0};
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    if (!(g_opener ? g_opener : &OpenDefaultOutput)(attributes, &device, &context)) {
        std::fprintf(stderr, "Sound: no output device could be opened; the game runs silent.\n");
        return false;
    }
    g_device = device;
    g_context = context;

    // Sounds are not placed in space: no attenuation.
    const ALfloat zero[3] = {0.0f, 0.0f, 0.0f};
    const ALfloat orientation[6] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
    alListenerfv(AL_POSITION, zero);
    alListenerfv(AL_VELOCITY, zero);
    alListenerfv(AL_ORIENTATION, orientation);
    alDistanceModel(AL_NONE);

    playing_ = nullptr;
    volumes_[0] = volumes_[1] = 1.0f;
    initialized_ = true;
    PlatformTrace("audio device opened");
    return true;
}

bool AudioDevice::Shutdown() {
    if (!initialized_) return false;
    while (playing_) Remove(playing_);
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(g_context);
    alcCloseDevice(g_device);
    g_context = nullptr;
    g_device = nullptr;
    initialized_ = false;
    PlatformTrace("audio device shut down");
    return true;
}

void AudioDevice::Update() {
    for (PlayingSound* entry = playing_; entry;) {
        entry->Refill();
        PlayingSound* next = entry->next_;
        // A looped entry stops only when its stream can no longer be read (its handler lost
        // the file): it would stay silent for ever.
        if (entry->GetEffectiveState() == AL_STOPPED) Remove(entry);
        entry = next;
    }
}

bool AudioDevice::Start(const boost::shared_ptr<Sound>& sound, int32_t group, float gain, bool looped) {
    if (!initialized_ || !sound || (group != 0 && group != 1)) return false;
    std::unique_ptr<PlayingSound> entry(new (std::nothrow) PlayingSound(sound, group, looped));
    // What was generated goes with the entry.
    if (!entry || !entry->CreateSource()) return false;
    entry->next_ = playing_;
    playing_ = entry.release();
    alSourcePlay(playing_->source_);
    alSourcef(playing_->source_, AL_GAIN, gain >= 0.0f ? gain : volumes_[group]);
    return true;
}

bool AudioDevice::Play(const boost::shared_ptr<Sound>& sound, int32_t group, float gain) {
    return Start(sound, group, gain, false);
}

bool AudioDevice::PlayLooped(const boost::shared_ptr<Sound>& sound, int32_t group, float gain) {
    return Start(sound, group, gain, true);
}

bool AudioDevice::SetVolume(int32_t group, float gain) {
    if (group != 0 && group != 1) return false;
    volumes_[group] = gain;
    int32_t updated = 0;
    // What the output mixes, read back from the sources.
    float heard = gain;
    for (PlayingSound* entry = playing_; entry; entry = entry->next_) {
        if (entry->group_ != group) continue;
        alSourcef(entry->source_, AL_GAIN, gain);
        alGetSourcef(entry->source_, AL_GAIN, &heard);
        ++updated;
    }
    PlatformTrace("audio volume: %s %.2f, %d sounds at %.2f", group == 0 ? "effects" : "music", gain, updated, heard);
    return updated > 0;
}

bool AudioDevice::Stop(const boost::shared_ptr<Sound>& sound) {
    PlayingSound* entry = FindPlaying(sound, AL_PLAYING);
    if (!entry) entry = FindPlaying(sound, AL_PAUSED);
    return entry && Remove(entry);
}

bool AudioDevice::Pause(const boost::shared_ptr<Sound>& sound) {
    PlayingSound* entry = FindPlaying(sound, AL_PLAYING);
    if (!entry) return false;
    alSourcePause(entry->source_);
    return true;
}

bool AudioDevice::Resume(const boost::shared_ptr<Sound>& sound) {
    PlayingSound* entry = FindPlaying(sound, AL_PAUSED);
    if (!entry) return false;
    alSourcePlay(entry->source_);
    return true;
}

PlayingSound* AudioDevice::FindPlaying(const boost::shared_ptr<Sound>& sound, ALint state) const {
    for (PlayingSound* entry = playing_; entry; entry = entry->next_) {
        if (entry->sound_.get() == sound.get() && entry->GetEffectiveState() == state) return entry;
    }
    return nullptr;
}

PlayingSound* AudioDevice::FindBySound(const boost::shared_ptr<Sound>& sound) const {
    for (PlayingSound* entry = playing_; entry; entry = entry->next_) {
        if (entry->sound_.get() == sound.get()) return entry;
    }
    return nullptr;
}

bool AudioDevice::Remove(PlayingSound* entry) {
    for (PlayingSound** link = &playing_; *link; link = &(*link)->next_) {
        if (*link != entry) continue;
        *link = entry->next_;
        delete entry;
        return true;
    }
    return false;
}

bool AudioDevice::ForGroup(int32_t group, void (*action)(PlayingSound*)) {
    bool found = false;
    for (PlayingSound* entry = playing_; entry; entry = entry->next_) {
        if (entry->group_ != group) continue;
        action(entry);
        found = true;
    }
    return found;
}

bool AudioDevice::StopMusic() {
    return ForGroup(1, [](PlayingSound* entry) { entry->Halt(); });
}

bool AudioDevice::StopEffects() {
    return ForGroup(0, [](PlayingSound* entry) { entry->Halt(); });
}

bool AudioDevice::PauseMusic() {
    return ForGroup(1, [](PlayingSound* entry) { alSourcePause(entry->source_); });
}

bool AudioDevice::PauseEffects() {
    return ForGroup(0, [](PlayingSound* entry) { alSourcePause(entry->source_); });
}

// Only a paused entry starts again: a playing source told to play starts from its beginning.
bool AudioDevice::ResumeMusic() {
    return ForGroup(1, [](PlayingSound* entry) {
        if (entry->GetSourceState() == AL_PAUSED) alSourcePlay(entry->source_);
    });
}

bool AudioDevice::ResumeEffects() {
    return ForGroup(0, [](PlayingSound* entry) {
        if (entry->GetSourceState() == AL_PAUSED) alSourcePlay(entry->source_);
    });
}

int32_t AudioDevice::Count(const boost::shared_ptr<Sound>& sound, ALint state) const {
    int32_t count = 0;
    for (PlayingSound* entry = playing_; entry; entry = entry->next_) {
        if ((!sound || entry->sound_.get() == sound.get()) && (state == 0 || entry->GetEffectiveState() == state))
            ++count;
    }
    return count;
}

int32_t AudioDevice::CountPlaying(const boost::shared_ptr<Sound>& sound) const { return Count(sound, AL_PLAYING); }
int32_t AudioDevice::CountPaused(const boost::shared_ptr<Sound>& sound) const { return Count(sound, AL_PAUSED); }
int32_t AudioDevice::CountAll(const boost::shared_ptr<Sound>& sound) const { return Count(sound, 0); }

bool AudioDevice::PlayOnMusicGroup(const boost::shared_ptr<Sound>& sound, bool loop, float gain) {
    return loop ? PlayLooped(sound, 1, gain) : Play(sound, 1, gain);
}

bool AudioDevice::PlayOnEffectsGroup(const boost::shared_ptr<Sound>& sound, bool loop, float gain) {
    return loop ? PlayLooped(sound, 0, gain) : Play(sound, 0, gain);
}

void AudioDevice::CheckALError() const {
    if (initialized_ && alGetError() != AL_NO_ERROR) std::printf("ALERROR\n");
}

}  // namespace Audio
