#pragma once
// One frame of the comparison quad on a device of the Direct3D 9 substitute: clear,
// then a full-screen quad textured from a 256 x 256 checker and alpha-blended over
// the clear colour, then present. The quad benchmark draws it against plain OpenGL;
// the world benchmark draws it against the world scene on the same device.
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/d3d9/Extensions.h"
#include "platform/d3d9/d3d9.h"
#include "tests/support/GLDevice.h"

namespace benchsupport {

constexpr int kQuadTextureSide = 256;

// The checker the quad is textured with, A8R8G8B8.
inline std::vector<DWORD> QuadChecker() {
    std::vector<DWORD> texels(kQuadTextureSide * kQuadTextureSide);
    for (int y = 0; y < kQuadTextureSide; ++y) {
        for (int x = 0; x < kQuadTextureSide; ++x) {
            texels[y * kQuadTextureSide + x] = ((x / 16 + y / 16) % 2) != 0 ? 0x80FF8040u : 0xC02060FFu;
        }
    }
    return texels;
}

class QuadFrame {
public:
    // The quad's program, vertex declaration and texture on the device (which the
    // caller keeps); false when the program does not build.
    bool Open(IDirect3DDevice9* device, int width, int height) {
        device_ = device;
        width_ = width;
        height_ = height;
        std::string errors;
        d3d9::CreateProgram(device_, testsupport::kTexturedQuadVertexShader, testsupport::kTexturedQuadFragmentShader,
                            &program_, &errors);
        const D3DVERTEXELEMENT9 elements[] = {
            {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITIONT, 0},
            {0, 16, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
            D3DDECL_END(),
        };
        device_->CreateVertexDeclaration(elements, &declaration_);
        device_->CreateTexture(kQuadTextureSide, kQuadTextureSide, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture_,
                               nullptr);
        D3DLOCKED_RECT locked;
        texture_->LockRect(0, &locked, nullptr, 0);
        const std::vector<DWORD> texels = QuadChecker();
        std::memcpy(locked.pBits, texels.data(), texels.size() * 4);
        texture_->UnlockRect(0);
        return program_ != nullptr;
    }

    // One frame; with `pixels`, the frame is read back before it is presented, so
    // that all its drawing is finished.
    void Frame(std::vector<DWORD>* pixels = nullptr) {
        struct ScreenVertex {
            float x, y, z, rhw, u, v;
        };
        const float tint[4] = {1.0f, 1.0f, 1.0f, 0.75f};
        const int unit = 0;
        const float w = static_cast<float>(width_);
        const float h = static_cast<float>(height_);
        const ScreenVertex quad[4] = {{-0.5f, -0.5f, 0.5f, 1, 0, 0},
                                      {w - 0.5f, -0.5f, 0.5f, 1, 1, 0},
                                      {-0.5f, h - 0.5f, 0.5f, 1, 0, 1},
                                      {w - 0.5f, h - 0.5f, 0.5f, 1, 1, 1}};
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF203040, 1.0f, 0);
        device_->BeginScene();
        d3d9::SetProgram(device_, program_);
        program_->SetFloats("tint", tint, 4);
        program_->SetInts("tex", &unit, 1);
        device_->SetVertexDeclaration(declaration_);
        device_->SetTexture(0, texture_);
        device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex));
        device_->EndScene();
        if (pixels != nullptr) {
            d3d9::ReadBackBuffer(device_, pixels, nullptr, nullptr);
        }
        device_->Present(nullptr, nullptr, nullptr, nullptr);
    }

    ~QuadFrame() {
        for (IUnknown* object : std::initializer_list<IUnknown*>{texture_, declaration_}) {
            if (object != nullptr) {
                object->Release();
            }
        }
        if (program_ != nullptr) {
            program_->Release();
        }
    }

private:
    IDirect3DDevice9* device_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    d3d9::ShaderProgram* program_ = nullptr;
    IDirect3DVertexDeclaration9* declaration_ = nullptr;
    IDirect3DTexture9* texture_ = nullptr;
};

}  // namespace benchsupport
