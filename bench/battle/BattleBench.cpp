// The battle's update with many units. Each run starts a battle on the sample map, fills
// every defender spot, sends the attackers in at the first entry and times 300 updates
// (ten seconds of battle): the brains walk, choose targets, search paths and attack, but
// without the scene's animation pass no attack clip reaches its strike, so nobody dies. Beside it, at the end of the run: one target search by every
// living unit with its target dropped (more than an update ever does, as units keep a
// living target) and one path search from the entry to the keeper (the most an update
// starts), each as a share of the mean update. Goal: under 1 ms an update with 200.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Core/Service.h"
#include "tools/catalogue/Config.h"
#include "tools/catalogue/GameData.h"

namespace gd = catalogue::gamedata;

namespace {

typedef std::chrono::steady_clock Clock;

double Microseconds(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

void Run(int32_t attackers) {
    std::srand(1);
    // The level's objects leave the world while the battle is still the service.
    std::unique_ptr<CDunmarchGame> owner(new CDunmarchGame(gd::kMapName));
    CDunmarchGame& battle = *owner;
    Service<CDunmarchGame>::Register(owner.get());
    if (battle.LoadLevel(gd::kMapName) == 0) {
        std::printf("no sample level\n");
        owner.reset();
        Service<CDunmarchGame>::Unregister();
        return;
    }
    battle.Update(33, false, true);  // scene objects and the keeper
    CLevel& level = *battle.GetLevel();
    UnitList& units = level.GetUnitList();
    size_t kind = 0;
    for (const boost::weak_ptr<CSpawnPoint>& spot : level.GetSpawnPoints(CSpawnPoint::kDefenderSlot))
        units.SpawnUnit(gd::kPurchasableDefenders[kind++ % (sizeof(gd::kPurchasableDefenders) / sizeof(char*))], spot,
                        CUnit::kDefender, false, true);
    const int32_t defenders = units.GetCount();
    for (int32_t i = 0; i < attackers; ++i)
        units.SpawnUnitAt(i % 3 == 2 ? gd::kOrcArcher : gd::kOrcWarrior, 0, CUnit::kAttacker, false, true);

    const int kUpdates = 300;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < kUpdates; ++i) battle.Update(33, false, true);
    const double update = Microseconds(Clock::now() - start) / kUpdates;

    std::vector<boost::shared_ptr<CUnit>> living;
    for (const boost::shared_ptr<CUnit>& unit : units.GetUnits())
        if (unit->IsAlive() && unit->GetBrain() != nullptr) living.push_back(unit);
    const Clock::time_point searchStart = Clock::now();
    for (const boost::shared_ptr<CUnit>& unit : living) {
        unit->GetBrain()->ClearTarget();
        unit->GetBrain()->SearchTarget();
    }
    const double search = Microseconds(Clock::now() - searchStart);

    double path = 0.0;
    const boost::shared_ptr<CUnit> keeper = units.FindDungeonKeeper().lock();
    std::vector<boost::shared_ptr<CSpawnPoint>> entries;
    for (const boost::weak_ptr<CSpawnPoint>& point : level.GetSpawnPoints(CSpawnPoint::kAttackerEntry))
        entries.push_back(point.lock());
    if (!entries.empty() && keeper && !living.empty()) {
        std::vector<CLevelNode*> found;
        const Clock::time_point pathStart = Clock::now();
        level.FindPath(living.back().get(), level.GetCellOf(entries[0]), level.GetCellOf(keeper), found, 1, 0, 7500);
        path = Microseconds(Clock::now() - pathStart);
    }
    std::printf(
        "%3d attackers, %2d defenders: %8.1f us per update (%d left alive); every unit's target search "
        "%7.1f us (%5.1f%%), one path search %6.1f us (%5.1f%%)\n",
        attackers, defenders, update, units.CountLivingAttackers(), search, 100.0 * search / update, path,
        100.0 * path / update);
    living.clear();
    entries.clear();
    battle.Stop();
    owner.reset();
    Service<CDunmarchGame>::Unregister();
}

}  // namespace

int main() {
    if (chdir(DM_BENCH_GAME_DIR) != 0) return 1;
    Config config;
    config.Read(catalogue::config::kFileName);
    GameDictionary dictionary;
    dictionary.Load(config);
    Service<Config>::Register(&config);
    Service<GameDictionary>::Register(&dictionary);
    Run(60);
    Run(200);
    Service<GameDictionary>::Unregister();
    Service<Config>::Unregister();
    return 0;
}
