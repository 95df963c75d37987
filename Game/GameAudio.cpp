#include "Game/GameAudio.h"

#include "Audio/AudioDevice.h"
#include "Audio/SoundStream.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"

bool PlayMusic(const std::string& fileName) {
    typedef Content::ContentLoader<Audio::SoundStream> StreamLoader;
    if (!Service<StreamLoader>::Exists() || !Service<Audio::AudioDevice>::Exists()) return false;
    boost::shared_ptr<Audio::SoundStream> stream = Service<StreamLoader>::Get()->Load(fileName);
    if (!stream) return false;
    Audio::AudioDevice* device = Service<Audio::AudioDevice>::Get();
    if (!device->IsPlaying(stream)) device->PlayOnMusicGroup(stream, true, -1.0f);
    return true;
}

void PlayMainMenuMusic() { PlayMusic("MainMenuOGG.ogg"); }

bool StopMusic() {
    if (!Service<Audio::AudioDevice>::Exists()) return false;
    Service<Audio::AudioDevice>::Get()->StopMusic();
    return true;
}

bool PlaySound(const std::string& fileName, bool restart) {
    typedef Content::ContentLoader<Audio::Sound> SoundLoader;
    if (!Service<SoundLoader>::Exists() || !Service<Audio::AudioDevice>::Exists()) return false;
    boost::shared_ptr<Audio::Sound> sound = Service<SoundLoader>::Get()->Load(fileName);
    if (!sound) return false;
    Audio::AudioDevice* device = Service<Audio::AudioDevice>::Get();
    if (!restart && device->IsPlaying(sound)) return true;
    device->PlayOnEffectsGroup(sound, false, -1.0f);
    return true;
}
