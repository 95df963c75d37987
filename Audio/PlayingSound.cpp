#include "Audio/PlayingSound.h"

#include <algorithm>
#include <new>

#include "Audio/CSSampleHandler.h"
#include "Audio/Sound.h"
#include "Threading/Thread.h"

namespace Audio {

namespace {

constexpr ALuint kNoSource = ~0u;
constexpr float kReadPollSeconds = 0.001f;

ALenum BufferFormat(const SampleFormat& format) {
    if (format.channels == 2 && format.bitsPerSample == 16) return AL_FORMAT_STEREO16;
    if (format.channels == 1 && format.bitsPerSample == 16) return AL_FORMAT_MONO16;
    if (format.channels == 2 && format.bitsPerSample == 8) return AL_FORMAT_STEREO8;
    return AL_FORMAT_MONO8;
}

uint32_t BytesPerFrame(const SampleFormat& format) { return format.channels * (format.bitsPerSample / 8); }

}  // namespace

PlayingSound::PlayingSound(const boost::shared_ptr<Sound>& sound, int32_t group, bool looped)
    : sound_(sound),
      source_(kNoSource),
      buffers_{0, 0},
      format_(AL_FORMAT_MONO8),
      next_(nullptr),
      looped_(looped),
      position_(0),
      pending_(0),
      refill_first_(true),
      group_(group) {}

PlayingSound::~PlayingSound() { DestroySource(); }

uint32_t PlayingSound::MaxChunkFrames(const SampleFormat& format) { return kChunkBytes / BytesPerFrame(format); }

bool PlayingSound::IsLongStream(const SampleFormat& format) const {
    return sound_->IsStream() && format.frameCount > 2 * MaxChunkFrames(format);
}

void PlayingSound::Upload(ALuint buffer, const SampleFormat& format, const void* data, uint32_t frames) {
    alBufferData(buffer, format_, data, static_cast<ALsizei>(frames * BytesPerFrame(format)),
                 static_cast<ALsizei>(format.rate));
}

bool PlayingSound::CreateSource() {
    const SampleFormat* format = sound_ && sound_->IsLoaded() ? sound_->GetFormat() : nullptr;
    if (!format || (!sound_->IsStream() && !sound_->GetSamples())) return false;
    format_ = BufferFormat(*format);

    // A source or buffer the context cannot give leaves an error and no name.
    alGetError();
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) return false;
    source_ = source;
    ALuint buffers[2] = {0, 0};
    alGenBuffers(sound_->IsStream() ? 2 : 1, buffers);
    if (alGetError() != AL_NO_ERROR) return false;
    buffers_[0] = buffers[0];
    buffers_[1] = buffers[1];
    alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);

    if (!sound_->IsStream()) {
        Upload(buffers_[0], *format, sound_->GetSamples(), format->frameCount);
        alSourcei(source_, AL_BUFFER, static_cast<ALint>(buffers_[0]));
        if (looped_) alSourcei(source_, AL_LOOPING, AL_TRUE);
        return true;
    }
    return PrimeStream(*format);
}

bool PlayingSound::ReadNow() {
    CSSampleHandler* handler = sound_->GetHandler();
    handler->RequestRead(scratch_.get(), position_, pending_, this);
    while (!handler->IsRequestDone(this)) SleepSeconds(kReadPollSeconds);
    return !handler->HasRequestFailed(this);
}

bool PlayingSound::PrimeStream(const SampleFormat& format) {
    scratch_.reset(new (std::nothrow) uint8_t[kChunkBytes]);
    if (!scratch_) return false;
    const uint32_t maxChunk = MaxChunkFrames(format);
    refill_first_ = true;

    pending_ = std::min(maxChunk, format.frameCount);
    if (!ReadNow()) {
        pending_ = 0;
        return false;
    }
    position_ += pending_;
    Upload(buffers_[0], format, scratch_.get(), pending_);
    alSourceQueueBuffers(source_, 1, &buffers_[0]);

    pending_ = format.frameCount > position_ ? std::min(format.frameCount - position_, maxChunk) : 0;
    if (pending_ != 0) {
        if (ReadNow()) {
            position_ += pending_;
            Upload(buffers_[1], format, scratch_.get(), pending_);
            alSourceQueueBuffers(source_, 1, &buffers_[1]);
            pending_ = format.frameCount > position_ ? std::min(format.frameCount - position_, maxChunk) : 0;
        } else {
            // The data ends with the first chunk: a looped stream loops it, another plays it once.
            pending_ = 0;
            if (!looped_) scratch_.reset();
        }
    }
    // The whole stream fits into the queued buffers.
    if (looped_ && pending_ == 0) alSourcei(source_, AL_LOOPING, AL_TRUE);
    if (pending_ != 0) sound_->GetHandler()->RequestRead(scratch_.get(), position_, pending_, this);
    return true;
}

