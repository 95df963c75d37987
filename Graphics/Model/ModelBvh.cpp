#include "Graphics/Model/ModelBvh.h"

#include <cstring>

namespace Graphics {

namespace {
const size_t kHeaderSize = 130;
const size_t kBytesPerFrame = sizeof(BoundingBox) + 4 * sizeof(float);
}  // namespace

int ModelBvh::ReadFromMemory(const uint8_t* data, size_t size) {
    Free();
    if (data == nullptr || size < kHeaderSize || std::memcmp(data, "BM.BVH.1.0", 10) != 0) return 1;
    uint32_t frames;
    std::memcpy(&frames, data + 14, 4);
    if ((size - kHeaderSize) / kBytesPerFrame < frames) return 1;
    std::memcpy(&header, data + 10, 4);
    frame_count = frames;
    std::memcpy(&box, data + 18, sizeof box);
    std::memcpy(reserved, data + 114, sizeof reserved);
    boxes.resize(frames);
    spheres.resize(frames);
    const uint8_t* p = data + kHeaderSize;
    for (uint32_t f = 0; f < frames; ++f, p += sizeof(BoundingBox)) std::memcpy(&boxes[f], p, sizeof(BoundingBox));
    for (uint32_t f = 0; f < frames; ++f, p += 4 * sizeof(float)) {
        float s[4];
        std::memcpy(s, p, sizeof s);
        spheres[f].center = Vector3(s[0], s[1], s[2]);
        spheres[f].radius = s[3];
    }
    return 0;
}

void ModelBvh::Free() {
    boxes.clear();
    spheres.clear();
    frame_count = 0;
}

}  // namespace Graphics
