#pragma once
// The data files the game's data stamp checksums, in its order and its spelling. The
// game lower-cases each name and takes the checksum the XML readers recorded under
// that base name, so the sample data must hold each of them exactly once (a second
// file of the same base name would make the stamp depend on which was read last).
// Each entry names the sample file it stands for and the folder it is written to.
#include <cstddef>

#include "tools/catalogue/Clips.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/GameData.h"

namespace catalogue {
namespace stamp {

struct File {
    const char* name;              // as the data stamp spells it
    const config::Folder* folder;  // null: the game's folder itself
    const char* file;              // the sample file
};

inline constexpr File kFiles[] = {
    {"config.xml", nullptr, config::kFileName},
    {"warrior.xml", &config::kAnims, clips::kTables[0]},
    {"archer.xml", &config::kAnims, clips::kTables[1]},
    {"caster.xml", &config::kAnims, clips::kTables[2]},
    {"orcwarrior.xml", &config::kAnims, clips::kTables[3]},
    {"orcarcher.xml", &config::kAnims, clips::kTables[4]},
    {"orccaster.xml", &config::kAnims, clips::kTables[5]},
    {"attackers.xml", &config::kAttackers, gamedata::kAttackersFile},
    {"defenders.xml", &config::kDefenders, gamedata::kDefendersFile},
    {"weapons.xml", &config::kWeapons, gamedata::kWeaponsFile},
    {"Harrowmere.xml", &config::kMaps, gamedata::kMapFile},
    {"waves_Harrowmere.xml", &config::kWaves, gamedata::kWavesFile},
    {"data_Harrowmere.xml", &config::kLogic, gamedata::kLevelFile},
    {"view_Harrowmere.xml", &config::kMapViews, gamedata::kViewFile},
};
inline constexpr std::size_t kFileCount = 14;
static_assert(sizeof(kFiles) / sizeof(kFiles[0]) == kFileCount, "the data stamp names fourteen files");

// The sample file is the stamp's name in lower case (the game looks it up so).
constexpr bool SameLowerCased(const char* stamped, const char* file) {
    for (; *stamped != 0; ++stamped, ++file) {
        const char lower = *stamped >= 'A' && *stamped <= 'Z' ? static_cast<char>(*stamped - 'A' + 'a') : *stamped;
        if (lower != *file) return false;
    }
    return *file == 0;
}
static_assert(
    [] {
        for (const File& f : kFiles)
            if (!SameLowerCased(f.name, f.file)) return false;
        return true;
    }(),
    "a sample file is not named as the data stamp names it");

}  // namespace stamp
}  // namespace catalogue
