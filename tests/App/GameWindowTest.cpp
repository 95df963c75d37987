// The in-game window inside the game on the recording device: a new battle on the
// selected map, the fixed-step loop fed by the frame clock, and leaving the battle.
#include <gtest/gtest.h>

#include "App/CGame.h"
#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/GameWindow.h"
#include "Classes/Level/CLevel.h"
#include "Core/FrameClock.h"
#include "Core/Service.h"
#include "GameFixture.h"
#include "platform/win32/Time.h"

namespace {

class GameWindowTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        game_->RunInitialize();
        RunLoading();
        window_ = game_->GetGameWindow();
        ASSERT_NE(nullptr, window_);
        SelectedMapIndex = 0;
    }

    // One frame of ms on the frame clock; the battle updates the window made.
    uint32_t Frame(uint64_t ms) {
        const uint32_t before = window_->GetBattle()->GetStepCounter();
        clock_.Advance(ms);
        TickFrameClock();
        window_->Update();
        return window_->GetBattle()->GetStepCounter() - before;
    }

    platform::ScopedFakeClock clock_{1000};
    Morvane::GameWindow* window_ = nullptr;
};

}  // namespace

TEST_F(GameWindowTest, ANewBattleIsPublishedWhileItExists) {
    EXPECT_EQ(0, window_->StartGame(1));  // nothing to continue
    EXPECT_FALSE(window_->GetBattle());
    SelectedMapIndex = 5;
    EXPECT_EQ(0, window_->StartGame(0));
    SelectedMapIndex = 0;
    ASSERT_EQ(1, window_->StartGame(0));
    ASSERT_TRUE(window_->GetBattle());
    EXPECT_EQ(window_->GetBattle().get(), Service<CDunmarchGame>::Get());
    EXPECT_EQ(1, BattleActive);
    window_->DestroyGame();
    EXPECT_FALSE(window_->GetBattle());
    EXPECT_FALSE(Service<CDunmarchGame>::Exists());
    EXPECT_FALSE(Service<CLevel>::Exists());
    EXPECT_EQ(0, BattleActive);

    // A failed set-up keeps its battle, published, until the next end.
    EXPECT_EQ(0, window_->CreateGame("Nowhere", 0));
    EXPECT_TRUE(Service<CDunmarchGame>::Exists());
    window_->QuitToMenu(0);
    EXPECT_FALSE(Service<CDunmarchGame>::Exists());
}

TEST_F(GameWindowTest, FixedStepsFromTheFrameTime) {
    ASSERT_EQ(1, window_->StartGame(0));
    ResetFrameClock();
    struct Case {
        int32_t previous, accumulator;
        uint64_t frame;
        uint32_t updates;
        int32_t left;
    };
    const Case cases[] = {
        {1, 0, 100, 2, 34},     // two steps, 34 kept
        {2, 0, 20, 1, -13},     // after two steps one is due anyway
        {1, 0, 2000, 2, 0},     // a stall after one step: the backlog is dropped
        {0, 0, 2000, 1, 1967},  // after none: one step, the rest kept
        {0, 0, 90, 1, 57},      // after none at most one
        {1, 0, 33, 1, 0},       // a 33 ms frame adds 33, not 32
        {1, 10, 20, 0, 30},     // not due
    };
    for (const Case& c : cases) {
        PreviousStepCount = c.previous;
        StepAccumulator = c.accumulator;
        EXPECT_EQ(c.updates, Frame(c.frame)) << c.previous << " " << c.frame;
        EXPECT_EQ(c.left, StepAccumulator) << c.previous << " " << c.frame;
        EXPECT_EQ(static_cast<int32_t>(c.updates), PreviousStepCount) << c.previous << " " << c.frame;
    }

    // Double speed: two battle updates a step. Paused: the battle stands still.
    CDunmarchGame& battle = *window_->GetBattle();
    battle.PlayDouble();
    PreviousStepCount = 1;
    StepAccumulator = 0;
    EXPECT_EQ(4u, Frame(66));
    battle.Pause();
    const int32_t elapsed = battle.GetElapsedTime();
    EXPECT_EQ(0u, Frame(66));
    EXPECT_EQ(elapsed, battle.GetElapsedTime());
    EXPECT_EQ(0, StepAccumulator);  // two paused steps all the same
    EXPECT_EQ(2, PreviousStepCount);
}
