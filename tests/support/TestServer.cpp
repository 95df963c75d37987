#include "support/TestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "tools/catalogue/Online.h"

namespace testsupport {

namespace {

namespace online = catalogue::online;

// Sends everything; false once the peer has gone (never a SIGPIPE).
bool SendAll(int socket, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = send(socket, data, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool SendAll(int socket, const std::string& text) { return SendAll(socket, text.data(), text.size()); }

std::string Head(int status, size_t length) {
    const char* reason = status == 200 ? "OK" : status == 404 ? "Not Found" : "Internal Server Error";
    return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Length: " + std::to_string(length) +
           "\r\nConnection: close\r\n\r\n";
}

std::string ErrorPage(int status) {
    return "<html><head><title>" + std::to_string(status) + "</title></head><body><h1>" + std::to_string(status) +
           "</h1><p>The test server says no.</p></body></html>";
}

// The server's own Base64 decoder: the standard alphabet, "=" only as fill.
bool DecodeBase64(const std::string& text, std::string& out) {
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    if (text.size() % 4 != 0) return false;
    uint32_t bits = 0;
    int held = 0;
    size_t fill = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=') {
            if (i + 2 < text.size()) return false;
            ++fill;
            continue;
        }
        if (fill > 0) return false;
        const size_t value = alphabet.find(text[i]);
        if (value == std::string::npos) return false;
        bits = (bits << 6) | static_cast<uint32_t>(value);
        held += 6;
        if (held >= 8) {
            held -= 8;
            out += static_cast<char>((bits >> held) & 0xFF);
        }
    }
    return true;
}

// Reads little-endian fields and strings that must lie within the data.
struct FieldReader {
    const std::string& data;
    size_t at = 0;
    bool Int32(int32_t& value) {
        if (data.size() - at < 4) return false;
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(data[at + static_cast<size_t>(i)]);
        value = static_cast<int32_t>(v);
        at += 4;
        return true;
    }
    bool Int64(uint64_t& value) {
        int32_t low = 0, high = 0;
        if (!Int32(low) || !Int32(high)) return false;
        value = (static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32) | static_cast<uint32_t>(low);
        return true;
    }
    bool String(std::string& value) {
        int32_t length = 0;
        if (!Int32(length) || length < 0 || static_cast<size_t>(length) > data.size() - at) return false;
        value = data.substr(at, static_cast<size_t>(length));
        at += static_cast<size_t>(length);
        return true;
    }
};

// Reads up to the end of the headers; false when the peer went first.
bool ReadHeaders(int socket, std::string& received, size_t& headerEnd) {
    char buffer[4096];
    while ((headerEnd = received.find("\r\n\r\n")) == std::string::npos) {
        const ssize_t n = recv(socket, buffer, sizeof(buffer), 0);
        if (n <= 0) return false;
        received.append(buffer, static_cast<size_t>(n));
    }
    headerEnd += 4;
    return true;
}

size_t ContentLength(const std::string& headers) {
    std::string lower = headers;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const size_t at = lower.find("\r\ncontent-length:");
    return at == std::string::npos ? 0 : std::strtoul(lower.c_str() + at + 17, nullptr, 10);
}

}  // namespace

TestServer::TestServer(int port) {
    bodies_[Route::Link] = "https://www.dunmarch.invalid/news";
    bodies_[Route::Name] = "banner.png";
    bodies_[Route::Image] = "banner image bytes";
    bodies_[Route::Fallback] = "fallback image bytes";
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) return;
    const int yes = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    socklen_t size = sizeof(address);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(listener, 16) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        close(listener);
        return;
    }
    listener_ = listener;
    port_ = ntohs(address.sin_port);
    acceptor_ = std::thread([this] { AcceptLoop(); });
}

TestServer::~TestServer() {
    stopping_.store(true);
    LiftStall();
    if (acceptor_.joinable()) acceptor_.join();
    std::vector<std::thread> connections;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (int socket : sockets_) shutdown(socket, SHUT_RDWR);
        connections.swap(connections_);
    }
    for (std::thread& connection : connections) connection.join();
    if (listener_ >= 0) close(listener_);
}

