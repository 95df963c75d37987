// The menu state machine without a game: the transition table, the queue of
// posted events, the battle's events raised inside an update and from the
// key-up list, the windows' fade and button actions on a fixed frame time, and
// what a window leaves behind.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/GameWindow.h"
#include "Classes/Dictionary/Config/Config.h"
#include "Classes/UI/MenuStates.h"
#include "Core/FrameClock.h"
#include "Core/Service.h"
#include "platform/Trace.h"
#include "platform/win32/Time.h"
#include "shell/KeyHandlers.h"
#include "shell/TouchEvent.h"
#include "support/ScratchFolder.h"
#include "UI/UIGlobals.h"

namespace {

std::vector<std::string>* g_lines = nullptr;
void Hear(const char* line) {
    if (g_lines != nullptr) g_lines->push_back(line);
}

std::string Current(const GameMachine& m) {
#define DM_STATE(S) \
    if (m.state_cast<const S*>() != nullptr) return #S;
    DM_STATE(IntroWindow)
    DM_STATE(LanguageWindow)
    DM_STATE(LoadingWindow)
    DM_STATE(MainWindow)
    DM_STATE(ControlsWindow)
    DM_STATE(GameState)
    DM_STATE(ScoreWindow)
    DM_STATE(SubmitWindow)
    DM_STATE(InGameQuitWindow)
    DM_STATE(SettingsWindow)
    DM_STATE(HelpWindow)
    DM_STATE(TutorialWindow)
    DM_STATE(CreditsWindow)
    DM_STATE(TournamentWindow)
    DM_STATE(PlayWindow)
#undef DM_STATE
    return "none";
}

typedef void (*Send)(GameMachine&);
template <class E>
void Process(GameMachine& m) {
    m.process_event(E());
}

const std::vector<std::pair<std::string, Send>>& Events() {
    static const std::vector<std::pair<std::string, Send>> events = {
#define DM_EVENT(E) {#E, &Process<E>}
        DM_EVENT(EvUpdate),           DM_EVENT(EvDraw),
        DM_EVENT(EvExitingApp),       DM_EVENT(EvSkipLangChoose),
        DM_EVENT(EvBackPressed),      DM_EVENT(EvLangPressed),
        DM_EVENT(EvLoadingFinised),   DM_EVENT(EvPlayOnlinePressed),
        DM_EVENT(EvContinuePressed),  DM_EVENT(EvSettingsPressed),
        DM_EVENT(EvInfoPressed),      DM_EVENT(EvGameOver),
        DM_EVENT(EvInGameMenuPressed), DM_EVENT(EvSubmitPressed),
        DM_EVENT(EvDontSubmitPressed), DM_EVENT(EvCancelSubmitting),
        DM_EVENT(EvBackToGamePressed), DM_EVENT(EvTutorialPressed),
        DM_EVENT(EvCreditsPressed),   DM_EVENT(EvTournamentPressed),
        DM_EVENT(EvNewGamePressed),   DM_EVENT(EvStartPressed),
        DM_EVENT(EvRegister),         DM_EVENT(EvPlayOff),
        DM_EVENT(EvSoundPressed),     DM_EVENT(EvBackToIngameMenuPressed),
#undef DM_EVENT
    };
    return events;
}

Send EventNamed(const std::string& name) {
    for (const auto& e : Events())
        if (e.first == name) return e.second;
    return nullptr;
}

// How each state is reached from the intro.
const std::vector<std::pair<std::string, std::vector<std::string>>> kRoads = {
    {"IntroWindow", {}},
    {"LanguageWindow", {"EvBackPressed"}},
    {"LoadingWindow", {"EvSkipLangChoose"}},
    {"MainWindow", {"EvSkipLangChoose", "EvLoadingFinised"}},
    {"ControlsWindow", {"EvSkipLangChoose", "EvLoadingFinised", "EvPlayOnlinePressed"}},
    {"GameState", {"EvSkipLangChoose", "EvLoadingFinised", "EvContinuePressed"}},
    {"ScoreWindow", {"EvSkipLangChoose", "EvLoadingFinised", "EvContinuePressed", "EvGameOver"}},
    {"SubmitWindow", {"EvSkipLangChoose", "EvLoadingFinised", "EvContinuePressed", "EvGameOver", "EvSubmitPressed"}},
    {"InGameQuitWindow", {"EvSkipLangChoose", "EvLoadingFinised", "EvContinuePressed", "EvInGameMenuPressed"}},
    {"SettingsWindow", {"EvSkipLangChoose", "EvLoadingFinised", "EvSettingsPressed"}},
    {"HelpWindow", {"EvSkipLangChoose", "EvLoadingFinised", "EvInfoPressed"}},
    {"TutorialWindow", {"EvSkipLangChoose", "EvLoadingFinised", "EvInfoPressed", "EvTutorialPressed"}},
    {"CreditsWindow", {"EvSkipLangChoose", "EvLoadingFinised", "EvInfoPressed", "EvCreditsPressed"}},
    {"TournamentWindow", {"EvSkipLangChoose", "EvLoadingFinised", "EvInfoPressed", "EvTournamentPressed"}},
};

// Every transition; any other event leaves the state as it is.
const std::map<std::pair<std::string, std::string>, std::string> kTable = {
    {{"IntroWindow", "EvBackPressed"}, "LanguageWindow"},
    // Without a device no clip opens: the first update chooses the language, and
    // no language is stored.
    {{"IntroWindow", "EvUpdate"}, "LanguageWindow"},
    {{"IntroWindow", "EvSkipLangChoose"}, "LoadingWindow"},
    {{"LanguageWindow", "EvLangPressed"}, "LoadingWindow"},
    {{"LoadingWindow", "EvLoadingFinised"}, "MainWindow"},
    {{"MainWindow", "EvPlayOnlinePressed"}, "ControlsWindow"},
    {{"MainWindow", "EvContinuePressed"}, "GameState"},
    {{"MainWindow", "EvSettingsPressed"}, "SettingsWindow"},
    {{"MainWindow", "EvInfoPressed"}, "HelpWindow"},
    {{"ControlsWindow", "EvBackPressed"}, "GameState"},
    {{"GameState", "EvGameOver"}, "ScoreWindow"},
    {{"GameState", "EvBackPressed"}, "MainWindow"},
    {{"GameState", "EvInGameMenuPressed"}, "InGameQuitWindow"},
    {{"ScoreWindow", "EvSubmitPressed"}, "SubmitWindow"},
    {{"ScoreWindow", "EvDontSubmitPressed"}, "MainWindow"},
    {{"SubmitWindow", "EvCancelSubmitting"}, "MainWindow"},
    {{"InGameQuitWindow", "EvBackPressed"}, "MainWindow"},
    {{"InGameQuitWindow", "EvBackToGamePressed"}, "GameState"},
    {{"SettingsWindow", "EvBackPressed"}, "MainWindow"},
    {{"HelpWindow", "EvBackPressed"}, "MainWindow"},
    {{"HelpWindow", "EvTutorialPressed"}, "TutorialWindow"},
    {{"HelpWindow", "EvCreditsPressed"}, "CreditsWindow"},
    {{"HelpWindow", "EvTournamentPressed"}, "TournamentWindow"},
    {{"TutorialWindow", "EvBackPressed"}, "HelpWindow"},
    {{"CreditsWindow", "EvBackPressed"}, "HelpWindow"},
    {{"TournamentWindow", "EvBackPressed"}, "HelpWindow"},
};

class MenuMachineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFrameClock();  // on the fake clock
        g_lines = &lines_;
        SetPlatformTraceListener(&Hear);
    }
    void TearDown() override {
        machine_.terminate();
        SetPlatformTraceListener(nullptr);
        g_lines = nullptr;
        TouchEvents.clear();
        if (Service<Config>::Exists() && Service<Config>::Get() == &config_) Service<Config>::Unregister();
    }

    void Go(const std::vector<std::string>& road) {
        for (const std::string& event : road) EventNamed(event)(machine_);
    }

    // Sample-like layouts in a folder of their own.
    void UseLayouts() {
        layouts_.Write("mainwindow.xml", R"(<layout>
            <button name="Play" posx="100" posy="100" sizex="200" sizey="50"/>
            <button name="Settings" posx="100" posy="200" sizex="200" sizey="50"/>
            <button name="Info" posx="100" posy="300" sizex="200" sizey="50"/>
            <button name="Back " posx="100" posy="400" sizex="200" sizey="50"/>
            <button name="play" posx="100" posy="500" sizex="200" sizey="50"/></layout>)");
        config_.Paths.UiPath = layouts_.Path() + "/";
        Service<Config>::Register(&config_);
    }

    // One frame of the given length on the frame clock.
    void Frame(uint32_t ms) {
        clock_.Advance(ms);
        TickFrameClock();
        machine_.process_event(EvUpdate());
        machine_.process_event(EvDraw());
        TouchEvents.clear();
    }

    void Touch(int32_t phase, float x, float y) {
        TouchEvent event = {};
        event.position = Vector2(x / 1024.0f, y / 768.0f);
        event.phase = phase;
        TouchEvents.assign(1, event);
    }
    // Press in one frame, release in the next: the handler runs in the second.
    void Click(float x, float y, uint32_t ms) {
        Touch(kTouchPress, x, y);
        Frame(ms);
        Touch(kTouchRelease, x, y);
        Frame(ms);
    }

    const MainWindow& Main() const { return machine_.state_cast<const MainWindow&>(); }

    std::vector<std::string> lines_;
    platform::ScopedFakeClock clock_{1000};
    GameMachine machine_{nullptr};
    Config config_;
    ScratchFolder layouts_;
};

