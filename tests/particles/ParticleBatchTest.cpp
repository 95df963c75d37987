// The particle vertex batches without a device: which batch a quad lands in,
// how its vertices and colours are stored, the sort before the draw and the
// memory rule at the start of a frame.
#include "particles/ParticleBatch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "particles/ParticleDevice.h"
#include "particles/ParticleMatrixStack.h"

namespace {

CSTexture* const kFire = reinterpret_cast<CSTexture*>(0x1000);
CSTexture* const kSmoke = reinterpret_cast<CSTexture*>(0x2000);

const CSVector4 kCorners[4] = {{0, 0, 1, 0.01f}, {0, 0, 0, 0.01f}, {1, 0, 1, 0.01f}, {1, 0, 0, 0.01f}};
const float kUvs[8] = {0.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f};
const CSVector4 kWhite(255, 255, 255, 255);

void Quad(CSTexture* texture, bool alphaBlended, int32_t sortKey, bool wrap = true) {
    AddParticleQuad(texture, kCorners, kWhite, kWhite, kUvs, alphaBlended, wrap, sortKey);
}

class ParticleBatchTest : public ::testing::Test {
protected:
    void SetUp() override { ReleaseParticleBatches(); }
    void TearDown() override { ReleaseParticleBatches(); }

    static std::vector<ParticleBatch*> Batches() {
        std::vector<ParticleBatch*> list;
        for (uint32_t i = 0; i < ParticleBatches().GetCount(); ++i) list.push_back(ParticleBatches()[i]);
        return list;
    }
};

TEST_F(ParticleBatchTest, OneBatchPerKeyAndTheFirstInactiveIsTaken) {
    Quad(kFire, true, 0);
    Quad(kFire, true, 0);
    ASSERT_EQ(ParticleBatches().GetCount(), 1u);
    EXPECT_EQ(ParticleBatches()[0]->m_arrVertices.GetCount(), 8u);
    // Each key field alone makes a batch of its own.
    Quad(kFire, true, 1);
    Quad(kSmoke, true, 0);
    Quad(kFire, false, 0);
    Quad(kFire, true, 0, false);
    ASSERT_EQ(ParticleBatches().GetCount(), 5u);
    const ParticleBatch& last = *ParticleBatches()[4];
    EXPECT_EQ(last.m_pTexture, kFire);
    EXPECT_EQ(last.m_bWrap, 0);
    EXPECT_EQ(last.m_arrVertices.GetCount(), 4u);

    // A new frame: every batch inactive with the default key, kept for reuse;
    // the first request takes the front batch whatever its last key was.
    const std::vector<ParticleBatch*> before = Batches();
    ParticlesBeginFrame();
    for (ParticleBatch* batch : Batches()) {
        EXPECT_EQ(batch->m_bActive, 0);
        EXPECT_EQ(batch->m_pTexture, nullptr);
        EXPECT_EQ(batch->m_bAlphaBlended, 1);
        EXPECT_EQ(batch->m_nSortKey, 0);
        EXPECT_EQ(batch->m_arrVertices.GetCount(), 0u);
    }
    Quad(kSmoke, false, 7);
    Quad(kFire, true, 0);
    EXPECT_EQ(Batches(), before);
    EXPECT_EQ(ParticleBatches()[0]->m_pTexture, kSmoke);
    EXPECT_EQ(ParticleBatches()[0]->m_nSortKey, 7);
    EXPECT_EQ(ParticleBatches()[1]->m_pTexture, kFire);
    EXPECT_EQ(ParticleBatches()[2]->m_bActive, 0);
}

TEST_F(ParticleBatchTest, VerticesAreCorners0213WithTheirColoursAndUvs) {
    const CSVector4 a(255, 128, 0, 128), b(10, 20, 30, 255);
    AddParticleQuad(kFire, kCorners, a, b, kUvs, true, true, 0);
    const CSArray<Graphics::ParticleQuadVertex>& v = ParticleBatches()[0]->m_arrVertices;
    ASSERT_EQ(v.GetCount(), 4u);
    const int corner[4] = {0, 2, 1, 3};
    const uint32_t colour[4] = {0x80FF8000u, 0x80FF8000u, 0xFF0A141Eu, 0xFF0A141Eu};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(v[i].x, kCorners[corner[i]].x);
        EXPECT_EQ(v[i].z, kCorners[corner[i]].z);
        EXPECT_EQ(v[i].w, 0.01f);
        EXPECT_EQ(v[i].color, colour[i]);
        EXPECT_EQ(v[i].u, kUvs[2 * corner[i]]);
        EXPECT_EQ(v[i].v, kUvs[2 * corner[i] + 1]);
    }
}

TEST_F(ParticleBatchTest, ColoursPackClampedToTheirByte) {
    const struct {
        CSVector4 rgba;
        bool alphaBlended;
        uint32_t packed;
    } cases[] = {
        {{255, 128, 0, 128}, false, 0x00804000u},    // additive: the alpha is in the colour
        {{255, 128, 0, 128}, true, 0x80FF8000u},     // alpha-blended: A8R8G8B8
        {{127.9f, 0.9f, 1.5f, 255}, true, 0xFF7F0001u},  // truncated
        {{300, -20, 128, 400}, true, 0xFFFF0080u},   // rows above 1 or below 0 stay in their byte
        {{300, 100, -5, 510}, false, 0x00FF6400u},
        {{255, 255, 255, -3}, false, 0x00000000u},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PackParticleColour(c.rgba, c.alphaBlended), c.packed)
            << c.rgba.x << " " << c.rgba.y << " " << c.rgba.z << " " << c.rgba.w << (c.alphaBlended ? " blended" : "");
    }
}

