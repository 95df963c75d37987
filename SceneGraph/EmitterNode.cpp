#include "SceneGraph/EmitterNode.h"

#include <locale>

#include "Core/FrameClock.h"

namespace sg {

const NodeType EmitterNode::Type{"sg.EmitterNode", &Node::Type};

namespace {
EffectHostMaker g_make_host = nullptr;
EffectHostDeleter g_delete_host = nullptr;
EffectInstanceMaker g_make_instance = nullptr;
}  // namespace

void SetEffectInstanceMaker(EffectInstanceMaker make) { g_make_instance = make; }

void SetEffectHostFunctions(EffectHostMaker make, EffectHostDeleter destroy) {
    g_make_host = make;
    g_delete_host = destroy;
}

EmitterNode::EmitterNode(const std::string& effectName) : Node() {
    std::string name = effectName;
    const std::locale locale;
    for (char& c : name) c = std::tolower(c, locale);
    if (g_make_host != nullptr && g_delete_host != nullptr) {
        host_ = g_make_host(this);
        host_deleter_ = g_delete_host;
    }
    effect_name_ = name;
    if (g_make_instance != nullptr) instance_.reset(g_make_instance(host_, name));
    age_ = IsEndless() ? -1.0f : 0.0f;
}

EmitterNode::~EmitterNode() {
    instance_.reset();
    if (host_ != nullptr) host_deleter_(host_);
}

void EmitterNode::Accept(NodeTraverser& traverser) { traverser.VisitEmitterNode(*this); }

void EmitterNode::Update(float dt) {
    if (!visible_ || instance_ == nullptr) return;
    instance_->Update(dt);
    instance_->Draw();
}

void EmitterNode::UpdateCulled(float dt) {
    if (visible_ && !IsCulled() && instance_ != nullptr) {
        instance_->Update(dt);
        instance_->Draw();
    }
    if (age_ != -1.0f) age_ += GetFrameDelta();
}

bool EmitterNode::SetAge(float age) {
    const bool endless = IsEndless();
    age_ = endless ? -1.0f : age;
    return endless;
}

void EmitterNode::AdvanceTo(float age) {
    SetAge(age);
    Update(age_);
}

}  // namespace sg
