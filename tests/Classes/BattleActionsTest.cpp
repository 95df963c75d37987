// The HUD's actions on a small drawn level: their checks (possible, too expensive or
// impossible), prices and records, and the replay of recorded actions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/HudTables.h"
#include "Classes/Dictionary/GameDictionary/UnitDefinition.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CMissile.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "LevelFixtures.h"
#include "UnitFixture.h"

using namespace levelfixtures;

namespace {

typedef std::vector<boost::weak_ptr<CUnit>> List;

class BattleActionsTest : public UnitFixture {
protected:
    BattleActionsTest() : recorder_(new CInputMonitor) {
        BattleTestAccess::SetLevel(Battle(), &level_);
        BattleTestAccess::SetRecorder(Battle(), recorder_);
        BattleTestAccess::SetState(Battle(), CDunmarchGame::kRunning);
        BattleTestAccess::SetStepCounter(Battle(), 10);
        SetGold(1000);
        // The keeper's spells: slowdown with the curse, firestorm and lightning with the staff.
        Config& config = data_.GetConfig();
        config.Spells[0].push_back(SpellDefinition{3, 40, 10});
        config.Spells[1].push_back(SpellDefinition{6, 60, 20});
        config.Spells[2].push_back(SpellDefinition{6, 80, 30});
    }
    ~BattleActionsTest() override {
        for (std::vector<SpellDefinition>& spells : data_.GetConfig().Spells) spells.clear();
        BattleTestAccess::SetLevel(Battle(), nullptr);
    }
    CDunmarchGame& Battle() { return scope_.Battle(); }
    void SetGold(int32_t gold) { BattleTestAccess::SetGold(Battle(), gold); }
    int32_t Gold() { return Battle().GetGold(); }
    void Kill(const boost::shared_ptr<CUnit>& unit) {
        unit->Damage(unit, 100000, 0);
        unit->OnDeathEnd();
    }
    // The records as "type x y" lines.
    std::vector<std::string> Records() const {
        std::vector<std::string> lines;
        for (const DemoInput& input : recorder_->GetRecords())
            lines.push_back(std::to_string(input.type) + " " + std::to_string(input.x) + " " + std::to_string(input.y));
        return lines;
    }

    boost::shared_ptr<CInputMonitor> recorder_;
};

TEST_F(BattleActionsTest, ResurrectionCostsPriceFiveAndNeverRaisesTheKeeper) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    const boost::shared_ptr<CUnit> keeper = Defender("Keeper", 3, 1);
    Kill(guard);
    Kill(keeper);
    int32_t dear = 0, resurrection = 0;
    EXPECT_EQ(0, Battle().CanHeal(keeper, &dear, &resurrection));
    EXPECT_EQ(0, dear);

    // Price 5 (50 %) of the 100 invested.
    EXPECT_EQ(50, Battle().GetHealPrice(guard));
    SetGold(49);
    EXPECT_EQ(0, Battle().CanHeal(guard, &dear, &resurrection));
    EXPECT_EQ(1, dear);
    EXPECT_EQ(1, resurrection);
    Battle().HealUnit(guard);  // refused: the gold stays
    EXPECT_EQ(49, Gold());
    EXPECT_FALSE(guard->IsAlive());

    SetGold(120);
    EXPECT_EQ(1, Battle().CanHeal(guard, &dear, &resurrection));
    EXPECT_EQ(0, dear);
    Battle().HealUnit(guard);
    EXPECT_TRUE(guard->IsAlive());
    EXPECT_EQ(70, Gold());
    EXPECT_EQ((std::vector<std::string>{"1 " + std::to_string(guard->GetId()) + " -1"}), Records());
    // At full health there is nothing to heal.
    EXPECT_EQ(0, Battle().CanHeal(guard, &dear, &resurrection));
    EXPECT_EQ(0, dear);
}

