#pragma once
// The animation-clip tables (in the "anims" folder of config.xml) and the units
// that use them. Every humanoid model shares one frame layout
// (catalogue::models::kHumanoidClips), so a table fits any of them; the tables
// the data stamp checksums ("warrior.xml" ... "orccaster.xml") are named as it
// names them, the keeper and the hero have tables of their own.
#include <cstring>

#include "tools/catalogue/Models.h"

namespace catalogue {
namespace clips {

struct Table {
    const char* file;
    const char* units[3];  // humanoid ids of tools/catalogue/Models.h; null ends the list
};

inline constexpr Table kTables[] = {
    {"warrior.xml", {"swordsman", "heavywarrior", nullptr}},
    {"archer.xml", {"archer", nullptr, nullptr}},
    {"caster.xml", {"priest", "necromancer", "mage"}},
    {"orcwarrior.xml", {"enemy_warrior", nullptr, nullptr}},
    {"orcarcher.xml", {"enemy_archer", nullptr, nullptr}},
    {"orccaster.xml", {"enemy_caster", nullptr, nullptr}},
    {"keeper.xml", {"keeper", nullptr, nullptr}},
    {"hero.xml", {"hero", nullptr, nullptr}},
};

// The clip table of a humanoid id; null for an id no table serves.
inline const char* TableFor(const char* unit) {
    for (const Table& table : kTables) {
        for (const char* candidate : table.units) {
            if (candidate != nullptr && std::strcmp(candidate, unit) == 0) return table.file;
        }
    }
    return nullptr;
}

// The frame at which an attack clip strikes (its event frame), as a fraction of
// the clip: a blow lands late in the swing, an arrow leaves at the full draw, a
// spell when the hands come forward. -1 for clips without an event.
inline int EventFrame(const models::Clip& clip) {
    struct Timing {
        const char* name;
        int numerator, denominator;
    };
    static constexpr Timing kTimings[] = {
        {"strike_1", 2, 3}, {"strike_2", 3, 4}, {"bow_shoot", 7, 10}, {"castsmall", 1, 2}, {"castbig", 2, 3},
    };
    for (const Timing& timing : kTimings) {
        if (std::strcmp(timing.name, clip.name) == 0)
            return clip.first + (clip.last - clip.first) * timing.numerator / timing.denominator;
    }
    return -1;
}

}  // namespace clips
}  // namespace catalogue
