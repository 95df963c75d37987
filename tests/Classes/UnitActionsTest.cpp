// The player's orders on units: prices and refunds, selling, healing and resurrecting,
// hiding, upgrading, the selection effect and the self-healing on the spot.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "Audio/AudioDevice.h"
#include "Audio/Sound.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CUnit.h"
#include "Core/ContentLoader.h"
#include "LevelFixtures.h"
#include "SceneGraph/ModelNode.h"
#include "UnitFixture.h"
#include "Audio/LoopbackAudio.h"
#include "tools/catalogue/Sounds.h"

using namespace levelfixtures;

namespace {

class UnitActionsTest : public UnitFixture {};

}  // namespace

TEST_F(UnitActionsTest, PricesAndRefundsInTruncatingArithmetic) {
    // Guard: bought for 100; sell 50 % alive, 25 % dead; heal 40 % of the hit-point
    // investment, resurrect 50 % of all; hide 20; upgrades 50 (hit points) and 80 (weapon).
    struct Case {
        const char* what;
        std::vector<int32_t> upgrades;  // kinds, in order
        bool dead;
        int32_t invested, sell, heal;
    };
    const Case cases[] = {
        {"as bought", {}, false, 100, 50, 40},
        {"one hit-point upgrade", {0}, false, 150, 75, 60},
        {"the same, dead", {0}, true, 150, 37, 75},
        {"a weapon upgrade leaves the heal cost", {0, 1}, false, 230, 115, 60},
        {"but raises the resurrection", {0, 1}, true, 230, 57, 115},
    };
    int32_t column = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const boost::shared_ptr<CUnit> guard = Defender("Guard", column++, 0);
        for (int32_t kind : c.upgrades) guard->Upgrade(kind);
        if (c.dead) guard->Damage(guard, 10000, 0);
        EXPECT_EQ(c.invested, guard->GetInvested());
        EXPECT_EQ(c.sell, guard->GetSellValue());
        EXPECT_EQ(c.heal, guard->GetHealCost());
    }
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 0, 2);
    EXPECT_EQ(0, orc->GetSellValue());
    EXPECT_EQ(0, orc->GetHealCost());
    EXPECT_EQ(0, orc->GetHidePrice());
    EXPECT_EQ(0, orc->GetUpgradePrice(0));
    EXPECT_EQ(0, orc->Upgrade(0));
    EXPECT_EQ(0, orc->GetUpgradeLevel(0));
}

TEST_F(UnitActionsTest, UpgradesClimbFourLevelsAndHeal) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    const int32_t hitPoints[] = {150, 200, 250, 300};
    for (int32_t level = 0; level < 4; ++level) {
        SCOPED_TRACE(level);
        EXPECT_EQ(50 + 10 * level, guard->GetUpgradePrice(0));
        guard->SetHitPoints(1);
        EXPECT_EQ(50 + 10 * level, guard->Upgrade(0));
        EXPECT_EQ(level + 1, guard->GetUpgradeLevel(0));
        EXPECT_EQ(hitPoints[level], guard->GetHitPoints());
    }
    // Level 4 is the last; another kind is none.
    EXPECT_EQ(0, guard->GetUpgradePrice(0));
    EXPECT_EQ(0, guard->Upgrade(0));
    EXPECT_EQ(4, guard->GetUpgradeLevel(0));
    EXPECT_EQ(0, guard->Upgrade(2));
    EXPECT_EQ(0, guard->GetUpgradePrice(-1));
    EXPECT_EQ(360, guard->GetInvested());
    EXPECT_EQ(360, guard->GetInvestedInHitPoints());
    // The upgrade heals without the healing effect and shows its own.
    EXPECT_EQ((std::vector<std::string>{"particles/spawn.prt", "particles/upgrade.prt", "particles/upgrade.prt",
                                        "particles/upgrade.prt", "particles/upgrade.prt"}),
              Shown(*guard));

    // Weapon levels replace the weapon; one the dictionary lacks leaves none.
    EXPECT_EQ(80, guard->Upgrade(1));
    EXPECT_EQ(30, guard->GetEffectValue());
    guard->Upgrade(1);
    guard->Upgrade(1);
    EXPECT_EQ(nullptr, guard->GetWeapon());
    EXPECT_EQ(0, guard->GetAttackRange());
    EXPECT_EQ(110, guard->GetUpgradePrice(1));
}

