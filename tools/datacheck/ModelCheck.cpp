// Every sample model through the POD reader: meshes, nodes, frames, bones and
// bounds; skinned models also need their ".bvh" with a matching frame count and
// the two forearm bones the weapons hang on.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Classes/Dictionary/Config/Config.h"
#include "Core/Service.h"
#include "Graphics/Model/PodModel.h"
#include "IO/File.h"
#include "tools/catalogue/Models.h"
#include "tools/datacheck/Check.h"

namespace {

namespace cm = catalogue::models;

bool HasNode(const CPodScene& scene, const char* name) {
    for (const PodNode& node : scene.pNode)
        if (node.name == name) return true;
    return false;
}

void CheckModel(datacheck::Report& report, const std::string& folder, const std::string& file) {
    const std::string path = folder + file;
    std::vector<uint8_t> bytes;
    if (!IO::ReadWholeFile(path, bytes)) {
        report.Fail("%s is missing", path.c_str());
        return;
    }
    CPodScene scene;
    if (scene.ReadFromMemory(bytes.data(), bytes.size()) != 0) {
        report.Fail("%s: not a readable model", path.c_str());
        return;
    }
    float mn[3] = {1e30f, 1e30f, 1e30f}, mx[3] = {-1e30f, -1e30f, -1e30f};
    uint32_t triangles = 0, bones = 0;
    for (const PodMesh& mesh : scene.pMesh) {
        triangles += mesh.nNumFaces;
        for (uint32_t b = 0; b < mesh.nBatchCnt; ++b) bones += mesh.pnBatchBoneCnt[b];
        const uint8_t* p = PodDataPointer(mesh, mesh.sVertex);
        const uint32_t stride = mesh.sVertex.bInterleaved ? mesh.sVertex.nStride : 12;
        for (uint32_t v = 0; p != nullptr && v < mesh.nNumVertex; ++v) {
            float xyz[3];
            std::memcpy(xyz, p + size_t(v) * stride, sizeof xyz);
            for (int c = 0; c < 3; ++c) {
                mn[c] = std::min(mn[c], xyz[c]);
                mx[c] = std::max(mx[c], xyz[c]);
            }
        }
    }
    report.Line("%s: %u meshes, %u nodes, %u frames, %u bones, %u triangles, bounds (%.1f %.1f %.1f)-(%.1f %.1f %.1f)",
                file.c_str(), scene.nNumMesh, scene.nNumNode, scene.nNumFrame, bones, triangles, mn[0], mn[1], mn[2],
                mx[0], mx[1], mx[2]);
    if (scene.nNumMesh == 0 || scene.pMesh[0].pInterleaved.empty())
        report.Fail("%s: no interleaved vertex data", path.c_str());
    if (scene.nNumMesh == 0 || scene.pMesh[0].sBoneWeight.n == 0) return;

    if (!HasNode(scene, cm::kRightForeArm) || !HasNode(scene, cm::kLeftForeArm))
        report.Fail("%s: no forearm bones", path.c_str());
    std::string bvh = path;
    bvh.replace(bvh.rfind('.'), 4, ".bvh");
    std::vector<uint8_t> bounds;
    uint32_t frames = 0;
    if (!IO::ReadWholeFile(bvh, bounds) || bounds.size() < 130 || std::memcmp(bounds.data(), "BM.BVH.1.0", 10) != 0) {
        report.Fail("%s is missing or not a bounds file", bvh.c_str());
        return;
    }
    std::memcpy(&frames, bounds.data() + 14, 4);
    if (frames != scene.nNumFrame || bounds.size() != 130 + 112 * size_t(frames))
        report.Fail("%s: %u frames for a model of %u", bvh.c_str(), frames, scene.nNumFrame);
}

}  // namespace

DATACHECK(models, 40) {
    if (!Service<Config>::Exists()) {
        report.Fail("no configuration");
        return;
    }
    const std::string folder = Service<Config>::Get()->Paths.MeshesPath;
    std::vector<std::string> files = {cm::kMapMesh, cm::kMapMeshPlain, cm::kWeaponsMesh};
    files.insert(files.end(), std::begin(cm::kScenery), std::end(cm::kScenery));
    files.insert(files.end(), std::begin(cm::kMissiles), std::end(cm::kMissiles));
    for (const cm::Humanoid& h : cm::kDefenders) files.push_back(h.mesh);
    files.push_back(cm::kKeeper.mesh);
    for (const cm::Humanoid& h : cm::kAttackers) files.push_back(h.mesh);
    files.push_back(cm::kHero.mesh);
    for (const std::string& file : files) CheckModel(report, folder, file);
}
