#pragma once
// Base of everything that stands on the battle map: an id, a grid position (500 units
// per cell, z up), a facing in degrees and the scene node that shows it. The node's
// user data points back here, which is how picking finds the object.
#include <cstdint>

#include <boost/shared_ptr.hpp>

#include "Maths/IntVector3.h"
#include "Maths/Vector3.h"

namespace sg {
class Node;
}

class CGenericObject {
public:
    // The node stays empty until the derived class builds it.
    CGenericObject(int32_t id, int32_t x, int32_t y, int32_t z, int32_t direction);
    // Takes the node out of the "World" group first.
    virtual ~CGenericObject();
    CGenericObject(const CGenericObject&) = delete;
    CGenericObject& operator=(const CGenericObject&) = delete;

    virtual bool IsUnit() const;
    virtual bool IsSpawnPoint() const;
    virtual bool IsMissile() const;
    // Into and out of the battle's "World" group; both need a running battle once the
    // object has a node.
    virtual void AttachNode();
    virtual void DetachNode();
    // Places the node at the world point of the position, turned by the map view's x
    // and z rotations and by (direction - 45) about y. Nothing without a node or level.
    virtual void UpdateNode();

    void MoveBy(const IntVector3& delta);
    // Offset in cells; each coordinate becomes the truncation of offset x 500 + coordinate.
    void MoveBy(const Vector3& offset);

    int32_t GetId() const { return id_; }
    void SetId(int32_t id) { id_ = id; }
    const IntVector3& GetPosition() const { return position_; }
    void SetPosition(const IntVector3& position) { position_ = position; }
    int32_t GetDirection() const { return direction_; }
    const boost::shared_ptr<sg::Node>& GetNode() const { return node_; }
    void SetNode(const boost::shared_ptr<sg::Node>& node) { node_ = node; }

protected:
    int32_t id_;
    IntVector3 position_;
    int32_t direction_;
    boost::shared_ptr<sg::Node> node_;
};
