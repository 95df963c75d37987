#pragma once
// Stand-in until the sound layer exists: the sound resources the sound and
// sound-stream loaders cache. A stand-in sound only checks that its file can
// be opened; it reads no samples.
#include <boost/shared_ptr.hpp>

#include <string>

#include "Core/AssetHooks.h"
#include "Graphics/GraphicsResource.h"

namespace Audio {

// Stand-in until the sound layer exists: a whole-sample sound.
class Sound : public Graphics::GraphicsResource {
public:
    explicit Sound(const std::string& fileName);
    ~Sound() override;

    bool Reload() override;
    bool Unload() override;
};

// Stand-in until the sound layer exists: a streamed sound.
class SoundStream : public Sound {
public:
    explicit SoundStream(const std::string& fileName) : Sound(fileName) {}
};

}  // namespace Audio

namespace Content {

// Empty when the file cannot be opened.
template <>
boost::shared_ptr<Audio::Sound> CreateAsset<Audio::Sound>(const std::string& path);
template <>
boost::shared_ptr<Audio::SoundStream> CreateAsset<Audio::SoundStream>(const std::string& path);
// Stops the sound while the audio device still plays it, then unloads it.
template <>
bool ReleaseAsset<Audio::Sound>(boost::shared_ptr<Audio::Sound> sound);
template <>
bool ReleaseAsset<Audio::SoundStream>(boost::shared_ptr<Audio::SoundStream> sound);

}  // namespace Content
