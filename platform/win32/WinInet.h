#pragma once
// The blocking HTTP request the online code is written against, over
// libcurl's easy interface. A root handle holds the agent, a connection the
// host, port and connect time-out, a request its verb, path and flags; the
// whole transfer happens in HttpSendRequestA, and InternetReadFile hands out
// the body it received.
//
// - libcurl is set up on the first request and never torn down, so a request
//   that still runs while the program ends neither waits nor crashes.
// - Time-outs: the connect time-out set on the connection (default 60 s); a
//   transfer that receives no byte for 30 s, or lasts over 120 s, breaks off; the
//   receive time-out set on the connection shortens the 120 s for its requests.
// - No reply is held beyond 4 MiB: a longer body breaks the transfer off.
// - HttpSendRequestA fails when no reply came (refused, nothing answered, time-out
//   before the status line); a reply that breaks off after its status line is
//   delivered as far as it came and the read after its last byte fails.
// - A host under ".invalid" fails at once, without a look-up, unless requests
//   are redirected; so does an empty host.
#include <cstdint>
#include <string>

#include "platform/win32/Types.h"

typedef void* HINTERNET;
typedef uint16_t INTERNET_PORT;
typedef uintptr_t DWORD_PTR;

#define INTERNET_OPEN_TYPE_DIRECT 1
#define INTERNET_SERVICE_HTTP 3
#define INTERNET_OPTION_CONNECT_TIMEOUT 2
#define INTERNET_OPTION_RECEIVE_TIMEOUT 6
#define INTERNET_FLAG_NO_CACHE_WRITE 0x04000000
#define INTERNET_FLAG_KEEP_CONNECTION 0x00400000
#define INTERNET_FLAG_SECURE 0x00800000
#define HTTP_QUERY_STATUS_CODE 19
#define HTTP_QUERY_FLAG_NUMBER 0x20000000

HINTERNET InternetOpenA(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR proxyBypass, DWORD flags);
HINTERNET InternetConnectA(HINTERNET internet, LPCSTR serverName, INTERNET_PORT port, LPCSTR userName, LPCSTR password,
                           DWORD service, DWORD flags, DWORD_PTR context);
// Only INTERNET_OPTION_CONNECT_TIMEOUT and INTERNET_OPTION_RECEIVE_TIMEOUT (the
// most a request may take, connecting included) on a connection, a 4-byte value
// in ms.
BOOL InternetSetOptionA(HINTERNET internet, DWORD option, LPVOID buffer, DWORD bufferLength);
HINTERNET HttpOpenRequestA(HINTERNET connect, LPCSTR verb, LPCSTR objectName, LPCSTR version, LPCSTR referrer,
                           LPCSTR* acceptTypes, DWORD flags, DWORD_PTR context);
// The headers are lines ended by "\r\n"; a length of (DWORD)-1 takes the text to its zero byte.
BOOL HttpSendRequestA(HINTERNET request, LPCSTR headers, DWORD headersLength, LPVOID optional, DWORD optionalLength);
// Only HTTP_QUERY_STATUS_CODE with HTTP_QUERY_FLAG_NUMBER into a 4-byte number.
BOOL HttpQueryInfoA(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD bufferLength, LPDWORD index);
// Up to toRead bytes of the body; 0 read at its end. FALSE once the body is
// used up when the transfer broke off.
BOOL InternetReadFile(HINTERNET file, LPVOID buffer, DWORD toRead, LPDWORD read);
BOOL InternetCloseHandle(HINTERNET internet);

namespace platform {

// Seams for tests and for trying the game by hand; the environment sets them
// at the first request ("DUNMARCH_NET_REDIRECT=127.0.0.1:PORT",
// "DUNMARCH_NET_TIMEOUTS=connect,receive,whole" in ms), the setters override.
// A redirect connects every request to that address, keeping host, path and
// headers; an empty text ends it. A time-out of 0 or less keeps the default.
void SetNetRedirect(const std::string& address);
void SetNetTimeouts(long connectMs, long receiveMs, long wholeMs);

// What the last request opened: its host, port and flags, and whether it went
// out on the network.
struct InternetConnectionRecord {
    std::string host;
    int port = 0;
    DWORD flags = 0;
    bool networkAttempt = false;
};
InternetConnectionRecord LastInternetConnection();

}  // namespace platform
