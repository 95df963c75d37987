#include "SceneGraph/Light.h"

namespace sg {

const NodeType Light::Type{"sg.Light", &Node::Type};

void Light::Accept(NodeTraverser& traverser) { traverser.VisitLight(*this); }

}  // namespace sg
