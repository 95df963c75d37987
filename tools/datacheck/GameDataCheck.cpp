// The game data through GameDictionary::Load as the game loads it: prints the five
// tables, everything the readers skipped or replaced, and every reference that leads
// nowhere (a wave's attacker, a unit's weapon or clip table, a spell's weapon, a map's
// waves, defenders, keeper and view). Then the files of the data stamp: each there once, read through the
// game's XML reader, and the data checksum they make.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "Classes/Battle/DataStamp.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Classes/Level/CMissile.h"
#include "Classes/Level/WaveRunner.h"
#include "Core/Service.h"
#include "IO/ContentChecksums.h"
#include "IO/File.h"
#include "IO/XmlReader.h"
#include "tools/catalogue/DataStamp.h"
#include "tools/datacheck/Check.h"

namespace {

// The battle's step, and a bound on the steps a wave's entries may take to leave.
const int32_t kStep = 33;
const int32_t kMaxWaveSteps = 1000000;

const char* const kKinds[] = {"damage", "slowdown", "heal"};
const char* const kClasses[] = {"close", "missile", "distant"};
const char* const kTypes[] = {"hero", "keeper", "fighter"};

const char* Name(const char* const (&names)[3], int32_t value) { return value >= 0 && value < 3 ? names[value] : "?"; }

template <class Table>
std::vector<typename Table::key_type> SortedKeys(const Table& table) {
    std::vector<typename Table::key_type> keys;
    for (const auto& entry : table) keys.push_back(entry.first);
    std::sort(keys.begin(), keys.end());
    return keys;
}

std::string Join(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ";") + item;
    return text;
}

std::string Four(const int32_t (&values)[4]) {
    return std::to_string(values[0]) + "/" + std::to_string(values[1]) + "/" + std::to_string(values[2]) + "/" +
           std::to_string(values[3]);
}

void PrintWeapons(datacheck::Report& report, const GameDictionary& d) {
    report.Line("weapons: %zu", d.GetWeapons().size());
    for (int32_t id : SortedKeys(d.GetWeapons())) {
        const WeaponDefinition& w = d.GetWeapons().at(id);
        report.Line(
            "  %4d %-8s %-7s rate %2d range %d value %3d speed %2d splash %d/%d%% time %d, hands \"%s\" \"%s\""
            ", missile \"%s\", hit \"%s\"",
            id, Name(kKinds, w.kind), Name(kClasses, w.weaponClass), w.hitRate, w.range, w.value, w.speed,
            w.explosionRange, w.explosionPercent, w.time, w.meshes.first.c_str(), w.meshes.second.c_str(),
            w.meshes.third.c_str(), w.particles.names[WeaponParticles::kHit].c_str());
        // The missile a unit's use of it makes (a unit's own slowdown weapon slows by 75 at most).
        const int32_t flight = CMissile::GetFlightLengthOf(&w);
        const int32_t value = w.kind == kWeaponSlowdown ? std::min(75, w.value) : w.value;
        if (w.weaponClass == kWeaponClose) report.Line("       missile: none, close combat");
        else if (flight == 0)
            report.Line("       missile: timed %d ms at the target, splash radius %d, value %d",
                        CMissile::kTimedMissileTime, CMissile::GetSplashRadiusOf(&w), value);
        else
            report.Line("       missile: flies %d at %d a second, splash radius %d, value %d", flight,
                        CMissile::GetSpeedOf(&w), CMissile::GetSplashRadiusOf(&w), value);
    }
}

void PrintUnit(datacheck::Report& report, const UnitDefinition& u, const std::string& extra) {
    report.Line("  %-14s %-7s hp %4d speed %2d view %d weapon %3d, %s, clips %s, attacks %s%s", u.id.c_str(),
                Name(kTypes, u.type), u.hp, u.speed, u.viewRange, u.weapon, u.mesh.c_str(), u.animation.c_str(),
                Join(u.attackAnimations).c_str(), extra.c_str());
}

void PrintUnits(datacheck::Report& report, const GameDictionary& d) {
    report.Line("attackers: %zu", d.GetAttackers().size());
    for (const std::string& id : SortedKeys(d.GetAttackers())) {
        const AttackerDefinition& a = d.GetAttackers().at(id);
        PrintUnit(report, a, ", gold " + std::to_string(a.gold));
    }
    report.Line("defenders: %zu", d.GetDefenders().size());
    for (const std::string& id : SortedKeys(d.GetDefenders())) {
        const DefenderDefinition& f = d.GetDefenders().at(id);
        std::string prices;
        for (int32_t price : f.prices) prices += (prices.empty() ? "" : "/") + std::to_string(price);
        const UpgradeEntry& hp = f.upgrades[DefenderDefinition::kUpgradeHitPoints];
        const UpgradeEntry& weapon = f.upgrades[DefenderDefinition::kUpgradeWeapon];
        PrintUnit(report, f,
                  ", flags " + std::to_string(f.flags) + ", guard " + std::to_string(f.moveRange) + ", rises " +
                      std::to_string(f.timeAutoResurect) + " s, prices " + prices + ", hp " + Four(hp.values) +
                      " for " + Four(hp.prices) + ", weapons " + Four(weapon.values) + " for " + Four(weapon.prices));
    }
}

