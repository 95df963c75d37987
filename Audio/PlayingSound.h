#pragma once
// One entry of the audio device's playing list: a sound on an OpenAL source of its own.
// A whole sound plays from one buffer; a stream cycles two buffers, each refilled from the
// stream's handler while the other plays, with one read in flight into a scratch buffer.
#include <AL/al.h>
#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <memory>

#include "Audio/SampleSourceInfo.h"

namespace Audio {

class AudioDevice;
class Sound;

class PlayingSound {
public:
    // Bytes of one stream buffer, and of the scratch buffer its reads go to.
    static constexpr uint32_t kChunkBytes = 65536;

    // Stores the three values; CreateSource then generates the source and fills it.
    PlayingSound(const boost::shared_ptr<Sound>& sound, int32_t group, bool looped);
    // Finishes a read in flight and deletes the source and buffers (DestroySource).
    ~PlayingSound();

    PlayingSound(const PlayingSound&) = delete;
    PlayingSound& operator=(const PlayingSound&) = delete;

    // False when the entry cannot play: no source or buffers could be generated, the sound
    // is not loaded, or the stream's first read failed. Such an entry has nothing to undo
    // but its destruction.
    bool CreateSource();
    void DestroySource();
    // Once per frame: a stream longer than its two buffers refills the buffer its source has
    // finished with from the finished prefetch, and asks for the next chunk.
    void Refill();
    // A stream whose source ran out of queued data before the refill caught up: Refill
    // starts it again.
    bool IsStalled() const;

    // AL_SOURCE_STATE of the source.
    ALint GetSourceState() const;
    // The source state, with a stalled stream counted as AL_PLAYING.
    ALint GetEffectiveState() const;

    const boost::shared_ptr<Sound>& GetSound() const { return sound_; }
    ALuint GetSource() const { return source_; }
    ALuint GetBuffer(int index) const { return buffers_[index]; }
    ALenum GetBufferFormat() const { return format_; }
    PlayingSound* GetNext() const { return next_; }
    bool IsLooped() const { return looped_; }
    int32_t GetGroup() const { return group_; }
    bool HasScratch() const { return scratch_ != nullptr; }
    uint32_t GetPosition() const { return position_; }
    uint32_t GetPending() const { return pending_; }
    // The buffer the next refill fills: 0 the first, 1 the second.
    int GetNextBufferIndex() const { return refill_first_ ? 0 : 1; }

    // The most frames one stream buffer holds in this format.
    static uint32_t MaxChunkFrames(const SampleFormat& format);

private:
    friend class AudioDevice;

    // Stops the source for good: a stream gives up its read in flight and its scratch
    // buffer, so it is never taken for stalled.
    void Halt();
    // The first frames of a stream into the two buffers; false when the first read fails.
    bool PrimeStream(const SampleFormat& format);
    // Reads pending_ frames from position_ into the scratch buffer and waits for them;
    // false when the read failed.
    bool ReadNow();
    // Asks for the next chunk after position_, wrapping a looped stream to frame 0; a stream
    // that does not loop and has been read to its end frees its scratch buffer instead.
    void RequestNext(const SampleFormat& format);
    void Upload(ALuint buffer, const SampleFormat& format, const void* data, uint32_t frames);
    bool IsLongStream(const SampleFormat& format) const;

    boost::shared_ptr<Sound> sound_;
    ALuint source_;
    ALuint buffers_[2];
    ALenum format_;
    PlayingSound* next_;
    bool looped_;
    std::unique_ptr<uint8_t[]> scratch_;
    uint32_t position_;
    uint32_t pending_;
    bool refill_first_;
    int32_t group_;
};

}  // namespace Audio
