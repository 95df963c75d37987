#include "particles/ParticleBatch.h"

#include <algorithm>
#include <cmath>

#include "particles/CSEntityObject.h"
#include "particles/ParticleDevice.h"
#include "particles/ParticleMatrixStack.h"

namespace {

CSArray<ParticleBatch*> g_batches;

Graphics::ParticleQuadVertex g_triangle[3];
int32_t g_triangleFill = 0;

uint32_t Channel(float value) { return static_cast<uint32_t>(std::min(std::max(value, 0.0f), 255.0f)); }

uint32_t SortKey(const ParticleBatch& batch) {
    if (!batch.m_bActive) return 0xFFFFFFFFu;
    return static_cast<uint32_t>(batch.m_nSortKey) * 256u + (batch.m_bAlphaBlended ? 0u : 1u);
}

struct Point3 {
    float x, y, z;
};

Point3 Cross(const Point3& a, const Point3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float LengthSquared(const Point3& a) { return a.x * a.x + a.y * a.y + a.z * a.z; }

// The unit vector across the segment from top to bottom as seen from the eye;
// for a segment pointing at the eye any direction across it will do.
Point3 AcrossSegment(const CSVector4& top, const CSVector4& bottom) {
    const Point3 along{bottom.x - top.x, bottom.y - top.y, bottom.z - top.z};
    const float* eye = ParticleMatrixStack::g_State.m_afCameraPos;
    const Point3 toEye{eye[0] - (top.x + bottom.x) * 0.5f, eye[1] - (top.y + bottom.y) * 0.5f,
                       eye[2] - (top.z + bottom.z) * 0.5f};
    for (const Point3& other : {toEye, Point3{0.0f, 0.0f, 1.0f}, Point3{1.0f, 0.0f, 0.0f}}) {
        const Point3 across = Cross(along, other);
        const float length = LengthSquared(across);
        if (length > 1e-12f) {
            const float scale = 1.0f / std::sqrt(length);
            return {across.x * scale, across.y * scale, across.z * scale};
        }
    }
    return {1.0f, 0.0f, 0.0f};
}

}  // namespace

CSArray<ParticleBatch*>& ParticleBatches() { return g_batches; }

ParticleBatch* GetParticleBatch(CSTexture* texture, bool alphaBlended, bool wrap, int32_t sortKey) {
    ParticleBatch* batch = nullptr;
    for (uint32_t i = 0; i < g_batches.GetCount() && batch == nullptr; ++i) {
        ParticleBatch* candidate = g_batches[i];
        if (!candidate->m_bActive) {
            batch = candidate;
            batch->m_arrVertices.Reset();
        } else if (candidate->m_pTexture == texture && (candidate->m_bAlphaBlended != 0) == alphaBlended &&
                   (candidate->m_bWrap != 0) == wrap && candidate->m_nSortKey == sortKey) {
            return candidate;
        }
    }
    if (batch == nullptr) {
        batch = new ParticleBatch;
        g_batches.Append(batch);
    }
    batch->m_pTexture = texture;
    batch->m_bAlphaBlended = alphaBlended ? 1 : 0;
    batch->m_bWrap = wrap ? 1 : 0;
    batch->m_nSortKey = sortKey;
    batch->m_bActive = 1;
    return batch;
}

uint32_t PackParticleColour(const CSVector4& rgba, bool alphaBlended) {
    const float r = std::min(std::max(rgba.x, 0.0f), 255.0f), g = std::min(std::max(rgba.y, 0.0f), 255.0f),
                b = std::min(std::max(rgba.z, 0.0f), 255.0f), a = std::min(std::max(rgba.w, 0.0f), 255.0f);
    if (alphaBlended) return Channel(a) << 24 | Channel(r) << 16 | Channel(g) << 8 | Channel(b);
    return Channel(r * a / 255.0f) << 16 | Channel(g * a / 255.0f) << 8 | Channel(b * a / 255.0f);
}

void AddParticleQuad(CSTexture* texture, const CSVector4 corners[4], const CSVector4& colourA, const CSVector4& colourB,
                     const float uvs[8], bool alphaBlended, bool wrap, int32_t sortKey) {
    ParticleBatch* batch = GetParticleBatch(texture, alphaBlended, wrap, sortKey);
    const uint32_t a = PackParticleColour(colourA, alphaBlended), b = PackParticleColour(colourB, alphaBlended);
    CSVector4 placed[4] = {corners[0], corners[1], corners[2], corners[3]};
    if (std::fabs(corners[0].w) > 0.02f) {
        const Point3 across = AcrossSegment(corners[0], corners[1]);
        for (CSVector4& corner : placed) {
            corner = CSVector4(corner.x + across.x * corner.w, corner.y + across.y * corner.w,
                               corner.z + across.z * corner.w, 0.01f);
        }
    }
    auto append = [&](int corner, uint32_t colour) {
        const CSVector4& p = placed[corner];
        batch->m_arrVertices.Append({p.x, p.y, p.z, p.w, colour, uvs[2 * corner], uvs[2 * corner + 1]});
    };
    append(0, a);
    append(2, a);
    append(1, b);
    append(3, b);
}

void ParticlesBeginFrame() {
    ClearParticleObjectDraws();
    for (uint32_t i = 0; i < g_batches.GetCount(); ++i) {
        ParticleBatch& batch = *g_batches[i];
        CSArray<Graphics::ParticleQuadVertex>& vertices = batch.m_arrVertices;
        const bool wellUsed = batch.m_bActive && uint64_t(vertices.GetCount()) * 4 >= vertices.GetCapacity();
        if (vertices.GetCapacity() > kParticleBatchKeptVertices && !wellUsed) vertices.Free();
        else vertices.Reset();
        batch.m_pTexture = nullptr;
        batch.m_bAlphaBlended = 1;
        batch.m_bWrap = 1;
        batch.m_nSortKey = 0;
        batch.m_bActive = 0;
    }
}

void ParticlesFlush() {
    const uint32_t count = g_batches.GetCount();
    if (count == 0) return;
    // Bubble sort: equal keys keep their order.
    for (uint32_t pass = 0; pass < count && count > 1; ++pass) {
        bool swapped = false;
        for (uint32_t i = 0; i + 1 < count; ++i) {
            if (SortKey(*g_batches[i]) > SortKey(*g_batches[i + 1])) {
                std::swap(g_batches[i], g_batches[i + 1]);
                swapped = true;
            }
        }
        if (!swapped) break;
    }
    for (uint32_t i = 0; i < count && g_batches[i]->m_bActive; ++i) DrawParticleBatch(*g_batches[i]);
}

void DrawParticleBatch(const ParticleBatch& batch) {
    if (!batch.m_bActive) return;
    DrawParticleQuads(batch.m_arrVertices.GetData(), batch.m_pTexture, batch.m_arrVertices.GetCount() / 4,
                      !batch.m_bAlphaBlended, !batch.m_bWrap);
}

void ReleaseParticleBatches() {
    for (uint32_t i = 0; i < g_batches.GetCount(); ++i) delete g_batches[i];
    g_batches.Free();
}

void AddParticleTriangleVertex(const Graphics::ParticleQuadVertex& vertex, CSTexture* texture, bool additive,
                               bool clamp) {
    g_triangle[g_triangleFill++] = vertex;
    if (g_triangleFill < 3) return;
    DrawParticleTriangles(g_triangle, texture, additive, clamp);
    g_triangleFill = 0;
}

void DrawParticleTriangles(const Graphics::ParticleQuadVertex* /*triangle*/, CSTexture* /*texture*/, bool /*additive*/,
                           bool /*clamp*/) {}

bool MayDrawEmitterSet(const CParticlesEmiter& /*effect*/) { return true; }
bool MayDrawEmitter(const CParticlesEmiter& /*effect*/, const CEmiter& /*emitter*/) { return true; }
bool MayEmitLights(const CParticlesEmiter& /*effect*/, const CEmiter& /*emitter*/) { return true; }

CSTexture* ConvertParticleTexture(CSTexture* texture) { return texture; }
uint32_t ConvertParticleColour(uint32_t colour) { return colour; }
CSVector4 ConvertParticlePosition(const CSVector4& position) { return position; }
