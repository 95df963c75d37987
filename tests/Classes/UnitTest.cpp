// Units made by the level's list from game data written by the test, on small drawn
// levels: their stats, the per-step update, effects, range and target tests, queries,
// strikes, damage and moves. The loaders are there but find no files, so a unit has its
// scene groups without a model.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CLevelObject.h"
#include "Classes/Level/CMissile.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "LevelFixtures.h"
#include "SceneGraph/EmitterNode.h"
#include "SceneGraph/Group.h"
#include "SceneGraph/Material.h"
#include "SceneGraph/ModelNode.h"
#include "UnitFixture.h"
#include "support/RecordingEffects.h"

using namespace levelfixtures;

namespace {

class UnitTest : public UnitFixture {};

}  // namespace

TEST_F(UnitTest, StatsFromTheDefinitionWeaponAndEffects) {
    struct Case {
        const char* what;
        const char* unit;
        int32_t side;
        std::function<void(CUnit&)> setup;
        std::function<int32_t(const CUnit&)> get;
        int32_t expected;
    };
    auto none = [](CUnit&) {};
    auto boost20 = [](CUnit& u) { u.AddEffect(Boost, 20, 0, "", 0); };
    auto maxHp = [](const CUnit& u) { return u.GetMaxHitPoints(false); };
    const Case cases[] = {
        {"definition hp at level 0", "Guard", 2, none, maxHp, 105},
        {"a Boost of 20 on 105", "Guard", 2, boost20, maxHp, 126},
        {"ignoring the boost", "Guard", 2, boost20, [](const CUnit& u) { return u.GetMaxHitPoints(true); }, 105},
        {"hit-point level 2", "Guard", 2, [](CUnit& u) { u.SetUpgradeLevel(0, 2); }, maxHp, 200},
        {"level 4 with the boost", "Guard", 2, [&](CUnit& u) { boost20(u), u.SetUpgradeLevel(0, 4); }, maxHp, 360},
        {"level 5", "Guard", 2, [](CUnit& u) { u.SetUpgradeLevel(0, 5); }, maxHp, 0},
        {"attackers take no boost", "Orc", 1, boost20, maxHp, 110},
        {"speed 3", "Guard", 2, none, [](const CUnit& u) { return u.GetSpeed(); }, 150},
        {"speed 3 under a Slow of 30", "Guard", 2, [](CUnit& u) { u.AddEffect(Slow, 30, 1, "", 1000); },
         [](const CUnit& u) { return u.GetSpeed(); }, 105},
        {"view range 3", "Guard", 2, none, [](const CUnit& u) { return u.GetViewRange(); }, 1600},
        {"guard range 2", "Guard", 2, none, [](const CUnit& u) { return u.GetGuardRange(); }, 1100},
        {"attackers guard nothing", "Orc", 1, none, [](const CUnit& u) { return u.GetGuardRange(); }, 0},
        {"close combat reaches 750 whatever the range", "Guard", 2, none,
         [](const CUnit& u) { return u.GetAttackRange(); }, 750},
        {"a bow of range 5", "Archer", 2, none, [](const CUnit& u) { return u.GetAttackRange(); }, 2600},
        {"a slowdown of 50 boosted by 100 stops at 75", "Curser", 2,
         [](CUnit& u) { u.AddEffect(Boost, 100, 0, "", 0); }, [](const CUnit& u) { return u.GetEffectValue(); }, 75},
        {"slowdowns deal no damage", "Curser", 2, none, [](const CUnit& u) { return u.GetDamageRate(); }, 0},
        {"boosted sword", "Guard", 2, boost20, [](const CUnit& u) { return u.GetEffectValue(); }, 24},
        {"damage rate 24 x 8 / 10", "Guard", 2, boost20, [](const CUnit& u) { return u.GetDamageRate(); }, 19},
        {"no weapon: no range", "Unarmed", 2, none, [](const CUnit& u) { return u.GetAttackRange(); }, 0},
        {"no weapon: no hit rate", "Unarmed", 2, none, [](const CUnit& u) { return u.GetHitRate(); }, 0},
        {"no weapon: no value", "Unarmed", 2, none, [](const CUnit& u) { return u.GetEffectValue(); }, 0},
        {"no weapon: not melee", "Unarmed", 2, none, [](const CUnit& u) { return int32_t(u.IsMelee()); }, 0},
        {"an attacker's gold", "Orc", 1, none, [](const CUnit& u) { return u.GetGold(); }, 12},
        {"defenders bring no gold", "Guard", 2, none, [](const CUnit& u) { return u.GetGold(); }, 0},
        {"purchase price", "Guard", 2, none, [](const CUnit& u) { return u.GetPrice(); }, 100},
        {"teleport price", "Guard", 2, none, [](const CUnit& u) { return u.GetTeleportPrice(); }, 30},
        {"attackers have no price", "Orc", 1, none, [](const CUnit& u) { return u.GetPrice(); }, 0},
        {"both investments start at the price", "Guard", 2, none,
         [](const CUnit& u) { return u.GetInvested() * 1000 + u.GetInvestedInHitPoints(); }, 100100},
        {"fighter", "Orc", 1, none, [](const CUnit& u) { return u.GetKind(); }, 1},
        {"hero", "Warlord", 1, none, [](const CUnit& u) { return u.GetKind(); }, 2},
        {"dungeon keeper", "Keeper", 2, none, [](const CUnit& u) { return u.GetKind(); }, 3},
        {"hit points start at the maximum", "Guard", 2, none, [](const CUnit& u) { return u.GetHitPoints(); }, 105},
        {"hit points never go below 0", "Guard", 2, [](CUnit& u) { u.SetHitPoints(-5); },
         [](const CUnit& u) { return u.GetHitPoints(); }, 0},
        {"hit point percent", "Guard", 2, [](CUnit& u) { u.SetHitPoints(42); },
         [](const CUnit& u) { return u.GetHitPointPercent(); }, 40},
    };
    int32_t column = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const boost::shared_ptr<CUnit> unit = Spawn(c.unit, c.side, column % 8, column / 8);
        ++column;
        ASSERT_TRUE(unit);
        c.setup(*unit);
        EXPECT_EQ(c.expected, c.get(*unit));
    }
}

