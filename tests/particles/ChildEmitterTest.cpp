// Child emitters: the batches a parent spawns (names that resolve, one parent draw per
// batch, sources in turn, the parent found again after the array moved, the limit) and
// where each child is placed on its parent's shape.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "RunningEffectFixtures.h"
#include "particles/CEmiterParams.h"
#include "particles/CParticleEmiterParams.h"
#include "particles/CParticlesEmiter.h"
#include "particles/CSMatrix.h"

namespace {

using effectfixtures::Add;
using effectfixtures::AddEntry;
using effectfixtures::SetConstant;
using runfixtures::PlainEmitter;
using runfixtures::Replay;
using runfixtures::SetUpInstance;

// A parent entry (emitter block 0, the point shape) spawning `names`; children "a" and
// "b" (block 1) wait for a trigger, so only the parent starts by itself.
struct Family : PlainEmitter {
    explicit Family(std::initializer_list<const char*> names) {
        entry->EmitsEmitters = 1;
        entry->ParticleIndex = -1;
        for (const char* name : names) entry->ChildNames.push_back(CSString(name));
        childBlock = Add(built.m_arrEmiterParams);
        for (uint8_t& flag : childBlock->NoVariation) flag = 1;
        for (const char* name : {"a", "b"}) AddEntry(built, name, 1, 0)->TriggerA = 1;
    }
    CEmiterParams* childBlock;
};

// The draws a placement takes from a stream, counted against its replay.
int DrawsBetween(int32_t before, int32_t after) {
    Replay replay(before);
    for (int n = 0; n < 16; ++n) {
        if (replay.state == after) return n;
        replay.Next();
    }
    return -1;
}

TEST(ChildSpawning, ResolvedNamesInTheirOrder) {
    Family family({"a", "missing", "b"});
    SetUpInstance s(family.built);
    ASSERT_EQ(s.instance.m_arrEmiters.size(), 1u);
    for (size_t batch = 1; batch <= 2; ++batch) {
        EXPECT_TRUE(s.instance.SpawnChildEmiters(0));
        ASSERT_EQ(s.instance.m_arrEmiters.size(), 1 + 2 * batch);
        EXPECT_EQ(s.instance.m_arrEmiters[2 * batch - 1].m_nEntry, 1);
        EXPECT_EQ(s.instance.m_arrEmiters[2 * batch].m_nEntry, 2);
        EXPECT_NE(s.instance.m_arrEmiters[2 * batch].m_wFlags & CEmiter::kChild, 0);
    }

    for (auto names : {std::initializer_list<const char*>{"missing"}, {"one"}}) {
        Family lonely(names);  // a missing name, or the parent's own
        SetUpInstance t(lonely.built);
        const int32_t seed = t.Emitter(0).m_iSeed;
        EXPECT_FALSE(t.instance.SpawnChildEmiters(0));
        EXPECT_EQ(t.instance.m_arrEmiters.size(), 1u);
        EXPECT_EQ(t.Emitter(0).m_iSeed, seed);
    }
}

TEST(ChildSpawning, OneDrawPerBatchAndSourcesInTurnAfterTheArrayMoved) {
    Family family({"a"});
    family.childBlock->SourceKind = 2;
    for (const char* source : {"s0", "s1", "s2"}) family.childBlock->SourceNames.push_back(CSString(source));
    family.childBlock->FixedSeed = 1;
    SetUpInstance s(family.built);
    s.Emitter(0).m_vPos = ParticleFloat3{3.0f, 4.0f, 5.0f};
    const int expected[] = {0, 1, 2, 0};
    for (int batch = 0; batch < 4; ++batch) {
        s.instance.m_arrEmiters.shrink_to_fit();  // the batch must move the records
        Replay parent(s.Emitter(0).m_iSeed);
        const uint16_t seed = parent.Next();
        ASSERT_TRUE(s.instance.SpawnChildEmiters(0));
        const CEmiter& p = s.Emitter(0);
        EXPECT_EQ(p.m_iSeed, parent.state) << "batch " << batch;
        EXPECT_EQ(p.m_nNextSource, (batch + 1) % 3);
        const CEmiter& child = s.instance.m_arrEmiters.back();
        EXPECT_EQ(child.m_nSource, expected[batch]);
        EXPECT_EQ(child.m_iSeed2, Replay(seed).Next());  // the batch's draw seeds it
        EXPECT_EQ(child.m_vBasePos.x, 3.0f);             // placed on the moved parent
        EXPECT_EQ(child.m_vPos.z, 5.0f);
    }

    Family single({"a"});  // one source name: no cursor
    single.childBlock->SourceKind = 2;
    single.childBlock->SourceNames.push_back(CSString("only"));
    SetUpInstance t(single.built);
    t.instance.SpawnChildEmiters(0);
    t.instance.SpawnChildEmiters(0);
    EXPECT_EQ(t.instance.m_arrEmiters.back().m_nSource, 0);
    EXPECT_EQ(t.Emitter(0).m_nNextSource, 0);
}

TEST(ChildSpawning, TheInstanceHoldsAtMostItsLimitOfEmitters) {
    Family family({"a", "b"});
    SetUpInstance s(family.built);
    s.instance.m_arrEmiters.resize(CParticlesEmiter::kMaxEmiters - 1);
    const int32_t seed = s.Emitter(0).m_iSeed;
    EXPECT_FALSE(s.instance.SpawnChildEmiters(0));
    EXPECT_EQ(s.instance.m_arrEmiters.size(), static_cast<size_t>(CParticlesEmiter::kMaxEmiters - 1));
    EXPECT_EQ(s.Emitter(0).m_iSeed, seed);
}

TEST(ChildSpawning, ChildrenStepAndAreErasedWhenFinished) {
    Family family({"a"});
    family.Range(CEmiterParams::EmitRate, 2.0f);  // one burst of two batches
    family.emiter->DurationFrames = 3;
    SetUpInstance s(family.built);
    ASSERT_TRUE(s.instance.Step(true));
    EXPECT_EQ(s.instance.m_arrEmiters.size(), 3u);
    for (int i = 0; i < 3; ++i) s.instance.Step(true);
    EXPECT_EQ(s.instance.m_arrEmiters.size(), 1u);  // the children finished; the parent stays
    EXPECT_FALSE(s.instance.Step(true));
}

// A child that finished earlier in the same step makes room for the spawn of a full
// instance, as if it had gone before the parent's turn; the others keep their order.
TEST(ChildSpawning, AChildFinishedEarlierInTheStepMakesRoomAtTheLimit) {
    Family family({"a"});
    family.Range(CEmiterParams::EmitRate, 1.0f);  // one batch at the first step
    SetUpInstance s(family.built);
    std::vector<CEmiter> full(CParticlesEmiter::kMaxEmiters);
    full[0].m_wFlags = CEmiter::kChild;  // no blocks: finished at its turn
    full[1] = std::move(s.Emitter(0));
    for (size_t i = 2; i < full.size(); ++i) full[i].m_nEntry = static_cast<int16_t>(i % 1000);  // no blocks: stay
    s.instance.m_arrEmiters.swap(full);

    s.instance.Step(true);
    ASSERT_EQ(s.instance.m_arrEmiters.size(), static_cast<size_t>(CParticlesEmiter::kMaxEmiters));
    EXPECT_EQ(s.Emitter(0).m_nEntry, 0);  // the parent
    for (size_t i = 1; i + 1 < s.instance.m_arrEmiters.size(); ++i)
        ASSERT_EQ(s.Emitter(i).m_nEntry, static_cast<int16_t>((i + 1) % 1000)) << i;
    EXPECT_EQ(s.instance.m_arrEmiters.back().m_nEntry, 1);  // the new child
    EXPECT_NE(s.instance.m_arrEmiters.back().m_wFlags & CEmiter::kChild, 0);
}

// Rates beyond all use in a parent and its children: 32,767 children would each fill
// their emitter, a billion particles; the instance holds at most its limit of them.
TEST(ChildSpawning, ChildrenThatWouldFillTheirEmittersShareTheInstanceLimit) {
    Family family({"a"});
    family.Range(CEmiterParams::EmitRate, std::numeric_limits<float>::max());
    SetConstant(family.childBlock->Tracks[CEmiterParams::EmitRate], std::numeric_limits<float>::max());
    for (int row : {CEmiterParams::LifeScale, CEmiterParams::SpeedScale, CEmiterParams::SizeScale})
        SetConstant(family.childBlock->Tracks[row], 1.0f);
    SetUpInstance s(family.built);
    for (int step = 0; step < 3; ++step) {
        s.instance.Step(true);
        int64_t particles = 0;
        for (const CEmiter& e : s.instance.m_arrEmiters) particles += e.m_nCount;
        EXPECT_LE(particles, CParticlesEmiter::kMaxParticles) << "step " << step;
        if (step > 0) continue;  // the children without particles are gone
        EXPECT_EQ(particles, CParticlesEmiter::kMaxParticles);
        EXPECT_EQ(s.instance.m_arrEmiters.size(), static_cast<size_t>(CParticlesEmiter::kMaxEmiters));
    }
}

// A parent of `shape` and a child placed on it directly, both in effect space.
struct Placing {
    explicit Placing(int32_t shape) : family({"a"}) {
        family.emiter->EmitShape = shape;
        family.emiter->SphereRadius = 2.0f;
        family.Sizes(2, 3, 4);
    }
    void Place() {
        s.reset(new SetUpInstance(family.built));
        parent = &s->Emitter(0);
        s->instance.InitEmiter(child, 1, true, 0, 0);
        parentSeed = parent->m_iSeed;
        childSeed = child.m_iSeed;
        s->instance.PlaceChildEmitter(child, *parent);
    }
    int ParentDraws() const { return DrawsBetween(parentSeed, parent->m_iSeed); }
    int ChildDraws() const { return DrawsBetween(childSeed, child.m_iSeed); }

