#pragma once
// Small fixtures of the level tests: a scratch folder for level files, a recorder of
// failed assertions, grids drawn as text, game data written by the test, units placed on
// cells, and the services a level and its objects use.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CLevelObject.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Core/Assert.h"
#include "Core/Service.h"
#include "SceneGraph/Group.h"
#include "tools/catalogue/Config.h"
#include "support/AssertionRecorder.h"
#include "support/ScratchFolder.h"

// What the battle's set-up and steps would set.
struct BattleTestAccess {
    static void SetWorld(CDunmarchGame& battle, const boost::shared_ptr<sg::Group>& world) { battle.world_ = world; }
    static void SetState(CDunmarchGame& battle, int32_t state) { battle.state_ = state; }
    static void SetStepCounter(CDunmarchGame& battle, uint32_t steps) { battle.step_counter_ = steps; }
    static void SetWaveStepCounter(CDunmarchGame& battle, int32_t steps) { battle.wave_step_counter_ = steps; }
    static void SetGold(CDunmarchGame& battle, int32_t gold) { battle.gold_ = gold; }
    static void SetWaveIndex(CDunmarchGame& battle, int32_t index) { battle.wave_index_ = index; }
    static void SetWarningPending(CDunmarchGame& battle, int32_t pending) { battle.warning_pending_ = pending; }
    static std::vector<WaveRunner>& WaveRunners(CDunmarchGame& battle) { return battle.wave_runners_; }
    // A level the test owns (the battle does not delete it).
    static void SetLevel(CDunmarchGame& battle, CLevel* level) {
        battle.level_ =
            level != nullptr ? boost::shared_ptr<CLevel>(level, [](CLevel*) {}) : boost::shared_ptr<CLevel>();
    }
    static void SetRecorder(CDunmarchGame& battle, const boost::shared_ptr<CInputMonitor>& recorder) {
        battle.recorder_ = recorder;
    }
    static void SetPlayer(CDunmarchGame& battle, const boost::shared_ptr<CInputMonitor>& player) {
        battle.player_ = player;
    }
    static void SetDemoPlayback(CDunmarchGame& battle, int32_t playback) { battle.demo_playback_ = playback; }
    static void SetSummaryShown(CDunmarchGame& battle, int32_t shown) { battle.summary_shown_ = shown; }
    static void SetEndDelay(CDunmarchGame& battle, int32_t delay) { battle.end_delay_ = delay; }
    static void SetResult(CDunmarchGame& battle, int32_t result) { battle.result_ = result; }
    static void SetRestored(CDunmarchGame& battle, int32_t restored) { battle.restored_ = restored; }
    static void SetSpellCooldown(CDunmarchGame& battle, int32_t kind, int32_t ms) {
        battle.spell_cooldowns_[kind] = ms;
    }
    static void SetCamera(CDunmarchGame& battle, const Vector3& eye, float targetHeight, float referenceDistance) {
        battle.camera_eye_ = eye;
        battle.camera_target_height_ = targetHeight;
        battle.reference_distance_ = referenceDistance;
    }
};

