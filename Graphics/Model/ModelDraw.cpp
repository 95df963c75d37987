// Drawing a model's meshes: one draw call per mesh, strip or bone batch with
// the transform prefix the scene graph's model draw set (SceneGraph/ModelDraw.cpp).
#include <algorithm>
#include <cstring>
#include <vector>

#include "Core/Service.h"
#include "Graphics/Effect.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Model/Model.h"

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

}  // namespace

bool Model::IsMeshSkinned(uint32_t mesh) const {
    return mesh < pod_.pMesh.size() && pod_.pMesh[mesh].sBoneWeight.n != 0 && pod_.pMesh[mesh].sBoneIdx.n != 0;
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
    SetEffectMatrix(effect_->effect_, effect_->wvp_xf_, m);
    Matrix4Multiply(m, w, ModelWorldTransform);
    SetEffectMatrix(effect_->effect_, effect_->world_xf_, m);
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
    SetEffectMatrix(effect, effect_->wvp_xf_, m);
    Matrix4Multiply(m, w, ModelWorldTransform);
    SetEffectMatrix(effect, effect_->world_xf_, m);

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
