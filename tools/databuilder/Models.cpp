// The sample models: the map (light-mapped and plain), scenery, skinned
// humanoids with their ".bvh" bounds, the weapons and the missiles. Shapes are
// boxes built in an authoring frame (x right, y forward, z up, feet at the
// origin) and baked into the frame the game's node transforms and model draw
// expect, so objects stand upright and face their direction.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "tools/catalogue/Config.h"
#include "tools/catalogue/Models.h"
#include "tools/databuilder/Builder.h"
#include "tools/databuilder/PodWriter.h"

namespace {

namespace cm = catalogue::models;

// ---- small maths: row vectors, p x M ----

struct V3 {
    float x, y, z;
};

V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator*(V3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

struct M4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

M4 Mul(const M4& a, const M4& b) {  // a then b
    M4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float s = 0;
            for (int k = 0; k < 4; ++k) s += a.m[4 * i + k] * b.m[4 * k + j];
            r.m[4 * i + j] = s;
        }
    return r;
}

M4 Translation(V3 t) {
    M4 r;
    r.m[12] = t.x;
    r.m[13] = t.y;
    r.m[14] = t.z;
    return r;
}

// Rotations as the scene nodes build them (row-vector matrices, degrees).
M4 RotX(float degrees) {
    const float a = degrees * 0.017453292f, c = std::cos(a), s = std::sin(a);
    M4 r;
    r.m[5] = c, r.m[6] = s, r.m[9] = -s, r.m[10] = c;
    return r;
}

M4 RotY(float degrees) {
    const float a = degrees * 0.017453292f, c = std::cos(a), s = std::sin(a);
    M4 r;
    r.m[0] = c, r.m[2] = -s, r.m[8] = s, r.m[10] = c;
    return r;
}

M4 RotZ(float degrees) {
    const float a = degrees * 0.017453292f, c = std::cos(a), s = std::sin(a);
    M4 r;
    r.m[0] = c, r.m[1] = s, r.m[4] = -s, r.m[5] = c;
    return r;
}

// Rotation part transposed, for the orthonormal bake matrices.
M4 TransposeRotation(const M4& a) {
    M4 r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) r.m[4 * i + j] = a.m[4 * j + i];
    return r;
}

V3 Point(V3 p, const M4& m) {
    return {p.x * m.m[0] + p.y * m.m[4] + p.z * m.m[8] + m.m[12], p.x * m.m[1] + p.y * m.m[5] + p.z * m.m[9] + m.m[13],
            p.x * m.m[2] + p.y * m.m[6] + p.z * m.m[10] + m.m[14]};
}

V3 Direction(V3 d, const M4& m) {
    return {d.x * m.m[0] + d.y * m.m[4] + d.z * m.m[8], d.x * m.m[1] + d.y * m.m[5] + d.z * m.m[9],
            d.x * m.m[2] + d.y * m.m[6] + d.z * m.m[10]};
}

// The model draw turns every model about y by 180 (taken as radians) first.
M4 DrawPrefix() {
    const float c = std::cos(-180.0f), s = std::sin(-180.0f);
    M4 r;
    r.m[0] = c, r.m[2] = s, r.m[8] = -s, r.m[10] = c;
    return r;
}

// Authoring frame -> baked model frame. A node shows baked points as
// p x prefix x RotY(direction - offset) x RotX(view x) x T, so at the
// direction equal to the offset (heading rotation 0) the model must map to the
// world with forward pointing at that direction (0 facing -y, 90 facing +x).
M4 BakeMatrix(float headingDegrees) {
    const float a = headingDegrees * 0.017453292f;
    const V3 forward{std::sin(a), -std::cos(a), 0.0f};
    const V3 up{0, 0, 1};
    const V3 right = Cross(forward, up);
    M4 toWorld;  // rows: where x, y and z of the authoring frame go
    const V3 rows[3] = {right, forward, up};
    for (int i = 0; i < 3; ++i) {
        toWorld.m[4 * i + 0] = rows[i].x;
        toWorld.m[4 * i + 1] = rows[i].y;
        toWorld.m[4 * i + 2] = rows[i].z;
    }
    const M4 undoView = TransposeRotation(RotX(float(cm::kViewRotationX)));
    const M4 undoPrefix = TransposeRotation(DrawPrefix());
    return Mul(Mul(toWorld, undoView), undoPrefix);
}

