#pragma once
// Makes the audio output of each clip with sound. Not owned by the manager: whoever
// installs it deletes it (through its own type) after the manager is gone.
class OgvAudioInterface;
class OgvVideoClip;

class OgvAudioInterfaceFactory {
public:
    virtual OgvAudioInterface* CreateInstance(OgvVideoClip* clip, int channels, int frequency) = 0;

protected:
    ~OgvAudioInterfaceFactory() = default;
};
