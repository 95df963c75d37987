#pragma once
// Attacker and defender units of the game data (folders "attackers" and "defenders").
#include <cstdint>
#include <string>
#include <vector>

enum UnitType { kUnitHero = 0, kUnitDungeonKeeper = 1, kUnitFighter = 2 };

// Defender flag bits. kNoHitPointUpgrading is tested by the HUD, but no flag word of the
// data files sets it.
enum DefenderFlags {
    kDummyBrain = 1,
    kNoHealing = 2,
    kNoHitPointUpgrading = 4,
    kNoWeaponUpgrading = 8,
};

struct UnitDefinition {
    std::string id;
    std::string translate;  // language key of the displayed name; may be empty
    int32_t type = kUnitFighter;
    int32_t flags = 0;  // DefenderFlags; always 0 for attackers
    std::string mesh;
    std::vector<std::string> attackAnimations;
    int32_t weapon = 0;     // weapon id; 0 or below: none
    std::string animation;  // animation-clip set
    std::vector<std::string> sounds;
    int32_t hp = 0;
    int32_t speed = 0;
    int32_t viewRange = 0;  // cells
};

struct AttackerDefinition : UnitDefinition {
    int32_t gold = 0;  // paid for a kill
};

// One upgradable stat: the value and the price of reaching levels 1 to 4.
struct UpgradeEntry {
    int32_t values[4] = {0, 0, 0, 0};
    int32_t prices[4] = {0, 0, 0, 0};
};

struct DefenderDefinition : UnitDefinition {
    // Positions of prices[].
    enum {
        kPricePurchase = 0,
        kPriceSellAlivePercent = 1,
        kPriceSellDeadPercent = 2,
        kPriceTeleport = 3,
        kPriceHealPercent = 4,
        kPriceResurrectPercent = 5,
        kPriceHide = 6,
        kPriceCount = 7,
    };
    // Positions of upgrades[]: hit points per level, weapon id per level.
    enum { kUpgradeHitPoints = 0, kUpgradeWeapon = 1, kUpgradeCount = 2 };

    int32_t moveRange = 0;         // guard range in cells
    int32_t timeAutoResurect = 0;  // seconds; 0: never rises by itself
    int32_t healSpotVal = 0;
    bool visible = false;  // kept; the battle does not read it
    int32_t prices[kPriceCount] = {0, 0, 0, 0, 0, 0, 0};
    UpgradeEntry upgrades[kUpgradeCount];
};
