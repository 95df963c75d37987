#pragma once
// The particle library's side of the graphics device, the scene and the
// shell's view: the Direct3D buffers the batches are drawn from, the view
// hooks, the once-a-frame camera set-up, the draw of a run of quads, and the
// camera and viewport the renderer reads. BindParticleHooks hands these to the
// lower folders, which call them through their own hooks.
#include <cstdint>

#include "Graphics/GraphicsDeviceVertices.h"

namespace Graphics {
class GraphicsDevice;
}
namespace sg {
class Camera;
}
class CSTexture;

// Left, top, right, bottom.
struct ParticleViewportRect {
    int32_t left, top, right, bottom;
};

// The quad vertex buffer holds 0x7000 bytes: 1024 vertices, 256 quads.
constexpr uint32_t kParticleQuadsPerDraw = 256;
constexpr uint32_t kParticleVertexBufferBytes = 0x7000;

// The graphics device's buffer hooks, the scene's frame hooks and flush, and
// the shell's view hooks become the operations below; Unbind clears them.
void BindParticleHooks();
void UnbindParticleHooks();

// With the graphics device: keeps it, and when the buffers do not exist yet
// makes the triangle and quad vertex buffers, the quad index buffer (filled
// once with 4k, 4k+1, 4k+2, 4k+1, 4k+3, 4k+2 for 256 quads) and a white
// texel that untextured quads are drawn with.
void ParticlesCreateDeviceBuffers(Graphics::GraphicsDevice* device);
// Releases what the above made and forgets the device.
void ParticlesReleaseDeviceBuffers();

// Nothing to prepare: the buffers come with the graphics device.
void ParticlesInitView();
// After the game's shutdown: the detail level reset, the batches released and
// every particle cache purged (which frees the light slots).
void ParticlesReleaseView();

// Once a frame before the scene's update, when the device has a scene with a
// camera: the projection state of the matrix stack from the camera, the facing
// angles, one cache sweep, the frame's light count restarted and the detail
// level updated.
void ParticlesUpdateCamera();

// One run of quads (four vertices each, corners 0, 2, 1, 3) drawn through the
// "Particles" technique in draws of at most 256 quads: no depth writes, no
// culling, additive or source-alpha blending, clamped or wrapped addressing.
// A null texture, or one without an engine texture, draws the quads in their
// colour.
void DrawParticleQuads(const Graphics::ParticleQuadVertex* vertices, CSTexture* texture, uint32_t quads, bool additive,
                       bool clamp);

// The triangle vertex buffer is as large: 341 whole triangles.
constexpr uint32_t kParticleTrianglesPerDraw = kParticleVertexBufferBytes / (3 * sizeof(Graphics::ParticleQuadVertex));

// Triangles of three vertices each, drawn as a plain triangle list from the
// triangle vertex buffer with the states of DrawParticleQuads, at most 341 a
// draw. Nothing in the game draws triangles.
void DrawParticleTriangleList(const Graphics::ParticleQuadVertex* vertices, CSTexture* texture, uint32_t triangles,
                              bool additive, bool clamp);

// (0, 0, 1024, 768): the interface's virtual screen.
ParticleViewportRect GetParticleViewport();
// The camera of the graphics device's current scene; null without a device,
// a scene or a camera. Valid for the frame.
sg::Camera* GetParticleCamera();
