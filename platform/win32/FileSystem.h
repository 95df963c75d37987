#pragma once
// The ANSI file calls of the file layer, and how a Windows file name finds
// its file here: '\' separates folders like '/', and a name that does not
// open as written is matched case-insensitively, one path component at a
// time, as Windows would.
#include <cstdio>
#include <string>

#include "platform/win32/FileAttributes.h"
#include "platform/win32/Types.h"

#ifndef REPLACEFILE_WRITE_THROUGH
#define REPLACEFILE_WRITE_THROUGH 0x00000001
#endif
#ifndef REPLACEFILE_IGNORE_MERGE_ERRORS
#define REPLACEFILE_IGNORE_MERGE_ERRORS 0x00000002
#endif

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    CHAR cFileName[MAX_PATH];
};
typedef WIN32_FIND_DATAA* LPWIN32_FIND_DATAA;

// Removes a file (never a folder).
BOOL DeleteFileA(LPCSTR name);
// Copies a regular file's bytes; with failIfExists an existing destination
// makes it fail.
BOOL CopyFileA(LPCSTR existing, LPCSTR destination, BOOL failIfExists);
// Renames a file or folder; fails when the destination exists. Across file
// systems a file is copied and the source removed.
BOOL MoveFileA(LPCSTR existing, LPCSTR destination);
// Gives the replaced file the replacement's bytes: they are written to a new
// file beside the replaced one, synced, and renamed over it in one step; then
// the replacement is removed. Both files must exist. With a backup name the
// old replaced file is kept under it. A crash leaves either the old or the
// new content, never a mix.
BOOL ReplaceFileA(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags, LPVOID exclude, LPVOID reserved);

// Folder listing for a pattern "folder/*" (or "folder\*", or a '*'/'?' mask
// on the last component, matched case-insensitively). Only regular files are
// listed, sorted by name. INVALID_HANDLE_VALUE when the folder cannot be
// read or nothing matches.
HANDLE FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data);
BOOL FindNextFileA(HANDLE search, LPWIN32_FIND_DATAA data);
BOOL FindClose(HANDLE search);

namespace platform {

// The name with '\' turned into '/'; when it does not exist as written, each
// component that does not exist is replaced by a case-insensitive match in
// its folder (the first in byte order). Components without any match are
// kept as written, so a file about to be created keeps its name.
std::string ResolvePath(const std::string& name);

// fopen of the resolved name. Opening for reading only succeeds on a regular
// file (Linux would open a folder too).
FILE* OpenFile(const std::string& name, const char* mode);

bool IsRegularFile(const std::string& name);
bool IsDirectory(const std::string& name);

}  // namespace platform
