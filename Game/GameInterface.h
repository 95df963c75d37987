#pragma once
// The application's base: a small component framework carried over from the
// mobile engine. The shell drives it through the Run* operations; the game
// never adds a component, so in practice only its own Update and Draw run.
#include <boost/shared_ptr.hpp>

#include <list>

#include "Game/GameComponent.h"

namespace Graphics {
class SpriteFont;
}

namespace Game {

class GameInterface : public GameDrawableComponentInterface {
public:
    typedef std::list<boost::shared_ptr<GameComponentInterface>> ComponentList;

    GameInterface();
    ~GameInterface() override;

    void Initialize() override {}
    void Shutdown() override {}
    void Update() override {}
    void Draw() override {}
    virtual void OnEvent(int code);

    // Initialize, then the lifecycle flag.
    void RunInitialize();
    // Queues every component for removal, Shutdown, then the lifecycle flag.
    void RunShutdown();
    // The removal queue, own Update (when enabled), then the components: only
    // the modal one in modal mode, else every enabled one in list order.
    void RunUpdate();
    // Own Draw (when visible), then every visible drawable component.
    void RunDraw();
    // Once per frame: frames of the last whole second and 1 / frame delta.
    void TickFps();
    // "FPS: last second, current" in the stored font, when switched on.
    void DrawFps();

    // The queued component at that address, or empty.
    boost::shared_ptr<GameComponentInterface> FindQueuedComponent(const GameComponentInterface* component) const;
    // Queues a component of the list (others are ignored).
    void QueueRemoval(const boost::shared_ptr<GameComponentInterface>& component);
    void QueueRemoveLast();
    // The queue becomes a copy of the list.
    void QueueRemoveAll();

    // Message boxes switch the game to modal mode.
    void SetModal(const boost::shared_ptr<GameComponentInterface>& component, bool modal);
    bool IsModal() const { return modal_; }
    const boost::shared_ptr<GameComponentInterface>& GetModalComponent() const { return modal_component_; }

    void SetComponentDrawing(bool on) { component_drawing_ = on; }
    void SetFpsDisplay(bool show, float x, float y, const boost::shared_ptr<Graphics::SpriteFont>& font);
    float GetFps() const { return fps_; }
    float GetLastSecondFps() const { return last_second_fps_; }

protected:
    // For each queued component still in the list: Shutdown, lifecycle flag,
    // out of the list. Then the queue is emptied.
    void ProcessRemovalQueue();

    ComponentList components_;
    ComponentList removal_queue_;
    boost::shared_ptr<GameComponentInterface> modal_component_;
    bool modal_ = false;
    bool component_drawing_ = true;
    float fps_ = 0.0f;
    float last_second_fps_ = 0.0f;
    bool show_fps_ = false;
    float fps_x_ = 0.0f;
    float fps_y_ = 0.0f;
    boost::shared_ptr<Graphics::SpriteFont> fps_font_;
};

}  // namespace Game
