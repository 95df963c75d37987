#pragma once
// The components of the game framework: something that is initialised, shut
// down and updated, and the kind that is also drawn.

namespace Game {

class GameComponentInterface {
public:
    virtual ~GameComponentInterface() {}
    virtual void Initialize() = 0;
    virtual void Shutdown() = 0;
    virtual void Update() = 0;

    bool IsEnabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    // Set once the component was initialised or shut down.
    bool IsLifecycleDone() const { return lifecycle_done_; }
    void SetLifecycleDone(bool done) { lifecycle_done_ = done; }

protected:
    bool enabled_ = true;
    bool lifecycle_done_ = false;
};

class GameDrawableComponentInterface : public GameComponentInterface {
public:
    virtual void Draw() = 0;

    bool IsVisible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }

protected:
    bool visible_ = true;
};

}  // namespace Game
