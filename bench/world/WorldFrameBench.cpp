// The world frame against the comparison quad, drawn by turns on one device at
// 1024 x 768: the sample map seen through its view's camera with the six defenders,
// their weapons and blob shadows (the scene a battle draws before any attacker, HUD
// or particle), against a frame of one full-screen blended textured quad. Each side
// draws 20 frames and reads the last one back, so all its drawing is finished
// inside the measurement. Prints the median of the turns' world / quad ratios (goal:
// at most 1.5) and the heap allocations a world frame makes once the first has been
// drawn (goal: none; they are counted at the global operator new). Run with
// SDL_VIDEODRIVER=offscreen when there is no display.
#include <memory>
#include <string>
#include <vector>

#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"
#include "bench/support/FramesByTurns.h"
#include "tests/support/SampleBattlefield.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

class World : public benchsupport::FramesByTurns {
public:
    World()
        : FramesByTurns({"bench_world", DM_BENCH_GAME_DIR, "world frame", "BM_WorldFrames", 1.5, 20, kWidth, kHeight}) {
    }

protected:
    bool Build(std::string& error) override {
        graphics_.reset(new Graphics::GraphicsDevice(d3d(), device()));
        if (!graphics_->GetEffect()->IsLoaded()) {
            error = "the effect does not load";
            return false;
        }
        Service<Graphics::GraphicsDevice>::Register(graphics_.get());
        graphics_->SetViewport(Viewport(0, 0, kWidth, kHeight, 0.0f, 1.0f));
        textures_.reset(new Content::ContentLoader<Graphics::Texture2D>(catalogue::config::kTextures.Path()));
        Service<Content::ContentLoader<Graphics::Texture2D>>::Register(textures_.get());
        models_.reset(new Content::ContentLoader<Graphics::Model>(catalogue::config::kMeshes.Path()));
        clips_.reset(new Content::ContentLoader<Graphics::AnimationClips>(catalogue::config::kAnims.Path()));
        if (!battlefield_.BuildMap(*graphics_, {textures_.get(), models_.get(), clips_.get()}, kWidth, kHeight) ||
            !battlefield_.AddDefenders()) {
            error = battlefield_.Error();
            return false;
        }
        return true;
    }

    // One frame of the world scene as the game draws it: update, cull, sort, draw,
    // present.
    void Frame(std::vector<DWORD>* pixels) override {
        sg::Scene& scene = battlefield_.Scene();
        scene.Update(1.0f / 60.0f);
        scene.Cull();
        scene.Sort();
        device()->BeginScene();
        graphics_->Draw(&scene);
        device()->EndScene();
        if (pixels != nullptr) d3d9::ReadBackBuffer(device(), pixels, nullptr, nullptr);
        device()->Present(nullptr, nullptr, nullptr, nullptr);
    }

private:
    std::unique_ptr<Graphics::GraphicsDevice> graphics_;
    std::unique_ptr<Content::ContentLoader<Graphics::Texture2D>> textures_;
    std::unique_ptr<Content::ContentLoader<Graphics::Model>> models_;
    std::unique_ptr<Content::ContentLoader<Graphics::AnimationClips>> clips_;
    testsupport::SampleBattlefield battlefield_;
};

}  // namespace

int main(int argc, char** argv) {
    // Left alive until exit: the driver and the services stay until then.
    return (new World())->Main(argc, argv);
}
