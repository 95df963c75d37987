#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Graphics/Model/PodModel.h"
#include "Maths/Matrix4.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/Models.h"

namespace cm = catalogue::models;

namespace {

std::vector<uint8_t> ReadGameFile(const std::string& name) {
    const char* build = std::getenv("DM_BUILD_DIR");
    const std::string path = std::string(build ? build : ".") + "/game/" + catalogue::config::kMeshes.Path() + name;
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Load(CPodScene& scene, const std::string& name) {
    const std::vector<uint8_t> bytes = ReadGameFile(name);
    return !bytes.empty() && scene.ReadFromMemory(bytes.data(), bytes.size()) == 0;
}

int NodeIndex(const CPodScene& scene, const std::string& name) {
    for (uint32_t i = 0; i < scene.nNumNode; ++i)
        if (scene.pNode[i].name == name) return int(i);
    return -1;
}

struct Extent {
    float min[3] = {1e9f, 1e9f, 1e9f};
    float max[3] = {-1e9f, -1e9f, -1e9f};
};

// World extent of mesh 0 as a unit's node shows it: the draw's turn about y,
// then the node's RotateX(view x), RotateY(direction - offset) and translation.
Extent WorldExtent(const CPodScene& scene, int direction, int offset) {
    const float k = 0.017453292f;
    Matrix4 node;
    node.RotateX(float(cm::kViewRotationX) * k);
    node.RotateY(float(direction - offset) * k);
    const Matrix4 world = node * Matrix4::RotationY(180.0f);  // the turn applies first
    const PodMesh& mesh = scene.pMesh[0];
    const uint8_t* p = PodDataPointer(mesh, mesh.sVertex);
    Extent e;
    for (uint32_t v = 0; v < mesh.nNumVertex; ++v) {
        float in[3];
        std::memcpy(in, p + size_t(v) * mesh.sVertex.nStride, sizeof in);
        for (int c = 0; c < 3; ++c) {
            const float w = in[0] * world[c] + in[1] * world[4 + c] + in[2] * world[8 + c] + world[12 + c];
            e.min[c] = std::min(e.min[c], w);
            e.max[c] = std::max(e.max[c], w);
        }
    }
    return e;
}

}  // namespace

TEST(SampleModels, HumanoidsCarryBonesFramesAndBounds) {
    std::vector<cm::Humanoid> all(std::begin(cm::kDefenders), std::end(cm::kDefenders));
    all.push_back(cm::kKeeper);
    all.insert(all.end(), std::begin(cm::kAttackers), std::end(cm::kAttackers));
    all.push_back(cm::kHero);
    ASSERT_EQ(all.size(), 11u);
    for (const cm::Humanoid& h : all) {
        CPodScene scene;
        ASSERT_TRUE(Load(scene, h.mesh)) << h.mesh;
        EXPECT_EQ(scene.nNumFrame, uint32_t(cm::kHumanoidFrameCount)) << h.mesh;
        EXPECT_GE(NodeIndex(scene, cm::kRightForeArm), 0) << h.mesh;
        EXPECT_GE(NodeIndex(scene, cm::kLeftForeArm), 0) << h.mesh;
        const PodMesh& mesh = scene.pMesh[0];
        EXPECT_NE(mesh.sBoneWeight.n, 0u);
        EXPECT_NE(mesh.sBoneIdx.n, 0u);
        EXPECT_EQ(mesh.sVertex.nStride, 68u);  // the skinned vertex layout
        EXPECT_LE(mesh.nBatchBoneMax, 9u);     // the bone palette's size

        std::string bvhName = h.mesh;
        bvhName.replace(bvhName.rfind('.'), 4, ".bvh");
        const std::vector<uint8_t> bvh = ReadGameFile(bvhName);
        ASSERT_EQ(bvh.size(), 130u + 112u * scene.nNumFrame) << bvhName;
        EXPECT_EQ(std::memcmp(bvh.data(), "BM.BVH.1.0", 10), 0);
        uint32_t frames;
        std::memcpy(&frames, bvh.data() + 14, 4);
        EXPECT_EQ(frames, scene.nNumFrame);
    }
    // the last clip ends at the frame count
    EXPECT_EQ(std::end(cm::kHumanoidClips)[-1].last, cm::kHumanoidFrameCount);
}

TEST(SampleModels, UnitsStandUprightAndFaceTheirDirection) {
    CPodScene scene;
    ASSERT_TRUE(Load(scene, cm::kDefenders[0].mesh));
    struct Case {
        int direction;
        int forwardAxis;  // world axis the unit faces along
        float sign;
    } cases[] = {{0, 1, -1.0f}, {90, 0, 1.0f}, {180, 1, 1.0f}, {270, 0, -1.0f}};
    for (const Case& c : cases) {
        const Extent e = WorldExtent(scene, c.direction, 45);
        EXPECT_NEAR(e.min[2], 0.0f, 0.5f) << c.direction;  // feet on the ground
        EXPECT_GT(e.max[2], 20.0f) << c.direction;         // head up
        // the nose sticks out further in front than anything behind
        const float front = c.sign > 0 ? e.max[c.forwardAxis] : -e.min[c.forwardAxis];
        const float back = c.sign > 0 ? -e.min[c.forwardAxis] : e.max[c.forwardAxis];
        EXPECT_GT(front, back + 0.1f) << c.direction;
    }
    // a missile's node turns by (direction - 54): the arrow points along its flight
    CPodScene arrow;
    ASSERT_TRUE(Load(arrow, cm::kMissiles[0]));
    const Extent e = WorldExtent(arrow, 90, 54);
    EXPECT_GT(e.max[0] - e.min[0], 10.0f);
    EXPECT_LT(e.max[1] - e.min[1], 2.0f);
}

TEST(SampleModels, StaticModelsMapAndWeapons) {
    CPodScene map;
    ASSERT_TRUE(Load(map, cm::kMapMesh));
    EXPECT_EQ(map.pMesh[0].sVertex.nStride, 64u);  // light-mapped layout
    EXPECT_NE(map.pMaterial[map.nNumMaterial - 1].nIdxTexAmbient, -1);
    CPodScene plain;
    ASSERT_TRUE(Load(plain, cm::kMapMeshPlain));
    EXPECT_EQ(plain.pMesh[0].sVertex.nStride, 56u);

    CPodScene weapons;
    ASSERT_TRUE(Load(weapons, cm::kWeaponsMesh));
    for (const char* name : cm::kWeaponNodes) {
        const int i = NodeIndex(weapons, name);
        ASSERT_GE(i, 0) << name;
        EXPECT_LT(uint32_t(i), weapons.nNumMeshNode) << name;
    }
    for (const char* name : cm::kScenery) {
        CPodScene s;
        EXPECT_TRUE(Load(s, name)) << name;
    }
    for (const char* name : cm::kMissiles) {
        CPodScene s;
        EXPECT_TRUE(Load(s, name)) << name;
    }
}
