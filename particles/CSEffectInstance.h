#pragma once
// One running particle effect placed in the scene: an emitter node owns it and
// each frame updates and draws it. Frame time becomes fixed 30 Hz steps of the
// effect's emitter set; the instance keeps the effect's world box, tests it against
// the camera and, when it is visible, emits its lights, places its object particles
// and hands its particles to the renderer.
#include <cstdint>
#include <string>

#include "SceneGraph/EmitterNode.h"
#include "particles/CSVector.h"

class CParticlesEmiter;
class CSEntity;

class CSEffectInstance : public sg::EffectInstance {
public:
    // Loads (or takes from the cache) the effect file and sets up its emitter set on
    // the host. A file that cannot be read gives an effect without emitters.
    CSEffectInstance(CSEntity* host, const std::string& fileName);
    ~CSEffectInstance() override;
    CSEffectInstance(const CSEffectInstance&) = delete;
    CSEffectInstance& operator=(const CSEffectInstance&) = delete;

    // dt 0, a negative dt other than -1 and one that is not finite do nothing. The
    // first update takes one step; -1 takes the whole 33 ms ticks of the wall clock
    // since the last; other values go through the accumulator; at most 16 steps.
    // Then the box is rebuilt, and a visible effect emits its lights and places its
    // object particles.
    void Update(float dt) override;
    // A visible effect's particles into the batches; an ended effect restarts when
    // it restarts by itself.
    void Draw() override;
    bool IsLooping() const override;
    bool HasEnded() const override { return m_bEnded != 0; }
    // The box against the scene camera's frustum; false without a camera.
    bool IsVisible();
    // Back to frame 0, not ended.
    void Restart();

    const CSVector4& GetBoxMin() const { return m_vBoxMin; }
    const CSVector4& GetBoxMax() const { return m_vBoxMax; }
    CParticlesEmiter& GetEmitters() { return *m_pEmiters; }
    uint32_t GetLastTick() const { return m_dwLastTick; }
    float GetAccumulator() const { return m_fAccumulator; }
    // Steps taken by all updates so far.
    uint32_t GetStepCount() const { return m_nSteps; }

    uint8_t m_bActive = 1;       // nothing reads it
    uint8_t m_bEnded = 0;        // a step reported the end
    uint8_t m_bAutoRestart = 0;  // nothing sets it

private:
    void RebuildBox();

    CSVector4 m_vBoxMin;
    CSVector4 m_vBoxMax;
    CParticlesEmiter* m_pEmiters;  // owned
    CSEntity* m_pHost;             // not owned
    // Whether an update has run: a last tick of 0 is an ordinary time, the tick
    // count starting at 0 with the process.
    bool m_bUpdated = false;
    uint32_t m_dwLastTick = 0;
    float m_fAccumulator = 0.0f;
    uint32_t m_nSteps = 0;
};

// Every new emitter node runs a CSEffectInstance of its effect file (bound with the
// node hosts by BindEmitterNodeHosts).
void BindEffectInstances();
