// A loaded effect: its counting (a release never deletes), its defaults, the lookup of
// entries by name and the loop test of linked entries, which entries start with the
// effect, and the rescale of exactly the rescaled fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "EffectFixtures.h"
#include "particles/CParticlesMesh.h"
#include "particles/CSMaskImage.h"

namespace {

using effectfixtures::Add;
using effectfixtures::AddEntry;
using effectfixtures::SetConstant;
using effectfixtures::SetKeys;

TEST(CParticlesMesh, CountsWithoutDeleting) {
    CParticlesMesh effect;
    EXPECT_EQ(effect.GetRefCount(), 1);
    EXPECT_EQ(effect.m_nAge, 0);
    CSVector4 minimum, maximum;
    effect.GetBoundingBox(minimum, maximum);
    EXPECT_EQ(minimum.x, -5.0f);
    EXPECT_EQ(minimum.y, -5.0f);
    EXPECT_EQ(minimum.z, 0.0f);
    EXPECT_EQ(maximum.x, 5.0f);
    EXPECT_EQ(maximum.y, 5.0f);
    EXPECT_EQ(maximum.z, 10.0f);
    EXPECT_TRUE(effect.m_arrEntries.empty());

    EXPECT_EQ(effect.AddRef(), 2);
    effect.m_nAge = 7;
    EXPECT_EQ(effect.Release(), 1);  // the age is left alone
    EXPECT_EQ(effect.m_nAge, 7);
    EXPECT_EQ(effect.Release(), 0);  // the age restarts; the effect lives on for the cache
    EXPECT_EQ(effect.m_nAge, 0);
    EXPECT_EQ(effect.GetRefCount(), 0);
}

TEST(CParticlesMesh, DeletionReleasesItsBlocks) {
    CEmiterParams* kept;
    {
        CParticlesMesh effect;
        kept = Add(effect.m_arrEmiterParams);
        kept->AddRef();
        Add(effect.m_arrParticleParams);
        AddEntry(effect, "e", 0, 0);
    }
    EXPECT_EQ(kept->GetRefCount(), 1);
    kept->Release();
}

TEST(CParticlesMesh, FindsEntriesByNameIgnoringCase) {
    CParticlesMesh effect;
    AddEntry(effect, "Smoke", 0, 0);
    AddEntry(effect, "", 0, 0);
    AddEntry(effect, "smoke", 0, 0);
    CParticleEmiterParams* other = AddEntry(effect, "flame", 0, 0);
    other->SecondName = "other";  // links look up the first name only
    struct Case {
        const char* name;
        int32_t index;
    };
    const Case cases[] = {{"SMOKE", 0}, {"smoke", 0}, {"", 1}, {nullptr, 1}, {"flame", 3}, {"other", -1}, {"fire", -1}};
    for (const Case& c : cases) EXPECT_EQ(effect.FindEmitterEntry(c.name), c.index) << (c.name ? c.name : "null");
}

TEST(CParticlesMesh, LinkedEntriesThatLeadBack) {
    struct Link {
        const char* asking;
        const char* name;
        int32_t index;
    };
    struct Case {
        const char* description;
        std::vector<std::pair<const char*, std::vector<const char*>>> entries;  // name, links
        std::vector<Link> lookups;
    };
    const Case cases[] = {
        {"a chain E1 -> E2 -> E3",
         {{"E1", {"E2"}}, {"E2", {"E3"}}, {"E3", {}}},
         {{"E1", "E2", 1}, {"E3", "E1", -1}, {"E1", "e3", 2}, {"E2", "E2", -1}, {"E1", "E4", -1}}},
        {"E3 links back to E2: a loop", {{"E1", {"E2"}}, {"E2", {"E3"}}, {"E3", {"E2"}}}, {{"E1", "E2", -1}}},
        {"a diamond is not a loop",
         {{"X", {}}, {"A", {"B", "C"}}, {"B", {"D"}}, {"C", {"D"}}, {"D", {"missing"}}},
         {{"X", "A", 1}, {"D", "A", -1}}},
    };
    for (const Case& c : cases) {
        CParticlesMesh effect;
        for (const auto& entry : c.entries) {
            CParticleEmiterParams* e = AddEntry(effect, entry.first, 0, -1);
            for (const char* link : entry.second) e->ChildNames.push_back(CSString(link));
            e->EmitsEmitters = entry.second.empty() ? 0 : 1;
        }
        for (const Link& link : c.lookups) {
            const CParticleEmiterParams* asking = effect.m_arrEntries[effect.FindEmitterEntry(link.asking)];
            EXPECT_EQ(effect.FindLinkedEmitter(asking, link.name), link.index)
                << c.description << ": " << link.asking << " asks " << link.name;
        }
    }

    // Links of an entry that does not emit through others are not followed.
    CParticlesMesh effect;
    AddEntry(effect, "E1", 0, -1, {"E2"});
    AddEntry(effect, "E2", 0, -1, {"E1"})->EmitsEmitters = 0;
    EXPECT_EQ(effect.FindLinkedEmitter(effect.m_arrEntries[0], "E2"), 1);
}

TEST(CParticleEmiterParams, FreshEntryAndAutoStart) {
    CParticleEmiterParams entry;
    EXPECT_EQ(entry.EmiterIndex, -1);
    EXPECT_EQ(entry.ParticleIndex, -1);
    EXPECT_EQ(entry.RepeatCount, 1);
    EXPECT_EQ(entry.Counted, 1);
    EXPECT_EQ(entry.RepeatMode, 0);
    struct Case {
        uint8_t a, b;
        bool autoStart;
    };
    for (const Case& c : {Case{0, 0, true}, Case{1, 0, false}, Case{0, 1, false}, Case{1, 1, false}}) {
        entry.TriggerA = c.a;
        entry.TriggerB = c.b;
        EXPECT_EQ(entry.IsAutoStart(), c.autoStart) << int(c.a) << int(c.b);
    }
}

// Every row of a block keyed (1, 1) but row 1 of each, which is a constant 1.
template <class Block>
void OnesInRows(Block& block) {
    for (CSParamTrack& track : block.Tracks) SetKeys(track, {1.0f, 1.0f});
    SetConstant(block.Tracks[1], 1.0f);
}

// The factor a row was multiplied by (checked on both keys or the constant).
float RowFactor(const CSParamTrack& track) {
    if (track.IsConstant()) return track.m_fConstant;
    EXPECT_EQ(track.m_arrKeys[0], track.m_arrKeys[1]);
    return track.m_arrKeys[0];
}

TEST(CParticlesMesh, RescaleMultipliesTheRescaledFields) {
    CParticlesMesh effect;
    for (CSParamTrack& track : effect.m_EffectParams.Tracks) SetConstant(track, 1.0f);
    struct ShapeCase {
        int32_t shape;
        std::vector<float> shapeRows;  // rows 30 to 35
    };
    const ShapeCase shapes[] = {{CEmiterParams::kShapeSphere, {1, 1, 1, 1, 1, 1}},
                                {CEmiterParams::kShapeBox, {2, 2, 3, 3, 3, 3}},
                                {CEmiterParams::kShapeRectangle, {2, 2, 3, 3, 1, 1}},
                                {CEmiterParams::kShapePoint, {1, 1, 1, 1, 1, 1}}};
    for (const ShapeCase& shape : shapes) {
        CEmiterParams* e = Add(effect.m_arrEmiterParams);
        e->EmitShape = shape.shape;
        OnesInRows(*e);
        e->SphereRadius = e->EmitterValue2 = e->EmitterValue3 = e->EmitterValue4 = e->EmitterValue5 = 1.0f;
        e->EmitterValue6 = e->EmitterValue7 = e->EmitterValue8 = e->EmitterValue9 = e->EmitterValue10 = 1.0f;
        e->Duration = e->TimeScale = e->Value11 = e->ShakeStrength = e->LightValues[0] = 1.0f;
    }
    CParticleParams* p = Add(effect.m_arrParticleParams);
    OnesInRows(*p);
    float* const particleFields[] = {&p->Width,         &p->Height,         &p->FlatHeight,     &p->CentreOffsetX,
                                     &p->CentreOffsetY, &p->StripWidth,     &p->Gravity,        &p->StartSpeed,
                                     &p->Jitter,        &p->ExtraVelocityX, &p->ExtraVelocityY, &p->ExtraVelocityZ,
                                     &p->Life,          &p->ChainVStep,     &p->AnimFps,        &p->WindFactor,
                                     &p->AtlasRowScale, &p->UStart,         &p->Value5};
    for (float* field : particleFields) *field = 1.0f;

    effect.Rescale(2.0f, 3.0f);

    const float positionRows[6] = {2, 2, 3, 3, 3, 3};
    for (int row = 0; row < CEffectParams::kRowCount; ++row)
        EXPECT_EQ(RowFactor(effect.m_EffectParams.Tracks[row]), row < 6 ? positionRows[row] : 1.0f) << row;

    for (size_t i = 0; i < effect.m_arrEmiterParams.size(); ++i) {
        const CEmiterParams& e = *effect.m_arrEmiterParams[i];
        for (int row = 0; row < CEmiterParams::kRowCount; ++row) {
            float expected = 1.0f;
            if (row < 6) expected = positionRows[row];
            else if (row >= CEmiterParams::ShapeSizeX && row <= CEmiterParams::ShapeSizeZVar)
                expected = shapes[i].shapeRows[row - CEmiterParams::ShapeSizeX];
            EXPECT_EQ(RowFactor(e.Tracks[row]), expected) << "shape " << e.EmitShape << " row " << row;
        }
        const float fields[] = {e.SphereRadius,  e.EmitterValue2, e.EmitterValue3, e.EmitterValue4, e.EmitterValue5,
                                e.EmitterValue6, e.EmitterValue7, e.EmitterValue8, e.EmitterValue9, e.EmitterValue10,
                                e.Duration,      e.TimeScale,     e.Value11,       e.ShakeStrength, e.LightValues[0]};
        const float expected[] = {2, 1, 1, 1, 1, 2, 3, 3, 2, 3, 1, 1, 1, 1, 1};
        for (size_t f = 0; f < sizeof fields / sizeof fields[0]; ++f)
            EXPECT_EQ(fields[f], expected[f]) << "emitter field " << f;
    }

    for (int row = 0; row < CParticleParams::kRowCount; ++row)
        EXPECT_EQ(RowFactor(p->Tracks[row]), row < 6 ? positionRows[row] : 1.0f) << "particle row " << row;
    const float expected[] = {2, 3, 2, 2, 3, 2, 2, 2, 2, 2, 3, 3, 1, 1, 1, 1, 1, 1, 1};
    for (size_t f = 0; f < sizeof particleFields / sizeof particleFields[0]; ++f)
        EXPECT_EQ(*particleFields[f], expected[f]) << "particle field " << f;
}

TEST(CParticlesMesh, ReadHeaderTakesTheNameAndTheFirstFourSettings) {
    ScratchFolder folder;
    CParticlesMesh written;
    effectfixtures::BuildSample(written);
    written.m_EffectParams.Rescalable = 1;
    written.m_EffectParams.Height = 48;
    for (const int32_t version : {5, 3}) {
        SCOPED_TRACE(version);
        const std::string path = effectfixtures::WriteEffect(folder, "head.prt", written, version);
        CParticlesMesh head;
        AddEntry(head, "kept", 0, 0);
        ASSERT_TRUE(head.ReadHeader(path.c_str()));
        EXPECT_STREQ(head.GetEffectName().c_str(), "sample");
        EXPECT_EQ(head.m_EffectParams.FirstFlag, version >= 4 ? 1 : 0);  // in the file from version 4
        EXPECT_EQ(head.m_EffectParams.Rescalable, 1);
        EXPECT_EQ(head.m_EffectParams.Width, 64);
        EXPECT_EQ(head.m_EffectParams.Height, 48);
        EXPECT_EQ(head.m_EffectParams.Value8, 0.0f) << "nothing past the fourth field";
        EXPECT_EQ(head.m_arrEntries.size(), 1u);
        EXPECT_TRUE(head.m_arrEmiterParams.empty());
    }

    // A file that ends inside the four fields, or none at all: nothing changes.
    effectfixtures::Bytes cut;
    cut.U32(PrtWriter::VersionWord(5)).Str("cut").U32(1).U32(1).U32(7);
    CParticlesMesh head;
    EXPECT_FALSE(head.ReadHeader(effectfixtures::Write(folder, "cut.prt", cut.data).c_str()));
    EXPECT_FALSE(head.ReadHeader((folder / "missing.prt").c_str()));
    EXPECT_TRUE(head.GetEffectName().IsEmpty());
    EXPECT_EQ(head.m_EffectParams.Width, 0);
}

TEST(CParticlesMesh, HitTestBySizeOrMask) {
    CParticlesMesh effect;
    effect.m_EffectParams.Width = 40;
    effect.m_EffectParams.Height = 20;
    EXPECT_TRUE(effect.HitTest(0, 0));
    EXPECT_TRUE(effect.HitTest(39, 19));
    EXPECT_FALSE(effect.HitTest(40, 10));
    EXPECT_FALSE(effect.HitTest(-1, 10));

    // A 4 x 2 mask over the effect's 40 x 20: only its top-right pixel is set.
    CSMaskImage mask;
    mask.m_nWidth = 4;
    mask.m_nHeight = 2;
    mask.m_arrBits.Append(uint8_t(1u << 3));
    const int32_t rect[8] = {0, 0, 40, 20, 0, 0, 4, 2};
    std::copy(rect, rect + 8, effect.m_anMaskRect);
    effect.m_pMaskImage = &mask;
    EXPECT_TRUE(effect.HitTest(35, 5));
    EXPECT_FALSE(effect.HitTest(5, 5));
    EXPECT_FALSE(effect.HitTest(35, 15));
    EXPECT_FALSE(effect.HitTest(40, 5));
    effect.m_pMaskImage = nullptr;  // the test's own
}

TEST(CParticlesMesh, SpriteInfoOfAParticleBlock) {
    CParticlesMesh effect;
    effectfixtures::BuildSample(effect);
    CParticlesMesh::SpriteInfo info;
    ASSERT_TRUE(effect.GetSpriteInfo(0, info));
    const CParticleParams& block = *effect.m_arrParticleParams[0];
    EXPECT_EQ(info.kind, block.ParticleKind);
    EXPECT_EQ(info.textures, block.TextureNames.size());
    EXPECT_EQ(info.columns, block.SheetColumns);
    EXPECT_EQ(info.lastFrame, block.LastFrame);
    EXPECT_FALSE(effect.GetSpriteInfo(-1, info));
    EXPECT_FALSE(effect.GetSpriteInfo(static_cast<int32_t>(effect.m_arrParticleParams.size()), info));
}

}  // namespace
