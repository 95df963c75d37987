#pragma once
// Base of every scene node: a type record and a local/world transform pair.
#include "Maths/Matrix4.h"
#include "Maths/Vector3.h"
#include "SceneGraph/NodeType.h"

namespace sg {

class Object3D {
public:
    static const NodeType Type;
    virtual ~Object3D() = default;
    virtual const NodeType* GetType() const { return &Type; }
};

// Every call that changes the transform marks the node dirty, which tells a
// camera to rebuild its matrices.
class Transformable : public Object3D {
public:
    static const NodeType Type;
    const NodeType* GetType() const override { return &Type; }

    // local = T x local: a move along the node's own axes.
    void Translate(float x, float y, float z);
    void Translate(const Vector3& v) { Translate(v.x, v.y, v.z); }
    // local = R x local, angles in degrees.
    void RotateX(float degrees);
    void RotateY(float degrees);
    void RotateZ(float degrees);
    // Local and world back to the identity, scale to one.
    void ResetTransform();

    void SetDirty() { dirty_ = true; }
    void ClearDirty() { dirty_ = false; }
    bool IsDirty() const { return dirty_; }

    void SetAbsolute(bool absolute) { absolute_ = absolute; }
    bool IsAbsolute() const { return absolute_; }

    void SetLocalMatrix(const Matrix4& local);
    const Matrix4& GetLocalMatrix() const { return local_; }
    // Written by the update pass; also copies the translation row to the world position.
    void SetWorldMatrix(const Matrix4& world);
    const Matrix4& GetWorldMatrix() const { return world_; }
    const Vector3& GetLocalPosition() const { return local_position_; }
    const Vector3& GetWorldPosition() const { return world_position_; }
    const Vector3& GetScale() const { return scale_; }

protected:
    bool absolute_ = false;
    Matrix4 local_;
    Matrix4 world_;
    Vector3 local_position_;
    Vector3 world_position_;
    Vector3 scale_{1.0f, 1.0f, 1.0f};
    bool dirty_ = false;
};

}  // namespace sg
