#include "Graphics/Model/Model.h"

#include <cstdlib>
#include <cstring>

#include "Core/Assert.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Texture2D.h"
#include "IO/File.h"

namespace Graphics {

namespace {

IDirect3DDevice9* CurrentDevice() {
    return Service<GraphicsDevice>::Exists() ? Service<GraphicsDevice>::Get()->GetDevice() : nullptr;
}

// A slot holds one reference of its own.
void Assign(IDirect3DTexture9*& slot, IDirect3DTexture9* texture) {
    if (texture != nullptr) texture->AddRef();
    if (slot != nullptr) slot->Release();
    slot = texture;
}

IDirect3DTexture9* LoadWorldTexture(std::string name) {
    if (!Service<Content::ContentLoader<Texture2D>>::Exists()) return nullptr;
    boost::shared_ptr<Texture2D> texture = Service<Content::ContentLoader<Texture2D>>::Get()->Load(name);
    return texture ? texture->GetTexture() : nullptr;
}

}  // namespace

void EnsureDdsExtension(std::string& name) {
    if (name.find(".dds") != std::string::npos) return;
    const std::string::size_type dot = name.rfind('.');
    if (dot == std::string::npos) {
        name += ".dds";
        return;
    }
    name.replace(dot, std::min<std::string::size_type>(4, name.size() - dot), ".dds");
}

void MakeBumpTextureName(std::string& name) {
    if (name.find(".dds") != std::string::npos) return;
    const std::string::size_type dot = name.rfind('.');
    name = name.substr(0, dot) + "_bump.dds";
}

bool MakeBvhName(const std::string& path, std::string& out) {
    const std::string::size_type dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    out = path;
    out.replace(dot, std::min<std::string::size_type>(4, out.size() - dot), ".bvh");
    return true;
}

Model::Model(const std::string& path) : GraphicsResource(ResourceModel, path) {}

Model::~Model() {
    for (IDirect3DTexture9* texture : textures_)
        if (texture != nullptr) texture->Release();
    for (IDirect3DVertexBuffer9* buffer : vertex_buffers_)
        if (buffer != nullptr) buffer->Release();
    for (IDirect3DIndexBuffer9* buffer : index_buffers_)
        if (buffer != nullptr) buffer->Release();
    pod_.Destroy();
    bvh_.Free();
    clips_.reset();
}

boost::shared_ptr<Model> Model::LoadFromFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!IO::ReadWholeFile(path, bytes)) return boost::shared_ptr<Model>();
    boost::shared_ptr<Model> model(new Model(path));
    const int read = model->pod_.ReadFromMemory(bytes.data(), bytes.size());
    bytes.clear();
    if (read != 0 || !model->CreateBuffers()) return boost::shared_ptr<Model>();
    model->LoadTextures();

    const PodMesh& first = model->pod_.pMesh[0];
    if (first.sBoneWeight.n != 0) {
        // Skinned: the per-frame bounds come from the ".bvh" beside the model.
        std::string bvhPath;
        std::vector<uint8_t> bvh;
        if (!MakeBvhName(path, bvhPath) || !IO::ReadWholeFile(bvhPath, bvh) ||
            model->bvh_.ReadFromMemory(bvh.data(), bvh.size()) != 0 || model->bvh_.frame_count != model->pod_.nNumFrame)
            return boost::shared_ptr<Model>();
    }

    model->ComputeBounds();
    model->nodes_ = model->pod_.pNode.empty() ? nullptr : model->pod_.pNode.data();
    model->node_count_ = model->pod_.nNumNode;
    model->triangle_count_ = 0;
    for (const PodMesh& mesh : model->pod_.pMesh) model->triangle_count_ += mesh.nNumFaces;
    return model;
}

bool Model::CreateBuffers() {
    if (pod_.nNumMesh == 0 || pod_.pMesh[0].pInterleaved.empty()) return false;
    IDirect3DDevice9* device = CurrentDevice();
    if (device == nullptr) return false;
    vertex_buffers_.assign(pod_.nNumMesh, nullptr);
    index_buffers_.assign(pod_.nNumMesh, nullptr);
    for (uint32_t m = 0; m < pod_.nNumMesh; ++m) {
        const PodMesh& mesh = pod_.pMesh[m];
        // Every mesh goes to the device as interleaved vertices of the position's stride.
        const size_t vertexBytes = size_t(mesh.nNumVertex) * mesh.sVertex.nStride;
        if (!mesh.sVertex.bInterleaved || vertexBytes == 0 || vertexBytes > mesh.pInterleaved.size()) return false;
        void* data = nullptr;
        if (FAILED(device->CreateVertexBuffer(UINT(vertexBytes), D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT,
                                              &vertex_buffers_[m], nullptr)) ||
            vertex_buffers_[m] == nullptr || FAILED(vertex_buffers_[m]->Lock(0, 0, &data, 0)) || data == nullptr)
            return false;
        std::memcpy(data, mesh.pInterleaved.data(), vertexBytes);
        vertex_buffers_[m]->Unlock();

        if (!mesh.sFaces.data.empty()) {
            const size_t indexBytes = size_t(PodMeshIndexCount(mesh)) * 2;
            if (indexBytes == 0 || indexBytes > mesh.sFaces.data.size()) return false;
            data = nullptr;
            if (FAILED(device->CreateIndexBuffer(UINT(indexBytes), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_DEFAULT,
                                                 &index_buffers_[m], nullptr)) ||
                index_buffers_[m] == nullptr || FAILED(index_buffers_[m]->Lock(0, 0, &data, 0)) || data == nullptr)
                return false;
            std::memcpy(data, mesh.sFaces.data.data(), indexBytes);
            index_buffers_[m]->Unlock();
        }
    }
    return true;
}

