#pragma once
// Small model files made in code and a graphics device on the recording null
// device, registered as the service the models and shadows draw through.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/GraphicsDeviceFixture.h"
#include "Graphics/Model/Model.h"
#include "tools/databuilder/PodWriter.h"

namespace worldfixture {

enum class Layout { Static, LightMapped, Skinned };

// count triangles, triangle i at x = 2i on the ground; skinned vertices of
// triangle i are bound to palette entry bones[i % bones.size()].
inline podwriter::Mesh Triangles(int count, Layout layout, std::vector<uint8_t> bones = {0}) {
    podwriter::Mesh m;
    m.numVertex = uint32_t(3 * count);
    m.stride = layout == Layout::Static ? 56 : layout == Layout::LightMapped ? 64 : 68;
    m.numUVW = layout == Layout::LightMapped ? 2 : 1;
    m.attributes = {{6006, 1, 3, 0}, {6007, 1, 3, 12}, {6008, 1, 3, 24}, {6009, 1, 3, 36}, {6010, 1, 2, 48}};
    if (layout == Layout::LightMapped) m.attributes.push_back({6010, 1, 2, 56});
    if (layout == Layout::Skinned) {
        m.attributes.push_back({6013, 1, 2, 56});
        m.attributes.push_back({6012, 10, 2, 64});
    }
    m.interleaved.assign(size_t(m.numVertex) * m.stride, 0);
    for (int t = 0; t < count; ++t) {
        const float corners[3][3] = {{2.0f * t, 0, 0}, {2.0f * t + 1, 0, 0}, {2.0f * t, 1, 0}};
        for (int c = 0; c < 3; ++c) {
            uint8_t* v = &m.interleaved[size_t(3 * t + c) * m.stride];
            std::memcpy(v, corners[c], 12);
            const float normal[3] = {0, 0, 1};
            std::memcpy(v + 12, normal, 12);
            if (layout == Layout::Skinned) {
                const float weights[2] = {1, 0};
                std::memcpy(v + 56, weights, 8);
                v[64] = bones[size_t(t) % bones.size()];
            }
            m.faces.push_back(uint16_t(3 * t + c));
        }
    }
    return m;
}

inline podwriter::Node MeshNode(int mesh, const std::string& name, int material) {
    podwriter::Node n;
    n.index = mesh;
    n.name = name;
    n.material = material;
    return n;
}

inline podwriter::Node Bone(const std::string& name, int parent) {
    podwriter::Node n;
    n.name = name;
    n.parent = parent;
    return n;
}

// A one-mesh scene of `count` triangles with one material.
inline podwriter::Scene OneMesh(int count, Layout layout) {
    podwriter::Scene s;
    s.meshes = {Triangles(count, layout)};
    s.nodes = {MeshNode(0, "Mesh", 0)};
    s.meshNodeCount = 1;
    s.textures = {"skin.png"};
    s.materials = {{"skin", 0, -1}};
    if (layout == Layout::LightMapped) {
        s.textures.push_back("light.png");
        s.materials[0].ambientTexture = 1;
    }
    return s;
}

// A ".bvh" of `frames` frames: frame f has a box from (f, 0, 0) to (f + 1, 1, 1)
// and a sphere at (f, 0, 0) of radius f + 1.
inline std::vector<uint8_t> Bvh(uint32_t frames) {
    podwriter::Box model{};
    std::vector<podwriter::Box> boxes(frames);
    std::vector<podwriter::Sphere> spheres(frames);
    for (uint32_t f = 0; f < frames; ++f) {
        for (int c = 0; c < 8; ++c) {
            boxes[f].corners[c][0] = (c & 4) ? float(f) + 1 : float(f);
            boxes[f].corners[c][1] = (c & 2) ? 1.0f : 0.0f;
            boxes[f].corners[c][2] = (c & 1) ? 1.0f : 0.0f;
        }
        spheres[f] = {float(f), 0, 0, float(f) + 1};
    }
    return podwriter::WriteBvh(model, boxes, spheres);
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A graphics device with the shipped effects over the recording null device,
// registered as Service<Graphics::GraphicsDevice> (the model loader and the
// model draw find it there). The working folder is a temporary game folder.
class WorldDeviceTest : public NullDeviceTest {
protected:
    void SetUp() override {
        NullDeviceTest::SetUp();
        folder.WriteShippedEffects();
        graphics.reset(new Graphics::GraphicsDevice(d3d, device));
        Service<Graphics::GraphicsDevice>::Register(graphics.get());
    }
    void TearDown() override {
        Service<Graphics::GraphicsDevice>::Unregister();
        graphics.reset();
        NullDeviceTest::TearDown();
    }

    // Writes the scene as "<name>.pod" (and the bounds file when given) in the
    // game folder and loads it.
    boost::shared_ptr<Graphics::Model> Load(const std::string& name, const podwriter::Scene& scene,
                                            const std::vector<uint8_t>& bvh = {}) {
        const std::string path = (std::filesystem::current_path() / (name + ".pod")).string();
        WriteBytes(path, podwriter::WritePod(scene));
        if (!bvh.empty()) WriteBytes((std::filesystem::current_path() / (name + ".bvh")).string(), bvh);
        boost::shared_ptr<Graphics::Model> model = Graphics::Model::LoadFromFile(path);
        EXPECT_TRUE(model) << path;
        return model;
    }

    // The value the program drew with last.
    std::vector<float> Uniform(const d3d9::DrawRecord& draw, const char* name) {
        const d3d9::UniformValue* value = static_cast<d3d9::ProgramBase*>(draw.program)->Uniform(name);
        return value != nullptr ? value->floats : std::vector<float>();
    }

    std::unique_ptr<Graphics::GraphicsDevice> graphics;
};

inline void ExpectMatrixNear(const std::vector<float>& actual, const Matrix4& expected, float tolerance = 1e-4f) {
    ASSERT_GE(actual.size(), 16u);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[size_t(i)], expected[i], tolerance) << "element " << i;
}

}  // namespace worldfixture