// The map's node applies the view rotation only (no heading); the ground keeps
// its world axes.
M4 MapBakeMatrix() {
    M4 identity;
    const M4 undoView = TransposeRotation(RotX(float(cm::kViewRotationX)));
    return Mul(Mul(identity, undoView), TransposeRotation(DrawPrefix()));
}

// ---- vertices and meshes ----

enum class Layout { Static, LightMapped, Skinned };

struct Vertex {
    V3 p, n, t, b;
    float u, v;
    float u2, v2;  // light-map coordinates
    uint8_t bone;  // palette index, weight 1
};

struct MeshBuilder {
    std::vector<Vertex> vertices;
    std::vector<uint16_t> faces;

    // An axis-aligned box in the given space, transformed by m; texture band
    // [u0, u1] over each face; light-map coordinates from world x, y over the map.
    void Box(V3 centre, V3 half, const M4& m, float u0, float u1, uint8_t bone = 0) {
        static const V3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
        for (const V3& n : normals) {
            // two axes across the face, right-handed with the normal
            const V3 t = std::fabs(n.z) > 0.5f ? V3{1, 0, 0} : V3{-n.y, n.x, 0};
            const V3 b = Cross(n, t);
            const V3 hn{n.x * half.x, n.y * half.y, n.z * half.z};
            const V3 ht{t.x * half.x, t.y * half.y, t.z * half.z};
            const V3 hb{b.x * half.x, b.y * half.y, b.z * half.z};
            const uint16_t base = uint16_t(vertices.size());
            const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
            for (const auto& c : corners) {
                Vertex v{};
                const V3 local = centre + hn + ht * c[0] + hb * c[1];
                v.p = Point(local, m);
                v.n = Direction(n, m);
                v.t = Direction(t, m);
                v.b = Direction(b, m);
                v.u = u0 + (u1 - u0) * (c[0] + 1) * 0.5f;
                v.v = (1 - c[1]) * 0.5f;
                v.bone = bone;
                vertices.push_back(v);
            }
            // clockwise seen from outside: the front faces under the device's default culling
            const uint16_t quad[6] = {0, 2, 1, 0, 3, 2};
            for (uint16_t q : quad) faces.push_back(uint16_t(base + q));
        }
    }

    void Bake(const M4& m) {
        for (Vertex& v : vertices) {
            v.p = Point(v.p, m);
            v.n = Direction(v.n, m);
            v.t = Direction(v.t, m);
            v.b = Direction(v.b, m);
        }
    }

    podwriter::Mesh Write(Layout layout) const {
        podwriter::Mesh mesh;
        mesh.numVertex = uint32_t(vertices.size());
        mesh.stride = layout == Layout::Static ? 56 : layout == Layout::LightMapped ? 64 : 68;
        mesh.numUVW = layout == Layout::LightMapped ? 2 : 1;
        mesh.attributes = {{6006, 1, 3, 0}, {6007, 1, 3, 12}, {6008, 1, 3, 24}, {6009, 1, 3, 36}, {6010, 1, 2, 48}};
        if (layout == Layout::LightMapped) mesh.attributes.push_back({6010, 1, 2, 56});
        if (layout == Layout::Skinned) {
            // Every vertex follows one bone with weight 1: one influence for the
            // vertex shader to blend, not two.
            mesh.attributes.push_back({6013, 1, 1, 56});
            mesh.attributes.push_back({6012, 10, 1, 64});
        }
        mesh.interleaved.assign(size_t(mesh.numVertex) * mesh.stride, 0);
        for (size_t i = 0; i < vertices.size(); ++i) {
            const Vertex& v = vertices[i];
            uint8_t* out = &mesh.interleaved[i * mesh.stride];
            const float base[14] = {v.p.x, v.p.y, v.p.z, v.n.x, v.n.y, v.n.z, v.t.x,
                                    v.t.y, v.t.z, v.b.x, v.b.y, v.b.z, v.u,   v.v};
            std::memcpy(out, base, sizeof base);
            if (layout == Layout::LightMapped) {
                const float lm[2] = {v.u2, v.v2};
                std::memcpy(out + 56, lm, sizeof lm);
            }
            if (layout == Layout::Skinned) {
                const float weights[2] = {1.0f, 0.0f};
                std::memcpy(out + 56, weights, sizeof weights);
                out[64] = v.bone;
            }
        }
        mesh.faces = faces;
        return mesh;
    }
};

