#include "platform/d3dx/D3DXTexture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/d3d9/common/Formats.h"
#include "platform/dxt/Dxt.h"
#include "platform/d3dx/ImageDecoders.h"

namespace {

using Pixels = std::vector<uint8_t>;

UINT NextPowerOfTwo(UINT value) {
    UINT result = 1;
    while (result < value) {
        result <<= 1;
    }
    return result;
}

// libsquish works in red, green, blue, alpha; the pixels here are blue first.
void SwapRedBlue(Pixels& pixels) {
    for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
        std::swap(pixels[i], pixels[i + 2]);
    }
}

Pixels Decompress(const Pixels& blocks, UINT width, UINT height, D3DFORMAT format) {
    Pixels pixels(static_cast<size_t>(width) * height * 4);
    dxt::DecompressImage(pixels.data(), static_cast<int>(width), static_cast<int>(height), blocks.data(),
                         d3d9::SquishFlags(format));
    SwapRedBlue(pixels);
    return pixels;
}

Pixels Compress(Pixels pixels, UINT width, UINT height, D3DFORMAT format) {
    SwapRedBlue(pixels);
    Pixels blocks(d3dx::LevelBytes(format, width, height));
    dxt::CompressImage(pixels.data(), static_cast<int>(width), static_cast<int>(height), blocks.data(),
                       d3d9::SquishFlags(format));
    return blocks;
}

// Bilinear stretch, texel centres on texel centres (D3DX's triangle filter
// when enlarging, which rounding up to a power of two always does).
Pixels Stretch(const Pixels& source, UINT width, UINT height, UINT toWidth, UINT toHeight) {
    Pixels out(static_cast<size_t>(toWidth) * toHeight * 4);
    auto position = [](UINT to, UINT from, UINT size, UINT* first, UINT* second, float* weight) {
        float at = (static_cast<float>(to) + 0.5f) * static_cast<float>(from) / static_cast<float>(size) - 0.5f;
        at = std::min(std::max(at, 0.0f), static_cast<float>(from - 1));
        *first = static_cast<UINT>(at);
        *second = std::min(*first + 1, from - 1);
        *weight = at - static_cast<float>(*first);
    };
    for (UINT y = 0; y < toHeight; ++y) {
        UINT y0, y1;
        float ty;
        position(y, height, toHeight, &y0, &y1, &ty);
        for (UINT x = 0; x < toWidth; ++x) {
            UINT x0, x1;
            float tx;
            position(x, width, toWidth, &x0, &x1, &tx);
            const uint8_t* p00 = &source[(static_cast<size_t>(y0) * width + x0) * 4];
            const uint8_t* p01 = &source[(static_cast<size_t>(y0) * width + x1) * 4];
            const uint8_t* p10 = &source[(static_cast<size_t>(y1) * width + x0) * 4];
            const uint8_t* p11 = &source[(static_cast<size_t>(y1) * width + x1) * 4];
            uint8_t* o = &out[(static_cast<size_t>(y) * toWidth + x) * 4];
            for (int c = 0; c < 4; ++c) {
                float top = p00[c] + (p01[c] - p00[c]) * tx;
                float bottom = p10[c] + (p11[c] - p10[c]) * tx;
                o[c] = static_cast<uint8_t>(std::floor(top + (bottom - top) * ty + 0.5f));
            }
        }
    }
    return out;
}

// The next mip level: each texel the mean of a 2 x 2 box (D3DX's box filter).
Pixels Halve(const Pixels& source, UINT width, UINT height, UINT* toWidth, UINT* toHeight) {
    *toWidth = std::max(width / 2, 1u);
    *toHeight = std::max(height / 2, 1u);
    Pixels out(static_cast<size_t>(*toWidth) * *toHeight * 4);
    for (UINT y = 0; y < *toHeight; ++y) {
        UINT y0 = std::min(2 * y, height - 1);
        UINT y1 = std::min(2 * y + 1, height - 1);
        for (UINT x = 0; x < *toWidth; ++x) {
            UINT x0 = std::min(2 * x, width - 1);
            UINT x1 = std::min(2 * x + 1, width - 1);
            for (int c = 0; c < 4; ++c) {
                UINT sum = source[(static_cast<size_t>(y0) * width + x0) * 4 + c] +
                           source[(static_cast<size_t>(y0) * width + x1) * 4 + c] +
                           source[(static_cast<size_t>(y1) * width + x0) * 4 + c] +
                           source[(static_cast<size_t>(y1) * width + x1) * 4 + c];
                out[(static_cast<size_t>(y) * *toWidth + x) * 4 + c] = static_cast<uint8_t>((sum + 2) / 4);
            }
        }
    }
    return out;
}

