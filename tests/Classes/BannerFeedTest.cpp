// The banner feed against the test server, in a scratch per-user data folder:
// what reaches the menu (link, image), what the cache keeps, what the server
// was asked, what a press on the banner opens, and that neither a huge image
// nor a slow server costs the game more than a small image and the fetch's
// time limit.
#include "Classes/Online/BannerFeed.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <zlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <thread>

#include "Classes/Dictionary/Config/Config.h"
#include "Classes/UI/MenuActions.h"
#include "Core/Service.h"
#include "Graphics/GraphicsDevice.h"
#include "Graphics/Texture2D.h"
#include "platform/win32/ShellExecute.h"
#include "platform/win32/WinInet.h"
#include "support/NullDeviceFixture.h"
#include "support/ScratchDir.h"
#include "support/TestServer.h"
#include "tools/catalogue/Online.h"
#include "tools/databuilder/PngWriter.h"

namespace {

namespace fs = std::filesystem;
using testsupport::TestServer;
using Route = TestServer::Route;
using Fault = TestServer::Fault;
namespace online = catalogue::online;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A PNG of noise, which does not compress: about 4 x width x height bytes.
std::string NoisePng(int width, int height) {
    std::vector<uint8_t> rgba(size_t(width) * height * 4);
    uint32_t x = 12345;
    for (uint8_t& b : rgba) b = uint8_t((x = x * 1103515245u + 12345u) >> 24);
    const std::vector<uint8_t> png = pngwriter::Encode(rgba.data(), width, height);
    return std::string(png.begin(), png.end());
}

// A PNG of width x height transparent pixels, deflated a row at a time: tiny as a
// file, huge decoded.
std::string PlainPng(uint32_t width, uint32_t height) {
    auto put32 = [](std::string& out, uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xff);
    };
    auto chunk = [&](std::string& out, const char* type, const std::string& data) {
        put32(out, static_cast<uint32_t>(data.size()));
        const std::string typed = std::string(type, 4) + data;
        out += typed;
        put32(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typed.data()), uInt(typed.size()))));
    };
    std::string header;
    put32(header, width);
    put32(header, height);
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, no interlace
    std::string pixels;
    std::vector<unsigned char> row(1 + size_t(width) * 4, 0), out(1 << 16);
    z_stream z{};
    deflateInit(&z, 6);
    for (uint32_t y = 0; y < height; ++y) {
        z.next_in = row.data();
        z.avail_in = uInt(row.size());
        const int flush = y + 1 == height ? Z_FINISH : Z_NO_FLUSH;
        int result = Z_OK;
        do {
            z.next_out = out.data();
            z.avail_out = uInt(out.size());
            result = deflate(&z, flush);
            pixels.append(reinterpret_cast<const char*>(out.data()), out.size() - z.avail_out);
        } while (z.avail_in > 0 || (flush == Z_FINISH && result != Z_STREAM_END));
    }
    deflateEnd(&z);
    std::string png("\x89PNG\r\n\x1a\n", 8);
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", pixels);
    chunk(png, "IEND", "");
    return png;
}

// The most memory the process has held so far, in KiB.
long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

using Clock = std::chrono::steady_clock;