namespace levelfixtures {

using ::ScratchFolder;

using ::AssertionRecorder;

// A level (no map) whose grid is drawn row by row, row 0 first: '#' blocks movement and
// sight, 'o' movement only, '|' sight only, anything else is a free cell.
inline void DrawGrid(CLevel& level, const std::vector<std::string>& rows) {
    level.CreateGrid(static_cast<uint32_t>(rows[0].size()), static_cast<uint32_t>(rows.size()));
    for (size_t row = 0; row < rows.size(); ++row)
        for (size_t column = 0; column < rows[row].size(); ++column) {
            const char c = rows[row][column];
            const int32_t move = c == '#' || c == 'o';
            const int32_t sight = c == '#' || c == '|';
            if (move || sight) {
                CLevelNode* cell = level.GetCell(static_cast<int32_t>(column), static_cast<int32_t>(row));
                cell->SetObject(cell->GetPosition().x + 250, cell->GetPosition().y + 250, "", 0, move, sight);
            }
        }
}

// The first cell holding c in the drawing.
inline CLevelNode* Find(CLevel& level, const std::vector<std::string>& rows, char c) {
    for (size_t row = 0; row < rows.size(); ++row) {
        const size_t column = rows[row].find(c);
        if (column != std::string::npos) return level.GetCell(static_cast<int32_t>(column), static_cast<int32_t>(row));
    }
    return nullptr;
}

// The battle (with its "World" group) as a service while it lives, and the level once
// registered. Declare it before the level: objects leaving the world need the battle.
class BattleScope {
public:
    explicit BattleScope(const std::string& mapName = "") : battle_(mapName) {
        BattleTestAccess::SetWorld(battle_, boost::shared_ptr<sg::Group>(new sg::Group("World")));
        Service<CDunmarchGame>::Register(&battle_);
    }
    ~BattleScope() {
        Service<CDunmarchGame>::Unregister();
        if (Service<CLevel>::Exists()) Service<CLevel>::Unregister();
    }
    void RegisterLevel(CLevel* level) { Service<CLevel>::Register(level); }
    CDunmarchGame& Battle() { return battle_; }
    const sg::Group::Children& World() const { return battle_.GetWorldGroup()->GetChildren(); }

private:
    CDunmarchGame battle_;
};

// ---- the sample data ----

// The generated sample data's configuration and game dictionary, registered as services
// while it lives; the game's folder is the working folder meanwhile (the folders of
// config.xml are relative to it). A test may unregister either service.
class SampleData {
public:
    SampleData() : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(std::string(DM_TEST_BUILD_DIR) + "/game");
        read_ = config_.Read(catalogue::config::kFileName);
        dictionary_.Load(config_);
        Service<Config>::Register(&config_);
        Service<GameDictionary>::Register(&dictionary_);
    }
    ~SampleData() {
        if (Service<GameDictionary>::Exists()) Service<GameDictionary>::Unregister();
        if (Service<Config>::Exists()) Service<Config>::Unregister();
        std::filesystem::current_path(previous_);
    }
    bool Read() const { return read_; }

private:
    std::filesystem::path previous_;
    Config config_;
    GameDictionary dictionary_;
    bool read_ = false;
};

// ---- game data written by the test ----

struct WeaponSpec {
    int32_t id = 1;
    std::string kind = "DAMAGE";
    std::string weaponClass = "CLOSE";
    int32_t hitRate = 10, range = 1, value = 10, time = 0, speed = 0;
    int32_t explosionRange = 0, explosionPercent = 0;
    std::string right, left, missile;
    std::string particles[4];  // shot, flight, hit, slowdown
    std::string sounds[3];     // attack, strike, arrival; ";" between names
};

struct UnitSpec {
    std::string id;
    std::string type = "Fighter";
    std::string flags;
    std::string mesh, animation, attackAnimation;
    int32_t hp = 100, speed = 10, viewRange = 3;
    int32_t weapon = 1;
    int32_t gold = 0;  // attackers
    // Defenders: purchase, sell % alive, sell % dead, teleport, heal %, resurrect %, hide.
    int32_t prices[7] = {100, 50, 25, 30, 40, 50, 20};
    int32_t moveRange = 2, timeAutoResurect = 0, healSpotVal = 0;
    int32_t hpLevels[4] = {0, 0, 0, 0}, hpPrices[4] = {0, 0, 0, 0};
    int32_t weaponLevels[4] = {0, 0, 0, 0}, weaponPrices[4] = {0, 0, 0, 0};
    std::string sounds;
};

// The name of the attacker whose speed (level units per second) is given: attackers
// "Speed0" to "Speed10" run at 0 to 500 in steps of 50.
inline std::string SpeedUnit(int32_t speed) { return "Speed" + std::to_string(speed / 50); }

