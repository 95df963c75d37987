#pragma once
// One record per scene-graph class; type tests compare record addresses.
#include <string>

namespace sg {

struct NodeType {
    std::string name;        // never read; kept for debugging
    const NodeType* parent;  // the parent class's record, null for the root class
};

}  // namespace sg
