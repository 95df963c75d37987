#include "Net/HttpRequest.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Core/TextHelpers.h"
#include "Net/OnlineTexts.h"
#include "platform/win32/WinInet.h"
#include "support/TestServer.h"
#include "tools/catalogue/Online.h"

namespace {

using testsupport::TestServer;
using Route = TestServer::Route;
using Fault = TestServer::Fault;
namespace online = catalogue::online;

const std::string kImage("\x89PNG\r\n\x1a\n\0\x01\x02image", 17);

std::string PathOf(Route route) {
    const std::string common = online::kBannerCommonQuery;
    switch (route) {
        case Route::Link: return std::string(online::kBannerLinkPiece) + "?" + common;
        case Route::Image: return std::string(online::kBannerImagePiece) + "?" + common;
        default: return online::kScorePath;
    }
}

class HttpRequestTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Listening());
        server.SetBody(Route::Image, kImage);
        platform::SetNetRedirect(server.Address());
        // Short enough for the stalling and dripping server (its body takes
        // 6.6 s), long for the rest.
        platform::SetNetTimeouts(2000, 500, 3000);
        server.SetDripMs(200);
    }
    void TearDown() override {
        platform::SetNetRedirect("");
        platform::SetNetTimeouts(0, 0, 0);
    }
    TestServer server;
};

TEST_F(HttpRequestTest, RepliesAgainstTheServersModes) {
    const std::string link = "https://www.dunmarch.invalid/news";
    const std::string page404 = "<html><head><title>404</title>";
    struct Case {
        const char* what;
        Route route;
        Fault fault;
        bool raw;
        int capacity;
        bool ok;
        std::string reply;  // text, or the bytes in raw mode
        int status;
    } cases[] = {
        {"text", Route::Link, Fault::None, false, 0, true, link, 200},
        {"bytes", Route::Image, Fault::None, true, 17, true, kImage, 200},
        {"capacity one short", Route::Image, Fault::None, true, 16, false, "", 0},
        {"zero byte in text", Route::Link, Fault::ZeroByte, false, 0, true, link.substr(0, link.size() / 2), 200},
        {"zero byte in bytes", Route::Image, Fault::ZeroByte, true, 18, true,
         kImage.substr(0, 8) + std::string(1, '\0') + kImage.substr(8), 200},
        {"404 as text", Route::Link, Fault::NotFound, false, 0, true, page404, 404},
        {"500 as text", Route::Link, Fault::ServerError, false, 0, true, "<html><head><title>500</title>", 500},
        {"empty body as text", Route::Link, Fault::EmptyBody, false, 0, true, "", 200},
        {"empty body as bytes", Route::Image, Fault::EmptyBody, true, 0, true, "", 200},
        {"refused", Route::Link, Fault::Refuse, false, 0, false, "", 0},
        {"stall past the receive time-out", Route::Link, Fault::Stall, false, 0, false, "", 0},
        {"drip past the whole time-out", Route::Link, Fault::Drip, false, 0, false, "", 0},
        {"closed mid-body", Route::Link, Fault::CloseMidBody, false, 0, false, "", 0},
        {"over the 4 MiB limit", Route::Link, Fault::Oversize, false, 0, false, "", 0},
    };
    for (const Case& c : cases) {
        server.SetFault(c.route, c.fault);
        std::string text = "untouched";
        std::vector<unsigned char> buffer(64, 0xAB);
        int length = -7;
        int status = -1;
        const bool ok = HttpRequest(online::kBannerEndpoint, PathOf(c.route), "", text, c.raw ? buffer.data() : nullptr,
                                    &length, c.capacity, &status);
        server.SetFault(c.route, Fault::None);
        EXPECT_EQ(c.ok, ok) << c.what;
        if (!c.ok) {
            EXPECT_EQ("untouched", text) << c.what;
            EXPECT_EQ(std::vector<unsigned char>(64, 0xAB), buffer) << c.what;
            EXPECT_EQ(-7, length) << c.what;
            EXPECT_EQ(-1, status) << c.what;
            continue;
        }
        EXPECT_EQ(c.status, status) << c.what;
        if (c.raw) {
            EXPECT_EQ("untouched", text) << c.what;
            ASSERT_EQ(static_cast<int>(c.reply.size()), length) << c.what;
            EXPECT_EQ(0, std::memcmp(c.reply.data(), buffer.data(), c.reply.size())) << c.what;
            EXPECT_EQ(0xAB, buffer[c.reply.size()]) << c.what << ": nothing written behind the body";
        } else if (c.status == 200) {
            EXPECT_EQ(c.reply, text) << c.what;
        } else {
            EXPECT_EQ(0u, text.find(c.reply)) << c.what << ": " << text;
        }
    }
}

