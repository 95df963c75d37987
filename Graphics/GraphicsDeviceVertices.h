#pragma once
// The vertex layouts of the graphics device's seven vertex declarations.
#include <cstdint>

namespace Graphics {

// Pre-transformed: x, y in back-buffer pixels, z and rhw 1.
struct ScreenVertex {
    float x, y, z, rhw;
    float u, v;
};

struct LineVertex {
    float x, y, z;
    uint32_t color;  // D3DCOLOR, A8R8G8B8
};

// w: 0.01, or a line quad's signed half width.
struct ParticleQuadVertex {
    float x, y, z, w;
    uint32_t color;
    float u, v;
};

struct BlobShadowVertex {
    float x, y, z;
    float u, v;
};

struct ModelVertex {
    float position[3];
    float normal[3];
    float tangent[3];
    float binormal[3];
    float uv[2];
};

struct ModelVertexLM {
    float position[3];
    float normal[3];
    float tangent[3];
    float binormal[3];
    float uv[2];
    float lightMapUv[2];
};

struct SkinnedModelVertex {
    float position[3];
    float normal[3];
    float tangent[3];
    float binormal[3];
    float uv[2];
    float blendWeights[2];
    uint8_t blendIndices[4];
};

static_assert(sizeof(ScreenVertex) == 24, "ScreenVertex is 24 bytes");
static_assert(sizeof(LineVertex) == 16, "LineVertex is 16 bytes");
static_assert(sizeof(ParticleQuadVertex) == 28, "ParticleQuadVertex is 28 bytes");
static_assert(sizeof(BlobShadowVertex) == 20, "BlobShadowVertex is 20 bytes");
static_assert(sizeof(ModelVertex) == 56, "ModelVertex is 56 bytes");
static_assert(sizeof(ModelVertexLM) == 64, "ModelVertexLM is 64 bytes");
static_assert(sizeof(SkinnedModelVertex) == 68, "SkinnedModelVertex is 68 bytes");

}  // namespace Graphics
