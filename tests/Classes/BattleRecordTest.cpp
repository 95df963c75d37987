// The battle record on the sample data: its start values, the shared materials, the
// definition and configuration look-ups, gold and floating texts.
#include <gtest/gtest.h>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Classes/Level/CLevel.h"
#include "Core/Service.h"
#include "LevelFixtures.h"
#include "SceneGraph/Material.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/GameData.h"

namespace {

namespace cfg = catalogue::config;
namespace gd = catalogue::gamedata;

class BattleRecordTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(data_.Read()); }
    levelfixtures::SampleData data_;
};

}  // namespace

TEST_F(BattleRecordTest, ANewBattleStartsWaitingWithNothingBuilt) {
    const CDunmarchGame battle(gd::kMapName);
    EXPECT_EQ(gd::kMapName, battle.GetMapName());
    EXPECT_EQ(CDunmarchGame::kStarting, battle.GetState());
    EXPECT_EQ(-1, battle.GetResult());
    EXPECT_EQ(1, battle.GetSpeedMode());
    EXPECT_EQ(0u, battle.GetStepCounter());
    EXPECT_EQ(0, battle.GetGold());
    EXPECT_EQ(0, battle.IsRestored());
    EXPECT_FALSE(battle.IsPlayingDemo());
    EXPECT_FALSE(battle.GetLevel());
    EXPECT_FALSE(battle.GetWorldGroup());
    EXPECT_TRUE(battle.GetCameraBoundary().GetPlanes().empty());
    EXPECT_TRUE(battle.GetFloatingTexts().empty());
}

TEST_F(BattleRecordTest, SharedMaterialsAreMadeAnewByEveryBattle) {
    boost::shared_ptr<sg::Material> held;
    {
        const CDunmarchGame first(gd::kMapName);
        held = GetSharedMaterial(1);
    }
    const CDunmarchGame second(gd::kMapName);
    const boost::shared_ptr<sg::Material> plain = GetSharedMaterial(0);
    const boost::shared_ptr<sg::Material> hidden = GetSharedMaterial(1);
    const boost::shared_ptr<sg::Material> cutOut = GetSharedMaterial(3);
    ASSERT_TRUE(plain && hidden && cutOut);
    EXPECT_NE(held, hidden);  // a node holding the old one keeps it
    EXPECT_FALSE(plain->IsBlending());
    EXPECT_EQ(Color(255, 255, 255, 255), plain->GetColor());
    EXPECT_TRUE(hidden->IsBlending());
    EXPECT_EQ(2, hidden->GetBlendMode());
    EXPECT_FLOAT_EQ(0.5f, hidden->GetOpacity());
    EXPECT_EQ(0, hidden->GetFlags() & sg::Material::kFlagDepthWrite);
    EXPECT_NE(0, cutOut->GetFlags() & sg::Material::kFlagAlphaTest);
    EXPECT_FLOAT_EQ(0.05f, cutOut->GetAlphaReference());
    EXPECT_EQ(7, cutOut->GetAlphaFunction());
    EXPECT_EQ(0, cutOut->GetFlags() & sg::Material::kFlagDepthWrite);
    for (const int32_t empty : {2, 4, -1}) EXPECT_FALSE(GetSharedMaterial(empty)) << empty;
}

TEST_F(BattleRecordTest, DefinitionLookUpsNeedNoBattle) {
    const MapDefinition* map = CDunmarchGame::FindMapDefinition(gd::kMapName);
    ASSERT_NE(nullptr, map);
    EXPECT_EQ(gd::kMapName, map->name);
    EXPECT_EQ(nullptr, CDunmarchGame::FindMapDefinition("harrowmere"));  // names are exact
    EXPECT_NE(nullptr, CDunmarchGame::FindWaveDefinition(gd::kWaveIds[0]));
    EXPECT_EQ(nullptr, CDunmarchGame::FindWaveDefinition(99));
    EXPECT_NE(nullptr, CDunmarchGame::FindAttackerDefinition(gd::kOrcWarrior));
    EXPECT_EQ(nullptr, CDunmarchGame::FindDefenderDefinition(gd::kOrcWarrior));
    EXPECT_NE(nullptr, CDunmarchGame::FindDefenderDefinition(gd::kHeavyWarrior));
    EXPECT_NE(nullptr, CDunmarchGame::FindWeaponDefinition(cfg::kLightning[2].weapon));

    // The keeper and the availability come from the battle's map.
    const CDunmarchGame battle(gd::kMapName);
    const CDunmarchGame elsewhere("Nowhere");
    EXPECT_EQ(gd::kKeeper, battle.GetKeeperName());
    EXPECT_EQ("", elsewhere.GetKeeperName());
    EXPECT_EQ(&battle.GetKeeperName(), &elsewhere.GetKeeperName());  // one string, overwritten
    EXPECT_EQ(2, battle.GetAvailabilityWave(gd::kPriest));
    EXPECT_EQ(0, battle.GetAvailabilityWave("Nobody"));
    EXPECT_EQ(0, elsewhere.GetAvailabilityWave(gd::kPriest));

    Service<GameDictionary>::Unregister();
    EXPECT_EQ(nullptr, CDunmarchGame::FindMapDefinition(gd::kMapName));
    EXPECT_EQ(nullptr, CDunmarchGame::FindWeaponDefinition(cfg::kLightning[2].weapon));
    EXPECT_EQ("", battle.GetKeeperName());
}

