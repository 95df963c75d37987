#pragma once
// Stand-ins until the scene (sg::Scene with its render lists and shadow
// caster), the model node, the particle batches and the 2D layer with its
// sprite fonts exist: only what the graphics device's scene draw reads of
// them. Each goes when the real one lands; the scene draw then calls the real
// operations under the same steps.
#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Maths/Color.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Light.h"
#include "SceneGraph/Node.h"

namespace Graphics {
class GDEffect;
class GraphicsDevice;
}  // namespace Graphics

namespace sg {

// Stand-in until the model node exists: the effect the device gives it and
// the draw the device calls.
class ModelNode : public Node {
public:
    void SetEffect(Graphics::GDEffect* effect) { effect_ = effect; }
    Graphics::GDEffect* GetEffect() const { return effect_; }
    virtual void Draw(Camera* /*camera*/) {}

private:
    Graphics::GDEffect* effect_ = nullptr;
};

// Stand-in until the scene exists: the lists the cull pass fills.
struct RenderLists {
    std::vector<ModelNode*> models;
    std::vector<Light*> lights;
    std::vector<Node*> emitters;
    Camera* camera = nullptr;
};

// Stand-in until the blob shadows exist.
class ShadowCaster {
public:
    virtual ~ShadowCaster() = default;
    virtual void Draw(RenderLists& lists) = 0;
};

// Stand-in until the scene traversers exist: the cull pass's counters.
struct CullStatistics {
    int32_t culled_nodes = 0;
    int32_t passed_nodes = 0;
    int32_t culled_triangles = 0;
    int32_t passed_triangles = 0;
};

// Stand-in until the scene exists: what the graphics device's draw reads.
class Scene {
public:
    virtual ~Scene() = default;

    void SetClearColor(const Color& color) { clear_color_ = color; }
    const Color& GetClearColor() const { return clear_color_; }
    void SetClearTarget(bool on) { clear_target_ = on; }
    bool GetClearTarget() const { return clear_target_; }
    void SetClearDepth(bool on) { clear_depth_ = on; }
    bool GetClearDepth() const { return clear_depth_; }

    void SetCamera(const boost::shared_ptr<Camera>& camera) { camera_ = camera; }
    boost::shared_ptr<Camera> GetCamera() const { return camera_; }
    void SetLight(const boost::shared_ptr<Light>& light) { light_ = light; }
    boost::shared_ptr<Light> GetLight() const { return light_; }

    RenderLists& GetRenderLists() { return lists_; }

    void SetShadowCaster(std::unique_ptr<ShadowCaster> caster) { shadow_caster_ = std::move(caster); }
    void SetShadowsEnabled(bool on) { shadows_enabled_ = on; }
    void DrawShadows() {
        if (shadows_enabled_ && shadow_caster_ != nullptr) {
            shadow_caster_->Draw(lists_);
        }
    }

    // The statistics overlay: the font is represented by its line height
    // (0: no font).
    void SetShowStatistics(bool on) { show_statistics_ = on; }
    bool GetShowStatistics() const { return show_statistics_; }
    void SetStatisticsFontLineHeight(int32_t height) { statistics_font_line_height_ = height; }
    int32_t GetStatisticsFontLineHeight() const { return statistics_font_line_height_; }
    CullStatistics& GetCullStatistics() { return cull_statistics_; }

private:
    Color clear_color_;
    bool clear_target_ = true;
    bool clear_depth_ = true;
    boost::shared_ptr<Camera> camera_;
    boost::shared_ptr<Light> light_;
    RenderLists lists_;
    std::unique_ptr<ShadowCaster> shadow_caster_;
    bool shadows_enabled_ = true;
    bool show_statistics_ = false;
    int32_t statistics_font_line_height_ = 0;
    CullStatistics cull_statistics_;
};

}  // namespace sg

namespace Graphics {
namespace standin {

// What the stand-ins below were asked to do, for tests (null: not reported).
class Observer {
public:
    virtual ~Observer() = default;
    virtual void ParticleBuffersCreated() {}
    virtual void ParticleBuffersReleased() {}
    virtual void ParticlesFlushed() {}
    virtual void TextDrawn(float /*x*/, float /*y*/, const std::string& /*text*/) {}
};
void SetObserver(Observer* observer);

// Stand-ins until the particle batches exist.
void ParticlesCreateDeviceBuffers(GraphicsDevice* device);
void ParticlesReleaseDeviceBuffers();
void ParticlesFlush();

// Stand-in until the 2D layer and sprite fonts exist: one line of text in
// back-buffer pixels between the 2D layer's begin and end.
void DrawText(float x, float y, const std::string& text);

}  // namespace standin
}  // namespace Graphics
