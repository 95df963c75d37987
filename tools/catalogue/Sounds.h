#pragma once
// The sound effects and music of the sample data. All live in the "sounds" folder that
// config.xml names (under the common resource root); file names are lower case. The game
// asks for some by fixed names ("BtnPress.wav" ...): the content loader lower-cases them.
// The game data (weapons, attackers, defenders, maps) names the others from this list.
#include "tools/catalogue/Config.h"

#include <string>

namespace catalogue {
namespace sounds {

// The folder name and its path relative to the game's working folder.
inline constexpr const char kFolderName[] = "sounds/";
inline std::string FolderPath() { return config::kSounds.Path(); }

// Interface.
inline constexpr const char kBtnPress[] = "btnpress.wav";
inline constexpr const char kBtnUnactive[] = "btnunactive.wav";
inline constexpr const char kTransition[] = "transition.wav";

// Battle.
inline constexpr const char kWaveBegin[] = "wavebegin.wav";
inline constexpr const char kWaveOver[] = "waveover.wav";
inline constexpr const char kGameVictory[] = "gamevictory.wav";
inline constexpr const char kGameOver[] = "gameover.wav";

// Unit actions and spells.
inline constexpr const char kSpawn[] = "spawn.wav";
inline constexpr const char kHeal[] = "heal.wav";
inline constexpr const char kResurrect[] = "resurrect.wav";
inline constexpr const char kTeleport[] = "teleport.wav";
inline constexpr const char kHide[] = "hide.wav";
inline constexpr const char kUnhide[] = "unhide.wav";
inline constexpr const char kUpgrade[] = "upgrade.wav";
inline constexpr const char kSell[] = "sell.wav";
inline constexpr const char kFireStorm[] = "firestorm.wav";
inline constexpr const char kSlow[] = "slow.wav";
inline constexpr const char kLightningBolt2[] = "lightningbolt2.wav";

// Weapons: a weapon definition has three sound lists (separated by ";"): list 0 when an
// attack starts, list 1 when it strikes (a close hit, or a missile leaving), list 2 when a
// missile arrives.
inline constexpr const char kSwordSwing[] = "swordswing.wav";
inline constexpr const char kBowDraw[] = "bowdraw.wav";
inline constexpr const char kSpellCharge[] = "spellcharge.wav";
inline constexpr const char kSwordHit[] = "swordhit.wav";
inline constexpr const char kAxeHit[] = "axehit.wav";
inline constexpr const char kClubHit[] = "clubhit.wav";
inline constexpr const char kBowShot[] = "bowshot.wav";
inline constexpr const char kCrossbowShot[] = "crossbowshot.wav";
inline constexpr const char kSpellCast[] = "spellcast.wav";
inline constexpr const char kArrowHit[] = "arrowhit.wav";
inline constexpr const char kFireballHit[] = "fireballhit.wav";
inline constexpr const char kMagicHit[] = "magichit.wav";
inline constexpr const char kExplosion[] = "explosion.wav";

// Units: an attacker's or defender's sound list, played when the unit dies.
inline constexpr const char kDeath1[] = "death1.wav";
inline constexpr const char kDeath2[] = "death2.wav";
inline constexpr const char kDeath3[] = "death3.wav";
inline constexpr const char kOrcDeath[] = "orcdeath.wav";
inline constexpr const char kMonsterDeath[] = "monsterdeath.wav";

// Music (Ogg Vorbis with a "size=" comment): the menus, and the map's "music" entry.
inline constexpr const char kMainMenuMusic[] = "mainmenuogg.ogg";
inline constexpr const char kMapMusic[] = "harrowmere.ogg";

inline constexpr const char* kEffects[] = {
    kBtnPress, kBtnUnactive,    kTransition, kWaveBegin,    kWaveOver,    kGameVictory, kGameOver,  kSpawn,
    kHeal,     kResurrect,      kTeleport,   kHide,         kUnhide,      kUpgrade,     kSell,      kFireStorm,
    kSlow,     kLightningBolt2, kSwordSwing, kBowDraw,      kSpellCharge, kSwordHit,    kAxeHit,    kClubHit,
    kBowShot,  kCrossbowShot,   kSpellCast,  kArrowHit,     kFireballHit, kMagicHit,    kExplosion, kDeath1,
    kDeath2,   kDeath3,         kOrcDeath,   kMonsterDeath,
};
inline constexpr const char* kMusic[] = {kMainMenuMusic, kMapMusic};

// Every sound file is at least this long: the WAV reader takes its header from the first 8192 bytes.
inline constexpr unsigned kMinimumFileSize = 8192;

}  // namespace sounds
}  // namespace catalogue
