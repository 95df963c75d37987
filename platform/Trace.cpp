#include "platform/Trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

bool PlatformTraceEnabled() {
    static const bool enabled = std::getenv("DUNMARCH_TRACE") != nullptr;
    return enabled;
}

void PlatformTrace(const char* format, ...) {
    if (!PlatformTraceEnabled()) return;
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    std::fprintf(stderr, "[trace] %s\n", line);
    std::fflush(stderr);
}