TEST_F(UnitTest, CreationOnTheSpawnPointsCellOrBesideIt) {
    const boost::shared_ptr<CUnit> first = Defender("Guard", 3, 2);
    const boost::shared_ptr<CUnit> second = Spawn("Guard", CUnit::kDefender, 3, 2);
    EXPECT_EQ(1750, first->GetPosition().x);
    EXPECT_EQ(first, level_.GetCell(3, 2)->GetOccupant().lock());
    // The taken cell sends the second to the first free cell around it; its home stays.
    EXPECT_EQ(1250, second->GetPosition().x);
    EXPECT_EQ(750, second->GetPosition().y);
    EXPECT_EQ(1750, second->GetHomePosition().x);
    EXPECT_EQ(1250, second->GetHomePosition().y);
    EXPECT_EQ(second->GetPosition().x, second->GetPreviousPosition().x);
    EXPECT_EQ(second, level_.GetCell(2, 1)->GetOccupant().lock());
    EXPECT_EQ(0, first->GetId());
    EXPECT_EQ(1, second->GetId());
    EXPECT_EQ(CGenericBrain::kIdle, first->GetBrain()->GetState());

    // The scene is built even when no model loads: the group, the model node, the
    // action group, in the world.
    ASSERT_TRUE(first->GetNode() && first->GetNode()->IsType<sg::Group>());
    EXPECT_EQ("CharacterGroup", first->GetNode()->GetName());
    const sg::Group::Children& children = static_cast<sg::Group*>(first->GetNode().get())->GetChildren();
    ASSERT_EQ(2u, children.size());
    EXPECT_EQ(first->GetModelNode(), children[0]);
    EXPECT_EQ(first->GetActionGroup(), children[1]);
    EXPECT_EQ("ActionGroup", children[1]->GetName());
    EXPECT_EQ(first.get(), first->GetModelNode()->GetUserData());
    EXPECT_EQ(1, first->GetModelNode()->GetPickGroup());
    EXPECT_EQ(first->GetMaterial(), first->GetModelNode()->GetMaterial());
    EXPECT_EQ(2u, scope_.World().size());

    // No spawn point: stats but no hit points, brain or scene; not in the list.
    CUnit loose(&level_, 7, "Guard", CUnit::kDefender, boost::weak_ptr<CSpawnPoint>());
    EXPECT_EQ(105, loose.GetMaxHitPoints(false));
    EXPECT_EQ(0, loose.GetHitPoints());
    EXPECT_EQ(nullptr, loose.GetBrain());
    EXPECT_FALSE(loose.GetNode());
    EXPECT_FALSE(loose.GetSharedPtr());
    EXPECT_EQ(first, first->GetSharedPtr());
}

