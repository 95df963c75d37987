#pragma once
// What places an effect, an emitted object or an emitted light in the world: an
// entity of the particle library, bound (or meant to be bound) to a scene node.
#include <cstdint>

#include "particles/CSMatrix.h"

namespace sg {
class Node;
}

class CSEntity {
public:
    enum EntityType : int32_t { kTypeObject = 1, kTypeLight = 2, kTypeParticle = 3 };

    CSEntity(int32_t type, sg::Node* host) : m_nType(type), m_pHostNode(host) {}
    CSEntity(const CSEntity&) = delete;
    CSEntity& operator=(const CSEntity&) = delete;

    // Called in the order 0, 1, 2 after an object or light entity has been placed;
    // empty in every entity class here.
    virtual void Hook0() {}
    virtual void Hook1() {}
    virtual void Hook2() {}
    virtual void Hook3() {}
    virtual ~CSEntity();

    int32_t GetEntityType() const { return m_nType; }
    sg::Node* GetHostNode() const { return m_pHostNode; }

    // The host node's world matrix with its first three rows set to identity rows:
    // only the translation row remains. One process-wide matrix, overwritten by the
    // next call: callers copy what they keep.
    const CSMatrix& GetPositionMatrix() const;
    // A copy of the host node's local matrix, in the second process-wide matrix.
    const CSMatrix& GetNodeMatrix() const;
    // The host node's local matrix becomes m, and the node is marked changed.
    void SetNodeMatrix(const float m[16]);

private:
    int32_t m_nType;
    sg::Node* m_pHostNode;
    // An entity without node (objects and lights) keeps the matrix it is placed
    // with here, and both queries read it in place of the node's matrices.
    CSMatrix m_mPlacement;
};
