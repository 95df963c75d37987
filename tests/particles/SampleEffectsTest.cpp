// The sample effects of the generated game folder, loaded as the game loads them: by
// their path in config.xml's "particles" folder through the effect cache, with their
// textures through the world texture loader. Each reads back into exactly the bytes it
// was written as, in the format version its record gives, and together the designs
// give the running effect every case it must handle.
#include <gtest/gtest.h>

#include <strings.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "../Graphics/TextureTestSupport.h"
#include "Core/ContentLoader.h"
#include "EffectFixtures.h"
#include "Graphics/Texture2D.h"
#include "particles/CSEntityObject.h"
#include "particles/CSTexture.h"
#include "particles/ParticleEffectCache.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/ParticleEffects.h"
#include "tools/catalogue/Textures.h"

namespace {

namespace cfg = catalogue::config;
namespace fx = catalogue::particles;

class SampleEffects : public texturetest::NullDeviceTest {
protected:
    typedef Content::ContentLoader<Graphics::Texture2D> WorldTextures;

    // The folders of config.xml are relative to the game's folder.
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(texturetest::NullDeviceTest::SetUp());
        previous_ = std::filesystem::current_path();
        const char* build = std::getenv("DM_BUILD_DIR");
        std::filesystem::current_path(std::string(build != nullptr ? build : "..") + "/game");
        textures_.reset(new WorldTextures(cfg::kTextures.Path()));
        Service<WorldTextures>::Register(textures_.get());
    }
    void TearDown() override {
        PurgeParticleCaches();
        Service<WorldTextures>::Unregister();
        textures_.reset();
        std::filesystem::current_path(previous_);
        texturetest::NullDeviceTest::TearDown();
    }

    static std::string Path(const char* name) { return cfg::kParticles.Path() + name; }

private:
    std::filesystem::path previous_;
    std::unique_ptr<WorldTextures> textures_;
};

TEST_F(SampleEffects, EveryEffectLoadsWithItsBlocksAndTextures) {
    for (const fx::Effect& record : fx::kEffects) {
        SCOPED_TRACE(record.name);
        const std::string path = Path(record.name);
        const std::string bytes = ScratchFolder::Read(path);
        ASSERT_FALSE(bytes.empty());

        CParticlesMesh read;
        const effectfixtures::ReadResult result = effectfixtures::ReadEffect(path, read);
        ASSERT_TRUE(result.ok);
        EXPECT_EQ(ParticleEffectVersion(result.versionWord), record.version);
        const std::vector<uint8_t> again = PrtWriter(result.versionWord).Write(read);
        EXPECT_EQ(std::string(again.begin(), again.end()), bytes);  // nothing lost to the version

        CParticlesMesh* effect = LoadParticleEffect(path.c_str());
        EXPECT_FALSE(effect->m_arrEmiterParams.empty());
        EXPECT_FALSE(effect->m_arrParticleParams.empty());
        EXPECT_FALSE(effect->m_arrEntries.empty());
        for (const CParticleEmiterParams* entry : effect->m_arrEntries) {
            EXPECT_EQ(entry->Name, entry->SecondName);
            EXPECT_LT(static_cast<size_t>(entry->EmiterIndex), effect->m_arrEmiterParams.size());
            if (!entry->EmitsEmitters) {
                EXPECT_LT(static_cast<size_t>(entry->ParticleIndex), effect->m_arrParticleParams.size());
            }
        }
        for (const CParticleParams* block : effect->m_arrParticleParams) {
            SCOPED_TRACE(block->Name.c_str());
            if (block->ParticleKind == 0) {
                ASSERT_EQ(block->ObjectList.GetCount(), 1u);
                EXPECT_NE(block->ObjectList[0], nullptr);
                continue;
            }
            ASSERT_EQ(block->TextureList.GetCount(), std::max<size_t>(1, block->TextureNames.size()));
            for (uint32_t i = 0; i < block->TextureList.GetCount(); ++i) {
                const CSTexture* texture = block->TextureList[i];
                ASSERT_NE(texture, nullptr) << "texture " << i;
                EXPECT_TRUE(texture->GetTexture());
            }
        }
        CSVector4 minimum, maximum;
        effect->GetBoundingBox(minimum, maximum);
        EXPECT_LT(minimum.x, maximum.x);
        EXPECT_LT(minimum.y, maximum.y);
        EXPECT_LT(minimum.z, maximum.z);
        effect->Release();
    }
}

