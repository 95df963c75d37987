// The update-time passes over a running effect: the model objects of render kind 0
// placed at their particles, and one light for every emitter that gives one.
#include <cstring>
#include <string>
#include <vector>

#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Model/Model.h"
#include "particles/CEmiter.h"
#include "particles/CEmiterParams.h"
#include "particles/CParticle.h"
#include "particles/CParticleParams.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CParticlesMesh.h"
#include "particles/CSEntityObject.h"
#include "particles/ParticleDevice.h"
#include "particles/ParticleLightSlots.h"
#include "particles/ParticleMatrixStack.h"
#include "particles/ParticlePairs.h"
#include "particles/ParticleRenderPaths.h"

using namespace particlerender;
using ParticleMatrixStack::g_State;

namespace {

struct ObjectDraw {
    Graphics::Model* model;
    int32_t node;
    Matrix4 world;
};

std::vector<ObjectDraw>& ObjectDraws() {
    static std::vector<ObjectDraw> draws;
    return draws;
}

// The light pairs and the random words the emitter drew for them.
constexpr int32_t kRangePair = CEmiterParams::LightRange / 2;
constexpr int32_t kRangeWord = 7;

}  // namespace

void QueueParticleObjectDraw(const CSEntityObject& object, const float matrix[16]) {
    if (!object.m_pModel) return;
    std::vector<ObjectDraw>& draws = ObjectDraws();
    // Room once for a busy frame, so that steady frames do not allocate.
    if (draws.capacity() == 0) draws.reserve(256);
    ObjectDraw draw{object.m_pModel.get(), object.m_nNode, Matrix4()};
    std::memcpy(draw.world.m, matrix, sizeof(draw.world.m));
    draws.push_back(draw);
}

uint32_t GetQueuedParticleObjectCount() { return static_cast<uint32_t>(ObjectDraws().size()); }

void ClearParticleObjectDraws() { ObjectDraws().clear(); }

void DrawParticleObjects() {
    sg::Camera* camera = GetParticleCamera();
    if (camera == nullptr || !Service<Graphics::GraphicsDevice>::Exists()) return;
    Graphics::GDEffect* effect = Service<Graphics::GraphicsDevice>::Get()->GetEffect().get();
    for (const ObjectDraw& draw : ObjectDraws()) {
        draw.model->SetEffect(effect);
        if (draw.node < 0) draw.model->Draw(camera, draw.world, 0.0f, nullptr);
        else draw.model->DrawNode(camera, draw.world, static_cast<uint32_t>(draw.node));
    }
}

CSEntityObject* CParticlesMesh::CreateObjectEntity(const char* modelName) {
    CSEntityObject* object = new CSEntityObject();
    typedef Content::ContentLoader<Graphics::Model> ModelLoader;
    if (modelName == nullptr || modelName[0] == '\0' || !Service<ModelLoader>::Exists()) return object;
    std::string file, node;
    SplitModelName(modelName, file, node);
    if (strchr(modelName, '?') == nullptr) file = modelName;
    object->m_pModel = Service<ModelLoader>::Get()->Load(file);
    if (!object->m_pModel || strchr(modelName, '?') == nullptr) return object;
    for (uint32_t i = 0; i < object->m_pModel->GetNodeCount(); ++i) {
        if (object->m_pModel->GetNodeName(i) == node) {
            object->m_nNode = static_cast<int32_t>(i);
            return object;
        }
    }
    // A node the model does not have shows nothing.
    object->m_pModel.reset();
    return object;
}

bool CParticlesMesh::PlaceObjectParticles(CParticlesEmiter& effect) {
    bool any = false;
    for (const CEmiter& emitter : effect.m_arrEmiters)
        any = any || (emitter.m_pParticleParams != nullptr && emitter.m_pParticleParams->ParticleKind == 0);
    if (!any) return false;
    EffectFrame frame;
    SetEffectFrame(effect, frame);
    for (CEmiter& emitter : effect.m_arrEmiters) {
        if (emitter.m_pParticleParams == nullptr || emitter.m_pParticleParams->ParticleKind != 0 ||
            emitter.m_pFirst == nullptr)
            continue;
        const CParticleParams& block = *emitter.m_pParticleParams;
        EmitterFrame frames;
        frames.Begin(effect, emitter, block, frame);
        for (CParticle* p = emitter.m_pFirst; p != nullptr; p = p->m_pNext) {
            if (Accepted(effect, emitter, *p)) PlaceObjectParticle(effect, emitter, *p, block);
            Count(effect);
        }
        frames.End();
    }
    return false;
}

