// Any bytes as a texture atlas index (".tai").
#include "Graphics/TextureAtlas.h"
#include "tests/support/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    const std::string path = fuzzinput::WriteInput(data, size);
    if (path.empty()) return 0;
    (void)Graphics::TextureAtlas::LoadFromFile(path);
    return 0;
}
