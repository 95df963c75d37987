// The first wave of the sample map run through its runner on the sample level: its
// attackers come in at their entries in the data's order, a sample archer's arrow hits
// one of them, and the wave is over once all of them are dead.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Dictionary/GameDictionary/MapDefinition.h"
#include "Classes/Dictionary/GameDictionary/WaveDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CMissile.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/WaveRunner.h"
#include "LevelFixtures.h"
#include "tools/catalogue/GameData.h"

using namespace levelfixtures;
namespace gd = catalogue::gamedata;

TEST(LevelSampleWaveTest, TheFirstWaveComesInIsShotAtAndEnds) {
    SampleData data;
    ASSERT_TRUE(data.Read());
    BattleScope scope(gd::kMapName);
    CLevel level(gd::kMapName);
    const LevelInService service(level);
    ASSERT_NE(nullptr, level.GetMapDefinition());
    const MapWave& first = level.GetMapDefinition()->waves.at(0);
    const WaveDefinition* definition = CDunmarchGame::FindWaveDefinition(first.id);
    ASSERT_NE(nullptr, definition);
    WaveRunner wave(first.id, first.gold, first.bonusPercent, first.survivalPercent, definition->entries);
    UnitList& units = level.GetUnitList();

    // Each entry's attackers at its entry point, in the data's order.
    size_t sent = 0;
    for (const WaveEntry& entry : definition->entries) {
        while (units.GetCount() == static_cast<int32_t>(sent)) ASSERT_TRUE(wave.Update(33));
        EXPECT_EQ(entry.time, wave.GetElapsed() / 1000) << entry.name;
        const boost::shared_ptr<CSpawnPoint> point =
            level.FindSpawnPoint(CSpawnPoint::kAttackerEntry, entry.spawnPoint).lock();
        ASSERT_TRUE(point) << entry.spawnPoint;
        ASSERT_EQ(sent + static_cast<size_t>(entry.count), static_cast<size_t>(units.GetCount())) << entry.name;
        for (; sent < static_cast<size_t>(units.GetCount()); ++sent) {
            const CUnit& unit = *units.GetAt(static_cast<int32_t>(sent));
            EXPECT_EQ(entry.name, unit.GetDefinitionName());
            EXPECT_EQ(CUnit::kAttacker, unit.GetSide());
            // On the entry's cell, or the nearest free one when attackers before took it.
            EXPECT_LE(std::abs(point->GetPosition().x - unit.GetPosition().x), 1000) << entry.name;
            EXPECT_LE(std::abs(point->GetPosition().y - unit.GetPosition().y), 1000) << entry.name;
        }
    }
    EXPECT_EQ(static_cast<int32_t>(wave.GetTotalCount()), wave.GetSpawnedCount());
    EXPECT_TRUE(wave.Update(33));  // attackers live

    // An archer on the defender spot nearest to an attacker, turned to it, strikes.
    boost::shared_ptr<CUnit> aim;
    boost::shared_ptr<CSpawnPoint> spot;
    int64_t nearest = std::numeric_limits<int64_t>::max();
    for (const boost::weak_ptr<CSpawnPoint>& candidate : level.GetSpawnPoints(CSpawnPoint::kDefenderSlot))
        for (const boost::shared_ptr<CUnit>& unit : units.GetUnits()) {
            const boost::shared_ptr<CSpawnPoint> s = candidate.lock();
            const int64_t dx = s->GetPosition().x - unit->GetPosition().x;
            const int64_t dy = s->GetPosition().y - unit->GetPosition().y;
            if (dx * dx + dy * dy < nearest) nearest = dx * dx + dy * dy, spot = s, aim = unit;
        }
    ASSERT_TRUE(spot);
    const boost::shared_ptr<CUnit> archer = units.SpawnUnit(gd::kArcher, spot, CUnit::kDefender, false, true);
    ASSERT_TRUE(archer);
    const double dx = aim->GetPosition().x - archer->GetPosition().x,
                 dy = aim->GetPosition().y - archer->GetPosition().y;
    ASSERT_LT(std::sqrt(dx * dx + dy * dy), CMissile::GetFlightLengthOf(archer->GetWeapon()) - 250);
    archer->SetDirection(static_cast<int32_t>(std::lround(std::atan2(dx, -dy) * 180.0 / M_PI)));
    archer->GetBrain()->SetTarget(aim);
    archer->OnStrikeFrame();
    ASSERT_EQ(1u, level.GetMissiles().size());
    std::vector<int32_t> hitPoints;
    for (const boost::shared_ptr<CUnit>& unit : units.GetUnits()) hitPoints.push_back(unit->GetHitPoints());
    for (int step = 0; step < 100 && !level.GetMissiles().empty(); ++step) level.Update(33, 0, 0);
    EXPECT_TRUE(level.GetMissiles().empty());
    int struck = 0;
    for (size_t i = 0; i < sent; ++i) struck += units.GetAt(static_cast<int32_t>(i))->GetHitPoints() < hitPoints[i];
    EXPECT_EQ(1, struck);

    // Every attacker killed: the wave is over.
    for (const boost::shared_ptr<CUnit>& unit : units.GetUnits())
        if (unit->IsAttacker()) unit->Damage(unit, unit->GetHitPoints(), -1);
    EXPECT_EQ(0, units.CountLivingAttackers());
    EXPECT_FALSE(wave.Update(33));
}
