#pragma once
// A piece of scenery: a model (".pod") or a particle effect (".prt") at a grid
// position, which may block walking and may block missiles and sight.
#include <cstdint>
#include <string>

#include "Classes/Level/CGenericObject.h"

class CLevelObject : public CGenericObject {
public:
    // Object id -1, direction 0.
    CLevelObject(int32_t x, int32_t y, int32_t z, const std::string& name, int32_t shown, int32_t blocksWalking,
                 int32_t blocksMissiles);
    ~CLevelObject() override;

    // Makes the node from the name's ending (exactly ".pod" or ".prt"), attaches and
    // places it. Nothing when the object is not shown or has no name.
    void BuildNode(int32_t updateWhilePaused);
    // The node's visible flag becomes the shown value.
    void UpdateVisibility();

    int32_t GetShown() const { return shown_; }
    int32_t BlocksWalking() const { return blocks_walking_; }
    int32_t BlocksMissiles() const { return blocks_missiles_; }
    const std::string& GetName() const { return name_; }

private:
    int32_t shown_;
    int32_t blocks_walking_;
    int32_t blocks_missiles_;
    std::string name_;
};
