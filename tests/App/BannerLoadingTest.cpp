// The banner at the end of the game's loading: the loading fetches the game's
// one feed against the test server, caches the served image in the per-user
// data folder, and a later loading takes it from there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "Classes/Online/BannerFeed.h"
#include "GameFixture.h"
#include "Graphics/Texture2D.h"
#include "platform/win32/WinInet.h"
#include "support/TestServer.h"
#include "tools/catalogue/Online.h"

namespace {

using testsupport::TestServer;
using Route = TestServer::Route;
namespace online = catalogue::online;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class BannerLoadingTest : public GameTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GameTest::SetUp());
        game_->RunInitialize();
    }
    void TearDown() override {
        platform::SetNetRedirect("");
        GameTest::TearDown();
    }
    std::string CacheFile() const { return user_data_.File("Dunmarch_DATA/cache/banner.png"); }
};

TEST_F(BannerLoadingTest, TheLoadingFetchesAndCachesTheBannerAndALaterOneReadsTheCache) {
    std::unique_ptr<TestServer> server(new TestServer);
    ASSERT_TRUE(server->ServeShippedImages(game_dir_));
    platform::SetNetRedirect(server->Address());

    RunLoading();
    const BannerFeed& feed = TheBannerFeed();
    EXPECT_EQ("https://www.dunmarch.invalid/news", feed.GetLink());
    ASSERT_TRUE(feed.GetImage());
    EXPECT_EQ(float(online::kServedImageWidth), feed.GetImage()->GetImageSize().x);
    EXPECT_EQ(float(online::kServedImageHeight), feed.GetImage()->GetImageSize().y);
    EXPECT_EQ(ReadFile(game_dir_ + "/" + online::kServedBannerFile), ReadFile(CacheFile()));
    EXPECT_EQ(1, server->Count(Route::Link));
    EXPECT_EQ(1, server->Count(Route::Name));
    EXPECT_EQ(1, server->Count(Route::Image));
    EXPECT_EQ(0, server->Count(Route::Fallback));

    // The next run downloads nothing and still has the banner.
    RunLoading();
    EXPECT_TRUE(feed.GetImage());
    EXPECT_EQ(1, server->Count(Route::Image));
    EXPECT_EQ(2, server->Count(Route::Name));

    // With the server gone nothing is had: no link, so the menu shows no banner.
    server.reset();
    RunLoading();
    EXPECT_TRUE(feed.GetLink().empty());
    EXPECT_FALSE(feed.GetImage());
    EXPECT_TRUE(std::filesystem::exists(CacheFile()));
}

}  // namespace
