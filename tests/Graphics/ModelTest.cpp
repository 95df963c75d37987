#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>

#include "Core/Assert.h"
#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Model/Model.h"
#include "support/AssertionRecorder.h"
#include "support/NullDeviceFixture.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/Models.h"
#include "tools/databuilder/PodWriter.h"

namespace {

// One triangle; skinned adds bone weights and indices and a batch of one bone.
podwriter::Scene Triangle(bool skinned, uint32_t frames = 2) {
    podwriter::Scene s;
    s.frames = frames;
    podwriter::Mesh m;
    m.numVertex = 3;
    m.stride = skinned ? 24 : 12;
    const float p[9] = {0, 0, 0, 4, 0, 0, 0, 3, 0};
    m.interleaved.assign(size_t(m.stride) * 3, 0);
    for (int v = 0; v < 3; ++v) std::memcpy(&m.interleaved[size_t(v) * m.stride], &p[3 * v], 12);
    m.attributes.push_back({6006, 1, 3, 0});
    if (skinned) {
        for (int v = 0; v < 3; ++v) {
            const float w = 1.0f;
            std::memcpy(&m.interleaved[size_t(v) * m.stride + 12], &w, 4);
        }
        m.attributes.push_back({6013, 1, 1, 12});
        m.attributes.push_back({6012, 10, 1, 16});
        m.batches = {1};
        m.batchBoneCounts = {1};
        m.batchOffsets = {0};
        m.batchBoneMax = 1;
    }
    m.faces = {0, 1, 2};
    s.meshes.push_back(m);
    podwriter::Node mesh;
    mesh.index = 0;
    mesh.name = "Tri";
    podwriter::Node bone;
    bone.name = "Bone";
    s.nodes = {mesh, bone};
    s.meshNodeCount = 1;
    return s;
}

std::vector<uint8_t> Bvh(uint32_t frames) {
    podwriter::Box box{};
    return podwriter::WriteBvh(box, std::vector<podwriter::Box>(frames, box),
                               std::vector<podwriter::Sphere>(frames, podwriter::Sphere{1, 2, 3, 4}));
}

class ModelTest : public testsupport::NullDeviceTest {
protected:
    ModelTest() : NullDeviceTest(64, 48, 0) { params.EnableAutoDepthStencil = FALSE; }

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(NullDeviceTest::SetUp());
        graphics.reset(new Graphics::GraphicsDevice(d3d, device));
        Service<Graphics::GraphicsDevice>::Register(graphics.get());
        char pattern[] = "/tmp/modeltestXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        assertions.emplace();
    }

    void TearDown() override {
        assertions.reset();
        Service<Graphics::GraphicsDevice>::Unregister();
        graphics.reset();
        NullDeviceTest::TearDown();
        std::system(("rm -rf " + dir).c_str());
    }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = dir + "/" + name;
        std::system(("mkdir -p $(dirname " + path + ")").c_str());
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }

    std::unique_ptr<Graphics::GraphicsDevice> graphics;
    std::string dir;
    std::optional<AssertionRecorder> assertions;
};

}  // namespace

TEST(ModelNames, TextureAndBoundsFileNames) {
    struct Case {
        const char* in;
        const char* dds;
        const char* bump;
    } cases[] = {
        {"mm_Palace_03_brick.png", "mm_Palace_03_brick.dds", "mm_Palace_03_brick_bump.dds"},
        {"stone.dds", "stone.dds", "stone.dds"},  // its own bump texture
        {"a.jpeg", "a.ddsg", "a_bump.dds"},       // letters past the fourth stay
        {"noext", "noext.dds", "noext_bump.dds"},
    };
    for (const Case& c : cases) {
        std::string dds = c.in, bump = c.in;
        Graphics::EnsureDdsExtension(dds);
        Graphics::MakeBumpTextureName(bump);
        EXPECT_EQ(dds, c.dds);
        EXPECT_EQ(bump, c.bump);
    }
    std::string bvh;
    ASSERT_TRUE(Graphics::MakeBvhName("meshes/units/hero.pod", bvh));
    EXPECT_EQ(bvh, "meshes/units/hero.bvh");
    EXPECT_FALSE(Graphics::MakeBvhName("hero", bvh));
}

TEST(ModelBvh, RefusesShortAndForeignFiles) {
    Graphics::ModelBvh bvh;
    std::vector<uint8_t> bytes = Bvh(3);
    ASSERT_EQ(bvh.ReadFromMemory(bytes.data(), bytes.size()), 0);
    EXPECT_EQ(bvh.frame_count, 3u);
    EXPECT_FLOAT_EQ(bvh.spheres[2].radius, 4.0f);
    EXPECT_FLOAT_EQ(bvh.spheres[2].center.z, 3.0f);
    EXPECT_EQ(bvh.ReadFromMemory(bytes.data(), bytes.size() - 1), 1);
    EXPECT_EQ(bvh.ReadFromMemory(nullptr, 0), 1);
    bytes[0] = 'X';
    EXPECT_EQ(bvh.ReadFromMemory(bytes.data(), bytes.size()), 1);
}

