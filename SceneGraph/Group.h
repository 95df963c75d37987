#pragma once
// A node with ordered children, visited in insertion order by every pass.
#include <vector>

#include <boost/shared_ptr.hpp>

#include "SceneGraph/Node.h"

namespace sg {

class Group : public Node {
public:
    static const NodeType Type;
    typedef std::vector<boost::shared_ptr<Node>> Children;

    Group() = default;
    explicit Group(const std::string& name) : Node(name) {}
    // Children lose their parent pointer when the group goes.
    ~Group() override;

    const NodeType* GetType() const override { return &Type; }
    void Accept(NodeTraverser& traverser) override;

    // Sets the child's parent and appends it.
    void AddChild(const boost::shared_ptr<Node>& child);
    // The first child equal to the pointer loses its parent and leaves; false when absent.
    bool RemoveChild(const boost::shared_ptr<Node>& child);

    const Children& GetChildren() const { return children_; }
    size_t GetChildCount() const { return children_.size(); }

protected:
    Children children_;
};

}  // namespace sg
