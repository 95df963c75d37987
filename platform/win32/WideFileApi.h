#pragma once
// The wide-character file calls the settings and the banner cache use.
#include <cstdio>

#include "platform/win32/FileAttributes.h"
#include "platform/win32/Types.h"

struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

#ifndef INVALID_FILE_ATTRIBUTES
#define INVALID_FILE_ATTRIBUTES (static_cast<DWORD>(0xFFFFFFFFu))
#endif
#ifndef MOVEFILE_REPLACE_EXISTING
#define MOVEFILE_REPLACE_EXISTING 0x00000001
#endif
#ifndef MOVEFILE_WRITE_THROUGH
#define MOVEFILE_WRITE_THROUGH 0x00000008
#endif

// INVALID_FILE_ATTRIBUTES when the path does not exist.
DWORD GetFileAttributesW(LPCWSTR path);
// One level; fails when the folder exists or its parent does not.
BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES attributes);
BOOL DeleteFileW(LPCWSTR path);
// With MOVEFILE_REPLACE_EXISTING an existing destination is replaced in one step
// (rename); with MOVEFILE_WRITE_THROUGH the data and the rename reach the disk first.
BOOL MoveFileExW(LPCWSTR existing, LPCWSTR destination, DWORD flags);

// The C runtime's wide-name fopen.
FILE* _wfopen(const wchar_t* path, const wchar_t* mode);