TEST_F(BattleRecordTest, ConfigurationLookUps) {
    struct Spell {
        int32_t kind, level, weapon;  // weapon 0: none
    };
    const Spell spells[] = {{0, 0, cfg::kSlowdown[0].weapon},
                            {2, 2, cfg::kLightning[2].weapon},
                            {1, 3, 0},
                            {3, 0, 0},
                            {-1, 0, 0},
                            {0, -1, 0}};
    for (const Spell& s : spells) {
        SCOPED_TRACE(std::to_string(s.kind) + "/" + std::to_string(s.level));
        const SpellDefinition* spell = CDunmarchGame::GetSpellDefinition(s.kind, s.level);
        EXPECT_EQ(s.weapon, spell != nullptr ? spell->weapon : 0);
    }
    ASSERT_NE(nullptr, CDunmarchGame::FindColor("GOLD"));
    EXPECT_EQ(Color(255, 215, 0, 255), CDunmarchGame::FindColor("GOLD")->color);
    EXPECT_EQ(nullptr, CDunmarchGame::FindColor(""));
    EXPECT_EQ(nullptr, CDunmarchGame::FindColor(nullptr));
    EXPECT_EQ(nullptr, CDunmarchGame::FindColor("mauve"));
    ASSERT_NE(nullptr, CDunmarchGame::FindSpawnPointType(1));
    EXPECT_EQ(cfg::kSpawnPointTypes[1].value, CDunmarchGame::FindSpawnPointType(1)->value);
    EXPECT_EQ(nullptr, CDunmarchGame::FindSpawnPointType(2));

    Service<Config>::Unregister();
    EXPECT_EQ(nullptr, CDunmarchGame::GetSpellDefinition(0, 0));
    EXPECT_EQ(nullptr, CDunmarchGame::FindColor("gold"));
    EXPECT_EQ(nullptr, CDunmarchGame::FindSpawnPointType(1));

    const int32_t sides[][2] = {{1, 2}, {2, 1}, {0, 0}, {3, 0}, {-1, 0}};
    for (const auto& side : sides) EXPECT_EQ(side[1], GetOppositeSide(side[0])) << side[0];
}

TEST_F(BattleRecordTest, GoldAndFloatingTexts) {
    CDunmarchGame battle(gd::kMapName);
    battle.AddGold(250);
    battle.AddGold(-100);
    EXPECT_EQ(150, battle.GetGold());
    battle.AddFloatingText("12", IntVector3(750, 250, 0));
    battle.AddFloatingText("+20%", IntVector3(250, 250, 0), Color(255, 165, 0, 255));
    ASSERT_EQ(2u, battle.GetFloatingTexts().size());
    EXPECT_EQ("12", battle.GetFloatingTexts()[0].GetText());
    EXPECT_EQ(750, battle.GetFloatingTexts()[0].GetPosition().x);
    EXPECT_EQ(Color(255, 255, 255, 255), battle.GetFloatingTexts()[0].GetColor());
    EXPECT_EQ(Color(255, 165, 0, 255), battle.GetFloatingTexts()[1].GetColor());
}

TEST(FloatingTextTest, RisesThenFadesAndEndsAt1500) {
    FloatingText text("+20%", IntVector3(250, 250, 0), Color(255, 165, 0, 255));
    struct Step {
        int32_t dt;
        bool goesOn;
        float offsetY;
        Color color;
    };
    const Step steps[] = {
        {500, true, -15.0f, Color(255, 165, 0, 255)},  // fading begins: still the full colour
        {500, true, -30.0f, Color(255, 165, 0, 127)},  // half faded
        {500, false, -30.0f, Color(255, 165, 0, 0)},   // ended without moving
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(text.GetElapsed() + step.dt);
        EXPECT_EQ(step.goesOn, text.Update(step.dt));
        EXPECT_FLOAT_EQ(0.0f, text.GetOffset().x);
        EXPECT_FLOAT_EQ(step.offsetY, text.GetOffset().y);
        EXPECT_EQ(step.color, text.GetColor());
    }
    text.Reset();
    EXPECT_EQ(0, text.GetElapsed());
    EXPECT_EQ(Color(255, 255, 255, 255), text.GetColor());
    EXPECT_TRUE(text.Update(33));
}
