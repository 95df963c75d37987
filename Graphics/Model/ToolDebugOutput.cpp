#include "Graphics/Model/ToolDebugOutput.h"

#include "platform/win32/DebugOutput.h"

#include <cstdarg>
#include <cstdio>

void ToolDebugOutput(const char* format, ...) {
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    OutputDebugStringA(buffer);
}
