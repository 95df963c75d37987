#pragma once
// The ".bvh" companion of a skinned model ("BM.BVH.1.0"): the model's box and
// one box and one sphere per animation frame.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Maths/BoundingBox.h"
#include "Maths/BoundingSphere.h"

namespace Graphics {

struct ModelBvh {
    int32_t header = 0;  // stored only
    uint32_t frame_count = 0;
    BoundingBox box;
    uint32_t reserved[4] = {0, 0, 0, 0};  // stored only
    std::vector<BoundingBox> boxes;       // one per frame
    std::vector<BoundingSphere> spheres;  // one per frame

    // 0 on success, 1 for null data, another magic or a file shorter than
    // 130 + 112 x frames bytes.
    int ReadFromMemory(const uint8_t* data, size_t size);
    void Free();
};

}  // namespace Graphics
