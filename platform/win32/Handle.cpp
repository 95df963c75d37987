#include "platform/win32/Handle.h"

#include <cstdint>

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

HANDLE MakeHandle(KernelObject* object) { return object ? static_cast<HANDLE>(object) : INVALID_HANDLE_VALUE; }

KernelObject* HandleObject(HANDLE handle) {
    // Null, and the pseudo handles -1 (the current process, also INVALID_HANDLE_VALUE)
    // to -6 (the current thread is -2), are no objects.
    const intptr_t value = reinterpret_cast<intptr_t>(handle);
    if (handle == nullptr || (value < 0 && value >= -6)) return nullptr;
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