std::vector<float> MatrixFloats(const M4& m) { return std::vector<float>(m.m, m.m + 16); }

podwriter::Node MeshNode(int mesh, const std::string& name, int material) {
    podwriter::Node n;
    n.index = mesh;
    n.name = name;
    n.material = material;
    return n;
}

std::string MeshPath(const char* file) { return catalogue::config::kMeshes.Path() + file; }

// ---- the map ----

void WriteMap(const databuilder::Output& out, bool lightMapped) {
    const float width = cm::kMapWidth;
    const float depth = cm::kMapDepth;
    const M4 id;
    MeshBuilder ground, walls;
    ground.Box({width / 2, depth / 2, -2}, {width / 2, depth / 2, 2}, id, 0, 1);
    // walls round the field with a gate on the south side, a keep at the north end
    const float h = 30, t = 5;
    walls.Box({width / 2, depth + t, h / 2}, {width / 2 + 2 * t, t, h / 2}, id, 0, 0.5f);
    walls.Box({-t, depth / 2, h / 2}, {t, depth / 2, h / 2}, id, 0, 0.5f);
    walls.Box({width + t, depth / 2, h / 2}, {t, depth / 2, h / 2}, id, 0, 0.5f);
    walls.Box({width * 0.2f, -t, h / 2}, {width * 0.2f + t, t, h / 2}, id, 0, 0.5f);
    walls.Box({width * 0.8f, -t, h / 2}, {width * 0.2f + t, t, h / 2}, id, 0, 0.5f);
    const V3 keep{width / 2, depth - 50, 0};
    walls.Box(keep + V3{0, 0, 30}, {40, 30, 30}, id, 0.5f, 1);
    for (int i = 0; i < 4; ++i) {  // corner towers of the keep
        const float sx = (i & 1) ? 40 : -40, sy = (i & 2) ? 30 : -30;
        walls.Box(keep + V3{sx, sy, 40}, {8, 8, 40}, id, 0.5f, 1);
    }
    const V3 place =
        Point({float(cm::kViewTranslation[0]), float(cm::kViewTranslation[1]), float(cm::kViewTranslation[2])},
              RotX(float(cm::kViewRotationX)));  // the node's place in the world
    for (MeshBuilder* b : {&ground, &walls})
        for (Vertex& v : b->vertices) {
            v.u2 = v.p.x / width;
            v.v2 = v.p.y / depth;
            v.p = v.p - place;  // the node puts it back
        }
    const M4 bake = MapBakeMatrix();
    ground.Bake(bake);
    walls.Bake(bake);

    const Layout layout = lightMapped ? Layout::LightMapped : Layout::Static;
    podwriter::Scene s;
    s.meshes = {ground.Write(layout), walls.Write(layout)};
    // The walls first: the ground they hide then fails the depth test before it is shaded.
    s.nodes = {MeshNode(1, "Walls", 1), MeshNode(0, "Ground", 0)};
    s.meshNodeCount = 2;
    s.textures = {"harrowmere_ground.png", "harrowmere_stone.png"};
    const int lightMap = lightMapped ? 2 : -1;
    if (lightMapped) s.textures.push_back("harrowmere_lightmap.png");
    s.materials = {{"ground", 0, lightMap}, {"stone", 1, lightMap}};
    out.Write(MeshPath(lightMapped ? cm::kMapMesh : cm::kMapMeshPlain), podwriter::WritePod(s));
}

// ---- static objects ----

void WriteStatic(const databuilder::Output& out, const char* file, MeshBuilder& b, float heading, const char* texture) {
    b.Bake(BakeMatrix(heading));
    podwriter::Scene s;
    s.meshes = {b.Write(Layout::Static)};
    s.nodes = {MeshNode(0, "Object", 0)};
    s.meshNodeCount = 1;
    s.textures = {texture};
    s.materials = {{"object", 0, -1}};
    out.Write(MeshPath(file), podwriter::WritePod(s));
}

