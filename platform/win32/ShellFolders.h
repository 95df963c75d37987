#pragma once
// Shell folder query. CSIDL_LOCAL_APPDATA is $XDG_DATA_HOME (when absolute), else
// $HOME/.local/share; created when missing, as the Windows folder always exists.
#include "platform/win32/Types.h"

#define CSIDL_LOCAL_APPDATA 0x001c
#define SHGFP_TYPE_CURRENT 0

// pszPath receives the folder without a trailing separator, at most MAX_PATH wide
// characters including the terminator. Any other folder id fails with E_INVALIDARG.
HRESULT SHGetFolderPathW(HWND hwnd, int csidl, HANDLE token, DWORD flags, LPWSTR pszPath);
