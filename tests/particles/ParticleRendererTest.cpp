// The particle renderer on small written effects with particles placed by hand,
// read from the vertex batches: the frames, the sprite kinds' corners and colours,
// the UV corners, chains, trails, beams, and the object and light passes.
#include <gtest/gtest.h>

#include <boost/make_shared.hpp>
#include <cmath>
#include <memory>
#include <vector>

#include "Graphics/GraphicsDevice.h"
#include "Graphics/GraphicsDeviceFixture.h"
#include "CraftedEffects.h"
#include "RunningEffectFixtures.h"
#include "SceneGraph/Camera.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/Scene.h"
#include "particles/CSEntityLight.h"
#include "particles/CSEntityObject.h"
#include "particles/CSEntityParticle.h"
#include "particles/CSTexture.h"
#include "particles/ParticleBatch.h"
#include "particles/ParticleDetailLevel.h"
#include "particles/ParticleDevice.h"
#include "particles/ParticleFrameState.h"
#include "particles/ParticleLightColour.h"
#include "particles/ParticleLightSlots.h"
#include "particles/ParticleMatrixStack.h"

namespace {

using effectfixtures::SetConstant;
using effectfixtures::SetKeys;
using P = CParticleParams;

struct Quad {
    CSVector4 c[4];  // corners 0 to 3
    uint32_t colourA, colourB;
    float uv[8];
};

// Every quad of the active batches, corners back in their 0, 1, 2, 3 order.
std::vector<Quad> Quads() {
    std::vector<Quad> quads;
    for (uint32_t b = 0; b < ParticleBatches().GetCount(); ++b) {
        const ParticleBatch& batch = *ParticleBatches()[b];
        if (!batch.m_bActive) continue;
        const CSArray<Graphics::ParticleQuadVertex>& v = batch.m_arrVertices;
        for (uint32_t q = 0; q + 3 < v.GetCount(); q += 4) {
            Quad quad;
            const int order[4] = {0, 2, 1, 3};  // stored as corners 0, 2, 1, 3
            for (int i = 0; i < 4; ++i) {
                const Graphics::ParticleQuadVertex& x = v[q + uint32_t(i)];
                quad.c[order[i]] = CSVector4(x.x, x.y, x.z, x.w);
                quad.uv[2 * order[i]] = x.u;
                quad.uv[2 * order[i] + 1] = x.v;
            }
            quad.colourA = v[q].color;
            quad.colourB = v[q + 2].color;
            quads.push_back(quad);
        }
    }
    return quads;
}

::testing::AssertionResult Near(const CSVector4& a, const CSVector4& b, float tolerance = 1e-3f) {
    if (std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance && std::fabs(a.z - b.z) <= tolerance &&
        std::fabs(a.w - b.w) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ", " << a.w << ") vs (" << b.x
                                         << ", " << b.y << ", " << b.z << ", " << b.w << ")";
}

using runfixtures::PlaceParticle;

// One emitter whose block draws opaque white particles of size 1 (width 2, height 4).
struct Design : runfixtures::PlainEmitter {
    explicit Design(int32_t kind, int32_t space = 1) {
        particle->ParticleKind = kind;
        particle->ParticleSpace = space;
        particle->Width = 2.0f;
        particle->Height = 4.0f;
        particle->StripWidth = 2.0f;
        particle->AlphaBlended = 1;
        particle->SheetColumns = particle->AtlasRows = 1;
        for (uint8_t& flag : particle->NoVariation) flag = 1;
        for (int row : {P::Red, P::Green, P::Blue, P::Alpha, P::SizeX, P::SizeY, P::SizeZ})
            SetConstant(particle->Tracks[row], 1.0f);
        entry->RepeatMode = 2;
    }
};

class ParticleRendererTest : public NullDeviceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(NullDeviceTest::SetUp());
        folder.WriteShippedEffects();
        BindParticleHooks();
        graphics.reset(new Graphics::GraphicsDevice(d3d, device));
        camera = boost::make_shared<sg::Camera>();
        // Looking along +y with z up: screen right is +x, up is +z.
        camera->SetLookAt(Vector3(0.0f, -10.0f, 0.0f), Vector3(0.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, 1.0f));
        camera->SetPerspective(60.0f, 4.0f / 3.0f, 1.0f, 1000.0f);
        scene.SetCamera(camera);
        graphics->SetScene(&scene);
        ParticlesUpdateCamera();
        ParticlesBeginFrame();
        ResetParticleDetailLevel();
        ParticleMatrixStack::g_State.m_nDepth = 0;
    }
    void TearDown() override {
        ParticlesReleaseView();
        graphics.reset();
        UnbindParticleHooks();
        NullDeviceTest::TearDown();
    }

