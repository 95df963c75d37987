// The component framework under the game: update and draw of the game and its
// components, modal mode, the removal queue, and the frame-rate counters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Core/FrameClock.h"
#include "Game/GameInterface.h"

namespace {

using Log = std::vector<std::string>;

class Probe : public Game::GameDrawableComponentInterface {
public:
    Probe(Log& log, const std::string& name) : log_(log), name_(name) {}
    void Initialize() override { log_.push_back(name_ + ":Initialize"); }
    void Shutdown() override { log_.push_back(name_ + ":Shutdown"); }
    void Update() override { log_.push_back(name_ + ":Update"); }
    void Draw() override { log_.push_back(name_ + ":Draw"); }

private:
    Log& log_;
    std::string name_;
};

// Updated, never drawn.
class PlainProbe : public Game::GameComponentInterface {
public:
    explicit PlainProbe(Log& log) : log_(log) {}
    void Initialize() override {}
    void Shutdown() override { log_.push_back("plain:Shutdown"); }
    void Update() override { log_.push_back("plain:Update"); }

private:
    Log& log_;
};

class Framework : public Game::GameInterface {
public:
    explicit Framework(Log& log) : log_(log) {}
    void Initialize() override { log_.push_back("game:Initialize"); }
    void Shutdown() override { log_.push_back("game:Shutdown"); }
    void Update() override { log_.push_back("game:Update"); }
    void Draw() override { log_.push_back("game:Draw"); }

    // The game itself never adds a component; the tests do.
    void Add(const boost::shared_ptr<Game::GameComponentInterface>& c) { components_.push_back(c); }
    size_t Count() const { return components_.size(); }

private:
    Log& log_;
};

class GameInterfaceTest : public ::testing::Test {
protected:
    GameInterfaceTest() : game(log), a(new Probe(log, "a")), b(new Probe(log, "b")), plain(new PlainProbe(log)) {
        game.Add(a);
        game.Add(plain);
        game.Add(b);
    }

    Log Frame() {
        log.clear();
        game.RunUpdate();
        game.RunDraw();
        return log;
    }

    Log log;
    Framework game;
    boost::shared_ptr<Probe> a, b;
    boost::shared_ptr<PlainProbe> plain;
};

TEST_F(GameInterfaceTest, AFrameRunsTheGameThenTheEnabledAndVisibleComponents) {
    EXPECT_EQ(Frame(), (Log{"game:Update", "a:Update", "plain:Update", "b:Update", "game:Draw", "a:Draw", "b:Draw"}));

    a->SetEnabled(false);
    b->SetVisible(false);
    EXPECT_EQ(Frame(), (Log{"game:Update", "plain:Update", "b:Update", "game:Draw", "a:Draw"}));

    game.SetEnabled(false);
    game.SetVisible(false);
    game.SetComponentDrawing(false);
    EXPECT_EQ(Frame(), (Log{"plain:Update", "b:Update"}));
}

TEST_F(GameInterfaceTest, ModalModeUpdatesOnlyTheModalComponent) {
    game.SetModal(b, true);
    EXPECT_EQ(Frame(), (Log{"game:Update", "b:Update", "game:Draw", "a:Draw", "b:Draw"}));
    b->SetEnabled(false);
    EXPECT_EQ(Frame(), (Log{"game:Update", "game:Draw", "a:Draw", "b:Draw"}));
    // Modal without a component (what a message box leaves): no component updates.
    game.SetModal(boost::shared_ptr<Game::GameComponentInterface>(), true);
    EXPECT_EQ(Frame(), (Log{"game:Update", "game:Draw", "a:Draw", "b:Draw"}));
    game.SetModal(boost::shared_ptr<Game::GameComponentInterface>(), false);
    EXPECT_EQ(Frame(), (Log{"game:Update", "a:Update", "plain:Update", "game:Draw", "a:Draw", "b:Draw"}));
}

TEST_F(GameInterfaceTest, QueuedComponentsAreShutDownAndRemovedBeforeTheNextUpdate) {
    boost::shared_ptr<Probe> stranger(new Probe(log, "stranger"));
    game.QueueRemoval(stranger);  // not in the list: ignored
    EXPECT_FALSE(game.FindQueuedComponent(stranger.get()));
    game.QueueRemoval(a);
    game.QueueRemoveLast();
    EXPECT_EQ(game.FindQueuedComponent(a.get()), a);
    EXPECT_EQ(game.FindQueuedComponent(b.get()), b);
    EXPECT_FALSE(game.FindQueuedComponent(plain.get()));

    EXPECT_EQ(Frame(), (Log{"a:Shutdown", "b:Shutdown", "game:Update", "plain:Update", "game:Draw"}));
    EXPECT_TRUE(a->IsLifecycleDone());
    EXPECT_FALSE(plain->IsLifecycleDone());
    EXPECT_EQ(game.Count(), 1u);
    EXPECT_FALSE(game.FindQueuedComponent(a.get()));
}

TEST_F(GameInterfaceTest, RunInitializeAndRunShutdownSetTheLifecycleFlag) {
    game.RunInitialize();
    EXPECT_TRUE(game.IsLifecycleDone());
    log.clear();
    game.RunShutdown();
    // Shutdown queues every component; they go at the next update.
    EXPECT_EQ(log, (Log{"game:Shutdown"}));
    EXPECT_EQ(game.FindQueuedComponent(plain.get()), plain);
    EXPECT_EQ(Frame(), (Log{"a:Shutdown", "plain:Shutdown", "b:Shutdown", "game:Update", "game:Draw"}));
}

TEST(GameInterfaceFpsTest, CountsTheFramesOfEachWholeSecond) {
    Log log;
    Framework game(log);
    GetFrameClock().delta = 0.25f;
    for (int i = 0; i < 3; ++i) game.TickFps();
    EXPECT_EQ(game.GetLastSecondFps(), 0.0f);
    EXPECT_EQ(game.GetFps(), 4.0f);
    game.TickFps();
    EXPECT_EQ(game.GetLastSecondFps(), 4.0f);
    // A zero delta counts the frame but keeps the current rate.
    GetFrameClock().delta = 0.0f;
    game.TickFps();
    EXPECT_EQ(game.GetFps(), 4.0f);
    GetFrameClock().delta = 0.5f;
    game.TickFps();
    game.TickFps();
    EXPECT_EQ(game.GetFps(), 2.0f);
    EXPECT_EQ(game.GetLastSecondFps(), 3.0f);
}

}  // namespace
