// The units' brains on small drawn levels: turning, walking, the attack and move checks,
// the target choice, the path search and its throttling, the attacker's route to the
// keeper, the defender's guard and return, death, fading, revival and restoring.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Level/CLevel.h"
#include "Classes/Level/CSpawnPoint.h"
#include "Classes/Level/CUnit.h"
#include "Classes/Level/CWayPoint.h"
#include "Classes/Level/UnitSaveRecord.h"
#include "LevelFixtures.h"
#include "SceneGraph/Material.h"
#include "UnitFixture.h"

using namespace levelfixtures;

namespace {

// The common brain alone: it decides nothing.
class PlainBrain : public CGenericBrain {
public:
    explicit PlainBrain(CUnit* unit) : CGenericBrain(unit) {}
    void Think(int32_t) override {}
};

class BrainTest : public UnitFixture {
protected:
    // Level steps of 33 ms until the check holds; the steps taken, or -1 after the limit.
    template <class Check>
    int StepUntil(Check check, int limit = 2000) {
        for (int step = 0; step < limit; ++step) {
            if (check()) return step;
            level_.Update(33, 0, 1);
        }
        return check() ? limit : -1;
    }
    CLevelNode* Cell(int32_t column, int32_t row) { return level_.GetCell(column, row); }
    boost::shared_ptr<CSpawnPoint> HomeOf(const boost::shared_ptr<CUnit>& unit) {
        return static_cast<CDefenderBrain*>(unit->GetBrain())->GetHomeSpot().lock();
    }
};

TEST_F(BrainTest, TurningTheShortWayAcrossNorth) {
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 2, 2);
    CGenericBrain& brain = *orc->GetBrain();
    orc->SetDirection(350);
    brain.TurnTo(10, 0);
    ASSERT_EQ(CGenericBrain::kTurn, brain.GetState());
    int32_t dt = 100;  // 36 degrees a step
    brain.Update(dt);
    EXPECT_EQ(26, orc->GetDirection());  // past the target, by less than a step
    EXPECT_EQ(0, dt);
    dt = 100;
    brain.Update(dt);
    EXPECT_EQ(10, orc->GetDirection());
    EXPECT_EQ(55, dt);  // (36 - 16) x 1000 / 360 given back
    brain.Update(dt);
    EXPECT_EQ(CGenericBrain::kIdle, brain.GetState());
    EXPECT_EQ(55, dt);

    // Directions from the unit's cell centre.
    const IntVector3 at = orc->GetPosition();
    // The arc cosine table gives 89.999 degrees for a right angle.
    EXPECT_EQ(0, brain.AngleTo(IntVector3(at.x, at.y - 1000, 0), 0));
    EXPECT_EQ(89, brain.AngleTo(IntVector3(at.x + 1000, at.y, 0), 0));
    EXPECT_EQ(-89, brain.AngleTo(IntVector3(at.x - 1000, at.y, 0), 0));
    EXPECT_EQ(180, brain.AngleTo(IntVector3(at.x, at.y + 1000, 0), 0));
    EXPECT_EQ(89, brain.AngleTo(at, 0));  // the origin itself
    EXPECT_EQ(45, brain.AngleTo(IntVector3(at.x + 499, at.y - 499, 0), 1));
}

