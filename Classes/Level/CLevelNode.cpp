#include "Classes/Level/CLevelNode.h"

#include <cmath>
#include <cstdlib>

#include "Classes/Level/CLevelObject.h"

namespace {

int64_t Difference(int32_t a, int32_t b) { return static_cast<int64_t>(a) - static_cast<int64_t>(b); }

}  // namespace

CLevelNode::CLevelNode()
    : object_(nullptr), g_(0), h_(0), f_(0), parent_(nullptr), open_order_(0), in_open_(false), in_closed_(false) {}

CLevelNode::~CLevelNode() { delete object_; }

bool CLevelNode::IsWalkable() const { return object_ == nullptr || object_->BlocksWalking() == 0; }

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

int32_t CLevelNode::ManhattanTo(const IntVector3& position) const {
    const int64_t sum =
        std::llabs(Difference(position_.x, position.x)) + std::llabs(Difference(position_.y, position.y));
    return sum > INT32_MAX ? INT32_MAX : static_cast<int32_t>(sum);
}

void CLevelNode::SetObject(int32_t x, int32_t y, const std::string& name, int32_t visible, int32_t blocksMovement,
                           int32_t blocksSight) {
    CLevelObject* object = new CLevelObject(x, y, 0, name, visible, blocksMovement, blocksSight);
    delete object_;
    object_ = object;
}

void CLevelNode::ClearPathData() {
    g_ = 0;
    h_ = 0;
    f_ = 0;
    parent_ = nullptr;
}