TEST_F(UnitActionsTest, UpgradingTheDeadResurrects) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    guard->Damage(guard, 10000, 0);
    guard->OnDeathEnd();  // as at the death clip's end: the corpse leaves its cell
    EXPECT_EQ(CGenericBrain::kDead, guard->GetBrain()->GetState());
    EXPECT_EQ(CUnit::kPickDeadDefender, guard->GetModelNode()->GetPickGroup());
    EXPECT_FALSE(level_.GetCell(1, 1)->HasOccupant());

    EXPECT_EQ(50, guard->Upgrade(0));
    EXPECT_EQ(150, guard->GetHitPoints());
    EXPECT_EQ(CGenericBrain::kIdle, guard->GetBrain()->GetState());
    EXPECT_EQ(CUnit::kPickLiving, guard->GetModelNode()->GetPickGroup());
    EXPECT_EQ(guard, level_.GetCell(1, 1)->GetOccupant().lock());
    const std::vector<std::string> shown = Shown(*guard);
    EXPECT_EQ("particles/resurrect.prt", shown[shown.size() - 2]);
    EXPECT_EQ("particles/upgrade.prt", shown.back());
}

TEST_F(UnitActionsTest, HealingAndResurrection) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    const boost::shared_ptr<CUnit> other = Defender("Guard", 3, 3);
    guard->SetHitPoints(10);
    guard->Heal(false, false, false);
    EXPECT_EQ(105, guard->GetHitPoints());
    EXPECT_EQ("particles/healing.prt", Shown(*guard).back());
    const size_t shown = Shown(*guard).size();
    guard->Heal(true, false, true);  // the wave's end: no particles
    EXPECT_EQ(shown, Shown(*guard).size());

    // A dead defender whose cell was taken meanwhile comes back on the nearest free cell.
    guard->Damage(guard, 1000, 0);
    guard->OnDeathEnd();
    const boost::shared_ptr<CUnit> squatter = Attacker("Orc", 1, 1);
    ASSERT_EQ(squatter, level_.GetCell(1, 1)->GetOccupant().lock());
    level_.AddSelectedDefender(guard);
    level_.AddSelectedDefender(other);
    guard->Heal(true, false, false);  // the brain's own resurrection: silent
    EXPECT_TRUE(guard->IsAlive());
    EXPECT_EQ(level_.GetCell(0, 0), guard->GetCell());
    EXPECT_EQ(guard, level_.GetCell(0, 0)->GetOccupant().lock());
    EXPECT_EQ("particles/resurrect.prt", Shown(*guard).back());
    // Silent, among several selected: it leaves the selection.
    EXPECT_FALSE(guard->IsSelected());
    EXPECT_TRUE(other->IsSelected());
}

TEST_F(UnitActionsTest, HideOrdersAndTheirPrice) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    BattleTestAccess::SetStepCounter(scope_.Battle(), 77);
    EXPECT_EQ(20, guard->GetHidePrice());
    guard->ToggleHide();
    EXPECT_EQ(0, guard->GetHidePrice());  // waiting to hide counts as hidden
    EXPECT_EQ(77, guard->GetHideOrderStep());
    guard->ToggleHide();  // a second order before it took effect cancels it
    EXPECT_FALSE(guard->IsHideRequested());
    EXPECT_FALSE(guard->IsHidden());
    EXPECT_EQ(20, guard->GetHidePrice());
    EXPECT_EQ((std::vector<std::string>{"particles/spawn.prt", "particles/hide.prt", "particles/hide.prt"}),
              Shown(*guard));
    guard->ToggleHide();
    guard->Update(33);
    EXPECT_TRUE(guard->IsHidden());
    EXPECT_EQ(0, guard->GetHidePrice());
    // Attackers take no hide orders.
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 5, 4);
    orc->ToggleHide();
    EXPECT_FALSE(orc->IsHideRequested());
}

TEST_F(UnitActionsTest, TheSelectionEffectFollowsTheSelection) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 4, 1);
    level_.AddSelectedDefender(guard);
    EXPECT_TRUE(guard->IsSelected());
    ASSERT_TRUE(guard->GetSelectionEffect());
    EXPECT_EQ("particles/selected.prt", Shown(*guard).back());
    EXPECT_TRUE(guard->GetSelectionEffect()->GetUpdateWhilePaused());
    EXPECT_FALSE(guard->GetModelNode()->CastsShadow());
    guard->UpdateSelectionEffect();  // no second effect
    EXPECT_EQ(2u, Shown(*guard).size());

    level_.RemoveSelectedDefender(guard);
    guard->UpdateSelectionEffect();
    EXPECT_FALSE(guard->GetSelectionEffect());
    EXPECT_EQ(1u, Shown(*guard).size());
    EXPECT_TRUE(guard->GetModelNode()->CastsShadow());

    level_.SetSelectedAttacker(orc);
    EXPECT_TRUE(orc->IsSelected());
    EXPECT_TRUE(orc->GetSelectionEffect());
    EXPECT_FALSE(guard->IsSelected());
    level_.SetSelectedAttacker(boost::weak_ptr<CUnit>());
    EXPECT_FALSE(orc->GetSelectionEffect());
    EXPECT_FALSE(orc->IsHighlighted());
}

