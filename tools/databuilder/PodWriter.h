#pragma once
// Writes ".pod" model files ("AB.POD.2.0") and their ".bvh" bounding-volume
// companions ("BM.BVH.1.0"). Header only: the data builder writes the sample
// models with it and the tests build their edge-case files with it.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace podwriter {

// The tag stream: every tag is an identifier and a length; blocks close with
// the identifier | 0x80000000.
class TagStream {
public:
    void Raw32(uint32_t v) {
        const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        bytes.insert(bytes.end(), b, b + 4);
    }
    void Tag(uint32_t id, uint32_t length) {
        Raw32(id);
        Raw32(length);
    }
    void Leaf(uint32_t id, const void* data, uint32_t length) {
        Tag(id, length);
        const uint8_t* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + length);
    }
    void U32(uint32_t id, uint32_t v) { Leaf(id, &v, 4); }
    void I32(uint32_t id, int32_t v) { Leaf(id, &v, 4); }
    void F32(uint32_t id, float v) { Leaf(id, &v, 4); }
    void Floats(uint32_t id, const std::vector<float>& v) { Leaf(id, v.data(), uint32_t(v.size() * 4)); }
    void U32s(uint32_t id, const std::vector<uint32_t>& v) { Leaf(id, v.data(), uint32_t(v.size() * 4)); }
    // Stored with its NUL.
    void Text(uint32_t id, const std::string& s) { Leaf(id, s.c_str(), uint32_t(s.size() + 1)); }
    void Begin(uint32_t id) { Tag(id, 0); }
    void End(uint32_t id) { Tag(id | 0x80000000u, 0); }
    // The version block.
    void Version() { Leaf(1000, "AB.POD.2.0", 11); }

    std::vector<uint8_t> bytes;
};

// One attribute inside the interleaved vertex data.
struct Attribute {
    uint32_t tag;     // 6006 positions, 6007 normals, ... 6010 a UVW channel, 6012 bone indices, 6013 weights
    uint32_t type;    // element type (1 float, 10 unsigned byte ...)
    uint32_t n;       // components
    uint32_t offset;  // bytes into the vertex
};

struct Mesh {
    uint32_t numVertex = 0;
    uint32_t stride = 0;
    std::vector<uint8_t> interleaved;
    std::vector<Attribute> attributes;
    std::vector<uint16_t> faces;  // 3 per triangle
    uint32_t numUVW = 0;
    // bone batches (skinned meshes)
    std::vector<uint32_t> batches;  // batch count x max bones
    std::vector<uint32_t> batchBoneCounts;
    std::vector<uint32_t> batchOffsets;  // first face per batch
    uint32_t batchBoneMax = 0;
};

struct Node {
    int32_t index = -1;  // mesh index for mesh nodes
    std::string name;
    int32_t material = -1;
    int32_t parent = -1;
    uint32_t animFlags = 0;       // 1 position, 2 rotation, 4 scale, 8 matrix
    std::vector<float> position;  // 3 per frame (or 3)
    std::vector<float> rotation;  // x, y, z, w per frame (or 4)
    std::vector<float> scale;     // 7 per frame (or 7)
    std::vector<float> matrix;    // 16 per frame, or empty
};

struct Material {
    std::string name;
    int32_t diffuseTexture = -1;
    int32_t ambientTexture = -1;  // the light map
};

struct Scene {
    uint32_t frames = 0;
    std::vector<Mesh> meshes;
    std::vector<Node> nodes;  // mesh nodes first
    uint32_t meshNodeCount = 0;
    std::vector<std::string> textures;
    std::vector<Material> materials;
};

