#pragma once
// The program file path and the computer name.
#include "platform/win32/Types.h"

typedef HINSTANCE HMODULE;

#define MAX_COMPUTERNAME_LENGTH 15

// The full path of the running program (/proc/self/exe); the module handle
// is not used. Returns the length copied, without the terminator; a path
// that does not fit is cut to size - 1 characters and size is returned.
// 0 on failure.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);

// The host name, cut to MAX_COMPUTERNAME_LENGTH characters as a NetBIOS
// name is. *size holds the buffer size in characters; on success it becomes
// the name's length. When the buffer is too small, FALSE and *size the
// size needed, terminator included.
BOOL GetComputerNameA(LPSTR buffer, LPDWORD size);
