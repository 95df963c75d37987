// Any bytes as a model's bounding-volume file (".bvh").
#include "Graphics/Model/ModelBvh.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Graphics::ModelBvh bvh;
    if (bvh.ReadFromMemory(data, size) == 0) {
        float sum = 0.0f;
        for (uint32_t i = 0; i < bvh.frame_count; ++i) sum += bvh.spheres.at(i).center.x + bvh.boxes.at(i).corners[7].x;
        (void)sum;
    }
    bvh.Free();
    return 0;
}