TEST_F(UnitActionsTest, AutoHealTicksEveryThirtyOneSteps) {
    const boost::shared_ptr<CUnit> medic = Defender("Medic", 1, 1);
    medic->SetHitPoints(1);
    int32_t step = 0;
    std::vector<int32_t> ticks;
    while (medic->GetHitPoints() < 31) {
        const int32_t before = medic->GetHitPoints();
        medic->AutoHealStep(33);
        ++step;
        if (medic->GetHitPoints() != before) ticks.push_back(step);
        ASSERT_LT(step, 200);
        if (step == 1) {
            ASSERT_NE(nullptr, medic->FindEffect(AutoHeal));
            EXPECT_EQ("HealingAuto.prt", medic->FindEffect(AutoHeal)->particle);
        }
    }
    EXPECT_EQ((std::vector<int32_t>{31, 62, 93}), ticks);
    // At full health the effect goes.
    medic->SetHitPoints(100);
    medic->AutoHealStep(33);
    medic->Update(0);
    EXPECT_EQ(nullptr, medic->FindEffect(AutoHeal));

    // A visible defender with an enemy in sight waits; a hidden one does not.
    medic->SetHitPoints(50);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 3, 1);
    medic->AutoHealStep(33);
    EXPECT_EQ(nullptr, medic->FindEffect(AutoHeal));
    orc->SetPosition(IntVector3(3750, 2250, 0));
    medic->ToggleHide();
    medic->Update(0);
    ASSERT_TRUE(medic->IsHidden());
    orc->SetPosition(IntVector3(1750, 750, 0));
    // Nor while its attack cools down.
    medic->GetBrain()->SetCooldown(500);
    medic->AutoHealStep(33);
    EXPECT_EQ(nullptr, medic->FindEffect(AutoHeal));
    medic->GetBrain()->SetCooldown(0);
    medic->AutoHealStep(33);
    EXPECT_NE(nullptr, medic->FindEffect(AutoHeal));
    EXPECT_EQ(33, medic->GetAutoHealTimer());
    // Defenders without a heal spot value never heal themselves.
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 5, 4);
    guard->SetHitPoints(1);
    guard->AutoHealStep(5000);
    EXPECT_EQ(nullptr, guard->FindEffect(AutoHeal));
}

TEST_F(UnitActionsTest, OrdersStrikesAndDeathsSound) {
    // The sample sounds on the loopback device: a sound played stays listed while it lasts.
    typedef Content::ContentLoader<Audio::Sound> SoundLoader;
    Audio::LoopbackAudio loopback;
    Audio::AudioDevice device;
    ASSERT_TRUE(device.IsInitialized());
    SoundLoader sounds(std::string(DM_TEST_BUILD_DIR) + "/game/" + catalogue::sounds::FolderPath());
    Service<Audio::AudioDevice>::Register(&device);
    Service<SoundLoader>::Register(&sounds);
    auto plays = [&](const char* name) { return device.CountAll(sounds.Load(name)); };

    const boost::shared_ptr<CUnit> medic = Defender("Medic", 1, 1);
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 3, 1);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 4, 1);
    EXPECT_EQ(0, plays("Spawn.wav"));  // the test's units come without sound
    spots_.push_back(
        boost::shared_ptr<CSpawnPoint>(new CSpawnPoint(&level_, 0, 50, 250, 2250, 0, CSpawnPoint::kDefenderSlot, 0)));
    level_.GetUnitList().SpawnUnit("Guard", spots_.back(), CUnit::kDefender, true, true);
    EXPECT_EQ(1, plays("Spawn.wav"));

    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<const char*> heard;
    };
    const Step steps[] = {
        {"heal", [&] { guard->SetHitPoints(1), guard->Heal(false, false, false); }, {"Heal.wav"}},
        {"silent heal", [&] { guard->Heal(true, false, false); }, {}},
        {"hide", [&] { guard->ToggleHide(); }, {"Hide.wav"}},
        {"cancel", [&] { guard->ToggleHide(); }, {"Unhide.wav"}},
        {"strike", [&] { guard->StrikeClose(orc); }, {"swordhit.wav"}},
        {"death", [&] { medic->Damage(medic, 1000, 0); }, {"death1.wav"}},
        {"upgrade the dead", [&] { medic->Upgrade(0); }, {"Resurrect.wav", "Upgrade.wav"}},
        {"sell", [&] { guard->Sell(); }, {"Sell.wav"}},
    };
    const std::vector<const char*> all = {"Heal.wav",   "Hide.wav",      "Unhide.wav",  "swordhit.wav",
                                          "death1.wav", "Resurrect.wav", "Upgrade.wav", "Sell.wav"};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        std::vector<int32_t> before;
        for (const char* name : all) before.push_back(plays(name));
        step.act();
        for (size_t i = 0; i < all.size(); ++i) {
            const bool heard = std::find(step.heard.begin(), step.heard.end(), all[i]) != step.heard.end();
            EXPECT_EQ(before[i] + (heard ? 1 : 0), plays(all[i])) << all[i];
        }
    }
    Service<SoundLoader>::Unregister();
    Service<Audio::AudioDevice>::Unregister();
}