std::string TestServer::Address() const { return "127.0.0.1:" + std::to_string(port_); }

void TestServer::SetFault(Route route, Fault fault) {
    std::lock_guard<std::mutex> lock(mutex_);
    faults_[route] = fault;
}

void TestServer::SetBody(Route route, const std::string& body) {
    std::lock_guard<std::mutex> lock(mutex_);
    bodies_[route] = body;
}

bool TestServer::ServeShippedImages(const std::string& gameDir) {
    const std::pair<Route, const char*> images[] = {{Route::Image, online::kServedBannerFile},
                                                    {Route::Fallback, online::kServedFallbackFile}};
    for (const auto& image : images) {
        std::ifstream in(gameDir + "/" + image.second, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (bytes.empty()) return false;
        SetBody(image.first, bytes);
    }
    return true;
}

void TestServer::SetDripMs(int ms) {
    std::lock_guard<std::mutex> lock(mutex_);
    drip_ms_ = ms;
}

void TestServer::LiftStall() {
    std::lock_guard<std::mutex> lock(mutex_);
    stall_lifted_ = true;
    changed_.notify_all();
}

int TestServer::Count(Route route) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = requests_.find(route);
    return found == requests_.end() ? 0 : static_cast<int>(found->second.size());
}

std::vector<TestServer::Request> TestServer::Requests(Route route) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = requests_.find(route);
    return found == requests_.end() ? std::vector<Request>() : found->second;
}

std::vector<TestServer::Score> TestServer::Scores() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return scores_;
}

bool TestServer::WaitForCount(Route route, int n, int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        const auto found = requests_.find(route);
        return found != requests_.end() && static_cast<int>(found->second.size()) >= n;
    });
}

bool TestServer::WaitForStall(int timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return stalled_ > 0; });
}

TestServer::Route TestServer::RouteOf(const std::string& target) {
    const size_t mark = target.find('?');
    const std::string path = target.substr(0, mark);
    const std::string query = mark == std::string::npos ? std::string() : target.substr(mark + 1);
    const std::string common = online::kBannerCommonQuery;
    if (path == online::kScorePath) return Route::Score;
    if (path == online::kBannerLinkPiece && query == common) return Route::Link;
    if (path == online::kBannerImagePiece && query == common + "&" + online::kBannerNamePiece) return Route::Name;
    if (path == online::kBannerImagePiece && query == common) return Route::Image;
    if (path == online::kBannerFallbackPiece && query.empty()) return Route::Fallback;
    return Route::Other;
}

TestServer::Score TestServer::DecodeScore(const std::string& body) {
    Score score;
    std::string payload;
    if (!DecodeBase64(body, payload)) {
        score.failed = "base64";
        return score;
    }
    // The key: the decimal text of the payload's length.
    const std::string key = std::to_string(payload.size());
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(payload[i] ^ key[i % key.size()]);
    FieldReader in{payload};
    int32_t tag = 0, version = 0, constant = 0;
    if (!in.Int32(tag) || tag != 0x53435200) score.failed = "tag";
    else if (!in.Int32(version) || version != 1001) score.failed = "version";
    else if (!in.String(score.email)) score.failed = "e-mail";
    else if (!in.String(score.name)) score.failed = "name";
    else if (!in.String(score.map)) score.failed = "map";
    else if (!in.Int32(score.score) || !in.Int32(score.wave)) score.failed = "score";
    else if (!in.Int32(constant) || constant != 972) score.failed = "constant";
    else if (!in.Int64(score.deviceChecksum) || !in.Int32(score.time) || !in.Int32(score.language) ||
             !in.Int32(score.loadCount))
        score.failed = "fields";
    else if (!in.String(score.demo)) score.failed = "demo length";
    else if (score.demo.compare(0, 4, std::string("DEM\0", 4)) != 0) score.failed = "demo";
    else if (in.at != payload.size()) score.failed = "length";
    score.accepted = score.failed.empty();
    return score;
}