void WriteScenery(const databuilder::Output& out) {
    const M4 id;
    MeshBuilder tree, rock, crate, tower;
    tree.Box({0, 0, 7}, {1.5f, 1.5f, 7}, id, 0, 0.25f);
    tree.Box({0, 0, 18}, {7, 7, 5}, id, 0.25f, 0.5f);
    tree.Box({0, 0, 25}, {4.5f, 4.5f, 3}, id, 0.25f, 0.5f);
    rock.Box({0, 0, 3}, {6, 4.5f, 3}, id, 0.5f, 0.75f);
    rock.Box({1.5f, 1, 6.5f}, {3, 2.5f, 1.5f}, id, 0.5f, 0.75f);
    crate.Box({0, 0, 4}, {4, 4, 4}, id, 0.75f, 1);
    tower.Box({0, 0, 22}, {9, 9, 22}, id, 0.5f, 0.75f);
    for (int i = 0; i < 4; ++i) {
        const float sx = (i & 1) ? 7 : -7, sy = (i & 2) ? 7 : -7;
        tower.Box({sx, sy, 47}, {2, 2, 3}, id, 0.5f, 0.75f);
    }
    WriteStatic(out, cm::kScenery[0], tree, 45, "scenery.png");
    WriteStatic(out, cm::kScenery[1], rock, 45, "scenery.png");
    WriteStatic(out, cm::kScenery[2], crate, 45, "scenery.png");
    WriteStatic(out, cm::kScenery[3], tower, 45, "scenery.png");
}

void WriteMissiles(const databuilder::Output& out) {
    const M4 id;
    MeshBuilder arrow, fireball, bolt;
    arrow.Box({0, 0, 0}, {0.25f, 6, 0.25f}, id, 0, 0.5f);  // shaft along forward
    arrow.Box({0, 6.5f, 0}, {0.7f, 0.8f, 0.2f}, id, 0.5f, 1);
    arrow.Box({0, -5.5f, 0}, {0.8f, 0.6f, 0.1f}, id, 0.5f, 1);
    fireball.Box({0, 0, 0}, {2, 2, 2}, id, 0, 1);
    fireball.Box({0, 0, 0}, {2.5f, 1.2f, 1.2f}, RotZ(45), 0, 1);
    fireball.Box({0, -2.5f, 0}, {1, 2, 1}, id, 0, 1);
    bolt.Box({0, 0, 0}, {0.6f, 4, 0.6f}, RotY(45), 0, 1);
    bolt.Box({0, 0, 0}, {1.2f, 1.2f, 1.2f}, id, 0, 1);
    // missiles turn by (direction - 54)
    WriteStatic(out, cm::kMissiles[0], arrow, 54, "missiles.png");
    WriteStatic(out, cm::kMissiles[1], fireball, 54, "missiles.png");
    WriteStatic(out, cm::kMissiles[2], bolt, 54, "missiles.png");
}

// Weapons are drawn in the forearm's space: the hand is at (0, 0, -4.4), the
// blade points forward (+y).
void WriteWeapons(const databuilder::Output& out) {
    const M4 id;
    const V3 hand{0, 0, -4.4f};
    MeshBuilder parts[8];
    parts[0].Box(hand + V3{0, 0, 0}, {0.4f, 0.4f, 0.8f}, id, 0, 0.25f);  // sword: grip, guard, blade
    parts[0].Box(hand + V3{0, 0.8f, 0}, {1.4f, 0.3f, 0.3f}, id, 0, 0.25f);
    parts[0].Box(hand + V3{0, 6, 0}, {0.5f, 5, 0.15f}, id, 0.25f, 0.5f);
    parts[1].Box(hand + V3{-1, 0, 0}, {0.3f, 3.5f, 4}, id, 0.5f, 0.75f);  // shield on the arm
    parts[2].Box(hand + V3{0, 1, 0}, {0.3f, 0.3f, 7}, id, 0, 0.25f);      // bow: stave and string
    parts[2].Box(hand + V3{0, 0, 0}, {0.1f, 0.1f, 6.5f}, id, 0.75f, 1);
    parts[3].Box(hand + V3{0, 0, 2}, {0.35f, 0.35f, 10}, id, 0, 0.25f);  // staff with a head
    parts[3].Box(hand + V3{0, 0, 12.5f}, {1, 1, 1}, id, 0.75f, 1);
    parts[4].Box(hand + V3{0, 3.5f, 0}, {0.35f, 3.5f, 0.35f}, id, 0, 0.25f);  // axe
    parts[4].Box(hand + V3{0, 6.5f, 1}, {0.2f, 1.2f, 2}, id, 0.25f, 0.5f);
    parts[5].Box(hand + V3{0, 2.5f, 0}, {0.3f, 2.5f, 0.1f}, id, 0.25f, 0.5f);  // dagger
    parts[6].Box(hand + V3{0, 2.5f, 0}, {0.2f, 2.5f, 0.2f}, id, 0.75f, 1);     // wand
    parts[7].Box(hand + V3{0, 3, 0}, {0.35f, 3, 0.35f}, id, 0, 0.25f);         // hammer
    parts[7].Box(hand + V3{0, 6.5f, 0}, {1.5f, 1, 1}, id, 0.5f, 0.75f);

    podwriter::Scene s;
    for (int i = 0; i < 8; ++i) {
        s.meshes.push_back(parts[i].Write(Layout::Static));
        s.nodes.push_back(MeshNode(i, cm::kWeaponNodes[i], 0));
    }
    s.meshNodeCount = 8;
    s.textures = {"weapons.png"};
    s.materials = {{"weapons", 0, -1}};
    out.Write(MeshPath(cm::kWeaponsMesh), podwriter::WritePod(s));
}

