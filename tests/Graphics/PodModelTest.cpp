#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "Graphics/Model/PodModel.h"
#include "tools/databuilder/PodWriter.h"

namespace {

using podwriter::TagStream;

std::vector<float> Identity16() { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}; }

// One triangle on a mesh node that hangs below an animated root:
// the root moves along x by 10 per frame over 3 frames.
podwriter::Scene BaseScene() {
    podwriter::Scene s;
    s.frames = 3;
    podwriter::Mesh m;
    m.numVertex = 3;
    m.stride = 12;
    const float positions[9] = {0, 0, 0, 1, 0, 0, 0, 2, 0};
    m.interleaved.resize(sizeof positions);
    std::memcpy(m.interleaved.data(), positions, sizeof positions);
    m.attributes.push_back({6006, 1, 3, 0});
    m.faces = {0, 1, 2};
    s.meshes.push_back(m);

    podwriter::Node mesh;
    mesh.index = 0;
    mesh.name = "Tri";
    mesh.parent = 1;
    mesh.material = 0;
    mesh.position = {0, 1, 0};
    mesh.rotation = {0, 0, 0, 1};
    mesh.scale = {1, 1, 1, 0, 0, 0, 0};
    podwriter::Node root;
    root.name = "Root";
    root.animFlags = 1;
    root.position = {0, 0, 0, 10, 0, 0, 20, 0, 0};
    root.rotation = {0, 0, 0, 1};
    root.scale = {2, 2, 2, 0, 0, 0, 0};
    s.nodes = {mesh, root};
    s.meshNodeCount = 1;
    s.textures = {"tri.png"};
    s.materials = {{"mat", 0, -1}};
    return s;
}

int Read(CPodScene& scene, const std::vector<uint8_t>& bytes) {
    return scene.ReadFromMemory(bytes.data(), bytes.size());
}

// A file of a version block and a scene block whose body the caller writes.
std::vector<uint8_t> SceneFile(const std::function<void(TagStream&)>& body) {
    TagStream t;
    t.Version();
    t.Begin(1001);
    body(t);
    t.End(1001);
    return t.bytes;
}

}  // namespace

TEST(PodReader, ReadsSceneMeshAndNodes) {
    CPodScene scene;
    ASSERT_EQ(Read(scene, podwriter::WritePod(BaseScene())), 0);
    EXPECT_EQ(scene.nNumMesh, 1u);
    EXPECT_EQ(scene.nNumNode, 2u);
    EXPECT_EQ(scene.nNumMeshNode, 1u);
    EXPECT_EQ(scene.nNumFrame, 3u);
    EXPECT_EQ(scene.pNode[1].name, "Root");
    EXPECT_EQ(scene.pTexture[0].name, "tri.png");
    EXPECT_EQ(scene.pMaterial[0].nIdxTexDiffuse, 0);
    EXPECT_EQ(scene.pMaterial[0].eBlendOpRGB, 32774u);  // defaults before reading

    const PodMesh& mesh = scene.pMesh[0];
    EXPECT_EQ(PodMeshIndexCount(mesh), 3u);
    EXPECT_TRUE(mesh.sVertex.bInterleaved);
    EXPECT_EQ(mesh.sVertex.nStride, 12u);
    const uint8_t* p = PodDataPointer(mesh, mesh.sVertex);
    ASSERT_NE(p, nullptr);
    float y2;
    std::memcpy(&y2, p + 2 * 12 + 4, 4);
    EXPECT_FLOAT_EQ(y2, 2.0f);
}

TEST(PodReader, IndexCountWithStrips) {
    PodMesh mesh;
    mesh.nNumFaces = 10;
    EXPECT_EQ(PodMeshIndexCount(mesh), 30u);
    mesh.nNumStrips = 2;
    mesh.pnStripLength = {4, 6};
    EXPECT_EQ(PodMeshIndexCount(mesh), 14u);
}

