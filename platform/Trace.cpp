#include "platform/Trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

PlatformTraceListener g_listener = nullptr;

}  // namespace

bool PlatformTraceEnabled() {
    static const bool enabled = std::getenv("DUNMARCH_TRACE") != nullptr;
    return enabled;
}

void SetPlatformTraceListener(PlatformTraceListener listener) { g_listener = listener; }

void PlatformTrace(const char* format, ...) {
    if (!PlatformTraceEnabled() && g_listener == nullptr) return;
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (PlatformTraceEnabled()) {
        std::fprintf(stderr, "[trace] %s\n", line);
        std::fflush(stderr);
    }
    if (g_listener != nullptr) g_listener(line);
}