void TestServer::AcceptLoop() {
    while (!stopping_.load()) {
        pollfd wait{listener_, POLLIN, 0};
        if (poll(&wait, 1, 50) <= 0) continue;
        const int socket = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0) continue;
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_.load()) {
            close(socket);
            break;
        }
        sockets_.push_back(socket);
        connections_.emplace_back([this, socket] { Serve(socket); });
    }
}

std::string TestServer::BodyFor(Route route) const {
    const auto found = bodies_.find(route);
    return found == bodies_.end() ? std::string() : found->second;
}

void TestServer::Serve(int socket) {
    std::string received;
    size_t headerEnd = 0;
    Fault fault = Fault::None;
    Route route = Route::Other;
    Request request;
    if (ReadHeaders(socket, received, headerEnd)) {
        const std::string head = received.substr(0, headerEnd);
        const size_t space = head.find(' ');
        const size_t second = head.find(' ', space + 1);
        request.method = head.substr(0, space);
        request.target = space == std::string::npos ? std::string() : head.substr(space + 1, second - space - 1);
        request.headers = head;
        route = RouteOf(request.target);
        int dripMs = 0;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            const auto found = faults_.find(route);
            fault = found == faults_.end() ? Fault::None : found->second;
            dripMs = drip_ms_;
            if (fault == Fault::Stall) {
                ++stalled_;
                changed_.notify_all();
                changed_.wait(lock, [&] { return stall_lifted_; });
            }
        }
        // The body, whole.
        const size_t length = ContentLength(head);
        std::string body = received.substr(headerEnd);
        char buffer[4096];
        while (body.size() < length && !stopping_.load()) {
            const ssize_t n = recv(socket, buffer, sizeof(buffer), 0);
            if (n <= 0) break;
            body.append(buffer, static_cast<size_t>(n));
        }
        if (body.size() >= length) {
            request.body = body.substr(0, length);
            std::string reply;
            int status = 200;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (route == Route::Score) {
                    const Score score = DecodeScore(request.body);
                    scores_.push_back(score);
                    reply = score.accepted ? "<response result=\"1\" info=\"Score received\"/>"
                                           : "<response result=\"0\" info=\"Refused: " + score.failed + "\"/>";
                } else if (route == Route::Other) {
                    status = 404;
                    reply = ErrorPage(404);
                } else {
                    reply = BodyFor(route);
                }
                requests_[route].push_back(request);
                changed_.notify_all();
            }
            switch (fault) {
                case Fault::NotFound:
                    status = 404;
                    reply = ErrorPage(404);
                    break;
                case Fault::ServerError:
                    status = 500;
                    reply = ErrorPage(500);
                    break;
                case Fault::EmptyBody: reply.clear(); break;
                case Fault::ZeroByte:
                    reply = reply.substr(0, reply.size() / 2) + std::string(1, '\0') + reply.substr(reply.size() / 2);
                    break;
                case Fault::Oversize: reply.assign(OversizeBytes(), 'x'); break;
                default: break;
            }
            if (fault == Fault::Refuse) {
                // no reply at all
            } else if (fault == Fault::CloseMidBody) {
                SendAll(socket, Head(status, reply.size()) + reply.substr(0, reply.size() / 2));
            } else if (fault == Fault::Drip) {
                bool open = SendAll(socket, Head(status, reply.size()));
                for (size_t i = 0; open && i < reply.size() && !stopping_.load(); ++i) {
                    // A stopping server does not wait out the pause.
                    std::unique_lock<std::mutex> lock(mutex_);
                    if (changed_.wait_for(lock, std::chrono::milliseconds(dripMs), [&] { return stopping_.load(); }))
                        break;
                    lock.unlock();
                    open = SendAll(socket, &reply[i], 1);
                }
            } else {
                SendAll(socket, Head(status, reply.size()) + reply);
            }
        }
    }
    shutdown(socket, SHUT_WR);
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t i = 0; i < sockets_.size(); ++i)
        if (sockets_[i] == socket) sockets_.erase(sockets_.begin() + static_cast<long>(i));
    close(socket);
}

}  // namespace testsupport