TEST_F(MenuMachineTest, TransitionTable) {
    for (const auto& road : kRoads) {
        for (const auto& event : Events()) {
            GameMachine machine(nullptr);
            machine.initiate();
            for (const std::string& step : road.second) EventNamed(step)(machine);
            ASSERT_EQ(Current(machine), road.first);
            lines_.clear();
            event.second(machine);
            const auto found = kTable.find({road.first, event.first});
            const std::string expected = found != kTable.end() ? found->second : road.first;
            EXPECT_EQ(Current(machine), expected) << road.first << " + " << event.first;
            if (found == kTable.end())
                EXPECT_TRUE(lines_.empty()) << road.first << " + " << event.first << ": " << lines_[0];
            else
                EXPECT_EQ(lines_, (std::vector<std::string>{"state left: " + road.first, "state entered: " + expected}));
        }
    }
}

TEST_F(MenuMachineTest, PostedEventsFollowTheRunningReactionInOrderAndATerminatedMachineDiscards) {
    machine_.initiate();
    // Posted twice: the copy reaches the loading window, which discards it.
    machine_.post_event(EvSkipLangChoose());
    machine_.post_event(EvSkipLangChoose());
    machine_.post_event(EvLoadingFinised());
    EXPECT_EQ(Current(machine_), "IntroWindow");
    machine_.process_event(EvUpdate());
    EXPECT_EQ(Current(machine_), "MainWindow");
    EXPECT_EQ(lines_, (std::vector<std::string>{"state entered: IntroWindow", "state left: IntroWindow",
                                                "state entered: LoadingWindow", "state left: LoadingWindow",
                                                "state entered: MainWindow"}));

    machine_.terminate();
    EXPECT_EQ(lines_.back(), "state left: MainWindow");
    lines_.clear();
    machine_.process_event(EvSettingsPressed());
    machine_.process_event(EvUpdate());
    EXPECT_EQ(Current(machine_), "none");
    EXPECT_TRUE(lines_.empty());
}

