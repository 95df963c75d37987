#include "particles/CSEntityParticle.h"

#include "SceneGraph/EmitterNode.h"

namespace {

CSEntity* MakeHost(sg::EmitterNode* node) { return new CSEntityParticle(node); }

void DeleteHost(CSEntity* host) { delete host; }

}  // namespace

void BindEmitterNodeHosts() { sg::SetEffectHostFunctions(&MakeHost, &DeleteHost); }
