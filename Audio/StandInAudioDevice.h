#pragma once
// Stand-in until the sound layer exists: Audio::AudioDevice with the
// operations the game, the settings and the shell call. It opens no sound
// output and plays nothing; it keeps the list of "playing" sounds with their
// group and gain and the two group volumes (0 effects, 1 music), so the
// game's choices can be seen. A stand-in sound has no length: one played once
// counts as playing until the next Update removes it.
//
// Header-only so that the settings (Core) and the shell's frame can call it
// without linking the game. IsPlaying, PlayOnMusicGroup and PlayOnEffectsGroup
// are the game's own additions to the device and stay with the real one.
#include <AL/al.h>
#include <boost/shared_ptr.hpp>

#include <list>

#include "Core/StandInTrace.h"

namespace Audio {

class Sound;

class AudioDevice {
public:
    struct Playing {
        boost::shared_ptr<Sound> sound;
        int group;
        float gain;
        bool looped;
        ALint state;
    };

    AudioDevice() {
        group_gain_[0] = 1.0f;
        group_gain_[1] = 1.0f;
        standin::Report("audio device opened");
    }
    ~AudioDevice() { standin::Report("audio device closed"); }

    // Removes the stopped sounds; sounds played once stop here.
    void Update() {
        playing_.remove_if([](const Playing& p) { return p.state != AL_PLAYING || !p.looped; });
    }
    // Removes every sound.
    void Shutdown() {
        playing_.clear();
        standin::Report("audio device shut down");
    }

    // Group 0 (effects) or 1 (music); a negative gain takes the group's volume.
    bool Play(const boost::shared_ptr<Sound>& sound, int group, float gain) { return Start(sound, group, gain, false); }
    bool PlayLooped(const boost::shared_ptr<Sound>& sound, int group, float gain) {
        return Start(sound, group, gain, true);
    }

    // The first entry of the sound in that state, or null.
    const Playing* FindPlaying(const boost::shared_ptr<Sound>& sound, ALint state) const {
        for (const Playing& p : playing_) {
            if (p.sound == sound && p.state == state) return &p;
        }
        return nullptr;
    }

    // Stops every music source; the next Update removes them.
    bool StopMusic() {
        bool stopped = false;
        for (Playing& p : playing_) {
            if (p.group == 1 && p.state == AL_PLAYING) {
                p.state = AL_STOPPED;
                stopped = true;
            }
        }
        return stopped;
    }

    // Stores the group's gain and applies it to the group's sounds; true when
    // one of them was playing.
    bool SetVolume(int group, float gain) {
        if (group < 0 || group > 1) return false;
        group_gain_[group] = gain;
        bool any = false;
        for (Playing& p : playing_) {
            if (p.group != group) continue;
            p.gain = gain;
            any = any || p.state == AL_PLAYING;
        }
        return any;
    }
    bool SetEffectsVolume(float gain) { return SetVolume(0, gain); }
    bool SetMusicVolume(float gain) { return SetVolume(1, gain); }

    bool IsPlaying(const boost::shared_ptr<Sound>& sound) const { return FindPlaying(sound, AL_PLAYING) != nullptr; }
    bool PlayOnMusicGroup(const boost::shared_ptr<Sound>& sound, bool loop, float gain) {
        return loop ? PlayLooped(sound, 1, gain) : Play(sound, 1, gain);
    }
    bool PlayOnEffectsGroup(const boost::shared_ptr<Sound>& sound, bool loop, float gain) {
        return loop ? PlayLooped(sound, 0, gain) : Play(sound, 0, gain);
    }

    // Stops every source of the sound (a sound being released).
    void Stop(const boost::shared_ptr<Sound>& sound) {
        for (Playing& p : playing_) {
            if (p.sound == sound) p.state = AL_STOPPED;
        }
    }

    const std::list<Playing>& GetPlaying() const { return playing_; }
    float GetGroupGain(int group) const { return group_gain_[group]; }

private:
    bool Start(const boost::shared_ptr<Sound>& sound, int group, float gain, bool looped) {
        playing_.push_back(Playing{sound, group, gain < 0.0f ? group_gain_[group] : gain, looped, AL_PLAYING});
        return true;
    }

    std::list<Playing> playing_;
    float group_gain_[2];
};

}  // namespace Audio
