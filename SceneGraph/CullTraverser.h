#pragma once
// The cull pass: frustum tests of model nodes and the render lists of the frame.
#include <cstdint>

#include <boost/shared_ptr.hpp>

#include "SceneGraph/NodeTraverser.h"

namespace sg {

struct RenderLists;

class CullTraverser : public NodeTraverser {
public:
    explicit CullTraverser(RenderLists* lists) : lists_(lists) {}

    void VisitSwitch(Switch& node) override;
    void VisitEmitterNode(EmitterNode& node) override;
    void VisitCamera(Camera& node) override;
    void VisitModelNode(ModelNode& node) override;
    void VisitLight(Light& node) override;
    void VisitGroup(Group& node) override;
    void VisitNode(Node& node) override;

    void SetCamera(const boost::shared_ptr<Camera>& camera) { camera_ = camera; }
    const boost::shared_ptr<Camera>& GetCamera() const { return camera_; }
    void ResetCounters();

    int32_t culled_nodes = 0;
    int32_t passed_nodes = 0;
    int32_t culled_triangles = 0;
    int32_t passed_triangles = 0;
    int32_t culled_emitters = 0;
    int32_t passed_emitters = 0;

private:
    void Pass(ModelNode& node, int32_t triangles);
    void Reject(ModelNode& node, int32_t triangles, int32_t side);

    RenderLists* lists_;
    boost::shared_ptr<Camera> camera_;
};

}  // namespace sg
