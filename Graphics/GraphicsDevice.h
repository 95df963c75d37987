#pragma once
// Stand-in until the graphics device exists: only the Direct3D object and device
// that textures and render targets are created on. The game registers the one
// device as Service<Graphics::GraphicsDevice>.
#include "platform/d3d9/d3d9.h"

namespace Graphics {

class GraphicsDevice {
public:
    // Neither pointer is owned.
    GraphicsDevice(IDirect3D9* d3d, IDirect3DDevice9* device);
    virtual ~GraphicsDevice();

    IDirect3D9* GetD3D() const { return d3d_; }
    IDirect3DDevice9* GetDevice() const { return device_; }

private:
    IDirect3D9* d3d_;
    IDirect3DDevice9* device_;
};

}  // namespace Graphics