// Raises the battle's events as a battle does, from inside its update.
class RaisingWindow : public Morvane::GameWindow {
public:
    void Update() override {
        ++updates;
        DeliverBattleEvent(EvGameOver(), "EvGameOver");
        DeliverBattleEvent(EvBackPressed(), "EvBackPressed");
        DeliverBattleEvent(EvInGameMenuPressed(), "EvInGameMenuPressed");
        // The state that called this update is still there.
        stillInBattle = Service<GameMachine>::Get()->state_cast<const GameState*>() != nullptr;
    }
    void Draw() override { ++draws; }
    int updates = 0, draws = 0;
    bool stillInBattle = false;
};

void RaiseMenuKey(GameMachine*, int32_t code) {
    if (code == 56) DeliverBattleEvent(EvInGameMenuPressed(), "EvInGameMenuPressed");
}

TEST_F(MenuMachineTest, BattleEventsRunAfterTheUpdateThatRaisedThemAndAtOnceFromTheKeyUpList) {
    RaisingWindow battle;
    Service<Morvane::GameWindow>::Register(&battle);
    Service<GameMachine>::Register(&machine_);
    machine_.initiate();
    Go({"EvSkipLangChoose", "EvLoadingFinised", "EvContinuePressed"});
    ASSERT_EQ(Current(machine_), "GameState");
    machine_.process_event(EvDraw());
    EXPECT_EQ(battle.draws, 1);

    lines_.clear();
    machine_.process_event(EvUpdate());
    EXPECT_EQ(battle.updates, 1);
    EXPECT_TRUE(battle.stillInBattle);
    // The first event leaves the battle; the score window discards the others.
    EXPECT_EQ(Current(machine_), "ScoreWindow");
    EXPECT_EQ(lines_, (std::vector<std::string>{"battle event: EvGameOver", "battle event: EvBackPressed",
                                                "battle event: EvInGameMenuPressed", "state left: GameState",
                                                "state entered: ScoreWindow"}));

    // Esc's key-up comes while no delivery runs: the quit window at once.
    machine_.terminate();
    machine_.initiate();
    Go({"EvSkipLangChoose", "EvLoadingFinised", "EvContinuePressed"});
    KeyUpListeners.Add(KeyHandler::FromFunction<&RaiseMenuKey>(&machine_));
    KeyUpListeners.Fire(56);
    KeyUpListeners.RemoveTarget(&machine_);
    EXPECT_EQ(Current(machine_), "InGameQuitWindow");
    // Nothing forwards frames to a battle that is not shown.
    machine_.process_event(EvUpdate());
    EXPECT_EQ(battle.updates, 1);

    machine_.terminate();
    Service<GameMachine>::Unregister();
    Service<Morvane::GameWindow>::Unregister();
    // Without the in-game window the battle state forwards nothing.
    machine_.initiate();
    Go({"EvSkipLangChoose", "EvLoadingFinised", "EvContinuePressed", "EvUpdate", "EvDraw"});
    EXPECT_EQ(Current(machine_), "GameState");
}

