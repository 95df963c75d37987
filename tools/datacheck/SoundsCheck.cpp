// Every sound effect through the sound loader and every piece of music through the stream
// loader, as the game loads them, with the format and length each reports. No audio
// device is needed: the sounds are loaded, not played.
#include <iterator>
#include <string>

#include "Audio/CSSampleHandler.h"
#include "Audio/SoundStream.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "tools/catalogue/Sounds.h"
#include "tools/datacheck/Check.h"

namespace {

template <class T>
void CheckSounds(datacheck::Report& report, const std::string& folder, const char* const* names, size_t count,
                 const char* kind) {
    Content::ContentLoader<T> loader(folder);
    for (size_t i = 0; i < count; ++i) {
        const boost::shared_ptr<T> sound = loader.Load(names[i]);
        const SampleFormat* format = sound ? sound->GetFormat() : nullptr;
        if (!format) {
            report.Fail("%s%s does not load as %s", folder.c_str(), names[i], kind);
            continue;
        }
        report.Line("%s: %s, %u ch, %u Hz, %u bit, %u frames (%.2f s)", names[i], kind, format->channels, format->rate,
                    format->bitsPerSample, format->frameCount, static_cast<double>(format->frameCount) / format->rate);
    }
    loader.UnloadAll();
}

}  // namespace

DATACHECK(sounds, 45) {
    if (!Service<Config>::Exists()) {
        report.Fail("no configuration");
        return;
    }
    namespace sounds = catalogue::sounds;
    const std::string& folder = Service<Config>::Get()->Paths.SoundsPath;
    CheckSounds<Audio::Sound>(report, folder, sounds::kEffects, std::size(sounds::kEffects), "sound");
    CheckSounds<Audio::SoundStream>(report, folder, sounds::kMusic, std::size(sounds::kMusic), "music");
    CSSampleHandler::PurgeUnused();
}
