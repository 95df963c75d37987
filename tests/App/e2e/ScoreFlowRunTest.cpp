// The whole menu flow in the real game, headless, with one input script in a
// game folder and a per-user data folder of its own: the intro, the language
// and loading screens, the help pages, a battle left to end in defeat, the
// score question and the submission form (a rejected address, then a good
// one), back to the main menu and out. The score server has stopped, so the
// submission fails as a refused connection does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "App/LayoutClicks.h"
#include "App/MenuScript.h"
#include "FlowScript.h"
#include "GameFolder.h"
#include "Game/GameSettings.h"
#include "support/RunDunmarch.h"
#include "support/ScratchDir.h"
#include "support/Screenshot.h"
#include "support/TestServer.h"
#include "tools/catalogue/Layouts.h"

namespace {

namespace layouts = catalogue::layouts;
using layoutclicks::CentreOf;
using menuscript::MenuScript;
using testsupport::Count;

class ScoreFlowRunTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(gamefolder::Make(root_)); }

    ScratchDir root_;
};

TEST_F(ScoreFlowRunTest, TheWholeMenuFlowFromTheIntroToTheSubmissionFormAndOut) {
    namespace ll = layouts;
    MenuScript script("ENGUnPressed", true);
    flowscript::VisitTheHelpPages(script.Shot());
    flowscript::LoseABattle(script, true).Shot().Click(ll::kScoreWindow, "Yes").Await("SubmitWindow").Shot();
    flowscript::ClickField(script, "E-mail")
        .Line("type keeper-one", 2)
        .Line("click " + CentreOf(ll::kSubmitWindow, "Submit"), 2);
    flowscript::AwaitLine(script, "submit form state: 1").Shot();
    flowscript::ClickField(script, "E-mail").Line("type @dun-march.org", 2);
    flowscript::ClickField(script, "Name", 2)
        .Line("type Harrowmere", 2)
        .Line("click " + CentreOf(ll::kSubmitWindow, "Submit"), 2);
    flowscript::AwaitLine(script, "submit form state: 5")
        .Shot()
        .Click(ll::kSubmitWindow, "Cancel")
        .Await("MainWindow")
        .Click(ll::kMainWindow, "Quit");
    const char* const shotNames[] = {
        "intro",           "language-window", "loading-window", "main-window",       "help-window",
        "tutorial-window", "tutorial-page-2", "credits-window", "tournament-window", "controls-window",
        "battle",          "battle-later",    "score-window",   "submit-window",     "submit-incorrect-mail",
        "submit-failed"};
    root_.Write("input.txt", script.Text());
    // The score server has gone: its port refuses.
    std::string stopped;
    {
        testsupport::TestServer server;
        stopped = server.Address();
    }
    const testsupport::ProgramResult run =
        testsupport::RunDunmarch(root_.File("game/"), "-qaf=12000" + gamefolder::kHalfWindow.Options(),
                                 "XDG_DATA_HOME='" + root_.File("user") + "' DUNMARCH_NET_REDIRECT=" + stopped +
                                     " DUNMARCH_INPUT='" + root_.File("input.txt") + "'");
    const std::string& output = run.output;
    ASSERT_EQ(run.exitCode, 0) << output;

    testsupport::ExpectInOrder(output,
                               {"[trace] state entered: IntroWindow",    "[trace] state entered: LanguageWindow",
                                "[trace] state entered: LoadingWindow",  "[trace] state entered: MainWindow",
                                "[trace] state entered: HelpWindow",     "[trace] state entered: TutorialWindow",
                                "[trace] state entered: HelpWindow",     "[trace] state entered: CreditsWindow",
                                "[trace] state entered: HelpWindow",     "[trace] state entered: TournamentWindow",
                                "[trace] state entered: HelpWindow",     "[trace] state entered: MainWindow",
                                "[trace] state entered: ControlsWindow", "[trace] state entered: GameState",
                                "[trace] battle over: defeat",           "[trace] battle event: EvGameOver",
                                "[trace] state entered: ScoreWindow",    "[trace] state entered: SubmitWindow",
                                "[trace] submit form state: 1",          "[trace] submit form state: 3",
                                "Error connecting to server (3)",        "[trace] submit form state: 5",
                                "[trace] state entered: MainWindow",     "[trace] game shut down"});
    EXPECT_EQ(Count(output, "[trace] state entered: HelpWindow"), 4) << output;
    EXPECT_EQ(Count(output, "[trace] state entered: MainWindow"), 3) << output;
    gamefolder::ExpectNoFault(output);

    // The good entry is remembered.
    const std::string old = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    setenv("XDG_DATA_HOME", root_.File("user").c_str(), 1);
    GameSettings stored;
    const bool loaded = stored.Load();
    if (old.empty()) unsetenv("XDG_DATA_HOME");
    else setenv("XDG_DATA_HOME", old.c_str(), 1);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(stored.GetPlayerName(), "Harrowmere");
    EXPECT_EQ(stored.GetEmail(), "keeper-one@dun-march.org");

    const std::vector<std::string> shots = gamefolder::Shots(root_);
    ASSERT_EQ(shots.size(), std::size(shotNames)) << output;
    for (size_t i = 0; i < shots.size(); ++i)
        gamefolder::Keep(root_, shots[i], std::string("score-flow-") + shotNames[i] + ".png", gamefolder::kHalfWindow);
}

}  // namespace
