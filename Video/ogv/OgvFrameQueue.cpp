#include "Video/ogv/OgvFrameQueue.h"

#include <algorithm>
#include <iterator>

#include "Video/ogv/DecodedVideoFrame.h"

OgvFrameQueue::OgvFrameQueue(int count, OgvVideoClip* owner) : clip(owner) { SetSize(count); }

OgvFrameQueue::~OgvFrameQueue() { FreeFrames(); }

void OgvFrameQueue::FreeFrames() {
    for (DecodedVideoFrame* frame : frames) delete frame;
    frames.clear();
    size_ = 0;
}

void OgvFrameQueue::SetSize(int count) {
    OgvMutexLock lock(mutex);
    FreeFrames();
    for (int i = 0; i < count; ++i) frames.push_back(new DecodedVideoFrame(clip));
    size_ = count;
}

DecodedVideoFrame* OgvFrameQueue::GetFirstAvailableFrame() {
    OgvMutexLock lock(mutex);
    if (frames.empty() || !frames.front()->ready.load(std::memory_order_acquire)) return nullptr;
    return frames.front();
}

void OgvFrameQueue::Clear() {
    OgvMutexLock lock(mutex);
    for (DecodedVideoFrame* frame : frames) frame->ready = frame->inUse = false;
}

void OgvFrameQueue::Pop() {
    OgvMutexLock lock(mutex);
    if (frames.empty()) return;
    DecodedVideoFrame* front = frames.front();
    front->ready = front->inUse = false;
    frames.splice(frames.end(), frames, frames.begin());
}

DecodedVideoFrame* OgvFrameQueue::RequestEmptyFrame() {
    DecodedVideoFrame* frame;
    {
        OgvMutexLock lock(mutex);
        const auto isFree = [](DecodedVideoFrame* f) { return !f->inUse; };
        const auto first = std::find_if(frames.begin(), frames.end(), isFree);
        if (first == frames.end()) return nullptr;
        // The place in the order is the first free frame's, but the buffer filled is the
        // one freed last (free frames go to the end): when the queue is drained as fast as
        // it is filled, that buffer is still in the cache, where cycling through all of
        // them never is.
        const auto last = std::find_if(frames.rbegin(), frames.rend(), isFree);
        frame = *last;
        if (frame != *first) frames.splice(first, frames, std::prev(last.base()));
        frame->inUse = true;
        frame->ready = false;
    }
    // The frame is this thread's now; the main thread need not wait for the fill.
    frame->FillOnce();
    return frame;
}

void OgvFrameQueue::GiveBack(DecodedVideoFrame* frame) {
    OgvMutexLock lock(mutex);
    frame->ready = false;
    frame->inUse = false;
}

bool OgvFrameQueue::DropBehindFront(float after) {
    OgvMutexLock lock(mutex);
    if (frames.size() < 2) return false;
    const auto second = std::next(frames.begin());
    DecodedVideoFrame* frame = *second;
    if (!frame->ready || !(frame->time > after)) return false;
    frame->ready = frame->inUse = false;
    // Free frames sit behind the ready and the decoding ones.
    frames.splice(frames.end(), frames, second);
    return true;
}

int OgvFrameQueue::GetReadyCount() {
    OgvMutexLock lock(mutex);
    int count = 0;
    for (DecodedVideoFrame* frame : frames) count += frame->ready ? 1 : 0;
    return count;
}
