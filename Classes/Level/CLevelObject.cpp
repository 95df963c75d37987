#include "Classes/Level/CLevelObject.h"

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/AnimationClips/AnimationClips.h"
#include "Graphics/Model/Model.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/Material.h"
#include "SceneGraph/ModelNode.h"

namespace {

const int32_t kObjectPickGroup = 6;
const int32_t kLevelObjectMaterial = 2;

}  // namespace

CLevelObject::CLevelObject(int32_t x, int32_t y, int32_t z, const std::string& name, int32_t shown,
                           int32_t blocksWalking, int32_t blocksMissiles)
    : CGenericObject(-1, x, y, z, 0),
      shown_(shown),
      blocks_walking_(blocksWalking),
      blocks_missiles_(blocksMissiles),
      name_(name) {}

CLevelObject::~CLevelObject() = default;

void CLevelObject::BuildNode(int32_t updateWhilePaused) {
    if (shown_ == 0 || name_.empty()) return;
    // A second build must not leave the first node behind in the world.
    DetachNode();
    node_.reset();
    const std::string ending = name_.size() >= 4 ? name_.substr(name_.size() - 4) : std::string();
    if (ending == ".pod") {
        typedef Content::ContentLoader<Graphics::Model> ModelLoader;
        if (Service<ModelLoader>::Exists() && Service<Content::ContentLoader<Graphics::AnimationClips>>::Exists()) {
            // A model that cannot be loaded still gives a node, one without a model.
            boost::shared_ptr<sg::ModelNode> model(new sg::ModelNode(Service<ModelLoader>::Get()->Load(name_)));
            model->SetName("ObjectNode");
            model->SetUserData(this);
            // The battle leaves shared material 2 empty: the model keeps its own.
            const boost::shared_ptr<sg::Material> material = GetSharedMaterial(kLevelObjectMaterial);
            if (material) model->SetMaterial(material);
            node_ = model;
        }
    } else if (ending == ".prt") {
        if (Service<Config>::Exists()) {
            boost::shared_ptr<sg::EmitterNode> emitter(
                new sg::EmitterNode(Service<Config>::Get()->Paths.ParticlesPath + name_));
            emitter->SetName("ObjectNode");
            emitter->SetUserData(this);
            emitter->SetPickGroup(kObjectPickGroup);
            node_ = emitter;
        }
    }
    if (node_) node_->SetUpdateWhilePaused(updateWhilePaused != 0);
    AttachNode();
    UpdateNode();
    UpdateVisibility();
}

void CLevelObject::UpdateVisibility() {
    if (node_) node_->SetVisible(shown_ != 0);
}