TEST_F(ParticleBatchTest, FlushSortsByKeyAlphaBlendedFirstInactiveLast) {
    Quad(kFire, false, 2);  // 2 additive
    Quad(kFire, true, 2);   // 2 alpha-blended
    Quad(kSmoke, false, 1);  // 1 additive
    Quad(kSmoke, true, 5);
    ParticlesFlush();
    std::vector<std::pair<int32_t, int>> order;
    for (ParticleBatch* batch : Batches()) order.push_back({batch->m_nSortKey, batch->m_bAlphaBlended});
    EXPECT_EQ(order, (std::vector<std::pair<int32_t, int>>{{1, 0}, {2, 1}, {2, 0}, {5, 1}}));

    // Next frame fewer batches are active: the inactive ones sort behind them.
    ParticlesBeginFrame();
    Quad(kFire, false, 3);
    Quad(kFire, true, 3);
    ParticlesFlush();
    const std::vector<ParticleBatch*> batches = Batches();
    EXPECT_EQ(batches[0]->m_bAlphaBlended, 1);
    EXPECT_EQ(batches[1]->m_bAlphaBlended, 0);
    EXPECT_EQ(batches[2]->m_bActive, 0);
    EXPECT_EQ(batches[3]->m_bActive, 0);

    // An empty frame: nothing active, nothing to draw, nothing lost.
    ParticlesBeginFrame();
    ParticlesFlush();
    EXPECT_EQ(Batches().size(), 4u);
}

TEST_F(ParticleBatchTest, LargeVertexMemoryIsKeptOnlyWhenAQuarterWasUsed) {
    const struct {
        uint32_t capacity;
        uint32_t held;
        bool active;
        bool kept;
    } cases[] = {
        {40000, 12000, true, true},    // at least a quarter
        {40000, 10000, true, true},    // exactly a quarter
        {40000, 9000, true, false},    // below a quarter
        {40000, 12000, false, false},  // not used last frame
        {32768, 0, false, true},       // not above the limit
    };
    for (const auto& c : cases) {
        ReleaseParticleBatches();
        ParticleBatch* batch = GetParticleBatch(kFire, true, true, 0);
        batch->m_arrVertices.Reserve(c.capacity);
        batch->m_arrVertices.ResizeZeroed(c.held);
        batch->m_bActive = c.active ? 1 : 0;
        ParticlesBeginFrame();
        EXPECT_EQ(batch->m_arrVertices.GetCapacity(), c.kept ? c.capacity : 0u)
            << c.capacity << " " << c.held << (c.active ? " active" : " inactive");
        EXPECT_EQ(batch->m_arrVertices.GetCount(), 0u);
    }
}

TEST_F(ParticleBatchTest, LineQuadsWidenAcrossTheSegmentAsTheCameraSeesIt) {
    // Looking along +y from (0, -10, 0): a vertical segment widens along x,
    // one running along x widens along z; one pointing at the eye still gets
    // a band across it.
    float* eye = ParticleMatrixStack::g_State.m_afCameraPos;
    eye[0] = 0.0f;
    eye[1] = -10.0f;
    eye[2] = 0.0f;
    const struct {
        CSVector4 top, bottom;
    } segments[] = {
        {{0, 0, 1, 0}, {0, 0, -1, 0}},
        {{-1, 0, 0, 0}, {1, 0, 0, 0}},
        {{0, -2, 0, 0}, {0, 2, 0, 0}},
    };
    const float hw = 0.25f;
    for (const auto& s : segments) {
        ReleaseParticleBatches();
        const CSVector4 corners[4] = {{s.top.x, s.top.y, s.top.z, -hw},
                                      {s.bottom.x, s.bottom.y, s.bottom.z, -hw},
                                      {s.top.x, s.top.y, s.top.z, hw},
                                      {s.bottom.x, s.bottom.y, s.bottom.z, hw}};
        AddParticleQuad(kFire, corners, kWhite, kWhite, kUvs, true, true, 0);
        const CSArray<Graphics::ParticleQuadVertex>& v = ParticleBatches()[0]->m_arrVertices;
        ASSERT_EQ(v.GetCount(), 4u);
        // Stored 0, 2, 1, 3: v[0] and v[1] straddle the top, v[2] and v[3] the bottom.
        const float across[3] = {v[1].x - v[0].x, v[1].y - v[0].y, v[1].z - v[0].z};
        const float along[3] = {s.bottom.x - s.top.x, s.bottom.y - s.top.y, s.bottom.z - s.top.z};
        EXPECT_NEAR(std::sqrt(across[0] * across[0] + across[1] * across[1] + across[2] * across[2]), 2 * hw, 1e-6);
        EXPECT_NEAR(across[0] * along[0] + across[1] * along[1] + across[2] * along[2], 0.0f, 1e-6);
        EXPECT_NEAR(v[3].x - v[2].x, across[0], 1e-6);
        EXPECT_NEAR(v[3].z - v[2].z, across[2], 1e-6);
        EXPECT_NEAR((v[0].x + v[1].x) / 2, s.top.x, 1e-6);
        EXPECT_NEAR((v[0].z + v[1].z) / 2, s.top.z, 1e-6);
        if (s.top.y == s.bottom.y) {
            EXPECT_NEAR(across[1], 0.0f, 1e-6);  // seen side on: the band faces the eye
        }
        for (int i = 0; i < 4; ++i) EXPECT_EQ(v[i].w, 0.01f);
    }
}

}  // namespace
