#pragma once
// Music: a sound read from its file a chunk at a time while it plays.
#include "Audio/Sound.h"

namespace Audio {

class SoundStream : public Sound {
public:
    explicit SoundStream(const std::string& path) : Sound(path) {}

    bool IsStream() const override { return true; }
};

}  // namespace Audio

namespace Content {

template <>
boost::shared_ptr<Audio::SoundStream> CreateAsset<Audio::SoundStream>(const std::string& path);
template <>
bool ReleaseAsset<Audio::SoundStream>(boost::shared_ptr<Audio::SoundStream> sound);
template <>
bool ReloadAsset<Audio::SoundStream>(boost::shared_ptr<Audio::SoundStream> sound);

}  // namespace Content
