// Stand-in until the sound layer exists (see StandInSound.h).
#include "Audio/StandInSound.h"

#include "Audio/StandInAudioDevice.h"
#include "Core/Service.h"
#include "IO/File.h"

namespace Audio {

Sound::Sound(const std::string& fileName) : Graphics::GraphicsResource(Graphics::ResourceSound, fileName) {}

Sound::~Sound() {}

bool Sound::Reload() {
    loaded_ = IO::FileExists(name_);
    return loaded_;
}

bool Sound::Unload() {
    loaded_ = false;
    return true;
}

}  // namespace Audio

namespace Content {

namespace {

template <class T>
boost::shared_ptr<T> MakeSound(const std::string& path) {
    boost::shared_ptr<T> sound(new T(path));
    if (!sound->Reload()) return boost::shared_ptr<T>();
    return sound;
}

bool ReleaseSound(const boost::shared_ptr<Audio::Sound>& sound) {
    if (Service<Audio::AudioDevice>::Exists()) {
        Audio::AudioDevice* device = Service<Audio::AudioDevice>::Get();
        while (device->IsPlaying(sound)) device->Stop(sound);
    }
    return sound->Unload();
}

}  // namespace

template <>
boost::shared_ptr<Audio::Sound> CreateAsset<Audio::Sound>(const std::string& path) {
    return MakeSound<Audio::Sound>(path);
}

template <>
boost::shared_ptr<Audio::SoundStream> CreateAsset<Audio::SoundStream>(const std::string& path) {
    return MakeSound<Audio::SoundStream>(path);
}

template <>
bool ReleaseAsset<Audio::Sound>(boost::shared_ptr<Audio::Sound> sound) {
    return ReleaseSound(sound);
}

template <>
bool ReleaseAsset<Audio::SoundStream>(boost::shared_ptr<Audio::SoundStream> sound) {
    return ReleaseSound(sound);
}

}  // namespace Content
