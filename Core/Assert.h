#pragma once
// Assertions stay active in every build. A failed one reports its condition, its
// message and its source place on stderr, and the program goes on: the callers say what
// happens after a failed check.
//
//   DM_ASSERT(!path.empty(), "IPHONE OR IPAD RESOURCES PATH EMPTY OR DOESNT EXISTS");

// Reported as: Assertion failed: <condition> && "<message>" (<file>:<line>)
void ReportAssertion(const char* condition, const char* message, const char* file, int line);

// Replaces the report (tests watch for assertions with it); null restores the default.
// Returns the previous handler.
typedef void (*AssertionHandler)(const char* condition, const char* message, const char* file, int line);
AssertionHandler SetAssertionHandler(AssertionHandler handler);

#define DM_ASSERT(condition, message) \
    ((condition) ? static_cast<void>(0) : ::ReportAssertion(#condition, message, __FILE__, __LINE__))
