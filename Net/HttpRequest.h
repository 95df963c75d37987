#pragma once
// The one blocking HTTP request of the game. Runs on a request thread or the
// loader thread, never on the main thread.
#include <string>

// Sends the body to the endpoint (a scheme prefix and a host name) with the
// object path (path and query) and reads the whole reply body.
// - Text mode (replyBuffer null): replyText gets the body up to its first zero byte.
// - Raw mode: the body's bytes go to replyBuffer, which holds replyCapacity
//   bytes; a longer body fails the call (nothing copied). replyLength, when
//   given, gets the count.
// True once the reply has been read whole, whatever its status code, which
// goes to statusCode when asked for. A failure (no connection, no reply, a
// reply that broke off) returns false and leaves every output as it was.
// An endpoint with neither scheme prefix goes nowhere and fails.
// A time limit above 0 bounds the whole request, connecting included, in ms;
// a request that has not ended by then fails.
bool HttpRequest(const std::string& endpoint, const std::string& objectPath, const std::string& body,
                 std::string& replyText, unsigned char* replyBuffer = nullptr, int* replyLength = nullptr,
                 int replyCapacity = 0, int* statusCode = nullptr, int timeLimitMs = 0);

// Asked before anything is sent; true in every case.
bool IsOnline();
// Its counterpart, false in every case; nothing asks it.
bool IsOffline();