// Weapons, attackers and defenders written as game-data files in a scratch folder,
// read by the game dictionary and registered with a configuration naming the folders.
// Declare it before the level and the units: units point into its definitions.
class TestData {
public:
    // Weapon 1 (close combat, 10 a blow) and the attackers SpeedUnit names.
    TestData() {
        AddWeapon(1);
        for (int32_t speed = 0; speed <= 10; ++speed) AddAttacker("Speed" + std::to_string(speed)).speed = speed;
        const std::string root = folder_.Path() + "/";
        for (const char* sub : {"weapons", "attackers", "defenders", "waves", "maps", "mapviews", "particles"})
            std::filesystem::create_directories(root + sub);
        config_.Paths.WeaponsPath = root + "weapons/";
        config_.Paths.AttackersPath = root + "attackers/";
        config_.Paths.DefendersPath = root + "defenders/";
        config_.Paths.WavesPath = root + "waves/";
        config_.Paths.MapsPath = root + "maps/";
        config_.Paths.MapViewsPath = root + "mapviews/";
        config_.Paths.ParticlesPath = "particles/";
    }
    ~TestData() {
        if (!dictionary_) return;
        Service<GameDictionary>::Unregister();
        Service<Config>::Unregister();
    }

    WeaponSpec& AddWeapon(int32_t id) {
        weapons_.emplace_back();
        weapons_.back().id = id;
        return weapons_.back();
    }
    UnitSpec& AddAttacker(const std::string& id) { return Add(attackers_, id); }
    UnitSpec& AddDefender(const std::string& id) { return Add(defenders_, id); }
    Config& GetConfig() { return config_; }

    // Writes and reads the files and registers the configuration and the dictionary.
    void Load() {
        folder_.Write("weapons/weapons.xml", WeaponsXml());
        folder_.Write("attackers/attackers.xml", UnitsXml("attacker"));
        folder_.Write("defenders/defenders.xml", UnitsXml("defender"));
        dictionary_.reset(new GameDictionary());
        dictionary_->Load(config_);
        Service<Config>::Register(&config_);
        Service<GameDictionary>::Register(dictionary_.get());
    }

private:
    static UnitSpec& Add(std::vector<UnitSpec>& units, const std::string& id) {
        units.emplace_back();
        units.back().id = id;
        return units.back();
    }
    static std::string Attr(const char* name, const std::string& value) {
        return std::string(" ") + name + "=\"" + value + "\"";
    }
    static std::string Attr(const char* name, int32_t value) { return Attr(name, std::to_string(value)); }
    static std::string Levels(const char* element, const int32_t (&values)[4]) {
        return std::string("<") + element + Attr("l1", values[0]) + Attr("l2", values[1]) + Attr("l3", values[2]) +
               Attr("l4", values[3]) + "/>";
    }

    std::string WeaponsXml() const {
        std::ostringstream xml;
        xml << "<weapons>\n";
        for (const WeaponSpec& w : weapons_)
            xml << "<weapon" << Attr("id", w.id) << Attr("kind", w.kind) << Attr("class", w.weaponClass) << ">"
                << "<stats" << Attr("hitrate", w.hitRate) << Attr("range", w.range) << Attr("value", w.value)
                << Attr("time", w.time) << Attr("speed", w.speed) << Attr("explosionrange", w.explosionRange)
                << Attr("explosionpercent", w.explosionPercent) << "/>"
                << "<meshes" << Attr("righthand", w.right) << Attr("lefthand", w.left) << Attr("missile", w.missile)
                << "/><particles" << Attr("shot", w.particles[0]) << Attr("flight", w.particles[1])
                << Attr("hit", w.particles[2]) << Attr("slowdown", w.particles[3]) << "/><sounds"
                << Attr("attack", w.sounds[0]) << Attr("strike", w.sounds[1]) << Attr("arrive", w.sounds[2])
                << "/></weapon>\n";
        xml << "</weapons>\n";
        return xml.str();
    }

