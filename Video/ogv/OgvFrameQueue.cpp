#include "Video/ogv/OgvFrameQueue.h"

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
    OgvMutexLock lock(mutex);
    for (DecodedVideoFrame* frame : frames) {
        if (!frame->inUse) {
            frame->inUse = true;
            frame->ready = false;
            return frame;
        }
    }
    return nullptr;
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
