// The banner in the real game: dunmarch, run headless in a game folder of its
// own with a per-user data folder of its own and its requests sent to the test
// server, fetches the banner at the end of its loading and caches it; the next
// run downloads nothing, a run without the server still reaches the menu, and a
// server that trickles its reply neither stops the frames nor holds up a close.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "App/LayoutClicks.h"
#include "FlowScript.h"
#include "GameFolder.h"
#include "support/RunDunmarch.h"
#include "support/ScratchDir.h"
#include "support/TestServer.h"
#include "tools/catalogue/Layouts.h"
#include "tools/catalogue/Online.h"

namespace {

namespace fs = std::filesystem;
using testsupport::Count;
using testsupport::TestServer;
using Route = TestServer::Route;
namespace layouts = catalogue::layouts;

using testsupport::BuildDir;

class BannerRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string game = BuildDir() + "/game";
        ASSERT_NO_FATAL_FAILURE(gamefolder::Make(root_));
        ASSERT_TRUE(fs::exists(root_.File("Data")));
        // English, without the language window; Esc cuts the intro short and
        // "Start" is clicked until the main menu is there.
        root_.Write("game/registry.ini", "LANGUAGE=0\n");
        root_.Write("input.txt",
                    "1 key Esc\n"
                    "1 await state entered: LoadingWindow\n"
                    "2 await every 10 " +
                        layoutclicks::CentreOf(layouts::kLoadingWindow, "Start") +
                        " within 1500 state entered: MainWindow\n");
        served_ = testsupport::ReadWholeFile(game + "/" + catalogue::online::kServedBannerFile);
        ASSERT_FALSE(served_.empty());
    }

    // One run to the main menu with requests sent to the address.
    int Run(const std::string& address, const std::string& environment = "", int frames = 260,
            gamefolder::Window window = gamefolder::kSmallWindow) {
        const testsupport::ProgramResult result =
            testsupport::RunDunmarch(root_.File("game/"), "-qaf=" + std::to_string(frames) + window.Options(),
                                     "XDG_DATA_HOME='" + root_.File("user") + "' DUNMARCH_NET_REDIRECT=" + address +
                                         " DUNMARCH_NET_TIMEOUTS=2000,2000,4000 DUNMARCH_INPUT='" +
                                         root_.File("input.txt") + "' " + environment);
        output_ = result.output;
        return result.exitCode;
    }

    std::string CacheFile() const { return root_.File("user/Dunmarch_DATA/cache/banner.png"); }

    ScratchDir root_;
    std::string served_;
    std::string output_;
};

TEST_F(BannerRunTest, TheLoadingCachesTheBannerOnceAndTheMenuComesWithoutTheServer) {
    {
        TestServer server;
        ASSERT_TRUE(server.ServeShippedImages(BuildDir() + "/game"));
        ASSERT_EQ(0, Run(server.Address())) << output_;
        EXPECT_EQ(1, Count(output_, "[trace] state entered: MainWindow")) << output_;
        EXPECT_EQ(1, server.Count(Route::Link));
        EXPECT_EQ(1, server.Count(Route::Name));
        EXPECT_EQ(1, server.Count(Route::Image));
        EXPECT_EQ(0, server.Count(Route::Fallback));
        EXPECT_EQ(served_, testsupport::ReadWholeFile(CacheFile()));

        ASSERT_EQ(0, Run(server.Address())) << output_;
        EXPECT_EQ(2, server.Count(Route::Name));
        EXPECT_EQ(1, server.Count(Route::Image)) << "nothing downloaded again";
    }
    // The server stopped: the loading ends all the same and the cache stays.
    ASSERT_EQ(0, Run("127.0.0.1:" + std::to_string(testsupport::ClosedLoopbackPort()))) << output_;
    EXPECT_EQ(1, Count(output_, "[trace] state entered: MainWindow")) << output_;
    EXPECT_EQ(served_, testsupport::ReadWholeFile(CacheFile()));
}

