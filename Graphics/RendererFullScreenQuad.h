#pragma once
// Two pre-transformed triangles covering a width x height rectangle from the
// top-left corner, in a static write-only vertex buffer.
#include "platform/d3d9/d3d9.h"

namespace Graphics {

class FullScreenQuad {
public:
    FullScreenQuad(IDirect3DDevice9* device, int width, int height);
    ~FullScreenQuad();
    FullScreenQuad(const FullScreenQuad&) = delete;
    FullScreenQuad& operator=(const FullScreenQuad&) = delete;

    // With the given ScreenVertex declaration; counter-clockwise culling.
    void Draw(IDirect3DVertexDeclaration9* declaration);
    void Release();

    IDirect3DVertexBuffer9* GetVertexBuffer() const { return vertices_; }

private:
    IDirect3DDevice9* device_;
    IDirect3DVertexBuffer9* vertices_ = nullptr;
};

}  // namespace Graphics
