#pragma once
// A recording null device made the way the game makes its device.
#include <string>
#include <vector>

#include "support/NullDeviceFixture.h"

class D3D9NullTest : public testsupport::NullDeviceTest {
protected:
    D3D9NullTest() : NullDeviceTest(64, 48, D3DCREATE_MULTITHREADED) {
        params.BackBufferCount = 2;
        params.PresentationInterval = D3DPRESENT_INTERVAL_ONE;
    }

    // True when the device reported an error containing the text.
    bool Reported(const std::string& text) {
        for (const std::string& error : d3d9::GetErrors(device)) {
            if (error.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    IDirect3DVertexDeclaration9* MakeDeclaration(std::initializer_list<D3DVERTEXELEMENT9> elements) {
        std::vector<D3DVERTEXELEMENT9> list(elements);
        list.push_back(D3DDECL_END());
        IDirect3DVertexDeclaration9* declaration = nullptr;
        EXPECT_EQ(device->CreateVertexDeclaration(list.data(), &declaration), D3D_OK);
        return declaration;
    }
};
