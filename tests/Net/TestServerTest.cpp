// The test server's score route, which the score submission is tried against:
// a payload made as the game makes it is decoded field by field, and a damaged
// one is refused naming the check it failed.
#include "support/TestServer.h"

#include <gtest/gtest.h>

#include <string>

#include "IO/MemoryStream.h"
#include "Net/Base64.h"
#include "Net/HttpRequest.h"
#include "platform/win32/WinInet.h"
#include "tools/catalogue/Online.h"

namespace {

using testsupport::TestServer;
namespace online = catalogue::online;

// The payload's fields in order, scrambled with the decimal text of its length
// and encoded as Base64.
std::string ScoreBody(const std::string& demo, int32_t version = 1001) {
    MemoryStream payload;
    payload.WriteInt32(0x53435200);
    payload.WriteInt32(version);
    payload.WriteString("mail@example.invalid");
    payload.WriteString("Aldric");
    payload.WriteString("Harrowmere");
    payload.WriteInt32(4321);
    payload.WriteInt32(3);
    payload.WriteInt32(972);
    payload.WriteInt64(0x0123456789ABCDEFll);
    payload.WriteInt32(1700000000);
    payload.WriteInt32(2);
    payload.WriteInt32(1);
    payload.WriteString(demo);
    const std::string key = std::to_string(payload.GetSize());
    payload.Scramble(key.c_str(), static_cast<int>(key.size()));
    int length = 0;
    const char* bytes = payload.GetBuffer(length);
    std::string body;
    Net::Base64().Encode(body, reinterpret_cast<const unsigned char*>(bytes), length);
    return body;
}

TEST(TestServerTest, TheScoreRouteDecodesThePayloadAndNamesAFailedCheck) {
    TestServer server;
    ASSERT_TRUE(server.Listening());
    platform::SetNetRedirect(server.Address());
    const std::string demo = std::string("DEM\0", 4) + "body";
    struct Case {
        std::string body;
        std::string reply;
    } cases[] = {
        {ScoreBody(demo), "<response result=\"1\" info=\"Score received\"/>"},
        {ScoreBody("DEMO body"), "<response result=\"0\" info=\"Refused: demo\"/>"},
        {ScoreBody(demo, 1000), "<response result=\"0\" info=\"Refused: version\"/>"},
        // Cut short, it is unscrambled with another key.
        {ScoreBody(demo).substr(0, 40), "<response result=\"0\" info=\"Refused: tag\"/>"},
        {"not Base64!", "<response result=\"0\" info=\"Refused: base64\"/>"},
    };
    for (const Case& c : cases) {
        std::string reply;
        ASSERT_TRUE(HttpRequest(online::kScoreEndpoint, online::kScorePath, c.body, reply));
        EXPECT_EQ(c.reply, reply);
    }
    const std::vector<TestServer::Score> scores = server.Scores();
    ASSERT_EQ(5u, scores.size());
    const TestServer::Score& got = scores[0];
    EXPECT_TRUE(got.accepted);
    EXPECT_EQ("mail@example.invalid", got.email);
    EXPECT_EQ("Aldric", got.name);
    EXPECT_EQ("Harrowmere", got.map);
    EXPECT_EQ(4321, got.score);
    EXPECT_EQ(3, got.wave);
    EXPECT_EQ(0x0123456789ABCDEFull, got.deviceChecksum);
    EXPECT_EQ(1700000000, got.time);
    EXPECT_EQ(2, got.language);
    EXPECT_EQ(1, got.loadCount);
    EXPECT_EQ(demo, got.demo);
    platform::SetNetRedirect("");
}

}  // namespace
