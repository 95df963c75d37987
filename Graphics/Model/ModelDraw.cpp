// Drawing a model for one scene node: the transform prefix, materials and
// textures on the uber effect, and one draw call per mesh, strip or bone batch.
#include <algorithm>
#include <cstring>
#include <vector>

#include "Core/Service.h"
#include "Graphics/Effect.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Model/Model.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Material.h"

namespace Graphics {

Matrix4 ModelWorldTransform;
Matrix4 ModelClipTransform;

namespace {

GraphicsDevice* Device() { return Service<GraphicsDevice>::Exists() ? Service<GraphicsDevice>::Get() : nullptr; }

D3DXMATRIX ToD3DX(const Matrix4& matrix) {
    D3DXMATRIX out;
    static_assert(sizeof(out.m) == sizeof(matrix.m), "both are 16 floats");
    std::memcpy(out.m, matrix.m, sizeof(out.m));
    return out;
}

void SetMatrix(ID3DXEffect* effect, D3DXHANDLE handle, const Matrix4& matrix) {
    const D3DXMATRIX m = ToD3DX(matrix);
    effect->SetMatrix(handle, &m);
}

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

bool Model::IsMeshSkinned(uint32_t mesh) const {
    return mesh < pod_.pMesh.size() && pod_.pMesh[mesh].sBoneWeight.n != 0 && pod_.pMesh[mesh].sBoneIdx.n != 0;
}

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

void Model::DrawStatic(const sg::Material* material) {
    std::vector<uint32_t> nodes;
    for (uint32_t i = 0; i < pod_.nNumMeshNode && i < pod_.pNode.size(); ++i) {
        const int32_t mesh = pod_.pNode[i].nIdx;
        if (mesh >= 0 && uint32_t(mesh) < pod_.nNumMesh && !IsMeshSkinned(uint32_t(mesh))) nodes.push_back(i);
    }
    if (nodes.empty() || effect_ == nullptr) return;
    effect_->technique_ = light_mapped_ ? effect_->static_lm_technique_ : effect_->static_technique_;
    effect_->Begin();
    for (uint32_t i : nodes) {
        SetMaterial(pod_.pNode[i].nIdxMaterial, material);
        DrawMesh(uint32_t(pod_.pNode[i].nIdx));
    }
    effect_->End();
}

void Model::DrawSkinned(float frame, const sg::Material* material) {
    std::vector<uint32_t> nodes;
    for (uint32_t i = 0; i < pod_.nNumMeshNode && i < pod_.pNode.size(); ++i) {
        const int32_t mesh = pod_.pNode[i].nIdx;
        if (mesh >= 0 && IsMeshSkinned(uint32_t(mesh))) nodes.push_back(i);
    }
    if (nodes.empty() || effect_ == nullptr) return;
    pod_.SetFrame(frame);
    effect_->technique_ = effect_->skinned_technique_;
    effect_->Begin();
    for (uint32_t i : nodes) {
        SetMaterial(pod_.pNode[i].nIdxMaterial, material);
        DrawSkinnedMesh(uint32_t(pod_.pNode[i].nIdx));
    }
    effect_->End();
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

void Model::DrawMesh(uint32_t mesh) { DrawMeshWithMatrix(mesh, Matrix4()); }

void Model::DrawMeshWithMatrix(uint32_t mesh, const Matrix4& extra) {
    if (effect_ == nullptr || mesh >= pod_.nNumMesh || mesh >= pod_.nNumNode) return;
    // The mesh's node is the node whose index equals the mesh index.
    Matrix4 w;
    pod_.GetWorldMatrix(w, mesh);
    Matrix4Multiply(w, w, extra);
    Matrix4 m;
    Matrix4Multiply(m, w, ModelClipTransform);
    SetMatrix(effect_->effect_, effect_->wvp_xf_, m);
    Matrix4Multiply(m, w, ModelWorldTransform);
    SetMatrix(effect_->effect_, effect_->world_xf_, m);
    DrawMeshPrimitives(pod_.pMesh[mesh], mesh);
}

void Model::DrawMeshPrimitives(const PodMesh& mesh, uint32_t index) {
    GraphicsDevice* device = Device();
    if (device == nullptr || effect_ == nullptr || GetVertexBuffer(index) == nullptr) return;
    IDirect3DDevice9* d3d = device->GetDevice();
    d3d->SetVertexDeclaration(light_mapped_ ? device->GetModelVertexLMDeclaration()
                                            : device->GetModelVertexDeclaration());
    d3d->SetStreamSource(0, GetVertexBuffer(index), 0, mesh.sVertex.nStride);
    IDirect3DIndexBuffer9* indices = GetIndexBuffer(index);
    if (indices != nullptr) d3d->SetIndices(indices);
    effect_->CommitChanges();

    if (mesh.nNumStrips == 0 || mesh.pnStripLength.empty()) {
        if (indices != nullptr) d3d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, mesh.nNumVertex, 0, mesh.nNumFaces);
        else d3d->DrawPrimitive(D3DPT_TRIANGLELIST, 0, mesh.nNumFaces);
        return;
    }
    UINT start = 0;
    const size_t strips = std::min<size_t>(mesh.nNumStrips, mesh.pnStripLength.size());
    for (size_t s = 0; s < strips; ++s) {
        const UINT length = mesh.pnStripLength[s];
        if (indices != nullptr) d3d->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 0, 0, mesh.nNumVertex, start, length);
        else d3d->DrawPrimitive(D3DPT_TRIANGLESTRIP, start, length);
        start += length + 2;
    }
}

void Model::DrawSkinnedMesh(uint32_t index) {
    GraphicsDevice* device = Device();
    if (device == nullptr || effect_ == nullptr || index >= pod_.nNumMesh || index >= pod_.nNumNode ||
        GetVertexBuffer(index) == nullptr)
        return;
    const PodMesh& mesh = pod_.pMesh[index];
    ID3DXEffect* effect = effect_->effect_;
    IDirect3DDevice9* d3d = device->GetDevice();

    Matrix4 w;
    pod_.GetWorldMatrix(w, index);
    Matrix4 m;
    Matrix4Multiply(m, w, ModelClipTransform);
    SetMatrix(effect, effect_->wvp_xf_, m);
    Matrix4Multiply(m, w, ModelWorldTransform);
    SetMatrix(effect, effect_->world_xf_, m);

    d3d->SetVertexDeclaration(device->GetSkinnedModelVertexDeclaration());
    d3d->SetStreamSource(0, GetVertexBuffer(index), 0, mesh.sVertex.nStride);
    IDirect3DIndexBuffer9* indices = GetIndexBuffer(index);
    if (indices != nullptr) d3d->SetIndices(indices);

    const bool skinned = IsMeshSkinned(index);
    const uint32_t batches = std::min<uint32_t>(mesh.nBatchCnt, uint32_t(mesh.pnBatchOffset.size()));
    UINT earlierTriangles = 0;
    for (uint32_t b = 0; b < batches; ++b) {
        if (skinned) {
            effect->SetInt(effect_->bone_count_, INT(mesh.sBoneIdx.n));
            D3DXMATRIX palette[kMaxBonePalette];
            UINT count = 0;
            const uint32_t bones = b < mesh.pnBatchBoneCnt.size() ? mesh.pnBatchBoneCnt[b] : 0;
            for (uint32_t j = 0; j < bones && count < kMaxBonePalette; ++j) {
                const size_t slot = size_t(b) * mesh.nBatchBoneMax + j;
                const uint32_t bone = slot < mesh.pnBatches.size() ? mesh.pnBatches[slot] : pod_.nNumNode;
                Matrix4 boneMatrix;  // an unknown bone keeps the identity
                if (bone < pod_.nNumNode) pod_.GetBoneWorldMatrix(boneMatrix, index, bone);
                palette[count++] = ToD3DX(boneMatrix);
            }
            effect->SetMatrixArray(effect_->bone_matrix_array_, palette, count);
        } else {
            effect->SetInt(effect_->bone_count_, 0);
        }
        effect_->CommitChanges();

        const uint32_t first = mesh.pnBatchOffset[b];
        const uint32_t end = b + 1 < batches ? mesh.pnBatchOffset[b + 1] : mesh.nNumFaces;
        const UINT triangles = end > first ? end - first : 0;
        if (indices != nullptr)
            d3d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, mesh.nNumVertex, 3 * first, triangles);
        else d3d->DrawPrimitive(D3DPT_TRIANGLELIST, 3 * earlierTriangles, triangles);
        earlierTriangles += triangles;
    }
}

}  // namespace Graphics
