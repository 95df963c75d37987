#pragma once
// Opening a web address in the user's browser.
#include "platform/win32/Types.h"

#define SE_ERR_FNF 2
#define SE_ERR_NOASSOC 31

// Only the default or "open" verb with an http:// or https:// address without
// blanks or control characters is accepted; it is handed to xdg-open as one
// argument, never through a shell. The result is above 32 once the opener has
// started, whatever it then does (its reaper writes one line on the standard
// error when it fails); SE_ERR_NOASSOC for anything that is not such an
// address, SE_ERR_FNF when no opener can be run.
HINSTANCE ShellExecuteA(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT show);

// The program ShellExecuteA starts (default "xdg-open"; tests put a harmless one here).
void SetUrlOpener(const char* program);
