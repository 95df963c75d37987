// Stand-in until the particle library exists (see ParticleStandIns.h).
#include "SceneGraph/ParticleStandIns.h"

#include <set>

namespace {

std::set<std::string>& LoopingNames() {
    static std::set<std::string> names;
    return names;
}

}  // namespace

CSEffectInstance::CSEffectInstance(CSEntity* host, const std::string& name)
    : host_(host), name_(name), looping_(LoopingNames().count(name) != 0) {}

void CSEffectInstance::Update(float dt) {
    if (dt == 0.0f) return;
    ++updates_;
    last_dt_ = dt;
    int steps = 0;
    if (dt > 0.0f) {
        accumulator_ += dt;
        steps = static_cast<int>(accumulator_ * 30.0f);
        accumulator_ -= static_cast<float>(steps) / 30.0f;
    }
    if (!stepped_ && steps == 0) steps = 1;
    stepped_ = true;
    if (steps > 16) steps = 16;
    if (!m_bEnded) steps_ += steps;
}

void CSEffectInstance::Draw() { ++draws_; }

void CSEffectInstance::SetStandInLooping(const std::string& name, bool looping) {
    if (looping) LoopingNames().insert(name);
    else LoopingNames().erase(name);
}

void CSEffectInstance::ClearStandInLooping() { LoopingNames().clear(); }