void PrintWaves(datacheck::Report& report, const GameDictionary& d) {
    report.Line("waves: %zu", d.GetWaves().size());
    for (int32_t id : SortedKeys(d.GetWaves())) {
        const WaveDefinition& wave = d.GetWaves().at(id);
        int32_t units = 0;
        std::string entries;
        for (const WaveEntry& e : wave.entries) {
            units += e.count;
            entries += " " + std::to_string(e.count) + " " + e.name + " @" + std::to_string(e.time) + "s/" +
                       std::to_string(e.spawnPoint);
            if (e.goldThreshold > 0) entries += " (gold " + std::to_string(e.goldThreshold) + ")";
            entries += ";";
        }
        report.Line("  %d: %d units:%s", id, units, entries.c_str());
        // As a runner sends them in 33 ms steps: one entry a step, each when its second
        // has come and the one before it has left.
        WaveRunner runner(id, 0, 0, 0, wave.entries);
        std::string sent;
        size_t left = wave.entries.size();
        for (int32_t step = 0; left > 0 && step < kMaxWaveSteps; ++step) {
            runner.Update(kStep);
            if (runner.GetEntries().size() == left) continue;
            const WaveEntry& e = wave.entries[wave.entries.size() - left];
            char when[32];
            std::snprintf(when, sizeof(when), " at %d.%03d s;", runner.GetElapsed() / 1000, runner.GetElapsed() % 1000);
            sent += " " + e.name + when;
            left = runner.GetEntries().size();
        }
        report.Line("     sent:%s", sent.c_str());
    }
}

void PrintMaps(datacheck::Report& report, const GameDictionary& d) {
    report.Line("maps: %zu", d.GetMaps().size());
    for (const std::string& name : SortedKeys(d.GetMaps())) {
        const MapDefinition& m = d.GetMaps().at(name);
        report.Line("  %s: mesh \"%s\" meshA \"%s\" level \"%s\" view \"%s\" music \"%s\", gold %d", name.c_str(),
                    m.files.mesh.c_str(), m.files.meshA.c_str(), m.files.data.c_str(), m.files.view.c_str(),
                    m.files.music.c_str(), m.stats.gold);
        std::string availability, waves;
        for (const MapAvailability& a : m.availability)
            availability += " " + a.defender + " " + std::to_string(a.value) + ";";
        for (const MapWave& w : m.waves)
            waves += " " + std::to_string(w.id) + " (" + std::to_string(w.gold) + " gold, " +
                     std::to_string(w.bonusPercent) + "%, " + std::to_string(w.survivalPercent) + "%);";
        report.Line("    availability:%s", availability.c_str());
        report.Line("    waves:%s", waves.c_str());
        report.Line(
            "    particles: %zu, view: rotation %d/%d/%d, camera %.1f/%.1f/%.1f/%.1f, %zu corners, %zu pick areas",
            m.particles.size(), m.view.transformation[0], m.view.transformation[1], m.view.transformation[2],
            m.view.camera[0], m.view.camera[1], m.view.camera[2], m.view.camera[3], m.view.points.size(),
            m.view.pickAreas.size());
    }
}

