#include "Game/GameInterface.h"

#include <algorithm>
#include <cstdio>

#include "Core/FrameClock.h"
#include "Graphics/Draw2D.h"
#include "Graphics/SpriteFont.h"

namespace Game {

namespace {

// Frames counted since the last whole second, and the seconds they took.
int g_fps_frames = 0;
float g_fps_seconds = 0.0f;

bool Contains(const GameInterface::ComponentList& list, const boost::shared_ptr<GameComponentInterface>& component) {
    return std::find(list.begin(), list.end(), component) != list.end();
}

}  // namespace

GameInterface::GameInterface() {}

GameInterface::~GameInterface() {}

void GameInterface::OnEvent(int /*code*/) {}

void GameInterface::RunInitialize() {
    Initialize();
    lifecycle_done_ = true;
}

void GameInterface::RunShutdown() {
    QueueRemoveAll();
    Shutdown();
    lifecycle_done_ = true;
}

void GameInterface::RunUpdate() {
    ProcessRemovalQueue();
    if (enabled_) Update();
    if (modal_) {
        if (modal_component_ && modal_component_->IsEnabled()) modal_component_->Update();
        return;
    }
    // A copy: a component's update may queue or change the list.
    const ComponentList components = components_;
    for (const boost::shared_ptr<GameComponentInterface>& component : components) {
        if (component->IsEnabled()) component->Update();
    }
}

void GameInterface::RunDraw() {
    if (visible_) Draw();
    if (!component_drawing_) return;
    const ComponentList components = components_;
    for (const boost::shared_ptr<GameComponentInterface>& component : components) {
        GameDrawableComponentInterface* drawable = dynamic_cast<GameDrawableComponentInterface*>(component.get());
        if (drawable && drawable->IsVisible()) drawable->Draw();
    }
}

void GameInterface::ProcessRemovalQueue() {
    // A copy: a component's Shutdown may queue another.
    const ComponentList queue = removal_queue_;
    for (const boost::shared_ptr<GameComponentInterface>& component : queue) {
        if (!Contains(components_, component)) continue;
        component->Shutdown();
        component->SetLifecycleDone(true);
        components_.remove(component);
    }
    removal_queue_.clear();
}

void GameInterface::TickFps() {
    const float delta = GetFrameDelta();
    ++g_fps_frames;
    g_fps_seconds += delta;
    if (g_fps_seconds >= 1.0f) {
        last_second_fps_ = static_cast<float>(g_fps_frames);
        g_fps_seconds -= 1.0f;
        g_fps_frames = 0;
    }
    if (delta > 0.0f) fps_ = 1.0f / delta;
}

void GameInterface::DrawFps() {
    if (!show_fps_ || !fps_font_) return;
    char text[64];
    std::snprintf(text, sizeof text, "FPS: %4.1f, %4.1f", last_second_fps_, fps_);
    Graphics::Draw2D::Begin();
    Graphics::Draw2D::DrawText(fps_font_, fps_x_, fps_y_, std::string(text));
    Graphics::Draw2D::End();
}

boost::shared_ptr<GameComponentInterface> GameInterface::FindQueuedComponent(
    const GameComponentInterface* component) const {
    for (const boost::shared_ptr<GameComponentInterface>& queued : removal_queue_) {
        if (queued.get() == component) return queued;
    }
    return boost::shared_ptr<GameComponentInterface>();
}

void GameInterface::QueueRemoval(const boost::shared_ptr<GameComponentInterface>& component) {
    if (Contains(components_, component)) removal_queue_.push_back(component);
}

void GameInterface::QueueRemoveLast() {
    if (!components_.empty()) removal_queue_.push_back(components_.back());
}

void GameInterface::QueueRemoveAll() { removal_queue_ = components_; }

void GameInterface::SetModal(const boost::shared_ptr<GameComponentInterface>& component, bool modal) {
    modal_component_ = component;
    modal_ = modal;
}

void GameInterface::SetFpsDisplay(bool show, float x, float y, const boost::shared_ptr<Graphics::SpriteFont>& font) {
    show_fps_ = show;
    fps_x_ = x;
    fps_y_ = y;
    fps_font_ = font;
}

}  // namespace Game
