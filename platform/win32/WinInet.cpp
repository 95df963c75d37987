#include "platform/win32/WinInet.h"

#include <curl/curl.h>
#include <strings.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

constexpr long kDefaultConnectMs = 60000;
constexpr long kReceiveMs = 30000;  // without a byte
constexpr long kWholeMs = 120000;   // per request
constexpr size_t kMaxReply = 4u << 20;

struct Settings {
    std::string redirect;  // "host:port", empty: none
    long connectMs = 0;    // 0: the connection's own
    long receiveMs = kReceiveMs;
    long wholeMs = kWholeMs;
};

std::mutex g_mutex;
Settings g_settings;
platform::InternetConnectionRecord g_last;

// The environment is read once, before any setter or request uses the settings.
Settings& SettingsLocked() {
    static bool read = false;
    if (!read) {
        read = true;
        if (const char* redirect = std::getenv("DUNMARCH_NET_REDIRECT")) g_settings.redirect = redirect;
        if (const char* timeouts = std::getenv("DUNMARCH_NET_TIMEOUTS")) {
            long values[3] = {0, 0, 0};
            std::sscanf(timeouts, "%ld,%ld,%ld", &values[0], &values[1], &values[2]);
            if (values[0] > 0) g_settings.connectMs = values[0];
            if (values[1] > 0) g_settings.receiveMs = values[1];
            if (values[2] > 0) g_settings.wholeMs = values[2];
        }
    }
    return g_settings;
}

// Set up once and never torn down: a request may still run while the program ends.
bool CurlReady() {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ready;
}

enum class Kind { Root, Connection, Request };

struct Handle {
    explicit Handle(Kind k) : kind(k) {}
    Kind kind;
    std::string agent;  // root; copied down to the connection and the request
    std::string host;
    INTERNET_PORT port = 0;
    long connectMs = kDefaultConnectMs;
    long receiveMs = 0;  // 0: no limit of its own
    // The request.
    std::string verb;
    std::string path;
    DWORD flags = 0;
    bool sent = false;
    long status = 0;
    std::string body;
    size_t readAt = 0;
    bool brokeOff = false;
};

Handle* As(HINTERNET handle, Kind kind) {
    Handle* h = static_cast<Handle*>(handle);
    return h != nullptr && h->kind == kind ? h : nullptr;
}

bool EndsWithInvalid(const std::string& host) {
    static const char kInvalid[] = ".invalid";
    const size_t n = sizeof(kInvalid) - 1;
    std::string name = host;
    if (!name.empty() && name.back() == '.') name.pop_back();
    return name.size() >= n && strcasecmp(name.c_str() + name.size() - n, kInvalid) == 0;
}

struct Transfer {
    Handle* request;
    bool oversize = false;
    long receiveMs;
    curl_off_t lastDown = -1;
    curl_off_t lastUp = -1;
    std::chrono::steady_clock::time_point lastByte = std::chrono::steady_clock::now();
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
    Transfer* transfer = static_cast<Transfer*>(user);
    const size_t n = size * count;
    if (transfer->request->body.size() + n > kMaxReply) {
        transfer->oversize = true;
        return 0;  // breaks the transfer off
    }
    transfer->request->body.append(data, n);
    return n;
}

// Breaks off a transfer that has moved no byte either way for the receive time-out.
int OnProgress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) {
    Transfer* transfer = static_cast<Transfer*>(user);
    const auto now = std::chrono::steady_clock::now();
    if (downloaded != transfer->lastDown || uploaded != transfer->lastUp) {
        transfer->lastDown = downloaded;
        transfer->lastUp = uploaded;
        transfer->lastByte = now;
        return 0;
    }
    const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(now - transfer->lastByte).count();
    return idle > transfer->receiveMs ? 1 : 0;
}

}  // namespace

HINTERNET InternetOpenA(LPCSTR agent, DWORD, LPCSTR, LPCSTR, DWORD) {
    if (!CurlReady()) return nullptr;
    Handle* root = new Handle(Kind::Root);
    root->agent = agent != nullptr ? agent : "";
    return root;
}

HINTERNET InternetConnectA(HINTERNET internet, LPCSTR serverName, INTERNET_PORT port, LPCSTR, LPCSTR, DWORD service,
                           DWORD, DWORD_PTR) {
    const Handle* root = As(internet, Kind::Root);
    if (root == nullptr || service != INTERNET_SERVICE_HTTP) return nullptr;
    Handle* connection = new Handle(Kind::Connection);
    connection->agent = root->agent;
    connection->host = serverName != nullptr ? serverName : "";
    connection->port = port;
    return connection;
}

BOOL InternetSetOptionA(HINTERNET internet, DWORD option, LPVOID buffer, DWORD bufferLength) {
    Handle* connection = As(internet, Kind::Connection);
    if (connection == nullptr || buffer == nullptr || bufferLength != sizeof(DWORD)) return FALSE;
    DWORD ms = 0;
    std::memcpy(&ms, buffer, sizeof(ms));
    if (option == INTERNET_OPTION_CONNECT_TIMEOUT) connection->connectMs = static_cast<long>(ms);
    else if (option == INTERNET_OPTION_RECEIVE_TIMEOUT) connection->receiveMs = static_cast<long>(ms);
    else return FALSE;
    return TRUE;
}

