#pragma once
// The update pass: world matrices, model animation and emitter time.
#include <vector>

#include <boost/shared_ptr.hpp>

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
    void ClearEmitters() {
        emitters_.clear();
        held_.clear();
    }
    const std::vector<EmitterNode*>& GetEmitters() const { return emitters_; }

private:
    // Running with update enabled, or paused with update while paused.
    bool MayUpdate(const Node& node) const;
    // Visits a child; an emitter child is held for UpdateEmitters.
    void Visit(const boost::shared_ptr<Node>& child);

    float dt_ = 0.0f;
    bool running_ = true;
    std::vector<EmitterNode*> emitters_;
    // The emitters met, held until the next pass: a callback later in the pass (a unit
    // killed, its selection effect removed) may drop the scene's own reference.
    std::vector<boost::shared_ptr<Node>> held_;
};

}  // namespace sg