TEST_F(HttpRequestTest, TheRequestCarriesItsVerbHeadersAndBody) {
    std::string reply;
    ASSERT_TRUE(HttpRequest(online::kScoreEndpoint, online::kScorePath, "not a payload", reply));
    EXPECT_EQ("<response result=\"0\" info=\"Refused: base64\"/>", reply);
    const std::vector<TestServer::Request> got = server.Requests(Route::Score);
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ("POST", got[0].method);
    EXPECT_EQ(online::kScorePath, got[0].target);
    EXPECT_EQ("not a payload", got[0].body);
    EXPECT_NE(std::string::npos, got[0].headers.find(std::string("\r\nHost: scores.dunmarch.invalid")));
    EXPECT_NE(std::string::npos, got[0].headers.find(std::string("\r\nUser-Agent: ") + online::kAgentName + "\r\n"));
    EXPECT_NE(std::string::npos, got[0].headers.find(std::string("\r\n") + online::kHeaders));
}

TEST_F(HttpRequestTest, ThePrefixChoosesPortAndFlagsAtTheConnection) {
    // Not redirected: hosts under ".invalid" fail before any look-up.
    platform::SetNetRedirect("");
    struct Case {
        std::string endpoint;
        std::string host;
        int port;
        DWORD flags;
    } cases[] = {
        {"https://scores.dunmarch.invalid", "scores.dunmarch.invalid", 443, 0x4C00000},
        {"http://banner.dunmarch.invalid", "banner.dunmarch.invalid", 80, 0x4400000},
        {"ftp://banner.dunmarch.invalid", "", 80, 0x4400000},
        {"banner.dunmarch.invalid", "", 80, 0x4400000},
    };
    for (const Case& c : cases) {
        std::string reply = "untouched";
        EXPECT_FALSE(HttpRequest(c.endpoint, "/x", "", reply)) << c.endpoint;
        EXPECT_EQ("untouched", reply);
        const platform::InternetConnectionRecord last = platform::LastInternetConnection();
        EXPECT_EQ(c.host, last.host) << c.endpoint;
        EXPECT_EQ(c.port, last.port) << c.endpoint;
        EXPECT_EQ(c.flags, last.flags) << c.endpoint;
        EXPECT_FALSE(last.networkAttempt) << c.endpoint;
    }
    EXPECT_EQ(0, server.Count(Route::Other));
}

TEST(OnlineTextsTest, EachScrambledTextIsTheCataloguesAndHoldsNoZeroByte) {
    namespace texts = Net::texts;
    const struct {
        const char* scrambled;
        size_t size;
        const char* plain;
    } cases[] = {
        {texts::kSecurePrefix, sizeof(texts::kSecurePrefix), online::kSecurePrefix},
        {texts::kPlainPrefix, sizeof(texts::kPlainPrefix), online::kPlainPrefix},
        {texts::kAgentName, sizeof(texts::kAgentName), online::kAgentName},
        {texts::kHeaders, sizeof(texts::kHeaders), online::kHeaders},
        {texts::kVerb, sizeof(texts::kVerb), online::kVerb},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.size - 1, std::strlen(c.scrambled)) << c.plain;
        EXPECT_EQ(c.plain, ScrambleString(c.scrambled));
        EXPECT_NE(c.plain, std::string(c.scrambled));
    }
}

}  // namespace
