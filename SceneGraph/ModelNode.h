#pragma once
// A scene node that shows one model with a material: it plays a frame range
// of the model's animation, fires callbacks on chosen frames, draws meshes of
// other models on its bones (weapons in a unit's hands) and keeps its bounding
// sphere in step with the animation.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "SceneGraph/Node.h"

namespace Graphics {
class GDEffect;
class Model;
}  // namespace Graphics

namespace sg {

class Camera;
class Material;

// A mesh of another model drawn on a bone of this node's model.
struct BoneAttachment {
    uint32_t bone;                             // node index in the owner's model
    boost::shared_ptr<Graphics::Model> model;  // the attached mesh's model
    uint32_t mesh_node;                        // node index in the attached model
};

struct FrameCallback {
    void* user;
    void (*function)(void* user);
};

class ModelNode : public Node {
public:
    static const NodeType Type;

    enum PlayMode : int32_t { kPlayClamp = 0, kPlayLoop = 1 };

    struct Clip {
        uint32_t first = 0;
        uint32_t last = 0;  // frames first to last - 1 are played
        int32_t id = -1;
    };

    // Copies the model's bounds; casts a blob shadow.
    explicit ModelNode(const boost::shared_ptr<Graphics::Model>& model);
    ~ModelNode() override;

    const NodeType* GetType() const override { return &Type; }
    void Accept(NodeTraverser& traverser) override;
    // The sphere of the current frame when the model has per-frame bounds.
    void UpdateBounds() override;

    const boost::shared_ptr<Graphics::Model>& GetModel() const { return model_; }
    void SetMaterial(const boost::shared_ptr<Material>& material) { material_ = material; }
    const boost::shared_ptr<Material>& GetMaterial() const { return material_; }
    void SetEffect(Graphics::GDEffect* effect) { effect_ = effect; }
    Graphics::GDEffect* GetEffect() const { return effect_; }

    // The model's clip of that name; the frame goes to its first frame.
    void SetClip(const std::string& name);
    const Clip& GetClip() const { return clip_; }
    const std::string& GetClipName() const { return clip_name_; }
    void SetPlayMode(int32_t mode) { play_mode_ = mode; }
    int32_t GetPlayMode() const { return play_mode_; }
    void SetSpeed(float speed) { speed_ = speed; }
    float GetSpeed() const { return speed_; }
    // Only for a skinned model and a frame inside the clip.
    void SetFrame(float frame);
    float GetFrame() const { return frame_; }
    float GetPreviousFrame() const { return previous_frame_; }

    // One callback per frame number; a number already present keeps its first.
    void AddFrameCallback(uint32_t frame, const FrameCallback& callback);
    // Advances the frame by dt seconds (a negative dt: the frame delta) at the
    // clip table's rate times the speed, and fires the callbacks of the
    // frames passed, in playback order, when dt > 0.
    void Animate(float dt);

    // Virtual so tests can watch the device's draw order.
    virtual void Draw(Camera* camera);
    void DrawAttachments(Camera* camera);
    // False when the bone or the mesh node is not found.
    bool AttachToBone(const std::string& name, const std::string& boneName,
                      const boost::shared_ptr<Graphics::Model>& model, const std::string& meshName);
    // Removes the first attachment on that bone.
    bool DetachFromBone(const std::string& boneName);
    const std::vector<BoneAttachment>& GetAttachments() const { return attachments_; }

private:
    void FireCallbacks();

    boost::shared_ptr<Graphics::Model> model_;
    float speed_ = 1.0f;
    float frame_ = 0.0f;
    float previous_frame_ = 0.0f;
    int32_t play_mode_ = kPlayClamp;
    Clip clip_;
    std::string clip_name_;
    std::vector<BoneAttachment> attachments_;
    std::map<uint32_t, FrameCallback> frame_callbacks_;  // ordered: callbacks fire in frame order
    boost::shared_ptr<Material> material_;
    Graphics::GDEffect* effect_ = nullptr;
};

}  // namespace sg
