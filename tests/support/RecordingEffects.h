#pragma once
// A recording effect instance for the tests of the folders below the particle
// library (and of the game's own bookkeeping of effect nodes): bound as the
// emitter nodes' instance maker, each node's instance records its updates and
// draws, and a test ends it or makes it loop by the effect's name.
#include <set>
#include <string>
#include <vector>

#include "SceneGraph/EmitterNode.h"

namespace testsupport {

class RecordingEffect : public sg::EffectInstance {
public:
    void Update(float dt) override {
        ++updates;
        dts.push_back(dt);
    }
    void Draw() override { ++draws; }
    bool IsLooping() const override { return looping; }
    bool HasEnded() const override { return ended; }

    std::string name;
    bool looping = false;
    bool ended = false;
    int updates = 0;
    int draws = 0;
    std::vector<float> dts;
};

// While it lives, every new emitter node runs a RecordingEffect; names in
// `looping` loop.
class RecordingEffects {
public:
    explicit RecordingEffects(std::set<std::string> looping = {}) {
        Looping() = std::move(looping);
        sg::SetEffectInstanceMaker(&Make);
    }
    ~RecordingEffects() {
        sg::SetEffectInstanceMaker(nullptr);
        Looping().clear();
    }
    RecordingEffects(const RecordingEffects&) = delete;
    RecordingEffects& operator=(const RecordingEffects&) = delete;

    static RecordingEffect& Of(sg::EmitterNode& node) { return *static_cast<RecordingEffect*>(node.GetInstance()); }

private:
    static std::set<std::string>& Looping() {
        static std::set<std::string> names;
        return names;
    }
    static sg::EffectInstance* Make(CSEntity*, const std::string& name) {
        RecordingEffect* effect = new RecordingEffect();
        effect->name = name;
        effect->looping = Looping().count(name) != 0;
        return effect;
    }
};

}  // namespace testsupport
