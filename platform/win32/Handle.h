#pragma once
// Kernel handles and the thread's last error.
// Every object a HANDLE stands for derives from KernelObject; CloseHandle deletes it.
#include "platform/win32/Types.h"

struct KernelObject {
    virtual ~KernelObject() = default;
};

#ifndef ERROR_SUCCESS
#define ERROR_SUCCESS 0L
#endif
#ifndef ERROR_FILE_NOT_FOUND
#define ERROR_FILE_NOT_FOUND 2L
#endif
#ifndef ERROR_PATH_NOT_FOUND
#define ERROR_PATH_NOT_FOUND 3L
#endif
#ifndef ERROR_ACCESS_DENIED
#define ERROR_ACCESS_DENIED 5L
#endif
#ifndef ERROR_INVALID_HANDLE
#define ERROR_INVALID_HANDLE 6L
#endif
#ifndef ERROR_READ_FAULT
#define ERROR_READ_FAULT 30L
#endif
#ifndef ERROR_INVALID_PARAMETER
#define ERROR_INVALID_PARAMETER 87L
#endif

// Wraps an object into the HANDLE handed to callers, and back (null when the handle is not one).
HANDLE MakeHandle(KernelObject* object);
KernelObject* HandleObject(HANDLE handle);

BOOL CloseHandle(HANDLE handle);

DWORD GetLastError();
void SetLastError(DWORD error);
