// Any bytes as a WAV file: the handler parses the header and reads frames, never crashing.
#include "Audio/CSSampleHandlerWAV.h"
#include "tests/support/FuzzInput.h"

#include <thread>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzzinput::WriteInput(data, size);
    if (path.empty()) return 0;
    CSSampleHandlerWAV handler(SampleSourceInfo(path), 0, 0);
    const SampleFormat* format = nullptr;
    for (int i = 0; i < 1000 && handler.IsOpen() && !format; ++i) {
        format = handler.ParseHeader();
        if (!format) std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    if (!format) return 0;
    // The announced length may be anything: read a bounded window at its start and end.
    const uint32_t frameBytes = format->channels * (format->bitsPerSample / 8);
    const uint32_t frames = format->frameCount < 4096 ? format->frameCount : 4096;
    std::vector<uint8_t> buffer(static_cast<size_t>(frames) * frameBytes);
    const int key = 0;
    handler.RequestRead(buffer.data(), 0, frames, &key);
    handler.RequestRead(buffer.data(), format->frameCount - frames, frames, &key);
    handler.FinishRequest(&key);
    handler.FinishRequest(&key);
    return handler.IsRequestDone(&key) ? 0 : 0;
}
