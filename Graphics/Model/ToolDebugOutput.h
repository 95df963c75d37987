#pragma once
// printf-style debug output of the tools layer; texts longer than 1023
// characters are cut.

void ToolDebugOutput(const char* format, ...) __attribute__((format(printf, 1, 2)));
