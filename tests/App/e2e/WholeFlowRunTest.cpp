// The whole game in one run, played by one input script: the intro, the
// language choice, the loading screen, the main menu with the served banner
// (and its link opened), the settings with both volumes moved, the help pages,
// a battle on the sample map sped up and lost, the score sent to the test
// server, then a battle saved a little before its victory continued, paused,
// resumed and won, and quit. The same script plays in a real window on an X
// server and headless on the offscreen driver; both runs must pass the same
// checks. Neither needs the whole screen's pixels: the window's run plays at
// half the game's size, the headless one smaller still.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "App/MenuScript.h"
#include "FlowScript.h"
#include "GameFolder.h"
#include "support/RunDunmarch.h"
#include "support/ScratchDir.h"
#include "support/TestServer.h"
#include "support/VictorySave.h"
#include "support/VirtualDisplay.h"
#include "tools/catalogue/Layouts.h"
#include "tools/catalogue/Online.h"

namespace {

namespace fs = std::filesystem;
namespace layouts = catalogue::layouts;
using menuscript::MenuScript;
using testsupport::BuildDir;
using testsupport::Count;

const char kName[] = "Harrowmere";
const char kEmail[] = "keeper-one@dun-march.org";

// One screenshot per screen, named for the kept PNG.
const char* const kShots[] = {"intro",     "language",  "loading",      "main",    "settings",
                              "help",      "tutorial",  "tutorial-two", "credits", "tournament",
                              "controls",  "battle",    "battle-later", "score",   "submit",
                              "submitted", "continued", "in-game-quit", "victory"};

// The whole way, each step waiting for its screen.
std::string FlowScript() {
    namespace ll = layouts;
    MenuScript script("GERUnPressed", true);
    script.ShotsAfter(6)
        .Shot()  // the main menu with the banner
        .Click(ll::kMainWindow, "Banner")
        .Line("move 100 100", 10)
        .Click(ll::kMainWindow, "Settings")
        .Await("SettingsWindow");
    flowscript::DragSlider(script, "SFX_vol", 0.25f);
    flowscript::DragSlider(script, "Music_vol", 0.75f).Shot().Click(ll::kSettingsWindow, "Back").Await("MainWindow");
    flowscript::VisitTheHelpPages(script);
    // A new battle, undefended, at double speed until the keep falls; its
    // score sent to the test server.
    flowscript::LoseABattle(script, true).Shot();
    flowscript::SubmitScore(script, kName, kEmail, true);
    flowscript::AwaitLine(script, "submit form state: 4")
        .Shot()
        .Click(ll::kSubmitWindow, "OK")
        .Await("MainWindow")
        // The battle saved before the run: paused by Esc, resumed by "No",
        // sped up until it is won, then left by a click on the field.
        .Click(ll::kMainWindow, "Continue")
        .Await("GameState")
        .Shot();
    flowscript::PauseAndResumeTheBattle(script).Line("click " + flowscript::HudButton("DoubleSpeed"), 8);
    flowscript::AwaitLine(script, "battle over: ")
        .Shot()
        .Line("await every 10 512 600 within 600 state entered: MainWindow")
        .Click(ll::kMainWindow, "Quit");
    return script.Text();
}

class WholeFlowRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(gamefolder::Make(root_));
        fs::create_directories(root_.File("bin"));
        // The desktop's opener, recording what it is asked to open.
        root_.Write("bin/xdg-open",
                    "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '" + root_.File("opened") + "'\n");
        fs::permissions(root_.File("bin/xdg-open"), fs::perms::owner_all);
        root_.Write("input.txt", FlowScript());
        // The battle to continue.
        const std::string saved = testsupport::VictorySavegame();
        ASSERT_FALSE(saved.empty());
        fs::copy_file(saved, root_.File("game/savegame.dat"));
    }

    // Plays the script with the test server answering; `display` adds the
    // variables of a windowed run, whose window opens centred on the display,
    // around the X server's own pointer: a pointer outside the window would take
    // the scripted presses away from it. Frames of 66 ms: at double speed the battle
    // then makes four steps a frame, the most it makes.
    void Play(const std::string& display, gamefolder::Window window) {
        window_ = window;
        testsupport::TestServer server;
        ASSERT_TRUE(server.ServeShippedImages(BuildDir() + "/game"));
        const testsupport::ProgramResult run = testsupport::RunDunmarch(
            root_.File("game/"), "-qaf=6000" + window.Options(),
            "XDG_DATA_HOME='" + root_.File("user") + "' DUNMARCH_NET_REDIRECT=" + server.Address() +
                " DUNMARCH_NET_TIMEOUTS=2000,2000,4000 DUNMARCH_FRAME_MS=66 PATH='" + root_.File("bin") +
                "':\"$PATH\" DUNMARCH_INPUT='" + root_.File("input.txt") + "' " + display);
        exit_ = run.exitCode;
        output_ = run.output;
        bannerRequests_ = server.Count(testsupport::TestServer::Route::Image);
        scores_ = server.Scores();
    }

    // Every check of a run; its screenshots are kept as <prefix>-<screen>.png.
    void Check(const std::string& prefix) {
        ASSERT_EQ(exit_, 0) << output_;
        gamefolder::ExpectNoFault(output_);
        std::vector<std::string> states;
        for (const char* state :
             {"IntroWindow",      "LanguageWindow",   "LoadingWindow",  "MainWindow", "SettingsWindow",
              "MainWindow",       "HelpWindow",       "TutorialWindow", "HelpWindow", "CreditsWindow",
              "HelpWindow",       "TournamentWindow", "HelpWindow",     "MainWindow", "ControlsWindow",
              "GameState",        "ScoreWindow",      "SubmitWindow",   "MainWindow", "GameState",
              "InGameQuitWindow", "GameState",        "MainWindow"})
            states.push_back(std::string("[trace] state entered: ") + state + "\n");
        states.push_back("[trace] game shut down");
        testsupport::ExpectInOrder(output_, states);
        EXPECT_EQ(Count(output_, "[trace] state entered: GameState"), 3) << output_;
        // The new battle was lost and left to the score question; the
        // continued one was won after its pause, and left to the main menu
        // (a continued battle has no score to send).
        testsupport::ExpectInOrder(output_,
                                   {"[trace] state entered: ControlsWindow", "[trace] battle over: defeat\n",
                                    "[trace] battle event: EvGameOver\n", "[trace] state entered: ScoreWindow",
                                    "[trace] state entered: InGameQuitWindow", "[trace] battle over: victory\n",
                                    "[trace] battle event: EvBackPressed\n", "[trace] state entered: MainWindow"});
        EXPECT_EQ(Count(output_, "[trace] battle over: "), 2) << output_;
        EXPECT_EQ(Count(output_, "[trace] battle event: EvGameOver"), 1) << output_;

        // The banner came from the server once and its link went to the opener.
        EXPECT_EQ(bannerRequests_, 1);
        EXPECT_EQ(std::string("https://www.dunmarch.invalid/news\n"), root_.Read("opened")) << output_;
        EXPECT_EQ(testsupport::ReadWholeFile(BuildDir() + "/game/" + catalogue::online::kServedBannerFile),
                  root_.Read("user/Dunmarch_DATA/cache/banner.png"));
        // One score reached the server, with the identity typed.
        ASSERT_EQ(scores_.size(), 1u) << output_;
        EXPECT_TRUE(scores_[0].accepted) << scores_[0].failed;
        EXPECT_EQ(scores_[0].name, kName);
        EXPECT_EQ(scores_[0].email, kEmail);
        EXPECT_EQ(Count(output_, "[trace] submit form state: 4"), 1) << output_;
        // "settings.dat": the effects and the music volume after the tag and the version.
        const std::string settings = root_.Read("user/Dunmarch_DATA/settings.dat");
        ASSERT_GE(settings.size(), 16u) << output_;
        float volumes[2] = {0.0f, 0.0f};
        std::memcpy(volumes, settings.data() + 8, sizeof volumes);
        EXPECT_NEAR(volumes[0], 0.25f, 0.02f);
        EXPECT_NEAR(volumes[1], 0.75f, 0.02f);
        // The output took both: the music playing on at the new volume.
        for (const auto& [group, volume] : {std::pair<std::string, float>{"effects", 0.25f}, {"music", 0.75f}}) {
            const std::string line = "[trace] audio volume: " + group + " ";
            const size_t at = output_.rfind(line);
            ASSERT_NE(at, std::string::npos) << line << "\n" << output_;
            float gain = 0.0f, heard = 0.0f;
            int sounds = 0;
            ASSERT_EQ(std::sscanf(output_.c_str() + at + line.size(), "%f, %d sounds at %f", &gain, &sounds, &heard),
                      3);
            EXPECT_NEAR(gain, volume, 0.02f) << group;
            EXPECT_NEAR(heard, volume, 0.02f) << group;
            if (group == "music") {
                EXPECT_GE(sounds, 1);
            }
        }
        // The continued battle used its savegame up; nothing else was saved.
        EXPECT_FALSE(fs::exists(root_.File("game/savegame.dat")));

        const std::vector<std::string> shots = gamefolder::Shots(root_);
        ASSERT_EQ(shots.size(), std::size(kShots)) << output_;
        for (size_t i = 0; i < shots.size(); ++i) {
            const std::vector<uint32_t> pixels =
                gamefolder::Keep(root_, shots[i], prefix + "-" + kShots[i] + ".png", window_);
            // Drawn: far more than a cleared screen's few colours. The intro's
            // clip decodes on its own thread in real time: on a busy machine
            // its first picture may not be there yet, and the screen is black.
            const std::set<uint32_t> colours(pixels.begin(), pixels.end());
            if (std::string(kShots[i]) != "intro") {
                EXPECT_GT(colours.size(), 64u) << kShots[i];
            }
        }
    }

    ScratchDir root_;
    gamefolder::Window window_ = gamefolder::kFullWindow;
    int exit_ = -1;
    std::string output_;
    int bannerRequests_ = 0;
    std::vector<testsupport::TestServer::Score> scores_;
};

TEST_F(WholeFlowRunTest, InAWindow) {
    // An X server of the test's own unless the test runs on a display.
    const char* existing = std::getenv("DISPLAY");
    std::unique_ptr<testsupport::VirtualDisplay> own;
    std::string display = existing != nullptr ? existing : "";
    if (display.empty()) {
        own.reset(new testsupport::VirtualDisplay("1024x768x24"));
        display = own->Display();
    }
    ASSERT_FALSE(display.empty()) << "Xvfb did not start";
    Play("DISPLAY=" + display + " SDL_VIDEODRIVER=x11", gamefolder::kHalfWindow);
    Check("flow-window");
}

TEST_F(WholeFlowRunTest, Headless) {
    Play("", gamefolder::kSmallWindow);
    Check("flow-headless");
}

}  // namespace
