#pragma once
// The recording null device the libFuzzer targets draw on: one per process, made at
// the first call and kept. Header only, so that only the targets that draw link the
// platform library for it.
#include <cstdlib>

#include "platform/d3d9/Extensions.h"

namespace fuzzinput {

// A windowed X8R8G8B8 back buffer of that size with a D24S8 depth buffer; the first
// call's size holds for the process.
inline IDirect3DDevice9* NullDevice(UINT width, UINT height, IDirect3D9** d3dOut = nullptr) {
    static IDirect3D9* d3d = nullptr;
    static IDirect3DDevice9* device = [&] {
        d3d9::SetBackend(d3d9::Backend::Null);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS params = {};
        params.BackBufferWidth = width;
        params.BackBufferHeight = height;
        params.BackBufferFormat = D3DFMT_X8R8G8B8;
        params.BackBufferCount = 1;
        params.SwapEffect = D3DSWAPEFFECT_DISCARD;
        params.Windowed = TRUE;
        params.EnableAutoDepthStencil = TRUE;
        params.AutoDepthStencilFormat = D3DFMT_D24S8;
        IDirect3DDevice9* made = nullptr;
        if (d3d == nullptr || d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_MULTITHREADED,
                                                &params, &made) != D3D_OK)
            std::abort();
        return made;
    }();
    if (d3dOut != nullptr) *d3dOut = d3d;
    return device;
}

}  // namespace fuzzinput