TEST_F(BrainTest, AttackAndMoveChecks) {
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 2, 2);
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 3, 2);
    CGenericBrain& brain = *orc->GetBrain();
    brain.SetTarget(guard);
    orc->SetDirection(90);

    // In cooldown nothing changes.
    brain.SetCooldown(5);
    brain.SetState(CGenericBrain::kAttack);
    EXPECT_EQ(CGenericBrain::kIdle, brain.GetState());
    // Facing away: a turn to the target instead.
    brain.SetCooldown(0);
    orc->SetDirection(270);
    brain.SetState(CGenericBrain::kAttack);
    EXPECT_EQ(CGenericBrain::kTurn, brain.GetState());
    EXPECT_EQ(89, brain.GetTurnTarget());
    // Facing it: the attack, its cooldown by hit rate, the attack counter.
    orc->SetDirection(89);
    brain.SetState(CGenericBrain::kAttack);
    EXPECT_EQ(CGenericBrain::kAttack, brain.GetState());
    EXPECT_EQ(1000, brain.GetCooldown());  // hit rate 10
    EXPECT_EQ(1, orc->GetAttackCounter());

    // No weapon: ten seconds, never a division by zero.
    const boost::shared_ptr<CUnit> unarmed = Defender("Unarmed", 5, 4);
    unarmed->GetBrain()->SetState(CGenericBrain::kAttack);
    EXPECT_EQ(CGenericBrain::kAttack, unarmed->GetBrain()->GetState());
    EXPECT_EQ(10000, unarmed->GetBrain()->GetCooldown());

    // Speed 0 never moves; a moving unit turns on the way unless more than 60 degrees off.
    const boost::shared_ptr<CUnit> rooted = Attacker(SpeedUnit(0), 0, 0);
    rooted->GetBrain()->SetState(CGenericBrain::kMove, Cell(0, 0), Cell(1, 0));
    EXPECT_EQ(CGenericBrain::kIdle, rooted->GetBrain()->GetState());
    const boost::shared_ptr<CUnit> runner = Attacker("Orc", 5, 0);
    CGenericBrain& legs = *runner->GetBrain();
    legs.SetState(CGenericBrain::kNone);
    runner->SetDirection(45);
    legs.SetState(CGenericBrain::kMove, Cell(5, 0), Cell(6, 0));
    EXPECT_EQ(CGenericBrain::kMove, legs.GetState());
    EXPECT_EQ(89, runner->GetDirection());  // from none it faces the cell at once
    EXPECT_EQ(runner, Cell(6, 0)->GetOccupant().lock());
    EXPECT_FALSE(Cell(5, 0)->HasOccupant());
}

TEST_F(BrainTest, IdleAndDeadStepsSpendTheirTime) {
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 2, 2);
    PlainBrain brain(orc.get());
    for (int32_t state : {CGenericBrain::kIdle, CGenericBrain::kDead, CGenericBrain::kNone}) {
        brain.SetState(state);
        int32_t dt = 40;
        EXPECT_EQ(1, brain.Update(dt));
        EXPECT_EQ(0, dt) << CGenericBrain::GetStateName(state);
    }
    EXPECT_STREQ("unknown", CGenericBrain::GetStateName(6));
    EXPECT_STREQ("castbig", CGenericBrain::GetAttackAnimationName(4));
    EXPECT_EQ(nullptr, CGenericBrain::GetAttackAnimationName(5));
}

TEST_F(BrainTest, AMovingBrainWithoutPathEndsTheUnitsStep) {
    // A damaged savegame can restore one: the loop must not spin on it.
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 2, 2);
    orc->GetBrain()->SetState(CGenericBrain::kMove);
    ASSERT_TRUE(orc->GetBrain()->GetPath().empty());
    EXPECT_TRUE(orc->Update(33));
    EXPECT_EQ(1, orc->GetBrain()->GetStepCount());
}

TEST_F(BrainTest, WalkingOneCellAtTheUnitsSpeed) {
    const boost::shared_ptr<CUnit> orc = Attacker(SpeedUnit(250), 1, 1);  // 250 a second
    CGenericBrain& brain = *orc->GetBrain();
    brain.GetPath().push_back(Cell(2, 1));
    brain.SetState(CGenericBrain::kNone);
    orc->SetDirection(90);  // within 60 degrees: no turn first
    brain.SetState(CGenericBrain::kMove, Cell(1, 1), Cell(2, 1));
    ASSERT_EQ(CGenericBrain::kMove, brain.GetState());
    int32_t dt = 1000;
    brain.Update(dt);
    EXPECT_EQ(1000, orc->GetPosition().x);
    EXPECT_EQ(0, dt);
    dt = 1000;
    brain.Update(dt);
    dt = 1000;
    brain.Update(dt);  // within a step: the cell is reached
    EXPECT_EQ(1250, orc->GetPosition().x);
    EXPECT_EQ(1250, orc->GetHomePosition().x);
    EXPECT_TRUE(brain.GetPath().empty());
    EXPECT_EQ(CGenericBrain::kNone, brain.GetState());
}

