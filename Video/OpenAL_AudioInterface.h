#pragma once
// A clip's sound on the game's OpenAL context, and the clip's clock: the decoded samples
// go to a source of its own in quarter-second buffers, and the time is the position the
// source is playing, so the picture follows the sound. The device and its context are the
// audio device's; this output makes only its source and buffers, and deletes them with
// itself.
//
// The clip calls every operation holding its audio lock; GetTime alone is read without it.
#include <AL/al.h>

#include <cstdint>
#include <deque>
#include <memory>

#include "Video/ogv/OgvAudioInterface.h"
#include "Video/ogv/OgvAudioInterfaceFactory.h"
#include "Video/ogv/OgvTimer.h"

namespace Video {

class OpenAL_AudioInterface : public OgvAudioInterface, public OgvTimer {
public:
    // The clip's clock is this object from now on.
    OpenAL_AudioInterface(OgvVideoClip* clip, int channels, int frequency);
    // Stops the source and deletes it with the buffers still queued.
    ~OpenAL_AudioInterface() override;

    // Stores the samples (the first two channels) as 16-bit values; a buffer is queued
    // whenever a quarter second of whole frames is stored, and the source is started when
    // it does not play.
    void InsertData(float** data, int count) override;
    // The release is the destructor's.
    void Destroy() override {}

    // Takes back the buffers played, then reads the clock: the playing position plus the
    // sound finished before it, or, while the source stands still, the end of the queued
    // sound plus the frame time since. Never back between seeks; never past the clip's
    // duration.
    void Update(float increase) override;
    void Pause() override;
    void Play() override;
    // Empties the source; the counts start again at the time's whole seconds, and so
    // does the clock, at once.
    void Seek(float seconds) override;

    // -1 ... 1 into 16 bits, beyond clamped, toward zero.
    static int16_t ToSample(float value);

    ALuint GetSource() const { return source; }
    int GetQueuedSamples() const { return queuedSamples; }
    int GetProcessedSamples() const { return processedSamples; }
    // Values stored and not yet queued.
    int GetNumSamples() const { return numSamples; }
    const int16_t* GetSamples() const { return samples.get(); }
    size_t GetNumQueuedBuffers() const { return queuedBuffers.size(); }
    ALuint GetQueuedBuffer(size_t i) const { return queuedBuffers[i].name; }

private:
    struct QueuedBuffer {
        ALuint name;
        int32_t samples;  // per channel
    };

    void QueueBuffer();
    void UnqueueOldest();

    int32_t maxSamples;
    int32_t numSamples = 0;
    std::unique_ptr<int16_t[]> samples;
    float tempTime = 0.0f;
    std::deque<QueuedBuffer> queuedBuffers;
    ALuint source = 0;
    int32_t queuedSamples = 0;
    int32_t processedSamples = 0;
    // The last reading before the duration's cap; the clock holds it until the source's
    // position passes it.
    float lastReading = 0.0f;
};

// Installed on the video manager by the player when the game has a sound context.
class OpenAL_AudioInterfaceFactory final : public OgvAudioInterfaceFactory {
public:
    // Null (the clip plays silently on its own clock) for more than two channels.
    OgvAudioInterface* CreateInstance(OgvVideoClip* clip, int channels, int frequency) override;
};

}  // namespace Video
