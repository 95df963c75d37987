#include "platform/win32/Handle.h"

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

HANDLE MakeHandle(KernelObject* object) { return object ? static_cast<HANDLE>(object) : INVALID_HANDLE_VALUE; }

KernelObject* HandleObject(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return nullptr;
    return static_cast<KernelObject*>(handle);
}

BOOL CloseHandle(HANDLE handle) {
    KernelObject* object = HandleObject(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    delete object;
    return TRUE;
}

DWORD GetLastError() { return t_lastError; }

void SetLastError(DWORD error) { t_lastError = error; }