HINTERNET HttpOpenRequestA(HINTERNET connect, LPCSTR verb, LPCSTR objectName, LPCSTR, LPCSTR, LPCSTR*, DWORD flags,
                           DWORD_PTR) {
    const Handle* connection = As(connect, Kind::Connection);
    if (connection == nullptr) return nullptr;
    Handle* request = new Handle(Kind::Request);
    request->agent = connection->agent;
    request->host = connection->host;
    request->port = connection->port;
    request->connectMs = connection->connectMs;
    request->receiveMs = connection->receiveMs;
    request->verb = verb != nullptr && *verb != '\0' ? verb : "GET";
    request->path = objectName != nullptr ? objectName : "";
    if (request->path.empty() || request->path[0] != '/') request->path.insert(0, "/");
    request->flags = flags;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_last = platform::InternetConnectionRecord();
        g_last.host = request->host;
        g_last.port = request->port;
        g_last.flags = flags;
    }
    return request;
}

BOOL HttpSendRequestA(HINTERNET handle, LPCSTR headers, DWORD headersLength, LPVOID optional, DWORD optionalLength) {
    Handle* request = As(handle, Kind::Request);
    if (request == nullptr || request->sent) return FALSE;
    request->sent = true;
    Settings settings;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        settings = SettingsLocked();
    }
    if (request->host.empty()) return FALSE;
    if (settings.redirect.empty() && EndsWithInvalid(request->host)) return FALSE;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_last.networkAttempt = true;
    }

    CURL* curl = curl_easy_init();
    if (curl == nullptr) return FALSE;
    const bool secure = (request->flags & INTERNET_FLAG_SECURE) != 0;
    const std::string url = std::string(secure ? "https://" : "http://") + request->host + ":" +
                            std::to_string(request->port) + request->path;
    curl_slist* headerList = nullptr;
    if (headers != nullptr) {
        const std::string text =
            headersLength == static_cast<DWORD>(-1) ? std::string(headers) : std::string(headers, headersLength);
        size_t at = 0;
        while (at < text.size()) {
            size_t end = text.find("\r\n", at);
            if (end == std::string::npos) end = text.size();
            if (end > at) headerList = curl_slist_append(headerList, text.substr(at, end - at).c_str());
            at = end + 2;
        }
    }
    // Bodies go out at once, without waiting for a "100 Continue".
    headerList = curl_slist_append(headerList, "Expect:");
    curl_slist* connectTo = nullptr;
    if (!settings.redirect.empty()) connectTo = curl_slist_append(connectTo, ("::" + settings.redirect).c_str());

    Transfer transfer{request, false, settings.receiveMs};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, request->agent.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headerList);
    if (connectTo != nullptr) curl_easy_setopt(curl, CURLOPT_CONNECT_TO, connectTo);
    // The shorter of the seam's time-outs and the request's own.
    long connectMs = settings.connectMs > 0 ? settings.connectMs : request->connectMs;
    long wholeMs = settings.wholeMs;
    if (request->receiveMs > 0) {
        wholeMs = std::min(wholeMs, request->receiveMs);
        connectMs = std::min(connectMs, request->receiveMs);
    }
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, connectMs);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, wholeMs);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    if (strcasecmp(request->verb.c_str(), "GET") == 0 && optionalLength == 0) {
        curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    } else {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(optional ? optionalLength : 0));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, optional != nullptr ? optional : "");
        if (strcasecmp(request->verb.c_str(), "POST") != 0)
            curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request->verb.c_str());
    }

    const CURLcode result = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    curl_slist_free_all(headerList);
    curl_slist_free_all(connectTo);
    if (status == 0) {  // no reply at all
        request->body.clear();
        return FALSE;
    }
    request->status = status;
    request->brokeOff = result != CURLE_OK || transfer.oversize;
    return TRUE;
}

BOOL HttpQueryInfoA(HINTERNET handle, DWORD infoLevel, LPVOID buffer, LPDWORD bufferLength, LPDWORD) {
    const Handle* request = As(handle, Kind::Request);
    if (request == nullptr || request->status == 0 || buffer == nullptr || bufferLength == nullptr) return FALSE;
    if (infoLevel != (HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER) || *bufferLength < sizeof(DWORD)) return FALSE;
    const DWORD status = static_cast<DWORD>(request->status);
    std::memcpy(buffer, &status, sizeof(status));
    *bufferLength = sizeof(status);
    return TRUE;
}

BOOL InternetReadFile(HINTERNET handle, LPVOID buffer, DWORD toRead, LPDWORD read) {
    Handle* request = As(handle, Kind::Request);
    if (request == nullptr || request->status == 0 || read == nullptr || (buffer == nullptr && toRead > 0))
        return FALSE;
    const size_t left = request->body.size() - request->readAt;
    const size_t n = left < toRead ? left : toRead;
    if (n == 0 && request->brokeOff) return FALSE;
    if (n > 0) std::memcpy(buffer, request->body.data() + request->readAt, n);
    request->readAt += n;
    *read = static_cast<DWORD>(n);
    return TRUE;
}

BOOL InternetCloseHandle(HINTERNET internet) {
    Handle* handle = static_cast<Handle*>(internet);
    if (handle == nullptr) return FALSE;
    delete handle;
    return TRUE;
}

namespace platform {

void SetNetRedirect(const std::string& address) {
    std::lock_guard<std::mutex> lock(g_mutex);
    SettingsLocked().redirect = address;
}

void SetNetTimeouts(long connectMs, long receiveMs, long wholeMs) {
    std::lock_guard<std::mutex> lock(g_mutex);
    Settings& settings = SettingsLocked();
    settings.connectMs = connectMs > 0 ? connectMs : 0;
    settings.receiveMs = receiveMs > 0 ? receiveMs : kReceiveMs;
    settings.wholeMs = wholeMs > 0 ? wholeMs : kWholeMs;
}

InternetConnectionRecord LastInternetConnection() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_last;
}

}  // namespace platform