TEST_F(UnitTest, UnknownDefinitionsAndWeaponsLeaveADeadUnit) {
    const boost::shared_ptr<CUnit> nobody = Defender("Nobody", 0, 0);
    ASSERT_TRUE(nobody);
    EXPECT_EQ(nullptr, nobody->GetDefinition());
    EXPECT_FALSE(nobody->IsAlive());
    EXPECT_EQ(nullptr, nobody->GetBrain());
    EXPECT_FALSE(nobody->GetNode());
    EXPECT_EQ(0, nobody->GetViewRange());
    EXPECT_EQ(1, nobody->GetKind());
    // An attacker's name is not looked up among the defenders.
    EXPECT_EQ(nullptr, Attacker("Guard", 1, 0)->GetDefinition());

    testing::internal::CaptureStdout();
    const boost::shared_ptr<CUnit> broken = Defender("Broken", 2, 0);
    EXPECT_EQ("weapon ID = 77 not found\n", testing::internal::GetCapturedStdout());
    EXPECT_NE(nullptr, broken->GetDefinition());
    EXPECT_EQ(nullptr, broken->GetWeapon());
    EXPECT_EQ(0, broken->GetHitPoints());
    EXPECT_EQ(nullptr, broken->GetBrain());
    EXPECT_FALSE(broken->GetNode());
    EXPECT_EQ(0, broken->GetInvested());  // creation stopped before the investment
    EXPECT_EQ(3u, level_.GetUnitList().GetUnits().size());

    // Without the clip loader: stats and a brain, but no scene.
    Service<ClipLoader>::Unregister();
    const boost::shared_ptr<CUnit> plain = Defender("Guard", 3, 0);
    Service<ClipLoader>::Register(&clips_);
    EXPECT_EQ(105, plain->GetHitPoints());
    EXPECT_NE(nullptr, plain->GetBrain());
    EXPECT_FALSE(plain->GetNode());
    EXPECT_FALSE(plain->GetActionGroup());
}

TEST_F(UnitTest, ASoldDefenderFadesSixteenStepsAndGoes) {
    const boost::shared_ptr<CUnit> unit = Defender("Guard", 1, 1);
    unit->Sell();
    EXPECT_TRUE(unit->IsSold());
    std::vector<float> opacities;
    int updates = 0;
    while (unit->Update(33)) {
        opacities.push_back(unit->GetMaterial()->GetOpacity());
        ASSERT_LT(++updates, 100);
    }
    ASSERT_EQ(16u, opacities.size());
    EXPECT_FLOAT_EQ(1.0f, opacities.front());
    EXPECT_FLOAT_EQ(467.0f / 500.0f, opacities[1]);
    EXPECT_FLOAT_EQ(5.0f / 500.0f, opacities.back());
    // The sale's effect stands where the unit stood, not on it.
    ASSERT_EQ(1u, level_.GetPlacedObjects().size());
    EXPECT_EQ("Sell.prt", level_.GetPlacedObjects()[0]->GetName());
    EXPECT_EQ(unit->GetPosition().x, level_.GetPlacedObjects()[0]->GetPosition().x);
}

