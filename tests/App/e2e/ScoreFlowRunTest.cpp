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
#include <string>
#include <vector>

#include "App/LayoutClicks.h"
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
using flowscript::FlowScript;
using layoutclicks::CentreOf;
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
    FlowScript script;
    script.Line("key Space")
        .Enter("LanguageWindow")
        .Shot("flow-language-window.png")
        .Click(ll::kLanguageWindow, "ENGUnPressed")
        .Enter("LoadingWindow")
        .Shot("flow-loading-window.png")
        .Line("await every 10 " + CentreOf(ll::kLoadingWindow, "Start") + " within 1500 state entered: MainWindow")
        .Shot("flow-main-window.png")
        .Click(ll::kMainWindow, "Info")
        .Enter("HelpWindow")
        .Shot("flow-help-window.png")
        .Click(ll::kHelpWindow, "Tutorial")
        .Enter("TutorialWindow")
        .Shot("flow-tutorial-window.png")
        .Click(ll::kTutorialWindow, "Next", 5)
        .Click(ll::kTutorialWindow, "Next", 5)
        .Click(ll::kTutorialWindow, "Prev", 5)
        .Shot("flow-tutorial-second-page.png")
        .Line("key Esc")
        .Enter("HelpWindow")
        .Click(ll::kHelpWindow, "Credits", 15)
        .Enter("CreditsWindow")
        .Shot("flow-credits-window.png")
        .Click(ll::kCreditsWindow, "Back")
        .Enter("HelpWindow")
        .Click(ll::kHelpWindow, "Tournament", 15)
        .Enter("TournamentWindow")
        .Shot("flow-tournament-window.png")
        .Line("key Esc")
        .Enter("HelpWindow")
        .Click(ll::kHelpWindow, "Back", 15)
        .Enter("MainWindow")
        .LoseABattle("flow-controls-window.png", "flow-battle.png")
        .Shot("flow-score-window.png")
        .Click(ll::kScoreWindow, "Yes")
        .Enter("SubmitWindow")
        .Shot("flow-submit-window.png")
        .ClickField("E-mail")
        .Line("type keeper-one", 2)
        .Click(ll::kSubmitWindow, "Submit", 2)
        .Await("submit form state: 1")
        .Shot("flow-submit-incorrect-mail.png")
        .ClickField("E-mail")
        .Line("type @dun-march.org", 2)
        .ClickField("Name", 2)
        .Line("type Harrowmere", 2)
        .Click(ll::kSubmitWindow, "Submit", 2)
        .Await("submit form state: 5")
        .Shot("flow-submit-failed.png")
        .Click(ll::kSubmitWindow, "Cancel")
        .Enter("MainWindow")
        .Click(ll::kMainWindow, "Quit", 15);
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
    ASSERT_EQ(shots.size(), script.Shots().size()) << output;
    for (size_t i = 0; i < shots.size(); ++i) Keep(shots[i], script.Shots()[i]);
}

}  // namespace