TEST_F(BrainTest, TargetChoice) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 4, 2);    // damage rate 16, farther
    const boost::shared_ptr<CUnit> archer = Defender("Archer", 3, 2);  // rate 12, nearer
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 2, 2);
    CGenericBrain& brain = *orc->GetBrain();
    brain.SearchTarget();
    EXPECT_EQ(archer, brain.GetCurrentTarget().lock());  // nearer beats better-rated
    // A living target is kept whatever comes closer.
    brain.SetTarget(guard);
    brain.SearchTarget();
    EXPECT_EQ(guard, brain.GetCurrentTarget().lock());
    // Dead candidates are skipped, and so is the keeper.
    brain.ClearTarget();
    guard->SetHitPoints(0);
    archer->SetHitPoints(0);
    const boost::shared_ptr<CUnit> keeper = Defender("Keeper", 1, 2);
    brain.SearchTarget();
    EXPECT_TRUE(brain.GetCurrentTarget().expired());

    // A healer takes the most hurt ally; the keeper is never one.
    const boost::shared_ptr<CUnit> healer = Defender("Healer", 6, 4);
    const boost::shared_ptr<CUnit> medic = Defender("Medic", 6, 3);
    const boost::shared_ptr<CUnit> champion = Defender("Champion", 5, 4);
    medic->SetHitPoints(80);
    champion->SetHitPoints(30);
    healer->GetBrain()->SearchTarget();
    EXPECT_EQ(champion, healer->GetBrain()->GetCurrentTarget().lock());

    // With an anchor: a defender farther than the range from it finds nobody.
    const boost::shared_ptr<CUnit> sentry = Defender("Guard", 0, 0);
    const boost::shared_ptr<CUnit> prey = Attacker(SpeedUnit(0), 6, 1);
    sentry->SetPosition(IntVector3(2750, 750, 0));  // far beyond its move range from the spot
    sentry->GetBrain()->SearchTarget(HomeOf(sentry), sentry->GetGuardRange());
    EXPECT_TRUE(sentry->GetBrain()->GetCurrentTarget().expired());
    sentry->GetBrain()->SearchTarget();
    EXPECT_EQ(prey, sentry->GetBrain()->GetCurrentTarget().lock());
}

TEST_F(BrainTest, AnAttackerFollowsItsLinksByIdThenGoesForTheKeeper) {
    // Id 7 at a spawn point with three links starts for the second.
    boost::shared_ptr<CSpawnPoint> entry(new CSpawnPoint(&level_, 0, 50, 250, 250, 90, CSpawnPoint::kAttackerEntry, 0));
    std::vector<boost::shared_ptr<CWayPoint>> points;
    for (int i = 0; i < 3; ++i) {
        points.push_back(boost::shared_ptr<CWayPoint>(new CWayPoint(&level_, i, 60 + i, 3250, 250 + 500 * i)));
        entry->AddLink(points.back());
    }
    {
        CUnit seven(&level_, 7, "Orc", CUnit::kAttacker, entry);
        EXPECT_EQ(points[1], static_cast<CAttackerBrain*>(seven.GetBrain())->GetWayPoint().lock());
        EXPECT_EQ(90, seven.GetDirection());
        entry->ClearLinks();
    }

    // No links left and no target: the keeper, walked to and attacked.
    const boost::shared_ptr<CUnit> keeper = Defender("Keeper", 7, 2);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 0, 2);
    EXPECT_EQ(keeper, static_cast<CAttackerBrain*>(orc->GetBrain())->GetKeeper().lock());
    ASSERT_NE(-1, StepUntil([&] { return orc->GetBrain()->GetState() == CGenericBrain::kAttack; }));
    EXPECT_EQ(Cell(6, 2), orc->GetCell());

    // With the keeper dead it only idles.
    const boost::shared_ptr<CUnit> late = Attacker("Orc", 0, 4);
    keeper->SetHitPoints(0);
    StepUntil([] { return false; }, 60);
    EXPECT_EQ(Cell(0, 4), late->GetCell());
    EXPECT_EQ(CGenericBrain::kIdle, late->GetBrain()->GetState());
}

