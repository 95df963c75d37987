#pragma once
// The active scene camera and the viewport as the particle library sees them.
//
// Stand-in until the scene graph's camera (sg::Camera) and the particle renderer exist:
// ParticleCamera carries exactly what the particle library reads of the camera, and
// GetParticleCamera / GetParticleViewport stand in for the renderer's queries.
#include <cstdint>

#include "particles/CSMatrix.h"

// Stand-in until sg::Camera exists.
class ParticleCamera {
public:
    virtual ~ParticleCamera() = default;

    // Rebuilds the view and view-projection matrices and the eye from the parameters.
    virtual void UpdateMatrices() = 0;

    uint8_t m_bDirty = 0;  // set when the camera's parameters change
    CSMatrix m_mView;      // row vectors on the left
    CSMatrix m_mViewProjection;
    float m_afEye[3] = {0.0f, 0.0f, 0.0f};
};

// Left, top, right, bottom.
struct ParticleViewportRect {
    int32_t left, top, right, bottom;
};

// Stand-in until the particle renderer exists: the active scene camera (plain,
// non-owning), null when no scene has set one.
ParticleCamera* GetParticleCamera();
// Stand-in hook for the scene that owns the camera.
void SetParticleCamera(ParticleCamera* camera);

// Stand-in until the particle renderer exists: the fixed virtual-screen rectangle.
ParticleViewportRect GetParticleViewport();
