// The score request's payload and built-in texts, and the judging of the score
// server's replies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Classes/Battle/BattleMessageBoxes.h"
#include "Classes/Battle/GameWindow.h"
#include "Classes/Battle/HighscoreTable.h"
#include "Classes/Online/OnlineServers.h"
#include "Classes/Online/ScorePayload.h"
#include "Core/Service.h"
#include "Core/TextHelpers.h"
#include "IO/MemoryStream.h"
#include "support/TestServer.h"
#include "tools/catalogue/Online.h"

namespace {

using Morvane::GameWindow;

class RecordingBoxes : public BattleMessageBoxes {
public:
    bool ShowSummary() override { return false; }
    void SetSummaryAttackText(const std::wstring&) override {}
    void SetSummaryInfoText(const std::wstring&) override {}
    bool ShowWarning(const std::wstring&) override { return false; }
    void Close() override { ++closed; }
    bool ShowMessage(const std::string& layout, const std::string& text) override {
        shown.push_back(layout + ": " + text);
        return true;
    }
    int closed = 0;
    std::vector<std::string> shown;
};

class ScoreReplyTest : public ::testing::Test {
protected:
    void SetUp() override { Service<BattleMessageBoxes>::Register(&boxes_); }
    void TearDown() override { Service<BattleMessageBoxes>::Unregister(); }
    RecordingBoxes boxes_;
};

ScorePayload SamplePayload() {
    ScorePayload payload;
    payload.email = "keeper@example.org";
    payload.playerName = "Harrowmere";
    payload.mapName = "Ashfold";
    payload.score = 4711;
    payload.wave = 3;
    payload.deviceChecksum = 0x0123456789ABCDEFull;
    payload.time = -5;
    payload.language = 2;
    payload.loadCount = 1;
    payload.demo = std::string("DEM\0body", 8);
    return payload;
}

TEST(ScorePayloadTest, FieldsInOrderScrambledWithItsLengthAndEncoded) {
    const ScorePayload payload = SamplePayload();
    MemoryStream stream;
    ASSERT_EQ(1, payload.Write(stream));
    int length = 0;
    const char* bytes = stream.GetBuffer(length);
    ASSERT_GE(length, 8);
    EXPECT_EQ(std::string("\x00\x52\x43\x53\xE9\x03\x00\x00", 8), std::string(bytes, 8));
    // Field 3 is the e-mail, field 4 the name, each a length and its bytes.
    EXPECT_EQ(std::string("\x12\x00\x00\x00keeper@example.org\x0A\x00\x00\x00Harrowmere", 36),
              std::string(bytes + 8, 36));
    // 8 + 22 + 14 + 11 + 3 x 4 + 8 + 3 x 4 + 12.
    EXPECT_EQ(99, length);

    // The server's decoder undoes key, scramble and Base64 and checks every field.
    const testsupport::TestServer::Score decoded = testsupport::TestServer::DecodeScore(EncodeScorePayload(payload));
    EXPECT_TRUE(decoded.accepted) << decoded.failed;
    EXPECT_EQ(payload.email, decoded.email);
    EXPECT_EQ(payload.playerName, decoded.name);
    EXPECT_EQ(payload.mapName, decoded.map);
    EXPECT_EQ(payload.score, decoded.score);
    EXPECT_EQ(payload.wave, decoded.wave);
    EXPECT_EQ(payload.deviceChecksum, decoded.deviceChecksum);
    EXPECT_EQ(payload.time, decoded.time);
    EXPECT_EQ(payload.language, decoded.language);
    EXPECT_EQ(payload.loadCount, decoded.loadCount);
    EXPECT_EQ(payload.demo, decoded.demo);
}

TEST(OnlineServersTest, EachScrambledTextIsTheCataloguesAndHoldsNoZeroByte) {
    namespace texts = online::texts;
    namespace plain = catalogue::online;
    struct Case {
        const char* scrambled;
        size_t size;
        const char* plain;
    } cases[] = {
        {texts::kScoreEndpoint, sizeof(texts::kScoreEndpoint), plain::kScoreEndpoint},
        {texts::kScorePath, sizeof(texts::kScorePath), plain::kScorePath},
        {texts::kBannerEndpoint, sizeof(texts::kBannerEndpoint), plain::kBannerEndpoint},
        {texts::kBannerLinkPiece, sizeof(texts::kBannerLinkPiece), plain::kBannerLinkPiece},
        {texts::kBannerImagePiece, sizeof(texts::kBannerImagePiece), plain::kBannerImagePiece},
        {texts::kBannerFallbackPiece, sizeof(texts::kBannerFallbackPiece), plain::kBannerFallbackPiece},
        {texts::kBannerCommonQuery, sizeof(texts::kBannerCommonQuery), plain::kBannerCommonQuery},
        {texts::kBannerNamePiece, sizeof(texts::kBannerNamePiece), plain::kBannerNamePiece},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.size - 1, std::string(c.scrambled).size()) << c.plain;
        EXPECT_EQ(c.plain, ScrambleString(c.scrambled));
        EXPECT_NE(c.plain, std::string(c.scrambled));
    }
}

