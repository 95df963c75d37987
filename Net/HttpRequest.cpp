#include "Net/HttpRequest.h"

#include <cstring>
#include <vector>

#include "Core/TextHelpers.h"
#include "IO/MemoryStream.h"
#include "Net/OnlineTexts.h"
#include "platform/win32/WinInet.h"

namespace {

using namespace Net::texts;

constexpr DWORD kConnectTimeoutMs = 60000;
constexpr DWORD kChunk = 614400;

// Made once, safely when two threads ask first, and never destroyed: a request
// may still run while the program ends.
const std::string& Kept(const char* scrambled) { return *new std::string(ScrambleString(scrambled)); }
const std::string& SecurePrefix() {
    static const std::string& text = Kept(kSecurePrefix);
    return text;
}
const std::string& PlainPrefix() {
    static const std::string& text = Kept(kPlainPrefix);
    return text;
}
const std::string& AgentName() {
    static const std::string& text = Kept(kAgentName);
    return text;
}
const std::string& Headers() {
    static const std::string& text = Kept(kHeaders);
    return text;
}

// What is open, closed newest first however the call ends.
struct Handles {
    HINTERNET root = nullptr;
    HINTERNET connection = nullptr;
    HINTERNET request = nullptr;
    ~Handles() { Close(); }
    void Close() {
        if (request != nullptr) InternetCloseHandle(request);
        if (connection != nullptr) InternetCloseHandle(connection);
        if (root != nullptr) InternetCloseHandle(root);
        request = connection = root = nullptr;
    }
};

}  // namespace

bool HttpRequest(const std::string& endpoint, const std::string& objectPath, const std::string& body,
                 std::string& replyText, unsigned char* replyBuffer, int* replyLength, int replyCapacity,
                 int* statusCode, int timeLimitMs) {
    // 1. The kept texts, in this order.
    const std::string& securePrefix = SecurePrefix();
    const std::string& plainPrefix = PlainPrefix();
    const std::string& agentName = AgentName();
    const std::string& headers = Headers();

    // 2, 3. The connection from the endpoint's prefix.
    INTERNET_PORT port = 80;
    bool secure = false;
    std::string host;
    if (endpoint.compare(0, securePrefix.size(), securePrefix) == 0) {
        secure = true;
        host = endpoint.substr(securePrefix.size());
        port = 443;
    } else if (endpoint.compare(0, plainPrefix.size(), plainPrefix) == 0) {
        host = endpoint.substr(plainPrefix.size());
    }

    // 4 - 7.
    Handles handles;
    handles.root = InternetOpenA(agentName.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (handles.root == nullptr) return false;
    handles.connection =
        InternetConnectA(handles.root, host.c_str(), port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (handles.connection == nullptr) return false;
    DWORD timeout = kConnectTimeoutMs;
    InternetSetOptionA(handles.connection, INTERNET_OPTION_CONNECT_TIMEOUT, &timeout, sizeof(timeout));
    if (timeLimitMs > 0) {
        DWORD limit = static_cast<DWORD>(timeLimitMs);
        InternetSetOptionA(handles.connection, INTERNET_OPTION_RECEIVE_TIMEOUT, &limit, sizeof(limit));
    }
    const std::string verb = ScrambleString(kVerb);
    DWORD flags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION;
    if (secure) flags |= INTERNET_FLAG_SECURE;
    handles.request =
        HttpOpenRequestA(handles.connection, verb.c_str(), objectPath.c_str(), nullptr, nullptr, nullptr, flags, 0);
    if (handles.request == nullptr) return false;

    // 8, 9. The status decides nothing here.
    if (!HttpSendRequestA(handles.request, headers.c_str(), static_cast<DWORD>(headers.size()),
                          const_cast<char*>(body.data()), static_cast<DWORD>(body.size())))
        return false;
    DWORD status = 0;
    DWORD statusSize = sizeof(status);
    if (!HttpQueryInfoA(handles.request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &statusSize,
                        nullptr))
        return false;

    // 10. A read that fails ends the call: the body is incomplete. In raw mode
    // reading stops once the body has passed the caller's capacity.
    std::vector<unsigned char> chunk(kChunk, 0);
    MemoryStream collected;
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(handles.request, chunk.data(), kChunk, &read)) return false;
        if (read == 0) break;
        collected.Write(chunk.data(), static_cast<int>(read));
        if (replyBuffer != nullptr && collected.GetSize() > replyCapacity) return false;
    }

    // 11.
    handles.Close();

    // 12.
    int length = 0;
    const char* flat = collected.GetBuffer(length);
    if (replyBuffer != nullptr) {
        if (length > 0) std::memcpy(replyBuffer, flat, static_cast<size_t>(length));
        if (replyLength != nullptr) *replyLength = length;
    } else {
        replyText = flat != nullptr ? std::string(flat, strnlen(flat, static_cast<size_t>(length))) : std::string();
    }
    if (statusCode != nullptr) *statusCode = static_cast<int>(status);
    return true;
}

bool IsOnline() { return true; }

bool IsOffline() { return false; }
