// The game data the data builder generated, loaded through the dictionary as the game
// loads it (from the game's folder, through config.xml), with every reference checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "IO/File.h"
#include "tools/catalogue/Clips.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/GameData.h"
#include "tools/catalogue/Level.h"
#include "tools/catalogue/Models.h"
#include "tools/catalogue/Sounds.h"

namespace {

namespace cfg = catalogue::config;
namespace cl = catalogue::level;
namespace gd = catalogue::gamedata;
namespace cm = catalogue::models;

std::string GameDir() {
    const char* build = std::getenv("DM_BUILD_DIR");
    // Tests run in the build folder's tests/ folder when DM_BUILD_DIR is not given.
    return std::string(build ? build : "..") + "/game";
}

template <size_t N>
bool Lists(const char* const (&names)[N], const std::string& name) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The dictionary is loaded once, in the game's folder (config.xml's folders are relative).
class GameDataTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(GameDir());
        config_read_ = config_.Read(cfg::kFileName);
        loaded_ = dictionary_.Load(config_);
        view_found_ = IO::FileExists(config_.Paths.MapViewsPath + gd::kViewFile);
        std::filesystem::current_path(previous);
    }

    static Config config_;
    static GameDictionary dictionary_;
    static bool config_read_, loaded_, view_found_;
};

Config GameDataTest::config_;
GameDictionary GameDataTest::dictionary_;
bool GameDataTest::config_read_ = false;
bool GameDataTest::loaded_ = false;
bool GameDataTest::view_found_ = false;

}  // namespace

TEST_F(GameDataTest, LoadsEveryFileWithoutSkippingAnything) {
    ASSERT_TRUE(config_read_);
    EXPECT_TRUE(loaded_);
    for (const std::string& line : dictionary_.GetSkipped()) ADD_FAILURE() << line;
    EXPECT_FALSE(dictionary_.GetWeapons().empty());
    EXPECT_FALSE(dictionary_.GetAttackers().empty());
    EXPECT_FALSE(dictionary_.GetDefenders().empty());
    EXPECT_EQ(std::size(gd::kWaveIds), dictionary_.GetWaves().size());
    EXPECT_EQ(1u, dictionary_.GetMaps().size());
}

TEST_F(GameDataTest, UnitsWavesAndSpellsNameExistingDefinitions) {
    auto checkWeapon = [&](int32_t id, const std::string& who) {
        EXPECT_NE(nullptr, dictionary_.FindWeapon(id)) << who << " names weapon " << id;
    };
    for (const auto& [id, attacker] : dictionary_.GetAttackers()) checkWeapon(attacker.weapon, id);
    for (const auto& [id, defender] : dictionary_.GetDefenders()) {
        checkWeapon(defender.weapon, id);
        const UpgradeEntry& upgrade = defender.upgrades[DefenderDefinition::kUpgradeWeapon];
        for (int level = 0; level < 4; ++level) {
            // A level the table offers has a price; weapon-upgradable defenders offer all four.
            if (upgrade.values[level] != 0) checkWeapon(upgrade.values[level], id + " upgrade");
            EXPECT_EQ(upgrade.values[level] != 0, upgrade.prices[level] != 0) << id << " level " << level + 1;
        }
        if (!(defender.flags & kNoWeaponUpgrading) && defender.type != kUnitDungeonKeeper) {
            EXPECT_NE(0, upgrade.values[3]) << id;
        }
    }
    for (const auto& [id, wave] : dictionary_.GetWaves()) {
        EXPECT_FALSE(wave.entries.empty()) << "wave " << id;
        for (const WaveEntry& entry : wave.entries) {
            EXPECT_NE(nullptr, dictionary_.FindAttacker(entry.name)) << "wave " << id << ": " << entry.name;
            EXPECT_TRUE(entry.spawnPoint == gd::kEntryWest || entry.spawnPoint == gd::kEntryEast);
            EXPECT_GT(entry.count, 0);
        }
    }
    // The spells of config.xml, at every level the keeper's weapon upgrades reach.
    for (const std::vector<SpellDefinition>& levels : config_.Spells) {
        ASSERT_FALSE(levels.empty());
        for (const SpellDefinition& spell : levels) checkWeapon(spell.weapon, "a spell");
    }
    for (const char* id : gd::kPurchasableDefenders) EXPECT_NE(nullptr, dictionary_.FindDefender(id)) << id;
}

