#pragma once
// Where a clip's decoded sound goes. A factory set on the manager makes one per clip with
// a Vorbis stream; the clip calls it holding its audio lock.
class OgvVideoClip;

class OgvAudioInterface {
public:
    OgvAudioInterface(OgvVideoClip* owner, int channelCount, int sampleRate)
        : frequency(sampleRate), channels(channelCount), clip(owner) {}
    virtual ~OgvAudioInterface() = default;
    OgvAudioInterface(const OgvAudioInterface&) = delete;
    OgvAudioInterface& operator=(const OgvAudioInterface&) = delete;

    // One array per channel as libvorbis delivers them (nominally -1 ... 1), count samples each.
    virtual void InsertData(float** samples, int count) = 0;
    // The clip is going; called holding its audio lock, before the clip deletes this object.
    virtual void Destroy() = 0;

    int GetFrequency() const { return frequency; }
    int GetChannels() const { return channels; }
    OgvVideoClip* GetClip() const { return clip; }

protected:
    int frequency;
    int channels;
    OgvVideoClip* clip;
};