// What the running effect must handle is all in the samples, and nothing it must not
// meet: beams (nothing sets the point they aim at), the third facing flag (its angles
// are fixed) and held entries that never emit (they freeze their instance).
TEST_F(SampleEffects, TogetherTheyUseEveryCase) {
    std::set<int32_t> kinds, spaces, shapes, blendings;
    std::map<int, int> versions;
    bool atlas = false, list = false, children = false, light = false, prefixed = false, defaultTexture = false;
    for (const fx::Effect& record : fx::kEffects) {
        SCOPED_TRACE(record.name);
        ++versions[record.version];
        CParticlesMesh effect;
        ASSERT_TRUE(effectfixtures::ReadEffect(Path(record.name), effect).ok);
        bool looping = false;
        for (const CParticleEmiterParams* entry : effect.m_arrEntries) {
            EXPECT_FALSE(entry->Hold);
            children = children || entry->EmitsEmitters;
            looping = looping || entry->RepeatMode == 2;
        }
        EXPECT_EQ(looping, record.run == fx::Run::Looping);
        EXPECT_EQ(record.end > 0.0f, record.run == fx::Run::OneShot);
        EXPECT_LE(record.end, 2.0f);
        for (const CEmiterParams* e : effect.m_arrEmiterParams) {
            EXPECT_FALSE(e->FacingFlag3);
            shapes.insert(e->EmitShape);
            light = light || e->EmitsLight;
        }
        for (const CParticleParams* p : effect.m_arrParticleParams) {
            kinds.insert(p->ParticleKind);
            if (p->ParticleKind != 0 && p->ParticleKind != 4) blendings.insert(p->AlphaBlended);
            spaces.insert(p->ParticleSpace);
            atlas = atlas || (p->WholeTexture == 0 && p->TextureNames.size() == 1 && p->LastFrame > p->FirstFrame);
            list = list || p->TextureNames.size() >= 2;
            defaultTexture = defaultTexture || (p->ParticleKind != 0 && p->TextureNames.empty());
            for (const CSString& name : p->TextureNames) {
                const char* text = name.c_str();
                prefixed = prefixed || (strncasecmp(text, "textures", 8) == 0 && (text[8] == '\\' || text[8] == '/'));
            }
        }
    }
    EXPECT_EQ(kinds, (std::set<int32_t>{0, 1, 2, 3, 4, 5, 7, 8}));
    EXPECT_EQ(blendings, (std::set<int32_t>{0, 1}));
    EXPECT_EQ(spaces, (std::set<int32_t>{0, 1, 2}));
    EXPECT_EQ(shapes, (std::set<int32_t>{0, 1, 2, 3}));
    EXPECT_TRUE(atlas);
    EXPECT_TRUE(list);
    EXPECT_TRUE(children);
    EXPECT_TRUE(light);
    EXPECT_TRUE(prefixed);
    EXPECT_TRUE(defaultTexture);
    EXPECT_EQ(versions[2], 1);
    EXPECT_EQ(versions[4], 1);
    EXPECT_EQ(versions[5], static_cast<int>(std::size(fx::kEffects)) - 2);
}

// A busy moment of a battle stays below the particle budget of 1500, so the detail
// level never has to thin the particles out.
TEST(SampleEffectsBudget, BusyBattleStaysBelowTheBudget) {
    namespace gd = catalogue::gamedata;
    const struct {
        const char* effect;
        int instances;
    } battle[] = {
        // the slots: six free, one selected, one the target of a move
        {fx::kSelection1, 3},
        {fx::kSelection3, 3},
        {fx::kSelection4, 1},
        {fx::kSelection1Target, 1},
        // ten defenders: two selected, three boosted, all healing themselves
        {fx::kSelected, 2},
        {fx::kBoost, 3},
        {fx::kHealingAuto, 10},
        // twenty attackers, half of them slowed, hit every half second
        {gd::kSlowed, 10},
        {gd::kHitBlood, 8},
        {gd::kHitSpark, 4},
        {gd::kHitFire, 4},
        {gd::kHitDark, 4},
        {gd::kHitHeal, 2},
        {gd::kCastFire, 4},
        {gd::kCastDark, 4},
        {gd::kCastHeal, 2},
        // the three spells at once, and what the player does meanwhile
        {gd::kSpellFirestorm, 1},
        {gd::kSpellLightning, 1},
        {gd::kSpellSlowdown, 1},
        {fx::kSpawn, 1},
        {fx::kHealing, 1},
        {fx::kUpgrade, 1},
        {fx::kTeleport, 1},
        {fx::kSell, 1},
        // the map's scenery
        {gd::kTorch, 2},
        {gd::kCampfire, 1},
        {gd::kMist, 1},
    };
    int particles = 0;
    for (const auto& b : battle) {
        const fx::Effect* record = fx::Find(b.effect);
        ASSERT_NE(record, nullptr) << b.effect;
        particles += record->peak * b.instances;
    }
    EXPECT_LT(particles, 1500);
}

}  // namespace
