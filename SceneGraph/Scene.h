#pragma once
// What the battle draws: a root node, the camera, the light, the clear
// settings, the render lists of the frame and the passes that fill them
// (update, cull, sort, pick), and the blob shadows.
#include <cstdint>
#include <memory>

#include <boost/shared_ptr.hpp>

#include "Graphics/DeviceScene.h"
#include "Maths/Color.h"
#include "SceneGraph/AppTraverser.h"
#include "SceneGraph/CullTraverser.h"
#include "SceneGraph/Light.h"
#include "SceneGraph/PickTraverser.h"
#include "SceneGraph/RenderLists.h"
#include "SceneGraph/ShadowCaster.h"
#include "shell/ToolBackground.h"

namespace Graphics {
class GraphicsDevice;
class RenderTarget2D;
class SpriteFont;
class Texture2D;
}  // namespace Graphics

namespace sg {

class Scene : public Graphics::DeviceScene {
public:
    Scene();
    virtual ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    void SetRoot(const boost::shared_ptr<Node>& root) { root_ = root; }
    const boost::shared_ptr<Node>& GetRoot() const { return root_; }
    // Also the camera of the cull and pick passes.
    void SetCamera(const boost::shared_ptr<Camera>& camera);
    boost::shared_ptr<Camera> GetCamera() const { return camera_; }
    void SetLight(const boost::shared_ptr<Light>& light) { light_ = light; }
    boost::shared_ptr<Light> GetLight() const { return light_; }

    void SetClearColor(const Color& color) { clear_color_ = color; }
    const Color& GetClearColor() const { return clear_color_; }
    void SetClearTarget(bool on) { clear_target_ = on; }
    bool GetClearTarget() const { return clear_target_; }
    void SetClearDepth(bool on) { clear_depth_ = on; }
    bool GetClearDepth() const { return clear_depth_; }

    // Kept for callers; the scene draw uses neither.
    void SetRenderTarget(const boost::shared_ptr<Graphics::RenderTarget2D>& target) { render_target_ = target; }
    const boost::shared_ptr<Graphics::RenderTarget2D>& GetRenderTarget() const { return render_target_; }
    void DisableRenderTarget() { use_render_target_ = false; }
    bool UsesRenderTarget() const { return use_render_target_; }
    CToolBackground& GetBackground() { return background_; }

    // Replaces the shadow caster with blobs from a rectangle of the texture.
    void SetBlobShadows(Graphics::GraphicsDevice* device, const boost::shared_ptr<Graphics::Texture2D>& texture,
                        float x, float y, float width, float height, int32_t maxCasters);
    // Null removes the caster.
    void SetShadowCaster(std::unique_ptr<ShadowCaster> caster) { shadow_caster_ = std::move(caster); }
    ShadowCaster* GetShadowCaster() const { return shadow_caster_.get(); }
    void SetShadowsEnabled(bool on) { shadows_enabled_ = on; }
    bool GetShadowsEnabled() const { return shadows_enabled_; }

    void SetStatisticsFont(const boost::shared_ptr<Graphics::SpriteFont>& font) { statistics_font_ = font; }
    const boost::shared_ptr<Graphics::SpriteFont>& GetStatisticsFont() const { return statistics_font_; }
    void SetShowStatistics(bool on) { show_statistics_ = on; }
    bool GetShowStatistics() const { return show_statistics_; }

    // While paused only nodes allowed to update while paused do so.
    void Pause() { running_ = false; }
    void Resume() { running_ = true; }
    bool IsRunning() const { return running_; }
    // Scales the update time while running.
    void SetTimeScale(bool on, float scale) {
        time_scale_on_ = on;
        time_scale_ = scale;
    }

    // World matrices, animation and emitter time (dt seconds).
    void Update(float dt);
    // Fills the render lists with what the camera sees.
    void Cull();
    void Sort();
    void DrawShadows();

    // What the graphics device draws of the scene (SceneGraph/SceneDraw.cpp).
    bool HasCamera() const override;
    const Matrix4& GetCameraViewProjection() override;
    void DrawOn(Graphics::GraphicsDevice& device) override;

    // Model nodes under a rectangle of pixels: from the lists of the last
    // cull pass (drawn), or by a walk over the tree.
    bool Pick(int32_t group, int32_t x, int32_t y, int32_t width, int32_t height, PickResult& out, bool drawn);
    bool Pick(int32_t group, float x, float y, float width, float height, PickResult& out, bool drawn);
    // Model nodes on the ray through a point in 0..1 screen coordinates; the
    // hits stay in the pick traverser.
    bool PickRay(int32_t group, float u, float v);
    // Appends the nodes of the lists whose pick point projects into the rectangle.
    void PickInDrawnLists(int32_t group, const PickRect& rect, RenderLists& lists, PickResult& out);

    RenderLists& GetRenderLists() { return lists_; }
    AppTraverser& GetAppTraverser() { return app_traverser_; }
    CullTraverser& GetCullTraverser() { return cull_traverser_; }
    PickTraverser& GetPickTraverser() { return pick_traverser_; }
    void SetSorter(Sorter* sorter) { sorter_.reset(sorter); }

private:
    Color clear_color_;
    bool clear_target_ = true;
    boost::shared_ptr<Graphics::RenderTarget2D> render_target_;
    bool use_render_target_ = true;
    bool clear_depth_ = true;
    CToolBackground background_;
    boost::shared_ptr<Node> root_;
    boost::shared_ptr<Camera> camera_;
    RenderLists lists_;
    AppTraverser app_traverser_;
    CullTraverser cull_traverser_;
    PickTraverser pick_traverser_;
    std::unique_ptr<Sorter> sorter_;
    boost::shared_ptr<Graphics::SpriteFont> statistics_font_;
    bool show_statistics_ = false;
    boost::shared_ptr<Light> light_;
    std::unique_ptr<ShadowCaster> shadow_caster_;
    bool shadows_enabled_ = true;
    bool running_ = true;
    bool time_scale_on_ = false;
    float time_scale_ = 1.0f;
};

}  // namespace sg
