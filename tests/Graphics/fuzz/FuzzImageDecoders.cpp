// libFuzzer target for the image decoders: any bytes through the D3DX texture
// substitute (DDS, PNG, BMP into a texture on the null device, and the header
// reader) and through the software PNG and DDS decoders.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "Graphics/DdsDecoder.h"
#include "Graphics/PngDecoder.h"
#include "platform/d3dx/D3DXTexture.h"
#include "support/FuzzDevice.h"

namespace {

// The game's texture budget.
const uint32_t kBudget = 2048 * 2048;

// The software DDS decoder reads by name.
const std::string& ScratchFile() {
    static const std::string path = "/tmp/fuzz-image-decoders-" + std::to_string(static_cast<long>(getpid())) + ".dds";
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    D3DXIMAGE_INFO info;
    D3DXGetImageInfoFromFileInMemory(data, static_cast<UINT>(size), &info);
    IDirect3DTexture9* texture = nullptr;
    if (SUCCEEDED(D3DXCreateTextureFromFileInMemory(fuzzinput::NullDevice(16, 16), data, static_cast<UINT>(size), &texture)))
        texture->Release();

    uint32_t width = 0, height = 0;
    int depth = 0, colourType = 0;
    std::free(Graphics::DecodePng(data, static_cast<uint32_t>(size), kBudget, &width, &height, &depth, &colourType));

    if (FILE* file = std::fopen(ScratchFile().c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
        uint8_t* pixels = nullptr;
        uint32_t pitch = 0;
        if (Graphics::DecodeDdsFile(ScratchFile(), kBudget, pixels, width, height, pitch)) std::free(pixels);
        std::remove(ScratchFile().c_str());
    }
    return 0;
}