TEST(PodReader, WorldMatricesFollowFramesAndParents) {
    CPodScene scene;
    ASSERT_EQ(Read(scene, podwriter::WritePod(BaseScene())), 0);

    Matrix4 w;
    scene.GetWorldMatrix(w, 0);  // frame 0: (0, 1, 0) scaled by the root's 2
    EXPECT_FLOAT_EQ(w[13], 2.0f);
    EXPECT_FLOAT_EQ(w[12], 0.0f);

    scene.SetFrame(1.5f);
    EXPECT_EQ(scene.pAnimCache->nFrame, 1);
    EXPECT_FLOAT_EQ(scene.pAnimCache->fBlend, 0.5f);
    scene.GetWorldMatrix(w, 0);
    EXPECT_FLOAT_EQ(w[12], 15.0f);
    EXPECT_FLOAT_EQ(w[0], 2.0f);

    // the frame-0 matrix is the one computed at load, also after other frames
    scene.SetFrame(0.0f);
    scene.GetWorldMatrix(w, 0);
    EXPECT_FLOAT_EQ(w[12], 0.0f);

    // past the last frame the last frame's values hold
    scene.SetFrame(7.0f);
    scene.GetWorldMatrix(w, 1);
    EXPECT_FLOAT_EQ(w[12], 20.0f);
    scene.SetFrame(-3.0f);
    scene.GetWorldMatrix(w, 1);
    EXPECT_FLOAT_EQ(w[12], 0.0f);

    // a node index beyond the array gives the identity
    scene.GetWorldMatrix(w, 9);
    EXPECT_EQ(w[12], 0.0f);
    EXPECT_EQ(w[0], 1.0f);
}

TEST(PodReader, SetFrameSplitsIndexAndBlend) {
    podwriter::Scene s = BaseScene();
    s.frames = 5;
    s.nodes[1].position = {0, 0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0, 0};
    CPodScene scene;
    ASSERT_EQ(Read(scene, podwriter::WritePod(s)), 0);
    scene.SetFrame(2.25f);
    EXPECT_EQ(scene.pAnimCache->nFrame, 2);
    EXPECT_FLOAT_EQ(scene.pAnimCache->fBlend, 0.25f);

    s.frames = 0;
    s.nodes[1].animFlags = 0;
    CPodScene still;
    ASSERT_EQ(Read(still, podwriter::WritePod(s)), 0);
    still.SetFrame(2.25f);
    EXPECT_EQ(still.pAnimCache->nFrame, 0);
    EXPECT_EQ(still.pAnimCache->fBlend, 0.0f);
    EXPECT_FLOAT_EQ(still.pAnimCache->fFrame, 2.25f);
}

TEST(PodReader, BoneWorldMatrixMovesFromBindPoseToFrame) {
    podwriter::Scene s = BaseScene();
    CPodScene scene;
    ASSERT_EQ(Read(scene, podwriter::WritePod(s)), 0);
    scene.SetFrame(2.0f);
    Matrix4 bone;
    // mesh node 0 against bone node 1: world(0 at 0) x inverse(world(1 at 0)) x world(1 at 2)
    scene.GetBoneWorldMatrix(bone, 0, 1);
    EXPECT_NEAR(bone[12], 20.0f, 1e-4f);
    EXPECT_NEAR(bone[13], 2.0f, 1e-4f);
    EXPECT_NEAR(bone[0], 2.0f, 1e-4f);
    EXPECT_FLOAT_EQ(scene.pAnimCache->fFrame, 2.0f);  // the frame is given back
}

TEST(PodReader, MatrixChannelAndIndexArrays) {
    std::vector<uint8_t> bytes = SceneFile([](TagStream& t) {
        t.U32(2005, 1);
        t.U32(2009, 2);
        t.Begin(2013);
        t.Text(5001, "M");
        t.I32(5003, -1);
        std::vector<float> matrices = Identity16();
        std::vector<float> second = Identity16();
        second[14] = 5.0f;
        matrices.insert(matrices.begin(), second.begin(), second.end());  // frame 1's data first
        t.Floats(5011, matrices);
        t.U32s(5016, {16, 0});
        t.U32(5012, 8);
        t.End(2013);
    });
    CPodScene scene;
    ASSERT_EQ(Read(scene, bytes), 0);
    Matrix4 w;
    scene.GetWorldMatrix(w, 0);
    EXPECT_EQ(w[14], 0.0f);
    scene.SetFrame(1.0f);
    scene.GetWorldMatrix(w, 0);
    EXPECT_EQ(w[14], 5.0f);
}

