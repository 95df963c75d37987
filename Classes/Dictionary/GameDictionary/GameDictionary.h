#pragma once
// Every game-data definition the battle needs, read once at start-up from the XML files
// of the folders config.xml names, and read-only afterwards. Text keys are compared
// exactly; the first definition of a key wins.
#include <cstdint>
#include <string>
#include <vector>

#include <boost/unordered_map.hpp>

#include "Classes/Dictionary/GameDictionary/MapDefinition.h"
#include "Classes/Dictionary/GameDictionary/UnitDefinition.h"
#include "Classes/Dictionary/GameDictionary/WaveDefinition.h"
#include "Classes/Dictionary/GameDictionary/WeaponDefinition.h"

class Config;

class GameDictionary {
public:
    typedef boost::unordered_map<std::string, MapDefinition> MapTable;
    typedef boost::unordered_map<int32_t, WaveDefinition> WaveTable;
    typedef boost::unordered_map<std::string, AttackerDefinition> AttackerTable;
    typedef boost::unordered_map<std::string, DefenderDefinition> DefenderTable;
    typedef boost::unordered_map<int32_t, WeaponDefinition> WeaponTable;

    GameDictionary();
    GameDictionary(const GameDictionary&) = delete;
    GameDictionary& operator=(const GameDictionary&) = delete;

    // Reads the folders "waves", "maps", "weapons", "attackers", "defenders" in that
    // order, every listed name containing ".xml". False at the first file that cannot be
    // opened; what was read before stays.
    bool Load(const Config& config);

    // One file each; false only when the file cannot be opened.
    bool ReadWeapons(const std::string& path, WeaponTable& table);
    bool ReadAttackers(const std::string& path, AttackerTable& table);
    bool ReadDefenders(const std::string& path, DefenderTable& table);
    bool ReadWaves(const std::string& path, WaveTable& table);
    // Map views are read from config's "mapviews" folder.
    bool ReadMaps(const std::string& path, MapTable& table, const Config& config);
    bool ReadMapView(const std::string& path, MapDefinition& map);

    // Null when the key is absent.
    const MapDefinition* FindMap(const std::string& name) const;
    const WaveDefinition* FindWave(int32_t id) const;
    const AttackerDefinition* FindAttacker(const std::string& id) const;
    const DefenderDefinition* FindDefender(const std::string& id) const;
    const WeaponDefinition* FindWeapon(int32_t id) const;

    const MapTable& GetMaps() const { return maps_; }
    const WaveTable& GetWaves() const { return waves_; }
    const AttackerTable& GetAttackers() const { return attackers_; }
    const DefenderTable& GetDefenders() const { return defenders_; }
    const WeaponTable& GetWeapons() const { return weapons_; }

    // One line ("<file>: <what>") for everything the readers skipped, replaced or could
    // not read: the game goes on without a word, the data check prints them.
    const std::vector<std::string>& GetSkipped() const { return skipped_; }

private:
    MapTable maps_;
    WaveTable waves_;
    AttackerTable attackers_;
    DefenderTable defenders_;
    WeaponTable weapons_;
    std::vector<std::string> skipped_;
};

// True when ".xml" occurs anywhere in the name (case-sensitive).
bool IsXmlFileName(const std::string& name);
