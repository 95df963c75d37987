#include "Net/CNetThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/win32/WinInet.h"
#include "support/RunDunmarch.h"
#include "support/TestServer.h"
#include "tools/catalogue/Online.h"

namespace {

using namespace std::chrono_literals;
using testsupport::TestServer;
using Route = TestServer::Route;
namespace online = catalogue::online;

// Polls once per "frame" as the submit form does; false when it still runs after 10 s.
bool Collect(const CNetThread& request) {
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (request.IsRunning()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

TEST(CNetThreadTest, ARequestIsCollectedWithItsReply) {
    TestServer server;
    ASSERT_TRUE(server.Listening());
    platform::SetNetRedirect(server.Address());
    boost::shared_ptr<CNetThread> request = CNetThread::Create(online::kScoreEndpoint, online::kScorePath, "QUJD");
    EXPECT_FALSE(request->IsRunning());
    EXPECT_FALSE(request->Succeeded());
    request->Start(true, false);
    ASSERT_TRUE(Collect(*request));
    EXPECT_TRUE(request->Succeeded());
    EXPECT_EQ("<response result=\"0\" info=\"Refused: tag\"/>", request->GetReply());
    EXPECT_EQ("", request->GetUnusedText());
    ASSERT_EQ(1, server.Count(Route::Score));
    EXPECT_EQ("QUJD", server.Requests(Route::Score)[0].body);
    platform::SetNetRedirect("");
}

TEST(CNetThreadTest, AFailureIsCollectedOnTheNextPoll) {
    platform::SetNetRedirect("127.0.0.1:" + std::to_string(testsupport::ClosedLoopbackPort()));
    boost::shared_ptr<CNetThread> request = CNetThread::Create(online::kScoreEndpoint, online::kScorePath, "QUJD");
    request->Start(true, false);
    ASSERT_TRUE(Collect(*request));
    EXPECT_FALSE(request->Succeeded());
    EXPECT_EQ("", request->GetReply());
    platform::SetNetRedirect("");
}

// The owner lets go while the server holds the request; the release must return
// before the server lets it on (a watchdog lets it on after 10 s and fails the
// test), and the late finish goes into the object the run still holds.
TEST(CNetThreadTest, ReleasedWhileRunningItReturnsAtOnceAndFinishesUnseen) {
    TestServer server;
    ASSERT_TRUE(server.Listening());
    server.SetFault(Route::Score, TestServer::Fault::Stall);
    platform::SetNetRedirect(server.Address());
    const std::string body(3000, 'Q');
    boost::shared_ptr<CNetThread> request = CNetThread::Create(online::kScoreEndpoint, online::kScorePath, body);
    const std::weak_ptr<Threading::Thread> object = request->weak_from_this();
    request->Start(true, false);
    ASSERT_TRUE(server.WaitForStall(10000));

    std::mutex mutex;
    std::condition_variable released;
    bool done = false;
    bool fired = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(mutex);
        if (!released.wait_for(lock, 10s, [&] { return done; })) {
            fired = true;
            server.LiftStall();
        }
    });
    request.reset();
    {
        std::lock_guard<std::mutex> lock(mutex);
        done = true;
    }
    released.notify_all();
    watchdog.join();
    EXPECT_FALSE(fired) << "the release waited for the request";
    server.LiftStall();

    ASSERT_TRUE(server.WaitForCount(Route::Score, 1, 10000));
    EXPECT_EQ(body, server.Requests(Route::Score)[0].body) << "the server received the whole request";
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (!object.expired() && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(object.expired()) << "the run let the object go";
    platform::SetNetRedirect("");
}

}  // namespace

namespace {

// The program ends while a request waits on the server: the exit neither waits
// for it nor crashes (libcurl and the request's kept texts outlive the exit).
TEST(CNetThreadDeathTest, TheProgramEndsWhileARequestRuns) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TestServer server;
            server.SetFault(Route::Score, TestServer::Fault::Stall);
            platform::SetNetRedirect(server.Address());
            boost::shared_ptr<CNetThread> request =
                CNetThread::Create(online::kScoreEndpoint, online::kScorePath, "QUJD");
            request->Start(true, false);
            server.WaitForStall(10000);
            std::exit(request->IsRunning() ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
