#pragma once
// Stand-in until the particle library's effect instance exists: the effect
// instance an emitter node drives. The instance loads nothing and emits nothing; it
// steps time like the real one (whole 1/30 s steps of an accumulator) and
// keeps counts that tests read. Whether an effect loops is the one fact an
// emitter node reads at construction; the stand-in takes it from
// SetStandInLooping.
#include <cstdint>
#include <string>

// The particle library's entity that hosts an effect (particles/CSEntity.h).
class CSEntity;

// Stand-in until the particle library exists: one running particle effect.
class CSEffectInstance {
public:
    CSEffectInstance(CSEntity* host, const std::string& name);

    // dt 0 does nothing; otherwise whole 1/30 s steps of the accumulated time
    // (at most 16), one step on the first call.
    void Update(float dt);
    void Draw();
    bool IsLooping() const { return looping_; }

    // Set once an effect has finished; never cleared.
    bool m_bEnded = false;

    // Stand-in controls and counts for tests.
    static void SetStandInLooping(const std::string& name, bool looping);
    static void ClearStandInLooping();
    void StandInEnd() { m_bEnded = true; }
    const std::string& GetName() const { return name_; }
    CSEntity* GetHost() const { return host_; }
    int32_t GetUpdateCount() const { return updates_; }
    int32_t GetDrawCount() const { return draws_; }
    int32_t GetStepCount() const { return steps_; }
    float GetLastDt() const { return last_dt_; }

private:
    CSEntity* host_;
    std::string name_;
    bool looping_ = false;
    bool stepped_ = false;
    float accumulator_ = 0.0f;
    int32_t updates_ = 0;
    int32_t draws_ = 0;
    int32_t steps_ = 0;
    float last_dt_ = 0.0f;
};
