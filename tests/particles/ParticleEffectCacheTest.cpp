// Loading effects by file name: the effect cache (exact names, counts, ageing, the
// purge), the post-processing of a load (the mask entry, image-emitter point lists,
// object entities, sprite textures with their prefix and the default texture) and the
// small helpers of the load.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../Graphics/TextureTestSupport.h"
#include "Core/Assert.h"
#include "Core/ContentLoader.h"
#include "EffectFixtures.h"
#include "Graphics/Texture2D.h"
#include "particles/CSCachedTexture.h"
#include "particles/CSEntityObject.h"
#include "particles/CSTexture.h"
#include "particles/ParticleCache.h"
#include "particles/ParticleEffectCache.h"
#include "particles/ParticleLightColour.h"
#include "support/AssertionRecorder.h"

namespace {

using effectfixtures::Add;
using effectfixtures::AddEntry;

// A sprite block named `name` drawing the given textures.
CParticleParams* AddSprite(CParticlesMesh& effect, const char* name, std::vector<const char*> textures) {
    CParticleParams* p = Add(effect.m_arrParticleParams);
    p->Name = name;
    p->ParticleKind = 1;
    for (const char* texture : textures) p->TextureNames.push_back(CSString(texture));
    return p;
}

// One emitter block, three sprite blocks, an entry per block.
void BuildThreeEntries(CParticlesMesh& effect) {
    Add(effect.m_arrEmiterParams)->Name = "e";
    AddSprite(effect, "p0", {"a.dds"});
    AddSprite(effect, "p1", {"b.dds"});
    AddSprite(effect, "p2", {"c.dds"});
    AddEntry(effect, "first", 0, 0);
    AddEntry(effect, "second", 0, 1);
    AddEntry(effect, "third", 0, 2);
}

std::vector<std::string> Names(const std::vector<CParticleEmiterParams*>& entries) {
    std::vector<std::string> names;
    for (const CParticleEmiterParams* entry : entries) names.push_back(entry->Name.c_str());
    return names;
}

std::vector<std::string> Names(const std::vector<CParticleParams*>& blocks) {
    std::vector<std::string> names;
    for (const CParticleParams* block : blocks) names.push_back(block->Name.c_str());
    return names;
}

std::vector<int32_t> ParticleIndices(const CParticlesMesh& effect) {
    std::vector<int32_t> indices;
    for (const CParticleEmiterParams* entry : effect.m_arrEntries) indices.push_back(entry->ParticleIndex);
    return indices;
}

class ParticleEffectCacheTest : public ::testing::Test {
protected:
    void TearDown() override { PurgeParticleCaches(); }

    std::string Write(const std::string& name, const CParticlesMesh& effect, int32_t version = 5) {
        return effectfixtures::WriteEffect(folder, name, effect, version);
    }
    static void Sweeps(int n) {
        for (int i = 0; i < n; ++i) SweepParticleCaches();
    }

