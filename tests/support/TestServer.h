#pragma once
// The score and banner servers on 127.0.0.1, for tests (each starts its own)
// and, as build/tests/Net/dunmarch-testserver, for trying the game by hand. It
// answers the catalogue's paths (tools/catalogue/Online.h), counts requests per
// route, keeps what it received and plays the faults a real server shows.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

class TestServer {
public:
    enum class Route { Score, Link, Name, Image, Fallback, Other };
    enum class Fault {
        None,
        Refuse,        // reads the request and closes without a reply
        Stall,         // reads the headers and waits for LiftStall before the body
        CloseMidBody,  // announces the whole body, sends half and closes
        NotFound,      // 404 with an error page
        ServerError,   // 500 with an error page
        EmptyBody,
        ZeroByte,  // the body with a zero byte in its middle
        Oversize,  // a body of OversizeBytes()
        Drip,      // the head at once, then the body one byte at a time, DripMs apart
    };
    struct Request {
        std::string method;
        std::string target;  // path and query
        std::string headers;
        std::string body;
    };
    // A score payload as the server decoded it.
    struct Score {
        bool accepted = false;
        std::string failed;  // the check that failed
        std::string email, name, map;
        int32_t score = 0, wave = 0, time = 0, language = 0, loadCount = 0;
        uint64_t deviceChecksum = 0;
        std::string demo;
    };

    // Listens on 127.0.0.1 at the given port (0: one the system picks).
    explicit TestServer(int port = 0);
    // Lifts any stall, closes every connection and waits for their threads.
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    bool Listening() const { return listener_ >= 0; }
    int Port() const { return port_; }
    // "127.0.0.1:PORT", the value of DUNMARCH_NET_REDIRECT.
    std::string Address() const;

    void SetFault(Route route, Fault fault);
    // What a route answers with 200 (the link, the image name, the image bytes ...).
    void SetBody(Route route, const std::string& body);
    void SetDripMs(int ms);
    // Serves the data builder's banner and fallback images (read from beside the
    // game folder) on the image and fallback routes; false when one is missing.
    bool ServeShippedImages(const std::string& gameDir);
    static size_t OversizeBytes() { return 5u << 20; }
    void LiftStall();

    // Requests received whole, per route.
    int Count(Route route) const;
    std::vector<Request> Requests(Route route) const;
    std::vector<Score> Scores() const;
    // Waits until Count(route) reaches n; false after the time-out.
    bool WaitForCount(Route route, int n, int timeoutMs) const;

    // Waits until a request has stopped at the stall; false after the time-out.
    bool WaitForStall(int timeoutMs) const;

    // The route of a request target.
    static Route RouteOf(const std::string& target);
    // The server's own check of a score request body.
    static Score DecodeScore(const std::string& body);

private:
    void AcceptLoop();
    void Serve(int socket);
    std::string BodyFor(Route route) const;

    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptor_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::thread> connections_;
    std::vector<int> sockets_;
    std::map<Route, Fault> faults_;
    std::map<Route, std::string> bodies_;
    std::map<Route, std::vector<Request>> requests_;
    std::vector<Score> scores_;
    bool stall_lifted_ = false;
    int stalled_ = 0;  // requests that reached the stall
    int drip_ms_ = 100;
};

}  // namespace testsupport
