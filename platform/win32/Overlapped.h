#pragma once
// Files opened for overlapped reads: a read is issued, runs in the background and is
// later polled or waited for through its OVERLAPPED. Reads run on a small pool of
// worker threads over pread; completion is tested on the file handle (no events).
#include "platform/win32/Handle.h"
#include "platform/win32/Types.h"

#ifndef GENERIC_READ
#define GENERIC_READ 0x80000000UL
#endif
#ifndef FILE_SHARE_READ
#define FILE_SHARE_READ 0x00000001UL
#endif
#ifndef OPEN_EXISTING
#define OPEN_EXISTING 3UL
#endif
#ifndef FILE_ATTRIBUTE_NORMAL
#define FILE_ATTRIBUTE_NORMAL 0x00000080UL
#endif
#ifndef FILE_FLAG_OVERLAPPED
#define FILE_FLAG_OVERLAPPED 0x40000000UL
#endif
#ifndef INVALID_FILE_SIZE
#define INVALID_FILE_SIZE 0xFFFFFFFFUL
#endif
#ifndef ERROR_IO_INCOMPLETE
#define ERROR_IO_INCOMPLETE 996L
#endif
#ifndef ERROR_IO_PENDING
#define ERROR_IO_PENDING 997L
#endif

struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;

struct OVERLAPPED {
    uintptr_t Internal;      // completion status; owned by the platform while the read runs
    uintptr_t InternalHigh;  // bytes transferred
    DWORD Offset;            // file offset, low and high halves
    DWORD OffsetHigh;
    HANDLE hEvent;  // not used: completion is tested on the file handle
};
typedef OVERLAPPED* LPOVERLAPPED;

// Opens an existing file for reading (GENERIC_READ, OPEN_EXISTING). '\' separates folders
// as '/' does, and a name that does not open as written is matched without regard to case.
HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);

// Low 32 bits of the size; the high half through fileSizeHigh when given.
DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh);

// Only overlapped reads exist: the read is queued, FALSE is returned and the last error
// is ERROR_IO_PENDING. The buffer and the OVERLAPPED must stay valid until the read is seen
// finished through GetOverlappedResult. Reads ending past the end of the file are short.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped);

// TRUE with the byte count once the read has succeeded. FALSE with ERROR_IO_INCOMPLETE while
// it runs (wait FALSE); FALSE with the read's error, and the bytes it delivered, once it failed.
// With wait TRUE it blocks until the read has finished.
BOOL GetOverlappedResult(HANDLE file, LPOVERLAPPED overlapped, LPDWORD bytesTransferred, BOOL wait);