TEST_F(ModelTest, StaticModelLoadsWithoutBoundsFile) {
    const std::string path = Write("tri.pod", podwriter::WritePod(Triangle(false)));
    boost::shared_ptr<Graphics::Model> model = Graphics::Model::LoadFromFile(path);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->GetTypeId(), 10);
    EXPECT_FALSE(model->IsLoaded());
    EXPECT_TRUE(model->Unload());
    EXPECT_FALSE(model->Reload());
    EXPECT_EQ(model->triangle_count_, 1u);
    EXPECT_EQ(model->bvh_.frame_count, 0u);
    EXPECT_FLOAT_EQ(model->max_.x, 4.0f);
    EXPECT_FLOAT_EQ(model->max_.y, 3.0f);
    EXPECT_FLOAT_EQ(model->sphere_.radius, 2.5f);  // half the box diagonal
    EXPECT_FLOAT_EQ(model->box_.corners[7].x, 4.0f);
    EXPECT_NE(model->GetVertexBuffer(0), nullptr);
    EXPECT_NE(model->GetIndexBuffer(0), nullptr);
    EXPECT_EQ(model->GetTextures().size(), 2u);  // the default slots

    EXPECT_EQ(model->GetNodeCount(), 2u);
    EXPECT_EQ(model->GetNodeName(1), "Bone");
    AssertionRecorder::Messages().clear();
    EXPECT_EQ(model->GetNodeName(2), "");
    EXPECT_EQ(AssertionRecorder::Last(), "Could not find node");
    EXPECT_FALSE(model->IsSkinned());
    model->GetClip("idle");
    EXPECT_EQ(AssertionRecorder::Last(), "SET Animation clips first");
}

TEST_F(ModelTest, SkinnedModelNeedsMatchingBoundsFile) {
    const std::vector<uint8_t> pod = podwriter::WritePod(Triangle(true, 2));
    const std::string path = Write("units/skin.pod", pod);
    EXPECT_FALSE(Graphics::Model::LoadFromFile(path));  // no ".bvh"

    Write("units/skin.bvh", Bvh(3));
    EXPECT_FALSE(Graphics::Model::LoadFromFile(path));  // another frame count
    std::vector<uint8_t> foreign = Bvh(2);
    foreign[3] = 'X';
    Write("units/skin.bvh", foreign);
    EXPECT_FALSE(Graphics::Model::LoadFromFile(path));
    std::vector<uint8_t> shortFile = Bvh(2);
    shortFile.pop_back();
    Write("units/skin.bvh", shortFile);
    EXPECT_FALSE(Graphics::Model::LoadFromFile(path));

    Write("units/skin.bvh", Bvh(2));  // beside the model, same base name
    boost::shared_ptr<Graphics::Model> model = Graphics::Model::LoadFromFile(path);
    ASSERT_TRUE(model);
    EXPECT_EQ(model->bvh_.frame_count, 2u);
    EXPECT_FLOAT_EQ(model->bvh_.spheres[1].radius, 4.0f);
}

TEST_F(ModelTest, BadFilesFailToLoad) {
    EXPECT_FALSE(Graphics::Model::LoadFromFile(dir + "/missing.pod"));
    std::vector<uint8_t> pod = podwriter::WritePod(Triangle(false));
    pod.resize(pod.size() / 2);
    EXPECT_FALSE(Graphics::Model::LoadFromFile(Write("cut.pod", pod)));
    podwriter::Scene noInterleaved = Triangle(false);
    noInterleaved.meshes[0].interleaved.clear();
    noInterleaved.meshes[0].attributes.clear();
    EXPECT_FALSE(Graphics::Model::LoadFromFile(Write("plain.pod", podwriter::WritePod(noInterleaved))));
}

TEST_F(ModelTest, SampleHumanoidLoadsWithItsBounds) {
    const char* build = std::getenv("DM_BUILD_DIR");
    const std::string path = std::string(build ? build : ".") + "/game/" + catalogue::config::kMeshes.Path() +
                             catalogue::models::kDefenders[0].mesh;
    boost::shared_ptr<Graphics::Model> model = Graphics::Model::LoadFromFile(path);
    ASSERT_TRUE(model) << path;
    EXPECT_EQ(model->bvh_.frame_count, uint32_t(catalogue::models::kHumanoidFrameCount));
    EXPECT_GT(model->triangle_count_, 100u);
    EXPECT_GT(model->sphere_.radius, 10.0f);
}