TEST_F(ScoreReplyTest, SubmitRepliesGiveTheirResultAndPrintTheirText) {
    struct Case {
        bool sent;
        const char* reply;
        bool accepted;
        const char* printed;
    } cases[] = {
        {true, "<response result=\"1\" info=\"Score received\"/>", true, ""},
        {true, "<response result=\"0\" info=\"Too late\"/>", false, "Too late"},
        {true, "<response info=\"No result\"/>", false, "No result"},
        {true, "<response result=\"0\"/>", false, ""},
        {true, "<?xml version=\"1.0\"?><response result=\"1\" info=\"x\"/>", false,
         "Error getting info from server (1)"},
        {true, "<!-- first --><response result=\"1\"/>", false, "Error getting info from server (1)"},
        {true, "<html><body>500</body></html>", false, "Error getting info from server (1)"},
        {true, "", false, "Error getting info from server (2)"},
        {true, "Internal error <<", false, "Error getting info from server (2)"},
        {true, "<response result=\"0\" info=\"100% %s%n full\"/>", false, "100% %s%n full"},
        {false, "<response result=\"1\"/>", false, "Error connecting to server (3)"},
    };
    int closed = 0;
    for (const Case& c : cases) {
        testing::internal::CaptureStdout();
        const bool accepted = GameWindow::ParseSubmitReply(c.sent, c.reply);
        EXPECT_EQ(c.printed, testing::internal::GetCapturedStdout()) << c.reply;
        EXPECT_EQ(c.accepted, accepted) << c.reply;
        EXPECT_EQ(++closed, boxes_.closed) << "the wait box closes: " << c.reply;
    }
    // The form's three-argument call ignores the spare text.
    testing::internal::CaptureStdout();
    EXPECT_TRUE(GameWindow::ParseSubmitReply(true, "<response result=\"0\"/>", "<response result=\"7\"/>"));
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    EXPECT_TRUE(boxes_.shown.empty());
}

TEST_F(ScoreReplyTest, HighscoreListsFillTheRowsAndShowTheMessage) {
    std::vector<HighscoreEntry> rows(1, HighscoreEntry("stale", 1));
    HighscoreEntry own;
    EXPECT_TRUE(GameWindow::ParseHighscoreReply(
        true,
        "<list><response result=\"1\" showmsgboxtext=\"1\" msgboxtext=\"Top two\"/>"
        "<highscore login=\"Ada\" score=\"900\"/><other/><highscore login=\"Bo\" score=\"800\"/>"
        "<ownhighscore pos=\"7\" login=\"Me\" score=\"100\"/></list>",
        rows, own));
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ(-1, rows[0].position);
    EXPECT_EQ("Ada", rows[0].name);
    EXPECT_EQ(900, rows[0].score);
    EXPECT_EQ("Bo", rows[1].name);
    EXPECT_EQ(7, own.position);
    EXPECT_EQ("Me", own.name);
    EXPECT_EQ(100, own.score);
    EXPECT_EQ(std::vector<std::string>{"MsgBox.xml: Top two"}, boxes_.shown);

    // A failed request keeps the rows and says so; a reply without "response" says (5).
    EXPECT_FALSE(GameWindow::ParseHighscoreReply(false, "", rows, own));
    EXPECT_EQ(2u, rows.size());
    EXPECT_FALSE(GameWindow::ParseHighscoreReply(true, "<list/>", rows, own));
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ((std::vector<std::string>{"MsgBox.xml: Top two", "MsgBox.xml: Error connecting to server",
                                        "MsgBox.xml: Error getting info from server (5)"}),
              boxes_.shown);
    EXPECT_EQ(3, boxes_.closed);
}

}  // namespace