TEST_F(MenuMachineTest, TheResumingButtonActionGivesTheBattleItsInputBack) {
    machine_.initiate();
    Go({"EvSkipLangChoose", "EvLoadingFinised", "EvContinuePressed", "EvInGameMenuPressed"});
    BattleActive = 0;
    InGameQuitWindow& quit = const_cast<InGameQuitWindow&>(machine_.state_cast<const InGameQuitWindow&>());
    quit.PendingButtonId = 2;
    quit.StartFadeOut();
    UiFrameDelta = 0.1f;
    for (int i = 0; i < 4 && Current(machine_) == "InGameQuitWindow"; ++i) machine_.process_event(EvDraw());
    EXPECT_EQ(Current(machine_), "GameState");
    EXPECT_EQ(BattleActive, 1);
}

TEST_F(MenuMachineTest, AFadeOutActsInItsFirstFrameBelowZeroAfterTheOldWindowDrewOnceMore) {
    UseLayouts();
    machine_.initiate();
    Go({"EvSkipLangChoose", "EvLoadingFinised"});
    // A missing layout gives the next window no widgets; it still fades.
    config_.Paths.UiPath = "/nonexistent/";
    UiFrameDelta = 0.0f;
    Frame(50);  // stores the delta the next fade step uses
    std::vector<float> alphas;
    while (Main().FadeDirection != 0) {
        Frame(50);
        alphas.push_back(Main().alpha_);
    }
    // 51.2 a frame; the frame that passes 255 ends the fade-in.
    ASSERT_EQ(alphas.size(), 5u);
    for (size_t i = 0; i < 4; ++i) EXPECT_NEAR(alphas[i], 51.2f * float(i + 1), 0.01f);
    EXPECT_EQ(alphas[4], 255.0f);
    ASSERT_EQ(Main().size(), 5u);

    Click(150, 125, 50);  // "Play": the release starts the fade-out
    EXPECT_EQ(Main().PendingButtonId, 1);
    alphas.clear();
    float clock = 0;
    while (Current(machine_) == "MainWindow") {
        clock = UiClock;
        Frame(50);
        if (Current(machine_) == "MainWindow") alphas.push_back(Main().alpha_);
    }
    // The release frame took the first step: 203.8, then 152.6, 101.4, 50.2;
    // -1.0 acts.
    ASSERT_EQ(alphas.size(), 3u);
    EXPECT_NEAR(alphas.front(), 255.0f - 2 * 51.2f, 0.01f);
    // The last frame drew the old window (the interface clock moved) and then
    // entered the controls.
    EXPECT_GT(UiClock, clock);
    EXPECT_EQ(Current(machine_), "ControlsWindow");
    EXPECT_EQ(lines_.back(), "state entered: ControlsWindow");
    EXPECT_EQ(machine_.state_cast<const ControlsWindow&>().alpha_, 0.0f);
}