    int32_t Counted() const { return ParticleDrawCounters.hosted + ParticleDrawCounters.unhosted; }

    std::unique_ptr<Graphics::GraphicsDevice> graphics;
    boost::shared_ptr<sg::Camera> camera;
    sg::Scene scene;
};

TEST_F(ParticleRendererTest, SpriteKindsBuildTheirCornersInAbsoluteSpace) {
    const struct {
        int32_t kind;
        float width;
        CSVector4 c[4];
    } cases[] = {
        // Camera-facing: in the plane facing the camera, the centre offset added.
        {1, 2.0f, {{0.5f, 2, 5.25f, 0.01f}, {0.5f, 2, 1.25f, 0.01f}, {2.5f, 2, 5.25f, 0.01f}, {2.5f, 2, 1.25f, 0.01f}}},
        // Free quad: the first and second axes, the offset's x subtracted.
        {2,
         2.0f,
         {{-0.5f, 4.25f, 3, 0.01f}, {-0.5f, 0.25f, 3, 0.01f}, {1.5f, 4.25f, 3, 0.01f}, {1.5f, 0.25f, 3, 0.01f}}},
        // Flat quad: the same at the flat height.
        {3,
         2.0f,
         {{-0.5f, 4.25f, 3.7f, 0.01f},
          {-0.5f, 0.25f, 3.7f, 0.01f},
          {1.5f, 4.25f, 3.7f, 0.01f},
          {1.5f, 0.25f, 3.7f, 0.01f}}},
        // Line quad: the two centre points, w minus and plus the half width ...
        {7, 2.0f, {{0.5f, 4.25f, 3, -1}, {0.5f, 0.25f, 3, -1}, {0.5f, 4.25f, 3, 1}, {0.5f, 0.25f, 3, 1}}},
        // ... which is at least 0.025.
        {7,
         0.0f,
         {{0.5f, 4.25f, 3, -0.025f}, {0.5f, 0.25f, 3, -0.025f}, {0.5f, 4.25f, 3, 0.025f}, {0.5f, 0.25f, 3, 0.025f}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind * 10 + int(c.width));
        Design design(c.kind);
        design.particle->Width = c.width;
        design.particle->CentreOffsetX = 0.5f;
        design.particle->CentreOffsetY = 0.25f;
        design.particle->FlatHeight = 0.7f;
        runfixtures::SetUpInstance run(design.built);
        run.instance.m_vPos = CSVector4(50.0f, 60.0f, 70.0f, 0.0f);  // absolute space ignores it
        PlaceParticle(run.Emitter(0), 1.0f, 2.0f, 3.0f);
        ParticlesBeginFrame();
        CParticlesMesh::Draw(run.instance);
        const std::vector<Quad> quads = Quads();
        ASSERT_EQ(quads.size(), 1u);
        const Quad& q = quads[0];
        if (c.kind != 7) {
            for (int i = 0; i < 4; ++i) EXPECT_TRUE(Near(q.c[i], c.c[i])) << "corner " << i;
        } else {
            // The batch widens the line across the segment by the half width each way.
            for (int end = 0; end < 2; ++end) {
                const CSVector4& a = q.c[end];
                const CSVector4& b = q.c[end + 2];
                const CSVector4 mid((a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2, c.c[end].w);
                EXPECT_TRUE(Near(mid, CSVector4(c.c[end].x, c.c[end].y, c.c[end].z, c.c[end].w))) << end;
                const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
                EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), 2 * c.c[end + 2].w, 1e-3f) << end;
            }
        }
        EXPECT_EQ(ParticleMatrixStack::g_State.m_nDepth, 0);
    }
}