TEST_F(UnitTest, AHideOrderWaitsForAQuietMomentAtHome) {
    Draw({"........", "..#.....", "........", "........", "........"});
    const boost::shared_ptr<CUnit> defender = Defender("Guard", 1, 2);
    const boost::shared_ptr<CUnit> enemy = Attacker("Orc", 3, 2);  // two cells off, in view
    EXPECT_EQ(-1, defender->GetHideOrderStep());
    defender->ToggleHide();
    EXPECT_TRUE(defender->IsHideRequested());
    defender->Update(33);
    EXPECT_FALSE(defender->IsHidden());
    EXPECT_EQ(1u, defender->GetThreats().size());

    // Behind a wall the enemy still sees far enough but has no line to the defender.
    enemy->SetPosition(IntVector3(1750, 250, 0));
    EXPECT_TRUE(enemy->IsInViewRange(defender));
    EXPECT_FALSE(enemy->HasLineOfSightTo(defender));
    // Away from its spot the defender does not hide.
    defender->MoveToCell(defender->GetCell(), level_.GetCell(1, 3), false);
    defender->Update(33);
    EXPECT_FALSE(defender->IsHidden());
    defender->ReturnHome();
    EXPECT_EQ(level_.GetCell(1, 2), defender->GetCell());
    EXPECT_EQ(defender, level_.GetCell(1, 2)->GetOccupant().lock());
    defender->Update(33);
    EXPECT_TRUE(defender->IsHidden());
    EXPECT_FALSE(defender->IsHideRequested());
    EXPECT_TRUE(defender->GetMaterial()->IsBlending());
    EXPECT_FLOAT_EQ(0.5f, defender->GetMaterial()->GetOpacity());
    // A hidden unit cannot be attacked.
    enemy->SetPosition(IntVector3(1250, 1250, 0));
    EXPECT_FALSE(enemy->CanAttack(defender));

    // Unhiding, and a second order before the first took effect cancels it.
    defender->ToggleHide();
    EXPECT_FALSE(defender->IsHidden());
    EXPECT_FALSE(defender->GetMaterial()->IsBlending());
    defender->ToggleHide();
    defender->ToggleHide();
    EXPECT_FALSE(defender->IsHideRequested());
    EXPECT_FALSE(defender->IsHidden());
    EXPECT_EQ(0, defender->GetHideOrderStep());
}

TEST_F(UnitTest, TimedEffectsRunOutAndAreNotRenewed) {
    const boost::shared_ptr<CUnit> caster = Defender("Curser", 0, 0);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 3, 0);
    caster->ApplyTimedEffect(orc, Slow, 30, 1, "slowed.prt", 1000);
    ASSERT_TRUE(orc->IsSlowed());
    EXPECT_EQ(0, CountNamed(*orc, "HitEffectNode"));
    orc->Update(500);
    EXPECT_EQ(1, CountNamed(*orc, "HitEffectNode"));
    caster->ApplyTimedEffect(orc, Slow, 60, 1, "slowed.prt", 1000);
    ASSERT_EQ(1u, orc->GetEffects().size());
    EXPECT_EQ(30, orc->GetEffects()[0].value);
    EXPECT_EQ(500, orc->GetEffects()[0].remaining);
    orc->Update(500);  // exactly 0 left: still there
    EXPECT_TRUE(orc->IsSlowed());
    orc->Update(1);
    EXPECT_FALSE(orc->IsSlowed());
    EXPECT_EQ(0, CountNamed(*orc, "HitEffectNode"));
    EXPECT_EQ(500, orc->GetSpeed());

    // Lasting effects stay; RemoveSlowEffects takes every Slow at once.
    orc->AddEffect(Slow, 10, 0, "", 0);
    orc->AddEffect(Boost, 10, 0, "", 0);
    orc->AddEffect(Slow, 20, 0, "", 0);
    orc->Update(100000);
    EXPECT_EQ(3u, orc->GetEffects().size());
    orc->RemoveSlowEffects();
    ASSERT_EQ(1u, orc->GetEffects().size());
    EXPECT_EQ(Boost, orc->GetEffects()[0].kind);
    // Without now the effect goes at the next effects update.
    orc->RemoveEffect(Boost, false, false);
    EXPECT_EQ(1u, orc->GetEffects().size());
    orc->Update(0);
    EXPECT_TRUE(orc->GetEffects().empty());
}

