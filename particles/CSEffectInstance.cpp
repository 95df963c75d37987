#include "particles/CSEffectInstance.h"

#include <cmath>
#include <cstring>

#include "Core/FrameClock.h"
#include "SceneGraph/Camera.h"
#include "particles/CParticleParams.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CParticlesMesh.h"
#include "particles/CSBox.h"
#include "particles/CSEntity.h"
#include "particles/ParticleDevice.h"
#include "particles/ParticleEffectCache.h"

namespace {

constexpr uint32_t kTickMs = 33;
constexpr uint32_t kMaxSteps = 16;
constexpr float kFar = 1e8f;

sg::EffectInstance* MakeInstance(CSEntity* host, const std::string& name) { return new CSEffectInstance(host, name); }

}  // namespace

CSEffectInstance::CSEffectInstance(CSEntity* host, const std::string& fileName)
    : m_pEmiters(new CParticlesEmiter()), m_pHost(host) {
    CParticlesMesh* effect = LoadParticleEffect(fileName.c_str());
    m_pEmiters->Setup(host, effect);
    effect->Release();
}

CSEffectInstance::~CSEffectInstance() { delete m_pEmiters; }

void CSEffectInstance::Update(float dt) {
    if (dt == 0.0f) return;
    if (!std::isfinite(dt) || (dt < 0.0f && dt != -1.0f)) return;
    uint32_t steps = 0;
    if (!m_bUpdated) {
        m_bUpdated = true;
        steps = 1;
        m_dwLastTick = GetTickCountMs();
        m_fAccumulator = 0.0f;
    } else {
        if (dt == -1.0f) {
            steps = (GetTickCountMs() - m_dwLastTick) / kTickMs;
        } else {
            m_fAccumulator += dt;
            steps = static_cast<uint32_t>(static_cast<double>(m_fAccumulator) * 30.0);
            m_fAccumulator = static_cast<float>(m_fAccumulator - static_cast<double>(steps) / 30.0);
        }
        m_dwLastTick += steps * kTickMs;
        if (steps > kMaxSteps) {
            steps = kMaxSteps;
            m_dwLastTick = GetTickCountMs();
        }
    }
    for (uint32_t i = 0; i < steps; ++i) {
        ++m_nSteps;
        if (!m_pEmiters->Step(true)) {
            m_bEnded = 1;
            break;
        }
    }
    RebuildBox();
    if (IsVisible()) {
        CParticlesMesh::EmitLights(m_pEmiters);
        CParticlesMesh::PlaceObjectParticles(*m_pEmiters);
    }
}

void CSEffectInstance::RebuildBox() {
    m_vBoxMin = CSVector4(kFar, kFar, kFar, kFar);
    m_vBoxMax = CSVector4(-kFar, -kFar, -kFar, -kFar);
    CSMatrix place;
    if (m_pHost != nullptr) place = m_pHost->GetPositionMatrix();
    const CSVector4 position = place.GetTranslation();
    m_vBoxMin = CSVector4Min(m_vBoxMin, position);
    m_vBoxMax = CSVector4Max(m_vBoxMax, position);
    const CParticlesMesh* effect = m_pEmiters->m_pMesh;
    if (effect == nullptr) return;
    for (const CEmiter& emitter : m_pEmiters->m_arrEmiters) {
        if (emitter.m_pParticleParams == nullptr || emitter.m_pParticleParams->ParticleKind != 6) continue;
        // A beam reaches from its place to the offset point, whatever the file's box.
        const float* offset = m_pEmiters->m_vSpare;
        m_vBoxMin.x = std::fmin(position.x, offset[0]), m_vBoxMax.x = std::fmax(position.x, offset[0]);
        m_vBoxMin.y = std::fmin(position.y, offset[1]), m_vBoxMax.y = std::fmax(position.y, offset[1]);
        m_vBoxMin.z = std::fmin(position.z, offset[2]), m_vBoxMax.z = std::fmax(position.z, offset[2]);
        return;
    }
    CSBox box;
    effect->GetBoundingBox(box.m_vMin, box.m_vMax);
    const float d[4] = {std::fabs(box.m_vMin.x - box.m_vMax.x), std::fabs(box.m_vMin.y - box.m_vMax.y),
                        std::fabs(box.m_vMin.z - box.m_vMax.z), std::fabs(box.m_vMin.w - box.m_vMax.w)};
    if (d[0] < 0.00001f && d[1] < 0.00001f && d[2] < 0.00001f && d[3] < 0.00001f) return;
    CSTransformBox(box, place);
    m_vBoxMin = CSVector4Min(m_vBoxMin, box.m_vMin);
    m_vBoxMax = CSVector4Max(m_vBoxMax, box.m_vMax);
}

bool CSEffectInstance::IsVisible() {
    sg::Camera* camera = GetParticleCamera();
    if (camera == nullptr) return false;
    camera->Rebuild();
    CSMatrix viewProjection;
    std::memcpy(viewProjection.m, camera->GetViewProjection().m, sizeof(viewProjection.m));
    const CSBox box{m_vBoxMin, m_vBoxMax};
    return CSBoxInFrustum(box, viewProjection);
}

void CSEffectInstance::Draw() {
    if (!IsVisible()) return;
    CParticlesMesh::Draw(*m_pEmiters);
    if (m_bAutoRestart != 0 && m_bEnded != 0) Restart();
}

bool CSEffectInstance::IsLooping() const { return (m_pEmiters->m_wFlags & CParticlesEmiter::kLooping) != 0; }

void CSEffectInstance::Restart() {
    m_pEmiters->SetFrame(0, false);
    m_bEnded = 0;
}

void BindEffectInstances() { sg::SetEffectInstanceMaker(&MakeInstance); }