bool Model::LoadTextures() {
    if (pod_.nNumTexture == 0) {
        textures_.assign(2, nullptr);
        Assign(textures_[0], GetDefaultTexture());
        Assign(textures_[1], GetDefaultBumpTexture());
        return true;
    }
    textures_.assign(size_t(pod_.nNumTexture) + pod_.nNumMaterial, nullptr);
    for (uint32_t m = 0; m < pod_.nNumMaterial; ++m) {
        const PodMaterial& material = pod_.pMaterial[m];
        const int32_t d = material.nIdxTexDiffuse;
        const int32_t a = material.nIdxTexAmbient;
        if (d != -1) {
            std::string name = pod_.pTexture[d].name;
            EnsureDdsExtension(name);
            Assign(textures_[d], LoadWorldTexture(name));
        }
        if (a != -1) {
            std::string name = pod_.pTexture[a].name;
            EnsureDdsExtension(name);
            Assign(textures_[a], LoadWorldTexture(name));
            light_mapped_ = 1;
        } else {
            light_mapped_ = 0;
        }
        // Without a diffuse texture the material has no bump texture name.
        if (d != -1) {
            std::string name = pod_.pTexture[d].name;
            MakeBumpTextureName(name);
            Assign(textures_[pod_.nNumTexture + m], LoadWorldTexture(name));
        }
    }
    return true;
}

void Model::ComputeBounds() {
    mesh_box_count_ = pod_.nNumMesh;
    mesh_boxes_.assign(pod_.nNumMesh, BoundingBox());
    for (uint32_t m = 0; m < pod_.nNumMesh; ++m) {
        const PodMesh& mesh = pod_.pMesh[m];
        const int32_t n = int32_t(mesh.nNumVertex);
        if (mesh.sVertex.bInterleaved && !mesh.pInterleaved.empty())
            ComputeBoundingBoxStrided(mesh_boxes_[m], mesh.pInterleaved.data(), n, mesh.sVertex.nOffset,
                                      mesh.sVertex.nStride);
        else if (mesh.sVertex.data.size() >= size_t(n) * sizeof(Vector3))
            ComputeBoundingBoxStrided(mesh_boxes_[m], mesh.sVertex.data.data(), n, 0, sizeof(Vector3));
    }
    std::vector<Vector3> corners;
    for (const BoundingBox& b : mesh_boxes_) corners.insert(corners.end(), b.corners, b.corners + 8);
    box_ = BoundingBox();
    ComputeBoundingBox(box_, corners.data(), int32_t(corners.size()));
    min_ = box_.corners[0];
    max_ = box_.corners[7];
    sphere_ = BoundingSphere::FromMinMax(min_, max_);
}

bool Model::Unload() { return !loaded_; }

bool Model::Reload() {
    Unload();
    return false;
}

const AnimationClip& Model::GetClip(const std::string& name) const {
    DM_ASSERT(clips_, "SET Animation clips first");
    if (!clips_) {
        static const AnimationClip kNone = {0, 0, -1};
        return kNone;
    }
    return clips_->GetClip(name);
}

bool Model::IsSkinned() const {
    return clips_ && pod_.nNumMesh > 0 && pod_.pMesh[0].sBoneWeight.n != 0 && pod_.pMesh[0].sBoneIdx.n != 0;
}

std::string Model::GetNodeName(uint32_t index) const {
    DM_ASSERT(index < node_count_, "Could not find node");
    if (index >= node_count_ || nodes_ == nullptr) return std::string();
    return nodes_[index].name;
}

}  // namespace Graphics

namespace Content {

template <>
boost::shared_ptr<Graphics::Model> CreateAsset<Graphics::Model>(const std::string& path) {
    return Graphics::Model::LoadFromFile(path);
}

template <>
bool ReleaseAsset<Graphics::Model>(boost::shared_ptr<Graphics::Model> asset) {
    return asset->Unload();
}

template <>
bool ReloadAsset<Graphics::Model>(boost::shared_ptr<Graphics::Model> asset) {
    return asset->Reload();
}

}  // namespace Content