TEST_F(MenuMachineTest, APressDuringTheFadeInTurnsItAtExactlyZeroNothingEnds) {
    UseLayouts();
    machine_.initiate();
    Go({"EvSkipLangChoose", "EvLoadingFinised"});
    UiFrameDelta = 0.0f;
    Frame(50);
    Frame(50);            // d
    Click(150, 125, 50);  // press: 2d; the release turns the fade: d
    EXPECT_EQ(Main().FadeDirection, -1);
    EXPECT_NEAR(Main().alpha_, 51.2f, 0.01f);
    Frame(50);
    EXPECT_EQ(Main().alpha_, 0.0f);
    EXPECT_EQ(Current(machine_), "MainWindow") << "an alpha of exactly 0 ends nothing";
    Frame(50);
    EXPECT_EQ(Current(machine_), "ControlsWindow");
}

TEST_F(MenuMachineTest, ALaterPressDuringTheFadeOutReplacesTheId) {
    UseLayouts();
    machine_.initiate();
    Go({"EvSkipLangChoose", "EvLoadingFinised"});
    UiFrameDelta = 0.0f;
    for (int i = 0; i < 5; ++i) Frame(100);
    ASSERT_EQ(Main().alpha_, 255.0f);
    Click(150, 125, 30);  // "Play"
    Click(150, 225, 30);  // "Settings", still fading out
    EXPECT_EQ(Main().PendingButtonId, 3);
    for (int i = 0; i < 10 && Current(machine_) == "MainWindow"; ++i) Frame(30);
    EXPECT_EQ(Current(machine_), "SettingsWindow");
}

TEST_F(MenuMachineTest, NamesMatchExactlyAndFrameTimesAreClamped) {
    UseLayouts();
    machine_.initiate();
    Go({"EvSkipLangChoose", "EvLoadingFinised"});
    UiFrameDelta = 0.0f;
    Frame(500);  // more than 0.1 s counts as 0.1 s
    Frame(0);
    EXPECT_NEAR(Main().alpha_, 102.4f, 0.01f);
    Frame(0);  // no time, no step
    Frame(100);
    EXPECT_NEAR(Main().alpha_, 102.4f, 0.01f);
    // "Back " and "play" are not "Back" and "Play".
    Click(150, 425, 100);
    Click(150, 525, 100);
    EXPECT_EQ(Main().PendingButtonId, 0);
    EXPECT_NE(Main().FadeDirection, -1);
}

TEST_F(MenuMachineTest, NothingOfAWindowStaysBehindIt) {
    UseLayouts();
    const size_t keyHandlers = KeyDownListeners.Count();
    machine_.initiate();
    EXPECT_EQ(KeyDownListeners.Count(), keyHandlers + 1);
    Go({"EvSkipLangChoose", "EvLoadingFinised"});
    EXPECT_EQ(KeyDownListeners.Count(), keyHandlers + 1);
    UiFrameDelta = 0.0f;
    Frame(100);
    Frame(100);
    Click(150, 125, 100);  // "Play"
    for (int i = 0; i < 5 && Current(machine_) == "MainWindow"; ++i) Frame(100);
    ASSERT_EQ(Current(machine_), "ControlsWindow");
    // A click where the menu's button was reaches nothing of the menu.
    Click(150, 125, 100);
    EXPECT_EQ(machine_.state_cast<const ControlsWindow&>().PendingButtonId, 0);
    machine_.process_event(EvBackPressed());
    ASSERT_EQ(Current(machine_), "GameState");
    EXPECT_EQ(KeyDownListeners.Count(), keyHandlers);
    machine_.terminate();
    EXPECT_EQ(KeyDownListeners.Count(), keyHandlers);
}

}  // namespace
