#pragma once
// Read-only registry: the one key the game reads,
// HKEY_LOCAL_MACHINE\SOFTWARE\Morvane\Dunmarch\PARAMETERS, lives in a text file of
// "NAME=value" lines: the file named by DUNMARCH_REGISTRY, else "registry.ini" in the
// program folder. A missing file is a missing key; a missing or unparsable line is a
// missing value. Values are DWORDs (decimal, or hexadecimal with 0x).
#include "platform/win32/Types.h"

struct HKEY__;
typedef HKEY__* HKEY;
typedef HKEY* PHKEY;
typedef BYTE* LPBYTE;
typedef LONG LSTATUS;
typedef DWORD REGSAM;

#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x80000002u)))

#define KEY_QUERY_VALUE 0x0001
#define KEY_READ 0x20019
#define REG_NONE 0
#define REG_SZ 1
#define REG_DWORD 4

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MORE_DATA 234L

// Opens the key for reading. Only HKEY_LOCAL_MACHINE and the game's key path
// (compared without regard to case) exist; write access is refused.
LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM desired, PHKEY result);
// Queries a DWORD value. data may be null (size query); *dataSize must be at least 4
// when data is given, else ERROR_MORE_DATA.
LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize);
LSTATUS RegCloseKey(HKEY key);