bool CParticlesMesh::PlaceObjectParticle(CParticlesEmiter& effect, CEmiter& emitter, CParticle& particle,
                                         const CParticleParams& block) {
    if ((block.Flags & CParticleParams::kColourRowsOff) == 0) {
        float alpha = Value(block, particle, CParticleParams::Alpha);
        if (particle.m_dwColor != 0xFFFFFFFFu) alpha *= static_cast<float>(particle.m_dwColor >> 24) / 255.0f;
        if (alpha < kSkipAlpha) return false;
    }
    if (particle.m_nObject >= block.ObjectList.GetCount()) return true;  // no object: nothing to place
    CSEntityObject* object = block.ObjectList[particle.m_nObject];
    if (object == nullptr) return true;

    float pos[3];
    Position(effect, emitter, particle, block, true, pos);
    const bool rows = block.OwnMatrix != 0 && (block.Flags & CParticleParams::kRotationRowsOff) == 0;
    const float a = particle.m_vAngles.x + (rows ? Value(block, particle, CParticleParams::RotationX) : 0.0f);
    const float b = particle.m_vAngles.y + (rows ? Value(block, particle, CParticleParams::RotationY) : 0.0f);
    const float c = particle.m_vAngles.z + (rows ? Value(block, particle, CParticleParams::Roll) : 0.0f);
    const bool uniform = (block.Flags & CParticleParams::kSizeRowsOff) != 0;
    const float f = particle.m_fSizeScale;
    const float sx = uniform ? f : Value(block, particle, CParticleParams::SizeX) * f;
    const float sy = uniform ? f : Value(block, particle, CParticleParams::SizeY) * f;
    const float sz = uniform ? f : Value(block, particle, CParticleParams::SizeZ) * f;

    PushMatrix();
    ParticleMatrixStack::SetTranslation(pos[0], pos[1], pos[2]);
    SetCurrentRotation256f(a, b, c);
    if (block.ParticleSpace != 1) {
        ParticleMatrixStack::ApplyParent();
        SnapToGround(&effect, block, pos[2]);
    }
    if (!(uniform && f == 1.0f)) ParticleMatrixStack::SetScale(sx, sy, sz);
    object->SetNodeMatrix(g_State.m_mCurrent.m);
    object->Hook0();
    object->Hook1();
    object->Hook2();
    QueueParticleObjectDraw(*object, g_State.m_mCurrent.m);
    PopMatrix();
    return true;
}

void CParticlesMesh::EmitLights(CParticlesEmiter* effect) {
    if (effect == nullptr) return;
    bool framed = false;
    const uint16_t flags = effect->m_wFlags;
    for (CEmiter& emitter : effect->m_arrEmiters) {
        const CEmiterParams* params = emitter.m_pEmiterParams;
        if (params == nullptr || params->EmitsLight == 0) continue;
        if ((flags & (CParticlesEmiter::kChildOnly | CParticlesEmiter::kStopping)) != 0) continue;
        if ((flags & CParticlesEmiter::kPaused) != 0 && (emitter.m_wFlags & CEmiter::kPausable) != 0) continue;
        if (effect->m_iFrame < emitter.m_nStart || emitter.m_nPauseLeft != 0) continue;
        if (emitter.m_nFrame >= emitter.m_nLength && emitter.m_nPlays >= emitter.m_nRepeats) continue;
        if (!framed) {
            framed = true;
            if (effect->m_pHost != nullptr) {
                g_State.m_mCurrent = effect->m_pHost->GetPositionMatrix();
            } else {
                ParticleMatrixStack::SetTranslation(effect->m_vPos.x, effect->m_vPos.y, effect->m_vPos.z);
                SetCurrentRotation256(effect->m_abAngles[0], effect->m_abAngles[1], effect->m_abAngles[2]);
            }
        }
        EmitLight(*effect, emitter, *params);
    }
}

void CParticlesMesh::EmitLight(CParticlesEmiter& effect, CEmiter& emitter, const CEmiterParams& block) {
    if (effect.m_iFrame < emitter.m_nStart) return;
    const int32_t key = emitter.m_nFrame;
    auto value = [&](int32_t pair) {
        return EmiterPairValue(block, kRangePair + pair, key, emitter.m_awRandom[kRangeWord + pair]);
    };
    const float range = value(0);
    if (range == 0.0f) return;
    const float intensity = value(4);
    const float red = value(1) * intensity, green = value(2) * intensity, blue = value(3) * intensity;
    if (red < kSkipAlpha && green < kSkipAlpha && blue < kSkipAlpha) return;

    const ParticleFloat3& angles = emitter.m_vAngles;
    const bool offset = block.UseOffset != 0 && effect.m_vSpare[0] != 0.0f;
    if (offset) {
        PushMatrix();
        ParticleMatrixStack::SetTranslation(effect.m_vSpare[0], effect.m_vSpare[1], effect.m_vSpare[2]);
        SetCurrentRotation256f(angles.x, angles.y, angles.z);
    }
    PushMatrix();
    ParticleMatrixStack::SetTranslation(emitter.m_vPos.x, emitter.m_vPos.y, emitter.m_vPos.z);
    if ((block.LightFlags & 0x8) != 0) SetCurrentRotation256f(angles.x, angles.y, angles.z);
    if (block.SourceKind != 1) ParticleMatrixStack::ApplyParent();
    AddParticleLight(&effect, g_State.m_mCurrent.m, red, green, blue, range, static_cast<uint32_t>(block.LightFlags),
                     block.LightValues);
    PopMatrix();
    if (offset) PopMatrix();
}
