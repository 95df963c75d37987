#pragma once
// A pass over a scene tree: the node's class picks the visit through Node::Accept.

namespace sg {

class Node;
class Group;
class Switch;
class Camera;
class Light;
class ModelNode;
class EmitterNode;

class NodeTraverser {
public:
    virtual ~NodeTraverser() = default;
    virtual void VisitSwitch(Switch& node) = 0;
    virtual void VisitEmitterNode(EmitterNode& node) = 0;
    virtual void VisitCamera(Camera& node) = 0;
    virtual void VisitModelNode(ModelNode& node) = 0;
    virtual void VisitLight(Light& node) = 0;
    virtual void VisitGroup(Group& node) = 0;
    virtual void VisitNode(Node& node) = 0;
};

}  // namespace sg
