#pragma once
// What the graphics device reads of a scene and of a light. The scene graph
// sits above the device: sg::Scene and sg::Light implement these, and the
// scene draw itself is the scene's (sg::Scene::DrawOn).
#include <cstdint>

#include "Maths/Color.h"
#include "Maths/Matrix4.h"
#include "Maths/Vector3.h"

namespace Graphics {

class GraphicsDevice;

class DeviceLight {
public:
    // Only type 0 reaches the effect.
    virtual int32_t GetLightType() const = 0;
    virtual const Color& GetAmbient() const = 0;
    virtual const Color& GetDiffuse() const = 0;
    virtual const Color& GetSpecular() const = 0;
    virtual const Vector3& GetDirection() const = 0;

protected:
    ~DeviceLight() = default;
};

class DeviceScene {
public:
    // A scene without a camera is not drawn.
    virtual bool HasCamera() const = 0;
    // The camera's view-projection, its matrices rebuilt first when out of date.
    virtual const Matrix4& GetCameraViewProjection() = 0;
    // The draw once the device has taken the scene: clear, camera position,
    // lights, axes, model nodes, blob shadows, particles and statistics.
    virtual void DrawOn(GraphicsDevice& device) = 0;

protected:
    ~DeviceScene() = default;
};

}  // namespace Graphics