TEST_F(BrainTest, AFailedSearchWaitsLongerWithFiveAttackersAlive) {
    Draw({"..#..", "..#..", "..#.."});
    std::vector<boost::shared_ptr<CUnit>> crowd;
    const boost::shared_ptr<CUnit> keeper = Defender("Keeper", 4, 1);  // behind the wall
    for (int row = 0; row < 3; ++row) crowd.push_back(Attacker(SpeedUnit(0), 0, row));
    const boost::shared_ptr<CUnit> walker = Attacker("Orc", 1, 0);
    CGenericBrain& brain = *walker->GetBrain();
    for (int living : {4, 5}) {
        if (living == 5) crowd.push_back(Attacker(SpeedUnit(0), 1, 2));
        const int32_t delay = living == 5 ? 30 : 15;
        brain.SetPathRetryDelay(0);
        PathSearchToken = 1;
        brain.Think(33);
        ASSERT_EQ(0, PathSearchToken);
        EXPECT_EQ(delay, brain.GetPathRetryDelay());
        // No search for the delay's calls but the last; that one searches again.
        for (int call = 1; call < delay; ++call) {
            PathSearchToken = 1;
            brain.Think(33);
            ASSERT_EQ(1, PathSearchToken) << call;
        }
        brain.Think(33);
        EXPECT_EQ(0, PathSearchToken);
    }
    PathSearchToken = 0;
}

TEST_F(BrainTest, AMeleeDefenderFarFromItsSpotDropsItsTargetAndWalksBack) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 2);
    const boost::shared_ptr<CUnit> orc = Attacker(SpeedUnit(0), 6, 2);
    guard->MoveToCell(Cell(1, 2), Cell(5, 2), true);
    guard->GetBrain()->SetTarget(orc);
    level_.Update(33, 0, 1);
    EXPECT_TRUE(guard->GetBrain()->GetCurrentTarget().expired());
    ASSERT_NE(-1, StepUntil([&] { return guard->GetCell() == Cell(1, 2); }));
    EXPECT_EQ(guard, HomeOf(guard)->GetOccupant().lock());
}

TEST_F(BrainTest, AMeleeDefenderStepsUpIdlesThenAttacks) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 2, 2);
    const boost::shared_ptr<CUnit> orc = Attacker(SpeedUnit(0), 4, 2);  // inside the move range
    std::vector<int32_t> states;
    for (int step = 0; step < 300 && (states.empty() || states.back() != CGenericBrain::kAttack); ++step) {
        level_.Update(33, 0, 1);
        const int32_t state = guard->GetBrain()->GetState();
        if (states.empty() || states.back() != state) states.push_back(state);
    }
    ASSERT_GE(states.size(), 3u);
    EXPECT_EQ(CGenericBrain::kAttack, states.back());
    EXPECT_EQ(CGenericBrain::kIdle, states[states.size() - 2]);
    EXPECT_EQ(CGenericBrain::kMove, states[states.size() - 3]);
    EXPECT_EQ(Cell(3, 2), guard->GetCell());
    EXPECT_EQ(orc, guard->GetBrain()->GetCurrentTarget().lock());
}