TEST_F(UnitTest, RemovingABoostCapsTheHitPointsUnlessKept) {
    for (const bool keep : {false, true}) {
        SCOPED_TRACE(keep);
        const boost::shared_ptr<CUnit> guard = Defender("Guard", keep ? 1 : 0, 0);
        guard->AddEffect(Boost, 20, 0, "", 0);
        guard->SetHitPoints(guard->GetMaxHitPoints(false));
        EXPECT_EQ(126, guard->GetHitPoints());
        guard->RemoveEffect(Boost, true, keep);
        EXPECT_EQ(keep ? 126 : 105, guard->GetHitPoints());
    }
    // Two boosts: the first counts, and each removal takes one.
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 2, 0);
    guard->AddEffect(Boost, 20, 0, "", 0);
    guard->AddEffect(Boost, 50, 0, "", 0);
    EXPECT_EQ(126, guard->GetMaxHitPoints(false));
    guard->RemoveEffect(Boost, true, false);
    EXPECT_EQ(157, guard->GetMaxHitPoints(false));
}

TEST_F(UnitTest, EffectNodesAttachedQueuedOrPlacedAndOneFinishedNodeGoesPerStep) {
    testsupport::RecordingEffects effects;
    const boost::shared_ptr<CUnit> unit = Defender("Guard", 2, 2);
    const sg::Group& actions = *unit->GetActionGroup();
    // A counted unit shows its spawn effect.
    ASSERT_EQ(1u, actions.GetChildCount());
    sg::EmitterNode& spawn = static_cast<sg::EmitterNode&>(*actions.GetChildren()[0]);
    EXPECT_EQ("particles/spawn.prt", spawn.GetEffectName());
    testsupport::RecordingEffects::Of(spawn).ended = true;
    unit->Update(33);
    ASSERT_EQ(0u, actions.GetChildCount());
    const boost::shared_ptr<sg::EmitterNode> a = unit->AddParticleEffect("a.prt", true, "First", unit.get(), 6);
    const boost::shared_ptr<sg::EmitterNode> b = unit->AddParticleEffect("b.prt", true);
    const boost::shared_ptr<sg::EmitterNode> c = unit->AddParticleEffect("c.prt", true);
    ASSERT_EQ(3u, actions.GetChildCount());
    EXPECT_EQ("First", a->GetName());
    EXPECT_EQ(unit.get(), a->GetUserData());
    EXPECT_EQ(6, a->GetPickGroup());
    EXPECT_EQ("particles/a.prt", a->GetEffectName());
    testsupport::RecordingEffects::Of(*b).ended = true;
    testsupport::RecordingEffects::Of(*c).ended = true;
    unit->Update(33);
    ASSERT_EQ(2u, actions.GetChildCount());
    EXPECT_EQ(a, actions.GetChildren()[0]);
    unit->Update(33);
    ASSERT_EQ(1u, actions.GetChildCount());
    unit->Update(33);
    EXPECT_EQ(1u, actions.GetChildCount());

    unit->QueueEffect("q1.prt");
    unit->QueueEffect("q2.prt");
    EXPECT_EQ(1u, actions.GetChildCount());
    unit->Update(0);
    EXPECT_TRUE(unit->GetQueuedEffects().empty());
    ASSERT_EQ(3u, actions.GetChildCount());
    EXPECT_EQ(0, actions.GetChildren()[2]->GetPickGroup());

    // Not attached: the level shows it at the unit's position.
    const boost::shared_ptr<sg::EmitterNode> placed = unit->AddParticleEffect("p.prt", false);
    EXPECT_TRUE(placed);
    EXPECT_EQ(3u, actions.GetChildCount());
    ASSERT_EQ(1u, level_.GetPlacedObjects().size());
    EXPECT_EQ(1250, level_.GetPlacedObjects()[0]->GetPosition().y);
    // Without a scene nothing is shown at all.
    CUnit bare(&level_, 0, "Guard", CUnit::kDefender, boost::weak_ptr<CSpawnPoint>());
    EXPECT_FALSE(bare.AddParticleEffect("p.prt", false));
    EXPECT_EQ(1u, level_.GetPlacedObjects().size());
}

