#pragma once
// Counts the nodes of a tree for the battle's debug overlay; hidden nodes count.
#include <cstdint>
#include <string>

#include <boost/shared_ptr.hpp>

#include "SceneGraph/NodeTraverser.h"

namespace sg {

class StatsTraverser : public NodeTraverser {
public:
    void VisitSwitch(Switch& node) override;
    void VisitEmitterNode(EmitterNode& node) override;
    void VisitCamera(Camera& node) override;
    void VisitModelNode(ModelNode& node) override;
    void VisitLight(Light& node) override;
    void VisitGroup(Group& node) override;
    void VisitNode(Node& node) override;

    // Zeroes the counters and counts the group's tree.
    void Collect(Group& group);

    int32_t nodes = 0;
    int32_t model_nodes = 0;
    int32_t lights = 0;
    int32_t emitter_nodes = 0;
    bool report = false;
};

// Finds a node by name or by id; a group that does not match is searched.
// Nothing in the game creates one.
class FindNodeTraverser : public NodeTraverser {
public:
    FindNodeTraverser(const std::string& name, int32_t id, bool byName) : name_(name), id_(id), by_name_(byName) {}

    void VisitSwitch(Switch& node) override;
    void VisitEmitterNode(EmitterNode& node) override;
    void VisitCamera(Camera& node) override;
    void VisitModelNode(ModelNode& node) override;
    void VisitLight(Light& node) override;
    void VisitGroup(Group& node) override;
    void VisitNode(Node& node) override;

    Node* GetFound() const { return found_; }

private:
    bool Matches(const Node& node) const;

    std::string name_;
    int32_t id_;
    bool by_name_;
    Node* found_ = nullptr;
};

}  // namespace sg
