#pragma once
// The game data of the sample set: weapons, attackers, defenders, waves, the map
// "Harrowmere" and its view. The files sit in the folders config.xml names
// (tools/catalogue/Config.h) and carry the names the data stamp lists; the game
// lower-cases the view and level file names it reads, so the map names them in the
// stamp's own spelling.
//
// Models, hand meshes, clip sets, the map's extent and orientation come from
// tools/catalogue/Models.h. The particle effects the game data names are listed here
// (no other catalogue lists them yet); the effect writer takes them from here. Where the
// map places its effects, in level cells, is in tools/catalogue/Level.h.
#include "tools/catalogue/Config.h"

namespace catalogue {
namespace gamedata {

// Files, relative to their configured folder.
inline constexpr const char kWeaponsFile[] = "weapons.xml";         // "weapons"
inline constexpr const char kAttackersFile[] = "attackers.xml";     // "attackers"
inline constexpr const char kDefendersFile[] = "defenders.xml";     // "defenders"
inline constexpr const char kWavesFile[] = "waves_harrowmere.xml";  // "waves"
inline constexpr const char kMapFile[] = "harrowmere.xml";          // "maps"
inline constexpr const char kViewFile[] = "view_harrowmere.xml";    // "mapviews"
// The level file (grid and markers) is written by the level's own writer into "logic".
inline constexpr const char kLevelFile[] = "data_harrowmere.xml";
// How the map's "files" element spells the two (the game lower-cases them).
inline constexpr const char kViewFileAsNamed[] = "view_Harrowmere.xml";
inline constexpr const char kLevelFileAsNamed[] = "data_Harrowmere.xml";

inline constexpr const char kMapName[] = "Harrowmere";  // config.xml's first map

// Defender ids: the HUD's purchase buttons name the first six.
inline constexpr const char kSwordman[] = "Swordman";
inline constexpr const char kArcher[] = "Archer";
inline constexpr const char kPriest[] = "Priest";
inline constexpr const char kNecromancer[] = "Necromancer";
inline constexpr const char kHeavyWarrior[] = "Heavy Warrior";
inline constexpr const char kMage[] = "Mage";
inline constexpr const char kKeeper[] = "Keeper";  // type DungeonKeeper: the map's keeper
inline constexpr const char* kPurchasableDefenders[] = {kSwordman,    kArcher,       kPriest,
                                                        kNecromancer, kHeavyWarrior, kMage};

// Attacker ids.
inline constexpr const char kOrcWarrior[] = "Orc Warrior";
inline constexpr const char kOrcArcher[] = "Orc Archer";
inline constexpr const char kOrcShaman[] = "Orc Shaman";
inline constexpr const char kOrcWarlord[] = "Orc Warlord";  // type Hero

// Waves of the map, in order (ids of the waves file).
inline constexpr int kWaveIds[] = {1, 2, 3, 4, 5};

// The level file's attacker spawn points ("Marker" type 1) carry these "attackerId"
// values; the wave entries send their attackers there.
inline constexpr int kEntryWest = 1;
inline constexpr int kEntryEast = 2;

// Particle effects (the "particles" folder) the game data names.
inline constexpr const char kHitBlood[] = "hit_blood.prt";
inline constexpr const char kHitSpark[] = "hit_spark.prt";
inline constexpr const char kHitFire[] = "hit_fire.prt";
inline constexpr const char kHitHeal[] = "hit_heal.prt";
inline constexpr const char kHitDark[] = "hit_dark.prt";
inline constexpr const char kCastFire[] = "cast_fire.prt";
inline constexpr const char kCastHeal[] = "cast_heal.prt";
inline constexpr const char kCastDark[] = "cast_dark.prt";
inline constexpr const char kSlowed[] = "slowed.prt";  // on a slowed unit
inline constexpr const char kSpellSlowdown[] = "spell_slowdown.prt";
inline constexpr const char kSpellFirestorm[] = "spell_firestorm.prt";
inline constexpr const char kSpellLightning[] = "spell_lightning.prt";
inline constexpr const char kTorch[] = "torch.prt";
inline constexpr const char kCampfire[] = "campfire.prt";
inline constexpr const char kMist[] = "mist.prt";
inline constexpr const char* kParticles[] = {
    kHitBlood, kHitSpark,      kHitFire,        kHitHeal,        kHitDark, kCastFire, kCastHeal, kCastDark,
    kSlowed,   kSpellSlowdown, kSpellFirestorm, kSpellLightning, kTorch,   kCampfire, kMist,
};

}  // namespace gamedata
}  // namespace catalogue
