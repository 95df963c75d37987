// Feeds arbitrary bytes to the POD reader; a scene that reads is also asked
// for its world and bone matrices at a few frames.
#include <cstddef>
#include <cstdint>

#include "Graphics/Model/PodModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CPodScene scene;
    if (scene.ReadFromMemory(data, size) != 0) return 0;
    const float frames[] = {0.0f, 0.5f, 1.0f, float(scene.nNumFrame), -1.0f};
    for (float frame : frames) {
        scene.SetFrame(frame);
        for (uint32_t node = 0; node < scene.nNumNode && node < 64; ++node) {
            Matrix4 m;
            scene.GetWorldMatrix(m, node);
            scene.GetBoneWorldMatrix(m, 0, node);
        }
    }
    for (const PodMesh& mesh : scene.pMesh) (void)PodMeshIndexCount(mesh);
    return 0;
}
