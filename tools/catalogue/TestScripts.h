#pragma once
// Input scripts of the battle driver (dunmarch-battle --script), written into the game
// folder by the data builder for the end-to-end tests.
namespace catalogue {
namespace testscripts {

inline constexpr const char kFolder[] = "test-scripts/";
// The player's orders on the sample map: buying through a spot and the HUD, upgrading,
// hiding and unhiding, selling and a slowdown cast at the first attacker.
inline constexpr const char kOrders[] = "orders.txt";
// Three defenders bought before the first wave, at the spots before the keep: the
// first wave is held, so the battle runs on into the second.
inline constexpr const char kDefence[] = "defence.txt";
// A winning defence: defenders bought and upgraded wave by wave, the keeper upgraded, an
// archer hidden and unhidden, the warlord slowed down, a swordman sold and bought again.
inline constexpr const char kVictory[] = "victory.txt";

// The battle's effects one at a time, for screenshots at these steps: the map's own
// effects once the first wave's entry effects have ended; a free spot selected (its
// marker); a defender bought on it (its entry effect in flight); then, after a tap on
// another spot took the selection away, that defender selected again (its marker).
inline constexpr const char kParticles[] = "particles.txt";
inline constexpr int kParticleSpot = 7;
// After the keeper and the first wave's three attackers.
inline constexpr int kParticleDefenderId = 4;
inline constexpr long kSceneryStep = 75;
inline constexpr long kSpotMarkerStep = 80;
inline constexpr long kEntryEffectStep = 92;
inline constexpr long kSelectedStep = 145;

}  // namespace testscripts
}  // namespace catalogue
