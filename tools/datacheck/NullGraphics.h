#pragma once
// The recording null device and a graphics device on it, registered as the
// graphics device while a check runs (unless one already is), for the checks
// that load textures through the game's loaders.
#include <memory>

#include "platform/d3d9/Extensions.h"

namespace Graphics {
class GraphicsDevice;
}

namespace datacheck {

class NullGraphics {
public:
    NullGraphics();
    ~NullGraphics();
    NullGraphics(const NullGraphics&) = delete;
    NullGraphics& operator=(const NullGraphics&) = delete;

    bool Ready() const { return registered_; }

private:
    d3d9::Backend previous_backend_;
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    std::unique_ptr<Graphics::GraphicsDevice> graphics_;
    bool registered_ = false;
};

}  // namespace datacheck
