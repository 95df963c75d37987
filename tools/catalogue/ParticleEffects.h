#pragma once
// The particle effects of the sample data: ".prt" files in the "particles" folder of
// config.xml (config::kParticles), named lower case. The battle opens the first
// sixteen by name; the others are the ones the game data and the level name
// (tools/catalogue/GameData.h: the weapons' shot, hit and slowdown effects with the
// spells', and the map's scenery). The effect writer (tools/databuilder/ParticleEffects.cpp)
// designs each one and holds it to its record here.
#include "tools/catalogue/GameData.h"

namespace catalogue {
namespace particles {

enum class Run { OneShot, Looping };

struct Effect {
    const char* name;
    int version;  // the file's format version
    Run run;
    // One-shot: the seconds within which it has ended. Looping: 0, it runs until its
    // owner removes it.
    float end;
    // The most particles one instance holds at once.
    int peak;
};

inline constexpr const char kSpawn[] = "spawn.prt";
inline constexpr const char kSelected[] = "selected.prt";
inline constexpr const char kBoost[] = "boost.prt";
inline constexpr const char kSell[] = "sell.prt";
inline constexpr const char kHealing[] = "healing.prt";
inline constexpr const char kHealingAuto[] = "healingauto.prt";
inline constexpr const char kResurrect[] = "resurrect.prt";
inline constexpr const char kHide[] = "hide.prt";
inline constexpr const char kUpgrade[] = "upgrade.prt";
inline constexpr const char kTeleport[] = "teleprt.prt";
// Defender slots: free, selected, move target; variant 0 then variant 1 (the boosted slot).
inline constexpr const char kSelection1[] = "selection_1.prt";
inline constexpr const char kSelection2[] = "selection_2.prt";
inline constexpr const char kSelection1Target[] = "selection_1_t.prt";
inline constexpr const char kSelection3[] = "selection_3.prt";
inline constexpr const char kSelection4[] = "selection_4.prt";
inline constexpr const char kSelection3Target[] = "selection_3_t.prt";

namespace gd = gamedata;
constexpr Run kOneShot = Run::OneShot;
constexpr Run kLooping = Run::Looping;

inline constexpr Effect kEffects[] = {
    // name                  version  run      end   peak
    {kSpawn, 5, kOneShot, 1.5f, 40},
    {kSelected, 5, kLooping, 0.0f, 4},
    {kBoost, 5, kLooping, 0.0f, 16},
    {kSell, 5, kOneShot, 1.5f, 16},
    {kHealing, 5, kOneShot, 2.0f, 12},
    {kHealingAuto, 5, kLooping, 0.0f, 8},
    {kResurrect, 5, kOneShot, 2.0f, 12},
    {kHide, 5, kOneShot, 1.5f, 16},
    {kUpgrade, 5, kOneShot, 2.0f, 30},
    {kTeleport, 5, kOneShot, 1.5f, 24},
    {kSelection1, 5, kLooping, 0.0f, 9},
    {kSelection2, 5, kLooping, 0.0f, 15},
    {kSelection1Target, 5, kLooping, 0.0f, 9},
    {kSelection3, 5, kLooping, 0.0f, 12},
    {kSelection4, 5, kLooping, 0.0f, 18},
    {kSelection3Target, 5, kLooping, 0.0f, 12},
    {gd::kHitBlood, 4, kOneShot, 1.0f, 10},
    {gd::kHitSpark, 5, kOneShot, 1.0f, 12},
    {gd::kHitFire, 5, kOneShot, 1.0f, 16},
    {gd::kHitHeal, 5, kOneShot, 1.0f, 12},
    {gd::kHitDark, 5, kOneShot, 1.0f, 12},
    {gd::kCastFire, 5, kOneShot, 1.0f, 12},
    {gd::kCastHeal, 5, kOneShot, 1.0f, 12},
    {gd::kCastDark, 5, kOneShot, 1.0f, 16},
    {gd::kSlowed, 5, kLooping, 0.0f, 12},
    {gd::kSpellSlowdown, 5, kOneShot, 2.0f, 30},
    {gd::kSpellFirestorm, 5, kOneShot, 2.0f, 90},
    {gd::kSpellLightning, 5, kOneShot, 1.0f, 24},
    {gd::kTorch, 2, kLooping, 0.0f, 16},
    {gd::kCampfire, 5, kLooping, 0.0f, 36},
    {gd::kMist, 5, kLooping, 0.0f, 12},
};

// The index of an effect's record, or -1.
constexpr int IndexOf(const char* name) {
    int index = 0;
    for (const Effect& e : kEffects) {
        const char* a = e.name;
        const char* b = name;
        while (*a != '\0' && *a == *b) ++a, ++b;
        if (*a == *b) return index;
        ++index;
    }
    return -1;
}

// The record of an effect, or null.
inline const Effect* Find(const char* name) {
    const int index = IndexOf(name);
    return index < 0 ? nullptr : &kEffects[index];
}

static_assert(
    [] {
        for (const char* name : gd::kParticles)
            if (IndexOf(name) < 0) return false;
        return true;
    }(),
    "an effect of the game data without a record");

}  // namespace particles
}  // namespace catalogue