void PlayingSound::RequestNext(const SampleFormat& format) {
    if (position_ >= format.frameCount) {
        if (!looped_) {
            scratch_.reset();
            pending_ = 0;
            return;
        }
        // Frame 0 also makes an Ogg handler decode from the beginning again.
        position_ = 0;
    }
    pending_ = std::min(format.frameCount - position_, MaxChunkFrames(format));
    sound_->GetHandler()->RequestRead(scratch_.get(), position_, pending_, this);
}

void PlayingSound::Refill() {
    const SampleFormat* format = sound_->GetFormat();
    if (!format || !IsLongStream(*format)) return;
    if (!scratch_ || pending_ == 0) return;

    ALint queued = 0, processed = 0;
    alGetSourcei(source_, AL_BUFFERS_QUEUED, &queued);
    alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
    const bool stalled = IsStalled();
    if (queued >= 2 && processed == 0) return;
    CSSampleHandler* handler = sound_->GetHandler();
    if (!handler->IsRequestDone(this)) return;  // the next frame tries again
    if (handler->HasRequestFailed(this)) {
        // The data ends where the read failed; nothing of that chunk is played.
        position_ = format->frameCount;
        RequestNext(*format);
        return;
    }

    position_ += pending_;
    ALuint& next = buffers_[refill_first_ ? 0 : 1];
    ALuint& other = buffers_[refill_first_ ? 1 : 0];
    if (stalled) {
        // Everything queued has played. Started with it still queued, the source would play
        // it once more: it all comes off, and the source starts with the new chunk.
        ALuint names[2] = {0, 0};
        alSourceUnqueueBuffers(source_, std::min<ALint>(processed, 2), names);
        if (processed >= 2) {
            next = names[0];
            other = names[1];
        } else if (processed == 1) {
            // The other buffer has been off the queue since an earlier stall.
            other = names[0];
        }
    } else if (queued >= 2) {
        alSourceUnqueueBuffers(source_, 1, &next);
    }
    // With one buffer queued, the next one has been off the queue since a stall.
    Upload(next, *format, scratch_.get(), pending_);
    alSourceQueueBuffers(source_, 1, &next);
    refill_first_ = !refill_first_;
    if (stalled) alSourcePlay(source_);
    RequestNext(*format);
}

bool PlayingSound::IsStalled() const {
    const SampleFormat* format = sound_->GetFormat();
    return format && IsLongStream(*format) && scratch_ && position_ < format->frameCount &&
           GetSourceState() == AL_STOPPED;
}

ALint PlayingSound::GetSourceState() const {
    ALint state = AL_STOPPED;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    return state;
}

ALint PlayingSound::GetEffectiveState() const { return IsStalled() ? AL_PLAYING : GetSourceState(); }

void PlayingSound::Halt() {
    alSourceStop(source_);
    looped_ = false;
    if (scratch_ && pending_ != 0 && sound_->GetHandler()) sound_->GetHandler()->FinishRequest(this);
    scratch_.reset();
    pending_ = 0;
}

void PlayingSound::DestroySource() {
    // No read may still write into the scratch buffer.
    if (scratch_ && pending_ != 0 && sound_->GetHandler()) sound_->GetHandler()->FinishRequest(this);
    if (source_ != kNoSource) {
        alSourceStop(source_);
        alDeleteSources(1, &source_);
        source_ = kNoSource;
    }
    for (ALuint& buffer : buffers_) {
        if (buffer != 0) alDeleteBuffers(1, &buffer);
        buffer = 0;
    }
    scratch_.reset();
    pending_ = 0;
}

}  // namespace Audio
