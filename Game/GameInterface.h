#pragma once
// The application's base: a small component framework. The shell drives it
// through the operations of its ShellGame interface; the game never adds a
// component, so in practice only its own Update and Draw run.
#include <boost/shared_ptr.hpp>

#include <algorithm>
#include <list>

#include "Core/FrameClock.h"
#include "Game/GameComponent.h"
#include "shell/ShellGame.h"

namespace Graphics {
class SpriteFont;
}

namespace Game {

class GameInterface : public GameDrawableComponentInterface, public ShellGame {
public:
    typedef std::list<boost::shared_ptr<GameComponentInterface>> ComponentList;

    GameInterface() {}
    ~GameInterface() override {}

    void Initialize() override {}
    void Shutdown() override {}
    void Update() override {}
    void Draw() override {}
    void OnEvent(int /*code*/) override {}
    // After the player has chosen the interface language.
    virtual void OnLanguageChanged() {}

    // Initialize, then the lifecycle flag. False when the game refused to start.
    bool RunInitialize() override {
        Initialize();
        lifecycle_done_ = true;
        return !StartRefused();
    }
    // True after an Initialize that found the game unable to run and undid what it
    // had started.
    virtual bool StartRefused() const { return false; }

    // Queues every component for removal, Shutdown, then the lifecycle flag.
    void RunShutdown() override {
        QueueRemoveAll();
        Shutdown();
        lifecycle_done_ = true;
    }

    // The removal queue, own Update (when enabled), then the components: only
    // the modal one in modal mode, else every enabled one in list order.
    void RunUpdate() override {
        ProcessRemovalQueue();
        if (enabled_) Update();
        if (modal_) {
            if (modal_component_ && modal_component_->IsEnabled()) modal_component_->Update();
            return;
        }
        // A copy: a component's update may change the list.
        const ComponentList components = components_;
        for (const boost::shared_ptr<GameComponentInterface>& component : components)
            if (component->IsEnabled()) component->Update();
    }

    // Own Draw (when visible), then every visible drawable component.
    void RunDraw() override {
        if (visible_) Draw();
        if (!component_drawing_) return;
        const ComponentList components = components_;
        for (const boost::shared_ptr<GameComponentInterface>& component : components) {
            GameDrawableComponentInterface* drawable = dynamic_cast<GameDrawableComponentInterface*>(component.get());
            if (drawable && drawable->IsVisible()) drawable->Draw();
        }
    }

    // Once per frame: the frames of the last whole second, and 1 / frame delta.
    void TickFps() override {
        const float delta = GetFrameDelta();
        ++fps_frames_;
        fps_seconds_ += delta;
        if (fps_seconds_ >= 1.0f) {
            last_second_fps_ = static_cast<float>(fps_frames_);
            fps_seconds_ -= 1.0f;
            fps_frames_ = 0;
        }
        if (delta > 0.0f) fps_ = 1.0f / delta;
    }

    // The audio device's update, when its service is registered.
    void UpdateAudio() override;
    // The selected cursor image (Game/Cursors.h).
    void DrawCursor() override;

    // "FPS: last second, current" in the stored font, when switched on.
    void DrawFps();

    // The queued component at that address, or empty.
    boost::shared_ptr<GameComponentInterface> FindQueuedComponent(const GameComponentInterface* component) const {
        for (const boost::shared_ptr<GameComponentInterface>& queued : removal_queue_)
            if (queued.get() == component) return queued;
        return boost::shared_ptr<GameComponentInterface>();
    }
    // Queues a component of the list (others are ignored).
    void QueueRemoval(const boost::shared_ptr<GameComponentInterface>& component) {
        if (std::find(components_.begin(), components_.end(), component) != components_.end())
            removal_queue_.push_back(component);
    }
    void QueueRemoveLast() {
        if (!components_.empty()) removal_queue_.push_back(components_.back());
    }
    // The queue becomes a copy of the list.
    void QueueRemoveAll() { removal_queue_ = components_; }

    // Message boxes switch the game to modal mode.
    void SetModal(const boost::shared_ptr<GameComponentInterface>& component, bool modal) {
        modal_component_ = component;
        modal_ = modal;
    }
    bool IsModal() const { return modal_; }
    const boost::shared_ptr<GameComponentInterface>& GetModalComponent() const { return modal_component_; }

    void SetComponentDrawing(bool on) { component_drawing_ = on; }
    void SetFpsDisplay(bool show, float x, float y, const boost::shared_ptr<Graphics::SpriteFont>& font) {
        show_fps_ = show;
        fps_x_ = x;
        fps_y_ = y;
        fps_font_ = font;
    }
    float GetFps() const { return fps_; }
    float GetLastSecondFps() const { return last_second_fps_; }

protected:
    // For each queued component still in the list: Shutdown, lifecycle flag,
    // out of the list. Then the queue is emptied.
    void ProcessRemovalQueue() {
        // A copy: a component's Shutdown may queue another.
        const ComponentList queue = removal_queue_;
        for (const boost::shared_ptr<GameComponentInterface>& component : queue) {
            if (std::find(components_.begin(), components_.end(), component) == components_.end()) continue;
            component->Shutdown();
            component->SetLifecycleDone(true);
            components_.remove(component);
        }
        removal_queue_.clear();
    }

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

private:
    // Process-wide: frames counted since the last whole second, and their seconds.
    static inline int fps_frames_ = 0;
    static inline float fps_seconds_ = 0.0f;
};

// The initialised game as its framework, null outside its Initialize ...
// Shutdown: the widgets reach the modal component through it.
GameInterface* GetGameInterface();
void SetGameInterface(GameInterface* game);

}  // namespace Game
