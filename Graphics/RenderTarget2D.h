#pragma once
// An off-screen surface the renderer draws into: a colour render-target texture
// (sampled later through its texture) or a depth-stencil surface.
#include "Graphics/SurfaceFormat.h"
#include "platform/d3d9/d3d9.h"

namespace Graphics {

class GraphicsDevice;

class RenderTarget2D {
public:
    // Creates the surface at once.
    RenderTarget2D(GraphicsDevice* device, int width, int height, int levels, SurfaceFormat format, bool depthTarget);
    // Releases whatever surface the target still holds.
    ~RenderTarget2D();
    RenderTarget2D(const RenderTarget2D&) = delete;
    RenderTarget2D& operator=(const RenderTarget2D&) = delete;

    // Creates the surface when it needs creation; the Direct3D result.
    HRESULT Create();
    // Releases the surface; the next Create makes it again.
    void Release();
    // Depth target: its surface, no reference added. Colour target: level 0 of
    // its texture with one reference for the caller, or null when there is no texture.
    IDirect3DSurface9* GetSurface();

    IDirect3DTexture9* GetTexture() const { return texture_; }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    int GetLevels() const { return levels_; }
    bool IsDepthTarget() const { return depth_target_ != 0; }
    SurfaceFormat GetFormat() const { return format_; }
    bool NeedsCreation() const { return needs_creation_; }

private:
    int width_;
    int height_;
    int levels_;
    int depth_target_;
    SurfaceFormat format_;
    GraphicsDevice* device_;
    bool needs_creation_ = true;
    IDirect3DTexture9* texture_ = nullptr;
    IDirect3DSurface9* depth_surface_ = nullptr;
};

}  // namespace Graphics