// The levels of the texture: the image stretched to power-of-two sides, then
// the stored levels where they fit, the rest made by halving. The image's levels
// are moved, not copied: a large image is held once.
std::vector<Pixels> BuildChain(d3dx::Image&& image, UINT* width, UINT* height) {
    const bool compressed = d3dx::IsCompressed(image.format);
    *width = NextPowerOfTwo(image.width);
    *height = NextPowerOfTwo(image.height);
    const UINT levels = d3dx::FullChainLevels(*width, *height);

    std::vector<Pixels> chain;
    chain.reserve(levels);
    Pixels last;  // uncompressed pixels of the last level of a compressed chain, once needed
    UINT lastWidth = image.width;
    UINT lastHeight = image.height;
    if (*width == image.width && *height == image.height) {
        for (size_t i = 0; i < image.levels.size() && i < levels; ++i) {
            chain.push_back(std::move(image.levels[i]));
        }
        lastWidth = std::max(image.width >> (chain.size() - 1), 1u);
        lastHeight = std::max(image.height >> (chain.size() - 1), 1u);
    } else {
        last = compressed ? Decompress(image.levels[0], image.width, image.height, image.format)
                          : std::move(image.levels[0]);
        last = Stretch(last, image.width, image.height, *width, *height);
        lastWidth = *width;
        lastHeight = *height;
        chain.push_back(compressed ? Compress(last, lastWidth, lastHeight, image.format) : std::move(last));
        if (!compressed) last.clear();
    }
    while (chain.size() < levels) {
        if (!compressed) {
            Pixels next = Halve(chain.back(), lastWidth, lastHeight, &lastWidth, &lastHeight);
            chain.push_back(std::move(next));
            continue;
        }
        if (last.empty()) {
            last = Decompress(chain.back(), lastWidth, lastHeight, image.format);
        }
        last = Halve(last, lastWidth, lastHeight, &lastWidth, &lastHeight);
        chain.push_back(Compress(last, lastWidth, lastHeight, image.format));
    }
    return chain;
}

HRESULT FillLevel(IDirect3DTexture9* texture, UINT level, const Pixels& bytes, D3DFORMAT format, UINT width,
                  UINT height) {
    const bool compressed = d3dx::IsCompressed(format);
    const size_t rows = compressed ? (height + 3) / 4 : height;
    const size_t rowBytes = rows == 0 ? 0 : d3dx::LevelBytes(format, width, height) / rows;
    D3DLOCKED_RECT locked;
    HRESULT result = texture->LockRect(level, &locked, nullptr, 0);
    if (FAILED(result)) {
        return result;
    }
    if (locked.Pitch < 0 || static_cast<size_t>(locked.Pitch) < rowBytes || bytes.size() < rows * rowBytes) {
        texture->UnlockRect(level);
        return E_FAIL;
    }
    uint8_t* out = static_cast<uint8_t*>(locked.pBits);
    for (size_t row = 0; row < rows; ++row) {
        std::memcpy(out + row * static_cast<size_t>(locked.Pitch), bytes.data() + row * rowBytes, rowBytes);
    }
    return texture->UnlockRect(level);
}

}  // namespace

HRESULT D3DXGetImageInfoFromFileInMemory(LPCVOID data, UINT size, D3DXIMAGE_INFO* info) {
    if (data == nullptr || info == nullptr || size == 0) {
        return D3DERR_INVALIDCALL;
    }
    return d3dx::ReadImageInfo(static_cast<const uint8_t*>(data), size, info);
}

HRESULT D3DXCreateTextureFromFileInMemory(IDirect3DDevice9* device, LPCVOID data, UINT size,
                                          IDirect3DTexture9** texture) {
    return d3dx::CreateTextureFromFileInMemory(device, data, size, d3dx::kDefaultTexturePixels, texture);
}

HRESULT d3dx::CreateTextureFromFileInMemory(IDirect3DDevice9* device, LPCVOID data, UINT size, size_t maxPixels,
                                            IDirect3DTexture9** texture) {
    if (texture != nullptr) {
        *texture = nullptr;
    }
    if (device == nullptr || data == nullptr || size == 0 || texture == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    // The texture is the image stretched to powers of two: that is what the budget holds.
    D3DXIMAGE_INFO info = {};
    HRESULT result = d3dx::ReadImageInfo(static_cast<const uint8_t*>(data), size, &info);
    if (FAILED(result)) {
        return result;
    }
    if (!d3dx::WithinBudget(NextPowerOfTwo(info.Width), NextPowerOfTwo(info.Height), maxPixels)) {
        return D3DXERR_INVALIDDATA;
    }
    d3dx::Image image;
    result = d3dx::DecodeImage(static_cast<const uint8_t*>(data), size, maxPixels, &image);
    if (FAILED(result)) {
        return result;
    }
    UINT width = 0;
    UINT height = 0;
    const D3DFORMAT format = image.format;
    std::vector<Pixels> chain = BuildChain(std::move(image), &width, &height);

    IDirect3DTexture9* created = nullptr;
    result = device->CreateTexture(width, height, static_cast<UINT>(chain.size()), 0, format, D3DPOOL_MANAGED, &created,
                                   nullptr);
    if (FAILED(result) || created == nullptr) {
        return FAILED(result) ? result : E_FAIL;
    }
    for (UINT level = 0; level < chain.size(); ++level) {
        result = FillLevel(created, level, chain[level], format, std::max(width >> level, 1u),
                           std::max(height >> level, 1u));
        // The texture holds the level now.
        chain[level] = Pixels();
        if (FAILED(result)) {
            created->Release();
            return result;
        }
    }
    *texture = created;
    return D3D_OK;
}
