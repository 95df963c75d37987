#include "Graphics/ParticleHooks.h"

namespace Graphics {

namespace {
ParticleHooks g_hooks;
}

void SetParticleHooks(const ParticleHooks& hooks) { g_hooks = hooks; }

const ParticleHooks& GetParticleHooks() { return g_hooks; }

void ParticlesCreateDeviceBuffers(GraphicsDevice* device) {
    if (g_hooks.createDeviceBuffers != nullptr) g_hooks.createDeviceBuffers(device);
}

void ParticlesReleaseDeviceBuffers() {
    if (g_hooks.releaseDeviceBuffers != nullptr) g_hooks.releaseDeviceBuffers();
}

void ParticlesUpdateCamera() {
    if (g_hooks.updateCamera != nullptr) g_hooks.updateCamera();
}

void ParticlesBeginFrame() {
    if (g_hooks.beginFrame != nullptr) g_hooks.beginFrame();
}

void ParticlesFlush() {
    if (g_hooks.flush != nullptr) g_hooks.flush();
}

void ParticlesDrawObjects() {
    if (g_hooks.drawObjects != nullptr) g_hooks.drawObjects();
}

}  // namespace Graphics
