#include "SceneGraph/ModelNode.h"

#include <algorithm>
#include <cmath>

#include "Core/FrameClock.h"
#include "Graphics/Effect.h"
#include "Graphics/Model/Model.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Material.h"

namespace sg {

const NodeType ModelNode::Type{"sg.ModelNode", &Node::Type};

namespace {

Vector3 ModelWorldPoint(const Vector3& p, const Matrix4& w) {
    return Vector3(p.x * w[0] + p.y * w[4] + p.z * w[8] + w[12], p.x * w[1] + p.y * w[5] + p.z * w[9] + w[13],
                   p.x * w[2] + p.y * w[6] + p.z * w[10] + w[14]);
}

// Index of the model's node with that exact name; -1 when there is none.
int64_t FindNode(const Graphics::Model& model, const std::string& name) {
    const CPodScene& pod = model.GetPod();
    for (uint32_t i = 0; i < pod.nNumNode && i < pod.pNode.size(); ++i)
        if (pod.pNode[i].name == name) return i;
    return -1;
}

}  // namespace

ModelNode::ModelNode(const boost::shared_ptr<Graphics::Model>& model) : model_(model) {
    if (model_) {
        sphere_ = model_->sphere_;
        box_min_ = model_->min_;
        box_max_ = model_->max_;
    }
    SetCastsShadow(true);
}

ModelNode::~ModelNode() = default;

void ModelNode::Accept(NodeTraverser& traverser) { traverser.VisitModelNode(*this); }

void ModelNode::UpdateBounds() {
    if (!model_) return;
    const Graphics::ModelBvh& bvh = model_->bvh_;
    if (bvh.frame_count > 0 && !bvh.spheres.empty()) {
        // The frame is kept inside the clip, so the index stays within the file's frames.
        int64_t f = frame_ > 0.0f ? static_cast<int64_t>(frame_) : 0;
        if (f >= static_cast<int64_t>(bvh.spheres.size())) f = static_cast<int64_t>(bvh.spheres.size()) - 1;
        const BoundingSphere& s = bvh.spheres[static_cast<size_t>(f)];
        sphere_.center = ModelWorldPoint(s.center, world_);
        sphere_.radius = s.radius;
    } else {
        sphere_.center = ModelWorldPoint(model_->sphere_.center, world_);
    }
}

void ModelNode::SetClip(const std::string& name) {
    if (!model_) return;
    const Graphics::AnimationClip& clip = model_->GetClip(name);
    clip_.first = clip.first > 0 ? uint32_t(clip.first) : 0;
    clip_.last = clip.last > 0 ? uint32_t(clip.last) : 0;
    clip_.id = clip.extra;
    clip_name_ = name;
    frame_ = static_cast<float>(clip_.first);
}

void ModelNode::SetFrame(float frame) {
    if (model_ && model_->IsSkinned() && frame >= static_cast<float>(clip_.first) &&
        frame <= static_cast<float>(clip_.last))
        frame_ = frame;
}

void ModelNode::AddFrameCallback(uint32_t frame, const FrameCallback& callback) {
    frame_callbacks_.insert(std::make_pair(frame, callback));
}

void ModelNode::Animate(float dt) {
    if (!model_) return;
    boost::shared_ptr<Graphics::AnimationClips> clips = model_->GetAnimationClips();
    if (!clips) return;
    previous_frame_ = frame_;
    const float rate = clips->GetFps();
    if (rate <= 0.0f || speed_ <= 0.0f) return;
    frame_ += (dt < 0.0f ? GetFrameDelta() : dt) * rate * speed_;

    const float first = static_cast<float>(clip_.first);
    // The last frame played; a clip of fewer than one frame holds at its first.
    const float end = std::max(first, static_cast<float>(clip_.last) - 1.0f);
    if (play_mode_ == kPlayLoop) {
        const float span = end - first;
        if (span <= 0.0f) {
            frame_ = first;
        } else {
            // A very long step would take many turns of the loop below: drop whole laps first.
            if (frame_ - end > 64.0f * span) frame_ = end - span + std::fmod(frame_ - end, span);
            while (frame_ > end) frame_ -= span;
        }
    } else if (play_mode_ == kPlayClamp) {
        if (frame_ >= end) frame_ = end;
    }
    if (dt > 0.0f) FireCallbacks();
}

void ModelNode::FireCallbacks() {
    if (frame_callbacks_.empty()) return;
    // Collected first: a callback may add further callbacks.
    std::vector<FrameCallback> due;
    if (frame_ >= previous_frame_) {
        // previous < k <= frame
        for (auto it = frame_callbacks_.begin(); it != frame_callbacks_.end(); ++it) {
            const float k = static_cast<float>(it->first);
            if (previous_frame_ < k && k <= frame_) due.push_back(it->second);
        }
    } else {
        // The loop wrapped: up to the clip's last frame, then from its first.
        const float first = static_cast<float>(clip_.first);
        const float last = static_cast<float>(clip_.last);
        for (auto it = frame_callbacks_.begin(); it != frame_callbacks_.end(); ++it) {
            const float k = static_cast<float>(it->first);
            if (previous_frame_ < k && k <= last) due.push_back(it->second);
        }
        for (auto it = frame_callbacks_.begin(); it != frame_callbacks_.end(); ++it) {
            const float k = static_cast<float>(it->first);
            if (first <= k && k <= frame_) due.push_back(it->second);
        }
    }
    for (const FrameCallback& callback : due)
        if (callback.function != nullptr) callback.function(callback.user);
}

void ModelNode::Draw(Camera* camera) {
    if (!model_) return;
    model_->SetEffect(effect_);
    model_->Draw(camera, world_, frame_, material_.get());
    DrawAttachments(camera);
}

void ModelNode::DrawAttachments(Camera* /*camera*/) {
    if (attachments_.empty() || !model_ || effect_ == nullptr) return;
    CPodScene& owner = model_->GetPod();
    owner.SetFrame(frame_);
    effect_->technique_ = effect_->static_technique_;
    effect_->Begin();
    for (const BoneAttachment& attachment : attachments_) {
        Matrix4 bone;
        owner.GetWorldMatrix(bone, attachment.bone);
        const PodNode& meshNode = attachment.model->GetPod().pNode[attachment.mesh_node];
        attachment.model->SetEffect(effect_);
        attachment.model->SetMaterial(meshNode.nIdxMaterial, material_.get());
        attachment.model->DrawMeshWithMatrix(uint32_t(meshNode.nIdx), bone);
    }
    effect_->End();
}

bool ModelNode::AttachToBone(const std::string& /*name*/, const std::string& boneName,
                             const boost::shared_ptr<Graphics::Model>& model, const std::string& meshName) {
    if (!model_ || !model) return false;
    const int64_t bone = FindNode(*model_, boneName);
    const int64_t mesh = FindNode(*model, meshName);
    // The mesh node must name a mesh of its model.
    if (bone < 0 || mesh < 0 || uint32_t(mesh) >= model->GetPod().nNumMeshNode) return false;
    const int32_t meshIndex = model->GetPod().pNode[size_t(mesh)].nIdx;
    if (meshIndex < 0 || uint32_t(meshIndex) >= model->GetPod().nNumMesh) return false;
    attachments_.push_back(BoneAttachment{uint32_t(bone), model, uint32_t(mesh)});
    return true;
}

bool ModelNode::DetachFromBone(const std::string& boneName) {
    for (auto it = attachments_.begin(); it != attachments_.end(); ++it) {
        const CPodScene& pod = model_->GetPod();
        if (it->bone < pod.pNode.size() && pod.pNode[it->bone].name == boneName) {
            attachments_.erase(it);
            return true;
        }
    }
    return false;
}

}  // namespace sg
