#pragma once
// The game's sound output: the one OpenAL device and context of the process, and the list
// of sounds playing on it, newest first. Every entry plays on a source of its own; streams
// are refilled a chunk at a time by Update. Two volume groups: 0 sound effects, 1 music.
//
// Main thread only. Without an output device the game runs silent: nothing starts and no
// OpenAL call is made.
#include <AL/al.h>
#include <AL/alc.h>
#include <boost/shared_ptr.hpp>

#include <cstdint>

namespace Audio {

class PlayingSound;
class Sound;

class AudioDevice {
public:
    // Opens an output device and a current context on it with the attribute list (ended by
    // 0); false, with nothing left open, when either cannot be had.
    typedef bool (*OutputOpener)(const ALCint* attributes, ALCdevice** device, ALCcontext** context);
    // Tests render the mix themselves through an opener of their own; null restores the
    // default output device.
    static void SetOutputOpener(OutputOpener opener);

    // Opens the output (Initialize).
    AudioDevice();
    // Shuts down when still initialised.
    ~AudioDevice();

    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // False when already initialised, when another device holds the process's output, or
    // when no output device or context can be had.
    bool Initialize();
    // Removes every entry and releases the context and the device; false when not initialised.
    bool Shutdown();
    // Once per frame: refills the streams and removes the entries that have finished.
    void Update();

    // Starts the sound once on group 0 (effects) or 1 (music); a negative gain plays at the
    // group's gain. False, and nothing kept, when it cannot start: no output, another group,
    // no source or buffer left, or a sound that is not loaded.
    bool Play(const boost::shared_ptr<Sound>& sound, int32_t group, float gain);
    // As Play, from the start again at the end until stopped.
    bool PlayLooped(const boost::shared_ptr<Sound>& sound, int32_t group, float gain);
    // Stores the group's gain and sets it on every entry of the group; true when there was
    // one. A group other than 0 or 1 changes nothing and answers false.
    bool SetVolume(int32_t group, float gain);
    float GetVolume(int32_t group) const { return group == 0 || group == 1 ? volumes_[group] : 0.0f; }

    // Removes the newest playing entry of the sound, else its newest paused one.
    bool Stop(const boost::shared_ptr<Sound>& sound);
    // Pauses the newest playing entry of the sound.
    bool Pause(const boost::shared_ptr<Sound>& sound);
    // Starts the newest paused entry of the sound again.
    bool Resume(const boost::shared_ptr<Sound>& sound);
    // The newest entry of the sound in that state (a stalled stream counts as playing).
    PlayingSound* FindPlaying(const boost::shared_ptr<Sound>& sound, ALint state) const;
    // The newest entry of the sound, whatever its state.
    PlayingSound* FindBySound(const boost::shared_ptr<Sound>& sound) const;
    // Unlinks and destroys the entry; false when it is not listed.
    bool Remove(PlayingSound* entry);

    // Every entry of the group stops and loses its loop; the next Update removes it.
    bool StopMusic();
    bool StopEffects();
    bool PauseMusic();
    bool PauseEffects();
    bool ResumeMusic();
    bool ResumeEffects();

    // Entries of the sound (of every sound for null) playing, paused, or in any state.
    int32_t CountPlaying(const boost::shared_ptr<Sound>& sound) const;
    int32_t CountPaused(const boost::shared_ptr<Sound>& sound) const;
    int32_t CountAll(const boost::shared_ptr<Sound>& sound) const;

    // The game's shorthands.
    bool SetEffectsVolume(float gain) { return SetVolume(0, gain); }
    bool SetMusicVolume(float gain) { return SetVolume(1, gain); }
    bool IsPlaying(const boost::shared_ptr<Sound>& sound) const { return FindPlaying(sound, AL_PLAYING) != nullptr; }
    bool PlayOnMusicGroup(const boost::shared_ptr<Sound>& sound, bool loop, float gain);
    bool PlayOnEffectsGroup(const boost::shared_ptr<Sound>& sound, bool loop, float gain);

    // Debugging: prints one word when an OpenAL error is pending.
    void CheckALError() const;

    bool IsInitialized() const { return initialized_; }
    // The newest entry; the list goes on through PlayingSound::GetNext.
    PlayingSound* GetFirst() const { return playing_; }

private:
    bool Start(const boost::shared_ptr<Sound>& sound, int32_t group, float gain, bool looped);
    bool ForGroup(int32_t group, void (*action)(PlayingSound*));
    int32_t Count(const boost::shared_ptr<Sound>& sound, ALint state) const;

    PlayingSound* playing_;
    bool initialized_;
    float volumes_[2];
};

}  // namespace Audio
