#pragma once
// Lifecycle lines ("[trace] ...") on stderr, only when the environment variable
// DUNMARCH_TRACE is set. End-to-end tests read them to check start-up and
// shutdown order; a normal run prints nothing.

bool PlatformTraceEnabled();
void PlatformTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Tests in the program's own process hear every line through a listener,
// whether or not the lines are printed; null removes it.
typedef void (*PlatformTraceListener)(const char* line);
void SetPlatformTraceListener(PlatformTraceListener listener);
