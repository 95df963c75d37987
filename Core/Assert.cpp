#include "Core/Assert.h"

#include <atomic>
#include <cstdio>

namespace {
std::atomic<AssertionHandler> g_handler{nullptr};
}

void ReportAssertion(const char* condition, const char* message, const char* file, int line) {
    if (AssertionHandler handler = g_handler.load()) {
        handler(condition, message, file, line);
        return;
    }
    std::fprintf(stderr, "Assertion failed: %s && \"%s\" (%s:%d)\n", condition ? condition : "", message ? message : "",
                 file ? file : "", line);
    std::fflush(stderr);
}

AssertionHandler SetAssertionHandler(AssertionHandler handler) { return g_handler.exchange(handler); }