TEST_F(ParticleRendererTest, ColourSkipsTintsAndCountsEveryParticle) {
    const struct {
        const char* name;
        float alpha;
        uint32_t tint;
        int32_t flags;
        bool drawn;
        uint32_t packed;
    } cases[] = {
        {"opaque", 1.0f, 0xFFFFFFFFu, 0, true, 0xFFFFFFFFu},
        {"alpha row 0", 0.0f, 0xFFFFFFFFu, 0, false, 0},
        {"tint alpha 0", 1.0f, 0x00FFFFFFu, 0, false, 0},
        {"tinted", 1.0f, 0x80FF0000u, 0, true, 0x80FF0000u},
        {"white despite alpha 0", 0.0f, 0xFFFFFFFFu, P::kColourRowsOff, true, 0xFFFFFFFFu},
        {"white still tinted", 0.0f, 0xFF00FF00u, P::kColourRowsOff, true, 0xFF00FF00u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Design design(2);
        SetConstant(design.particle->Tracks[P::Alpha], c.alpha);
        SetConstant(design.particle->Tracks[P::Green], 0.5f);
        design.particle->Flags = c.flags;
        runfixtures::SetUpInstance run(design.built);
        PlaceParticle(run.Emitter(0), 0, 0, 0)->m_dwColor = c.tint;
        ParticlesBeginFrame();
        ParticleDrawCounters = ParticleDrawCountersState();
        CParticlesMesh::Draw(run.instance);
        EXPECT_EQ(Counted(), 1);
        const std::vector<Quad> quads = Quads();
        ASSERT_EQ(quads.size(), c.drawn ? 1u : 0u);
        if (!c.drawn) continue;
        // Green's row is 0.5 where the rows are read.
        const bool rows = c.flags == 0 && c.tint == 0xFFFFFFFFu;
        EXPECT_EQ(quads[0].colourA, rows ? 0xFFFF7FFFu : c.packed);
    }
}

TEST_F(ParticleRendererTest, TheLightColourTintsTheQuadsItReaches) {
    struct KeepLight {
        const CSVector4 saved = ParticleLightColour;
        ~KeepLight() { ParticleLightColour = saved; }
    } keep;
    // Brightened by half and held at 1: (0.75, 0.375, 1); alpha is not tinted.
    ParticleLightColour = CSVector4(0.5f, 0.25f, 0.9f, 0.5f);
    for (const uint8_t untinted : {0, 1}) {
        SCOPED_TRACE(untinted);
        Design design(2);
        design.particle->UntintedColour = untinted;
        runfixtures::SetUpInstance run(design.built);
        PlaceParticle(run.Emitter(0), 0, 0, 0);
        ParticlesBeginFrame();
        CParticlesMesh::Draw(run.instance);
        const std::vector<Quad> quads = Quads();
        ASSERT_EQ(quads.size(), 1u);
        EXPECT_EQ(quads[0].colourA, untinted ? 0xFFFFFFFFu : 0xFFBF5FFFu);
        EXPECT_EQ(quads[0].colourB, quads[0].colourA);
    }
}

TEST_F(ParticleRendererTest, UvCornersOfSheetsListsFlipsAndTurns) {
    CSTexture* const first = reinterpret_cast<CSTexture*>(0x100);
    CSTexture* const second = reinterpret_cast<CSTexture*>(0x200);
    const struct {
        const char* name;
        int32_t columns, rows, frame, textures, flipU, turns, rectangle;
        float uv[8];
        CSTexture* texture;
    } cases[] = {
        {"sheet 4 x 2, frame 5", 4, 2, 5, 1, 0, 0, 0, {0.25f, 0.5f, 0.25f, 1, 0.5f, 0.5f, 0.5f, 1}, first},
        {"no columns or rows: one cell", 0, 0, 3, 1, 0, 0, 0, {0, 3, 0, 4, 1, 3, 1, 4}, first},
        {"two textures, frame 3", 1, 1, 3, 2, 0, 0, 0, {0, 0, 0, 1, 1, 0, 1, 1}, second},
        // The flip first, then the turn: corner 0 takes corner 1's flipped UV.
        {"flip-u and a quarter turn", 1, 1, 0, 1, 1, 1, 0, {1, 1, 0, 1, 1, 0, 0, 0}, first},
        {"two quarter turns", 1, 1, 0, 1, 0, 2, 0, {1, 1, 1, 0, 0, 1, 0, 0}, first},
        {"rectangle", 1, 1, 0, 1, 0, 0, 1, {0.1f, 0.2f, 0.1f, 0.4f, 0.3f, 0.2f, 0.3f, 0.4f}, first},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CParticleParams block;
        block.ParticleKind = 1;
        block.SheetColumns = c.columns;
        block.AtlasRows = c.rows;
        block.FlipU = uint8_t(c.flipU);
        block.UvQuarterTurns = c.turns;
        block.WholeTexture = c.rectangle;
        block.UStart = 0.1f, block.VStart = 0.2f, block.UEnd = 0.3f, block.VEnd = 0.4f;
        block.TextureList.Append(first);
        if (c.textures > 1) block.TextureList.Append(second);
        CParticle particle;
        particle.m_nTexFrame = int16_t(c.frame);
        float uv[8];
        CSTexture* texture = nullptr;
        CParticlesMesh::ComputeQuadUVs(particle, nullptr, block, uv, texture);
        EXPECT_EQ(texture, c.texture);
        for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(uv[i], c.uv[i]) << i;
        block.TextureList.Free();  // not counted references
    }
}

TEST_F(ParticleRendererTest, FramesOfHostEffectAndEmitter) {
    Design design(2, 0);
    runfixtures::SetUpInstance run(design.built);
    run.instance.m_vPos = CSVector4(10.0f, 0.0f, 0.0f, 0.0f);
    run.instance.m_abAngles[0] = 64;  // a quarter turn of the effect
    CEmiter& emitter = run.Emitter(0);
    emitter.m_vPos = ParticleFloat3{0.0f, 0.0f, 0.0f};
    emitter.m_vAngles = ParticleFloat3{0.0f, 0.0f, 0.0f};
    PlaceParticle(emitter, 1.0f, 0.0f, 0.0f);
    // An empty emitter of the same effect pushes nothing.
    run.instance.m_arrEmiters.emplace_back();
    run.instance.m_arrEmiters.back().m_pParticleParams = design.particle;

    auto centre = [] {
        const std::vector<Quad> quads = Quads();
        EXPECT_EQ(quads.size(), 1u);
        if (quads.empty()) return CSVector4();
        const Quad& q = quads[0];
        return CSVector4((q.c[0].x + q.c[3].x) / 2, (q.c[0].y + q.c[3].y) / 2, (q.c[0].z + q.c[3].z) / 2, 0.01f);
    };
    // Without host: the effect's place and its turn (x goes where y was).
    ParticleMatrixStack::g_State.m_nDepth = 2;
    ParticlesBeginFrame();
    CParticlesMesh::Draw(run.instance);
    const CSVector4 turned = centre();
    EXPECT_EQ(ParticleMatrixStack::g_State.m_nDepth, 2);
    EXPECT_NEAR(std::fabs(turned.y), 1.0f, 1e-4f);
    EXPECT_NEAR(turned.x, 10.0f, 1e-4f);

    // With a host: its translation, none of its turn.
    sg::Group node;
    Matrix4 world;
    world.RotateZ(1.0f);
    world.m[12] = 3.0f, world.m[13] = 4.0f, world.m[14] = 5.0f;
    node.SetWorldMatrix(world);
    CSEntityParticle host(&node);
    run.instance.m_pHost = &host;
    ParticlesBeginFrame();
    ParticleDrawCounters = ParticleDrawCountersState();
    CParticlesMesh::Draw(run.instance);
    EXPECT_TRUE(Near(centre(), CSVector4(4.0f, 4.0f, 5.0f, 0.01f)));
    EXPECT_EQ(ParticleDrawCounters.hosted, 1);
    EXPECT_EQ(ParticleDrawCounters.unhosted, 0);
    // Flag 0x1000 places it explicitly at its own position again.
    run.instance.m_wFlags = CParticlesEmiter::kExplicitPosition;
    ParticlesBeginFrame();
    CParticlesMesh::Draw(run.instance);
    EXPECT_TRUE(Near(centre(), turned));
    EXPECT_EQ(ParticleMatrixStack::g_State.m_nDepth, 2);
    run.instance.m_pHost = nullptr;
}

TEST_F(ParticleRendererTest, KindsWithoutAPathAreOnlyCounted) {
    for (int32_t kind : {0, 4, 9}) {
        SCOPED_TRACE(kind);
        Design design(kind, 0);
        runfixtures::SetUpInstance run(design.built);
        for (int i = 0; i < 3; ++i) PlaceParticle(run.Emitter(0), float(i), 0, 0);
        ParticlesBeginFrame();
        ParticleDrawCounters = ParticleDrawCountersState();
        CParticlesMesh::Draw(run.instance);
        EXPECT_EQ(Quads().size(), 0u);
        EXPECT_EQ(Counted(), 3);
    }
}

TEST_F(ParticleRendererTest, RibbonsShareEdgesAndColoursCrossedDoubles) {
    for (int32_t mode : {1, 2}) {
        SCOPED_TRACE(mode);
        Design design(5);
        design.particle->ChainMode = mode;
        SetKeys(design.particle->Tracks[P::Red], {0.0f, 1.0f});
        runfixtures::SetUpInstance run(design.built);
        PlaceParticle(run.Emitter(0), 0, 0, 0, 0);
        PlaceParticle(run.Emitter(0), 2, 0, 0, 15);
        PlaceParticle(run.Emitter(0), 4, 0, 1, 30);
        ParticlesBeginFrame();
        ParticleDrawCounters = ParticleDrawCountersState();
        CParticlesMesh::Draw(run.instance);
        const std::vector<Quad> quads = Quads();
        ASSERT_EQ(quads.size(), mode == 1 ? 2u : 4u);
        EXPECT_EQ(Counted(), mode == 1 ? 2 : 4);
        const Quad& first = quads[0];
        const Quad& second = quads[mode == 1 ? 1 : 2];
        EXPECT_TRUE(Near(second.c[0], first.c[1]));
        EXPECT_TRUE(Near(second.c[2], first.c[3]));
        EXPECT_EQ(second.colourA, first.colourB);
        EXPECT_NE(first.colourA, first.colourB);
        // The strip is 2 wide across the segment.
        const float dx = first.c[0].x - first.c[2].x, dy = first.c[0].y - first.c[2].y,
                    dz = first.c[0].z - first.c[2].z;
        EXPECT_NEAR(std::sqrt(dx * dx + dy * dy + dz * dz), 2.0f, 1e-3f);
    }
}

TEST_F(ParticleRendererTest, ATransparentSegmentIsSkippedAndTheNextStartsFromItsEnd) {
    Design design(5);
    design.particle->ChainMode = 1;
    SetKeys(design.particle->Tracks[P::Alpha], {0.0f, 1.0f});
    runfixtures::SetUpInstance run(design.built);
    PlaceParticle(run.Emitter(0), 0, 0, 0, 0);
    PlaceParticle(run.Emitter(0), 2, 0, 0, 0);
    PlaceParticle(run.Emitter(0), 4, 0, 0, 30);
    ParticlesBeginFrame();
    CParticlesMesh::Draw(run.instance);
    const std::vector<Quad> quads = Quads();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_NEAR(quads[0].c[0].x, 2.0f, 1e-4f);
    EXPECT_NEAR(quads[0].c[1].x, 4.0f, 1e-4f);
}

TEST_F(ParticleRendererTest, TrailsArePerpendicularAtTheEndsAndMitredAtJoints) {
    Design design(5);
    design.particle->ChainMode = 0;
    runfixtures::SetUpInstance run(design.built);
    // Two particles across the screen on the plane the camera looks at.
    PlaceParticle(run.Emitter(0), 0, 0, 0);
    PlaceParticle(run.Emitter(0), 2, 0, 0);
    ParticlesBeginFrame();
    CParticlesMesh::Draw(run.instance);
    std::vector<Quad> quads = Quads();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_TRUE(Near(quads[0].c[0], CSVector4(0, 0, -1, 0.01f)));
    EXPECT_TRUE(Near(quads[0].c[2], CSVector4(0, 0, 1, 0.01f)));
    EXPECT_TRUE(Near(quads[0].c[1], CSVector4(2, 0, -1, 0.01f)));
    EXPECT_TRUE(Near(quads[0].c[3], CSVector4(2, 0, 1, 0.01f)));

    // A right-angle turn downwards at the second particle: its edge lies along the
    // bisector, the inner corner towards the corner's inside.
    PlaceParticle(run.Emitter(0), 2, 0, -2);
    ParticlesBeginFrame();
    CParticlesMesh::Draw(run.instance);
    quads = Quads();
    ASSERT_EQ(quads.size(), 2u);
    const float d = 0.70710677f;
    EXPECT_TRUE(Near(quads[0].c[1], CSVector4(2 - d, 0, -d, 0.01f), 0.02f));
    EXPECT_TRUE(Near(quads[0].c[3], CSVector4(2 + d, 0, d, 0.01f), 0.02f));
    EXPECT_TRUE(Near(quads[1].c[0], quads[0].c[1]));
    EXPECT_TRUE(Near(quads[1].c[2], quads[0].c[3]));
}

TEST_F(ParticleRendererTest, BeamsRunFromTheFrameOriginTowardsTheOffsetPointAndHideBehindTheCamera) {
    Design design(6, 0);
    runfixtures::SetUpInstance run(design.built);
    CEmiter& emitter = run.Emitter(0);
    emitter.m_vPos = ParticleFloat3{};
    emitter.m_vAngles = ParticleFloat3{};
    run.instance.m_vSpare[0] = 0.0f, run.instance.m_vSpare[1] = 5.0f;  // straight ahead: no turn
    CParticle* p = PlaceParticle(emitter, 3, 0, 0);
    ParticlesBeginFrame();
    CParticlesMesh::Draw(run.instance);
    std::vector<Quad> quads = Quads();
    ASSERT_EQ(quads.size(), 1u);
    // From the origin to the particle placed at the offset point, 2 wide on the screen.
    const CSVector4 mid0((quads[0].c[0].x + quads[0].c[2].x) / 2, (quads[0].c[0].y + quads[0].c[2].y) / 2,
                         (quads[0].c[0].z + quads[0].c[2].z) / 2, 0.01f);
    const CSVector4 mid1((quads[0].c[1].x + quads[0].c[3].x) / 2, (quads[0].c[1].y + quads[0].c[3].y) / 2,
                         (quads[0].c[1].z + quads[0].c[3].z) / 2, 0.01f);
    EXPECT_TRUE(Near(mid0, CSVector4(0, 0, 0, 0.01f), 0.02f));
    EXPECT_TRUE(Near(mid1, CSVector4(3, 5, 0, 0.01f), 0.02f));

    // Ends off the screen: drawn while the beam runs the way it looks, skipped when
    // its particle lies behind the camera and the projection turns it around.
    const struct {
        ParticleFloat3 pos;
        size_t quads;
    } ends[] = {{{30.0f, 5.0f, 0.0f}, 1u}, {{30.0f, -40.0f, 0.0f}, 0u}};
    for (const auto& end : ends) {
        p->m_vPos = end.pos;
        ParticlesBeginFrame();
        ParticleDrawCounters = ParticleDrawCountersState();
        CParticlesMesh::Draw(run.instance);
        EXPECT_EQ(Quads().size(), end.quads) << end.pos.y;
        EXPECT_EQ(Counted(), 1);
    }
}

TEST_F(ParticleRendererTest, ObjectPassPlacesObjectsAndLeavesOtherEffectsAlone) {
    // Without kind 0 the pass does not touch the matrix stack.
    {
        Design design(1);
        runfixtures::SetUpInstance run(design.built);
        PlaceParticle(run.Emitter(0), 1, 2, 3);
        ParticleMatrixStack::g_State.m_mCurrent.m[12] = 42.0f;
        EXPECT_FALSE(CParticlesMesh::PlaceObjectParticles(run.instance));
        EXPECT_EQ(ParticleMatrixStack::g_State.m_mCurrent.m[12], 42.0f);
    }
    const struct {
        const char* name;
        int32_t flags;
        float alpha, size;
        bool placed;
        float scale;
    } cases[] = {
        {"visible, sized by rows", 0, 1.0f, 2.0f, true, 2.0f},
        {"transparent", 0, 0.0f, 2.0f, false, 0.0f},
        {"white places whatever its alpha", P::kColourRowsOff, 0.0f, 2.0f, true, 2.0f},
        {"uniform size 1 keeps the rotation unscaled", P::kSizeRowsOff, 1.0f, 2.0f, true, 1.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Design design(0);
        design.particle->Flags = c.flags;
        SetConstant(design.particle->Tracks[P::Alpha], c.alpha);
        for (int row : {P::SizeX, P::SizeY, P::SizeZ}) SetConstant(design.particle->Tracks[row], c.size);
        runfixtures::SetUpInstance run(design.built);
        run.Effect().SetUpTextures();
        ASSERT_EQ(run.Effect().m_arrParticleParams[0]->ObjectList.GetCount(), 1u);
        CSEntityObject* object = run.Effect().m_arrParticleParams[0]->ObjectList[0];
        const float before[16] = {7, 0, 0, 0, 0, 7, 0, 0, 0, 0, 7, 0, 9, 9, 9, 1};
        object->SetNodeMatrix(before);
        PlaceParticle(run.Emitter(0), 1, 2, 3);
        ParticleDrawCounters = ParticleDrawCountersState();
        CParticlesMesh::PlaceObjectParticles(run.instance);
        EXPECT_EQ(Counted(), 1);
        const CSMatrix& m = object->GetNodeMatrix();
        if (!c.placed) {
            EXPECT_EQ(m.m[12], 9.0f);
            continue;
        }
        EXPECT_TRUE(Near(m.GetTranslation(), CSVector4(1, 2, 3, 1)));
        EXPECT_NEAR(m.m[0], c.scale, 1e-5f);
        EXPECT_NEAR(m.m[5], c.scale, 1e-5f);
        EXPECT_NEAR(m.m[10], c.scale, 1e-5f);
    }
}

TEST_F(ParticleRendererTest, LightsOfRunningEmittersOnly) {
    const struct {
        const char* name;
        float range, intensity;
        int32_t effectFrame;  // the instance frame against the emitter's start (5)
        bool lastPlayOver, paused;
        int lights;
    } cases[] = {
        {"running", 30.0f, 1.0f, 10, false, false, 1},         {"negative range", -30.0f, 1.0f, 10, false, false, 1},
        {"range 0", 0.0f, 1.0f, 10, false, false, 0},          {"intensity 0", 30.0f, 0.0f, 10, false, false, 0},
        {"before its start", 30.0f, 1.0f, 4, false, false, 0}, {"after its last play", 30.0f, 1.0f, 10, true, false, 0},
        {"pausing", 30.0f, 1.0f, 10, false, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Design design(1);
        design.emiter->EmitsLight = 1;
        SetConstant(design.emiter->Tracks[CEmiterParams::LightRange], c.range);
        for (int row : {CEmiterParams::LightRed, CEmiterParams::LightGreen, CEmiterParams::LightBlue})
            SetConstant(design.emiter->Tracks[row], 1.0f);
        SetConstant(design.emiter->Tracks[CEmiterParams::LightIntensity], c.intensity);
        runfixtures::SetUpInstance run(design.built);
        run.instance.m_vPos = CSVector4(10.0f, 20.0f, 30.0f, 0.0f);
        CEmiter& e = run.Emitter(0);
        e.m_nStart = 5;
        e.m_nLength = 20;
        e.m_nFrame = c.lastPlayOver ? 20 : 3;
        e.m_nRepeats = 0;
        e.m_nPlays = 0;
        e.m_nPauseLeft = c.paused ? 2 : 0;
        e.m_vPos = ParticleFloat3{1.0f, 0.0f, 0.0f};
        run.instance.m_iFrame = c.effectFrame;
        ResetParticleLightCount();
        CParticlesMesh::EmitLights(&run.instance);
        ASSERT_EQ(GetParticleLightCount(), c.lights);
        EXPECT_EQ(ParticleMatrixStack::g_State.m_nDepth, 0);
        if (c.lights == 1) {
            const CSMatrix& m = GetParticleLightSlot(0)->GetNodeMatrix();
            EXPECT_TRUE(Near(m.GetTranslation(), CSVector4(11, 20, 30, 1)));
        }
    }
    CParticlesMesh::EmitLights(nullptr);  // nothing for no effect
}

// Velocities whose truncation leaves the 32-bit range, at birth or through the speed
// row: 60 steps, each drawn as sprites, ribbons and motion-aligned quads and flushed,
// without overflow; the renderer counts no more than the two births a step for 30
// steps make.
TEST_F(ParticleRendererTest, OversizedVelocitiesRunAndDraw) {
    for (const craftedeffects::Case& c : craftedeffects::Cases()) {
        for (int32_t kind : {1, 5, 8}) {
            SCOPED_TRACE(craftedeffects::FileName(c, kind));
            const craftedeffects::VelocityEffect design(c.velocity, c.speedKeys, kind);
            runfixtures::SetUpInstance run(design.built);
            for (int step = 0; step < 60; ++step) {
                ASSERT_TRUE(run.instance.Step(true));
                ParticlesBeginFrame();
                ParticleDrawCounters = ParticleDrawCountersState();
                CParticlesMesh::Draw(run.instance);
                ParticlesFlush();
                EXPECT_LE(Counted(), 2 * 31);
            }
            EXPECT_GT(Counted(), 0);
            EXPECT_EQ(ParticleMatrixStack::g_State.m_nDepth, 0);
        }
    }
}

}  // namespace
