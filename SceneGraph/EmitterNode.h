#pragma once
// A scene node that owns one running particle effect and ties its time and
// visibility to the scene.
#include <memory>
#include <string>

#include "SceneGraph/Node.h"
#include "SceneGraph/ParticleStandIns.h"

class CSEntity;

namespace sg {

class EmitterNode;

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

    bool IsRunning() const { return !instance_->m_bEnded; }
    bool HasEnded() const { return instance_->m_bEnded; }
    bool IsEndless() const { return instance_->IsLooping(); }
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
    CSEffectInstance& GetInstance() { return *instance_; }
    // The entity that places the effect: made by the bound maker, null when unbound.
    CSEntity* GetHost() const { return host_; }

private:
    CSEntity* host_ = nullptr;
    EffectHostDeleter host_deleter_ = nullptr;
    std::unique_ptr<CSEffectInstance> instance_;
    float age_ = 0.0f;
    Vector3 emitter_pick_point_;
};

}  // namespace sg
