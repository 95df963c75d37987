#pragma once
// The entity of an effect shown by a scene node (type 3): an emitter node makes one
// for itself, with itself as host, and keeps it as long as it lives.
#include "particles/CSEntity.h"

class CSEntityParticle : public CSEntity {
public:
    explicit CSEntityParticle(sg::Node* host) : CSEntity(kTypeParticle, host) {}
};

// The scene graph sits below the particle library, so an emitter node makes its
// host entity and its effect instance through functions bound here: from this
// call on, every new sg::EmitterNode gets a CSEntityParticle and runs a
// CSEffectInstance of its effect file. The program binds them at start.
void BindEmitterNodeHosts();