long MsSince(Clock::time_point start) {
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

class BannerFeedTest : public testsupport::NullDeviceTest {
protected:
    BannerFeedTest() : NullDeviceTest(64, 48, D3DCREATE_MULTITHREADED) {}

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(NullDeviceTest::SetUp());
        graphics_.reset(new Graphics::GraphicsDevice(d3d, device));
        Service<Graphics::GraphicsDevice>::Register(graphics_.get());
        if (const char* old = std::getenv("XDG_DATA_HOME")) old_data_home_.reset(new std::string(old));
        const char* build = std::getenv("DM_BUILD_DIR");
        ASSERT_NE(build, nullptr);
        game_dir_ = std::string(build) + "/game";
        banner_ = ReadFile(game_dir_ + "/" + online::kServedBannerFile);
        ASSERT_FALSE(banner_.empty()) << "build the sample_data target";
        // Long enough for a loaded machine; the stalled download waits it out once.
        platform::SetNetTimeouts(3000, 1500, 6000);
    }

    void TearDown() override {
        platform::SetNetRedirect("");
        platform::SetNetTimeouts(0, 0, 0);
        if (old_data_home_) setenv("XDG_DATA_HOME", old_data_home_->c_str(), 1);
        else unsetenv("XDG_DATA_HOME");
        Service<Graphics::GraphicsDevice>::Unregister();
        graphics_.reset();
        NullDeviceTest::TearDown();
    }

    // A server serving the shipped images, with requests redirected to it.
    std::unique_ptr<TestServer> StartServer() {
        std::unique_ptr<TestServer> server(new TestServer);
        EXPECT_TRUE(server->Listening());
        EXPECT_TRUE(server->ServeShippedImages(game_dir_));
        platform::SetNetRedirect(server->Address());
        return server;
    }

    // Textures made on the device so far.
    size_t TexturesMade() const {
        size_t made = 0;
        for (const std::string& line : null->Log()) made += line.compare(0, 14, "CreateTexture(") == 0 ? 1 : 0;
        return made;
    }

    static std::string CacheFolder(const ScratchDir& home) { return home.File("Dunmarch_DATA/cache/"); }
    static std::vector<std::string> Cached(const ScratchDir& home) {
        std::vector<std::string> names;
        if (fs::exists(CacheFolder(home)))
            for (const auto& entry : fs::directory_iterator(CacheFolder(home)))
                names.push_back(entry.path().filename().string());
        return names;
    }

    std::unique_ptr<Graphics::GraphicsDevice> graphics_;
    std::unique_ptr<std::string> old_data_home_;
    std::string game_dir_;
    std::string banner_;
};

TEST_F(BannerFeedTest, TheFirstRunCachesTheBannerTheSecondReadsTheCache) {
    ScratchDir home;
    setenv("XDG_DATA_HOME", home.Folder().c_str(), 1);
    std::unique_ptr<TestServer> server = StartServer();

    BannerFeed first;
    const size_t texturesBefore = TexturesMade();
    first.Fetch();
    EXPECT_EQ(1u, TexturesMade() - texturesBefore) << "the download is decoded once";
    EXPECT_EQ("https://www.dunmarch.invalid/news", first.GetLink());
    ASSERT_TRUE(first.GetImage());
    EXPECT_EQ(float(online::kServedImageWidth), first.GetImage()->GetImageSize().x);
    EXPECT_EQ(std::vector<std::string>{"banner.png"}, Cached(home));
    EXPECT_EQ(banner_, ReadFile(CacheFolder(home) + "banner.png"));
    EXPECT_EQ(L"banner.png", fs::path(first.GetImagePath()).filename().wstring());
    EXPECT_EQ(1, server->Count(Route::Link));
    EXPECT_EQ(1, server->Count(Route::Name));
    EXPECT_EQ(1, server->Count(Route::Image));
    EXPECT_EQ(0, server->Count(Route::Fallback));
    EXPECT_EQ(0, server->Count(Route::Other));
    for (Route route : {Route::Link, Route::Name, Route::Image}) EXPECT_EQ("", server->Requests(route)[0].body);

    BannerFeed second;
    second.Fetch();
    EXPECT_EQ(first.GetLink(), second.GetLink());
    EXPECT_TRUE(second.GetImage());
    EXPECT_EQ(first.GetImagePath(), second.GetImagePath());
    EXPECT_EQ(2, server->Count(Route::Name));
    EXPECT_EQ(1, server->Count(Route::Image)) << "nothing downloaded again";
    EXPECT_EQ(0, server->Count(Route::Fallback));
}

