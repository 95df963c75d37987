#pragma once
// A light node; the graphics device applies only lights of type 0.
#include <cstdint>

#include "Graphics/DeviceScene.h"
#include "Maths/Color.h"
#include "SceneGraph/Node.h"

namespace sg {

class Light : public Node, public Graphics::DeviceLight {
public:
    static const NodeType Type;

    explicit Light(int32_t type) : type_(type) {}

    const NodeType* GetType() const override { return &Type; }
    void Accept(NodeTraverser& traverser) override;

    int32_t GetLightType() const override { return type_; }
    void SetAmbient(const Color& c) { ambient_ = c; }
    void SetDiffuse(const Color& c) { diffuse_ = c; }
    void SetSpecular(const Color& c) { specular_ = c; }
    void SetDirection(const Vector3& d) { direction_ = d; }
    const Color& GetAmbient() const override { return ambient_; }
    const Color& GetDiffuse() const override { return diffuse_; }
    const Color& GetSpecular() const override { return specular_; }
    const Vector3& GetDirection() const override { return direction_; }

private:
    int32_t type_;
    Color ambient_;  // opaque black
    Color diffuse_ = Color(255, 255, 255, 255);
    Color specular_ = Color(255, 255, 255, 255);
    Vector3 direction_{0.0f, 0.0f, -1.0f};
};

}  // namespace sg