// ---- skinned humanoids ----

enum Bone { kHips, kSpine, kHead, kRightArm, kRightForeArm, kLeftArm, kLeftForeArm, kRightLeg, kLeftLeg, kBoneCount };
const int kParent[kBoneCount] = {-1, kHips, kSpine, kSpine, kRightArm, kSpine, kLeftArm, kHips, kHips};
const V3 kOffset[kBoneCount] = {{0, 0, 10},    {0, 0, 2},  {0, 0, 8},    {3.6f, 0, 7}, {0, 0, -4},
                                {-3.6f, 0, 7}, {0, 0, -4}, {1.4f, 0, 0}, {-1.4f, 0, 0}};

// Joint angles of one frame: pitch (about x, positive swings forward) and roll
// (about y) per bone, plus the hips' drop and fall.
struct Pose {
    float pitch[kBoneCount] = {};
    float roll[kBoneCount] = {};
    float drop = 0;
};

Pose PoseAt(int frame) {
    const float pi = 3.14159265f;
    Pose p;
    for (const cm::Clip& clip : cm::kHumanoidClips) {
        if (frame < clip.first || frame >= clip.last) continue;
        const float u = float(frame - clip.first) / float(clip.last - clip.first);
        const float wave = std::sin(2 * pi * u), arc = std::sin(pi * u);
        const std::string name = clip.name;
        if (name == "idle") {
            p.pitch[kSpine] = 3 * wave;
            p.pitch[kHead] = -2 * wave;
        } else if (name == "walk") {
            p.pitch[kRightLeg] = 30 * wave;
            p.pitch[kLeftLeg] = -30 * wave;
            p.pitch[kRightArm] = -20 * wave;
            p.pitch[kLeftArm] = 20 * wave;
            p.pitch[kRightForeArm] = p.pitch[kLeftForeArm] = 15;
            p.drop = 0.5f * std::fabs(wave);
        } else if (name == "death") {
            const float fall = std::min(1.0f, u * 1.5f);
            p.pitch[kHips] = -85 * fall;  // falls on its back
            p.drop = 8 * fall;
            p.roll[kRightArm] = 40 * fall;
            p.roll[kLeftArm] = -40 * fall;
        } else if (name == "strike_1") {
            p.pitch[kRightArm] = 100 * arc;
            p.pitch[kRightForeArm] = 40 * arc;
            p.pitch[kSpine] = 10 * arc;
        } else if (name == "strike_2") {
            p.pitch[kRightArm] = 70;
            p.roll[kRightArm] = 60 * std::cos(pi * u);
            p.pitch[kSpine] = 5 * arc;
        } else if (name == "bow_shoot") {
            p.pitch[kLeftArm] = 90;
            p.pitch[kRightArm] = 85;
            p.pitch[kRightForeArm] = 60 * arc;
        } else if (name == "castsmall") {
            p.pitch[kRightArm] = 130 * arc;
            p.pitch[kRightForeArm] = 20 * arc;
        } else if (name == "castbig") {
            p.pitch[kRightArm] = p.pitch[kLeftArm] = 160 * arc;
            p.pitch[kSpine] = -10 * arc;
        }
    }
    return p;
}

