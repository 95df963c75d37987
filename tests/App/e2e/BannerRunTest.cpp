// The banner in the real game: dunmarch, run headless in a game folder of its
// own with a per-user data folder of its own and its requests sent to the test
// server, fetches the banner at the end of its loading and caches it; the next
// run downloads nothing, and a run without the server still reaches the menu.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "App/LayoutClicks.h"
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

std::string BuildDir() {
    const char* dir = std::getenv("DM_BUILD_DIR");
    return dir ? dir : "";
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class BannerRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string game = BuildDir() + "/game";
        ASSERT_TRUE(fs::exists(game + "/config.xml")) << "build the sample_data target";
        fs::create_directories(root_.File("game"));
        fs::create_directories(root_.File("user"));
        fs::copy_file(game + "/dunmarch", root_.File("game/dunmarch"));
        for (const char* entry : {"config.xml", "res-pc", "res-common"})
            fs::create_symlink(game + "/" + entry, root_.File("game/") + entry);
        fs::create_directory_symlink(BuildDir() + "/Data", root_.File("Data"));
        // English, without the language window; Esc cuts the intro short and
        // "Start" is clicked until the main menu is there.
        root_.Write("game/registry.ini", "LANGUAGE=0\n");
        root_.Write("input.txt", "1 key Esc\n"
                                 "1 await state entered: LoadingWindow\n"
                                 "2 await every 10 " +
                                     layoutclicks::CentreOf(layouts::kLoadingWindow, "Start") +
                                     " within 1500 state entered: MainWindow\n");
        served_ = ReadFile(game + "/" + catalogue::online::kServedBannerFile);
        ASSERT_FALSE(served_.empty());
    }

    // One run to the main menu with requests sent to the address.
    int Run(const std::string& address) {
        const testsupport::ProgramResult result = testsupport::RunDunmarch(
            root_.File("game/"), "-qaf=200",
            "XDG_DATA_HOME='" + root_.File("user") + "' DUNMARCH_NET_REDIRECT=" + address +
                " DUNMARCH_NET_TIMEOUTS=2000,2000,4000 DUNMARCH_INPUT='" + root_.File("input.txt") + "'");
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
        EXPECT_EQ(served_, ReadFile(CacheFile()));

        ASSERT_EQ(0, Run(server.Address())) << output_;
        EXPECT_EQ(2, server.Count(Route::Name));
        EXPECT_EQ(1, server.Count(Route::Image)) << "nothing downloaded again";
    }
    // The server stopped: the loading ends all the same and the cache stays.
    ASSERT_EQ(0, Run("127.0.0.1:" + std::to_string(testsupport::ClosedLoopbackPort()))) << output_;
    EXPECT_EQ(1, Count(output_, "[trace] state entered: MainWindow")) << output_;
    EXPECT_EQ(served_, ReadFile(CacheFile()));
}

}  // namespace
