// Stand-ins until the particle batches exist (see GraphicsDeviceStandIns.h):
// they draw nothing and only report the call.
#include "Graphics/GraphicsDeviceStandIns.h"

namespace Graphics {
namespace standin {

namespace {
Observer* g_observer = nullptr;
}

void SetObserver(Observer* observer) { g_observer = observer; }

void ParticlesCreateDeviceBuffers(GraphicsDevice* /*device*/) {
    if (g_observer != nullptr) {
        g_observer->ParticleBuffersCreated();
    }
}

void ParticlesReleaseDeviceBuffers() {
    if (g_observer != nullptr) {
        g_observer->ParticleBuffersReleased();
    }
}

void ParticlesFlush() {
    if (g_observer != nullptr) {
        g_observer->ParticlesFlushed();
    }
}

}  // namespace standin
}  // namespace Graphics
