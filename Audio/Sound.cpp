#include "Audio/Sound.h"

#include <new>

#include "Audio/AudioDevice.h"
#include "Audio/CSSampleHandler.h"
#include "Audio/PlayingSound.h"
#include "Audio/SoundStream.h"
#include "Core/Service.h"
#include "Threading/Thread.h"

namespace Audio {

namespace {

constexpr float kLoadPollSeconds = 0.001f;

}  // namespace

Sound::Sound(const std::string& path) : Graphics::GraphicsResource(Graphics::ResourceSound, path), handler_(nullptr) {}

Sound::~Sound() {
    if (loaded_ || handler_) Unload();
}

const SampleFormat* Sound::GetFormat() const { return handler_ ? handler_->ParseHeader() : nullptr; }

void Sound::DropHandler(bool failed) {
    if (!handler_) return;
    if (handler_->Release() == 0 && failed) delete handler_;
    handler_ = nullptr;
}

bool Sound::Reload() {
    // A sound loaded again first gives back what it held.
    if (loaded_ || handler_) Unload();

    handler_ = CSSampleHandler::FindOrCreate(SampleSourceInfo(name_), 0, 0);
    if (!handler_) return false;
    if (!handler_->IsOpen()) {
        DropHandler(true);
        return false;
    }
    const SampleFormat* format;
    while ((format = handler_->ParseHeader()) == nullptr) {
        // The handler closes its file when it refuses the header.
        if (!handler_->IsOpen()) {
            DropHandler(true);
            return false;
        }
        SleepSeconds(kLoadPollSeconds);
    }

    if (!IsStream()) {
        const uint64_t bytes =
            static_cast<uint64_t>(format->frameCount) * format->channels * (format->bitsPerSample / 8);
        if (bytes > kMaxSampleBytes) {
            DropHandler(true);
            return false;
        }
        samples_.reset(new (std::nothrow) uint8_t[bytes ? bytes : 1]);
        if (!samples_) {
            DropHandler(true);
            return false;
        }
        handler_->RequestRead(samples_.get(), 0, format->frameCount, this);
        while (!handler_->IsRequestDone(this)) SleepSeconds(kLoadPollSeconds);
        if (handler_->HasRequestFailed(this)) {
            samples_.reset();
            DropHandler(true);
            return false;
        }
    }
    loaded_ = true;
    return true;
}

bool Sound::Unload() {
    if (!loaded_ && !handler_) return true;
    if (handler_) {
        handler_->FinishRequest(this);
        DropHandler(false);
    }
    samples_.reset();
    loaded_ = false;
    return true;
}

}  // namespace Audio

namespace Content {

namespace {

template <class T>
boost::shared_ptr<T> CreateSound(const std::string& path) {
    boost::shared_ptr<T> sound(new (std::nothrow) T(path));
    if (!sound) return sound;
    sound->Reload();
    if (sound->GetHandler() && sound->GetHandler()->IsOpen()) return sound;
    return boost::shared_ptr<T>();
}

bool ReleaseSound(const boost::shared_ptr<Audio::Sound>& sound) {
    if (Service<Audio::AudioDevice>::Exists()) {
        Audio::AudioDevice* device = Service<Audio::AudioDevice>::Get();
        // Stop takes the playing or paused entries; Remove any other.
        while (Audio::PlayingSound* entry = device->FindBySound(sound)) {
            if (!device->Stop(sound)) device->Remove(entry);
        }
    }
    return sound->Unload();
}

bool ReloadSound(const boost::shared_ptr<Audio::Sound>& sound) {
    if (sound->GetHandler() && sound->GetHandler()->IsOpen()) return true;
    return sound->Reload();
}

}  // namespace

template <>
boost::shared_ptr<Audio::Sound> CreateAsset<Audio::Sound>(const std::string& path) {
    return CreateSound<Audio::Sound>(path);
}

template <>
boost::shared_ptr<Audio::SoundStream> CreateAsset<Audio::SoundStream>(const std::string& path) {
    return CreateSound<Audio::SoundStream>(path);
}

template <>
bool ReleaseAsset<Audio::Sound>(boost::shared_ptr<Audio::Sound> sound) {
    return ReleaseSound(sound);
}

template <>
bool ReleaseAsset<Audio::SoundStream>(boost::shared_ptr<Audio::SoundStream> sound) {
    return ReleaseSound(sound);
}

template <>
bool ReloadAsset<Audio::Sound>(boost::shared_ptr<Audio::Sound> sound) {
    return ReloadSound(sound);
}

template <>
bool ReloadAsset<Audio::SoundStream>(boost::shared_ptr<Audio::SoundStream> sound) {
    return ReloadSound(sound);
}

}  // namespace Content
