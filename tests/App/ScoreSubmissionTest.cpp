// A finished battle's score reaches the score server: the payload the test server
// decodes carries the battle's own values and the form's texts.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "Classes/Battle/CDunmarchGame.h"
#include "Classes/Battle/CInputMonitor.h"
#include "Classes/Battle/GameWindow.h"
#include "Classes/Online/ScorePayload.h"
#include "Core/Language.h"
#include "Core/Service.h"
#include "GameFixture.h"
#include "IO/ContentChecksums.h"
#include "IO/MemoryStream.h"
#include "Net/CNetThread.h"
#include "platform/win32/WinInet.h"
#include "shell/DeviceIdentity.h"
#include "support/TestServer.h"
#include "tools/catalogue/GameData.h"

namespace {

using testsupport::TestServer;
namespace gd = catalogue::gamedata;

int64_t FailingClock() { return -1; }
int64_t FixedClock() { return 0x1234567890LL; }

class ScoreSubmissionTest : public ScratchGameTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ScratchGameTest::SetUp());
        ASSERT_TRUE(server_.Listening());
        platform::SetNetRedirect(server_.Address());
    }
    void TearDown() override {
        platform::SetNetRedirect("");
        SetCalendarClock(nullptr);
        ScratchGameTest::TearDown();
    }

    // Submits and waits for the request thread as the submit window polls it.
    TestServer::Score Submit(const std::string& name, const std::string& email) {
        boost::shared_ptr<CNetThread> request = Morvane::GameWindow::SubmitScore(name, email);
        EXPECT_TRUE(request);
        if (!request) return TestServer::Score();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (request->IsRunning() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_FALSE(request->IsRunning());
        EXPECT_TRUE(request->Succeeded());
        EXPECT_TRUE(Morvane::GameWindow::ParseSubmitReply(request->Succeeded(), request->GetReply()))
            << request->GetReply();
        const std::vector<TestServer::Score> scores = server_.Scores();
        EXPECT_FALSE(scores.empty());
        return scores.empty() ? TestServer::Score() : scores.back();
    }

    TestServer server_;
};

TEST_F(ScoreSubmissionTest, TheServerDecodesTheBattlesValuesAndTheFormsTexts) {
    SetCalendarClock(&FixedClock);
    ASSERT_EQ(1, window_->StartGame(0));
    CDunmarchGame& battle = *window_->GetBattle();
    for (int i = 0; i < 40; ++i) battle.Update(33, false, true);
    battle.CloseSummary(1);  // one recorded input

    const TestServer::Score score = Submit("Harrowmere", "keeper@example.org");
    EXPECT_TRUE(score.accepted) << score.failed;
    EXPECT_EQ("keeper@example.org", score.email);
    EXPECT_EQ("Harrowmere", score.name);
    EXPECT_EQ(battle.GetMapName(), score.map);
    EXPECT_EQ(battle.GetScore(), score.score);
    EXPECT_EQ(battle.GetWaveIndex(), score.wave);
    EXPECT_EQ(battle.GetLoadCount(), score.loadCount);
    EXPECT_EQ(GetLanguageIndex(), score.language);
    EXPECT_EQ(0x34567890, score.time);
    const std::string& identity = GetDeviceIdentityString();
    EXPECT_EQ(ComputeChecksum64(identity.data(), static_cast<int>(identity.size())), score.deviceChecksum);
    MemoryStream demo;
    battle.GetInputMonitor()->Write(demo);
    int length = 0;
    const char* bytes = demo.GetBuffer(length);
    EXPECT_EQ(std::string(bytes, static_cast<size_t>(length)), score.demo);
    EXPECT_EQ(std::string("DEM\0", 4), score.demo.substr(0, 4));

    // The request: the catalogue's path, the Base64 text as the whole body.
    const std::vector<TestServer::Request> requests = server_.Requests(TestServer::Route::Score);
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ("POST", requests[0].method);
    EXPECT_EQ(std::string::npos, requests[0].body.find_first_not_of(
                                     "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="));
}

TEST_F(ScoreSubmissionTest, AFailingClockSendsTimeZero) {
    SetCalendarClock(&FailingClock);
    ASSERT_EQ(1, window_->StartGame(0));
    const TestServer::Score score = Submit("A", "a@b.c");
    EXPECT_TRUE(score.accepted) << score.failed;
    EXPECT_EQ(0, score.time);
}

TEST_F(ScoreSubmissionTest, NothingIsSentWithoutBattleLevelOrRecording) {
    // No battle.
    EXPECT_FALSE(Service<CDunmarchGame>::Exists());
    EXPECT_FALSE(Morvane::GameWindow::SubmitScore("A", "a@b.c"));
    // A battle that has no level yet.
    {
        CDunmarchGame bare(gd::kMapName);
        Service<CDunmarchGame>::Register(&bare);
        EXPECT_FALSE(Morvane::GameWindow::SubmitScore("A", "a@b.c"));
        Service<CDunmarchGame>::Unregister();
    }
    // A replay records nothing.
    ASSERT_EQ(1, window_->StartGame(0));
    {
        MemoryStream stream;
        window_->GetBattle()->GetInputMonitor()->Write(stream);
        int length = 0;
        const char* bytes = stream.GetBuffer(length);
        std::ofstream("test.dem", std::ios::binary).write(bytes, length);
    }
    window_->SetDemoPlayback(1);
    ASSERT_EQ(1, window_->StartGame(0));
    ASSERT_TRUE(window_->GetBattle()->GetLevel());
    EXPECT_FALSE(Morvane::GameWindow::SubmitScore("A", "a@b.c"));
    EXPECT_EQ(0, server_.Count(TestServer::Route::Score));
}

}  // namespace
