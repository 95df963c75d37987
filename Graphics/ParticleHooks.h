#pragma once
// What the graphics device and the scene ask of the particle library, which
// sits above both: its device buffers made and released with the device, its
// once-a-frame camera set-up and batch reset before the scene's update, and
// the flush of its batches after the scene's models. The library binds its
// operations here; while nothing is bound every call is skipped.
namespace Graphics {

class GraphicsDevice;

struct ParticleHooks {
    void (*createDeviceBuffers)(GraphicsDevice* device) = nullptr;
    void (*releaseDeviceBuffers)() = nullptr;
    void (*updateCamera)() = nullptr;
    void (*beginFrame)() = nullptr;
    void (*flush)() = nullptr;
    // The model objects particles placed this frame, drawn after the scene's models
    // and before the flush.
    void (*drawObjects)() = nullptr;
};

// Replaces every hook; a default ParticleHooks unbinds them all.
void SetParticleHooks(const ParticleHooks& hooks);
const ParticleHooks& GetParticleHooks();

// The calls, each skipped while its hook is unbound.
void ParticlesCreateDeviceBuffers(GraphicsDevice* device);
void ParticlesReleaseDeviceBuffers();
void ParticlesUpdateCamera();
void ParticlesBeginFrame();
void ParticlesFlush();
void ParticlesDrawObjects();

}  // namespace Graphics
