// The battle driver's input scripts for the end-to-end tests, from the catalogue's spots,
// defenders and HUD rows. Unit ids follow from the order of spawning: the keeper is 0,
// the purchases take 1, 2, ... in script order, and the first attacker of the first wave
// the id after the last purchase.
#include <sstream>
#include <string>

#include "tools/catalogue/GameData.h"
#include "tools/catalogue/Level.h"
#include "tools/catalogue/TestScripts.h"
#include "tools/databuilder/Builder.h"

namespace {

namespace gd = catalogue::gamedata;
namespace cl = catalogue::level;
namespace ts = catalogue::testscripts;

// Frame 5 is well inside the first second, before the first wave begins.
std::string OrdersScript() {
    const int archerSpot = cl::kDefenderSpots[9].defenderId;  // boosted, before the keep
    const int swordmanSpot = cl::kDefenderSpots[7].defenderId;
    const int archer = 1, firstAttacker = 3;
    std::ostringstream s;
    s << "# The player's orders on " << gd::kMapName << ".\n"
      << "5 tap-spot " << archerSpot << "\n"
      << "6 hud " << gd::kArcher << "\n"
      << "# The new archer is selected: its hit points up, then hidden.\n"
      << "8 hud UpgradeHP\n"
      << "10 hud HideShow\n"
      << "13 tap-spot " << swordmanSpot << "\n"
      << "14 hud " << gd::kSwordman << "\n"
      << "16 hud Sell\n"
      << "# The archer back out of hiding, for nothing.\n"
      << "40 tap-unit " << archer << "\n"
      << "41 hud HideShow\n"
      << "# The first attacker slowed down by the keeper.\n"
      << "150 tap-unit " << firstAttacker << "\n"
      << "151 hud Slow\n";
    return s.str();
}

// The whole starting gold on an archer and two swordmen before the keep.
std::string DefenceScript() {
    std::ostringstream s;
    s << "# Three defenders before the keep on " << gd::kMapName << ".\n"
      << "5 tap-spot " << cl::kDefenderSpots[9].defenderId << "\n"
      << "6 hud " << gd::kArcher << "\n"
      << "8 tap-spot " << cl::kDefenderSpots[7].defenderId << "\n"
      << "9 hud " << gd::kSwordman << "\n"
      << "11 tap-spot " << cl::kDefenderSpots[8].defenderId << "\n"
      << "12 hud " << gd::kSwordman << "\n";
    return s.str();
}

// Script frames run before their step: frame N's input acts in step N + 1.
std::string ParticlesScript() {
    std::ostringstream s;
    s << "# The battle's effects one at a time on " << gd::kMapName << ".\n"
      << ts::kSpotMarkerStep - 4 << " tap-spot " << ts::kParticleSpot << "\n"
      << ts::kEntryEffectStep - 8 << " hud " << gd::kArcher << "\n"
      << "# The purchase selected the archer: another spot takes the selection, then a tap on it.\n"
      << ts::kSelectedStep - 10 << " tap-spot " << cl::kDefenderSpots[9].defenderId << "\n"
      << ts::kSelectedStep - 8 << " tap-unit " << ts::kParticleDefenderId << "\n";
    return s.str();
}

// Each wave's summary is dismissed when the defenders are back on their spots, so that a
// tap on a spot picks its defender; the orders follow at once, before the next wave
// begins. The frames are those of this data: a change of the waves, prices or units
// moves them (the e2e test then tells).
std::string VictoryScript() {
    const auto spot = [](int number) { return cl::kDefenderSpots[number - 1].defenderId; };
    const int keeper = 0, firstArcher = 1, secondArcher = 2, warlord = 56;
    std::ostringstream s;
    s << "# A winning defence of " << gd::kMapName << ".\n"
      << "# Two archers and a swordman before the keep.\n"
      << "5 tap-spot " << spot(8) << "\n6 hud " << gd::kArcher << "\n"
      << "7 tap-spot " << spot(9) << "\n8 hud " << gd::kArcher << "\n"
      << "9 tap-spot " << spot(10) << "\n10 hud " << gd::kSwordman << "\n"
      << "# After the first wave: a swordman on the middle route, its weapon up.\n"
      << "3097 tap 512 384\n"
      << "3098 tap-spot " << spot(7) << "\n3099 hud " << gd::kSwordman << "\n3100 hud UpgradeWeapon\n"
      << "# After the second: swordmen on both flanks.\n"
      << "5763 tap 512 384\n"
      << "5764 tap-spot " << spot(5) << "\n5765 hud " << gd::kSwordman << "\n5766 hud UpgradeWeapon\n"
      << "5767 tap-spot " << spot(6) << "\n5768 hud " << gd::kSwordman << "\n5769 hud UpgradeWeapon\n"
      << "# After the third: upgrades, the defenders picked on their spots.\n"
      << "9072 tap 512 384\n"
      << "9073 tap-spot " << spot(10) << "\n9074 hud UpgradeWeapon\n"
      << "9075 tap-spot " << spot(7) << "\n9076 hud UpgradeHP\n"
      << "9077 tap-spot " << spot(5) << "\n9078 hud UpgradeHP\n"
      << "9079 tap-spot " << spot(6) << "\n9080 hud UpgradeHP\n"
      << "9081 tap-unit " << firstArcher << "\n9082 hud UpgradeWeapon\n"
      << "9083 tap-unit " << secondArcher << "\n9084 hud UpgradeWeapon\n"
      << "# After the fourth: the keeper's hit points and the swordmen's weapons up; an\n"
      << "# archer's hiding ordered and cancelled.\n"
      << "12329 tap 512 384\n"
      << "12330 tap-unit " << keeper << "\n12331 hud UpgradeHP\n"
      << "12332 tap-spot " << spot(7) << "\n12333 hud UpgradeWeapon\n"
      << "12334 tap-spot " << spot(5) << "\n12335 hud UpgradeWeapon\n"
      << "12336 tap-spot " << spot(6) << "\n12337 hud UpgradeWeapon\n"
      << "12338 tap-unit " << firstArcher << "\n12339 hud HideShow\n12340 hud HideShow\n"
      << "# The warlord slowed down at the gate; the idle west swordman sold and a new one\n"
      << "# bought in its place.\n"
      << "13000 tap-unit " << warlord << "\n13001 hud Slow\n"
      << "14210 tap-spot " << spot(5) << "\n14211 hud Sell\n"
      << "14310 tap-spot " << spot(5) << "\n14311 hud " << gd::kSwordman << "\n";
    return s.str();
}

}  // namespace

DATABUILDER_WRITER(testscripts, 90) {
    out.WriteText(std::string(ts::kFolder) + ts::kOrders, OrdersScript());
    out.WriteText(std::string(ts::kFolder) + ts::kDefence, DefenceScript());
    out.WriteText(std::string(ts::kFolder) + ts::kParticles, ParticlesScript());
    out.WriteText(std::string(ts::kFolder) + ts::kVictory, VictoryScript());
}
