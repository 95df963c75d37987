#pragma once
// The update pass: world matrices, model animation and emitter time.
#include <vector>

#include "SceneGraph/NodeTraverser.h"

namespace sg {

class Node;

class AppTraverser : public NodeTraverser {
public:
    void VisitSwitch(Switch& node) override;
    void VisitEmitterNode(EmitterNode& node) override;
    void VisitCamera(Camera& node) override;
    void VisitModelNode(ModelNode& node) override;
    void VisitLight(Light& node) override;
    void VisitGroup(Group& node) override;
    void VisitNode(Node& node) override;

    // Advances the emitter nodes met in the pass, after it.
    void UpdateEmitters();

    void SetTime(float dt) { dt_ = dt; }
    float GetTime() const { return dt_; }
    void SetRunning(bool running) { running_ = running; }
    bool IsRunning() const { return running_; }
    void ClearEmitters() { emitters_.clear(); }
    const std::vector<EmitterNode*>& GetEmitters() const { return emitters_; }

private:
    // Running with update enabled, or paused with update while paused.
    bool MayUpdate(const Node& node) const;

    float dt_ = 0.0f;
    bool running_ = true;
    std::vector<EmitterNode*> emitters_;
};

}  // namespace sg
