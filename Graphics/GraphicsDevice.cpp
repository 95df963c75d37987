// Stand-in until the graphics device exists (see GraphicsDevice.h).
#include "Graphics/GraphicsDevice.h"

namespace Graphics {

GraphicsDevice::GraphicsDevice(IDirect3D9* d3d, IDirect3DDevice9* device) : d3d_(d3d), device_(device) {}

GraphicsDevice::~GraphicsDevice() = default;

}  // namespace Graphics