void CheckReferences(datacheck::Report& report, const GameDictionary& d, const Config& config) {
    for (const auto& [id, wave] : d.GetWaves())
        for (const WaveEntry& e : wave.entries)
            if (!d.FindAttacker(e.name)) report.Fail("wave %d sends the unknown attacker \"%s\"", id, e.name.c_str());
    auto weapon = [&](int32_t id, const std::string& who) {
        if (id > 0 && !d.FindWeapon(id)) report.Fail("%s names the unknown weapon %d", who.c_str(), id);
    };
    auto clips = [&](const UnitDefinition& u, const std::string& who) {
        if (!IO::FileExists(config.Paths.AnimsPath + u.animation))
            report.Fail("%s plays the missing clip table \"%s\"", who.c_str(), u.animation.c_str());
    };
    for (const auto& [id, a] : d.GetAttackers()) {
        weapon(a.weapon, "attacker \"" + id + "\"");
        clips(a, "attacker \"" + id + "\"");
    }
    for (const auto& [id, f] : d.GetDefenders()) {
        weapon(f.weapon, "defender \"" + id + "\"");
        clips(f, "defender \"" + id + "\"");
        for (int32_t upgrade : f.upgrades[DefenderDefinition::kUpgradeWeapon].values)
            weapon(upgrade, "defender \"" + id + "\"'s upgrade");
    }
    for (const std::vector<SpellDefinition>& levels : config.Spells)
        for (const SpellDefinition& spell : levels) weapon(spell.weapon, "a spell of config.xml");
    for (const std::string& name : config.Maps) {
        const MapDefinition* m = d.FindMap(name);
        if (!m) {
            report.Fail("config.xml's map \"%s\" has no definition", name.c_str());
            continue;
        }
        for (const MapWave& w : m->waves)
            if (!d.FindWave(w.id)) report.Fail("map \"%s\" names the unknown wave %d", name.c_str(), w.id);
        bool keeper = false;
        for (const MapAvailability& a : m->availability) {
            const DefenderDefinition* f = d.FindDefender(a.defender);
            if (!f)
                report.Fail("map \"%s\" makes the unknown defender \"%s\" available", name.c_str(), a.defender.c_str());
            keeper = keeper || (f && f->type == kUnitDungeonKeeper);
        }
        if (!keeper) report.Fail("map \"%s\" has no keeper", name.c_str());
        if (m->view.points.size() != MapViewDefinition::kPointCount)
            report.Fail("map \"%s\": its view was not read", name.c_str());
    }
}

// Every XML file under the folder by lower-cased base name (the checksum table's key).
std::map<std::string, std::vector<std::string>> XmlFilesByKey(const std::string& folder) {
    namespace fs = std::filesystem;
    std::map<std::string, std::vector<std::string>> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error) || datacheck::Lower(it->path().extension().string()) != ".xml") continue;
        files[datacheck::Lower(it->path().filename().string())].push_back(
            it->path().lexically_relative(folder).string());
    }
    return files;
}

}  // namespace

DATACHECK(gamedata, 20) {
    if (!Service<Config>::Exists()) {
        report.Fail("no configuration");
        return;
    }
    const Config& config = *Service<Config>::Get();
    GameDictionary dictionary;
    if (!dictionary.Load(config)) report.Fail("the game data stopped at a file that could not be opened");
    PrintWeapons(report, dictionary);
    PrintUnits(report, dictionary);
    PrintWaves(report, dictionary);
    PrintMaps(report, dictionary);
    report.Line("skipped: %zu", dictionary.GetSkipped().size());
    for (const std::string& line : dictionary.GetSkipped()) report.Fail("skipped: %s", line.c_str());
    CheckReferences(report, dictionary, config);
}

DATACHECK(stamp, 90) {
    namespace stamp = catalogue::stamp;
    const std::map<std::string, std::vector<std::string>> byKey = XmlFilesByKey(".");
    uint64_t data = 0;
    int counted = 0;
    for (const stamp::File& f : stamp::kFiles) {
        const std::string key = datacheck::Lower(f.name);
        const std::string path = (f.folder != nullptr ? f.folder->Path() : std::string()) + f.file;
        if (!IO::FileExists(path)) {
            report.Fail("%s, the data stamp's \"%s\", is missing", path.c_str(), f.name);
            continue;
        }
        const auto named = byKey.find(key);
        if (named != byKey.end() && named->second.size() > 1) {
            std::string all;
            for (const std::string& other : named->second) all += " " + other;
            report.Fail("%zu files are named %s, the stamp would take whichever was read last:%s", named->second.size(),
                        key.c_str(), all.c_str());
        }
        // Read as the game's readers read it, which records its checksum.
        delete CreateXmlReader(path);
        const uint64_t checksum = ContentChecksums::Find(key);
        if (checksum == 0 || checksum == ~uint64_t(0)) {
            report.Fail("%s gives no checksum (unreadable or empty)", path.c_str());
            continue;
        }
        report.Line("%-40s %016llx", path.c_str(), static_cast<unsigned long long>(checksum));
        data ^= checksum;
        ++counted;
    }
    report.Line("data checksum of the %d of %zu files: %016llx", counted, stamp::kFileCount,
                static_cast<unsigned long long>(data));
    // The battle's own test: the program's compiled-in checksum of the shipped data.
    if (data == ShippedDataChecksum) {
        report.Line("the data counts as unmodified (the program expects %016llx)",
                    static_cast<unsigned long long>(ShippedDataChecksum));
    } else {
        report.Line("the data counts as modified: the program expects %016llx",
                    static_cast<unsigned long long>(ShippedDataChecksum));
    }
}
