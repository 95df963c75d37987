#pragma once
// A weapon of the game data (folder "weapons"): what a unit or a spell deals, how far
// and how fast, and what it shows and sounds like.
#include <cstdint>
#include <string>
#include <vector>

#include "Classes/Dictionary/Config/Config.h"  // StringTriple

enum WeaponKind { kWeaponDamage = 0, kWeaponSlowdown = 1, kWeaponHeal = 2 };
enum WeaponClass { kWeaponClose = 0, kWeaponMissile = 1, kWeaponDistant = 2 };

// Effect file names by position.
struct WeaponParticles {
    enum { kShot = 0, kFlight = 1, kHit = 2, kSlowdown = 3, kCount = 4 };
    std::string names[kCount];
};

// Sound lists by position; one name of a list is picked at random per use.
struct WeaponSounds {
    enum { kUnit = 0, kCloseHit = 1, kMissileHit = 2, kCount = 3 };
    std::vector<std::string> lists[kCount];
};

struct WeaponDefinition {
    int32_t id = 0;
    int32_t kind = kWeaponDamage;
    int32_t weaponClass = kWeaponClose;
    int32_t hitRate = 0;
    int32_t range = 0;             // cells
    int32_t value = 0;             // damage, heal or slow amount
    int32_t speed = 0;             // missile speed, cells per second
    int32_t explosionRange = 0;    // splash radius in cells; 0 = none
    int32_t explosionPercent = 0;  // percent of the damage dealt in the splash radius
    int32_t time = 0;              // seconds a slowdown lasts
    StringTriple meshes;           // right hand, left hand, missile
    WeaponParticles particles;
    WeaponSounds sounds;
};