TEST_F(BattleActionsTest, HidingIsPaidWhenOrderedOnceAStepAndUnhidingIsFree) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    SetGold(100);
    int32_t dear = 0, hidden = 0;
    ASSERT_EQ(1, Battle().CanHide(guard, &dear, &hidden));
    EXPECT_EQ(0, hidden);
    Battle().ToggleHide(guard);
    EXPECT_TRUE(guard->IsHideRequested());
    EXPECT_EQ(80, Gold());  // price 6
    // A second toggle in the same step is refused.
    EXPECT_EQ(0, Battle().CanHide(guard, &dear, &hidden));
    EXPECT_EQ(1, hidden);
    Battle().ToggleHide(guard);
    EXPECT_TRUE(guard->IsHideRequested());

    // The next step: the waiting order counts as hidden and is cancelled for nothing.
    BattleTestAccess::SetStepCounter(Battle(), 11);
    SetGold(0);
    EXPECT_EQ(1, Battle().CanHide(guard, &dear, &hidden));
    EXPECT_EQ(1, hidden);
    EXPECT_EQ(0, Battle().GetHidePrice(guard));
    Battle().ToggleHide(guard);
    EXPECT_FALSE(guard->IsHideRequested());
    EXPECT_EQ(0, Gold());

    // Hiding again without the gold: too expensive.
    BattleTestAccess::SetStepCounter(Battle(), 12);
    EXPECT_EQ(0, Battle().CanHide(guard, &dear, &hidden));
    EXPECT_EQ(1, dear);
    const std::string id = std::to_string(guard->GetId());
    EXPECT_EQ((std::vector<std::string>{"3 " + id + " -1", "3 " + id + " -1"}), Records());
}

TEST_F(BattleActionsTest, GroupChecksRefuseMixturesAndSpareHeroesAndTheKeeper) {
    const boost::shared_ptr<CUnit> a = Defender("Guard", 1, 1);
    const boost::shared_ptr<CUnit> b = Defender("Guard", 2, 1);
    const boost::shared_ptr<CUnit> hero = Defender("Champion", 3, 1);
    const boost::shared_ptr<CUnit> keeper = Defender("Keeper", 4, 1);
    a->SetHitPoints(10);
    Kill(b);
    int32_t dear = 0, resurrection = 0;
    EXPECT_EQ(0, Battle().CanHealAll(List{a, b}, &dear, &resurrection));
    EXPECT_EQ(0, dear);
    EXPECT_EQ(1, Battle().CanHealAll(List{b}, &dear, &resurrection));
    EXPECT_EQ(1, resurrection);

    // Mixed hidden and visible units are refused.
    Battle().ToggleHide(a);
    BattleTestAccess::SetStepCounter(Battle(), 11);
    int32_t hidden = 0;
    EXPECT_EQ(0, Battle().CanHideAll(List{a, b}, &dear, &hidden));

    EXPECT_EQ(0, Battle().CanSellAll(List{a, hero}));
    const int32_t gold = Gold();
    const int32_t value = Battle().GetSellValueAll(List{a, b, hero, keeper});
    EXPECT_EQ(a->GetSellValue() + b->GetSellValue(), value);
    Battle().SellAll(List{a, b, hero, keeper});
    EXPECT_TRUE(a->IsSold() && b->IsSold());
    EXPECT_FALSE(hero->IsSold() || keeper->IsSold());
    EXPECT_EQ(gold + value, Gold());
}

TEST_F(BattleActionsTest, SpellsCheckTheTargetCooldownAndKeeper) {
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 5, 2);
    int32_t dear = 0;
    // No keeper: nothing to cast, and no price.
    EXPECT_EQ(0, Battle().CanCast(1, orc, &dear));
    EXPECT_EQ(0, Battle().GetSpellPrice(1));
    const boost::shared_ptr<CUnit> keeper = Defender("Keeper", 1, 1);

    orc->AddEffect(Slow, 50, 1, "", 5000);
    EXPECT_EQ(0, Battle().CanCast(0, orc, &dear));
    EXPECT_EQ(0, dear);
    ASSERT_EQ(1, Battle().CanCast(1, orc, &dear));
    Battle().CastSpell(1, orc);
    EXPECT_EQ(940, Gold());
    EXPECT_EQ(20000, Battle().GetCooldown(1));
    EXPECT_FLOAT_EQ(100.0f, Battle().GetCooldownPercent(1));
    ASSERT_EQ(1u, level_.GetMissiles().size());
    EXPECT_EQ((std::vector<std::string>{"8 " + std::to_string(orc->GetId()) + " -1"}), Records());
    EXPECT_EQ(0, Battle().CanCast(1, orc, &dear));  // cooling down
    BattleTestAccess::SetSpellCooldown(Battle(), 1, 5000);
    EXPECT_FLOAT_EQ(25.0f, Battle().GetCooldownPercent(1));

    SetGold(79);
    EXPECT_EQ(0, Battle().CanCast(2, orc, &dear));
    EXPECT_EQ(1, dear);
}

