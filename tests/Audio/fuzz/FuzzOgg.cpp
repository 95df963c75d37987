// Any bytes as an Ogg Vorbis file: the handler parses the headers, decodes, seeks and
// restarts, never crashing or looping for ever. The first byte picks the options.
#include "Audio/CSSampleHandlerOGG.h"
#include "tests/support/FuzzInput.h"

#include <thread>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t options = data[0];
    const std::string path = fuzzinput::WriteInput(data + 1, size - 1);
    if (path.empty()) return 0;
    CSSampleHandlerOGG handler(SampleSourceInfo(path), options & 1, (options >> 1) & 1);
    const SampleFormat* format = nullptr;
    for (int i = 0; i < 1000 && handler.IsOpen() && !format; ++i) {
        format = handler.ParseHeader();
        if (!format) std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    if (!format) return 0;
    std::vector<int16_t> buffer(8192 * 2);
    const int key = 0;
    // Decode a bounded amount: a few chunks, a seek forward, a restart.
    for (uint32_t first = 0; first < 4 * 8192 && handler.IsOpen(); first += 8192) {
        handler.RequestRead(buffer.data(), first, 8192, &key);
    }
    handler.SeekTo(((options >> 2) & 7) * 10000u);
    handler.RequestRead(buffer.data(), 0, 4096, &key);
    handler.SeekTo(0);
    return handler.IsAtEnd() ? 0 : 0;
}
