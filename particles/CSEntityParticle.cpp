#include "particles/CSEntityParticle.h"

#include "SceneGraph/EmitterNode.h"
#include "particles/CSEffectInstance.h"

namespace {

CSEntity* MakeHost(sg::EmitterNode* node) { return new CSEntityParticle(node); }

void DeleteHost(CSEntity* host) { delete host; }

}  // namespace

void BindEmitterNodeHosts() {
    sg::SetEffectHostFunctions(&MakeHost, &DeleteHost);
    BindEffectInstances();
}
