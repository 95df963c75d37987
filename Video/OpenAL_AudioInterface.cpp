#include "Video/OpenAL_AudioInterface.h"

#include <AL/alc.h>

#include <algorithm>
#include <cstdio>

#include "Video/ogv/OgvVideoClip.h"

namespace Video {

namespace {

// OpenAL's errors are printed and otherwise let be.
void CheckAL() {
    const ALenum error = alGetError();
    if (error != AL_NO_ERROR) std::printf("AL err:%8x \n", static_cast<unsigned>(error));
}

// The furthest the source is started into its queue.
constexpr int kMaxStartOffset = 44100;

}  // namespace

OpenAL_AudioInterface::OpenAL_AudioInterface(OgvVideoClip* owner, int channelCount, int sampleRate)
    : OgvAudioInterface(owner, channelCount, sampleRate),
      maxSamples(2 * sampleRate * channelCount),
      samples(new int16_t[static_cast<size_t>(std::max(0, 2 * sampleRate * channelCount))]()) {
    alGenSources(1, &source);
    CheckAL();
    clip->SetTimer(this);
}

OpenAL_AudioInterface::~OpenAL_AudioInterface() {
    // Without a context there is nothing of ours left to delete.
    if (alcGetCurrentContext() == nullptr) return;
    alSourceStop(source);
    CheckAL();
    while (!queuedBuffers.empty()) UnqueueOldest();
    alDeleteSources(1, &source);
    CheckAL();
}

int16_t OpenAL_AudioInterface::ToSample(float value) {
    if (value > 1.0f) value = 1.0f;
    if (value < -1.0f) value = -1.0f;
    return static_cast<int16_t>(value * 32767.0f);
}

void OpenAL_AudioInterface::InsertData(float** data, int count) {
    // A buffer holds a quarter second of whole frames: with an odd product of rate and
    // channels a count of values would never be met exactly.
    const int32_t quarter = frequency / 4 * std::min(channels, 2);
    for (int i = 0; i < count; ++i) {
        if (numSamples < maxSamples) {
            samples[numSamples++] = ToSample(data[0][i]);
            if (channels == 2) samples[numSamples++] = ToSample(data[1][i]);
        }
        if (numSamples >= quarter) QueueBuffer();
    }
}

void OpenAL_AudioInterface::QueueBuffer() {
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    CheckAL();
    alBufferData(buffer, channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, samples.get(),
                 numSamples * static_cast<ALsizei>(sizeof(int16_t)), frequency);
    CheckAL();
    alSourceQueueBuffers(source, 1, &buffer);
    CheckAL();
    const int32_t perChannel = numSamples / (channels == 1 ? 1 : 2);
    queuedSamples += perChannel;
    queuedBuffers.push_back({buffer, perChannel});
    numSamples = 0;

    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    CheckAL();
    if (state != AL_PLAYING) {
        // The new buffer is where the sound goes on: its offset counts from the start of
        // the source's queue, which holds only what is left unplayed.
        const int32_t before = queuedSamples - processedSamples - perChannel;
        const float offset = static_cast<float>(std::min(std::max(before, 0), kMaxStartOffset));
        alSourcef(source, AL_SAMPLE_OFFSET, offset);
        CheckAL();
        alSourcePlay(source);
        CheckAL();
    }
}

void OpenAL_AudioInterface::UnqueueOldest() {
    QueuedBuffer oldest = queuedBuffers.front();
    queuedBuffers.pop_front();
    alSourceUnqueueBuffers(source, 1, &oldest.name);
    CheckAL();
    alDeleteBuffers(1, &oldest.name);
    CheckAL();
}

void OpenAL_AudioInterface::Update(float increase) {
    ALint processed = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    CheckAL();
    for (; processed > 0 && !queuedBuffers.empty(); --processed) {
        processedSamples += queuedBuffers.front().samples;
        UnqueueOldest();
    }
    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    CheckAL();
    float reading;
    if (state == AL_PLAYING) {
        ALfloat offset = 0.0f;
        alGetSourcef(source, AL_SEC_OFFSET, &offset);
        CheckAL();
        reading = offset + static_cast<float>(processedSamples) / static_cast<float>(frequency);
        tempTime = 0.0f;
    } else {
        reading = static_cast<float>(queuedSamples) / static_cast<float>(frequency) + tempTime;
        tempTime += increase;
    }
    // A source started again after running dry plays from where its sound ended, which
    // the clock passed while it stood still: the clock waits there instead of going back,
    // which would read as the loop's wrap.
    reading = std::max(reading, lastReading);
    lastReading = reading;
    time = std::min(reading, clip->GetDuration());
}

void OpenAL_AudioInterface::Pause() {
    alSourcePause(source);
    CheckAL();
    paused = true;
}

void OpenAL_AudioInterface::Play() {
    // A source without sound would report playing at position 0 and hold the clock.
    if (!queuedBuffers.empty()) {
        alSourcePlay(source);
        CheckAL();
    }
    paused = false;
}

void OpenAL_AudioInterface::Seek(float seconds) {
    alSourceStop(source);
    CheckAL();
    while (!queuedBuffers.empty()) UnqueueOldest();
    numSamples = 0;
    tempTime = 0.0f;
    queuedSamples = processedSamples = static_cast<int32_t>(seconds) * frequency;
    // The clock is where the next Update would put it: the frames due are chosen on it
    // before that.
    lastReading = static_cast<float>(queuedSamples) / static_cast<float>(frequency);
    time = std::min(lastReading, clip->GetDuration());
}

OgvAudioInterface* OpenAL_AudioInterfaceFactory::CreateInstance(OgvVideoClip* clip, int channels, int frequency) {
    if (channels < 1 || channels > 2 || frequency <= 0) return nullptr;
    return new OpenAL_AudioInterface(clip, channels, frequency);
}

}  // namespace Video
