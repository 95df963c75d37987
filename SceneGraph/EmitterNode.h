#pragma once
// A scene node that owns one running particle effect and ties its time and
// visibility to the scene.
#include <memory>
#include <string>

#include "SceneGraph/Node.h"

class CSEntity;

namespace sg {

class EmitterNode;

// The running effect an emitter node drives: the particle library's effect
// instance, which sits above the scene graph and is made through the bound maker.
class EffectInstance {
public:
    virtual ~EffectInstance() = default;
    // Turns frame time into the effect's fixed steps (-1: the wall clock's).
    virtual void Update(float dt) = 0;
    // Hands the effect to the renderer when it is visible.
    virtual void Draw() = 0;
    virtual bool IsLooping() const = 0;
    // Set once a step has reported the end; never cleared.
    virtual bool HasEnded() const = 0;
};

// Makes the instance of an effect file for a node's host entity. The particle
// library binds it (BindEmitterNodeHosts); unbound, a node runs no effect: it
// neither loops nor ends.
typedef EffectInstance* (*EffectInstanceMaker)(CSEntity* host, const std::string& effectName);
void SetEffectInstanceMaker(EffectInstanceMaker make);

// The particle library sits above the scene graph and binds how an emitter node
// makes and deletes the entity that hosts its effect (BindEmitterNodeHosts in
// particles/CSEntityParticle.h). Unbound, a node's effect runs without host.
typedef CSEntity* (*EffectHostMaker)(EmitterNode* node);
typedef void (*EffectHostDeleter)(CSEntity* host);
void SetEffectHostFunctions(EffectHostMaker make, EffectHostDeleter destroy);

class EmitterNode : public Node {
public:
    static const NodeType Type;

    // Runs the effect file of that name (lower-cased); the node's name stays empty.
    explicit EmitterNode(const std::string& effectName);
    // The instance goes first, then its host entity.
    ~EmitterNode() override;

    const NodeType* GetType() const override { return &Type; }
    void Accept(NodeTraverser& traverser) override;

    // A visible node advances and draws its effect.
    void Update(float dt);
    // The update pass's call: also skipped for a frustum-culled node; the age
    // counts the real frame time.
    void UpdateCulled(float dt);

    bool IsRunning() const { return !HasEnded(); }
    bool HasEnded() const { return instance_ != nullptr && instance_->HasEnded(); }
    bool IsEndless() const { return instance_ != nullptr && instance_->IsLooping(); }
    // Not endless and ended: the owner removes the node.
    bool IsFinished() const { return !IsEndless() && HasEnded(); }

    // -1 for an endless effect (not counted).
    float GetAge() const { return age_; }
    // Returns whether the effect is endless (its age then stays -1).
    bool SetAge(float age);
    // SetAge, then Update with the new age: brings a restored effect to its saved age.
    void AdvanceTo(float age);

    void SetEmitterPickPoint(const Vector3& point) { emitter_pick_point_ = point; }
    const Vector3& GetEmitterPickPoint() const { return emitter_pick_point_; }
    // Null while no maker is bound.
    EffectInstance* GetInstance() { return instance_.get(); }
    // The effect file it runs, lower-cased.
    const std::string& GetEffectName() const { return effect_name_; }
    // The entity that places the effect: made by the bound maker, null when unbound.
    CSEntity* GetHost() const { return host_; }

private:
    CSEntity* host_ = nullptr;
    EffectHostDeleter host_deleter_ = nullptr;
    std::unique_ptr<EffectInstance> instance_;
    std::string effect_name_;
    float age_ = 0.0f;
    Vector3 emitter_pick_point_;
};

}  // namespace sg