TEST_F(BannerFeedTest, FailuresFallBackAndCacheNothingBroken) {
    const std::string link = "https://www.dunmarch.invalid/news";
    struct Case {
        const char* what;
        std::function<void(TestServer&)> serve;
        std::string link;  // what the feed keeps
        bool image;        // an image for the menu
        int fallbacks;     // fallback requests
        bool cached;       // the banner in the cache afterwards
    } cases[] = {
        {"name refused", [](TestServer& s) { s.SetFault(Route::Name, Fault::Refuse); }, link, true, 1, false},
        {"name 404", [](TestServer& s) { s.SetFault(Route::Name, Fault::NotFound); }, link, true, 1, false},
        {"name empty", [](TestServer& s) { s.SetFault(Route::Name, Fault::EmptyBody); }, link, true, 1, false},
        {"name with a folder", [](TestServer& s) { s.SetBody(Route::Name, "../x.png"); }, link, true, 1, false},
        {"name \"..\"", [](TestServer& s) { s.SetBody(Route::Name, ".."); }, link, true, 1, false},
        {"name too long", [](TestServer& s) { s.SetBody(Route::Name, std::string(129, 'a')); }, link, true, 1, false},
        {"link 500", [](TestServer& s) { s.SetFault(Route::Link, Fault::ServerError); }, "", true, 0, true},
        {"link refused", [](TestServer& s) { s.SetFault(Route::Link, Fault::Refuse); }, "", true, 0, true},
        {"link empty", [](TestServer& s) { s.SetFault(Route::Link, Fault::EmptyBody); }, "", true, 0, true},
        {"download 404", [](TestServer& s) { s.SetFault(Route::Image, Fault::NotFound); }, link, true, 1, false},
        {"download 500", [](TestServer& s) { s.SetFault(Route::Image, Fault::ServerError); }, link, true, 1, false},
        {"download closed mid-body", [](TestServer& s) { s.SetFault(Route::Image, Fault::CloseMidBody); }, link, true,
         1, false},
        {"download empty", [](TestServer& s) { s.SetFault(Route::Image, Fault::EmptyBody); }, link, true, 1, false},
        {"download no image", [](TestServer& s) { s.SetBody(Route::Image, "<html>banner</html>"); }, link, true, 1,
         false},
        {"download over 1 MiB", [](TestServer& s) { s.SetFault(Route::Image, Fault::Oversize); }, link, true, 1, false},
        {"banner the cache could not give back", [](TestServer& s) { s.SetBody(Route::Image, NoisePng(300, 300)); },
         link, true, 1, false},
        {"download stalls past the time-out", [](TestServer& s) { s.SetFault(Route::Image, Fault::Stall); }, link, true,
         1, false},
        {"download and fallback 404",
         [](TestServer& s) {
             s.SetFault(Route::Image, Fault::NotFound);
             s.SetFault(Route::Fallback, Fault::NotFound);
         },
         link, false, 1, false},
        {"fallback over 320 KiB",
         [](TestServer& s) {
             s.SetFault(Route::Name, Fault::NotFound);
             s.SetBody(Route::Fallback, NoisePng(300, 300));
         },
         link, false, 1, false},
        {"every request refused",
         [](TestServer& s) {
             for (Route r : {Route::Link, Route::Name, Route::Image, Route::Fallback}) s.SetFault(r, Fault::Refuse);
         },
         "", false, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir home;
        setenv("XDG_DATA_HOME", home.Folder().c_str(), 1);
        std::unique_ptr<TestServer> server = StartServer();
        c.serve(*server);
        BannerFeed feed;
        feed.Fetch();
        server->LiftStall();
        EXPECT_EQ(c.link, feed.GetLink());
        EXPECT_EQ(c.image, bool(feed.GetImage()));
        EXPECT_EQ(c.fallbacks, server->Count(Route::Fallback));
        EXPECT_EQ(c.cached ? std::vector<std::string>{"banner.png"} : std::vector<std::string>(), Cached(home));
        EXPECT_EQ(c.cached, !feed.GetImagePath().empty());
        EXPECT_FALSE(fs::exists(home.File("Dunmarch_DATA/x.png")));
        EXPECT_FALSE(fs::exists(home.File("x.png")));
    }
}

TEST_F(BannerFeedTest, ACachedFileTooLongForTheBufferIsNotRead) {
    ScratchDir home;
    setenv("XDG_DATA_HOME", home.Folder().c_str(), 1);
    fs::create_directories(CacheFolder(home));
    home.Write("Dunmarch_DATA/cache/banner.png", NoisePng(300, 300));
    ASSERT_GT(fs::file_size(CacheFolder(home) + "banner.png"), size_t(BannerFeed::kImageBufferSize));
    std::unique_ptr<TestServer> server = StartServer();
    BannerFeed feed;
    feed.Fetch();
    EXPECT_FALSE(feed.GetImage());
    EXPECT_FALSE(feed.GetLink().empty());
    EXPECT_EQ(0, server->Count(Route::Image));
    EXPECT_EQ(0, server->Count(Route::Fallback));
}

TEST_F(BannerFeedTest, WithoutAPerUserDataFolderNothingIsWrittenAndNoImageShown) {
    ScratchDir scratch;
    scratch.Write("file", "not a folder");
    setenv("XDG_DATA_HOME", scratch.File("file/data").c_str(), 1);
    std::unique_ptr<TestServer> server = StartServer();
    BannerFeed feed;
    feed.Fetch();
    EXPECT_EQ("https://www.dunmarch.invalid/news", feed.GetLink());
    EXPECT_FALSE(feed.GetImage());
    EXPECT_TRUE(feed.GetImagePath().empty());
    EXPECT_EQ(0, server->Count(Route::Name) + server->Count(Route::Image) + server->Count(Route::Fallback));
    EXPECT_EQ(std::vector<std::string>{"file"}, [&] {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(scratch.Folder())) names.push_back(entry.path().filename());
        return names;
    }());
}