TEST(PodReader, OlderStillLayoutGetsOneFrameArrays) {
    std::vector<uint8_t> bytes = SceneFile([](TagStream& t) {
        t.U32(2005, 1);
        t.Begin(2013);
        t.I32(5003, -1);
        const float position[3] = {1, 2, 3};
        t.Leaf(5004, position, 12);
        t.Leaf(5010, position, 12);  // skipped
        t.End(2013);
    });
    CPodScene scene;
    ASSERT_EQ(Read(scene, bytes), 0);
    const PodNode& node = scene.pNode[0];
    EXPECT_EQ(node.nAnimFlags, 0u);
    EXPECT_EQ(node.pfAnimPosition, (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(node.pfAnimRotation, (std::vector<float>{0, 0, 0, 1}));
    EXPECT_EQ(node.pfAnimScale, (std::vector<float>{1, 1, 1, 0, 0, 0, 0}));
}

TEST(PodReader, UnknownTagsAreSkippedAtEveryLevel) {
    std::vector<uint8_t> bytes = SceneFile([](TagStream& t) {
        t.U32(7777, 1);
        t.U32(2004, 1);
        t.U32(2005, 1);
        t.U32(2006, 1);
        t.Begin(2012);
        t.U32(6000, 1);
        t.U32(6001, 0);
        t.U32(6099, 5);
        t.Begin(6006);
        t.U32(9000, 1);
        t.U32(9099, 42);  // unknown inside a data block
        t.U32(9001, 3);
        const float p[3] = {4, 5, 6};
        t.Leaf(9003, p, 12);
        t.End(6006);
        t.End(2012);
        t.Begin(2013);
        t.I32(5000, 0);
        t.I32(5003, -1);
        t.U32(5999, 0);
        t.End(2013);
    });
    bytes.insert(bytes.begin(), {0x39, 0x05, 0, 0, 2, 0, 0, 0, 'x', 'y'});  // top-level tag 1337
    CPodScene scene;
    ASSERT_EQ(Read(scene, bytes), 0);
    EXPECT_FALSE(scene.pMesh[0].sVertex.bInterleaved);
    ASSERT_EQ(scene.pMesh[0].sVertex.data.size(), 12u);
}

TEST(PodReader, FixedPointScenesAreConverted) {
    std::vector<uint8_t> bytes = SceneFile([](TagStream& t) {
        t.U32(2005, 1);
        t.U32(2016, 1);
        t.Begin(2013);
        t.I32(5003, -1);
        const int32_t position[3] = {65536, 32768, -131072};
        t.Leaf(5007, position, 12);
        t.End(2013);
    });
    CPodScene scene;
    ASSERT_EQ(Read(scene, bytes), 0);
    EXPECT_EQ(scene.nFlags & 1u, 0u);
    EXPECT_EQ(scene.pNode[0].pfAnimPosition, (std::vector<float>{1.0f, 0.5f, -2.0f}));
}

TEST(PodReader, EndiannessMismatchIsReported) {
    TagStream t;
    t.Tag(0xE8030000u, 0x0B000000u);
    testing::internal::CaptureStderr();
    CPodScene scene;
    EXPECT_EQ(Read(scene, t.bytes), 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "Error: Endianness mismatch between the .pod file and the platform."),
              std::string::npos);
}

TEST(PodReader, RefusesBadFiles) {
    typedef std::function<void(podwriter::Scene&)> Edit;
    struct Case {
        const char* what;
        Edit edit;
    } cases[] = {
        {"parent cycle", [](podwriter::Scene& s) { s.nodes[1].parent = 0; }},
        {"self parent", [](podwriter::Scene& s) { s.nodes[1].parent = 1; }},
        {"parent out of range", [](podwriter::Scene& s) { s.nodes[0].parent = 2; }},
        {"material out of range", [](podwriter::Scene& s) { s.nodes[0].material = 1; }},
        {"mesh index out of range", [](podwriter::Scene& s) { s.nodes[0].index = 1; }},
        {"more mesh nodes than nodes", [](podwriter::Scene& s) { s.meshNodeCount = 3; }},
        {"texture out of range", [](podwriter::Scene& s) { s.materials[0].diffuseTexture = 4; }},
        {"animation shorter than the frames", [](podwriter::Scene& s) { s.nodes[1].position.resize(6); }},
        {"animated channel without data",
         [](podwriter::Scene& s) { s.nodes[0].animFlags = 2, s.nodes[0].rotation.clear(); }},
        {"face index beyond the vertices", [](podwriter::Scene& s) { s.meshes[0].faces[2] = 3; }},
        {"interleaved data too short", [](podwriter::Scene& s) { s.meshes[0].interleaved.resize(20); }},
        {"attribute beyond its stride", [](podwriter::Scene& s) { s.meshes[0].attributes[0].offset = 4; }},
        {"UVW channel count without channels", [](podwriter::Scene& s) { s.meshes[0].numUVW = 1; }},
        {"bone index beyond the nodes",
         [](podwriter::Scene& s) {
             s.meshes[0].batches = {5};
             s.meshes[0].batchBoneCounts = {1};
             s.meshes[0].batchOffsets = {0};
             s.meshes[0].batchBoneMax = 1;
         }},
        {"batch with more bones than the maximum",
         [](podwriter::Scene& s) {
             s.meshes[0].batches = {0};
             s.meshes[0].batchBoneCounts = {2};
             s.meshes[0].batchOffsets = {0};
             s.meshes[0].batchBoneMax = 1;
         }},
    };
    for (const Case& c : cases) {
        podwriter::Scene s = BaseScene();
        c.edit(s);
        CPodScene scene;
        EXPECT_EQ(Read(scene, podwriter::WritePod(s)), 1) << c.what;
        EXPECT_EQ(scene.nNumNode, 0u) << c.what;
        EXPECT_FALSE(scene.pAnimCache) << c.what;
    }
}

TEST(PodReader, RefusesBadTagStreams) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"version of length 10",
         [] {
             TagStream t;
             t.Leaf(1000, "AB.POD.2.0", 10);
             t.Begin(1001);
             t.End(1001);
             return t.bytes;
         }()},
        {"other version text",
         [] {
             TagStream t;
             t.Leaf(1000, "AB.POD.1.0", 11);
             t.Begin(1001);
             t.End(1001);
             return t.bytes;
         }()},
        {"no scene block",
         [] {
             TagStream t;
             t.Version();
             return t.bytes;
         }()},
        {"three meshes announced, two given", SceneFile([](TagStream& t) {
             t.U32(2004, 3);
             for (int i = 0; i < 2; ++i) {
                 t.Begin(2012);
                 t.End(2012);
             }
         })},
        {"block beyond its count", SceneFile([](TagStream& t) {
             t.U32(2007, 1);
             for (int i = 0; i < 2; ++i) {
                 t.Begin(2014);
                 t.End(2014);
             }
         })},
        {"block before its count", SceneFile([](TagStream& t) {
             t.Begin(2014);
             t.End(2014);
             t.U32(2007, 1);
         })},
        {"repeated count", SceneFile([](TagStream& t) {
             t.U32(2007, 1);
             t.U32(2007, 1);
             t.Begin(2014);
             t.End(2014);
         })},
        {"data of element size 0", SceneFile([](TagStream& t) {
             t.U32(2004, 1);
             t.Begin(2012);
             t.U32(6000, 1);
             t.Begin(6006);
             t.U32(9000, 99);
             t.U32(9003, 7);
             t.End(6006);
             t.End(2012);
         })},
        {"count of the wrong size", SceneFile([](TagStream& t) { t.Leaf(2004, "\1\0", 2); })},
        {"leaf longer than the file", SceneFile([](TagStream& t) { t.Tag(7777, 0x7FFFFFFF); })},
        {"array longer than the file", SceneFile([](TagStream& t) {
             t.U32(2005, 1);
             t.Begin(2013);
             t.Tag(5007, 0xFFFFFFF0u);
         })},
        {"count larger than the file can hold", SceneFile([](TagStream& t) { t.U32(2005, 0xFFFFFFFFu); })},
        {"second scene block",
         [] {
             std::vector<uint8_t> one = SceneFile([](TagStream&) {});
             TagStream t;
             t.Begin(1001);
             t.End(1001);
             one.insert(one.end(), t.bytes.begin(), t.bytes.end());
             return one;
         }()},
    };
    for (const Case& c : cases) {
        CPodScene scene;
        EXPECT_EQ(Read(scene, c.bytes), 1) << c.what;
    }
}

TEST(PodReader, EveryTruncationFails) {
    const std::vector<uint8_t> bytes = podwriter::WritePod(BaseScene());
    for (size_t n = 0; n < bytes.size(); ++n) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        CPodScene scene;
        EXPECT_EQ(scene.ReadFromMemory(cut.data(), cut.size()), 1) << n;
    }
    CPodScene scene;
    EXPECT_EQ(scene.ReadFromMemory(nullptr, 0), 1);
}

TEST(PodReader, ReadingAgainReplacesTheScene) {
    CPodScene scene;
    ASSERT_EQ(Read(scene, podwriter::WritePod(BaseScene())), 0);
    podwriter::Scene s = BaseScene();
    s.nodes[0].parent = 0;
    EXPECT_EQ(Read(scene, podwriter::WritePod(s)), 1);
    EXPECT_EQ(scene.nNumMesh, 0u);
    ASSERT_EQ(Read(scene, podwriter::WritePod(BaseScene())), 0);
    scene.Destroy();
    EXPECT_EQ(scene.nNumNode, 0u);
}
