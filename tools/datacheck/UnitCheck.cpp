// Every attacker and defender made as the battle makes it, one at a time on a small level
// of the check's own, with its model and clip table: its kind, maximum hit points (per
// hit-point level for defenders), speed, ranges, effect value and damage rate; for
// defenders their prices, refunds and upgrade levels. A unit without hit points, or
// whose clip table lacks a clip the brains play, fails.
#include <algorithm>
#include <string>
#include <vector>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/Dictionary/GameDictionary/GameDictionary.h"
#include "Classes/Dictionary/GameDictionary/UnitDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Core/ContentLoader.h"
#include "Core/Service.h"
#include "Graphics/AnimationClips/AnimationClips.h"
#include "Graphics/Model/Model.h"
#include "tools/datacheck/Check.h"
#include "tools/datacheck/DictionaryInService.h"
#include "tools/datacheck/NullGraphics.h"
#include "tools/datacheck/ScopedService.h"

namespace {

typedef Content::ContentLoader<Graphics::Model> ModelLoader;
typedef Content::ContentLoader<Graphics::AnimationClips> ClipLoader;

const char* const kUnitKinds[] = {"?", "fighter", "hero", "keeper"};

template <class Table>
std::vector<std::string> SortedNames(const Table& table) {
    std::vector<std::string> names;
    for (const auto& entry : table) names.push_back(entry.first);
    std::sort(names.begin(), names.end());
    return names;
}

// What the defender costs and brings back as bought, what each upgrade level costs and
// gives, and what it costs to bring back dead. The unit dies here.
void ReportPrices(CUnit& unit, datacheck::Report& report) {
    const DefenderDefinition& definition = *unit.GetDefenderDefinition();
    const char* name = definition.id.c_str();
    unit.SetUpgradeLevel(0, 0);
    const int32_t sell = unit.GetSellValue();
    const int32_t heal = unit.GetHealCost();
    unit.Damage(unit.GetWeakPtr(), unit.GetHitPoints(), 0);
    report.Line("defender %s: buy %d, sell %d, heal %d; dead: sell %d, resurrect %d", name, unit.GetPrice(), sell, heal,
                unit.GetSellValue(), unit.GetHealCost());
    const char* const stats[] = {"hit points", "weapon"};
    for (int32_t kind = 0; kind < 2; ++kind) {
        std::string levels;
        int32_t offered = 0;
        for (int32_t level = 0; level < 4; ++level) {
            unit.SetUpgradeLevel(kind, level);
            const int32_t value = definition.upgrades[kind].values[level];
            if (value != 0 && offered == level) ++offered;
            levels +=
                (level > 0 ? ", " : "") + std::to_string(value) + " for " + std::to_string(unit.GetUpgradePrice(kind));
        }
        unit.SetUpgradeLevel(kind, 0);
        report.Line("defender %s: %s upgrades %s", name, stats[kind], levels.c_str());
        // The HUD offers the levels up to the first empty one.
        if (offered < 4) report.Line("defender %s: %s upgrades offer %d of 4 levels", name, stats[kind], offered);
    }
}

void CheckUnit(CLevel& level, const std::string& name, int32_t side, datacheck::Report& report) {
    const char* sideName = side == CUnit::kAttacker ? "attacker" : "defender";
    const boost::shared_ptr<CSpawnPoint> spot(
        new CSpawnPoint(&level, 0, 0, 750, 750, 0,
                        side == CUnit::kAttacker ? CSpawnPoint::kAttackerEntry : CSpawnPoint::kDefenderSlot, 0));
    const boost::shared_ptr<CUnit> unit = level.GetUnitList().SpawnUnit(name, spot, side, false, false);
    if (!unit || unit->GetHitPoints() <= 0) {
        report.Fail("%s %s: 0 hit points", sideName, name.c_str());
        level.GetUnitList().Clear();
        return;
    }
    std::string hitPoints = std::to_string(unit->GetMaxHitPoints(true));
    if (unit->IsDefender())
        for (int32_t upgrade = 1; upgrade <= 4; ++upgrade) {
            unit->SetUpgradeLevel(0, upgrade);
            hitPoints += "/" + std::to_string(unit->GetMaxHitPoints(true));
        }
    report.Line("%s %s: %s, hp %s, speed %d, view %d, guard %d, attack %d, value %d, damage rate %d", sideName,
                name.c_str(), kUnitKinds[unit->GetKind() >= 1 && unit->GetKind() <= 3 ? unit->GetKind() : 0],
                hitPoints.c_str(), unit->GetSpeed(), unit->GetViewRange(), unit->GetGuardRange(),
                unit->GetAttackRange(), unit->GetEffectValue(), unit->GetDamageRate());

    if (unit->IsDefender()) ReportPrices(*unit, report);

    const boost::shared_ptr<Graphics::AnimationClips>& clips = unit->GetAnimationClips();
    if (!clips) {
        report.Fail("%s %s: no clip table", sideName, name.c_str());
    } else {
        std::vector<std::string> wanted = {"idle", "walk", "death"};
        const std::vector<std::string>& attacks = unit->GetDefinition()->attackAnimations;
        wanted.insert(wanted.end(), attacks.begin(), attacks.end());
        for (const std::string& clip : wanted)
            if (!clips->HasClip(clip))
                report.Fail("%s %s: the clip table lacks \"%s\"", sideName, name.c_str(), clip.c_str());
    }
    level.GetUnitList().Clear();
}

}  // namespace

DATACHECK(units, 45) {
    if (!Service<Config>::Exists()) {
        report.Fail("no configuration");
        return;
    }
    const Config& config = *Service<Config>::Get();
    const datacheck::DictionaryInService dictionary(config);
    const GameDictionary& data = dictionary.Get();
    datacheck::NullGraphics graphics;
    if (!graphics.Ready()) {
        report.Fail("no null Direct3D device for the models");
        return;
    }
    ModelLoader models(config.Paths.MeshesPath);
    ClipLoader clips(config.Paths.AnimsPath);
    const datacheck::ScopedService<ModelLoader> publishedModels(&models);
    const datacheck::ScopedService<ClipLoader> publishedClips(&clips);
    CDunmarchGame battle(config.Maps.empty() ? std::string() : config.Maps[0]);
    const datacheck::ScopedService<CDunmarchGame> publishedBattle(&battle);
    {
        CLevel level("");
        const datacheck::ScopedService<CLevel> publishedLevel(&level);
        level.CreateGrid(3, 3);
        for (const std::string& name : SortedNames(data.GetAttackers()))
            CheckUnit(level, name, CUnit::kAttacker, report);
        for (const std::string& name : SortedNames(data.GetDefenders()))
            CheckUnit(level, name, CUnit::kDefender, report);
    }
    report.Line("units: %zu attackers, %zu defenders", data.GetAttackers().size(), data.GetDefenders().size());
}
