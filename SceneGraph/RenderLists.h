#pragma once
// What the cull pass found drawable this frame, and what a pick hit. The lists
// hold plain pointers into the scene graph, valid until the next cull pass.
#include <vector>

#include "Maths/Vector3.h"
#include "SceneGraph/Camera.h"

namespace sg {

class Node;
class ModelNode;
class Light;
class EmitterNode;

struct RenderLists {
    std::vector<ModelNode*> models;
    std::vector<Light*> lights;
    std::vector<EmitterNode*> emitters;
    Camera* camera = nullptr;

    void Clear() {
        models.clear();
        lights.clear();
        emitters.clear();
    }
};

// The direction of a ray that no pick has set.
constexpr Vector3 kInitialPickDirection{0.0f, 0.0f, -1.0f};

class PickResult {
public:
    PickResult() { ray_.direction = kInitialPickDirection; }

    // Null when nothing was hit.
    Node* GetFirstHit() const { return hits_.empty() ? nullptr : hits_.front(); }
    const std::vector<Node*>& GetHits() const { return hits_; }
    std::vector<Node*>& GetHits() { return hits_; }
    const Ray& GetRay() const { return ray_; }
    void SetRay(const Ray& ray) { ray_ = ray; }

private:
    Ray ray_;
    std::vector<Node*> hits_;
};

// Orders the render lists before they are drawn.
class Sorter {
public:
    virtual ~Sorter() = default;
    virtual bool Sort(RenderLists& lists) = 0;
};

// Keeps the lists in visit order: the tree's order is the draw order.
class MBXSorter : public Sorter {
public:
    bool Sort(RenderLists& lists) override;
};

}  // namespace sg
