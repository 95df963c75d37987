// Runs the dunmarch program headless on the sample data: the whole start-up
// and shutdown of the game, an input script asking for a screenshot, one that
// does not parse, the way from the intro through the language choice and the
// loading screen to the main menu (with the cursor at the pointer), a window
// wider than the game's screen (on an X server of the test's own), broken or
// missing effect files, a termination request while a message box is open, the
// menus into a battle and out of it, and a saved battle continued.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/RunDunmarch.h"
#include "support/ScratchDir.h"
#include "support/Screenshot.h"
#include "support/VirtualDisplay.h"
#include "App/LayoutClicks.h"
#include "App/MenuScript.h"
#include "FlowScript.h"
#include "GameFolder.h"
#include "tools/catalogue/Layouts.h"

namespace {

namespace fs = std::filesystem;
using testsupport::Count;
using testsupport::ExpectInOrder;

using testsupport::BuildDir;

uint32_t Read(const std::string& bytes, size_t offset, int n) {
    uint32_t value = 0;
    for (int i = n - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

namespace layouts = catalogue::layouts;

using layoutclicks::CentreOf;
using menuscript::MenuScript;
using menuscript::StartUntilTheMainMenu;

class GameRunTest : public ::testing::Test {
protected:
    // A game folder of its own: the program and links to the sample data, so
    // the screenshot lands here; the per-user data folder is a scratch one.
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(gamefolder::Make(root_)); }

    std::string GameDir() const { return root_.File("game/"); }

    int Run(const std::string& arguments, const std::string& environment = "") {
        const testsupport::ProgramResult result =
            testsupport::RunDunmarch(GameDir(), arguments, "XDG_DATA_HOME='" + root_.File("user") + "' " + environment);
        output_ = result.output;
        return result.exitCode;
    }

    // The game folder's uber effect becomes these bytes, or goes (null); the
    // other shaders and resources stay links to the sample data.
    void ReplaceUberEffect(const char* bytes) {
        const std::string game = BuildDir() + "/game/res-pc";
        const fs::path resources = GameDir() + "res-pc";
        fs::remove(resources);
        fs::create_directories(resources / "Shaders");
        for (const fs::directory_entry& e : fs::directory_iterator(game))
            if (e.path().filename() != "Shaders")
                fs::create_directory_symlink(e.path(), resources / e.path().filename());
        for (const fs::directory_entry& e : fs::directory_iterator(game + "/Shaders"))
            if (e.path().filename() != "UberGraphicsDevice.fxo")
                fs::create_symlink(e.path(), resources / "Shaders" / e.path().filename());
        if (bytes) root_.Write("game/res-pc/Shaders/UberGraphicsDevice.fxo", bytes);
    }

    std::vector<std::string> Shots() const { return gamefolder::Shots(root_); }
    std::vector<uint32_t> ShotPixels(const std::string& shot) const {
        return gamefolder::Pixels(root_.Read("game/" + shot), 1024, 768);
    }
    // Kept as build/screenshots/<name> for a person to look at.
    void Keep(const std::string& shot, const std::string& name) const { gamefolder::Keep(root_, shot, name); }
    void ExpectNoFault() const { gamefolder::ExpectNoFault(output_); }

    ScratchDir root_;
    std::string output_;
};

TEST_F(GameRunTest, StartsEveryServiceRunsElevenFramesAndShutsDownInOrder) {
    ASSERT_EQ(Run("-qaf=10"), 0) << output_;
    EXPECT_EQ(Count(output_, "[trace] frame presented"), 11) << output_;
    ExpectInOrder(output_, {
                               "[trace] game created",
                               "[trace] window created",
                               "[trace] Direct3D device created",
                               "[trace] audio device opened",
                               "[trace] in-game window created",
                               "[trace] in-game window initialised",
                               "[trace] state entered: IntroWindow",
                               "[trace] game initialised",
                               "[trace] frame presented",
                               "[trace] state left: IntroWindow",
                               "[trace] in-game window shut down",
                               "[trace] in-game window deleted",
                               "[trace] audio device shut down",
                               "[trace] game shut down",
                               "[trace] Direct3D device released",
                               "[trace] window destroyed",
                               "[trace] game deleted",
                           });
    // The sound output opened on the null driver, once.
    EXPECT_EQ(Count(output_, "[trace] audio device opened"), 1) << output_;
    EXPECT_EQ(Count(output_, "no output device"), 0) << output_;
    // Nothing asked for a missing service, failed a check or failed to load.
    ExpectNoFault();
}

TEST_F(GameRunTest, AnInputScriptAsksForOneScreenshot) {
    root_.Write("input.txt", "# the intro's fifth frame\n5 shot\n");
    ASSERT_EQ(Run("-qaf=10", "DUNMARCH_INPUT='" + root_.File("input.txt") + "'"), 0) << output_;
    std::vector<fs::path> shots;
    for (const fs::directory_entry& e : fs::directory_iterator(GameDir()))
        if (e.path().extension() == ".bmp") shots.push_back(e.path());
    ASSERT_EQ(shots.size(), 1u) << output_;
    const std::string bmp = root_.Read("game/" + shots[0].filename().string());
    ASSERT_EQ(bmp.size(), 54u + 1024u * 768u * 3u);
    ASSERT_EQ(Read(bmp, 28, 2), 24u);
    EXPECT_EQ(Count(output_, "[trace] frame presented"), 11) << output_;
    ExpectInOrder(output_, {"[trace] state entered: IntroWindow", "[trace] frame presented",
                            "[trace] state left: IntroWindow", "[trace] game shut down"});
}

TEST_F(GameRunTest, AnInputScriptThatDoesNotParseEndsTheProgramBeforeItsFirstFrame) {
    root_.Write("input.txt", "1 click 10 10\n\n3 clack 10 10\n");
    EXPECT_NE(Run("-qaf=10", "DUNMARCH_INPUT='" + root_.File("input.txt") + "'"), 0) << output_;
    EXPECT_EQ(Count(output_, "input script: line 3: unknown command: clack 10 10"), 1) << output_;
    EXPECT_EQ(Count(output_, "[trace] frame presented"), 0) << output_;
    EXPECT_EQ(Count(output_, "[trace] game created"), 0) << output_;
}

// No language stored: Space cuts the intro short, the player picks German, the
// loading screen loads everything by turns, "Start" (clicked until it answers)
// leads to the main menu.
TEST_F(GameRunTest, TheLanguageChosenLeadsThroughTheLoadingScreenToTheMainMenu) {
    root_.Write("input.txt",
                "1 key Space\n"
                "1 await state entered: LanguageWindow\n"
                "15 shot\n"
                "16 click " +
                    CentreOf(layouts::kLanguageWindow, "GERUnPressed") +
                    "\n"
                    "17 await state entered: LoadingWindow\n"
                    "27 shot\n" +
                    StartUntilTheMainMenu(27) + "42 shot\n");
    // The loading takes one frame a step, well under a hundred with the sample data.
    ASSERT_EQ(Run("-qaf=150", "DUNMARCH_INPUT='" + root_.File("input.txt") + "'"), 0) << output_;
    ExpectInOrder(output_, {"[trace] state entered: IntroWindow", "[trace] state left: IntroWindow",
                            "[trace] state entered: LanguageWindow", "[trace] state left: LanguageWindow",
                            "[trace] state entered: LoadingWindow", "[trace] state left: LoadingWindow",
                            "[trace] state entered: MainWindow", "[trace] game shut down"});
    EXPECT_EQ(Count(output_, " READ IN"), 0) << output_;
    ExpectNoFault();
    const std::vector<std::string> shots = Shots();
    ASSERT_EQ(shots.size(), 3u) << output_;
    Keep(shots[0], "language-window.png");
    Keep(shots[1], "loading-window.png");
    Keep(shots[2], "main-window-german.png");
}

// The registry names Russian: its line, no language window, the Russian loading
// screen, the main menu.
TEST_F(GameRunTest, TheRegistrysLanguageSkipsTheLanguageWindow) {
    root_.Write("game/registry.ini", "LANGUAGE=5\n");
    root_.Write("input.txt",
                "1 key Esc\n"
                "1 await state entered: LoadingWindow\n"
                "11 shot\n" +
                    StartUntilTheMainMenu(11) + "26 shot\n");
    ASSERT_EQ(Run("-qaf=130", "DUNMARCH_INPUT='" + root_.File("input.txt") + "'"), 0) << output_;
    EXPECT_EQ(Count(output_, "UI: RUSSICHE READ IN"), 1) << output_;
    EXPECT_EQ(Count(output_, "state entered: LanguageWindow"), 0) << output_;
    ExpectInOrder(output_,
                  {"[trace] state entered: IntroWindow", "UI: RUSSICHE READ IN", "[trace] state entered: LoadingWindow",
                   "[trace] state entered: MainWindow", "[trace] game shut down"});
    ExpectNoFault();
    const std::vector<std::string> shots = Shots();
    ASSERT_EQ(shots.size(), 2u) << output_;
    Keep(shots[0], "loading-window-russian.png");
    Keep(shots[1], "main-window-russian.png");
}

// Two runs with the pointer at two places off every button of the language
// window: their shots differ only where the arrow is drawn, 32 x 32 at each.
TEST_F(GameRunTest, TheLanguageWindowDrawsTheArrowAtThePointer) {
    const int places[2][2] = {{100, 640}, {880, 620}};
    std::vector<std::vector<uint32_t>> shots;
    for (const auto& place : places) {
        for (const std::string& shot : Shots()) fs::remove(GameDir() + shot);
        const std::string at = std::to_string(place[0]) + " " + std::to_string(place[1]);
        root_.Write("input.txt",
                    "1 key Space\n"
                    "1 await state entered: LanguageWindow\n"
                    "5 move " +
                        at +
                        "\n"
                        "15 shot\n");
        ASSERT_EQ(Run("-qaf=25", "DUNMARCH_INPUT='" + root_.File("input.txt") + "'"), 0) << output_;
        ExpectNoFault();
        ASSERT_EQ(Shots().size(), 1u) << output_;
        shots.push_back(ShotPixels(Shots()[0]));
        ASSERT_EQ(shots.back().size(), 1024u * 768u);
    }
    const auto inArrow = [&](int x, int y) {
        for (const auto& place : places)
            if (x >= place[0] - 1 && x <= place[0] + 32 && y >= place[1] - 1 && y <= place[1] + 32) return true;
        return false;
    };
    int inside = 0, outside = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            if (shots[0][size_t(y) * 1024 + x] == shots[1][size_t(y) * 1024 + x]) continue;
            if (inArrow(x, y)) ++inside;
            else if (++outside <= 5) ADD_FAILURE() << "differs at " << x << ", " << y;
        }
    EXPECT_EQ(outside, 0);
    // Both arrows are there.
    EXPECT_GT(inside, 2 * 100);
}

// The 1024 x 768 screen is stretched over a 1280 x 720 window: the viewport
// and every draw are accepted and the screenshot has the window's size. (The
// intro selects no cursor before its language choice, so the frame is black.)
TEST_F(GameRunTest, AWiderWindowTakesEveryDrawAndIsCapturedWhole) {
    // Without a window manager the window sits at (0, 0).
    testsupport::VirtualDisplay display("2400x1000x24");
    ASSERT_FALSE(display.Display().empty()) << "Xvfb did not start";
    ASSERT_EQ(Run("-width=1280 -height=720 -posx=0 -posy=0 -qaf=10 -c=10",
                  "DISPLAY=" + display.Display() + " SDL_VIDEODRIVER=x11"),
              0)
        << output_;
    EXPECT_EQ(Count(output_, "d3d9:"), 0) << "no viewport or draw refused\n" << output_;
    const std::string bmp = root_.Read("game/ShellBase0000.bmp");
    ASSERT_EQ(bmp.size(), 54u + 1280u * 720u * 3u) << output_;
    EXPECT_EQ(Read(bmp, 18, 4), 1280u);
    EXPECT_EQ(Read(bmp, 22, 4), 720u);
}

TEST_F(GameRunTest, AMissingEffectFileIsNamedOnceAndTheDrawsItRefusesOnce) {
    ReplaceUberEffect(nullptr);
    ASSERT_EQ(Run("-qaf=20"), 0) << output_;
    EXPECT_EQ(Count(output_, "[trace] frame presented"), 21) << output_;
    EXPECT_EQ(Count(output_, "Effect file res-pc/Shaders/UberGraphicsDevice.fxo is missing or unreadable.\n"), 1)
        << output_;
    EXPECT_EQ(Count(output_, "SHADER COMPILER ERROR"), 0) << output_;
    EXPECT_EQ(Count(output_, "no shader program is set"), 1) << output_;
}

// The shader error's box is open (a dialog tool that never returns stands in
// for the desktop's) when SIGTERM comes: the box goes, start-up ends and the
// program shuts down in order.
TEST_F(GameRunTest, ATerminationRequestEndsTheProgramWhileItsMessageBoxIsOpen) {
    ReplaceUberEffect("\x01\x02 not an effect");
    fs::copy_file(BuildDir() + "/game/dunmarch-messagebox", GameDir() + "dunmarch-messagebox");
    fs::create_directories(root_.File("bin"));
    root_.Write("bin/zenity", "#!/bin/sh\necho $$ > '" + root_.File("box.pid") + "'\nexec sleep 600\n");
    fs::permissions(root_.File("bin/zenity"), fs::perms::owner_all);

    // No display and no headless switch: the box is shown, through the dialog tool.
    const std::string command = "cd '" + GameDir() +
                                "' && exec env -u DISPLAY -u WAYLAND_DISPLAY -u CI -u DUNMARCH_HEADLESS PATH='" +
                                root_.File("bin") + ":" + std::getenv("PATH") +
                                "' SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null DUNMARCH_TRACE=1 XDG_DATA_HOME='" +
                                root_.File("user") + "' ./dunmarch > '" + root_.File("output.txt") + "' 2>&1";
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    pid_t game = -1;
    ASSERT_EQ(posix_spawn(&game, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ), 0);
    const auto waitFor = [](const std::function<bool()>& done, int seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        for (;;) {
            if (done()) return true;
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    };
    const bool opened = waitFor([&] { return !root_.Read("box.pid").empty(); }, 120);
    kill(game, SIGTERM);
    int status = 0;
    const bool ended = waitFor([&] { return waitpid(game, &status, WNOHANG) == game; }, 60);
    if (!ended) {
        kill(game, SIGKILL);
        waitpid(game, &status, 0);
    }
    output_ = root_.Read("output.txt");
    ASSERT_TRUE(opened) << "the box never opened\n" << output_;
    ASSERT_TRUE(ended) << "the program went on\n" << output_;
    EXPECT_TRUE(WIFEXITED(status)) << output_;

    // The box's text stays on the output, and its dialog is gone.
    EXPECT_EQ(Count(output_, "SHADER COMPILER ERROR: res-pc/Shaders/UberGraphicsDevice.fxo: effect("), 1) << output_;
    const std::string box = root_.Read("box.pid");
    std::string state;
    std::ifstream("/proc/" + box.substr(0, box.find('\n')) + "/stat") >> state >> state >> state;
    EXPECT_TRUE(state.empty() || state == "Z") << "the dialog runs on: " << state;
    if (!state.empty() && state != "Z") kill(std::stoi(box), SIGKILL);
    ExpectInOrder(output_, {
                               "[trace] window created",
                               "[trace] Direct3D device created",
                               "[trace] game initialised",
                               "[trace] audio device shut down",
                               "[trace] game shut down",
                               "[trace] Direct3D device released",
                               "[trace] window destroyed",
                               "[trace] game deleted",
                           });
}

// The way through the menus into a battle and out of it, with taps (a press
// and its release within one frame, as a touchpad's or a quick key's) where a
// slow machine's long frames would otherwise lose them: the intro skipped by a
// Space tap, the settings with the effects volume dragged to a quarter, the
// credits and the help window left by Esc taps, the controls, an archer bought
// by taps on a spot and on the purchase row, the battle paused and resumed by
// Esc taps, then paused by Esc, resumed by "No", paused again and left by
// "Yes", and "Quit".
TEST_F(GameRunTest, TheMenusLeadIntoABattleThatPausesResumesAndIsLeft) {
    namespace ll = layouts;
    MenuScript script("ENGUnPressed", false, "keytap Space");
    script.Shot().Click(ll::kMainWindow, "Settings").Await("SettingsWindow").Shot();
    flowscript::DragSlider(script, "SFX_vol", 0.25f).Click(ll::kSettingsWindow, "Back").Await("MainWindow");
    flowscript::LeaveTheCreditsByEscTaps(script);
    flowscript::EnterABattle(script, true);
    flowscript::PauseAndResumeTheBattleByEscTaps(flowscript::BuyAnArcherByTaps(script));
    flowscript::QuitTheBattleAndTheGame(flowscript::PauseAndResumeTheBattle(script), 10);
    root_.Write("input.txt", script.Text());
    ASSERT_EQ(Run("-qaf=3000", "DUNMARCH_INPUT='" + root_.File("input.txt") + "'"), 0) << output_;

    ExpectInOrder(output_, {"[trace] state entered: IntroWindow",       "[trace] state entered: LanguageWindow",
                            "[trace] state entered: LoadingWindow",     "[trace] state entered: MainWindow",
                            "[trace] state entered: SettingsWindow",    "[trace] state entered: MainWindow",
                            "[trace] state entered: HelpWindow",        "[trace] state entered: CreditsWindow",
                            "[trace] state entered: HelpWindow",        "[trace] state entered: MainWindow",
                            "[trace] state entered: ControlsWindow",    "[trace] state entered: GameState",
                            "[trace] defender bought: Archer at spot ", "[trace] state entered: InGameQuitWindow",
                            "[trace] state entered: GameState",         "[trace] state entered: InGameQuitWindow",
                            "[trace] state entered: GameState",         "[trace] state entered: InGameQuitWindow",
                            "[trace] state entered: MainWindow",        "[trace] game shut down"});
    EXPECT_EQ(Count(output_, "[trace] state entered: GameState"), 3) << output_;
    EXPECT_EQ(Count(output_, "[trace] state entered: MainWindow"), 4) << output_;
    EXPECT_EQ(Count(output_, "[trace] defender bought: "), 1) << output_;
    ExpectNoFault();

    // "settings.dat": the effects volume after the tag and the version.
    const std::string settings = root_.Read("user/Dunmarch_DATA/settings.dat");
    ASSERT_GE(settings.size(), 16u) << output_;
    float volume = 0.0f;
    std::memcpy(&volume, settings.data() + 8, sizeof volume);
    EXPECT_NEAR(volume, 0.25f, 0.02f);

    const std::vector<std::string> shots = Shots();
    const char* const names[] = {"main-window.png", "settings-window.png", "controls-window.png", "battle.png",
                                 "in-game-quit-window.png"};
    ASSERT_EQ(shots.size(), 5u) << output_;
    for (size_t i = 0; i < shots.size(); ++i) Keep(shots[i], names[i]);
}

// A battle saved by the battle driver: "Continue" in the main menu restores it
// into the battle state and uses the savegame up.
TEST_F(GameRunTest, ContinueInTheMainMenuRestoresTheSavedBattle) {
    fs::copy_file(BuildDir() + "/game/dunmarch-battle", GameDir() + "dunmarch-battle");
    const testsupport::ProgramResult saving = testsupport::RunGameProgram(GameDir(), "dunmarch-battle", "--save-at 300",
                                                                          "XDG_DATA_HOME='" + root_.File("user") + "'");
    ASSERT_EQ(saving.exitCode, 0) << saving.output;
    ASSERT_TRUE(fs::exists(GameDir() + "savegame.dat"));

    MenuScript script;
    flowscript::QuitTheBattleAndTheGame(script.Click(layouts::kMainWindow, "Continue").Await("GameState").Shot());
    root_.Write("input.txt", script.Text());
    ASSERT_EQ(Run("-qaf=3000", "DUNMARCH_INPUT='" + root_.File("input.txt") + "'"), 0) << output_;
    ExpectInOrder(output_, {"[trace] state entered: MainWindow", "[trace] state left: MainWindow",
                            "[trace] state entered: GameState", "[trace] state entered: InGameQuitWindow",
                            "[trace] state entered: MainWindow", "[trace] game shut down"});
    EXPECT_FALSE(fs::exists(GameDir() + "savegame.dat"));
    ExpectNoFault();
    const std::vector<std::string> shots = Shots();
    ASSERT_EQ(shots.size(), 1u) << output_;
    Keep(shots[0], "continued-battle.png");
}

}  // namespace
