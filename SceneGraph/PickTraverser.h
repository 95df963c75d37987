#pragma once
// The traversal pick: model nodes drawn last frame whose bounding sphere lies
// under a screen rectangle or on a ray.
#include <cstdint>

#include <boost/shared_ptr.hpp>

#include "SceneGraph/NodeTraverser.h"
#include "SceneGraph/Picking.h"
#include "SceneGraph/RenderLists.h"

namespace sg {

class PickTraverser : public NodeTraverser {
public:
    PickTraverser() { ray_.direction = kInitialPickDirection; }

    void VisitSwitch(Switch& node) override;
    void VisitEmitterNode(EmitterNode& node) override;
    void VisitCamera(Camera& node) override;
    void VisitModelNode(ModelNode& node) override;
    void VisitLight(Light& node) override;
    void VisitGroup(Group& node) override;
    void VisitNode(Node& node) override;

    void SetCamera(const boost::shared_ptr<Camera>& camera) { camera_ = camera; }
    const boost::shared_ptr<Camera>& GetCamera() const { return camera_; }
    void SetRay(const Ray& ray) { ray_ = ray; }
    const Ray& GetRay() const { return ray_; }
    void SetRect(const PickRect& rect) { rect_ = rect; }
    const PickRect& GetRect() const { return rect_; }
    // True: ray; false: rectangle.
    void SetRayMode(bool ray) { ray_mode_ = ray; }
    bool IsRayMode() const { return ray_mode_; }
    void SetPickGroup(int32_t group) { group_ = group; }
    int32_t GetPickGroup() const { return group_; }
    PickResult& GetResult() { return result_; }

private:
    PickResult result_;
    boost::shared_ptr<Camera> camera_;
    Ray ray_;
    PickRect rect_;
    bool ray_mode_ = true;
    int32_t group_ = 0;
};

}  // namespace sg
