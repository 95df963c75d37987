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
#include "platform/d3d9/Extensions.h"
#include "platform/d3dx/D3DXTexture.h"

namespace {

// The game's texture budget.
const uint32_t kBudget = 2048 * 2048;

// Made once and kept for the whole run.
IDirect3D9* g_d3d = nullptr;

IDirect3DDevice9* NullDevice() {
    static IDirect3DDevice9* device = [] {
        d3d9::SetBackend(d3d9::Backend::Null);
        g_d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS params = {};
        params.BackBufferWidth = 16;
        params.BackBufferHeight = 16;
        params.BackBufferFormat = D3DFMT_X8R8G8B8;
        params.SwapEffect = D3DSWAPEFFECT_DISCARD;
        params.Windowed = TRUE;
        IDirect3DDevice9* made = nullptr;
        g_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, 0, &params, &made);
        return made;
    }();
    return device;
}

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
    if (SUCCEEDED(D3DXCreateTextureFromFileInMemory(NullDevice(), data, static_cast<UINT>(size), &texture)))
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
