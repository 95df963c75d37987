#pragma once
// A clip's decoded frames: a fixed set of buffers in decoding order. The front is the next
// frame to show; a shown frame goes back in at the end. Every operation but GetSize holds
// the queue's lock.
#include <list>

#include "Video/ogv/OgvMutex.h"

class DecodedVideoFrame;
class OgvVideoClip;

class OgvFrameQueue {
public:
    OgvFrameQueue(int count, OgvVideoClip* owner);
    ~OgvFrameQueue();
    OgvFrameQueue(const OgvFrameQueue&) = delete;
    OgvFrameQueue& operator=(const OgvFrameQueue&) = delete;

    // Frees every frame and makes count new ones.
    void SetSize(int count);
    // The front frame when it is ready, else null.
    DecodedVideoFrame* GetFirstAvailableFrame();
    // Every frame free.
    void Clear();
    // The front frame is free again and goes to the end.
    void Pop();
    // The first free frame, now taken by the decoder; null when all are in use.
    DecodedVideoFrame* RequestEmptyFrame();
    // A frame the decoder took and could not fill is free again.
    void GiveBack(DecodedVideoFrame* frame);
    // When the frame behind the front is ready and timed after `after`, it is freed and
    // goes to the end; true when one was.
    bool DropBehindFront(float after);
    int GetReadyCount();
    int GetSize() const { return size_; }

private:
    void FreeFrames();

    std::list<DecodedVideoFrame*> frames;
    OgvVideoClip* clip;
    OgvMutex mutex;
    int size_ = 0;  // the list's length, read without the lock
};