TEST_F(UnitTest, MeleeReachesTheEightNeighboursOnly) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 2, 2);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 3, 3);
    EXPECT_TRUE(guard->CanAttack(orc));
    EXPECT_TRUE(orc->CanAttack(guard));
    orc->SetPosition(IntVector3(2250, 2250, 0));  // two cells apart on both axes
    EXPECT_FALSE(guard->CanAttack(orc));
    orc->SetPosition(IntVector3(2250, 1250, 0));  // two cells along x
    EXPECT_FALSE(guard->CanAttack(orc));
    orc->SetPosition(IntVector3(1250, 1250, 0));  // the same cell
    EXPECT_TRUE(guard->CanAttack(orc));
    EXPECT_FALSE(guard->CanAttack(boost::weak_ptr<CUnit>()));
}

TEST_F(UnitTest, AttackRangeIncludesItsEdgeViewRangeDoesNot) {
    const boost::shared_ptr<CUnit> archer = Defender("Archer", 0, 0);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 7, 0);
    struct Case {
        int32_t distance;
        bool view, attack;
    };
    // View range 1600, attack range 2600.
    const Case cases[] = {{1599, true, true}, {1600, false, true}, {2600, false, true}, {2601, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distance);
        orc->SetPosition(IntVector3(250 + c.distance, 250, 0));
        EXPECT_EQ(c.view, archer->IsInViewRange(orc));
        EXPECT_EQ(c.attack, archer->IsInAttackRange(orc));
        // A ranged unit needs both.
        EXPECT_EQ(c.view && c.attack, archer->CanAttack(orc));
    }
    EXPECT_FALSE(archer->IsInViewRange(boost::weak_ptr<CUnit>()));
    EXPECT_FALSE(archer->IsInAttackRange(boost::weak_ptr<CUnit>()));
}

TEST_F(UnitTest, TargetsByWeaponKind) {
    const boost::shared_ptr<CUnit> healer = Defender("Healer", 0, 0);
    const boost::shared_ptr<CUnit> curser = Defender("Curser", 1, 0);
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 2, 0);
    const boost::shared_ptr<CUnit> archer = Defender("Archer", 3, 0);
    const boost::shared_ptr<CUnit> unarmed = Defender("Unarmed", 4, 0);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 0, 2);

    EXPECT_FALSE(healer->CanTarget(guard));  // at full health
    guard->SetHitPoints(50);
    EXPECT_TRUE(healer->CanTarget(guard));
    guard->AddEffect(Boost, 20, 0, "", 0);
    guard->SetHitPoints(105);  // full without the boost is not full with it
    EXPECT_TRUE(healer->CanTarget(guard));
    EXPECT_TRUE(curser->CanTarget(orc));
    orc->AddEffect(Slow, 10, 1, "", 1000);
    EXPECT_FALSE(curser->CanTarget(orc));
    EXPECT_TRUE(guard->CanTarget(orc));
    EXPECT_FALSE(unarmed->CanTarget(orc));
    // The dead only for missile weapons.
    orc->SetHitPoints(0);
    EXPECT_FALSE(guard->CanTarget(orc));
    EXPECT_TRUE(archer->CanTarget(orc));
    EXPECT_FALSE(guard->CanTarget(boost::weak_ptr<CUnit>()));

    // The guard area: around a defender's spot; everywhere for attackers.
    const boost::shared_ptr<CUnit> near = Attacker("Orc", 4, 2);
    orc->SetPosition(IntVector3(1250 + 1099, 250, 0));
    EXPECT_TRUE(guard->IsInGuardArea(orc));
    orc->SetPosition(IntVector3(1250 + 1100, 250, 0));
    EXPECT_FALSE(guard->IsInGuardArea(orc));
    EXPECT_TRUE(near->IsInGuardArea(guard));
    EXPECT_FALSE(guard->IsInGuardArea(boost::weak_ptr<CUnit>()));
}

