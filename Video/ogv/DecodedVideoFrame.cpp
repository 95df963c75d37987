#include "Video/ogv/DecodedVideoFrame.h"

#include <cstring>

#include "Video/ogv/OgvColourConversion.h"
#include "Video/ogv/OgvVideoClip.h"

DecodedVideoFrame::DecodedVideoFrame(OgvVideoClip* owner)
    : clip(owner),
      size_(static_cast<size_t>(owner->GetStride()) * owner->GetHeight() *
            GetOgvBytesPerPixel(owner->GetOutputMode())) {
    pixels.reset(new uint8_t[size_]);
}

void DecodedVideoFrame::FillOnce() {
    if (filled_) return;
    std::memset(pixels.get(), 0xFF, size_);
    filled_ = true;
}

void DecodedVideoFrame::Decode(th_ycbcr_buffer buffer) {
    GetOgvConverter(clip->GetOutputMode())(buffer, pixels.get(), clip->GetStride());
    ready.store(true, std::memory_order_release);
}