// A press on the banner opens the link the feed received, also when no image came with
// it; the configured banner site only while no link came.
TEST_F(BannerFeedTest, APressOpensTheReceivedLinkElseTheBannerSite) {
    ScratchDir scratch;
    scratch.Write("open.sh", "#!/bin/sh\necho \"$1\" >> '" + scratch.File("urls.txt") + "'\n");
    fs::permissions(scratch.File("open.sh"), fs::perms::owner_all);
    SetUrlOpener(scratch.File("open.sh").c_str());
    Config config;
    config.BannerSite.first = "http://127.0.0.1/site";
    Service<Config>::Register(&config);
    // The opener runs on its own: its lines come some time later.
    const auto opened = [&](size_t count) {
        std::vector<std::string> lines;
        for (int i = 0; i < 500 && lines.size() < count; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::istringstream text(ReadFile(scratch.File("urls.txt")));
            lines.clear();
            for (std::string line; std::getline(text, line);) lines.push_back(line);
        }
        return lines;
    };

    OpenBannerLink();
    EXPECT_EQ(std::vector<std::string>{"http://127.0.0.1/site"}, opened(1));

    // No per-user data folder: the link comes, the image does not.
    scratch.Write("file", "not a folder");
    setenv("XDG_DATA_HOME", scratch.File("file/data").c_str(), 1);
    std::unique_ptr<TestServer> server = StartServer();
    TheBannerFeed().Fetch();
    ASSERT_EQ("https://www.dunmarch.invalid/news", TheBannerFeed().GetLink());
    ASSERT_FALSE(TheBannerFeed().GetImage());
    OpenBannerLink();
    EXPECT_EQ((std::vector<std::string>{"http://127.0.0.1/site", "https://www.dunmarch.invalid/news"}), opened(2));

    Service<Config>::Unregister();
    SetUrlOpener(nullptr);
}