// The server answers the link request with its head and then a byte every 10 s. While
// the loading waits for it, the loading screen keeps drawing frames, and a close
// request (SIGTERM, the window's close) has the game shut down within a second, in
// order; the device, the window and the process follow (slower on a loaded machine).
TEST_F(BannerRunTest, ATricklingServerNeitherStopsTheFramesNorHoldsUpAClose) {
    using Clock = std::chrono::steady_clock;
    TestServer server;
    ASSERT_TRUE(server.ServeShippedImages(BuildDir() + "/game"));
    server.SetDripMs(10000);
    server.SetFault(Route::Link, TestServer::Fault::Drip);
    root_.Write("input.txt", "1 key Esc\n");
    const std::string output = root_.File("output.txt");
    // exec: the signal reaches the game itself, not a shell.
    const std::string command = "cd '" + root_.File("game/") +
                                "' && exec env SDL_VIDEODRIVER=offscreen DUNMARCH_HEADLESS=1 ALSOFT_DRIVERS=null "
                                "DUNMARCH_TRACE=1 XDG_DATA_HOME='" +
                                root_.File("user") + "' DUNMARCH_NET_REDIRECT=" + server.Address() +
                                " DUNMARCH_INPUT='" + root_.File("input.txt") + "' ./dunmarch -qaf=1000000 > '" +
                                output + "' 2>&1";
    const pid_t game = fork();
    ASSERT_GE(game, 0);
    if (game == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    auto frames = [&] { return Count(testsupport::ReadWholeFile(output), "[trace] frame presented"); };

    const bool fetching = server.WaitForCount(Route::Link, 1, 60000);
    EXPECT_TRUE(fetching) << testsupport::ReadWholeFile(output);
    const int atFetch = frames();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_GE(frames() - atFetch, 5) << testsupport::ReadWholeFile(output);

    kill(game, SIGTERM);
    const Clock::time_point closed = Clock::now();
    Clock::duration shutDown = Clock::duration::max();
    int status = 0;
    pid_t ended = 0;
    while ((ended = waitpid(game, &status, WNOHANG)) == 0 && Clock::now() - closed < std::chrono::seconds(20)) {
        if (shutDown == Clock::duration::max() &&
            Count(testsupport::ReadWholeFile(output), "[trace] game shut down") == 1)
            shutDown = Clock::now() - closed;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (ended == 0) {
        kill(game, SIGKILL);
        waitpid(game, &status, 0);
    }
    output_ = testsupport::ReadWholeFile(output);
    // Ended before the line was looked for: at most that long.
    if (shutDown == Clock::duration::max() && ended != 0 && Count(output_, "[trace] game shut down") == 1)
        shutDown = Clock::now() - closed;
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(shutDown).count(), 1000) << output_;
    EXPECT_NE(0, ended) << "the process did not end";
    ASSERT_TRUE(WIFEXITED(status)) << output_;
    EXPECT_EQ(0, WEXITSTATUS(status)) << output_;
    EXPECT_EQ(1, Count(output_, "[trace] game shut down")) << output_;
    EXPECT_EQ(0, Count(output_, "[trace] state entered: MainWindow")) << output_;
}

// The main menu shows the served banner in its "Banner" element and hands the
// served link to the opener (one argument) when it is pressed; the recording
// opener fails, and the reaper says so. Without the server the element keeps
// its own picture.
TEST_F(BannerRunTest, TheMainMenuShowsTheBannerAndOpensItsLink) {
    namespace online = catalogue::online;
    fs::create_directories(root_.File("bin"));
    root_.Write("bin/xdg-open", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '" +
                                    root_.File("opened") + "'\nexit 3\n");
    fs::permissions(root_.File("bin/xdg-open"), fs::perms::owner_all);
    root_.Write("input.txt", root_.Read("input.txt") + "40 shot\n42 click " +
                                 layoutclicks::CentreOf(layouts::kMainWindow, "Banner") + "\n");
    const std::string path = "PATH='" + root_.File("bin") + "':\"$PATH\"";
    const layouts::Rect banner = layouts::FindWindow(layouts::kMainWindow)->At("Banner");
    // Field points of the served banner, away from its keep and shields.
    const int points[][2] = {{80, 10}, {90, 52}, {240, 30}};
    auto servedField = [&](const std::string& bmp) {
        const std::vector<uint32_t> pixels = gamefolder::Pixels(bmp, 1024, 768);
        if (pixels.empty()) return false;
        int found = 0;
        for (const auto& p : points) {
            const uint32_t pixel = pixels[size_t(banner.y + p[1]) * 1024 + size_t(banner.x + p[0])];
            const int rgb[3] = {int(pixel >> 16 & 0xFF), int(pixel >> 8 & 0xFF), int(pixel & 0xFF)};
            bool near = true;
            for (int c = 0; c < 3; ++c) near = near && std::abs(rgb[c] - online::kServedBannerField[c]) <= 12;
            found += near ? 1 : 0;
        }
        return found == 3;
    };
    auto lastShot = [&] {
        std::string last;
        for (const fs::directory_entry& e : fs::directory_iterator(root_.File("game")))
            if (e.path().extension() == ".bmp") last = std::max(last, e.path().filename().string());
        const std::string bmp = last.empty() ? std::string() : root_.Read("game/" + last);
        if (!last.empty()) fs::remove(root_.File("game/" + last));
        return bmp;
    };

    {
        TestServer server;
        ASSERT_TRUE(server.ServeShippedImages(BuildDir() + "/game"));
        ASSERT_EQ(0, Run(server.Address(), path, 260, gamefolder::kFullWindow)) << output_;
        EXPECT_TRUE(servedField(lastShot())) << output_;
        EXPECT_EQ(std::string("https://www.dunmarch.invalid/news\n"), testsupport::ReadWholeFile(root_.File("opened")))
            << output_;
        EXPECT_EQ(1, Count(output_, "xdg-open: exited with status 3, the web page was not opened\n")) << output_;
    }
    ASSERT_EQ(0,
              Run("127.0.0.1:" + std::to_string(testsupport::ClosedLoopbackPort()), path, 260, gamefolder::kFullWindow))
        << output_;
    EXPECT_FALSE(servedField(lastShot())) << output_;
}

// A battle left to end in defeat, its score sent from the form: the server
// decodes the map, the typed name and address, the battle's score (the
// battle driver replays the sent demo to the same score) and the demo. With
// the server stopped the form shows the failure and the reason is printed.
TEST_F(BannerRunTest, TheFormSendsTheLostBattlesScoreAndReportsAStoppedServer) {
    // The language window comes first: the form is typed into in English.
    fs::remove(root_.File("game/registry.ini"));
    const auto script = [&](int state) {
        menuscript::MenuScript menu;
        flowscript::LoseABattle(menu);
        // The second time the form comes filled with what the first one sent.
        if (state == 4) flowscript::SubmitScore(menu, "Keeper", "keeper-one@dun-march.org");
        else menu.Click(layouts::kScoreWindow, "Yes").Await("SubmitWindow").Click(layouts::kSubmitWindow, "Submit");
        return flowscript::AwaitLine(menu, "submit form state: " + std::to_string(state))
            .Click(layouts::kSubmitWindow, state == 4 ? "OK" : "Cancel")
            .Await("MainWindow")
            .Click(layouts::kMainWindow, "Quit")
            .Text();
    };
    std::string address;
    {
        TestServer server;
        ASSERT_TRUE(server.ServeShippedImages(BuildDir() + "/game"));
        address = server.Address();
        root_.Write("input.txt", script(4));
        ASSERT_EQ(0, Run(address, "", 12000)) << output_;
        EXPECT_EQ(1, Count(output_, "[trace] submit form state: 4")) << output_;
        const std::vector<TestServer::Score> scores = server.Scores();
        ASSERT_EQ(scores.size(), 1u) << output_;
        const TestServer::Score& sent = scores[0];
        EXPECT_TRUE(sent.accepted) << sent.failed;
        EXPECT_EQ(sent.map, "Harrowmere");
        EXPECT_EQ(sent.name, "Keeper");
        EXPECT_EQ(sent.email, "keeper-one@dun-march.org");
        ASSERT_GE(sent.demo.size(), 4u);
        EXPECT_EQ(sent.demo.substr(0, 4), std::string("DEM\0", 4));

        // The battle driver replays the demo to the score that was sent.
        fs::copy_file(BuildDir() + "/game/dunmarch-battle", root_.File("game/dunmarch-battle"));
        root_.Write("game/sent.dem", sent.demo);
        const testsupport::ProgramResult replay = testsupport::RunGameProgram(
            root_.File("game/"), "dunmarch-battle", "--no-particles --demo sent.dem --until-end",
            "XDG_DATA_HOME='" + root_.File("user") + "'");
        ASSERT_EQ(replay.exitCode, 0) << replay.output;
        EXPECT_EQ(1, Count(replay.output, " score " + std::to_string(sent.score) + " ")) << replay.output;
    }
    // The server has stopped: its port refuses.
    root_.Write("input.txt", script(5));
    ASSERT_EQ(0, Run(address, "", 12000)) << output_;
    EXPECT_EQ(1, Count(output_, "[trace] submit form state: 5")) << output_;
    EXPECT_EQ(1, Count(output_, "Error connecting to server (3)")) << output_;
}

}  // namespace
