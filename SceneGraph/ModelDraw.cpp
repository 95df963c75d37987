// Drawing a model for one scene node: the transform prefix from the camera,
// the node's material and the model's textures on the uber effect, then the
// model's meshes. These members of Graphics::Model read the scene graph's
// camera and material, so they are built with the scene graph.
#include <cstring>
#include <vector>

#include "Core/Service.h"
#include "Graphics/Effect.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Model/Model.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Material.h"

namespace Graphics {

namespace {

GraphicsDevice* Device() { return Service<GraphicsDevice>::Exists() ? Service<GraphicsDevice>::Get() : nullptr; }

void SetColor(ID3DXEffect* effect, D3DXHANDLE handle, const Color& color) {
    float values[4];
    std::memcpy(values, color.ToFloat4(), sizeof(values));
    effect->SetValue(handle, values, sizeof(values));
}

IDirect3DTexture9* Slot(const std::vector<IDirect3DTexture9*>& slots, int64_t index) {
    return index >= 0 && index < static_cast<int64_t>(slots.size()) ? slots[static_cast<size_t>(index)] : nullptr;
}

// 180 taken as radians: the sample models are baked for this turn.
Matrix4 DrawRotation() {
    Matrix4 r;
    r.RotateY(180.0f);
    return r;
}

}  // namespace

void Model::Draw(sg::Camera* camera, const Matrix4& world, float frame, const sg::Material* material) {
    camera_ = camera;
    if (camera == nullptr || effect_ == nullptr) return;
    static const Matrix4 rotation = DrawRotation();
    const Matrix4 prefix = world * rotation;  // the rotation applies first
    camera->Rebuild();
    // The prefix already carries the node's world matrix: that is the world
    // transform. The view-projection carries the camera node's own.
    ModelWorldTransform = prefix;
    Matrix4Multiply(ModelClipTransform, prefix, camera->GetViewProjection());

    // The node's frame also places the meshes of a model with clips that are not skinned.
    if (clips_) pod_.SetFrame(frame);
    DrawSkinned(frame, material);
    DrawStatic(material);
}

void Model::DrawNode(sg::Camera* camera, const Matrix4& world, uint32_t node) {
    camera_ = camera;
    if (camera == nullptr || effect_ == nullptr || node >= pod_.nNumMeshNode || node >= pod_.pNode.size()) return;
    const int32_t mesh = pod_.pNode[node].nIdx;
    if (mesh < 0 || uint32_t(mesh) >= pod_.nNumMesh || IsMeshSkinned(uint32_t(mesh))) return;
    static const Matrix4 rotation = DrawRotation();
    const Matrix4 prefix = world * rotation;
    camera->Rebuild();
    ModelWorldTransform = prefix;
    Matrix4Multiply(ModelClipTransform, prefix, camera->GetViewProjection());
    effect_->technique_ = light_mapped_ ? effect_->static_lm_technique_ : effect_->static_technique_;
    effect_->Begin();
    SetMaterial(pod_.pNode[node].nIdxMaterial, nullptr);
    DrawMesh(uint32_t(mesh));
    effect_->End();
}

// The effect begins at the first mesh node of the kind, so a model without one
// draws nothing; no list of the nodes is built (this runs for every model in
// every frame).
void Model::DrawStatic(const sg::Material* material) {
    if (effect_ == nullptr) return;
    bool begun = false;
    for (uint32_t i = 0; i < pod_.nNumMeshNode && i < pod_.pNode.size(); ++i) {
        const int32_t mesh = pod_.pNode[i].nIdx;
        if (mesh < 0 || uint32_t(mesh) >= pod_.nNumMesh || IsMeshSkinned(uint32_t(mesh))) continue;
        if (!begun) {
            effect_->technique_ = light_mapped_ ? effect_->static_lm_technique_ : effect_->static_technique_;
            effect_->Begin();
            begun = true;
        }
        SetMaterial(pod_.pNode[i].nIdxMaterial, material);
        DrawMesh(uint32_t(mesh));
    }
    if (begun) effect_->End();
}

void Model::DrawSkinned(float frame, const sg::Material* material) {
    if (effect_ == nullptr) return;
    bool begun = false;
    for (uint32_t i = 0; i < pod_.nNumMeshNode && i < pod_.pNode.size(); ++i) {
        const int32_t mesh = pod_.pNode[i].nIdx;
        if (mesh < 0 || !IsMeshSkinned(uint32_t(mesh))) continue;
        if (!begun) {
            pod_.SetFrame(frame);
            effect_->technique_ = effect_->skinned_technique_;
            effect_->Begin();
            begun = true;
        }
        SetMaterial(pod_.pNode[i].nIdxMaterial, material);
        DrawSkinnedMesh(uint32_t(mesh));
    }
    if (begun) effect_->End();
}

void Model::SetMaterial(int32_t materialIndex, const sg::Material* material) {
    GraphicsDevice* device = Device();
    if (effect_ == nullptr || device == nullptr) return;
    ID3DXEffect* effect = effect_->effect_;
    IDirect3DDevice9* d3d = device->GetDevice();
    if (material != nullptr) {
        SetColor(effect, effect_->tint_color_, material->GetColor());
        effect->SetFloat(effect_->opacity_, material->GetOpacity());
        effect->SetBool(effect_->selected_, material->IsSelected() ? TRUE : FALSE);
        effect->SetFloat(effect_->reflectance_, material->GetReflectance());
        const int32_t flags = material->GetFlags();
        if (flags & sg::Material::kFlagBlending) {
            d3d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
            d3d->SetRenderState(D3DRS_SRCBLEND, DWORD(material->GetSourceBlend()));
            d3d->SetRenderState(D3DRS_DESTBLEND, DWORD(material->GetDestinationBlend()));
        } else {
            d3d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        }
        d3d->SetRenderState(D3DRS_ZENABLE, (flags & sg::Material::kFlagDepthTest) ? TRUE : FALSE);
        d3d->SetRenderState(D3DRS_ZWRITEENABLE, (flags & sg::Material::kFlagDepthWrite) ? TRUE : FALSE);
    } else {
        SetColor(effect, effect_->tint_color_, Color(255, 255, 255, 255));  // the default material's tint
        effect->SetFloat(effect_->opacity_, 1.0f);
        effect->SetBool(effect_->selected_, FALSE);
        effect->SetFloat(effect_->reflectance_, 1.0f);
        d3d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        d3d->SetRenderState(D3DRS_ZENABLE, TRUE);
        d3d->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    }

    if (materialIndex == -1) {
        effect->SetTexture(effect_->tex_diffuse_, Slot(textures_, 0));
        effect->SetTexture(effect_->tex_normal_map_, Slot(textures_, 1));
        effect->SetBool(effect_->fake_hdr_, FALSE);
        return;
    }
    if (materialIndex < 0 || uint32_t(materialIndex) >= pod_.pMaterial.size()) return;
    const PodMaterial& pod = pod_.pMaterial[size_t(materialIndex)];
    if (pod.nIdxTexDiffuse != -1) effect->SetTexture(effect_->tex_diffuse_, Slot(textures_, pod.nIdxTexDiffuse));
    effect->SetTexture(effect_->tex_normal_map_, Slot(textures_, int64_t(pod_.nNumTexture) + materialIndex));
    if (pod.nIdxTexAmbient != -1) effect->SetTexture(effect_->tex_light_map_, Slot(textures_, pod.nIdxTexAmbient));
    effect->SetBool(effect_->fake_hdr_, light_mapped_ ? TRUE : FALSE);
}

}  // namespace Graphics
