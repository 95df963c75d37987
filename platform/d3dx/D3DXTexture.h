#pragma once
// The D3DX texture loading the game calls: an encoded image in memory (DDS with
// DXT1/3/5 blocks or uncompressed pixels, PNG, BMP) becomes a managed texture.
// As D3DX does with its default arguments, each side is rounded up to a power of
// two (the image is stretched to fill it) and a full mip chain down to 1 x 1 is
// made; mip levels a DDS file stores are used as they are.
#include "platform/d3d9/d3d9.h"

// The data is not an image D3DX can read.
#define D3DXERR_INVALIDDATA MAKE_D3DHRESULT(2905)

enum D3DXIMAGE_FILEFORMAT {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
};

struct D3DXIMAGE_INFO {
    UINT Width;  // as stored in the file
    UINT Height;
    UINT Depth;      // 1
    UINT MipLevels;  // levels the file stores
    // The format the texture is made in: D3DFMT_DXT1/3/5 for compressed DDS,
    // else D3DFMT_A8R8G8B8 when the image carries alpha, D3DFMT_X8R8G8B8 when not.
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;  // D3DRTYPE_TEXTURE
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

// Reads only what the header says. D3DXERR_INVALIDDATA for data that is not a
// readable image, D3DERR_INVALIDCALL for null arguments.
HRESULT D3DXGetImageInfoFromFileInMemory(LPCVOID data, UINT size, D3DXIMAGE_INFO* info);

// *texture is null on failure. D3DXERR_INVALIDDATA for data that cannot be
// decoded (truncated, corrupt, unsupported, zero-sized or larger than 8192 on a
// side) or whose texture would be larger than d3dx::kDefaultTexturePixels; the
// device's own error when it refuses the texture.
HRESULT D3DXCreateTextureFromFileInMemory(IDirect3DDevice9* device, LPCVOID data, UINT size,
                                          IDirect3DTexture9** texture);

namespace d3dx {

// Pixels of a texture's top level, its sides rounded up to powers of two.
constexpr size_t kDefaultTexturePixels = 4096 * 4096;

// D3DXCreateTextureFromFileInMemory with a budget of its own: an image whose texture
// would have more than maxPixels pixels in its top level is refused from its header,
// before anything is decoded or allocated.
HRESULT CreateTextureFromFileInMemory(IDirect3DDevice9* device, LPCVOID data, UINT size, size_t maxPixels,
                                      IDirect3DTexture9** texture);

}  // namespace d3dx
