#include "SceneGraph/Transformable.h"

namespace sg {

const NodeType Object3D::Type{"sg.Object3D", nullptr};
const NodeType Transformable::Type{"sg.Transformable", &Object3D::Type};

namespace {
const float kDegreesToRadians = 0.017453292f;
}

void Transformable::Translate(float x, float y, float z) {
    local_.Translate(x, y, z);
    local_position_ = Vector3(local_[12], local_[13], local_[14]);
    dirty_ = true;
}

void Transformable::RotateX(float degrees) {
    local_.RotateX(degrees * kDegreesToRadians);
    dirty_ = true;
}

void Transformable::RotateY(float degrees) {
    local_.RotateY(degrees * kDegreesToRadians);
    dirty_ = true;
}

void Transformable::RotateZ(float degrees) {
    local_.RotateZ(degrees * kDegreesToRadians);
    dirty_ = true;
}

void Transformable::ResetTransform() {
    local_ = Matrix4();
    world_ = Matrix4();
    scale_ = Vector3(1.0f, 1.0f, 1.0f);
    dirty_ = true;
}

void Transformable::SetLocalMatrix(const Matrix4& local) {
    local_ = local;
    local_position_ = Vector3(local_[12], local_[13], local_[14]);
    dirty_ = true;
}

void Transformable::SetWorldMatrix(const Matrix4& world) {
    world_ = world;
    world_position_ = Vector3(world_[12], world_[13], world_[14]);
    dirty_ = true;
}

}  // namespace sg
