#pragma once
// Opening a web address in the user's browser.
#include "platform/win32/Types.h"

#define SE_ERR_FNF 2
#define SE_ERR_NOASSOC 31

// Only the default or "open" verb with an http:// or https:// address is
// accepted; it is handed to xdg-open as one argument, never through a shell.
// The result is above 32 when the opener succeeded or still runs after a
// short wait; SE_ERR_NOASSOC for anything that is not a web address or when
// the opener fails (nothing handles the link), SE_ERR_FNF when no opener can
// be run.
HINSTANCE ShellExecuteA(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT show);

// The program ShellExecuteA starts (default "xdg-open"; tests put a harmless one here).
void SetUrlOpener(const char* program);
