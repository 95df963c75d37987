#pragma once
// A sound the game plays: a resource of the sound loader whose samples come from the
// cached sample handler of its file. A whole sound is decoded into memory when it loads;
// a stream (SoundStream) keeps only its handler and is read while it plays.
#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <memory>
#include <string>

#include "Audio/SampleSourceInfo.h"
#include "Core/AssetHooks.h"
#include "Graphics/GraphicsResource.h"

class CSSampleHandler;

namespace Audio {

class Sound : public Graphics::GraphicsResource {
public:
    // The most sample bytes a whole sound may decode into memory.
    static constexpr uint64_t kMaxSampleBytes = 64u << 20;

    // The path is the file's full path (the loader's folder and the lower-cased name).
    explicit Sound(const std::string& path);
    // Gives back what is still loaded; a sound is normally unloaded before.
    ~Sound() override;

    // Takes the file's handler and waits for its header; a whole sound also waits until
    // every sample is decoded. False, and nothing held, when the file is missing, its header
    // is refused, a read fails or the samples would exceed kMaxSampleBytes.
    bool Reload() override;
    // Finishes this sound's read in flight, gives the handler back and frees the samples.
    bool Unload() override;
    virtual bool IsStream() const { return false; }

    // Null when nothing is loaded.
    CSSampleHandler* GetHandler() const { return handler_; }
    // The format of a loaded sound; null otherwise.
    const SampleFormat* GetFormat() const;
    // A whole sound's samples, interleaved in its format; null for a stream.
    const uint8_t* GetSamples() const { return samples_.get(); }

private:
    // Gives the handler reference back; a handler nobody else holds after a failed load
    // leaves the cache.
    void DropHandler(bool failed);

    std::unique_ptr<uint8_t[]> samples_;
    CSSampleHandler* handler_;
};

}  // namespace Audio

namespace Content {

// Empty when the sound does not load (the loader then tries again next time).
template <>
boost::shared_ptr<Audio::Sound> CreateAsset<Audio::Sound>(const std::string& path);
// Removes every playing entry of the sound from the audio device, then unloads it.
template <>
bool ReleaseAsset<Audio::Sound>(boost::shared_ptr<Audio::Sound> sound);
// True when the sound holds a handler with its file; otherwise loads it again.
template <>
bool ReloadAsset<Audio::Sound>(boost::shared_ptr<Audio::Sound> sound);

}  // namespace Content
