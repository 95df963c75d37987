#pragma once
// One frame buffer of a clip's queue, in the clip's pixel layout. Free, then taken by the
// decoder (inUse), then holding a picture (ready), then free again when shown or cleared.
// The worker writes pixels and time only while the frame is in use and not ready; ready
// is published after them, so a reader that sees it set sees the whole picture.
#include <theora/codec.h>

#include <atomic>
#include <cstdint>
#include <memory>

class OgvVideoClip;

class DecodedVideoFrame {
public:
    // A buffer of stride x height x bytes per pixel of the clip's mode, every byte 0xFF by
    // the time the queue first hands the frame out: a buffer the decoder never takes is
    // never touched, so its memory is not committed.
    explicit DecodedVideoFrame(OgvVideoClip* owner);
    DecodedVideoFrame(const DecodedVideoFrame&) = delete;
    DecodedVideoFrame& operator=(const DecodedVideoFrame&) = delete;

    // Converts the picture into pixels and marks the frame ready.
    void Decode(th_ycbcr_buffer buffer);

    uint8_t* GetPixels() const { return pixels.get(); }
    size_t GetSize() const { return size_; }
    float GetTime() const { return time; }
    void SetTime(float seconds) { time = seconds; }

private:
    friend class OgvFrameQueue;

    // Only by the thread that holds the frame in use.
    void FillOnce();

    OgvVideoClip* clip;
    std::unique_ptr<uint8_t[]> pixels;
    size_t size_;
    float time = 0.0f;
    bool filled_ = false;
    std::atomic<bool> ready{false};
    std::atomic<bool> inUse{false};
};
