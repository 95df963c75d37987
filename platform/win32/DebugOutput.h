#pragma once
// Debugger output: there is no debugger channel here, the text goes to stderr.
#include "platform/win32/Types.h"

void OutputDebugStringA(LPCSTR text);