TEST_F(UnitTest, QueriesOverTheUnitList) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 2, 2);
    const boost::shared_ptr<CUnit> archer = Defender("Archer", 3, 2);
    const boost::shared_ptr<CUnit> hunter = Attacker("Orc", 4, 2);
    const boost::shared_ptr<CUnit> idle = Attacker("Orc", 5, 2);
    const boost::shared_ptr<CUnit> dead = Attacker("Orc", 2, 3);
    hunter->GetBrain()->SetTarget(guard);
    dead->GetBrain()->SetTarget(guard);
    dead->SetHitPoints(0);
    archer->GetBrain()->SetTarget(guard);  // same side: not a pursuer
    ASSERT_EQ(1u, guard->GetPursuers().size());
    EXPECT_EQ(hunter, guard->GetPursuers()[0].lock());

    // Threats: living enemies seeing it; the idle orc is three cells off (view 1600).
    const CUnit::UnitRefs& threats = guard->GetThreats();
    ASSERT_EQ(2u, threats.size());
    EXPECT_EQ(hunter, threats[0].lock());
    EXPECT_EQ(idle, threats[1].lock());
    idle->SetPosition(IntVector3(3750, 1250, 0));
    EXPECT_EQ(1u, guard->GetThreats().size());

    // Near: living units of a side other than itself, radius included.
    EXPECT_EQ(1u, guard->GetUnitsNear(2, 500).size());
    EXPECT_EQ(0u, guard->GetUnitsNear(2, 499).size());
    EXPECT_EQ(1u, guard->GetUnitsNear(1, 1000).size());
    // Without a level every query is empty.
    CUnit bare(nullptr, 0, "Guard", CUnit::kDefender, boost::weak_ptr<CSpawnPoint>());
    EXPECT_TRUE(bare.GetUnitsNear(1, 100000).empty());
    EXPECT_FALSE(bare.HasLineOfSightTo(guard));
}

TEST_F(UnitTest, StrikesDamageAndKills) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 2, 2);
    const boost::shared_ptr<CUnit> archer = Defender("Archer", 1, 1);
    const boost::shared_ptr<CUnit> shaman = Attacker("Shaman", 5, 2);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 3, 2);

    // Close: the effect value, the hit effect queued on the target.
    guard->GetBrain()->SetTarget(orc);
    guard->OnStrikeFrame();
    EXPECT_EQ(90, orc->GetHitPoints());
    ASSERT_EQ(1u, orc->GetQueuedEffects().size());
    EXPECT_EQ("blood.prt", orc->GetQueuedEffects()[0]);
    EXPECT_TRUE(guard->GetQueuedEffects().empty());  // the sword has no shot effect
    EXPECT_TRUE(level_.GetMissiles().empty());

    // Missile class: a missile without target; the shot effect on the shooter.
    archer->GetBrain()->SetTarget(orc);
    archer->OnStrikeFrame();
    // Distant class: a missile at the target.
    shaman->GetBrain()->SetTarget(guard);
    shaman->OnStrikeFrame();
    ASSERT_EQ(2u, level_.GetMissiles().size());
    const CMissile& arrow = *level_.GetMissiles()[0];
    EXPECT_EQ(archer, arrow.GetShooter());
    EXPECT_FALSE(arrow.GetTarget());
    EXPECT_EQ(archer->GetWeapon(), arrow.GetWeapon());
    EXPECT_EQ(-1, arrow.GetSpell());
    EXPECT_EQ(guard, level_.GetMissiles()[1]->GetTarget());
    EXPECT_EQ(std::vector<std::string>{"shot.prt"}, archer->GetQueuedEffects());
    EXPECT_EQ(90, orc->GetHitPoints());

    // Out of reach nothing happens.
    orc->SetPosition(IntVector3(3750, 1250, 0));
    guard->OnStrikeFrame();
    EXPECT_EQ(90, orc->GetHitPoints());

    // Reaching 0 hands the victim to the list's kill handling; 0 more reports it again.
    guard->Damage(orc, 500, -1);
    EXPECT_EQ(0, orc->GetHitPoints());
    EXPECT_EQ(CGenericBrain::kDead, orc->GetBrain()->GetState());
    orc->GetBrain()->SetState(CGenericBrain::kIdle);
    guard->Damage(orc, 0, 0);
    EXPECT_EQ(CGenericBrain::kDead, orc->GetBrain()->GetState());

    // Healing stops at the maximum with the boost.
    guard->SetHitPoints(100);
    archer->HealTarget(guard, 50);
    EXPECT_EQ(105, guard->GetHitPoints());
    guard->AddEffect(Boost, 20, 0, "", 0);
    archer->HealTarget(guard, 50);
    EXPECT_EQ(126, guard->GetHitPoints());
}

