#include "platform/win32/Process.h"

#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>

DWORD GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size) {
    if (buffer == nullptr || size == 0) return 0;
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) {
        buffer[0] = '\0';
        return 0;
    }
    size_t length = static_cast<size_t>(n);
    if (length >= size) {
        std::memcpy(buffer, path, size - 1);
        buffer[size - 1] = '\0';
        return size;
    }
    std::memcpy(buffer, path, length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

BOOL GetComputerNameA(LPSTR buffer, LPDWORD size) {
    if (size == nullptr) return FALSE;
    char host[256] = {};
    if (gethostname(host, sizeof(host) - 1) != 0) return FALSE;
    std::string name(host, strnlen(host, MAX_COMPUTERNAME_LENGTH));
    if (buffer == nullptr || *size < name.size() + 1) {
        *size = static_cast<DWORD>(name.size() + 1);
        return FALSE;
    }
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *size = static_cast<DWORD>(name.size());
    return TRUE;
}
