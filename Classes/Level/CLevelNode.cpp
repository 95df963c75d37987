#include "Classes/Level/CLevelNode.h"

#include <cmath>
#include <cstdlib>

#include "Classes/Level/CLevelObject.h"

namespace {

int64_t Difference(int32_t a, int32_t b) { return static_cast<int64_t>(a) - static_cast<int64_t>(b); }

}  // namespace

CLevelNode::CLevelNode()
    : search_(0),
      in_closed_(false),
      walkable_(true),
      open_order_(0),
      g_(0),
      h_(0),
      f_(0),
      parent_(nullptr),
      object_(nullptr) {}

CLevelNode::~CLevelNode() { delete object_; }

bool CLevelNode::IsTransparent() const { return object_ == nullptr || object_->BlocksMissiles() == 0; }

int CLevelNode::IsAdjacent(const CLevelNode* cell) const {
    if (cell == nullptr) return 0;
    return std::llabs(Difference(position_.x, cell->position_.x)) <= 500 &&
                   std::llabs(Difference(position_.y, cell->position_.y)) <= 500
               ? 1
               : 0;
}

float CLevelNode::DistanceTo(const CLevelNode* cell) const {
    if (cell == nullptr) return 0.0f;
    return static_cast<float>(IntVector3Distance(position_, cell->position_));
}

float CLevelNode::ManhattanDistanceTo(const CLevelNode* cell) const {
    if (cell == nullptr) return 0.0f;
    return static_cast<float>(std::llabs(Difference(position_.x, cell->position_.x)) +
                              std::llabs(Difference(position_.y, cell->position_.y)));
}

void CLevelNode::SetObject(int32_t x, int32_t y, const std::string& name, int32_t visible, int32_t blocksMovement,
                           int32_t blocksSight) {
    CLevelObject* object = new CLevelObject(x, y, 0, name, visible, blocksMovement, blocksSight);
    delete object_;
    object_ = object;
    walkable_ = object->BlocksWalking() == 0;
    ++walkability_changes_;
}

void CLevelNode::ClearPathData() {
    g_ = 0;
    h_ = 0;
    f_ = 0;
    parent_ = nullptr;
}