TEST_F(UnitTest, AttackAndDeathCallbacks) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 2, 2);
    const boost::shared_ptr<CUnit> healer = Defender("Healer", 3, 3);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 3, 2);
    // A melee damage unit keeps its target; healing and ranged weapons drop it.
    guard->GetBrain()->SetTarget(orc);
    guard->GetBrain()->SetState(CGenericBrain::kAttack);
    guard->OnAttackEnd();
    EXPECT_EQ(orc, guard->GetBrain()->GetCurrentTarget().lock());
    EXPECT_EQ(CGenericBrain::kIdle, guard->GetBrain()->GetState());
    healer->GetBrain()->SetTarget(guard);
    healer->GetBrain()->SetState(CGenericBrain::kAttack);
    healer->OnAttackEnd();
    EXPECT_TRUE(healer->GetBrain()->GetCurrentTarget().expired());
    EXPECT_EQ(CGenericBrain::kIdle, healer->GetBrain()->GetState());

    // Death end: only while dying; the corpse leaves its cell and lies 5000 ms more.
    guard->OnDeathEnd();
    EXPECT_EQ(guard, level_.GetCell(2, 2)->GetOccupant().lock());
    guard->Damage(orc, 1000, -1);
    EXPECT_TRUE(orc->IsDying());
    EXPECT_EQ(10000, orc->GetBrain()->GetTimer());
    orc->OnDeathEnd();
    EXPECT_FALSE(orc->IsDying());
    EXPECT_EQ(5000, orc->GetBrain()->GetTimer());
    EXPECT_FALSE(level_.GetCell(3, 2)->HasOccupant());
    // A dead defender's timer is its resurrection time; the progress counts it down.
    guard->Damage(guard, 1000, 0);
    EXPECT_EQ(0, guard->GetResurrectProgress());
    guard->GetBrain()->SetTimer(2500);
    EXPECT_EQ(75, guard->GetResurrectProgress());
    EXPECT_EQ(0, healer->GetResurrectProgress());  // alive
}

TEST_F(UnitTest, MaterialFromThePresetsAndMovesBetweenCells) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    const boost::shared_ptr<sg::Material> normal = guard->GetMaterial();
    ASSERT_TRUE(normal);
    EXPECT_NE(GetSharedMaterial(0), normal);
    EXPECT_FALSE(normal->IsBlending());
    EXPECT_EQ(Color(255, 255, 255, 255), normal->GetColor());
    EXPECT_TRUE(guard->GetModelNode()->CastsShadow());
    guard->SetHitPoints(0);
    guard->UpdateMaterial();
    EXPECT_NE(normal, guard->GetMaterial());
    EXPECT_TRUE(guard->GetMaterial()->IsBlending());
    EXPECT_EQ(2, guard->GetMaterial()->GetBlendMode());
    EXPECT_FLOAT_EQ(1.0f, guard->GetMaterial()->GetOpacity());
    EXPECT_FALSE(guard->GetModelNode()->CastsShadow());

    // A dead unit leaves its cell but stays where it lies unless forced.
    guard->MoveToCell(level_.GetCell(1, 1), level_.GetCell(4, 1), false);
    EXPECT_FALSE(level_.GetCell(1, 1)->HasOccupant());
    EXPECT_FALSE(level_.GetCell(4, 1)->HasOccupant());
    EXPECT_EQ(750, guard->GetPosition().x);
    guard->MoveToCell(nullptr, level_.GetCell(4, 1), true);
    EXPECT_EQ(2250, guard->GetPosition().x);
    EXPECT_EQ(750, guard->GetPreviousPosition().x);
    guard->SetHitPoints(50);
    guard->MoveToCell(nullptr, level_.GetCell(5, 3), false);
    EXPECT_EQ(guard, level_.GetCell(5, 3)->GetOccupant().lock());
    EXPECT_EQ(level_.GetCell(5, 3), guard->FindOwnCell());
    // The own cell is looked for around the unit's cell.
    guard->SetPosition(IntVector3(2250, 1250, 0));
    EXPECT_EQ(level_.GetCell(5, 3), guard->FindOwnCell());
    guard->SetPosition(IntVector3(1250, 1250, 0));
    EXPECT_EQ(nullptr, guard->FindOwnCell());
}