TEST_F(BrainTest, APassiveDefenderNeverActs) {
    const boost::shared_ptr<CUnit> dummy = Defender("Dummy", 2, 2);
    const boost::shared_ptr<CUnit> orc = Attacker(SpeedUnit(0), 3, 2);
    dummy->SetDirection(90);
    dummy->GetBrain()->SetState(CGenericBrain::kTurn);
    StepUntil([] { return false; }, 30);
    EXPECT_EQ(CGenericBrain::kIdle, dummy->GetBrain()->GetState());
    EXPECT_TRUE(dummy->GetBrain()->GetCurrentTarget().expired());
    EXPECT_EQ(Cell(2, 2), dummy->GetCell());
    EXPECT_EQ(0, dummy->GetAttackCounter());
}

TEST_F(BrainTest, CorpsesFadeAndGoDefendersRevive) {
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 2, 2);
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 5, 2);
    orc->Damage(orc, 1000, 0);
    guard->Damage(guard, 1000, 0);
    ASSERT_TRUE(orc->GetMaterial());
    EXPECT_EQ(10000, orc->GetBrain()->GetTimer());
    orc->Update(7500);
    EXPECT_FLOAT_EQ(1.0f, orc->GetMaterial()->GetOpacity());
    orc->Update(1250);
    EXPECT_FLOAT_EQ(0.5f, orc->GetMaterial()->GetOpacity());
    EXPECT_TRUE(orc->Update(1250));  // at 0: not yet
    EXPECT_FALSE(orc->Update(1));

    // Not while the battle is over; then after the resurrection time, idle and healed.
    BattleTestAccess::SetState(scope_.Battle(), CDunmarchGame::kOver);
    guard->Update(20000);
    EXPECT_FALSE(guard->IsAlive());
    BattleTestAccess::SetState(scope_.Battle(), CDunmarchGame::kRunning);
    guard->Update(10000);
    EXPECT_FALSE(guard->IsAlive());
    EXPECT_TRUE(guard->Update(1));
    EXPECT_TRUE(guard->IsAlive());
    EXPECT_EQ(guard->GetMaxHitPoints(false), guard->GetHitPoints());
    EXPECT_EQ(CGenericBrain::kIdle, guard->GetBrain()->GetState());
}

TEST_F(BrainTest, RestoreTakesTheFieldsAndFindsTheReferences) {
    const boost::shared_ptr<CUnit> guard = Defender("Guard", 1, 1);
    const boost::shared_ptr<CUnit> orc = Attacker("Orc", 3, 1);
    UnitSaveRecord record;
    for (int i = 0; i < UnitSaveRecord::kBrainFieldCount; ++i) record.brainFields[i] = i + 1;
    record.targetId = guard->GetId();
    record.path = {{2250, 1250}, {99999, 250}, {1750, 1250}};  // the second lies off the grid
    record.keeperId = guard->GetId();
    record.wayPointId = -1;
    ASSERT_EQ(1, orc->GetBrain()->RestoreState(record));
    const CGenericBrain& brain = *orc->GetBrain();
    EXPECT_EQ(1, brain.GetState());
    EXPECT_EQ(6, brain.GetTurnTo());
    EXPECT_EQ(9, brain.GetPathRetryDelay());
    EXPECT_EQ(guard, brain.GetCurrentTarget().lock());
    ASSERT_EQ(2u, brain.GetPath().size());
    EXPECT_EQ(Cell(4, 2), brain.GetPath()[0]);
    EXPECT_EQ(Cell(3, 2), brain.GetPath()[1]);
    EXPECT_EQ(guard, static_cast<const CAttackerBrain&>(brain).GetKeeper().lock());

    // A home spot the level does not know is gone.
    record.homeSpawnPointId = 12345;
    record.targetId = -1;
    ASSERT_EQ(1, guard->GetBrain()->RestoreState(record));
    EXPECT_FALSE(HomeOf(guard));
    EXPECT_TRUE(guard->GetBrain()->GetCurrentTarget().expired());
}

}  // namespace
