#pragma once
// A group whose passes visit only the children switched on in its mask.
#include <vector>

#include "SceneGraph/Group.h"

namespace sg {

class Switch : public Group {
public:
    static const NodeType Type;

    Switch() = default;
    explicit Switch(const std::string& name) : Group(name) {}

    const NodeType* GetType() const override { return &Type; }
    void Accept(NodeTraverser& traverser) override;

    // Group::AddChild plus a mask entry; returns the child count afterwards.
    int AddChild(const boost::shared_ptr<Node>& child, bool on);
    // The new node takes the old child's place and mask entry.
    bool ReplaceChild(size_t index, const boost::shared_ptr<Node>& child);
    bool RemoveChild(size_t index);

    void ShowAll();
    void HideAll();
    bool ShowOnly(size_t index);
    bool HideOnly(size_t index);
    bool SetChildVisible(const Node* child, bool on);
    bool IsChildVisible(const Node* child) const;
    // The mask entry of child index, false past the end.
    bool IsChildOn(size_t index) const { return index < mask_.size() && mask_[index]; }
    const std::vector<bool>& GetMask() const { return mask_; }

private:
    std::vector<bool> mask_;
};

}  // namespace sg
