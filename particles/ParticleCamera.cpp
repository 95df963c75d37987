#include "particles/ParticleCamera.h"

namespace {
ParticleCamera* s_pActiveCamera = nullptr;
}

ParticleCamera* GetParticleCamera() { return s_pActiveCamera; }

void SetParticleCamera(ParticleCamera* camera) { s_pActiveCamera = camera; }

ParticleViewportRect GetParticleViewport() {
    static const ParticleViewportRect s_viewport = {0, 0, 1024, 768};
    return s_viewport;
}
