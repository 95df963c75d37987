#pragma once
// A scene node: transform, flags, bounds, picking data and one game-object
// pointer as user data. Nodes are held by boost::shared_ptr; the parent is a
// plain pointer to the group that holds the node.
#include <cstdint>
#include <string>
#include <vector>

#include <boost/any.hpp>

#include "Maths/BoundingSphere.h"
#include "SceneGraph/NodeTraverser.h"
#include "SceneGraph/Transformable.h"

class CGenericObject;

namespace sg {

class Group;

// Called first in every update visit.
struct NodeUpdateCallback {
    void* user;
    void (*function)(void* user, Node* node, NodeTraverser* traverser);
};

class Node : public Transformable {
public:
    static const NodeType Type;

    enum Flags : int32_t {
        kFlagCastsShadow = 0x8,
        kFlagOwnPickPoint = 0x80,
        kFlagBit8 = 0x100,
    };

    Node();
    explicit Node(const std::string& name);
    ~Node() override;

    const NodeType* GetType() const override { return &Type; }
    virtual void Accept(NodeTraverser& traverser);
    // World bounding-sphere centre = world matrix applied to the local centre
    // (the origin for a plain node); the radius stays.
    virtual void UpdateBounds();

    // The exact class: a Switch is not a Group for this test.
    template <class T>
    bool IsType() const {
        return GetType() == &T::Type;
    }

    // The update visit's refresh: callbacks, world = local (absolute or
    // without parent) or local x parent's world, dirty, world position, bounds.
    void Refresh(NodeTraverser* traverser);

    void SetName(const std::string& name) { name_ = name; }
    const std::string& GetName() const { return name_; }
    void SetId(int32_t id) { id_ = id; }
    int32_t GetId() const { return id_; }

    Group* GetParent() const { return parent_; }
    void SetParent(Group* parent) { parent_ = parent; }
    void ClearParent() { parent_ = nullptr; }

    int32_t GetFlags() const { return flags_; }
    void SetFlags(int32_t flags) { flags_ = flags; }
    void SetCastsShadow(bool on) { SetFlag(kFlagCastsShadow, on); }
    bool CastsShadow() const { return (flags_ & kFlagCastsShadow) != 0; }
    void SetFlagBit8(bool on) { SetFlag(kFlagBit8, on); }
    void SetUseOwnPickPoint(bool on) { SetFlag(kFlagOwnPickPoint, on); }

    void SetVisible(bool visible) { visible_ = visible; }
    bool IsVisible() const { return visible_; }
    void SetInView(bool inView) { in_view_ = inView; }
    bool IsInView() const { return in_view_; }
    void SetFrustumCulling(bool on) { frustum_culling_ = on; }
    bool GetFrustumCulling() const { return frustum_culling_; }
    void SetUpdateEnabled(bool on) { update_enabled_ = on; }
    bool IsUpdateEnabled() const { return update_enabled_; }
    void SetUpdateWhilePaused(bool on) { update_while_paused_ = on; }
    bool GetUpdateWhilePaused() const { return update_while_paused_; }
    void SetPickGroup(int32_t group) { pick_group_ = group; }
    int32_t GetPickGroup() const { return pick_group_; }

    // Written by the cull pass.
    void SetCulled(bool culled, int32_t side) {
        culled_ = culled;
        culled_side_ = side;
    }
    // True when frustum culling is on and the last cull pass rejected the node.
    bool IsCulled() const { return frustum_culling_ && culled_; }
    int32_t GetCulledSide() const { return culled_side_; }

    void SetBoundingBox(const Vector3& min, const Vector3& max) {
        box_min_ = min;
        box_max_ = max;
    }
    const Vector3& GetBoundingBoxMin() const { return box_min_; }
    const Vector3& GetBoundingBoxMax() const { return box_max_; }
    void SetBoundingSphere(const BoundingSphere& sphere) { sphere_ = sphere; }
    const BoundingSphere& GetBoundingSphere() const { return sphere_; }

    void SetOwnPickPoint(const Vector3& point) { own_pick_point_ = point; }
    // The own pick point with flag 0x80, else the bounding-sphere centre.
    Vector3 GetPickPoint() const;

    void SetUserData(CGenericObject* object);
    // An empty slot fails its assertion and yields null.
    CGenericObject* GetUserData() const;
    bool HasUserData() const { return !user_data_.empty(); }

    void AddUpdateCallback(const NodeUpdateCallback& callback) { update_callbacks_.push_back(callback); }
    const std::vector<NodeUpdateCallback>& GetUpdateCallbacks() const { return update_callbacks_; }

protected:
    void SetFlag(int32_t flag, bool on) { flags_ = on ? (flags_ | flag) : (flags_ & ~flag); }

    Group* parent_ = nullptr;
    int32_t flags_ = 0;
    std::string name_;
    int32_t id_ = 0;
    boost::any user_data_;
    std::vector<NodeUpdateCallback> update_callbacks_;
    bool visible_ = true;
    bool in_view_ = true;
    bool frustum_culling_ = true;
    bool update_enabled_ = true;
    bool update_while_paused_ = false;
    bool culled_ = false;
    int32_t culled_side_ = 0;
    int32_t pick_group_ = 0;
    Vector3 box_min_;
    Vector3 box_max_;
    BoundingSphere sphere_;
    Vector3 own_pick_point_;
};

}  // namespace sg
