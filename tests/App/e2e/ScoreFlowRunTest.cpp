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

namespace fs = std::filesystem;
namespace layouts = catalogue::layouts;
using layoutclicks::CentreOf;
using menuscript::MenuScript;
using testsupport::Count;

// The lines that tell of a fault.
const char* const kFaults[] = {"Service expired",  "Service already exists", "Program Error",
                               "Assertion failed", "SHADER COMPILER ERROR",  "failed!",
                               "not found"};

class ScoreFlowRunTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(gamefolder::Make(root_)); }

    std::vector<std::string> ShotFiles() const {
        std::vector<std::string> shots;
        for (const fs::directory_entry& e : fs::directory_iterator(root_.File("game")))
            if (e.path().extension() == ".bmp") shots.push_back(e.path().filename().string());
        std::sort(shots.begin(), shots.end());
        return shots;
    }
    // A 24-bit 1024 x 768 screenshot kept as build/screenshots/<name>.
    void Keep(const std::string& shot, const std::string& name) const {
        const std::string bmp = root_.Read("game/" + shot);
        ASSERT_EQ(bmp.size(), 54u + 1024u * 768u * 3u) << shot;
        std::vector<DWORD> pixels;
        pixels.reserve(1024u * 768u);
        for (int y = 0; y < 768; ++y)
            for (int x = 0; x < 1024; ++x) {
                const size_t at = 54 + size_t(767 - y) * 1024 * 3 + size_t(x) * 3;
                pixels.push_back(DWORD(uint8_t(bmp[at + 2])) << 16 | DWORD(uint8_t(bmp[at + 1])) << 8 |
                                 uint8_t(bmp[at]));
            }
        testsupport::SaveScreenshot(pixels, 1024, 768, name);
    }

    ScratchDir root_;
};

TEST_F(ScoreFlowRunTest, TheWholeMenuFlowFromTheIntroToTheSubmissionFormAndOut) {
    namespace ll = layouts;
    MenuScript script("ENGUnPressed", true);
    script.Shot()
        .Click(ll::kMainWindow, "Info")
        .Await("HelpWindow")
        .Shot()
        .Click(ll::kHelpWindow, "Tutorial")
        .Await("TutorialWindow")
        .Shot()
        .Line("click " + CentreOf(ll::kTutorialWindow, "Next"), 5)
        .Line("click " + CentreOf(ll::kTutorialWindow, "Next"), 5)
        .Line("click " + CentreOf(ll::kTutorialWindow, "Prev"), 5)
        .Shot()
        .Line("key Esc")
        .Await("HelpWindow")
        .Click(ll::kHelpWindow, "Credits")
        .Await("CreditsWindow")
        .Shot()
        .Click(ll::kCreditsWindow, "Back")
        .Await("HelpWindow")
        .Click(ll::kHelpWindow, "Tournament")
        .Await("TournamentWindow")
        .Shot()
        .Line("key Esc")
        .Await("HelpWindow")
        .Click(ll::kHelpWindow, "Back")
        .Await("MainWindow");
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
        "intro",           "language-window", "loading-window", "main-window",           "help-window",
        "tutorial-window", "tutorial-page-2", "credits-window", "tournament-window",     "controls-window",
        "battle",          "score-window",    "submit-window",  "submit-incorrect-mail", "submit-failed"};
    root_.Write("input.txt", script.Text());
    // The score server has gone: its port refuses.
    std::string stopped;
    {
        testsupport::TestServer server;
        stopped = server.Address();
    }
    const testsupport::ProgramResult run =
        testsupport::RunDunmarch(root_.File("game/"), "-qaf=12000",
                                 "XDG_DATA_HOME='" + root_.File("user") + "' DUNMARCH_NET_REDIRECT=" + stopped +
                                     " DUNMARCH_INPUT='" + root_.File("input.txt") + "'");
    const std::string& output = run.output;
    ASSERT_EQ(run.exitCode, 0) << output;

    testsupport::ExpectInOrder(output, {"[trace] state entered: IntroWindow",
                                        "[trace] state entered: LanguageWindow",
                                        "[trace] state entered: LoadingWindow",
                                        "[trace] state entered: MainWindow",
                                        "[trace] state entered: HelpWindow",
                                        "[trace] state entered: TutorialWindow",
                                        "[trace] state entered: HelpWindow",
                                        "[trace] state entered: CreditsWindow",
                                        "[trace] state entered: HelpWindow",
                                        "[trace] state entered: TournamentWindow",
                                        "[trace] state entered: HelpWindow",
                                        "[trace] state entered: MainWindow",
                                        "[trace] state entered: ControlsWindow",
                                        "[trace] state entered: GameState",
                                        "[trace] battle event: EvGameOver",
                                        "[trace] state entered: ScoreWindow",
                                        "[trace] state entered: SubmitWindow",
                                        "[trace] submit form state: 1",
                                        "[trace] submit form state: 3",
                                        "Error connecting to server (3)",
                                        "[trace] submit form state: 5",
                                        "[trace] state entered: MainWindow",
                                        "[trace] game shut down"});
    EXPECT_EQ(Count(output, "[trace] state entered: HelpWindow"), 4) << output;
    EXPECT_EQ(Count(output, "[trace] state entered: MainWindow"), 3) << output;
    for (const char* fault : kFaults) EXPECT_EQ(Count(output, fault), 0) << fault << "\n" << output;

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

    const std::vector<std::string> shots = ShotFiles();
    ASSERT_EQ(shots.size(), std::size(shotNames)) << output;
    for (size_t i = 0; i < shots.size(); ++i) Keep(shots[i], std::string("score-flow-") + shotNames[i] + ".png");
}

}  // namespace
