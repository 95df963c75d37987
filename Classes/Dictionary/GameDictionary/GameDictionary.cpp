#include "Classes/Dictionary/GameDictionary/GameDictionary.h"

#include "Classes/Dictionary/Config/Config.h"
#include "IO/File.h"

namespace {

template <class Table>
void Prepare(Table& table) {
    table.rehash(11);
    table.max_load_factor(1.0f);
}

template <class Table, class Key>
const typename Table::mapped_type* Find(const Table& table, const Key& key) {
    const typename Table::const_iterator found = table.find(key);
    return found == table.end() ? nullptr : &found->second;
}

}  // namespace

GameDictionary::GameDictionary() {
    Prepare(maps_);
    Prepare(waves_);
    Prepare(attackers_);
    Prepare(defenders_);
    Prepare(weapons_);
}

bool IsXmlFileName(const std::string& name) { return name.find(".xml") != std::string::npos; }

bool GameDictionary::Load(const Config& config) {
    enum Reader { kWaves, kMaps, kWeapons, kAttackers, kDefenders };
    const struct {
        const char* element;
        const std::string& folder;
        Reader reader;
    } folders[] = {
        {"waves", config.Paths.WavesPath, kWaves},
        {"maps", config.Paths.MapsPath, kMaps},
        {"weapons", config.Paths.WeaponsPath, kWeapons},
        {"attackers", config.Paths.AttackersPath, kAttackers},
        {"defenders", config.Paths.DefendersPath, kDefenders},
    };
    for (const auto& folder : folders) {
        // The listing is one shared list that the next call empties: keep a copy.
        const std::vector<std::string> names = ListDirectory(folder.folder);
        int read = 0;
        for (const std::string& name : names) {
            if (!IsXmlFileName(name)) {
                skipped_.push_back(folder.folder + name + ": not read (no \".xml\" in the name)");
                continue;
            }
            // No separator is inserted: the configured folder ends with one.
            const std::string path = folder.folder + name;
            bool opened = false;
            switch (folder.reader) {
                case kWaves: opened = ReadWaves(path, waves_); break;
                case kMaps: opened = ReadMaps(path, maps_, config); break;
                case kWeapons: opened = ReadWeapons(path, weapons_); break;
                case kAttackers: opened = ReadAttackers(path, attackers_); break;
                case kDefenders: opened = ReadDefenders(path, defenders_); break;
            }
            if (!opened) return false;
            ++read;
        }
        if (read == 0)
            skipped_.push_back(std::string("folder \"") + folder.element + "\" (\"" + folder.folder +
                               "\"): no game-data file");
    }
    return true;
}

const MapDefinition* GameDictionary::FindMap(const std::string& name) const { return Find(maps_, name); }

const WaveDefinition* GameDictionary::FindWave(int32_t id) const { return Find(waves_, id); }

const AttackerDefinition* GameDictionary::FindAttacker(const std::string& id) const { return Find(attackers_, id); }

const DefenderDefinition* GameDictionary::FindDefender(const std::string& id) const { return Find(defenders_, id); }

const WeaponDefinition* GameDictionary::FindWeapon(int32_t id) const { return Find(weapons_, id); }
