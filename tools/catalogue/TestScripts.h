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

}  // namespace testscripts
}  // namespace catalogue