// Local matrix of a bone: rotate about the joint, then place it in the parent.
M4 BoneLocal(int bone, const Pose& pose, float scale) {
    V3 offset = kOffset[bone] * scale;
    if (bone == kHips) offset.z -= pose.drop * scale;
    return Mul(Mul(RotY(pose.roll[bone]), RotX(pose.pitch[bone])), Translation(offset));
}

void BoneWorlds(const Pose& pose, float scale, M4 (&world)[kBoneCount]) {
    for (int b = 0; b < kBoneCount; ++b) {
        const M4 local = BoneLocal(b, pose, scale);
        world[b] = kParent[b] < 0 ? local : Mul(local, world[kParent[b]]);
    }
}

// Body parts in their bone's space, each on its own texture band.
void AddBody(MeshBuilder& b, const cm::Humanoid& h, const M4 (&rest)[kBoneCount]) {
    const float s = h.scale;
    const float band = 1.0f / cm::kPartCount;
    auto part = [&](int bone, V3 centre, V3 half, int k) {
        b.Box(centre * s, half * s, rest[bone], band * float(k), band * float(k + 1), uint8_t(bone));
    };
    part(kHips, {0, 0, 0.6f}, {2.3f, 1.3f, 1.4f}, 0);
    part(kSpine, {0, 0, 3.6f}, {2.8f, 1.6f, 3.6f}, 1);
    part(kHead, {0, 0, 1.9f}, {1.5f, 1.5f, 1.9f}, 2);
    part(kHead, {0, 1.6f, 2.0f}, {0.35f, 0.4f, 0.5f}, 3);  // the nose shows where it faces
    part(kRightArm, {0, 0, -2}, {0.8f, 0.8f, 2}, 4);
    part(kLeftArm, {0, 0, -2}, {0.8f, 0.8f, 2}, 4);
    part(kRightForeArm, {0, 0, -2.2f}, {0.7f, 0.7f, 2.2f}, 5);
    part(kLeftForeArm, {0, 0, -2.2f}, {0.7f, 0.7f, 2.2f}, 5);
    part(kRightLeg, {0, 0, -5}, {1, 1.1f, 5}, 6);
    part(kLeftLeg, {0, 0, -5}, {1, 1.1f, 5}, 6);
    switch (h.hat) {
        case 1:  // pointed hood
            part(kHead, {0, 0, 4.2f}, {1.2f, 1.2f, 0.8f}, 7);
            part(kHead, {0, 0, 5.4f}, {0.6f, 0.6f, 0.6f}, 7);
            break;
        case 2:  // helmet
            part(kHead, {0, 0, 3.5f}, {1.8f, 1.8f, 0.6f}, 7);
            break;
        case 3:  // crown
            for (int i = 0; i < 4; ++i)
                part(kHead, {(i & 1) ? 1.2f : -1.2f, (i & 2) ? 1.2f : -1.2f, 4.2f}, {0.4f, 0.4f, 0.6f}, 7);
            break;
        default: break;
    }
}