TEST_F(GameDataTest, TheMapNamesItsViewLevelWavesAndDefenders) {
    ASSERT_FALSE(config_.Maps.empty());
    const MapDefinition* map = dictionary_.FindMap(config_.Maps[0]);
    ASSERT_NE(nullptr, map);
    EXPECT_EQ(gd::kMapName, map->name);

    // The view was read from its lower-cased name; the level file is named for the level's writer.
    EXPECT_EQ(gd::kViewFile, map->files.view);
    EXPECT_TRUE(view_found_);
    EXPECT_EQ(gd::kLevelFile, Lower(map->files.data));
    EXPECT_EQ(cm::kMapMesh, map->files.mesh);
    EXPECT_TRUE(Lists(catalogue::sounds::kMusic, map->files.music));
    ASSERT_EQ(6u, map->view.points.size());
    EXPECT_EQ(cm::kViewRotationX, map->view.transformation[0]);
    EXPECT_GT(map->view.camera[0], 0.0f);
    EXPECT_EQ(3u, map->view.pickAreas.size());

    ASSERT_EQ(std::size(gd::kWaveIds), map->waves.size());
    for (const MapWave& wave : map->waves) EXPECT_NE(nullptr, dictionary_.FindWave(wave.id)) << wave.id;
    EXPECT_GT(map->stats.gold, 0);

    const DefenderDefinition* keeper = nullptr;
    for (const MapAvailability& entry : map->availability) {
        const DefenderDefinition* defender = dictionary_.FindDefender(entry.defender);
        ASSERT_NE(nullptr, defender) << entry.defender;
        if (!keeper && defender->type == kUnitDungeonKeeper) keeper = defender;
    }
    ASSERT_NE(nullptr, keeper);
    EXPECT_EQ(gd::kKeeper, keeper->id);
    // The level places the particle entries at 500 grid units a cell: they are given in
    // level cells (15 world units), each at the centre of its catalogued cell of the grid.
    ASSERT_EQ(std::size(cl::kMapEffects), map->particles.size());
    for (size_t i = 0; i < map->particles.size(); ++i) {
        const MapParticle& particle = map->particles[i];
        const cl::Effect& effect = cl::kMapEffects[i];
        SCOPED_TRACE(particle.name);
        EXPECT_EQ(effect.name, particle.name);
        EXPECT_TRUE(Lists(gd::kParticles, particle.name));
        EXPECT_EQ(effect.cell.column + 0.5f, particle.position.x);
        EXPECT_EQ(effect.cell.row + 0.5f, particle.position.y);
        EXPECT_EQ(effect.height, particle.position.z);
        EXPECT_TRUE(particle.position.x >= 0 && particle.position.x < cl::kGridColumns);
        EXPECT_TRUE(particle.position.y >= 0 && particle.position.y < cl::kGridRows);
    }
}

TEST_F(GameDataTest, AssetNamesAreThoseOfTheCatalogues) {
    // The humanoid of a unit's model; the unit plays the clip table that humanoid names.
    auto humanoid = [](const std::string& mesh) -> const cm::Humanoid* {
        if (mesh == cm::kKeeper.mesh) return &cm::kKeeper;
        if (mesh == cm::kHero.mesh) return &cm::kHero;
        for (const auto& h : cm::kDefenders)
            if (mesh == h.mesh) return &h;
        for (const auto& h : cm::kAttackers)
            if (mesh == h.mesh) return &h;
        return nullptr;
    };
    auto sounds = [](const std::vector<std::string>& names, const std::string& who) {
        for (const std::string& name : names)
            EXPECT_TRUE(Lists(catalogue::sounds::kEffects, name)) << who << ": " << name;
    };
    auto unit = [&](const UnitDefinition& u) {
        const cm::Humanoid* h = humanoid(u.mesh);
        ASSERT_NE(nullptr, h) << u.id << ": " << u.mesh;
        EXPECT_EQ(h->clips, u.animation) << u.id;
        EXPECT_TRUE(Lists(catalogue::clips::kTables, u.animation)) << u.id << ": " << u.animation;
        EXPECT_FALSE(u.attackAnimations.empty()) << u.id;
        for (const std::string& clip : u.attackAnimations)
            EXPECT_TRUE(Lists(cm::kAttackAnimations, clip)) << u.id << ": " << clip;
        EXPECT_FALSE(u.sounds.empty()) << u.id;
        sounds(u.sounds, u.id);
    };
    for (const auto& entry : dictionary_.GetAttackers()) unit(entry.second);
    for (const auto& entry : dictionary_.GetDefenders()) unit(entry.second);

    for (const auto& [id, weapon] : dictionary_.GetWeapons()) {
        const std::string who = "weapon " + std::to_string(id);
        for (const std::string* hand : {&weapon.meshes.first, &weapon.meshes.second})
            EXPECT_TRUE(hand->empty() || Lists(cm::kWeaponNodes, *hand)) << who << ": " << *hand;
        EXPECT_TRUE(weapon.meshes.third.empty() || Lists(cm::kMissiles, weapon.meshes.third)) << who;
        // A flying missile shows a model or an effect.
        if (weapon.weaponClass == kWeaponMissile) {
            EXPECT_FALSE(weapon.meshes.third.empty() && weapon.particles.names[WeaponParticles::kFlight].empty())
                << who;
        }
        for (const std::string& particle : weapon.particles.names)
            EXPECT_TRUE(particle.empty() || Lists(gd::kParticles, particle)) << who << ": " << particle;
        for (const std::vector<std::string>& list : weapon.sounds.lists) sounds(list, who);
    }
}

TEST_F(GameDataTest, WeaponsCarryWhatTheirMissilesNeed) {
    ASSERT_TRUE(loaded_);
    for (const auto& [id, weapon] : dictionary_.GetWeapons()) {
        const std::string who = "weapon " + std::to_string(id);
        // A flying missile shows a model; a ranged hit sounds.
        if (weapon.weaponClass == kWeaponMissile) {
            EXPECT_TRUE(Lists(cm::kMissiles, weapon.meshes.third)) << who;
            EXPECT_GT(weapon.speed, 0) << who;
        }
        if (weapon.weaponClass != kWeaponClose) {
            EXPECT_FALSE(weapon.sounds.lists[WeaponSounds::kMissileHit].empty()) << who;
        }
    }
    // Splash: the mage's staff, the shaman's fireball and every firestorm level.
    std::vector<int32_t> splashing = {dictionary_.FindDefender(gd::kMage)->weapon,
                                      dictionary_.FindAttacker(gd::kOrcShaman)->weapon};
    for (const SpellDefinition& level : config_.Spells[1]) splashing.push_back(level.weapon);
    EXPECT_EQ(5u, splashing.size());
    for (int32_t id : splashing) {
        const WeaponDefinition* weapon = dictionary_.FindWeapon(id);
        ASSERT_NE(nullptr, weapon) << id;
        EXPECT_GT(weapon->explosionRange, 0) << id;
        EXPECT_GT(weapon->explosionPercent, 0) << id;
    }
}
