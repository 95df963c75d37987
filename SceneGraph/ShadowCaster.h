#pragma once
// Shadows of the model nodes a cull pass found drawable.
#include "Maths/Color.h"

namespace Graphics {
class GraphicsDevice;
}

namespace sg {

struct RenderLists;

class ShadowCaster {
public:
    virtual ~ShadowCaster() = default;
    virtual void Draw(RenderLists& lists) = 0;

    void SetOpacity(float opacity) { opacity_ = opacity; }
    float GetOpacity() const { return opacity_; }
    void SetColor(const Color& color) { color_ = color; }
    const Color& GetColor() const { return color_; }
    // No drawing without a device.
    void SetGraphicsDevice(Graphics::GraphicsDevice* device) { device_ = device; }
    Graphics::GraphicsDevice* GetGraphicsDevice() const { return device_; }

protected:
    float opacity_ = 1.0f;
    Color color_;  // opaque black
    Graphics::GraphicsDevice* device_ = nullptr;
};

}  // namespace sg