    std::string UnitsXml(const std::string& element) const {
        const bool defenders = element == "defender";
        std::ostringstream xml;
        xml << "<" << element << "s>\n";
        for (const UnitSpec& u : defenders ? defenders_ : attackers_) {
            xml << "<" << element << Attr("id", u.id) << Attr("type", u.type) << Attr("flags", u.flags)
                << Attr("mesh", u.mesh) << Attr("attackanimation", u.attackAnimation) << ">"
                << "<stats" << Attr("hp", u.hp) << Attr("speed", u.speed) << Attr("viewrange", u.viewRange) << "/>"
                << "<weapon" << Attr("id", u.weapon) << "/><animation" << Attr("name", u.animation) << "/><sounds"
                << Attr("list", u.sounds) << "/>";
            if (defenders) {
                xml << "<prices";
                for (int i = 0; i < 7; ++i) xml << Attr(("p" + std::to_string(i)).c_str(), u.prices[i]);
                xml << "/><exstats" << Attr("moverange", u.moveRange) << Attr("timeautoresurect", u.timeAutoResurect)
                    << Attr("healspotval", u.healSpotVal) << Attr("visible", "true") << "/><upgrades>"
                    << "<upgrade" << Attr("number", 1) << ">" << Levels("hp", u.hpLevels) << Levels("price", u.hpPrices)
                    << "</upgrade><upgrade" << Attr("number", 2) << ">" << Levels("weapon", u.weaponLevels)
                    << Levels("price", u.weaponPrices) << "</upgrade></upgrades>";
            } else {
                xml << "<exstats" << Attr("gold", u.gold) << "/>";
            }
            xml << "</" << element << ">\n";
        }
        xml << "</" << element << "s>\n";
        return xml.str();
    }

    ScratchFolder folder_;
    Config config_;
    std::unique_ptr<GameDictionary> dictionary_;
    std::vector<WeaponSpec> weapons_;
    std::vector<UnitSpec> attackers_;
    std::vector<UnitSpec> defenders_;
};

// The level as the level service while it lives; a level registered before comes back.
class LevelInService {
public:
    explicit LevelInService(CLevel& level)
        : previous_(Service<CLevel>::Exists() ? Service<CLevel>::Get() : nullptr), level_(&level) {
        if (previous_ == level_) return;
        if (previous_ != nullptr) Service<CLevel>::Unregister();
        Service<CLevel>::Register(level_);
    }
    ~LevelInService() {
        if (previous_ == level_) return;
        Service<CLevel>::Unregister();
        if (previous_ != nullptr) Service<CLevel>::Register(previous_);
    }

private:
    CLevel* previous_;
    CLevel* level_;
};

// A unit made by the level's list (counted, no sound) at a spawn point of its side on the
// cell; the spawn point is kept in spots, as units refer to it weakly.
inline boost::shared_ptr<CUnit> SpawnOnCell(CLevel& level, std::vector<boost::shared_ptr<CSpawnPoint>>& spots,
                                            const std::string& name, int32_t side, int32_t column, int32_t row) {
    const int32_t kind = side == CUnit::kAttacker ? CSpawnPoint::kAttackerEntry : CSpawnPoint::kDefenderSlot;
    spots.push_back(boost::shared_ptr<CSpawnPoint>(new CSpawnPoint(&level, 0, static_cast<int32_t>(spots.size()),
                                                                   column * 500 + 250, row * 500 + 250, 0, kind, 0)));
    const LevelInService service(level);
    return level.GetUnitList().SpawnUnit(name, spots.back(), side, false, true);
}

// A unit of the attacker SpeedUnit names for the speed, spawned on the cell (it stays
// there even when the cell is taken) and made the cell's occupant, then given the hit
// points; moving puts its brain in the move state. Needs TestData.
inline boost::shared_ptr<CUnit> PlaceUnit(CLevel& level, CLevelNode* cell, int32_t speed, bool moving,
                                          int32_t hp = 100) {
    const IntVector3& corner = cell->GetPosition();
    std::vector<boost::shared_ptr<CSpawnPoint>> spots;
    boost::shared_ptr<CUnit> unit =
        SpawnOnCell(level, spots, SpeedUnit(speed), CUnit::kAttacker, corner.x / 500, corner.y / 500);
    if (CLevelNode* taken = unit->GetCell())
        if (taken != cell && taken->GetOccupant().lock() == unit) taken->SetOccupant(boost::weak_ptr<CUnit>());
    unit->SetPosition(IntVector3(corner.x + 250, corner.y + 250, 0));
    cell->SetOccupant(unit);
    unit->SetHitPoints(hp);
    if (moving) unit->GetBrain()->SetState(CGenericBrain::kMove);
    return unit;
}

}  // namespace levelfixtures