TEST_F(BattleActionsTest, UpgradingTheKeeperResetsTheSpellCooldowns) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    int32_t dear = 0, nonDamage = 0;
    ASSERT_EQ(1, Battle().CanUpgrade(guard, 0, &dear, &nonDamage));
    Battle().UpgradeUnit(guard, 0);
    EXPECT_EQ(950, Gold());  // the first hit-point level costs 50
    EXPECT_EQ(1, guard->GetUpgradeLevel(0));
    // Weapon level 3 of the guard names a weapon the table has: offered; stat 2 never is.
    EXPECT_EQ(0, Battle().CanUpgrade(guard, 2, &dear, &nonDamage));

    const boost::shared_ptr<CUnit> healer = Defender("Healer", 2, 1);
    Battle().CanUpgrade(healer, 1, &dear, &nonDamage);
    EXPECT_EQ(1, nonDamage);

    // A keeper whose weapon can be upgraded once.
    DefenderDefinition* definition = const_cast<DefenderDefinition*>(CDunmarchGame::FindDefenderDefinition("Keeper"));
    ASSERT_NE(nullptr, definition);
    definition->upgrades[1].values[0] = 6;
    definition->upgrades[1].prices[0] = 100;
    const boost::shared_ptr<CUnit> keeper = Defender("Keeper", 3, 1);
    for (int32_t kind = 0; kind < 3; ++kind) BattleTestAccess::SetSpellCooldown(Battle(), kind, 1000 * (kind + 1));
    Battle().UpgradeUnit(keeper, 1);
    EXPECT_EQ(1, keeper->GetUpgradeLevel(1));
    for (int32_t kind = 0; kind < 3; ++kind) EXPECT_EQ(0, Battle().GetCooldown(kind));
}

TEST_F(BattleActionsTest, RecordedActionsReplayThroughTheSameChecks) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    const int32_t id = guard->GetId();
    const int32_t gold = Gold();
    const int32_t value = guard->GetSellValue();
    Battle().ApplyRecordedInput(DemoInput{10, 6, id, -1});
    EXPECT_TRUE(guard->IsSold());
    EXPECT_EQ(gold + value, Gold());
    // The sold unit leaves the list after its fade; the same record then finds nothing.
    for (int i = 0; i < 30 && level_.FindUnit(id); ++i) level_.GetUnitList().Update(33);
    ASSERT_FALSE(level_.FindUnit(id));
    for (int32_t type : {1, 3, 4, 6, 7}) Battle().ApplyRecordedInput(DemoInput{11, type, id, 0});
    EXPECT_EQ(gold + value, Gold());
    // An upgrade whose stat is neither 0 nor 1 is ignored.
    const boost::shared_ptr<CUnit> other = Defender("Guard", 2, 2);
    Battle().ApplyRecordedInput(DemoInput{12, 4, other->GetId(), 7});
    EXPECT_EQ(0, other->GetUpgradeLevel(0));
    EXPECT_EQ(0, other->GetUpgradeLevel(1));
    EXPECT_EQ(1u, recorder_->GetRecords().size());
}

TEST_F(BattleActionsTest, NothingIsRecordedOnceTheBattleIsOver) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    BattleTestAccess::SetState(Battle(), CDunmarchGame::kOver);
    Battle().SellUnit(guard);
    EXPECT_TRUE(guard->IsSold());
    EXPECT_TRUE(recorder_->GetRecords().empty());
}

}  // namespace
