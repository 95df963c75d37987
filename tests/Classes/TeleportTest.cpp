// Teleporting defenders between spots and the selection operations the map input uses,
// on small drawn levels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "LevelFixtures.h"
#include "UnitFixture.h"

using namespace levelfixtures;

namespace {

class TeleportTest : public UnitFixture {
protected:
    TeleportTest() {
        data_.GetConfig().SpawnPointTypes.push_back(SpawnPointType{1, 20});
        BattleTestAccess::SetGold(scope_.Battle(), 100);
    }
    // An empty defender spot of the variant on the cell.
    boost::shared_ptr<CSpawnPoint> Spot(int32_t column, int32_t row, int32_t variant = 0) {
        spots_.push_back(
            boost::shared_ptr<CSpawnPoint>(new CSpawnPoint(&level_, 0, 100 + int32_t(spots_.size()), column * 500 + 250,
                                                           row * 500 + 250, 0, CSpawnPoint::kDefenderSlot, variant)));
        return spots_.back();
    }
    // A defender of the name placed on a new spot of the variant.
    boost::shared_ptr<CUnit> DefenderOn(const std::string& name, int32_t column, int32_t row, int32_t variant) {
        const boost::shared_ptr<CSpawnPoint> spot = Spot(column, row, variant);
        const LevelInService service(level_);
        return level_.GetUnitList().SpawnUnit(name, spot, CUnit::kDefender, false, true);
    }
    boost::shared_ptr<CSpawnPoint> HomeOf(const boost::shared_ptr<CUnit>& unit) {
        return static_cast<CDefenderBrain*>(unit->GetBrain())->GetHomeSpot().lock();
    }
    CLevelNode* Cell(int32_t column, int32_t row) { return level_.GetCell(column, row); }
    int32_t Gold() { return scope_.Battle().GetGold(); }
};

TEST_F(TeleportTest, ToAFreeSpot) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    const boost::shared_ptr<CSpawnPoint> home = spots_.back();
    const boost::shared_ptr<CSpawnPoint> target = Spot(5, 3);
    level_.SelectDefender(guard);
    level_.SetSpotHighlightMode(1);
    level_.Teleport(guard, target);
    EXPECT_EQ(Cell(5, 3), guard->GetCell());
    EXPECT_EQ(guard, Cell(5, 3)->GetOccupant().lock());
    EXPECT_FALSE(Cell(1, 1)->HasOccupant());
    EXPECT_FALSE(home->HasOccupant());
    EXPECT_TRUE(target->IsOccupiedBy(guard.get()));
    EXPECT_EQ(target, HomeOf(guard));
    EXPECT_EQ(70, Gold());  // price 30
    ASSERT_EQ(1u, level_.GetSelectedDefenders().size());
    EXPECT_EQ(guard, level_.GetSelectedDefenders()[0].lock());
    EXPECT_EQ(0, level_.GetSpotHighlightMode());
    EXPECT_EQ(CGenericBrain::kIdle, guard->GetBrain()->GetState());

    // A dead defender goes too, and stays dead, waiting for its revival.
    guard->Damage(guard, 1000, 0);
    level_.Teleport(guard, home);
    EXPECT_EQ(home, HomeOf(guard));
    EXPECT_EQ(CGenericBrain::kDead, guard->GetBrain()->GetState());
    EXPECT_EQ(40, Gold());
}

TEST_F(TeleportTest, ASwapKeepsTheBonusOfTwoBonusSpots) {
    const boost::shared_ptr<CUnit> guard = DefenderOn("Guard", 1, 1, 1);
    const boost::shared_ptr<CUnit> medic = DefenderOn("Medic", 5, 3, 1);
    const boost::shared_ptr<CSpawnPoint> first = HomeOf(guard);
    const boost::shared_ptr<CSpawnPoint> second = HomeOf(medic);
    ASSERT_TRUE(guard->FindEffect(Boost) && medic->FindEffect(Boost));
    guard->SetHitPoints(guard->GetMaxHitPoints(false));  // above the plain maximum
    const int32_t boosted = guard->GetHitPoints();
    level_.Teleport(guard, second);
    EXPECT_EQ(Cell(5, 3), guard->GetCell());
    EXPECT_EQ(Cell(1, 1), medic->GetCell());
    EXPECT_EQ(guard, Cell(5, 3)->GetOccupant().lock());
    EXPECT_EQ(medic, Cell(1, 1)->GetOccupant().lock());
    EXPECT_EQ(second, HomeOf(guard));
    EXPECT_EQ(first, HomeOf(medic));
    EXPECT_TRUE(first->IsOccupiedBy(medic.get()));
    EXPECT_TRUE(second->IsOccupiedBy(guard.get()));
    ASSERT_NE(nullptr, guard->FindEffect(Boost));
    ASSERT_NE(nullptr, medic->FindEffect(Boost));
    EXPECT_EQ(boosted, guard->GetHitPoints());

    // From a bonus spot onto a plain one the bonus goes, and its hit points with it.
    const boost::shared_ptr<CSpawnPoint> plain = Spot(7, 0);
    level_.Teleport(guard, plain);
    EXPECT_EQ(nullptr, guard->FindEffect(Boost));
    EXPECT_EQ(guard->GetMaxHitPoints(false), guard->GetHitPoints());
}