void WriteHumanoid(const databuilder::Output& out, const cm::Humanoid& h) {
    const M4 bake = BakeMatrix(45);
    M4 rest[kBoneCount];
    BoneWorlds(Pose(), h.scale, rest);

    MeshBuilder body;
    AddBody(body, h, rest);
    // Skinned bounds per frame: a vertex bound to bone k at frame f sits at
    // local x world_k(f) x bake; keep the bone-local points to move them.
    std::vector<V3> local(body.vertices.size());
    {
        M4 inverse[kBoneCount];
        for (int b = 0; b < kBoneCount; ++b) {
            // rest worlds are rotation-free here: undo the translation
            inverse[b] = Translation({-rest[b].m[12], -rest[b].m[13], -rest[b].m[14]});
        }
        for (size_t i = 0; i < body.vertices.size(); ++i)
            local[i] = Point(body.vertices[i].p, inverse[body.vertices[i].bone]);
    }
    body.Bake(bake);

    podwriter::Scene s;
    s.frames = cm::kHumanoidFrameCount;
    podwriter::Mesh mesh = body.Write(Layout::Skinned);
    for (int b = 0; b < kBoneCount; ++b) mesh.batches.push_back(uint32_t(2 + b));  // palette entry b is node 2 + b
    mesh.batchBoneCounts = {kBoneCount};
    mesh.batchOffsets = {0};
    mesh.batchBoneMax = kBoneCount;
    s.meshes = {mesh};
    s.meshNodeCount = 1;
    s.textures = {h.texture};
    s.materials = {{h.id, 0, -1}};

    s.nodes.push_back(MeshNode(0, cm::kHumanoidNodes[0], 0));
    podwriter::Node armature;
    armature.name = cm::kHumanoidNodes[1];
    armature.matrix = MatrixFloats(bake);
    s.nodes.push_back(armature);
    std::vector<podwriter::Node> bones(kBoneCount);
    for (int b = 0; b < kBoneCount; ++b) {
        bones[b].name = cm::kHumanoidNodes[2 + b];
        bones[b].parent = kParent[b] < 0 ? 1 : 2 + kParent[b];
        bones[b].animFlags = 8;
    }

    podwriter::Box modelBox{};
    std::vector<podwriter::Box> boxes;
    std::vector<podwriter::Sphere> spheres;
    V3 allMin{1e9f, 1e9f, 1e9f}, allMax{-1e9f, -1e9f, -1e9f};
    for (int f = 0; f < cm::kHumanoidFrameCount; ++f) {
        const Pose pose = PoseAt(f);
        M4 world[kBoneCount];
        BoneWorlds(pose, h.scale, world);
        for (int b = 0; b < kBoneCount; ++b) {
            const std::vector<float> m = MatrixFloats(BoneLocal(b, pose, h.scale));
            bones[b].matrix.insert(bones[b].matrix.end(), m.begin(), m.end());
        }
        V3 mn{1e9f, 1e9f, 1e9f}, mx{-1e9f, -1e9f, -1e9f};
        for (size_t i = 0; i < local.size(); ++i) {
            const V3 p = Point(Point(local[i], world[body.vertices[i].bone]), bake);
            mn = {std::min(mn.x, p.x), std::min(mn.y, p.y), std::min(mn.z, p.z)};
            mx = {std::max(mx.x, p.x), std::max(mx.y, p.y), std::max(mx.z, p.z)};
        }
        podwriter::Box box;
        for (int c = 0; c < 8; ++c) {
            box.corners[c][0] = (c & 4) ? mx.x : mn.x;
            box.corners[c][1] = (c & 2) ? mx.y : mn.y;
            box.corners[c][2] = (c & 1) ? mx.z : mn.z;
        }
        boxes.push_back(box);
        const V3 centre = (mn + mx) * 0.5f;
        const V3 d = mx - mn;
        spheres.push_back({centre.x, centre.y, centre.z, 0.5f * std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z)});
        allMin = {std::min(allMin.x, mn.x), std::min(allMin.y, mn.y), std::min(allMin.z, mn.z)};
        allMax = {std::max(allMax.x, mx.x), std::max(allMax.y, mx.y), std::max(allMax.z, mx.z)};
    }
    for (int c = 0; c < 8; ++c) {
        modelBox.corners[c][0] = (c & 4) ? allMax.x : allMin.x;
        modelBox.corners[c][1] = (c & 2) ? allMax.y : allMin.y;
        modelBox.corners[c][2] = (c & 1) ? allMax.z : allMin.z;
    }
    s.nodes.insert(s.nodes.end(), bones.begin(), bones.end());

    out.Write(MeshPath(h.mesh), podwriter::WritePod(s));
    std::string bvh = h.mesh;
    bvh.replace(bvh.rfind('.'), 4, ".bvh");
    out.Write(MeshPath(bvh.c_str()), podwriter::WriteBvh(modelBox, boxes, spheres));
}

}  // namespace

DATABUILDER_WRITER(models, 40) {
    WriteMap(out, true);
    WriteMap(out, false);
    WriteScenery(out);
    WriteMissiles(out);
    WriteWeapons(out);
    for (const cm::Humanoid& h : cm::kDefenders) WriteHumanoid(out, h);
    WriteHumanoid(out, cm::kKeeper);
    for (const cm::Humanoid& h : cm::kAttackers) WriteHumanoid(out, h);
    WriteHumanoid(out, cm::kHero);
}