// An 8192 x 8192 PNG of one colour is about 260 KB, under what a download or the
// cache may hold, and 256 MiB decoded. From the download, the fallback or the cache,
// it is refused from its header: no texture is made and the process's peak memory
// grows by less than a tenth more than a fetch of the shipped banner makes it grow. A
// downloaded one leads to the fallback.
TEST_F(BannerFeedTest, AnImageLargerThanTheMenuShowsIsRefusedUndecoded) {
    const std::string huge = PlainPng(8192, 8192);
    ASSERT_LE(huge.size(), size_t(BannerFeed::kImageBufferSize));
    const struct {
        const char* what;
        std::function<void(TestServer&, ScratchDir&)> serve;
        bool fallbackShown;
    } cases[] = {
        {"downloaded", [&](TestServer& s, ScratchDir&) { s.SetBody(Route::Image, huge); }, true},
        {"the fallback",
         [&](TestServer& s, ScratchDir&) {
             s.SetFault(Route::Name, Fault::NotFound);
             s.SetBody(Route::Fallback, huge);
         },
         false},
        {"cached",
         [&](TestServer&, ScratchDir& home) {
             fs::create_directories(CacheFolder(home));
             home.Write("Dunmarch_DATA/cache/banner.png", huge);
         },
         false},
    };
    // Fetches of the shipped banner first: the first sets the network library up, the
    // second shows what a fetch adds to the peak (its buffers are fresh memory to the
    // address sanitizer).
    long shipped = 0;
    for (int run = 0; run < 2; ++run) {
        ScratchDir home;
        setenv("XDG_DATA_HOME", home.Folder().c_str(), 1);
        std::unique_ptr<TestServer> server = StartServer();
        BannerFeed feed;
        const long peak = PeakKiB();
        feed.Fetch();
        shipped = PeakKiB() - peak;
        ASSERT_TRUE(feed.GetImage());
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir home;
        setenv("XDG_DATA_HOME", home.Folder().c_str(), 1);
        std::unique_ptr<TestServer> server = StartServer();
        c.serve(*server, home);
        BannerFeed feed;
        const long peak = PeakKiB();
        const size_t texturesBefore = TexturesMade();
        feed.Fetch();
        EXPECT_LT(PeakKiB() - peak, shipped + peak / 10);
        EXPECT_EQ(c.fallbackShown ? 1u : 0u, TexturesMade() - texturesBefore);
        EXPECT_EQ(c.fallbackShown, bool(feed.GetImage()));
        if (feed.GetImage()) {
            EXPECT_EQ(float(online::kServedImageWidth), feed.GetImage()->GetImageSize().x);
        }
        EXPECT_FALSE(fs::exists(CacheFolder(home) + "banner.png") && c.fallbackShown);
    }
}

// A server that sends its head at once and then a byte every 10 s holds no request
// past the fetch's time limit, whichever of the four it answers so: the fetch ends
// at the limit with what it had by then, and nothing is cached.
TEST_F(BannerFeedTest, ATricklingServerCannotHoldTheFetchPastItsTimeLimit) {
    platform::SetNetTimeouts(0, 0, 0);  // the transfers' own limits are far longer
    const int limitMs = 1000;
    const struct {
        Route trickling;
        const char* link;  // what the feed keeps
        int names;         // image-name requests made
    } cases[] = {
        {Route::Link, "", 0},
        {Route::Name, "https://www.dunmarch.invalid/news", 1},
        {Route::Image, "https://www.dunmarch.invalid/news", 1},
        {Route::Fallback, "https://www.dunmarch.invalid/news", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.trickling));
        ScratchDir home;
        setenv("XDG_DATA_HOME", home.Folder().c_str(), 1);
        std::unique_ptr<TestServer> server = StartServer();
        server->SetDripMs(10000);
        server->SetFault(c.trickling, Fault::Drip);
        if (c.trickling == Route::Fallback) server->SetFault(Route::Name, Fault::NotFound);
        BannerFeed feed(limitMs);
        const Clock::time_point start = Clock::now();
        feed.Fetch();
        const long took = MsSince(start);
        EXPECT_GE(took, limitMs - 100);
        EXPECT_LT(took, limitMs + 1000);
        EXPECT_EQ(c.link, feed.GetLink());
        EXPECT_FALSE(feed.GetImage());
        EXPECT_EQ(c.names, server->Count(Route::Name));
        EXPECT_TRUE(Cached(home).empty());
    }
}

TEST(BannerImageNameTest, OnlyPlainFileNamesOfUpTo128Characters) {
    for (const char* name : {"banner.png", "a", "A-b_c.9.PNG", ".x", "x.."})
        EXPECT_TRUE(BannerFeed::IsImageName(name)) << name;
    EXPECT_TRUE(BannerFeed::IsImageName(std::string(128, 'b')));
    for (const char* name : {"", ".", "..", "../x.png", "a/b", "a\\b", "a b", "x.png~", "%2e%2e", "caf\xC3\xA9"})
        EXPECT_FALSE(BannerFeed::IsImageName(name)) << name;
    EXPECT_FALSE(BannerFeed::IsImageName(std::string(129, 'b')));
}

}  // namespace
