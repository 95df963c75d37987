#include "SceneGraph/Camera.h"

#include <cmath>
#include <cstring>

#include "platform/d3dx/D3DXMath.h"

namespace sg {

const NodeType Camera::Type{"sg.Camera", &Node::Type};

namespace {

struct Vector4 {
    float x, y, z, w;
};

Vector4 Transform(const Vector4& v, const Matrix4& m) {
    return {v.x * m[0] + v.y * m[4] + v.z * m[8] + v.w * m[12], v.x * m[1] + v.y * m[5] + v.z * m[9] + v.w * m[13],
            v.x * m[2] + v.y * m[6] + v.z * m[10] + v.w * m[14], v.x * m[3] + v.y * m[7] + v.z * m[11] + v.w * m[15]};
}

Vector3 TransformPoint(const Vector3& p, const Matrix4& m) {
    const Vector4 r = Transform({p.x, p.y, p.z, 1.0f}, m);
    return Vector3(r.x, r.y, r.z);
}

Vector3 TransformDirection(const Vector3& d, const Matrix4& m) {
    const Vector4 r = Transform({d.x, d.y, d.z, 0.0f}, m);
    return Vector3(r.x, r.y, r.z);
}

Matrix4 LookAtRH(const Vector3& eye, const Vector3& target, const Vector3& up) {
    const D3DXVECTOR3 e{eye.x, eye.y, eye.z};
    const D3DXVECTOR3 t{target.x, target.y, target.z};
    const D3DXVECTOR3 u{up.x, up.y, up.z};
    D3DXMATRIX out;
    D3DXMatrixLookAtRH(&out, &e, &t, &u);
    Matrix4 m;
    static_assert(sizeof(out.m) == sizeof(m.m), "both are 16 floats");
    std::memcpy(m.m, out.m, sizeof(m.m));
    return m;
}

}  // namespace

Camera::Camera() : viewport_(0, 0, 1, 1, 0.0f, 0.0f) {}

void Camera::Accept(NodeTraverser& traverser) { traverser.VisitCamera(*this); }

void Camera::SetLookAt(const Vector3& eye, const Vector3& target, const Vector3& up) {
    eye_ = eye;
    target_ = target;
    up_ = up;
    zoom_origin_ = eye;
    look_at_ = LookAtRH(eye, target, up);
    dirty_ = true;
}

void Camera::SetPerspective(float fovDegrees, float aspect, float nearPlane, float farPlane) {
    fov_ = fovDegrees * 0.017444445f;
    aspect_ = aspect;
    near_ = nearPlane;
    far_ = farPlane;

    const float t = std::tan(fov_ / 2.0f);
    const float h = 2.0f * nearPlane * t;
    const float w = h * aspect;
    Matrix4 p;
    for (float& e : p.m) e = 0.0f;
    p[0] = 2.0f * nearPlane / w;
    p[5] = 2.0f * nearPlane / h;
    p[10] = (farPlane + nearPlane) / (nearPlane - farPlane);
    p[11] = -1.0f;
    p[14] = 2.0f * farPlane * nearPlane / (nearPlane - farPlane);
    projection_ = p;
    dirty_ = true;
}

void Camera::UpdateMatrices() {
    Matrix4::Inverse(projection_, inverse_projection_);
    Matrix4Multiply(view_, world_, look_at_);
    Matrix4::Inverse(view_, inverse_view_);
    Matrix4Multiply(view_projection_, view_, projection_);
    Matrix4::Inverse(view_projection_, inverse_view_projection_);
    world_eye_ = TransformPoint(eye_, world_);
    world_target_ = TransformPoint(target_, world_);
    world_up_ = TransformDirection(up_, world_);
    view_direction_ = world_eye_ - world_target_;
    view_direction_.Normalize();
}

void Camera::Rebuild() {
    if (dirty_) {
        UpdateMatrices();
        dirty_ = false;
    }
}

bool Camera::WorldToScreen(const Vector3& world, Vector3& screen) {
    Rebuild();
    const Vector4 clip = Transform(Transform({world.x, world.y, world.z, 1.0f}, view_), projection_);
    if (clip.w == 0.0f) return false;
    const float sx = (clip.x / clip.w) * 0.5f + 0.5f;
    const float sy = (clip.y / clip.w) * -0.5f + 0.5f;
    const float sz = (clip.z / clip.w) * 0.5f + 0.5f;
    screen = Vector3(static_cast<float>(viewport_.width) * sx + static_cast<float>(viewport_.x),
                     static_cast<float>(viewport_.height) * sy + static_cast<float>(viewport_.y), sz);
    return true;
}

void Camera::ScreenToRay(float u, float v, Ray& ray) {
    Rebuild();
    const Vector4 d =
        Transform({(2.0f * u - 1.0f) / projection_[0], (2.0f * v - 1.0f) / projection_[5], -1.0f, 0.0f}, inverse_view_);
    ray.direction = Vector3(d.x, d.y, d.z);
    ray.direction.Normalize();
    ray.origin = eye_;
}

bool Camera::ScreenToWorld(const Vector3& screen, Vector3& world) {
    Rebuild();
    const float nx = (screen.x - static_cast<float>(viewport_.x)) / static_cast<float>(viewport_.width);
    const float ny = (screen.y - static_cast<float>(viewport_.y)) / static_cast<float>(viewport_.height);
    const Vector4 r =
        Transform({2.0f * nx - 1.0f, -2.0f * ny + 1.0f, 2.0f * screen.z - 1.0f, 1.0f}, inverse_view_projection_);
    if (r.w == 0.0f) return false;
    world = Vector3(r.x / r.w, r.y / r.w, r.z / r.w);
    return true;
}

const Matrix4& Camera::GetInverseViewProjection() {
    Rebuild();
    return inverse_view_projection_;
}

const Matrix4& Camera::GetView() {
    Rebuild();
    return view_;
}

const Matrix4& Camera::GetViewProjection() {
    Rebuild();
    return view_projection_;
}

const Matrix4& Camera::GetInverseView() {
    Rebuild();
    return inverse_view_;
}

const Matrix4& Camera::GetInverseProjection() {
    Rebuild();
    return inverse_projection_;
}

void Camera::Zoom(float scale) {
    if (scale >= 0.9f && scale <= 1.1f) last_zoom_scale_ = 1.0f;
    const float delta = scale - last_zoom_scale_;
    last_zoom_scale_ = scale;
    zoom_distance_ += delta * zoom_limit_;
    if (zoom_distance_ < zoom_floor_) zoom_distance_ = zoom_floor_;
    if (zoom_distance_ > zoom_limit_) zoom_distance_ = zoom_limit_;
    if (zoom_distance_ == 1.0f || zoom_distance_ == zoom_limit_) return;
    eye_ += (target_ - zoom_origin_) * delta;
    look_at_ = LookAtRH(eye_, target_, up_);
    dirty_ = true;
}

}  // namespace sg