    ScratchFolder folder;
};

TEST_F(ParticleEffectCacheTest, NamesAreKeysAsAsked) {
    CParticlesMesh written;
    BuildThreeEntries(written);
    const std::string path = Write("spawn.prt", written);
    const std::string upper = folder / "SPAWN.prt";  // the file layer finds it in any case

    CParticlesMesh* first = LoadParticleEffect(path.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->m_strFileName.c_str(), path.c_str());
    EXPECT_EQ(first->m_arrEntries.size(), 3u);
    EXPECT_EQ(first->GetRefCount(), 1);

    first->m_nAge = 9;
    EXPECT_EQ(LoadParticleEffect(path.c_str()), first);  // a hit adds a reference, the age stays
    EXPECT_EQ(first->GetRefCount(), 2);
    EXPECT_EQ(first->m_nAge, 9);

    CParticlesMesh* other = LoadParticleEffect(upper.c_str());
    EXPECT_NE(other, first);  // another letter case is another entry
    EXPECT_EQ(other->m_arrEntries.size(), 3u);
    EXPECT_EQ(ParticleEffectCache().GetSize(), 2u);
    EXPECT_EQ(ParticleEffectCache().Find(upper), other);

    for (CParticlesMesh* effect : {first, first, other}) effect->Release();
}

TEST_F(ParticleEffectCacheTest, FilesThatDoNotLoadGiveEmptyEffects) {
    CParticlesMesh written;
    BuildThreeEntries(written);
    std::string truncated = ScratchFolder::Read(Write("whole.prt", written));
    truncated.resize(truncated.size() - 5);
    const std::string cases[] = {folder / "missing.prt", folder.Write("short.prt", truncated),
                                 folder.Write("empty.prt", "")};
    for (const std::string& name : cases) {
        SCOPED_TRACE(name);
        CParticlesMesh* effect = LoadParticleEffect(name.c_str());
        ASSERT_NE(effect, nullptr);
        EXPECT_TRUE(effect->m_arrEmiterParams.empty());
        EXPECT_TRUE(effect->m_arrParticleParams.empty());
        EXPECT_TRUE(effect->m_arrEntries.empty());
        CSVector4 minimum, maximum;  // the default box
        effect->GetBoundingBox(minimum, maximum);
        EXPECT_EQ(maximum.z, 10.0f);
        EXPECT_EQ(LoadParticleEffect(name.c_str()), effect);  // cached like any other
        effect->Release();
        effect->Release();
    }
}

TEST_F(ParticleEffectCacheTest, UnreferencedEffectsLive512Sweeps) {
    CParticlesMesh written;
    const std::string path = Write("hit.prt", written);
    CParticlesMesh* effect = LoadParticleEffect(path.c_str());
    effect->m_nAge = 30;
    EXPECT_EQ(effect->Release(), 0);
    EXPECT_EQ(effect->m_nAge, 0);

    Sweeps(512);
    EXPECT_EQ(ParticleEffectCache().Find(path), effect);
    EXPECT_EQ(effect->m_nAge, 512);
    EXPECT_EQ(LoadParticleEffect(path.c_str()), effect);  // revived: count 1, age kept
    Sweeps(600);                                          // referenced: never aged, never deleted
    EXPECT_EQ(effect->m_nAge, 512);
    effect->Release();  // the age restarts
    Sweeps(512);
    EXPECT_NE(ParticleEffectCache().Find(path), nullptr);
    SweepParticleCaches();  // the 513th
    EXPECT_EQ(ParticleEffectCache().Find(path), nullptr);
}

TEST_F(ParticleEffectCacheTest, SweepRestartsAfterADeletion) {
    CParticlesMesh written;
    const std::string a = Write("a.prt", written), b = Write("b.prt", written), c = Write("c.prt", written);
    CParticlesMesh* first = LoadParticleEffect(a.c_str());
    CParticlesMesh* old = LoadParticleEffect(b.c_str());
    CParticlesMesh* last = LoadParticleEffect(c.c_str());
    for (CParticlesMesh* effect : {first, old, last}) effect->Release();
    old->m_nAge = 512;
    SweepParticleCaches();
    // "a" was aged, then aged again by the walk that restarted after "b" went; "c" once.
    EXPECT_EQ(ParticleEffectCache().Find(b), nullptr);
    EXPECT_EQ(first->m_nAge, 2);
    EXPECT_EQ(last->m_nAge, 1);
}

TEST_F(ParticleEffectCacheTest, PurgeDeletesEveryUnreferencedEntry) {
    CParticlesMesh written;
    CEmiterParams* image = Add(written.m_arrEmiterParams);
    image->EmitShape = CEmiterParams::kShapeRectangle;
    image->ImageName = "logo";
    const std::string kept = Write("kept.prt", written), dropped = Write("dropped.prt", written);
    CParticlesMesh* held = LoadParticleEffect(kept.c_str());
    LoadParticleEffect(dropped.c_str())->Release();  // age 0: no sweep would delete it yet
    CSCachedTexture* unused = GetCachedTexture("unused", false, false);
    unused->Release();
    EXPECT_EQ(GetTextureCacheSize(), 2u);  // "logo:00", shared by both effects, and "unused:00"

    PurgeParticleCaches();
    EXPECT_EQ(ParticleEffectCache().Find(kept), held);
    EXPECT_EQ(ParticleEffectCache().Find(dropped), nullptr);
    EXPECT_EQ(GetTextureCacheSize(), 1u);  // the referenced point list stays
    EXPECT_EQ(held->m_arrEmiterParams[0]->MaskImage->m_nRefCount, 1);

    held->Release();
    PurgeParticleCaches();
    EXPECT_EQ(ParticleEffectCache().GetSize(), 0u);
    EXPECT_EQ(GetTextureCacheSize(), 0u);
}

// The first entry with trigger flag 1 is the mask entry: with a texture name on a
// particle block that exists it goes, with its block when nobody else uses it.
TEST_F(ParticleEffectCacheTest, MaskEntryIsRemoved) {
    struct Case {
        const char* what;
        void (*prepare)(CParticlesMesh&);
        std::vector<std::string> entries;
        std::vector<std::string> blocks;
        std::vector<int32_t> indices;
    };
    const Case cases[] = {
        {"the only user of its block: the later indices shift down",
         [](CParticlesMesh& e) { e.m_arrEntries[1]->TriggerA = 1; },
         {"first", "third"},
         {"p0", "p2"},
         {0, 1}},
        {"the first of two trigger-1 entries goes",
         [](CParticlesMesh& e) {
             e.m_arrEntries[0]->TriggerA = 1;
             e.m_arrEntries[2]->TriggerA = 1;
         },
         {"second", "third"},
         {"p1", "p2"},
         {0, 1}},
        {"a shared block stays",
         [](CParticlesMesh& e) {
             e.m_arrEntries[0]->TriggerA = 1;
             e.m_arrEntries[2]->ParticleIndex = 0;
         },
         {"second", "third"},
         {"p0", "p1", "p2"},
         {1, 0}},
        {"no texture name: nothing goes, and no later entry is tried",
         [](CParticlesMesh& e) {
             e.m_arrParticleParams[0]->TextureNames.clear();
             e.m_arrEntries[0]->TriggerA = 1;
             e.m_arrEntries[1]->TriggerA = 1;
         },
         {"first", "second", "third"},
         {"p0", "p1", "p2"},
         {0, 1, 2}},
        {"a particle block past the end",
         [](CParticlesMesh& e) {
             e.m_arrEntries[2]->TriggerA = 1;
             e.m_arrEntries[2]->ParticleIndex = 3;
         },
         {"first", "second", "third"},
         {"p0", "p1", "p2"},
         {0, 1, 3}},
        {"an emitter block past the end",
         [](CParticlesMesh& e) {
             e.m_arrEntries[1]->TriggerA = 1;
             e.m_arrEntries[1]->EmiterIndex = 1;
         },
         {"first", "second", "third"},
         {"p0", "p1", "p2"},
         {0, 1, 2}},
        {"a negative particle block",
         [](CParticlesMesh& e) {
             e.m_arrEntries[1]->TriggerA = 1;
             e.m_arrEntries[1]->ParticleIndex = -1;
         },
         {"first", "second", "third"},
         {"p0", "p1", "p2"},
         {0, -1, 2}},
        {"trigger flag 2 alone is no mask entry",
         [](CParticlesMesh& e) { e.m_arrEntries[0]->TriggerB = 1; },
         {"first", "second", "third"},
         {"p0", "p1", "p2"},
         {0, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CParticlesMesh written;
        BuildThreeEntries(written);
        c.prepare(written);
        const std::string path = Write("mask.prt", written);
        CParticlesMesh* effect = LoadParticleEffect(path.c_str());
        EXPECT_EQ(Names(effect->m_arrEntries), c.entries);
        EXPECT_EQ(Names(effect->m_arrParticleParams), c.blocks);
        EXPECT_EQ(ParticleIndices(*effect), c.indices);
        EXPECT_EQ(effect->m_pMaskImage, nullptr);  // masks never load here
        effect->Release();
        PurgeParticleCaches();
    }
}

// The cache owns what it holds: the entries still there when it goes are deleted, so
// the effects left in the process-wide cache at exit are freed.
TEST(ParticleCacheTest, EntriesLeftAreDeletedWithTheCache) {
    struct Entry {
        int32_t m_nRefCount;
        int32_t m_nAge;
        int* deleted;
        ~Entry() { ++*deleted; }
    };
    int deleted = 0;
    {
        ParticleCache<Entry> cache;
        cache.Insert("a", new Entry{1, 0, &deleted});
        cache.Insert("b", new Entry{0, 3, &deleted});
    }
    EXPECT_EQ(2, deleted);
}

TEST(ParticleEffectLoad, ReadSetsUpOnlyWhenAsked) {
    ScratchFolder folder;
    CParticlesMesh written;
    BuildThreeEntries(written);
    written.m_arrEntries[0]->TriggerA = 1;
    const std::string path = effectfixtures::WriteEffect(folder, "plain.prt", written, 5);

    CParticlesMesh plain, processed;
    {
        CSArchive archive(path.c_str());
        ASSERT_TRUE(plain.Read(archive));
    }
    ASSERT_TRUE(processed.Load(path.c_str(), true));
    EXPECT_EQ(plain.m_arrEntries.size(), 3u);
    EXPECT_EQ(plain.m_arrParticleParams[0]->TextureList.GetCount(), 0u);
    EXPECT_EQ(processed.m_arrEntries.size(), 2u);
    EXPECT_EQ(processed.m_arrParticleParams[0]->TextureList.GetCount(), 1u);
    EXPECT_FALSE(processed.Load((folder / "missing.prt").c_str(), true));
    EXPECT_EQ(processed.m_arrEntries.size(), 2u);  // a failed load changes nothing
    PurgeTextureCache(true);
}

TEST(SplitModelName, AtTheLastQuestionMark) {
    const struct {
        const char* reference;
        const char* file;
        const char* node;
    } cases[] = {
        {"rock.pod", "rock.pod", "kept"},  // no "?": the node is left as it was
        {"rock.pod?Object", "rock.pod", "Object"},
        {"a?b?c", "a?b", "c"},
        {"?node", "", "node"},
        {"file?", "file", ""},
        {"", "", "kept"},
        {nullptr, "", "kept"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reference != nullptr ? c.reference : "(null)");
        std::string file = "old", node = "kept";
        SplitModelName(c.reference, file, node);
        EXPECT_EQ(file, c.file);
        EXPECT_EQ(node, c.node);
    }
}

TEST(GetParticleTint, BrightensTheLightColourByHalf) {
    const CSVector4 saved = ParticleLightColour;
    const struct {
        CSVector4 light;
        CSVector4 tint;
    } cases[] = {
        {CSVector4(1.0f, 1.0f, 1.0f, 1.0f), CSVector4(1.0f, 1.0f, 1.0f, 1.0f)},
        {CSVector4(0.4f, 0.8f, 0.0f, 0.5f), CSVector4(0.6f, 1.0f, 0.0f, 0.5f)},
        {CSVector4(0.5f, 0.6f, 2.0f, 3.0f), CSVector4(0.75f, 0.90000004f, 1.0f, 3.0f)},
    };
    for (const auto& c : cases) {
        ParticleLightColour = c.light;
        const CSVector4 tint = GetParticleTint();
        EXPECT_FLOAT_EQ(tint.x, c.tint.x);
        EXPECT_FLOAT_EQ(tint.y, c.tint.y);
        EXPECT_FLOAT_EQ(tint.z, c.tint.z);
        EXPECT_EQ(tint.w, c.tint.w);
    }
    ParticleLightColour = saved;
}

// Textures through the world texture loader on the null device.
class ParticleEffectTextures : public texturetest::NullDeviceTest {
protected:
    typedef Content::ContentLoader<Graphics::Texture2D> WorldTextures;

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(texturetest::NullDeviceTest::SetUp());
        textures.reset(new WorldTextures(folder));
        Service<WorldTextures>::Register(textures.get());
        ignored.emplace();  // missing textures assert
    }
    void TearDown() override {
        ignored.reset();
        PurgeParticleCaches();
        Service<WorldTextures>::Unregister();
        textures.reset();
        texturetest::NullDeviceTest::TearDown();
    }

    // The width of the texture, 0 for none.
    static float Width(const CSTexture* texture) {
        return texture != nullptr && texture->GetTexture() ? texture->GetTexture()->GetImageSize().x : 0.0f;
    }

    std::unique_ptr<WorldTextures> textures;
    std::optional<AssertionRecorder> ignored;
};

TEST_F(ParticleEffectTextures, PrefixIsDroppedWithItsSeparatorWhenLoadingOrLookingForTheFile) {
    Write("spark.dds", texturetest::Dds(16, 16));
    Write("sub/spark.dds", texturetest::Dds(32, 32));
    Write("texturesspark.dds", texturetest::Dds(64, 64));
    const struct {
        const char* name;
        float width;
    } cases[] = {
        {"textures\\spark.dds", 16}, {"TEXTURES/spark.dds", 16},  {"Textures\\sub\\spark.dds", 32},
        {"spark.dds", 16},           {"texturesspark.dds", 64},   {"sub/spark.dds", 32},
        {"textures/missing.dds", 0}, {"mytextures/spark.dds", 0}, {"textures", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CSTexture* texture = LoadParticleTexture(c.name);
        EXPECT_EQ(Width(texture), c.width);
        if (texture != nullptr) texture->Release();
        EXPECT_EQ(ParticleTextureFileExists(c.name), c.width != 0);
    }
    // Without the world texture loader no file is looked for.
    Service<WorldTextures>::Unregister();
    EXPECT_FALSE(ParticleTextureFileExists("spark.dds"));
    Service<WorldTextures>::Register(textures.get());
}

TEST_F(ParticleEffectTextures, SetUpOfEmitterAndParticleBlocks) {
    Write("a.dds", texturetest::Dds(16, 16));
    Write("b.dds", texturetest::Dds(32, 32));
    Write("xxxdefault.bmp", texturetest::BmpFile(8, 8, 24));

    CParticlesMesh written;
    const struct {
        int32_t shape;
        const char* image;
        bool gets;
    } emiters[] = {
        {CEmiterParams::kShapeRectangle, "logo", true},  // an image emitter
        {CEmiterParams::kShapeRectangle, "", false},     // without image name
        {CEmiterParams::kShapeBox, "logo", false},       // not an image emitter
    };
    for (const auto& e : emiters) {
        CEmiterParams* block = Add(written.m_arrEmiterParams);
        block->EmitShape = e.shape;
        block->ImageName = e.image;
        block->ImageFlag1 = 1;
    }
    AddSprite(written, "list", {"a.dds", "textures\\b.dds", "missing.dds"});
    AddSprite(written, "none", {});
    AddSprite(written, "model", {"a.dds"})->ParticleKind = 0;
    written.m_arrParticleParams.back()->ModelName = "rock.pod?x?Object";  // several "?"
    AddSprite(written, "hidden", {"b.dds"})->ParticleKind = 4;
    AddEntry(written, "main", 7, -3);  // indices out of range load all the same

    const std::string path = folder + "set-up.prt";
    ASSERT_TRUE(PrtWriter(PrtWriter::VersionWord(5)).WriteFile(written, path));
    CParticlesMesh* effect = LoadParticleEffect(path.c_str());
    ASSERT_EQ(effect->m_arrEmiterParams.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const CSCachedTexture* image = effect->m_arrEmiterParams[i]->MaskImage;
        EXPECT_EQ(image != nullptr, emiters[i].gets);
        if (image != nullptr) {
            EXPECT_STREQ(image->m_strKey.c_str(), "logo:10");
        }
    }

    ASSERT_EQ(effect->m_arrParticleParams.size(), 4u);
    const CParticleParams& list = *effect->m_arrParticleParams[0];
    ASSERT_EQ(list.TextureList.GetCount(), 3u);  // one per name, the missing one null
    EXPECT_EQ(Width(list.TextureList[0]), 16);
    EXPECT_EQ(Width(list.TextureList[1]), 32);
    EXPECT_EQ(list.TextureList[2], nullptr);
    EXPECT_EQ(list.ObjectList.GetCount(), 0u);

    const CParticleParams& none = *effect->m_arrParticleParams[1];
    ASSERT_EQ(none.TextureList.GetCount(), 1u);  // "XXXDefault.bmp"
    EXPECT_EQ(Width(none.TextureList[0]), 8);

    const CParticleParams& model = *effect->m_arrParticleParams[2];
    ASSERT_EQ(model.ObjectList.GetCount(), 1u);
    ASSERT_NE(model.ObjectList[0], nullptr);
    EXPECT_EQ(model.ObjectList[0]->GetEntityType(), CSEntity::kTypeObject);
    EXPECT_EQ(model.ObjectList[0]->GetHostNode(), nullptr);
    EXPECT_EQ(model.TextureList.GetCount(), 0u);  // whatever its names

    EXPECT_EQ(Width(effect->m_arrParticleParams[3]->TextureList[0]), 32);  // every sprite kind loads
    effect->Release();
}

TEST_F(ParticleEffectTextures, ACopyHasBlocksOfItsOwnAndSharesTheTextures) {
    Write("a.dds", texturetest::Dds(16, 16));
    CParticlesMesh written;
    written.m_astrNames[1] = "original";
    CEmiterParams* image = Add(written.m_arrEmiterParams);
    image->EmitShape = CEmiterParams::kShapeRectangle;
    image->ImageName = "logo";
    effectfixtures::SetKeys(image->Tracks[CEmiterParams::EmitRate], {1.0f, 2.0f});
    AddSprite(written, "sprite", {"a.dds"});
    AddSprite(written, "model", {})->ParticleKind = 0;
    written.m_arrParticleParams.back()->ModelName = "rock.pod?Object";
    AddEntry(written, "main", 0, 0, {"main"});
    const std::string path = folder + "copied.prt";
    ASSERT_TRUE(PrtWriter(PrtWriter::VersionWord(5)).WriteFile(written, path));
    CParticlesMesh* effect = LoadParticleEffect(path.c_str());

    CParticlesMesh* copy = effect->Clone();
    EXPECT_EQ(copy->GetRefCount(), 1);
    EXPECT_STREQ(copy->m_strFileName.c_str(), path.c_str());
    EXPECT_STREQ(copy->GetEffectName().c_str(), "original");
    ASSERT_EQ(copy->m_arrEmiterParams.size(), 1u);
    ASSERT_EQ(copy->m_arrParticleParams.size(), 2u);
    ASSERT_EQ(copy->m_arrEntries.size(), 1u);
    EXPECT_NE(copy->m_arrEmiterParams[0], effect->m_arrEmiterParams[0]);
    EXPECT_EQ(copy->m_arrEmiterParams[0]->GetRefCount(), 1);
    EXPECT_EQ(copy->m_arrEntries[0]->ChildNames.size(), 1u);
    // Textures and image entries are shared and counted; model objects are new.
    CSCachedTexture* entry = effect->m_arrEmiterParams[0]->MaskImage;
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(copy->m_arrEmiterParams[0]->MaskImage, entry);
    EXPECT_EQ(entry->m_nRefCount, 2);
    CSTexture* texture = effect->m_arrParticleParams[0]->TextureList[0];
    EXPECT_EQ(copy->m_arrParticleParams[0]->TextureList[0], texture);
    EXPECT_EQ(texture->GetRefCount(), 2);
    const CSEntityObject* object = copy->m_arrParticleParams[1]->ObjectList[0];
    ASSERT_NE(object, nullptr);
    EXPECT_NE(object, effect->m_arrParticleParams[1]->ObjectList[0]);
    EXPECT_EQ(object->m_nNode, effect->m_arrParticleParams[1]->ObjectList[0]->m_nNode);
    // The rows are copies: a change to one leaves the other.
    copy->m_arrEmiterParams[0]->Tracks[CEmiterParams::EmitRate].m_arrKeys[1] = 5.0f;
    EXPECT_EQ(effect->m_arrEmiterParams[0]->GetTrackKey(CEmiterParams::EmitRate, 1), 2.0f);

    // The copy outlives the effect it was made from.
    effect->Release();
    PurgeParticleCaches();
    EXPECT_EQ(texture->GetRefCount(), 1);
    EXPECT_EQ(Width(copy->m_arrParticleParams[0]->TextureList[0]), 16);
    EXPECT_EQ(copy->m_arrEmiterParams[0]->GetTrackKey(CEmiterParams::EmitRate, 1), 5.0f);
    delete copy;
}

}  // namespace
