// The intro video through the video library: a clip on a manager without workers, whose
// set-up reads the headers of both streams and measures the duration. The sound goes to
// an output of the check's own that only notes its format.
#include <string>

#include "Classes/Dictionary/Config/Config.h"
#include "Core/Service.h"
#include "IO/File.h"
#include "Video/ogv/OgvAudioInterface.h"
#include "Video/ogv/OgvAudioInterfaceFactory.h"
#include "Video/ogv/OgvColourConversion.h"
#include "Video/ogv/OgvFile.h"
#include "Video/ogv/OgvGenericException.h"
#include "Video/ogv/OgvVideoClip.h"
#include "Video/ogv/OgvVideoManager.h"
#include "tools/catalogue/Videos.h"
#include "tools/datacheck/Check.h"

namespace {

namespace vid = catalogue::videos;

class SilentOutput : public OgvAudioInterface {
public:
    using OgvAudioInterface::OgvAudioInterface;
    void InsertData(float**, int) override {}
    void Destroy() override {}
};

class FormatNoter : public OgvAudioInterfaceFactory {
public:
    OgvAudioInterface* CreateInstance(OgvVideoClip* clip, int channelCount, int frequency) override {
        channels = channelCount;
        rate = frequency;
        return new SilentOutput(clip, channelCount, frequency);
    }
    int channels = 0;
    int rate = 0;
};

std::string SoundText(int channels, int rate) {
    if (channels == 0) return "no sound";
    return (channels == 1   ? std::string("mono ")
            : channels == 2 ? std::string("stereo ")
                            : std::to_string(channels) + " channels ") +
           std::to_string(rate) + " Hz";
}

}  // namespace

DATACHECK(video, 50) {
    const std::string path = Service<Config>::Exists() && !Service<Config>::Get()->Paths.VideosPath.empty()
                                 ? Service<Config>::Get()->Paths.VideosPath + vid::kIntro
                                 : vid::IntroPath();
    OgvFile file;
    if (!file.Open(path)) {
        report.Fail("%s is missing", path.c_str());
        return;
    }
    FormatNoter sound;
    OgvVideoManager manager(0);
    manager.SetAudioInterfaceFactory(&sound);
    OgvVideoClip* clip = nullptr;
    try {
        clip = manager.CreateVideoClip(&file, OgvOutputRGB);
    } catch (_OgvGenericException& error) {
        report.Fail("%s: %s", path.c_str(), error.GetText().c_str());
        return;
    }
    report.Line("%s: %d x %d, stride %d, %.3f seconds, %d frames, %s", path.c_str(), clip->GetWidth(),
                clip->GetHeight(), clip->GetStride(), clip->GetDuration(), clip->GetNumFrames(),
                SoundText(sound.channels, sound.rate).c_str());
    if (clip->GetWidth() != vid::kIntroWidth || clip->GetHeight() != vid::kIntroHeight)
        report.Fail("%s: the picture is not %d x %d", path.c_str(), vid::kIntroWidth, vid::kIntroHeight);
    if (clip->GetNumFrames() != vid::kIntroFrames || clip->GetDuration() != float(vid::kIntroSeconds))
        report.Fail("%s: not %d frames in %d seconds", path.c_str(), vid::kIntroFrames, vid::kIntroSeconds);
    if (sound.channels != vid::kIntroChannels || sound.rate != vid::kIntroRate)
        report.Fail("%s: the sound is not %s", path.c_str(), SoundText(vid::kIntroChannels, vid::kIntroRate).c_str());
    manager.DestroyVideoClip(clip);
}
