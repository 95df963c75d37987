#pragma once
// A node that turns look-at and perspective parameters into view and
// projection matrices and converts between world and screen. Readers rebuild
// the matrices first whenever the node is dirty.
#include "Maths/Matrix4.h"
#include "Maths/Vector3.h"
#include "Maths/Viewport.h"
#include "SceneGraph/Node.h"

namespace sg {

struct Ray {
    Vector3 origin;
    Vector3 direction;
};

class Camera : public Node {
public:
    static const NodeType Type;

    Camera();

    const NodeType* GetType() const override { return &Type; }
    void Accept(NodeTraverser& traverser) override;

    void SetViewport(const Viewport& viewport) { viewport_ = viewport; }
    const Viewport& GetViewport() const { return viewport_; }

    // Eye, target and up in the camera node's space; the zoom origin becomes eye.
    void SetLookAt(const Vector3& eye, const Vector3& target, const Vector3& up);
    // Right-handed, clip depth -w..+w. Degrees become radians by 0.017444445.
    void SetPerspective(float fovDegrees, float aspect, float nearPlane, float farPlane);

    void UpdateMatrices();
    // Rebuilds when dirty and clears the flag.
    void Rebuild();

    // Viewport pixels and depth 0..1; false for a point on the camera plane.
    bool WorldToScreen(const Vector3& world, Vector3& screen);
    // (u, v) in 0..1, v used unflipped; origin is the look-at eye.
    void ScreenToRay(float u, float v, Ray& ray);
    bool ScreenToWorld(const Vector3& screen, Vector3& world);
    const Matrix4& GetInverseViewProjection();
    void Zoom(float scale);

    const Matrix4& GetLookAt() const { return look_at_; }
    const Matrix4& GetProjection() const { return projection_; }
    // These rebuild first.
    const Matrix4& GetView();
    const Matrix4& GetViewProjection();
    const Matrix4& GetInverseView();
    const Matrix4& GetInverseProjection();

    float GetAspect() const { return aspect_; }
    float GetFieldOfView() const { return fov_; }
    float GetNear() const { return near_; }
    float GetFar() const { return far_; }
    const Vector3& GetEye() const { return eye_; }
    const Vector3& GetTarget() const { return target_; }
    const Vector3& GetUp() const { return up_; }
    const Vector3& GetWorldEye() const { return world_eye_; }
    const Vector3& GetWorldTarget() const { return world_target_; }
    const Vector3& GetWorldUp() const { return world_up_; }
    const Vector3& GetViewDirection() const { return view_direction_; }

private:
    Matrix4 look_at_;
    Matrix4 projection_;
    Matrix4 view_;
    Matrix4 view_projection_;
    Matrix4 inverse_view_;
    Matrix4 inverse_projection_;
    Matrix4 inverse_view_projection_;
    Viewport viewport_;
    float aspect_ = 0.0f;
    float fov_ = 0.0f;
    float near_ = 0.0f;
    float far_ = 0.0f;
    Vector3 eye_;
    Vector3 target_;
    Vector3 up_;
    Vector3 world_eye_;
    Vector3 world_target_;
    Vector3 world_up_;
    Vector3 view_direction_;
    float zoom_distance_ = 1.0f;
    float last_zoom_scale_ = 1.0f;
    float zoom_limit_ = 1.0f;
    float zoom_floor_ = 1.0f;
    Vector3 zoom_origin_;
};

}  // namespace sg