TEST_F(TeleportTest, RefusedWithoutAnyEffect) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    const boost::shared_ptr<CSpawnPoint> taken = Spot(3, 3);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 3, 3);
    const boost::shared_ptr<CSpawnPoint> free = Spot(6, 1);
    level_.SelectDefender(guard);
    level_.SetSpotHighlightMode(1);
    struct Case {
        const char* what;
        boost::weak_ptr<CUnit> unit;
        boost::weak_ptr<CSpawnPoint> spot;
        int32_t gold;
    } cases[] = {
        {"an attacker on the spot's cell", guard, taken, 100},
        {"an attacker to teleport", orc, free, 100},
        {"no spot", guard, boost::weak_ptr<CSpawnPoint>(), 100},
        // The price was checked when targeting began; gold spent since refuses it.
        {"gold below the price", guard, free, 29},
    };
    EXPECT_EQ(0, level_.CanTeleportTo(guard, taken));
    EXPECT_EQ(1, level_.CanTeleportTo(guard, free));
    for (const Case& c : cases) {
        BattleTestAccess::SetGold(scope_.Battle(), c.gold);
        level_.Teleport(c.unit, c.spot);
        EXPECT_EQ(Cell(1, 1), guard->GetCell()) << c.what;
        EXPECT_EQ(c.gold, Gold()) << c.what;
        EXPECT_EQ(1, level_.GetSpotHighlightMode()) << c.what;
    }
    BattleTestAccess::SetGold(scope_.Battle(), 30);
    level_.Teleport(guard, free);
    EXPECT_EQ(Cell(6, 1), guard->GetCell());
    EXPECT_EQ(0, Gold());
}

TEST_F(TeleportTest, OntoItsOwnSpotItStaysAndPays) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 2, 2);
    const boost::shared_ptr<CSpawnPoint> home = spots_.back();
    level_.Teleport(guard, home);
    EXPECT_EQ(Cell(2, 2), guard->GetCell());
    EXPECT_EQ(guard, Cell(2, 2)->GetOccupant().lock());
    EXPECT_TRUE(home->IsOccupiedBy(guard.get()));
    EXPECT_EQ(home, HomeOf(guard));
    EXPECT_EQ(70, Gold());
}

TEST_F(TeleportTest, PursuersDropTheTeleportedDefender) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 7, 2);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 1, 2);
    const boost::shared_ptr<CUnit> far = Attacker("Orc", 1, 4);  // not after it
    const boost::shared_ptr<CUnit> bystander = Defender("Medic", 5, 4);
    orc->GetBrain()->SetTarget(guard);
    orc->GetBrain()->GetPath() = {Cell(6, 2), Cell(5, 2), Cell(4, 2), Cell(3, 2)};
    far->GetBrain()->SetTarget(bystander);
    level_.Teleport(guard, Spot(7, 0));
    EXPECT_TRUE(orc->GetBrain()->GetCurrentTarget().expired());
    EXPECT_EQ(std::vector<CLevelNode*>{Cell(3, 2)}, orc->GetBrain()->GetPath());
    EXPECT_EQ(bystander, far->GetBrain()->GetCurrentTarget().lock());
}

TEST_F(TeleportTest, SelectionOperations) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    const boost::shared_ptr<CUnit> medic = Defender("Medic", 2, 1);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 5, 3);
    const boost::shared_ptr<CSpawnPoint> spot = Spot(6, 0);

    level_.SelectSpot(spot);
    EXPECT_TRUE(spot->IsSelected());
    // One kind of thing replaces the other; a second tap on the only one deselects it.
    level_.SelectDefender(guard);
    EXPECT_TRUE(level_.GetSelectedSpot().expired());
    EXPECT_TRUE(guard->IsSelected());
    ASSERT_TRUE(guard->GetSelectionEffect());
    level_.SelectDefender(medic);
    EXPECT_FALSE(guard->IsSelected());
    EXPECT_FALSE(guard->GetSelectionEffect());
    level_.SelectDefender(medic);
    EXPECT_TRUE(level_.GetSelectedDefenders().empty());
    level_.SelectAttacker(orc);
    EXPECT_TRUE(orc->IsSelected());
    level_.SelectAttacker(orc);
    EXPECT_FALSE(orc->IsSelected());

    // A group: its living defenders, or its dead ones when none lives.
    level_.SelectAttacker(orc);
    level_.SelectGroup({guard, medic, orc});
    EXPECT_EQ(2u, level_.GetSelectedDefenders().size());
    EXPECT_TRUE(level_.GetSelectedAttacker().expired());
    guard->SetHitPoints(0);
    medic->SetHitPoints(0);
    level_.SelectGroup({medic});
    ASSERT_EQ(1u, level_.GetSelectedDefenders().size());
    EXPECT_EQ(medic, level_.GetSelectedDefenders()[0].lock());

    // Clearing the defenders ends any targeting.
    level_.SetSpotHighlightMode(1);
    level_.ClearSelectedDefenders();
    EXPECT_EQ(0, level_.GetSpotHighlightMode());
    EXPECT_TRUE(level_.GetSelectedDefenders().empty());
}

}  // namespace
