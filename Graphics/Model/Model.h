#pragma once
// One ".pod" model made ready for drawing: its POD scene, a vertex and an index
// buffer per mesh, the textures of its materials and its bounding volumes
// (per frame from the ".bvh" companion for skinned models).
#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "Core/AssetHooks.h"
#include "Graphics/AnimationClips/AnimationClips.h"
#include "Graphics/GraphicsResource.h"
#include "Graphics/Model/ModelBvh.h"
#include "Graphics/Model/PodModel.h"
#include "Maths/BoundingBox.h"
#include "Maths/BoundingSphere.h"
#include "Maths/Matrix4.h"
#include "Maths/Vector3.h"
#include "platform/d3d9/d3d9.h"

namespace sg {
class Camera;
class Material;
}  // namespace sg

namespace Graphics {

class GDEffect;

class Model : public GraphicsResource {
public:
    explicit Model(const std::string& path);
    ~Model() override;

    // Empty on any failure; everything built so far is freed.
    static boost::shared_ptr<Model> LoadFromFile(const std::string& path);

    // Models never count as loaded: Unload answers true and frees nothing.
    bool Reload() override;
    bool Unload() override;

    void SetAnimationClips(const boost::shared_ptr<AnimationClips>& clips) { clips_ = clips; }
    boost::shared_ptr<AnimationClips> GetAnimationClips() const { return clips_; }
    // Without a clip table the assertion fails and the lookup is not made.
    const AnimationClip& GetClip(const std::string& name) const;
    // A clip table and bone weights and indices on the first mesh.
    bool IsSkinned() const;
    uint32_t GetNodeCount() const { return node_count_; }
    std::string GetNodeName(uint32_t index) const;

    // Drawing, with the effect the model node gave it. Draw, DrawStatic,
    // DrawSkinned and SetMaterial read the camera and material and are built
    // with the scene graph (SceneGraph/ModelDraw.cpp); the mesh draws are
    // Graphics/Model/ModelDraw.cpp.
    // Each mesh draws skinned ("RenderSkinned") when its vertices carry bone
    // weights and indices, else light-mapped ("RenderStaticLM") or plain
    // ("RenderStatic"); world is the drawn node's world matrix.
    void Draw(sg::Camera* camera, const Matrix4& world, float frame, const sg::Material* material);
    void DrawStatic(const sg::Material* material);
    // The mesh of one node alone (static meshes only), at `world`.
    void DrawNode(sg::Camera* camera, const Matrix4& world, uint32_t node);
    void DrawSkinned(float frame, const sg::Material* material);
    // Material index -1 draws with texture slots 0 and 1.
    void SetMaterial(int32_t materialIndex, const sg::Material* material);
    void DrawMesh(uint32_t mesh);
    // DrawMesh with extra applied after the mesh node's world matrix.
    void DrawMeshWithMatrix(uint32_t mesh, const Matrix4& extra);
    void DrawMeshPrimitives(const PodMesh& mesh, uint32_t index);
    void DrawSkinnedMesh(uint32_t mesh);
    // Bone weights and bone indices both present.
    bool IsMeshSkinned(uint32_t mesh) const;

    // Loading steps.
    bool CreateBuffers();
    bool LoadTextures();
    void ComputeBounds();

    CPodScene& GetPod() { return pod_; }
    const CPodScene& GetPod() const { return pod_; }
    IDirect3DVertexBuffer9* GetVertexBuffer(uint32_t mesh) const {
        return mesh < vertex_buffers_.size() ? vertex_buffers_[mesh] : nullptr;
    }
    IDirect3DIndexBuffer9* GetIndexBuffer(uint32_t mesh) const {
        return mesh < index_buffers_.size() ? index_buffers_[mesh] : nullptr;
    }
    const std::vector<IDirect3DTexture9*>& GetTextures() const { return textures_; }
    int32_t IsLightMapped() const { return light_mapped_; }
    void SetEffect(GDEffect* effect) { effect_ = effect; }
    GDEffect* GetEffect() const { return effect_; }
    void SetCamera(sg::Camera* camera) { camera_ = camera; }
    sg::Camera* GetCamera() const { return camera_; }

    // Bounds, read by the model node and the cull pass.
    boost::shared_ptr<AnimationClips> clips_;
    uint32_t mesh_box_count_ = 0;
    uint32_t triangle_count_ = 0;
    Vector3 min_;
    Vector3 max_;
    BoundingSphere sphere_;
    std::vector<BoundingBox> mesh_boxes_;
    BoundingBox box_;
    ModelBvh bvh_;

private:
    std::vector<IDirect3DVertexBuffer9*> vertex_buffers_;
    std::vector<IDirect3DIndexBuffer9*> index_buffers_;
    std::vector<IDirect3DTexture9*> textures_;
    CPodScene pod_;
    const PodNode* nodes_ = nullptr;
    uint32_t node_count_ = 0;
    sg::Camera* camera_ = nullptr;
    int32_t light_mapped_ = 0;
    GDEffect* effect_ = nullptr;
};

// The draw's transform prefix, from Model::Draw to the mesh draws: to world
// space and to clip space.
extern Matrix4 ModelWorldTransform;
extern Matrix4 ModelClipTransform;

// A bone batch draws with at most this many matrices.
constexpr uint32_t kMaxBonePalette = 9;

// A name containing ".dds" stays; otherwise the four characters from the last
// '.' become ".dds" (a name without '.' gets ".dds" appended).
void EnsureDdsExtension(std::string& name);
// A name containing ".dds" stays (its own bump texture); otherwise the name up
// to its last '.' followed by "_bump.dds".
void MakeBumpTextureName(std::string& name);
// The ".bvh" companion of a model path: the four characters from the last '.'
// replaced by ".bvh"; false for a path without '.'.
bool MakeBvhName(const std::string& path, std::string& out);

}  // namespace Graphics

namespace Content {
template <>
boost::shared_ptr<Graphics::Model> CreateAsset<Graphics::Model>(const std::string& path);
template <>
bool ReleaseAsset<Graphics::Model>(boost::shared_ptr<Graphics::Model> asset);
template <>
bool ReloadAsset<Graphics::Model>(boost::shared_ptr<Graphics::Model> asset);
}  // namespace Content