inline void WriteMesh(TagStream& t, const Mesh& m) {
    t.Begin(2012);
    t.U32(6000, m.numVertex);
    t.U32(6001, uint32_t(m.faces.size() / 3));
    t.U32(6002, m.numUVW);
    t.U32(6005, 0);
    t.Leaf(6014, m.interleaved.data(), uint32_t(m.interleaved.size()));
    t.Begin(6003);
    t.U32(9000, 3);
    t.U32(9001, 1);
    t.U32(9002, 2);
    t.Leaf(9003, m.faces.data(), uint32_t(m.faces.size() * 2));
    t.End(6003);
    for (const Attribute& a : m.attributes) {
        t.Begin(a.tag);
        t.U32(9000, a.type);
        t.U32(9001, a.n);
        t.U32(9002, m.stride);
        t.U32(9003, a.offset);
        t.End(a.tag);
    }
    if (!m.batchBoneCounts.empty()) {
        t.U32s(6015, m.batches);
        t.U32s(6016, m.batchBoneCounts);
        t.U32s(6017, m.batchOffsets);
        t.U32(6018, m.batchBoneMax);
        t.U32(6019, uint32_t(m.batchBoneCounts.size()));
    }
    t.End(2012);
}

inline void WriteNode(TagStream& t, const Node& n) {
    t.Begin(2013);
    t.I32(5000, n.index);
    t.Text(5001, n.name);
    t.I32(5002, n.material);
    t.I32(5003, n.parent);
    t.U32(5012, n.animFlags);
    if (!n.position.empty()) t.Floats(5007, n.position);
    if (!n.rotation.empty()) t.Floats(5008, n.rotation);
    if (!n.scale.empty()) t.Floats(5009, n.scale);
    if (!n.matrix.empty()) t.Floats(5011, n.matrix);
    t.End(2013);
}

inline std::vector<uint8_t> WritePod(const Scene& s) {
    TagStream t;
    t.Version();
    t.Begin(1001);
    const float background[3] = {0, 0, 0};
    const float ambient[3] = {0.2f, 0.2f, 0.2f};
    t.Leaf(2000, background, 12);
    t.Leaf(2001, ambient, 12);
    t.U32(2002, 0);
    t.U32(2003, 0);
    t.U32(2004, uint32_t(s.meshes.size()));
    t.U32(2005, uint32_t(s.nodes.size()));
    t.U32(2006, s.meshNodeCount);
    t.U32(2007, uint32_t(s.textures.size()));
    t.U32(2008, uint32_t(s.materials.size()));
    t.U32(2009, s.frames);
    t.U32(2016, 0);
    for (const Mesh& m : s.meshes) WriteMesh(t, m);
    for (const Node& n : s.nodes) WriteNode(t, n);
    for (const std::string& name : s.textures) {
        t.Begin(2014);
        t.Text(4000, name);
        t.End(2014);
    }
    for (const Material& m : s.materials) {
        t.Begin(2015);
        t.Text(3000, m.name);
        t.I32(3001, m.diffuseTexture);
        t.F32(3002, 1.0f);
        t.I32(3009, m.ambientTexture);
        t.End(2015);
    }
    t.End(1001);
    return t.bytes;
}

// ".bvh": magic, an int32, the frame count, the model box (8 corners), four
// 32-bit values, then one box per frame and one sphere (x, y, z, r) per frame.
struct Box {
    float corners[8][3];
};
struct Sphere {
    float x, y, z, r;
};

inline std::vector<uint8_t> WriteBvh(const Box& model, const std::vector<Box>& boxes,
                                     const std::vector<Sphere>& spheres) {
    std::vector<uint8_t> out(10);
    std::memcpy(out.data(), "BM.BVH.1.0", 10);
    auto put = [&out](const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        out.insert(out.end(), b, b + n);
    };
    const int32_t version = 1;
    const uint32_t frames = uint32_t(boxes.size());
    const uint32_t reserved[4] = {0, 0, 0, 0};
    put(&version, 4);
    put(&frames, 4);
    put(&model, sizeof model);
    put(reserved, sizeof reserved);
    for (const Box& b : boxes) put(&b, sizeof b);
    for (const Sphere& s : spheres) put(&s, sizeof s);
    return out;
}

}  // namespace podwriter
