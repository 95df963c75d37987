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

}  // namespace

DATABUILDER_WRITER(testscripts, 90) {
    out.WriteText(std::string(ts::kFolder) + ts::kOrders, OrdersScript());
    out.WriteText(std::string(ts::kFolder) + ts::kDefence, DefenceScript());
    out.WriteText(std::string(ts::kFolder) + ts::kParticles, ParticlesScript());
}