    Family family;
    std::unique_ptr<SetUpInstance> s;
    CEmiter* parent = nullptr;
    CEmiter child;
    int32_t parentSeed = 0, childSeed = 0;
};

TEST(ChildPlacement, SphereDrawsByElevationCase) {
    const struct {
        float from, to;
        int childDraws;
    } cases[] = {{-64, 64, 3}, {-64, 0, 2}, {0, 64, 2}, {10, 20, 2}};
    for (const auto& c : cases) {
        Placing p(CEmiterParams::kShapeSphere);
        p.family.Range(CEmiterParams::ElevationFrom, c.from);
        p.family.Range(CEmiterParams::ElevationTo, c.to);
        p.Place();
        EXPECT_EQ(p.ChildDraws(), c.childDraws) << c.from << " " << c.to;
        EXPECT_EQ(p.ParentDraws(), 0);
        ASSERT_NE(p.child.m_pMatrix, nullptr);
    }
}

TEST(ChildPlacement, SphereSizeDrawsAndTheUnwrappedAzimuth) {
    const struct {
        int32_t mask;
        bool sizesVary;
        int parentDraws;
    } cases[] = {{8, true, 0}, {0, false, 0}, {0, true, 1}};
    for (const auto& c : cases) {
        Placing p(CEmiterParams::kShapeSphere);
        p.family.emiter->SourceKind = 1;
        p.family.childBlock->SourceKind = 1;
        p.family.emiter->ChannelMask = c.mask;
        p.family.Range(CEmiterParams::AzimuthFrom, 128);
        p.family.Range(CEmiterParams::AzimuthTo, 128);
        for (int pair = 15; pair <= 17; ++pair) p.family.emiter->NoVariation[pair] = c.sizesVary ? 0 : 1;
        p.Place();
        EXPECT_EQ(p.ParentDraws(), c.parentDraws) << c.mask << " " << c.sizesVary;
        EXPECT_EQ(p.child.m_vBaseAngles.x, 256.0f);  // 128 + 128, no wrap
    }
}

TEST(ChildPlacement, BoxFaceThreeOnlyAndOneTableBuildPerParentFrame) {
    Placing p(CEmiterParams::kShapeBox);
    p.family.emiter->BoxFaceMask = 8;
    p.Place();
    EXPECT_FLOAT_EQ(p.child.m_vBasePos.x, 1.0f);
    EXPECT_GE(p.child.m_vBasePos.z, 0.0f);
    EXPECT_EQ(p.child.m_vBaseAngles.z, 64.0f);
    EXPECT_EQ(p.ChildDraws(), 3);  // the face, then y and z

    // At another parent frame the table follows the sizes once; a second child of
    // that frame finds it as the first left it.
    CEmiter& parent = *p.parent;
    parent.m_nFrame = 3;
    p.s->instance.PlaceChildEmitter(p.child, parent);
    EXPECT_EQ(parent.m_nFaceTableFrame, 3);
    const int16_t bottomOnly[6] = {0, 0x7fff, 0x7fff, 0x7fff, 0x7fff, 0x7fff};
    for (int i = 0; i < 6; ++i) parent.m_pFaceTable[i] = bottomOnly[i];
    p.s->instance.PlaceChildEmitter(p.child, parent);
    EXPECT_EQ(p.child.m_vBasePos.z, 0.0f);
    EXPECT_EQ(p.child.m_vBaseAngles.z, 128.0f);
}

TEST(ChildPlacement, BoxWithoutAUsableFacePlacesAtItsCentre) {
    Placing p(CEmiterParams::kShapeBox);
    p.family.emiter->BoxFaceMask = 64;
    p.Place();
    EXPECT_EQ(p.child.m_vBasePos.x, 0.0f);
    EXPECT_EQ(p.child.m_vBasePos.y, 0.0f);
    EXPECT_EQ(p.child.m_vBasePos.z, 2.0f);
}

TEST(ChildPlacement, PointInWorldSpaceWithTheGroundBytes) {
    const struct {
        uint8_t start, follow;
        float baseZ, z;
    } cases[] = {{1, 1, 0.0f, 0.1f}, {1, 0, 0.1f, 0.1f}, {0, 1, 4.9f, 5.0f}, {0, 0, 5.0f, 5.0f}};
    for (const auto& c : cases) {
        Placing p(CEmiterParams::kShapePoint);
        p.family.emiter->SourceKind = 1;
        p.family.childBlock->SourceKind = 1;
        p.family.childBlock->StartOnGround = c.start;
        p.family.childBlock->FollowGround = c.follow;
        p.s.reset(new SetUpInstance(p.family.built));
        p.parent = &p.s->Emitter(0);
        p.parent->m_vPos = ParticleFloat3{3.0f, 4.0f, 5.0f};
        p.s->instance.InitEmiter(p.child, 1, true, 0, 0);
        p.s->instance.PlaceChildEmitter(p.child, *p.parent);
        EXPECT_FLOAT_EQ(p.child.m_vBasePos.z, c.baseZ) << int(c.start) << int(c.follow);
        EXPECT_FLOAT_EQ(p.child.m_vPos.z, c.z) << int(c.start) << int(c.follow);
        EXPECT_EQ(p.child.m_vBasePos.x, 3.0f);
    }
}

TEST(ChildPlacement, ShapesOutsideTheFourLeaveTheBaseAndHoldTheOffset) {
    Placing p(7);
    p.family.childBlock->ChannelMask = 1;
    SetConstant(p.family.childBlock->Tracks[CEmiterParams::OffsetX], 2.0f);
    p.Place();
    EXPECT_EQ(p.child.m_pMatrix, nullptr);
    EXPECT_EQ(p.child.m_vBasePos.x, 0.0f);
    EXPECT_EQ(p.child.m_vPos.x, 2.0f);
    EXPECT_EQ(p.ChildDraws(), 0);
}

}  // namespace
